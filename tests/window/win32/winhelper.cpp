// The real-window test's hand inside Wine, a Windows program (no console
// window covers Project1's):
//   winhelper TITLE ID [CLASS]  the text of control ID of the window TITLE (of
//                               CLASS: #32770 for a dialog), no X window itself
//   explorer.exe ADDRESS        a copy in the place of the system's: its command line
//                               and show command to started-PID.txt beside itself
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring text(4096, L'\0'), record(MAX_PATH, L'\0');
    FILE* out = stdout;
    if (argc == 2) {
        STARTUPINFOW startup{};
        GetStartupInfoW(&startup);
        const bool shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
        text = std::wstring(L"command=") + GetCommandLineW() + L"\nshow=" + (shown ? std::to_wstring(startup.wShowWindow) : L"none");
        record.resize(GetModuleFileNameW(nullptr, record.data(), MAX_PATH));
        record = record.substr(0, record.find_last_of(L"\\/") + 1) + L"started-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        out = _wfopen((record + L".part").c_str(), L"wb");
    } else {
        const HWND window = argc == 3 || argc == 4 ? FindWindowW(argc == 4 ? argv[3] : nullptr, argv[1]) : nullptr;
        const HWND control = window != nullptr ? GetDlgItem(window, int(std::wcstol(argv[2], nullptr, 0))) : nullptr;
        if (control == nullptr) {
            std::fputs("winhelper: no such window or control\n", stderr);
            return 1;
        }
        // WM_GETTEXT crosses processes: the system copies the text over.
        text.resize(std::size_t(SendMessageW(control, WM_GETTEXT, text.size(), LPARAM(text.data()))));
    }
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), utf8.data(), int(utf8.size()), nullptr, nullptr)));
    if (out == nullptr || std::fputs((utf8 + "\n").c_str(), out) < 0) return 1;
    // The record is written whole under another name first: its reader never sees half.
    return out == stdout || (std::fclose(out) == 0 && MoveFileExW((record + L".part").c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) ? 0 : 1;
}
