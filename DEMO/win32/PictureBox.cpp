#include "PictureBox.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "FormDesign.h"

namespace {

constexpr float kTwipsPerPixel = static_cast<float>(RasterCanvas::kTwipsPerPixel);

}  // namespace

bool PictureBox::create(HINSTANCE instance, HWND parent, int id, const RECT& outer) {
    return Create(instance, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, WS_EX_CLIENTEDGE, outer.left,
                  outer.top, outer.right - outer.left, outer.bottom - outer.top, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PictureBox::describeClass(WNDCLASSEXW& windowClass) noexcept {
    // No CS_DBLCLKS: a quick second press is a press like any other. No
    // background brush: every pixel of the interior comes from the raster.
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hbrBackground = nullptr;
}

void PictureBox::showDrawing() {
    const PixelRect dirty = raster.takeDirty();
    if (!dirty.empty() && hwnd_ != nullptr) {
        const RECT area{dirty.left, dirty.top, dirty.left + dirty.width, dirty.top + dirty.height};
        InvalidateRect(hwnd_, &area, FALSE);
    }
}

std::int16_t PictureBox::buttonCode(UINT message) noexcept {
    switch (message) {
    case WM_LBUTTONDOWN: return project1::kLeftButton;
    case WM_RBUTTONDOWN: return project1::kRightButton;
    case WM_MBUTTONDOWN: return project1::kMiddleButton;
    default: return 0;  // extra buttons place points too, with no code of their own
    }
}

std::int16_t PictureBox::shiftCode(WPARAM keys, bool altDown) noexcept {
    std::int16_t code = 0;
    if ((keys & MK_SHIFT) != 0) code = static_cast<std::int16_t>(code | project1::kShiftKey);
    if ((keys & MK_CONTROL) != 0) code = static_cast<std::int16_t>(code | project1::kCtrlKey);
    if (altDown) code = static_cast<std::int16_t>(code | project1::kAltKey);
    return code;
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        resizeRaster();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel; erasing first would flicker
    case WM_PAINT:
        paint();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        mouseDown(message, wParam, lParam);
        return message == WM_XBUTTONDOWN ? TRUE : 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void PictureBox::resizeRaster() {
    RECT interior{};
    GetClientRect(hwnd_, &interior);
    try {
        raster.resizePixels(interior.right, interior.bottom);
    } catch (const std::exception&) {
        // No memory for a raster that large: it keeps its size, and the box
        // shows what it holds.
    }
}

void PictureBox::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(hwnd_, &paint);
    const RECT& invalid = paint.rcPaint;
    const LONG left = std::max<LONG>(invalid.left, 0);
    const LONG top = std::max<LONG>(invalid.top, 0);
    const LONG right = std::min<LONG>(invalid.right, raster.width());
    const LONG bottom = std::min<LONG>(invalid.bottom, raster.height());
    if (dc != nullptr && left < right && top < bottom) {
        // The raster's rows are a top-down 32-bit DIB as they stand: no
        // padding, blue-green-red-x in memory, stride() pixels wide. The
        // bitmap handed over starts at the first invalid row and the copy
        // takes all of its rows, so that no source row is counted from the
        // bottom, which systems do differently for top-down bitmaps.
        const LONG rows = bottom - top;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = raster.stride();
        info.bmiHeader.biHeight = -rows;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        const RasterCanvas::Pixel* firstRow =
            raster.pixels().data() + static_cast<std::size_t>(top) * static_cast<std::size_t>(raster.stride());
        StretchDIBits(dc, left, top, right - left, rows, left, 0, right - left, rows, firstRow,
                      &info, DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(hwnd_, &paint);
}

void PictureBox::mouseDown(UINT message, WPARAM wParam, LPARAM lParam) {
    // A press on the box gives it the focus, as on any control that takes it.
    SetFocus(hwnd_);
    const HWND parent = GetParent(hwnd_);
    if (parent == nullptr) return;
    MouseDown press{};
    press.header.hwndFrom = hwnd_;
    press.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    press.header.code = kMouseDownCode;
    press.button = buttonCode(message);
    press.shift = shiftCode(GET_KEYSTATE_WPARAM(wParam), GetKeyState(VK_MENU) < 0);
    press.x = static_cast<float>(GET_X_LPARAM(lParam)) * kTwipsPerPixel;
    press.y = static_cast<float>(GET_Y_LPARAM(lParam)) * kTwipsPerPixel;
    SendMessageW(parent, WM_NOTIFY, press.header.idFrom, reinterpret_cast<LPARAM>(&press));
}
