// Loading the triangulation library on Linux: dlopen, beside the program first.
#pragma once

#include "TriangulateLibrary.h"

class PosixLibraryLoader final : public pointset::LibraryLoader {
public:
    [[nodiscard]] Loaded load(const std::string& fileName, const char* entryName) override;
};
