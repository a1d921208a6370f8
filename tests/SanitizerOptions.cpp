// Linked into every test program of the sanitizer build. Leaks are reported
// and fail the test, except those of system libraries that keep caches for
// the life of the process (fonts, the display connection, the loader).
extern "C" const char* __asan_default_options() { return "detect_leaks=1:strict_string_checks=1"; }

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libdbus-1.so\n"
           "leak:libX11.so\n"
           "leak:libxcb.so\n";
}
