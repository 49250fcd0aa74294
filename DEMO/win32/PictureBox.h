// picMain: the picture box that shows the raster canvas the commands draw on.
//
// A window class of our own with a sunken two-pixel border (the client
// edge); the client area is the canvas interior, which is what ScaleWidth
// and ScaleHeight measure. The raster is the backing store: WM_PAINT copies
// the invalid part of it to the screen, so the picture survives being
// covered, minimised or resized.
#pragma once

#include <windows.h>

#include <cstdint>

#include "BaseWindow.h"
#include "RasterCanvas.h"

class PictureBox final : public win32::BaseWindow<PictureBox> {
public:
    static constexpr wchar_t kClassName[] = L"Project1PictureBox";

    // The WM_NOTIFY code a press of any mouse button inside the interior
    // sends to the parent, with a MouseDown: the button and shift codes of
    // FormDesign.h, x and y in twips.
    static constexpr UINT kMouseDownCode = 1;
    struct MouseDown {
        NMHDR header;
        std::int16_t button;
        std::int16_t shift;
        float x;
        float y;
    };

    PictureBox() = default;
    ~PictureBox() { destroy(); }

    // Creates the box as child `id` of parent; `outer` includes the border.
    bool create(HINSTANCE instance, HWND parent, int id, const RECT& outer);

    [[nodiscard]] RasterCanvas& canvas() noexcept { return raster; }
    [[nodiscard]] const RasterCanvas& canvas() const noexcept { return raster; }

    // Invalidates everything drawn on the canvas since the last call, to be
    // painted with the next WM_PAINT. The window calls it after each command.
    void showDrawing();

    // The codes of a button-down message and of its key state.
    [[nodiscard]] static std::int16_t buttonCode(UINT message) noexcept;
    [[nodiscard]] static std::int16_t shiftCode(WPARAM keys, bool altDown) noexcept;

    static void describeClass(WNDCLASSEXW& windowClass) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void paint();
    void resizeRaster();
    void mouseDown(UINT message, WPARAM wParam, LPARAM lParam);

    RasterCanvas raster;
};
