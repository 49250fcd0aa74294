#include "PosixLibraryLoader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace {

std::string lastLoaderError() {
    const char* why = dlerror();
    return why != nullptr ? std::string(why) : std::string();
}

// The directory of the running executable, or empty when it cannot be told.
std::filesystem::path executableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

}  // namespace

PosixLibraryLoader::Loaded PosixLibraryLoader::load(const std::string& fileName,
                                                    const char* entryName) {
    constexpr int kMode = RTLD_NOW | RTLD_LOCAL;
    Loaded loaded;
    void* handle = nullptr;
    if (fileName.find('/') == std::string::npos) {
        // Beside the executable first, so the program finds the copy it was
        // shipped with before any other installed one.
        if (const auto directory = executableDirectory(); !directory.empty()) {
            handle = dlopen((directory / fileName).c_str(), kMode);
            loaded.searched = directory.string() + " and on the library search path";
        }
        if (handle == nullptr) {
            handle = dlopen(fileName.c_str(), kMode);
        }
    } else {
        handle = dlopen(fileName.c_str(), kMode);
    }
    if (handle == nullptr) {
        loaded.error = lastLoaderError();
        return loaded;
    }
    loaded.module = std::shared_ptr<void>(handle, [](void* module) { dlclose(module); });
    dlerror();  // a null symbol is only an error if dlerror says so afterwards
    void* symbol = dlsym(handle, entryName);
    if (symbol == nullptr) {
        loaded.error = lastLoaderError();
        return loaded;
    }
    loaded.function = reinterpret_cast<AnyFunction>(symbol);
    return loaded;
}
