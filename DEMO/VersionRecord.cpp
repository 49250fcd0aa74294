// The executable's version record. It sits in a section of its own and is
// marked used, so neither the compiler nor the linker drops it although no
// code reads it.
#include "Version.h"

extern const char project1VersionRecord[];
[[gnu::used, gnu::section("project1_version")]] const char project1VersionRecord[] =
    PROJECT1_VERSION_RECORD;
