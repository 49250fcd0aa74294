// The triangulation library, loaded by file name at the first call of
// Triangulate rather than linked at build time, so the program starts (and
// can still place points) without it.
//
// Loading is the platform's business: each front end hands in a
// LibraryLoader, and the point set itself makes no system calls.
#pragma once

#include <memory>
#include <string>

#include "vantrel.h"

namespace pointset {

class LibraryLoader {
public:
    // Any function's address, to be cast to its real type by the caller.
    using AnyFunction = void (*)();

    struct Loaded {
        std::shared_ptr<void> module;    // keeps the library loaded; empty if it could not be
        AnyFunction function = nullptr;  // null if the library has no such function
        std::string searched;            // where a bare file name was looked for, if worth saying
        std::string error;               // the system's reason for a failure
    };

    virtual ~LibraryLoader() = default;

    // Loads fileName and looks up the function entryName in it. A bare file
    // name is looked for beside the running program first; a path is loaded
    // from exactly there.
    [[nodiscard]] virtual Loaded load(const std::string& fileName, const char* entryName) = 0;
};

class TriangulateLibrary {
public:
    explicit TriangulateLibrary(LibraryLoader& loader,
                                std::string fileName = VANTREL_LIBRARY_FILE);

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
    LibraryLoader& loader_;
    std::string fileName_;
    std::shared_ptr<void> module_;
    TriangulateFn function_ = nullptr;
};

}  // namespace pointset
