// The executable's version record, one "Key=Value" a line, so that tools and
// tests can read it from the file. It sits in a section of its own and is
// marked used, so neither the compiler nor the linker drops it although no
// code reads it.
#include "Version.h"

extern const char project1VersionRecord[];
[[gnu::used, gnu::section("project1_version")]] const char project1VersionRecord[] =
    "VERSIONINFO\n"
    "FileVersion=" PROJECT1_VERSION_TEXT "\n"
    "FileVersionNumber=" PROJECT1_VERSION_NUMBER_TEXT "\n"
    "ProductVersion=" PROJECT1_VERSION_TEXT "\n"
    "ProductVersionNumber=" PROJECT1_VERSION_NUMBER_TEXT "\n"
    "Language=English (United States), 0409\n"
    "FileDescription=" PROJECT1_DESCRIPTION_TEXT "\n"
    "ProductName=" PROJECT1_PRODUCT_TEXT "\n"
    "CompanyName=" PROJECT1_COMPANY_TEXT "\n"
    "InternalName=" PROJECT1_PRODUCT_TEXT "\n"
    "OriginalFilename=" PROJECT1_PRODUCT_TEXT "\n"
    "END\n";
