// A shared library that is not the triangulation library: it has no
// Triangulate, so loading it must fail at the entry point.
#ifdef _WIN32
#define NOENTRY_EXPORT __declspec(dllexport)
#else
#define NOENTRY_EXPORT __attribute__((visibility("default")))
#endif

extern "C" NOENTRY_EXPORT int notTheEntryPoint(void) {
    return 0;
}
