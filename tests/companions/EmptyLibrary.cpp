// A library without any of the companion entry points.
extern "C" __attribute__((visibility("default"))) int NothingHere() { return 0; }
