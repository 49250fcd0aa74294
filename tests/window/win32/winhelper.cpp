// Reads a control's text from another program's window, for the real-window
// test under Wine, where the controls are no X windows of their own.
//   windowprobe TITLE ID [CLASS]   the text of control ID in the top-level
//                                  window TITLE (of CLASS, e.g. #32770 for a
//                                  message box), in UTF-8 on standard output
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t* argv[]) {
    if (argc != 3 && argc != 4) {
        std::fputs("usage: windowprobe TITLE ID [CLASS]\n", stderr);
        return 2;
    }
    const HWND window = FindWindowW(argc == 4 ? argv[3] : nullptr, argv[1]);
    if (window == nullptr) {
        std::fputs("windowprobe: no such window\n", stderr);
        return 1;
    }
    const HWND control = GetDlgItem(window, static_cast<int>(std::wcstol(argv[2], nullptr, 0)));
    if (control == nullptr) {
        std::fputs("windowprobe: no such control\n", stderr);
        return 1;
    }
    // WM_GETTEXT crosses processes; the system copies the text over.
    std::wstring text(4096, L'\0');
    const auto length = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    std::string utf8(text.size() * 3 + 1, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                             nullptr)));
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
