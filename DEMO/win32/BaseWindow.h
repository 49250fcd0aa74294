// The window-procedure plumbing shared by Form1 and picMain: one static
// window procedure per class finds its C++ object, stored at WM_NCCREATE in
// the window's GWLP_USERDATA, and hands every message to T::HandleMessage.
//
// T provides
//   static constexpr wchar_t kClassName[];
//   static void describeClass(WNDCLASSEXW&);   icon, cursor, background
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM);
#pragma once

#include <windows.h>

namespace win32 {

template <class T>
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    [[nodiscard]] HWND Window() const noexcept { return hwnd_; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        T* self = nullptr;
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            self = static_cast<T*>(create->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = hwnd;
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (self == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        LRESULT result = 0;
        // No exception may unwind through the system's code that called us.
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            if (message == WM_NCCREATE) return FALSE;
            if (message == WM_CREATE) return -1;
            result = DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

protected:
    ~BaseWindow() = default;

    // T's destructor calls this first, while T is still whole to answer the
    // messages that destroying the window sends.
    void destroy() noexcept {
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }

    // Registers the class on first use and creates the window.
    bool Create(HINSTANCE instance, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId) {
        WNDCLASSEXW windowClass{};
        if (GetClassInfoExW(instance, T::kClassName, &windowClass) == FALSE) {
            windowClass = WNDCLASSEXW{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &BaseWindow::WindowProc;
            windowClass.hInstance = instance;
            windowClass.lpszClassName = T::kClassName;
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            T::describeClass(windowClass);
            if (RegisterClassExW(&windowClass) == 0) return false;
        }
        return CreateWindowExW(exStyle, T::kClassName, text, style, x, y, width, height, parent,
                               menuOrId, instance, static_cast<T*>(this)) != nullptr;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace win32
