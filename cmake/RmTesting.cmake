include(GoogleTest)

# RM_SANITIZE=address builds the whole project with AddressSanitizer and
# UndefinedBehaviorSanitizer (leaks reported, every finding fatal, every
# compiler warning an error). The ThreadSanitizer programs cannot be combined
# with it: they are left out.
set(RM_SANITIZE "" CACHE STRING "Sanitizer build: empty or address")
set_property(CACHE RM_SANITIZE PROPERTY STRINGS "" address)
if(RM_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -Werror)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT RM_SANITIZE STREQUAL "")
  message(FATAL_ERROR "RM_SANITIZE must be empty or address, not ${RM_SANITIZE}")
endif()

# Every test program, so a build can be limited to them: cmake --build <dir> --target rm_all_tests
add_custom_target(rm_all_tests)

# rm_add_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>] [LABELS <labels...>])
# One GoogleTest program; every test case becomes a CTest with a time limit
# and runs with the off-screen Qt platform.
function(rm_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(sources ${T_SOURCES})
  if(RM_SANITIZE)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/SanitizerOptions.cpp)
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RM_OUTPUT_DIR})
  add_dependencies(rm_all_tests ${name})
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
# In a sanitizer build (RM_SANITIZE) the program is defined but never built
# or run, so the callers' further settings on the target still apply.
function(rm_add_tsan_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(RM_SANITIZE)
    add_executable(${name} EXCLUDE_FROM_ALL ${T_SOURCES})
    return()
  endif()
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/TsanQtSuppressions.cpp)
  target_compile_options(${name} PRIVATE -fsanitize=thread -g -O1)
  target_link_options(${name} PRIVATE -fsanitize=thread)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RM_OUTPUT_DIR})
  add_dependencies(rm_all_tests ${name})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${RM_OUTPUT_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "tsan"
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1")
endfunction()
