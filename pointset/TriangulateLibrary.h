// The triangulation library, loaded by file name at the first call of
// Triangulate rather than linked at build time, so the program starts (and
// can still place points) without it.
#pragma once

#include <memory>
#include <string>

#include "vantrel.h"

namespace pointset {

class TriangulateLibrary {
public:
    // A bare file name is looked up beside the running executable first, then
    // on the dynamic linker's search path; a name containing '/' is loaded
    // from exactly there.
    explicit TriangulateLibrary(std::string fileName = VANTREL_LIBRARY_FILE);
    ~TriangulateLibrary();
    TriangulateLibrary(const TriangulateLibrary&) = delete;
    TriangulateLibrary& operator=(const TriangulateLibrary&) = delete;

    struct Entry {
        TriangulateFn function = nullptr;  // null on failure
        std::string error;                 // why not, naming the file; empty on success
    };

    // The library's Triangulate, loading the library on the first call. A
    // failure is not remembered: the next call tries again.
    [[nodiscard]] Entry entry();

    [[nodiscard]] const std::string& fileName() const noexcept { return fileName_; }
    [[nodiscard]] bool loaded() const noexcept { return function_ != nullptr; }

private:
    struct Closer {
        void operator()(void* handle) const noexcept;
    };

    std::string fileName_;
    std::unique_ptr<void, Closer> handle_;
    TriangulateFn function_ = nullptr;
};

}  // namespace pointset
