// The real-window test's hand inside Wine, a Windows program (no console
// window to cover Project1's):
//   winhelper TITLE ID [CLASS]  writes the text of control ID of the window
//                               TITLE (of CLASS: #32770 for a dialog), which
//                               is no X window of its own
//   explorer.exe ADDRESS        a copy beside Project1.exe, found before the
//                               shell's: writes how it was started (its
//                               command line and show command) to started.txt
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void write(const std::wstring& text, FILE* out) {
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(),
                                                int(utf8.size()), nullptr, nullptr)));
    std::fwrite(utf8.data(), 1, utf8.size(), out);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 2) {
        std::wstring path(MAX_PATH, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
        path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"started.txt";
        STARTUPINFOW startup{};
        GetStartupInfoW(&startup);
        const bool shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
        // Written whole under another name first, so a reader never sees half.
        FILE* out = _wfopen((path + L".part").c_str(), L"wb");
        if (out == nullptr) return 1;
        write(std::wstring(L"command=") + GetCommandLineW() + L"\nshow=" +
                  (shown ? std::to_wstring(startup.wShowWindow) : L"none") + L"\n", out);
        std::fclose(out);
        return MoveFileExW((path + L".part").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
    }
    const HWND window = argc == 3 || argc == 4 ? FindWindowW(argc == 4 ? argv[3] : nullptr, argv[1]) : nullptr;
    const HWND control = window != nullptr ? GetDlgItem(window, int(std::wcstol(argv[2], nullptr, 0))) : nullptr;
    if (control == nullptr) {
        std::fputs("winhelper: no such window or control\n", stderr);
        return 1;
    }
    // WM_GETTEXT crosses processes: the system copies the text over.
    std::wstring text(4096, L'\0');
    text.resize(std::size_t(SendMessageW(control, WM_GETTEXT, text.size(), LPARAM(text.data()))));
    write(text + L"\n", stdout);
    return 0;
}
