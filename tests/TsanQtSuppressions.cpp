// Qt is not built with ThreadSanitizer. An event posted from a worker thread
// is handed to the user-interface thread under Qt's own locks, which the tool
// cannot see, so the allocation of the event, the call it carries and its
// deletion look like races. Only the frames of that hand-over are left out;
// the code the event runs is still checked.
extern "C" const char* __tsan_default_suppressions() {
    return "race:QCoreApplication::postEvent\n"
           "race:QCoreApplicationPrivate::sendPostedEvents\n"
           "race:QMetaCallEvent\n"
           "race:QObject::event\n";
}
