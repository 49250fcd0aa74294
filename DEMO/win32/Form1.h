// Form1: the program's only window. It owns the point set, hosts the canvas
// picMain, the three command buttons, the check box and the three labels,
// and routes each user action to one command.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "BaseWindow.h"
#include "Handles.h"
#include "PictureBox.h"
#include "Platform.h"
#include "PointSet.h"
#include "TriangulateLibrary.h"
#include "Win32LibraryLoader.h"
#include "Win32Platform.h"

class Form1 final : public win32::BaseWindow<Form1>, private pointset::Controls {
public:
    static constexpr wchar_t kClassName[] = L"Project1Form1";
    static constexpr int kTwipsPerInch = 1440;

    // libraryFile is handed to the library loader; the default is the
    // library beside the executable.
    explicit Form1(HINSTANCE instance, std::string libraryFile = VANTREL_LIBRARY_FILE);
    ~Form1() override;

    // Creates the window with its controls, hidden, where the system places
    // new windows. The first WM_SIZE fits the canvas.
    bool create();
    // Lets the keyboard move between the controls; true if it took the message.
    bool preTranslate(MSG& message) noexcept;

    // The point store, for reading only.
    [[nodiscard]] const pointset::PointSet& pointStore() const noexcept { return pointSet; }
    [[nodiscard]] Win32Platform& platform() noexcept { return services; }
    [[nodiscard]] PictureBox& canvasBox() noexcept { return picMain; }
    [[nodiscard]] HCURSOR handCursor() const noexcept { return hand; }

    // Makes the canvas fill the window below the controls with even margins.
    void FitCanvas();
    // Opens the library's information page with the shell.
    void OpenInfoPage();

    // Twips to pixels of the system's DPI and back, on each axis.
    [[nodiscard]] int pixelsX(int twips) const noexcept;
    [[nodiscard]] int pixelsY(int twips) const noexcept;
    [[nodiscard]] int twipsX(int pixels) const noexcept;
    [[nodiscard]] int twipsY(int pixels) const noexcept;

    static void describeClass(WNDCLASSEXW& windowClass) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Event handlers, named after their control and event. They route and
    // nothing more.
    void Form_Resize();
    void picMain_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void cmdTriangulate_Click();
    void cmdClear_Click();
    void cmdRandom_Click();
    void lblHyperlink_Click();

    // Runs one command. No exception may cross the window procedure: one
    // that escapes the command is shown in a message box, and the picture is
    // brought up to date whichever way the command ended.
    template <typename Command>
    void route(std::string_view what, Command&& command) noexcept;

    bool createControls();
    HWND createControl(const wchar_t* windowClass, const wchar_t* caption, DWORD style, int id,
                       const RECT& place, HFONT font);
    [[nodiscard]] RECT toPixels(int left, int top, int width, int height) const noexcept;
    // A label sized to its one line of text; its top-left corner stays.
    void autoSize(HWND label);
    // lblHyperlink reports a click as a button does, when the left button
    // is let go over it, and a double-click as one click.
    static LRESULT CALLBACK linkProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR form) noexcept;
    [[nodiscard]] LRESULT setCursor(WPARAM wParam, LPARAM lParam);
    [[nodiscard]] LRESULT colourStatic(HDC dc, HWND control);
    void activate(WPARAM wParam);

    // The controls the commands touch.
    [[nodiscard]] int autoValue() const override;
    void setAutoValue(int value) override;
    void setInfoCaption(std::string_view text) override;

    HINSTANCE instance;
    int dpiX = 96;
    int dpiY = 96;
    Win32Platform services;
    Win32LibraryLoader loader;
    pointset::TriangulateLibrary library;
    win32::Font normalFont;
    win32::Font boldFont;
    win32::Font linkFont;
    HCURSOR hand = nullptr;  // a shared resource cursor: the system owns it

    // The controls, in creation order; each is destroyed with the window.
    HWND chkAuto = nullptr;
    PictureBox picMain;
    HWND cmdTriangulate = nullptr;
    HWND cmdClear = nullptr;
    HWND cmdRandom = nullptr;
    HWND lblHyperlink = nullptr;
    HWND lblInfo = nullptr;
    HWND lblTutorial = nullptr;
    // Where the keyboard focus goes back to when the window is activated.
    HWND lastFocus = nullptr;
    // The left button went down on the link and has not come up yet.
    bool linkPressed = false;

    pointset::PointSet pointSet;
};
