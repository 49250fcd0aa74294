#include "Form1.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "FormDesign.h"
#include "RouteCommand.h"
#include "Resource.h"
#include "Text.h"

namespace {

using project1::Place;

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Tab and arrow keys move between the controls, as in a dialog.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

win32::Font makeFont(int dpiY, LONG weight, bool underline) {
    LOGFONTW font{};
    // Points are 1/72 inch; the size is given to a hundredth of a point.
    constexpr auto kHundredths = static_cast<int>(project1::kFontPoints * 100);
    font.lfHeight = -MulDiv(kHundredths, dpiY, 72 * 100);
    font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    const std::wstring face = win32::widen(project1::kFontFace);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return win32::Font(CreateFontIndirectW(&font));
}

}  // namespace

Form1::Form1(HINSTANCE instance_, std::string libraryFile)
    : instance(instance_),
      services(instance_),
      library(loader, std::move(libraryFile)),
      pointSet(picMain.canvas(), services, *this, library) {
    {
        const win32::WindowDC screen(nullptr);
        if (screen.get() != nullptr) {
            dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
            dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
    }
    normalFont = makeFont(dpiY, FW_NORMAL, false);
    boldFont = makeFont(dpiY, project1::kBoldWeight, false);
    linkFont = makeFont(dpiY, FW_NORMAL, true);
    hand = static_cast<HCURSOR>(LoadImageW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER),
                                           IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    services.setBeforeEvents([this] { picMain.showDrawing(); });
}

Form1::~Form1() {
    destroy();
}

void Form1::describeClass(WNDCLASSEXW& windowClass) noexcept {
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_PROJECT1), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_PROJECT1), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

int Form1::pixelsX(int twips) const noexcept { return MulDiv(twips, dpiX, kTwipsPerInch); }
int Form1::pixelsY(int twips) const noexcept { return MulDiv(twips, dpiY, kTwipsPerInch); }
int Form1::twipsX(int pixels) const noexcept { return MulDiv(pixels, kTwipsPerInch, dpiX); }
int Form1::twipsY(int pixels) const noexcept { return MulDiv(pixels, kTwipsPerInch, dpiY); }

RECT Form1::toPixels(int left, int top, int width, int height) const noexcept {
    const int x = pixelsX(left);
    const int y = pixelsY(top);
    return {x, y, x + pixelsX(width), y + pixelsY(height)};
}

bool Form1::create() {
    RECT frame{0, 0, pixelsX(project1::kClientWidth), pixelsY(project1::kClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    // CW_USEDEFAULT for x: the system picks the place, the size is ours.
    const std::wstring title = win32::widen(project1::kTitle);
    return Create(instance, title.c_str(), kWindowStyle, kWindowExStyle, CW_USEDEFAULT, 0,
                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr);
}

HWND Form1::createControl(const wchar_t* windowClass, const wchar_t* caption, DWORD style, int id,
                          const RECT& place, HFONT font) {
    const HWND control = CreateWindowExW(
        0, windowClass, caption, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

bool Form1::createControls() {
    const auto at = [this](const Place& p) { return toPixels(p.left, p.top, p.width, p.height); };
    const HFONT normal = normalFont.get();
    constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;

    using win32::widen;
    chkAuto = createControl(WC_BUTTONW, widen(project1::kAutoCaption).c_str(),
                            WS_TABSTOP | BS_AUTOCHECKBOX, IDC_CHKAUTO, at(project1::kChkAuto), normal);
    const bool canvas = picMain.create(instance, hwnd_, IDC_PICMAIN, at(project1::kPicMain));
    cmdTriangulate = createControl(WC_BUTTONW, widen(project1::kTriangulateCaption).c_str(),
                                   WS_TABSTOP | BS_PUSHBUTTON, IDC_CMDTRIANGULATE,
                                   at(project1::kCmdTriangulate), boldFont.get());
    cmdClear = createControl(WC_BUTTONW, widen(project1::kClearCaption).c_str(),
                             WS_TABSTOP | BS_PUSHBUTTON, IDC_CMDCLEAR, at(project1::kCmdClear), normal);
    cmdRandom = createControl(WC_BUTTONW, widen(project1::kRandomCaption).c_str(),
                              WS_TABSTOP | BS_PUSHBUTTON, IDC_CMDRANDOM, at(project1::kCmdRandom), normal);
    lblHyperlink = createControl(WC_STATICW, widen(project1::linkCaption()).c_str(), kLabel | SS_NOTIFY,
                                 IDC_LBLHYPERLINK, at(project1::kLblHyperlink), linkFont.get());
    lblInfo = createControl(WC_STATICW, widen(project1::kInitialInfo).c_str(), kLabel, IDC_LBLINFO,
                            at(project1::kLblInfo), normal);
    lblTutorial = createControl(WC_STATICW, widen(project1::kTutorial).c_str(), kLabel, IDC_LBLTUTORIAL,
                                at(project1::kLblTutorial), normal);
    const HWND all[] = {chkAuto, cmdTriangulate, cmdClear, cmdRandom, lblHyperlink, lblInfo, lblTutorial};
    for (const HWND control : all) {
        if (control == nullptr) return false;
    }
    if (!canvas) return false;
    SendMessageW(picMain.Window(), WM_SETFONT, reinterpret_cast<WPARAM>(normal), FALSE);
    if (SetWindowSubclass(lblHyperlink, &Form1::linkProc, 0, reinterpret_cast<DWORD_PTR>(this)) == FALSE) {
        return false;
    }
    for (const HWND label : {lblHyperlink, lblInfo, lblTutorial}) autoSize(label);

    // Keyboard focus follows the z-order: cmdRandom, cmdClear,
    // cmdTriangulate, picMain, chkAuto.
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    HWND previous = HWND_TOP;
    for (const HWND control : {cmdRandom, cmdClear, cmdTriangulate, picMain.Window(), chkAuto}) {
        SetWindowPos(control, previous, 0, 0, 0, 0, kOrderOnly);
        previous = control;
    }
    // The window starts with the focus on the first control of that order.
    lastFocus = cmdRandom;
    return true;
}

void Form1::autoSize(HWND label) {
    const std::wstring text = win32::windowText(label);
    const win32::WindowDC dc(label);
    if (dc.get() == nullptr) return;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const win32::Selection selected(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    SetWindowPos(label, nullptr, 0, 0, extent.cx, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Form1::preTranslate(MSG& message) noexcept {
    return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &message) != FALSE;
}

void Form1::FitCanvas() {
    // Twips, as the window measures itself. A size that would come out
    // negative is left alone: that statement is skipped, the other still runs.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const HWND canvas = picMain.Window();
    RECT outer{};
    GetWindowRect(canvas, &outer);
    MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&outer), 2);
    const int interiorWidth = twipsX(client.right);
    const int interiorHeight = twipsY(client.bottom);
    const int left = twipsX(outer.left);
    const int top = twipsY(outer.top);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

    const int newWidth = interiorWidth - 2 * left;
    if (newWidth >= 0) {
        width = pixelsX(newWidth);
        SetWindowPos(canvas, nullptr, 0, 0, width, height, kSizeOnly);
    }
    const int newHeight = interiorHeight - top - left;
    if (newHeight >= 0) {
        height = pixelsY(newHeight);
        SetWindowPos(canvas, nullptr, 0, 0, width, height, kSizeOnly);
    }
}

void Form1::OpenInfoPage() {
    services.shell(project1::infoCommandLine(), pointset::kStyleMaximizedFocus);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        services.setOwner(hwnd_);
        return createControls() ? 0 : -1;
    case WM_SIZE:
        Form_Resize();
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_PICMAIN && header->code == PictureBox::kMouseDownCode) {
            const auto& press = *reinterpret_cast<const PictureBox::MouseDown*>(lParam);
            picMain_MouseDown(press.button, press.shift, press.x, press.y);
        }
        return 0;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CMDTRIANGULATE:
            if (HIWORD(wParam) == BN_CLICKED) cmdTriangulate_Click();
            return 0;
        case IDC_CMDCLEAR:
            if (HIWORD(wParam) == BN_CLICKED) cmdClear_Click();
            return 0;
        case IDC_CMDRANDOM:
            if (HIWORD(wParam) == BN_CLICKED) cmdRandom_Click();
            return 0;
        case IDC_LBLHYPERLINK:
            if (HIWORD(wParam) == STN_CLICKED) lblHyperlink_Click();
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
        }
    case WM_SETCURSOR:
        return setCursor(wParam, lParam);
    case WM_CTLCOLORSTATIC:
        return colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        activate(wParam);
        return 0;
    case WM_SETFOCUS:
        if (lastFocus != nullptr && IsWindow(lastFocus) != FALSE) SetFocus(lastFocus);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK Form1::linkProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR form) noexcept {
    // The static control itself would report the press, and a double-click
    // as a second one; it sees neither.
    auto& self = *reinterpret_cast<Form1*>(form);
    switch (message) {
    case WM_LBUTTONDOWN:
        self.linkPressed = true;
        SetCapture(label);
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_LBUTTONUP: {
        RECT area{};
        GetClientRect(label, &area);
        const bool click = self.linkPressed && GetCapture() == label &&
                           PtInRect(&area, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
        self.linkPressed = false;
        ReleaseCapture();
        if (click) {
            SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(IDC_LBLHYPERLINK, STN_CLICKED),
                         reinterpret_cast<LPARAM>(label));
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        self.linkPressed = false;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(label, &Form1::linkProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

LRESULT Form1::setCursor(WPARAM wParam, LPARAM lParam) {
    // The hourglass over the whole window and its controls while a command
    // is busy; dialogs shown meanwhile keep their own arrow.
    if (services.busy()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    if (reinterpret_cast<HWND>(wParam) == lblHyperlink && LOWORD(lParam) == HTCLIENT && hand != nullptr) {
        SetCursor(hand);
        return TRUE;
    }
    return DefWindowProcW(hwnd_, WM_SETCURSOR, wParam, lParam);
}

LRESULT Form1::colourStatic(HDC dc, HWND control) {
    if (control != lblHyperlink) {
        return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    }
    // The canvas colours are 0x00BBGGRR, the layout of a COLORREF.
    SetTextColor(dc, static_cast<COLORREF>(pointset::kLinkBlue));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void Form1::activate(WPARAM wParam) {
    // DefWindowProc would give the focus to the window itself; the control
    // that had it gets it back instead. A control that has already taken
    // it keeps it: when a click activates the window, the press may come
    // first, and a button that lost the focus between press and release
    // would not report the click.
    const HWND focus = GetFocus();
    const bool inside = focus != nullptr && IsChild(hwnd_, focus) != FALSE;
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (inside) lastFocus = focus;
    } else if (!inside && lastFocus != nullptr && IsWindow(lastFocus) != FALSE) {
        SetFocus(lastFocus);
    }
}

template <typename Command>
void Form1::route(std::string_view what, Command&& command) noexcept {
    project1::routeCommand(
        services, what, [this] { picMain.showDrawing(); }, std::forward<Command>(command));
}

void Form1::Form_Resize() {
    route("Fitting the canvas", [this] { FitCanvas(); });
}

void Form1::picMain_MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
    route("Placing the point", [&] { pointSet.PlacePoint(button, shift, x, y); });
}

void Form1::cmdTriangulate_Click() {
    route("The triangulation", [this] { pointSet.RunTriangulation(); });
}

void Form1::cmdClear_Click() {
    route("Clearing the points", [this] { pointSet.ClearPoints(); });
}

void Form1::cmdRandom_Click() {
    route("Generating random points", [this] { pointSet.GenerateRandomPoints(); });
}

void Form1::lblHyperlink_Click() {
    route("Opening the information page", [this] { OpenInfoPage(); });
}

int Form1::autoValue() const {
    return SendMessageW(chkAuto, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Form1::setAutoValue(int value) {
    SendMessageW(chkAuto, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form1::setInfoCaption(std::string_view text) {
    SetWindowTextW(lblInfo, win32::widen(text).c_str());
    autoSize(lblInfo);
}
