// A library that loads but has no ApplicationRequest.
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
