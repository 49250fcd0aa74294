// Form1 in a real window under Wine, and a hand for the dialogs it shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Form1.h"
#include "Resource.h"
#include "Text.h"

// What a dialog showed when it came up.
struct SeenDialog {
    std::wstring title;
    std::wstring text;  // a message box's text, or the prompt's
    std::vector<int> buttons;  // IDOK, IDCANCEL, ... that exist
};

// Sees every dialog the thread opens while it lives: `act` gets the dialog
// once it is up and must close it (with PostMessage: the dialog's own loop
// is not running yet).
class DialogHand {
public:
    explicit DialogHand(std::function<void(HWND)> act) : act_(std::move(act)) {
        current = this;
        hook_ = SetWindowsHookExW(WH_CBT, &DialogHand::hook, nullptr, GetCurrentThreadId());
    }
    ~DialogHand() {
        UnhookWindowsHookEx(hook_);
        current = nullptr;
    }
    DialogHand(const DialogHand&) = delete;
    DialogHand& operator=(const DialogHand&) = delete;

    static SeenDialog describe(HWND dialog, int textId) {
        SeenDialog d{win32::windowText(dialog), win32::windowText(GetDlgItem(dialog, textId)), {}};
        for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
            if (GetDlgItem(dialog, id) != nullptr) d.buttons.push_back(id);
        return d;
    }

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current != nullptr) {
            const auto dialog = reinterpret_cast<HWND>(wParam);
            wchar_t name[16]{};
            GetClassNameW(dialog, name, 16);
            if (std::wstring(name) == L"#32770") current->act_(dialog);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline DialogHand* current = nullptr;
    std::function<void(HWND)> act_;
    HHOOK hook_ = nullptr;
};

// The text of a message box, and of the prompt.
inline constexpr int kMessageBoxText = 0xFFFF;

// A shown Form1 whose library is `library` (none by default). Every dialog
// it opens is described in `dialogs` and answered by `answer`; unless a
// test says otherwise, with the last of its buttons (Cancel, or OK).
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(std::string library = "no-such-library.dll")
        : form(std::make_unique<Form1>(GetModuleHandleW(nullptr), std::move(library))) {}

    void SetUp() override {
        ASSERT_TRUE(form->create());
        ShowWindow(window(), SW_SHOWNORMAL);
        UpdateWindow(window());
        pump();
    }
    void TearDown() override {
        form.reset();
        MSG quit{};
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE) {
        }
    }

    std::vector<SeenDialog> dialogs;
    int textId = kMessageBoxText;
    std::function<void(HWND)> answer = [](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, GetDlgItem(dialog, IDCANCEL) != nullptr ? IDCANCEL : IDOK, 0);
    };
    DialogHand hand{[this](HWND dialog) {
        dialogs.push_back(DialogHand::describe(dialog, textId));
        answer(dialog);
    }};

    // Lets the window take the messages waiting for it.
    static void pump() {
        MSG message{};
        for (int round = 0; round < 3; ++round) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
                if (message.message == WM_QUIT) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
    }

    [[nodiscard]] HWND window() const { return form->Window(); }
    [[nodiscard]] HWND control(int id) const { return GetDlgItem(window(), id); }
    [[nodiscard]] HWND canvas() const { return form->canvasBox().Window(); }

    // A control's rectangle in the window's client coordinates.
    [[nodiscard]] RECT placeOf(HWND child) const {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, window(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // Gives the window this client size.
    void resizeClient(int width, int height) {
        RECT frame{0, 0, width, height};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(window(), GWL_EXSTYLE)));
        SetWindowPos(window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        pump();
    }

    void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }
    // A press on the canvas interior at pixel (x, y).
    void press(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(canvas(), message, keys, MAKELPARAM(x, y));
    }

    std::unique_ptr<Form1> form;
};

inline bool operator==(const RECT& l, const RECT& r) {
    return l.left == r.left && l.top == r.top && l.right == r.right && l.bottom == r.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
