#include "TriangulateLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace pointset {

namespace {

std::string lastLoaderError() {
    const char* why = dlerror();
    return why != nullptr ? std::string(why) : std::string("unknown reason");
}

// The directory of the running executable, or empty when it cannot be told.
std::filesystem::path executableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

}  // namespace

void TriangulateLibrary::Closer::operator()(void* handle) const noexcept {
    dlclose(handle);
}

TriangulateLibrary::TriangulateLibrary(std::string fileName) : fileName_(std::move(fileName)) {}

TriangulateLibrary::~TriangulateLibrary() = default;

TriangulateLibrary::Entry TriangulateLibrary::entry() {
    if (function_ != nullptr) {
        return {function_, {}};
    }
    constexpr int kMode = RTLD_NOW | RTLD_LOCAL;
    void* handle = nullptr;
    std::string where;
    if (fileName_.find('/') == std::string::npos) {
        // Beside the executable first, so the program finds the copy it was
        // shipped with before any other installed one.
        if (const auto directory = executableDirectory(); !directory.empty()) {
            const auto beside = (directory / fileName_).string();
            handle = dlopen(beside.c_str(), kMode);
            where = " (looked in " + directory.string() + " and on the library search path)";
        }
        if (handle == nullptr) {
            handle = dlopen(fileName_.c_str(), kMode);
        }
    } else {
        handle = dlopen(fileName_.c_str(), kMode);
    }
    if (handle == nullptr) {
        return {nullptr, "Cannot load the triangulation library " + fileName_ + where + ": " +
                             lastLoaderError()};
    }
    std::unique_ptr<void, Closer> owned(handle);
    dlerror();  // a null symbol is only an error if dlerror says so afterwards
    void* symbol = dlsym(handle, VANTREL_ENTRY_NAME);
    if (symbol == nullptr) {
        return {nullptr, "The triangulation library " + fileName_ + " has no function " +
                             VANTREL_ENTRY_NAME + ": " + lastLoaderError()};
    }
    handle_ = std::move(owned);
    function_ = reinterpret_cast<TriangulateFn>(symbol);
    return {function_, {}};
}

}  // namespace pointset
