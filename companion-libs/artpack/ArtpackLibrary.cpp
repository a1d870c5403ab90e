// The resource library holds named resources only; they register with Qt's resource system
// while the library is loaded. This symbol lets the program tell the library is the right one.
extern "C" __attribute__((visibility("default"))) int ArtpackVersion() { return 4; }
