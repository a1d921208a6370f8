// Qt is not built with ThreadSanitizer: events posted from a worker thread are
// handed over under Qt's own locks, which the tool cannot see. Reports whose
// stack runs through Qt's core library are left out.
extern "C" const char* __tsan_default_suppressions() { return "race:libQt6Core.so\n"; }
