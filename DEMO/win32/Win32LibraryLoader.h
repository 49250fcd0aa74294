// Loading the triangulation library on Windows: LoadLibraryExW with a full
// path, a bare file name taken from the program's own folder only, so that
// no copy in the current folder or on PATH is picked up instead.
#pragma once

#include "TriangulateLibrary.h"

class Win32LibraryLoader final : public pointset::LibraryLoader {
public:
    [[nodiscard]] Loaded load(const std::string& fileName, const char* entryName) override;
};
