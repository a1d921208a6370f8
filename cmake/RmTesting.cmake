include(GoogleTest)

# rm_add_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>] [LABELS <labels...>])
# One GoogleTest program; every test case becomes a CTest with a time limit
# and runs with the off-screen Qt platform.
function(rm_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RM_OUTPUT_DIR})
  set(labels "")
  if(T_LABELS)
    set(labels LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${RM_OUTPUT_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} ${labels}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# rm_add_tsan_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
# The same, compiled and linked with ThreadSanitizer; the sources must hold the
# code under test itself (instrumented), not only link it. Label "tsan".
# Qt's own event hand-over between threads is left out of the reports.
function(rm_add_tsan_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/TsanQtSuppressions.cpp)
  target_compile_options(${name} PRIVATE -fsanitize=thread -g -O1)
  target_link_options(${name} PRIVATE -fsanitize=thread)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RM_OUTPUT_DIR})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${RM_OUTPUT_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "tsan"
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1")
endfunction()
