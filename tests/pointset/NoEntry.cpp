// A shared library that is not the triangulation library: it has no
// Triangulate, so loading it must fail at the entry point.
extern "C" __attribute__((visibility("default"))) int notTheEntryPoint(void) {
    return 0;
}
