#include "Win32LibraryLoader.h"

#include <windows.h>

#include <string>

#include "Handles.h"
#include "Text.h"

namespace {

// The folder of the running program, without a trailing separator, or
// empty when it cannot be told.
std::wstring executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool isBareName(const std::wstring& name) {
    return name.find_first_of(L"\\/:") == std::wstring::npos;
}

}  // namespace

Win32LibraryLoader::Loaded Win32LibraryLoader::load(const std::string& fileName,
                                                    const char* entryName) {
    Loaded loaded;
    std::wstring path = win32::widen(fileName);
    if (isBareName(path)) {
        const std::wstring folder = executableFolder();
        if (folder.empty()) {
            loaded.error = win32::systemMessage(GetLastError());
            return loaded;
        }
        path = folder + L"\\" + path;
        loaded.searched = win32::narrow(folder);
    }
    // With a full path, the library's own imports are looked for in its folder.
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        loaded.error = win32::systemMessage(GetLastError());
        return loaded;
    }
    // Should the shared_ptr fail to allocate, it frees the library itself.
    loaded.module = std::shared_ptr<void>(module, win32::ModuleDeleter{});
    const FARPROC function = GetProcAddress(module, entryName);
    if (function == nullptr) {
        loaded.error = win32::systemMessage(GetLastError());
        return loaded;
    }
    loaded.function = reinterpret_cast<AnyFunction>(function);
    return loaded;
}
