// Stands in for the shell's "explorer" in the real-window test: placed
// beside Project1.exe as explorer.exe, it is the one CreateProcess finds
// first. It opens nothing; it writes the command line it was started with
// and the show command it was given to started.txt beside itself. A
// Windows program, not a console one: it shows no window at all, where a
// console window would cover Project1's for a moment.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"started.txt";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const std::wstring show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0
                                  ? std::to_wstring(startup.wShowWindow)
                                  : std::wstring(L"none");
    const std::wstring record = std::wstring(L"command=") + GetCommandLineW() + L"\nshow=" + show + L"\n";
    std::string utf8(record.size() * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, record.data(),
                                                             static_cast<int>(record.size()), utf8.data(),
                                                             static_cast<int>(utf8.size()), nullptr, nullptr)));
    // Written whole under another name first, so a reader never sees half.
    const std::wstring partial = path + L".part";
    FILE* out = _wfopen(partial.c_str(), L"wb");
    if (out == nullptr) return 1;
    std::fwrite(utf8.data(), 1, utf8.size(), out);
    std::fclose(out);
    return MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE ? 0 : 1;
}
