// A shared library without Triangulate: loading it must fail at the entry point.
#ifdef _WIN32
extern "C" __declspec(dllexport) int notTheEntryPoint(void) { return 0; }
#else
extern "C" __attribute__((visibility("default"))) int notTheEntryPoint(void) { return 0; }
#endif
