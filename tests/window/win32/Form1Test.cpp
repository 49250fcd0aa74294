// Form1 as a real window: layout, text, fonts and colours, the keyboard
// focus, the pointers, the canvas fitted on resize, and the commands as the
// window's controls start them.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <tuple>

#include "Pictures.h"
#include "WindowFixture.h"

namespace {

using Form1Layout = WindowTest;

// Design positions in twips are pixels at 96 dpi, 15 twips to a pixel.
struct Laid {
    int id;
    const wchar_t* text;
    RECT place;  // the labels: left and top only, their size follows the text
};

TEST_F(Form1Layout, ClientAreaControlsAndCaptionsAsDesigned) {
    RECT client{};
    GetClientRect(window(), &client);
    EXPECT_EQ(client, (RECT{0, 0, 726, 658}));
    EXPECT_EQ(win32::windowText(window()), L"Triangulation DLL example");

    const std::array<Laid, 8> laid{{
        {IDC_CHKAUTO, L"Auto triangulate", {440, 40, 601, 57}},
        {IDC_PICMAIN, L"", {8, 96, 718, 650}},  // fitted: 10650 x 8310 twips
        {IDC_CMDTRIANGULATE, L"TRIANGULATE", {304, 40, 425, 73}},
        {IDC_CMDCLEAR, L"Clear all points", {168, 40, 297, 73}},
        {IDC_CMDRANDOM, L"Generate random points", {8, 40, 161, 73}},
        {IDC_LBLHYPERLINK, L"VISIT www.vantrel.example/triangulation FOR MORE INFO", {8, 0, 0, 0}},
        {IDC_LBLINFO, L"Points: 0 Triangles:0 Triangulate time: 0", {8, 80, 0, 0}},
        {IDC_LBLTUTORIAL,
         L"Click on the white box to create points. Click \"TRIANGULATE\" button to create triangulation.",
         {8, 16, 0, 0}},
    }};
    for (const Laid& expected : laid) {
        const HWND c = control(expected.id);
        ASSERT_NE(c, nullptr) << expected.id;
        EXPECT_EQ(win32::windowText(c), expected.text) << expected.id;
        const RECT at = placeOf(c);
        if (expected.place.right != 0) {
            EXPECT_EQ(at, expected.place) << expected.id;
        } else {
            EXPECT_EQ(std::pair(at.left, at.top), std::pair(expected.place.left, expected.place.top));
        }
    }
    EXPECT_EQ(SendMessageW(control(IDC_CHKAUTO), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The sunken border is two pixels; inside it is the raster.
    RECT interior{};
    GetClientRect(canvas(), &interior);
    EXPECT_EQ(interior, (RECT{0, 0, 706, 550}));
    EXPECT_EQ(form->canvasBox().canvas().width(), 706);
    EXPECT_EQ(form->canvasBox().canvas().height(), 550);
    EXPECT_NE(GetWindowLongPtrW(canvas(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

// The window class carries the program icon, big and small: at 16 colours
// on any screen that shows them.
TEST_F(Form1Layout, WindowShowsTheProgramIconInBothSizes) {
    struct Expected { int index, size; Picture picture; };
    for (const auto& [index, size, expected] :
         {Expected{GCLP_HICON, 32, picture(project1_32_xpm)}, Expected{GCLP_HICONSM, 16, picture(project1_16_xpm)}}) {
        const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(window(), index));
        ASSERT_NE(icon, nullptr) << size;
        std::string problem;
        const Picture drawn = shown(icon, size, size, problem);
        EXPECT_EQ(problem, "");
        EXPECT_EQ(drawn.pixels, expected.pixels) << size;
    }
}

// The three labels are one line high and as wide as their text; lblInfo
// grows with its caption.
TEST_F(Form1Layout, LabelsFitTheirOneLineOfText) {
    for (int id : {IDC_LBLHYPERLINK, IDC_LBLINFO, IDC_LBLTUTORIAL}) {
        const HWND label = control(id);
        const std::wstring text = win32::windowText(label);
        const HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        const RECT at = placeOf(label);
        EXPECT_EQ(at.right - at.left, extent.cx) << id;
        EXPECT_EQ(at.bottom - at.top, metrics.tmHeight) << id;
        EXPECT_LE(metrics.tmHeight, 16) << "one line";
    }
}

// With the recording stand-in as the library: every run answers 0 triangles.
class WithLibrary : public WindowTest {
protected:
    WithLibrary() : WindowTest(VANTREL_RECORDER_FILE) {}
};

TEST_F(WithLibrary, LblInfoWidensWithItsCaption) {
    const RECT before = placeOf(control(IDC_LBLINFO));
    press(WM_LBUTTONDOWN, MK_LBUTTON, 50, 50);
    click(IDC_CMDTRIANGULATE);
    EXPECT_EQ(win32::windowText(control(IDC_LBLINFO)), L"Points:1 Triangles:0 Triangulate time:0 seconds");
    const RECT after = placeOf(control(IDC_LBLINFO));
    EXPECT_EQ(std::pair(after.left, after.top), std::pair(before.left, before.top));
    EXPECT_GT(after.right, before.right);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(Form1Layout, FontsAreMsSansSerifAtEightAndAQuarterPoints) {
    struct Expected { int id; LONG weight; bool underline; };
    for (const auto [id, weight, underline] :
         {Expected{IDC_CHKAUTO, FW_NORMAL, false}, Expected{IDC_CMDTRIANGULATE, 700, false},
          Expected{IDC_CMDCLEAR, FW_NORMAL, false}, Expected{IDC_CMDRANDOM, FW_NORMAL, false},
          Expected{IDC_LBLHYPERLINK, FW_NORMAL, true}, Expected{IDC_LBLINFO, FW_NORMAL, false},
          Expected{IDC_LBLTUTORIAL, FW_NORMAL, false}}) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(control(id), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr) << id;
        LOGFONTW asked{};
        GetObjectW(font, sizeof asked, &asked);
        EXPECT_EQ(std::wstring(asked.lfFaceName), L"MS Sans Serif") << id;
        EXPECT_EQ(asked.lfWeight, weight) << id;
        EXPECT_EQ(asked.lfUnderline != 0, underline) << id;
        // 8.25 points of 1/72 inch at 96 dpi: 11 pixels of character height.
        EXPECT_EQ(asked.lfHeight, -11) << id;
        // And the system found that face.
        const HDC dc = GetDC(control(id));
        const HGDIOBJ old = SelectObject(dc, font);
        std::array<wchar_t, LF_FACESIZE> face{};
        GetTextFaceW(dc, LF_FACESIZE, face.data());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(control(id), dc);
        EXPECT_EQ(std::wstring(face.data()), L"MS Sans Serif") << id;
        EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 11) << id;
    }
}

// The colour a static control is drawn with, as the window answers
// WM_CTLCOLORSTATIC.
COLORREF textColourOf(HWND window, HWND label) {
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

TEST_F(Form1Layout, OnlyTheLinkIsBlue) {
    EXPECT_EQ(textColourOf(window(), control(IDC_LBLHYPERLINK)), 0x00FF0000u);
    EXPECT_NE(textColourOf(window(), control(IDC_LBLINFO)), 0x00FF0000u);
    EXPECT_NE(textColourOf(window(), control(IDC_LBLTUTORIAL)), 0x00FF0000u);
}

// ------------------------------------------------------------ focus

TEST_F(Form1Layout, TabOrderAndStartUpFocus) {
    EXPECT_EQ(GetFocus(), control(IDC_CMDRANDOM));
    std::vector<int> order;
    HWND at = control(IDC_CMDRANDOM);
    for (int i = 0; i < 5; ++i) {
        at = GetNextDlgTabItem(window(), at, FALSE);
        order.push_back(GetDlgCtrlID(at));
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_CMDCLEAR, IDC_CMDTRIANGULATE, IDC_PICMAIN, IDC_CHKAUTO, IDC_CMDRANDOM}));
}

TEST_F(Form1Layout, ActivationGivesTheFocusBackToItsControl) {
    SetFocus(control(IDC_CHKAUTO));
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    pump();
    SetActiveWindow(window());
    pump();
    EXPECT_EQ(GetFocus(), control(IDC_CHKAUTO));
    DestroyWindow(other);
}

// ------------------------------------------------------------ pointers

HCURSOR cursorOver(HWND window, HWND child) {
    SetCursor(nullptr);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

TEST_F(Form1Layout, HandOverTheLinkHourglassEverywhereWhileBusy) {
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(cursorOver(window(), control(IDC_LBLHYPERLINK)), form->handCursor());
    EXPECT_EQ(cursorOver(window(), canvas()), arrow);
    form->platform().setBusyPointer(11);
    for (int id : {IDC_LBLHYPERLINK, IDC_PICMAIN, IDC_CMDCLEAR, IDC_LBLINFO})
        EXPECT_EQ(cursorOver(window(), control(id)), wait) << id;
    EXPECT_EQ(cursorOver(window(), window()), wait);
    form->platform().setBusyPointer(0);
    EXPECT_EQ(cursorOver(window(), control(IDC_LBLHYPERLINK)), form->handCursor());
    EXPECT_EQ(cursorOver(window(), canvas()), arrow);
}

TEST_F(Form1Layout, HandCursorIsTheXpmPictureWithItsHotSpot) {
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(form->handCursor(), &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(std::pair(info.xHotspot, info.yHotspot), std::pair(12ul, 1ul));
    std::string problem;
    const Picture drawn = shown(form->handCursor(), 32, 32, problem);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(drawn.pixels, picture(hand_xpm).pixels);
}

// ------------------------------------------------------------ the canvas follows the window

// The canvas's outer rectangle FitCanvas gives for a client area, where
// each statement that would give a negative size keeps the previous side.
RECT fitted(const RECT& client, const RECT& previous) {
    RECT r = previous;
    if (client.right >= 16) r.right = client.right - 8;
    if (client.bottom >= 104) r.bottom = client.bottom - 8;
    return r;
}

TEST_F(Form1Layout, CanvasIsFittedOnEveryResizeAndSkipsANegativeSize) {
    const std::array<SIZE, 5> sizes{{{900, 700}, {12, 500}, {640, 50}, {12, 30}, {640, 500}}};
    RECT expected = placeOf(canvas());
    for (const SIZE& size : sizes) {
        resizeClient(size.cx, size.cy);
        RECT client{};
        GetClientRect(window(), &client);  // the system may keep a window from being that small
        expected = fitted(client, expected);
        EXPECT_EQ(placeOf(canvas()), expected) << size.cx << " x " << size.cy;
    }
    EXPECT_EQ(expected, (RECT{8, 96, 632, 492}));
    // Minimised, the client area has no size: both statements are skipped.
    ShowWindow(window(), SW_MINIMIZE);
    pump();
    EXPECT_EQ(placeOf(canvas()), expected);
    ShowWindow(window(), SW_RESTORE);
    pump();
    EXPECT_EQ(placeOf(canvas()), expected);
    EXPECT_EQ(form->canvasBox().canvas().width(), 620);
    EXPECT_EQ(form->canvasBox().canvas().height(), 392);
}

// ------------------------------------------------------------ commands from the controls

TEST_F(Form1Layout, PressesWithAnyButtonPlacePointsInTwipsOfTheInterior) {
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    press(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 100, 30);
    press(WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT, 200, 300);
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);  // on the first disc: refused
    const auto& points = form->pointStore().Points();
    ASSERT_EQ(form->pointStore().nPoints(), 3);
    EXPECT_EQ(std::pair(points.at(1).x, points.at(1).y), std::pair(150, 300));
    EXPECT_EQ(std::pair(points.at(2).x, points.at(2).y), std::pair(1500, 450));
    EXPECT_EQ(std::pair(points.at(3).x, points.at(3).y), std::pair(3000, 4500));
    EXPECT_EQ(GetFocus(), canvas()) << "a press focuses the canvas";
    // The drawing is invalidated for the next paint.
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(canvas(), &pending, FALSE));
    click(IDC_CMDCLEAR);
    EXPECT_EQ(form->pointStore().nPoints(), 0);
}

TEST_F(Form1Layout, MissingLibraryIsReportedAndNothingIsLost) {
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    click(IDC_CMDTRIANGULATE);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, L"Error");
    EXPECT_NE(dialogs[0].text.find(L"no-such-library.dll"), std::wstring::npos) << win32::narrow(dialogs[0].text);
    EXPECT_EQ(dialogs[0].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(form->pointStore().nPoints(), 1);
    EXPECT_FALSE(form->platform().busy()) << "the hourglass is gone";
    EXPECT_TRUE(IsWindowEnabled(window()));
}

TEST_F(Form1Layout, PromptAsksForTheCountAndCancelChangesNothing) {
    int button = IDCANCEL;
    std::wstring reply;
    textId = IDC_PROMPT_TEXT;
    answer = [&](HWND prompt) {
        std::array<wchar_t, 16> field{};
        GetDlgItemTextW(prompt, IDC_PROMPT_REPLY, field.data(), 16);
        DWORD from = 0, to = 0;
        SendDlgItemMessageW(prompt, IDC_PROMPT_REPLY, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                            reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(std::wstring(field.data()), L"50");
        EXPECT_EQ(std::pair(from, to), std::pair(0ul, 2ul)) << "the default is selected";
        if (!reply.empty()) SetDlgItemTextW(prompt, IDC_PROMPT_REPLY, reply.c_str());
        PostMessageW(prompt, WM_COMMAND, static_cast<WPARAM>(button), 0);
    };
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    SendMessageW(control(IDC_CHKAUTO), BM_SETCHECK, BST_CHECKED, 0);
    click(IDC_CMDRANDOM);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, L"Number of points");
    EXPECT_EQ(dialogs[0].text, L"Enter number of points.\r\nNote: Triangulate more than 1000 "
                                 L"random-ordered points can take some time...");
    EXPECT_EQ(dialogs[0].buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(form->pointStore().nPoints(), 1) << "Cancel keeps the points";

    button = IDOK;
    reply = L"3";
    click(IDC_CMDRANDOM);
    EXPECT_EQ(form->pointStore().nPoints(), 3);
    EXPECT_EQ(SendMessageW(control(IDC_CHKAUTO), BM_GETCHECK, 0, 0), BST_CHECKED);
}

// ------------------------------------------------------------ the platform services

// The icon a message box shows: that of its static icon control.
HICON iconOf(HWND box) {
    HICON icon = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t name[16]{};
            GetClassNameW(child, name, 16);
            if (_wcsicmp(name, L"Static") != 0 || (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
                return TRUE;
            *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

TEST_F(Form1Layout, MessageBoxPassesStyleAndTitleThrough) {
    std::vector<HICON> icons;
    answer = [&](HWND box) {
        icons.push_back(iconOf(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
    form->platform().messageBox("Not enough memory", 48, "Error");
    form->platform().messageBox("two\r\nlines", 0x21, "Other");  // OK and Cancel, question mark
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(std::tuple(dialogs[0].title, dialogs[0].text), std::tuple(L"Error", L"Not enough memory"));
    EXPECT_EQ(dialogs[0].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(std::tuple(dialogs[1].title, dialogs[1].text), std::tuple(L"Other", L"two\r\nlines"));
    EXPECT_EQ(dialogs[1].buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(icons, (std::vector<HICON>{LoadIconW(nullptr, IDI_EXCLAMATION), LoadIconW(nullptr, IDI_QUESTION)}));
}

TEST_F(Form1Layout, AProgramThatCannotStartIsReported) {
    form->platform().shell("no-such-program-anywhere http://x", 3);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, L"Project1");
    EXPECT_NE(dialogs[0].text.find(L"no-such-program-anywhere"), std::wstring::npos);
    EXPECT_NE(dialogs[0].text.find(L"(error 2)"), std::wstring::npos) << win32::narrow(dialogs[0].text);
}

TEST_F(Form1Layout, ProgressWindowIsModalAndCancels) {
    answer = [](HWND) {};  // the test presses Cancel itself
    Win32Platform& platform = form->platform();
    platform.setProgressDelay(0);
    platform.setBusyPointer(11);
    platform.beginProgress(12288);
    EXPECT_TRUE(platform.progress(4096));
    const HWND shown = platform.progressWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(win32::windowText(shown), L"Project1");
    // Grouped in thousands with the user's separator.
    std::array<wchar_t, 8> separator{};
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator.data(), 8);
    const std::wstring group = separator.data();
    EXPECT_EQ(win32::windowText(GetDlgItem(shown, IDC_PROGRESS_TEXT)),
              L"4" + group + L"096 of 12" + group + L"288 done");
    EXPECT_EQ(SendDlgItemMessageW(shown, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 333);
    EXPECT_FALSE(IsWindowEnabled(window())) << "the window takes no input meanwhile";
    EXPECT_EQ(cursorOver(window(), canvas()), LoadCursorW(nullptr, IDC_WAIT));
    SendMessageW(GetDlgItem(shown, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(platform.progress(8192));
    EXPECT_FALSE(platform.progress(12288)) << "cancelled stays cancelled";
    platform.endProgress();
    platform.setBusyPointer(0);
    EXPECT_EQ(platform.progressWindow(), nullptr);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_TRUE(IsWindowEnabled(window()));
}

TEST(Win32Platform, ClockRunsForwardInSeconds) {
    Win32Platform platform(GetModuleHandleW(nullptr));
    const double start = platform.clockSeconds();
    Sleep(20);
    const double elapsed = platform.clockSeconds() - start;
    EXPECT_GT(elapsed, 0.015);
    EXPECT_LT(elapsed, 5.0);
}

// ------------------------------------------------------------ picMain's codes

// A parent that keeps what picMain reports.
struct Recorder {
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PictureBox::kMouseDownCode)
            presses.push_back(*reinterpret_cast<PictureBox::MouseDown*>(lParam));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    static inline std::vector<PictureBox::MouseDown> presses;
};

TEST(PictureBoxTest, ReportsButtonShiftAndTwipsOfEachPress) {
    WNDCLASSW parentClass{};
    parentClass.lpfnWndProc = &Recorder::proc;
    parentClass.hInstance = GetModuleHandleW(nullptr);
    parentClass.lpszClassName = L"PictureBoxTestParent";
    RegisterClassW(&parentClass);
    const HWND parent = CreateWindowExW(0, L"PictureBoxTestParent", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                        300, nullptr, nullptr, parentClass.hInstance, nullptr);
    PictureBox box;
    ASSERT_TRUE(box.create(parentClass.hInstance, parent, 77, RECT{10, 10, 210, 110}));
    Recorder::presses.clear();
    const auto send = [&](UINT message, WPARAM keys, int x, int y) {
        SendMessageW(box.Window(), message, keys, MAKELPARAM(x, y));
    };
    send(WM_LBUTTONDOWN, MK_LBUTTON, 0, 0);
    send(WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 3, 4);
    send(WM_MBUTTONDOWN, MK_MBUTTON | MK_CONTROL | MK_SHIFT, 195, 95);
    // Alt is not in the message; it is read from the keyboard state.
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys.data());
    send(WM_LBUTTONDOWN, MK_LBUTTON, 1, 1);
    keys[VK_MENU] = 0;
    SetKeyboardState(keys.data());
    send(WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 2, 2);

    using Seen = std::tuple<int, int, float, float>;
    std::vector<Seen> seen;
    for (const auto& p : Recorder::presses) {
        EXPECT_EQ(p.header.idFrom, 77u);
        seen.emplace_back(p.button, p.shift, p.x, p.y);
    }
    EXPECT_EQ(seen, (std::vector<Seen>{{1, 0, 0.0f, 0.0f}, {2, 1, 45.0f, 60.0f}, {4, 3, 2925.0f, 1425.0f},
                                       {1, 4, 15.0f, 15.0f}, {0, 0, 30.0f, 30.0f}}));
    RECT interior{};
    GetClientRect(box.Window(), &interior);
    EXPECT_EQ(interior, (RECT{0, 0, 196, 96})) << "two pixels of border on each side";
    DestroyWindow(parent);
}

}  // namespace
