// Form1 as a real window under Wine, in the test's own process, and the
// pictures and version record as Project1.exe stores them. The real-window
// test drives the program itself.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <sstream>

#include "../FormFacts.h"
#include "Form1.h"
#include "Handles.h"
#include "Resource.h"
#include "Text.h"
#include "resources/hand.xpm"
#include "resources/project1-16.xpm"
#include "resources/project1-32-mono.xpm"
#include "resources/project1-32.xpm"

namespace {

using win32::widen;
using win32::windowText;
using Pixels = std::vector<std::int64_t>;  // 0xRRGGBB, -1 where transparent
using Box = std::array<LONG, 4>;           // left, top, right, bottom

// An XPM picture's pixels, read straight from its C array.
template <std::size_t N>
Pixels picture(const char* const (&xpm)[N]) {
    int width = 0, height = 0, colours = 0, chars = 0;
    std::istringstream(xpm[0]) >> width >> height >> colours >> chars;
    std::map<std::string, std::int64_t> colourOf;
    for (int c = 1; c <= colours; ++c) {
        const std::string line = xpm[c], value = line.substr(line.rfind(' ') + 1);
        colourOf[line.substr(0, std::size_t(chars))] = value == "None" ? -1 : std::stoll(value.substr(1), nullptr, 16);
    }
    Pixels pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(colourOf.at(std::string(xpm[1 + colours + y] + x * chars, std::size_t(chars))));
    return pixels;
}

// An icon or cursor as the system draws it, size x size, on a colour no
// 16-colour palette has: where that shows, the picture is transparent.
Pixels shown(HICON icon, int size) {
    const HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::uint32_t* bits = nullptr;
    const HGDIOBJ before = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    std::fill_n(bits, size * size, 0x123456);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    Pixels pixels;
    for (int i = 0; i < size * size; ++i) pixels.push_back((bits[i] & 0xFFFFFF) == 0x123456 ? -1 : std::int64_t{bits[i] & 0xFFFFFF});
    DeleteObject(SelectObject(dc, before));
    DeleteDC(dc);
    return pixels;
}

std::wstring thisFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/"));
}

// The controls in the order of facts::kControls.
constexpr int kIds[] = {IDC_CHKAUTO, IDC_PICMAIN, IDC_CMDTRIANGULATE, IDC_CMDCLEAR, IDC_CMDRANDOM, IDC_LBLHYPERLINK, IDC_LBLINFO, IDC_LBLTUTORIAL};

// A shown Form1 whose library is `library`. Each dialog it opens is noted in
// `seen` and handed to `answer` once it is up, to be closed by a posted
// message (its loop has not started yet): by default with its last button.
class Form1Test : public ::testing::Test {
protected:
    explicit Form1Test(const char* library = "no-such-library.dll")
        : form(std::make_unique<Form1>(GetModuleHandleW(nullptr), library)) {}
    void SetUp() override {
        current = this;
        hook = SetWindowsHookExW(WH_CBT, &Form1Test::cbt, nullptr, GetCurrentThreadId());
        ASSERT_TRUE(form->create());
        ShowWindow(window(), SW_SHOWNORMAL);
        SetWindowSubclass(window(), &Form1Test::spy, 1, 0);
        pump();
    }
    void TearDown() override {
        form.reset();
        UnhookWindowsHookEx(hook);
    }

    // Its text is a message box's, or the prompt's; the window may take input meanwhile, or not.
    struct Dialog { std::wstring title, text; bool cancel, ownerEnabled; };
    std::vector<Dialog> seen;
    std::function<void(HWND)> answer = [](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, GetDlgItem(dialog, IDCANCEL) != nullptr ? IDCANCEL : IDOK, 0);
    };
    std::vector<PictureBox::MouseDown> mouseDowns;  // as picMain reported them

    static LRESULT CALLBACK cbt(int code, WPARAM wParam, LPARAM lParam) {
        const auto dialog = reinterpret_cast<HWND>(wParam);
        wchar_t name[8]{};
        if (code == HCBT_ACTIVATE && GetClassNameW(dialog, name, 8) > 0 && std::wstring(name) == L"#32770") {
            const HWND text = GetDlgItem(dialog, GetDlgItem(dialog, IDC_PROMPT_TEXT) != nullptr ? IDC_PROMPT_TEXT : 0xFFFF);
            current->seen.push_back({windowText(dialog), windowText(text),
                                     GetDlgItem(dialog, IDCANCEL) != nullptr, IsWindowEnabled(current->window()) != FALSE});
            current->answer(dialog);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK spy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PictureBox::kMouseDownCode)
            current->mouseDowns.push_back(*reinterpret_cast<PictureBox::MouseDown*>(lParam));
        if (message == WM_GETMINMAXINFO)  // lets the window be narrower than the system's minimum
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
        return DefSubclassProc(window, message, wParam, lParam);
    }

    // Lets the window take the messages waiting for it, and drops the WM_QUIT
    // of a window that went before, which would end the next dialog at once.
    static void pump() {
        MSG message{};
        for (int round = 0; round < 3; ++round, Sleep(10))
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE)
                if (message.message != WM_QUIT) DispatchMessageW(&message);
    }
    HWND window() const { return form->Window(); }
    HWND control(int id) const { return GetDlgItem(window(), id); }
    HWND canvas() const { return form->canvasBox().Window(); }
    Box placeOf(HWND child) const {  // in client coordinates; the window's own client area
        RECT r{};
        child == window() ? GetClientRect(child, &r) : GetWindowRect(child, &r);
        if (child != window()) MapWindowPoints(HWND_DESKTOP, window(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right, r.bottom};
    }
    void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }
    void press(UINT message, WPARAM keys, int x, int y) { SendMessageW(canvas(), message, keys, MAKELPARAM(x, y)); }
    HCURSOR cursorOver(HWND child) {  // as the window answers WM_SETCURSOR
        SetCursor(nullptr);
        SendMessageW(window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(child), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
    std::int32_t nPoints() const { return form->pointStore().nPoints(); }

    std::unique_ptr<Form1> form;
    HHOOK hook = nullptr;
    static inline Form1Test* current = nullptr;
};

TEST_F(Form1Test, ControlsAsTheUserSeesThem) {
    for (std::size_t i = 0; i < std::size(kIds); ++i) {
        const facts::Control& fact = facts::kControls[i];
        SCOPED_TRACE(fact.name);
        const HWND c = control(kIds[i]);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
        LOGFONTW asked{};
        GetObjectW(font, sizeof asked, &asked);
        const win32::WindowDC dc(c);
        const win32::Selection selected(dc.get(), font);
        wchar_t face[LF_FACESIZE]{};
        GetTextFaceW(dc.get(), LF_FACESIZE, face);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.get(), &metrics);
        const std::wstring text = windowText(c);
        SIZE extent{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), int(text.size()), &extent);
        // A label is one line, as wide as its text.
        const SIZE size = fact.width != 0 ? SIZE{fact.width, fact.height} : SIZE{extent.cx, metrics.tmHeight};
        EXPECT_EQ(placeOf(c), (Box{fact.left, fact.top, fact.left + size.cx, fact.top + size.cy}));
        EXPECT_EQ(text, widen(fact.caption));
        if (*fact.caption == '\0') continue;  // the canvas has no text
        // The font asked for, and found.
        EXPECT_EQ(std::tuple(std::wstring(asked.lfFaceName), std::wstring(face), asked.lfHeight,
                             metrics.tmHeight - metrics.tmInternalLeading, asked.lfWeight, asked.lfUnderline != 0),
                  std::tuple(widen(facts::kFontFace), widen(facts::kFontFace), -facts::kCharHeight, facts::kCharHeight, fact.weight, fact.underline));
        // Blue is the link's alone.
        SendMessageW(window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(c));
        EXPECT_EQ(GetTextColor(dc.get()) == facts::kLinkColour, fact.underline);
    }
}

TEST_F(Form1Test, PicturesInEverySizeAndDepthAndTheVersionRecordAsStored) {
    const auto icon = [this](int index) { return reinterpret_cast<HICON>(GetClassLongPtrW(window(), index)); };
    EXPECT_EQ(shown(icon(GCLP_HICON), 32), picture(project1_32_xpm));
    EXPECT_EQ(shown(icon(GCLP_HICONSM), 16), picture(project1_16_xpm));
    EXPECT_EQ(shown(form->handCursor(), 32), picture(hand_xpm));

    // Project1.exe's icon group: each image at its size and colour depth.
    const std::wstring program = thisFolder() + L"\\Project1.exe";
    const HMODULE file = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(file, nullptr);
    const auto bytes = [file](LPCWSTR type, int id) {
        const HRSRC found = FindResourceW(file, MAKEINTRESOURCEW(id), type);
        return std::pair(static_cast<BYTE*>(LockResource(LoadResource(file, found))), SizeofResource(file, found));
    };
    struct Image { int size, bits; Pixels pixels; };
    const Image images[] = {{32, 1, picture(project1_32_mono_xpm)}, {32, 4, picture(project1_32_xpm)}, {16, 4, picture(project1_16_xpm)}};
    const BYTE* group = bytes(RT_GROUP_ICON, IDI_PROJECT1).first;  // a 6-byte header, 14-byte entries
    ASSERT_EQ(reinterpret_cast<const WORD*>(group)[2], std::size(images));
    for (std::size_t i = 0; i < std::size(images); ++i) {
        const BYTE* entry = group + 6 + 14 * i;
        EXPECT_EQ(std::tuple(int{entry[0]}, int{entry[1]}, int{entry[2]}, int{entry[6]}),
                  std::tuple(images[i].size, images[i].size, 1 << images[i].bits, images[i].bits)) << i;
        const auto [data, size] = bytes(RT_ICON, *reinterpret_cast<const WORD*>(entry + 12));
        const HICON image = CreateIconFromResourceEx(data, size, TRUE, 0x00030000, images[i].size, images[i].size, 0);
        EXPECT_EQ(shown(image, images[i].size), images[i].pixels) << i;
        DestroyIcon(image);
    }
    // The hand: its hot spot, then its image of 32 x 32 in 16 colours.
    const BYTE* hand = bytes(RT_CURSOR, reinterpret_cast<WORD*>(bytes(RT_GROUP_CURSOR, IDC_HAND_POINTER).first)[9]).first;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(hand + 4);
    EXPECT_EQ(std::tuple(hand[0], hand[2], header->biWidth, header->biHeight, header->biBitCount),
              std::tuple(BYTE(facts::kHotSpotX), BYTE(facts::kHotSpotY), 32L, 64L, WORD{4}));
    FreeLibrary(file);

    // The version record.
    std::vector<BYTE> record(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    ASSERT_TRUE(!record.empty() && GetFileVersionInfoW(program.c_str(), 0, DWORD(record.size()), record.data()));
    UINT length = 0;
    const auto value = [&](const std::wstring& path, void* found = nullptr) {
        return VerQueryValueW(record.data(), path.c_str(), &found, &length) != FALSE ? found : nullptr;
    };
    const auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value(L"\\"));
    const auto* language = static_cast<WORD*>(value(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(fixed != nullptr && language != nullptr);
    EXPECT_EQ(std::tuple(fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS, fixed->dwProductVersionLS),
              std::tuple(0x00010000ul, 0ul, 0x00010000ul, 0ul)) << "1.0.0.0";
    EXPECT_EQ(std::pair(language[0], language[1]), std::pair(WORD{0x0409}, WORD{1200})) << "English (United States)";
    for (const auto& [key, expected] : {std::pair(L"FileVersion", L"1.00"), std::pair(L"ProductVersion", L"1.00"),
                                        std::pair(L"FileDescription", L"Triangulation DLL example")}) {
        const auto* text = static_cast<const wchar_t*>(value(std::wstring(L"\\StringFileInfo\\040904B0\\") + key));
        EXPECT_EQ(std::wstring(text != nullptr ? text : L"(none)"), expected) << key;
    }
}

TEST_F(Form1Test, FocusStartsOnCmdRandomFollowsTheTabOrderAndComesBack) {
    std::vector<std::string> order;
    for (HWND at = GetFocus(); order.size() < std::size(facts::kTabOrder); at = GetNextDlgTabItem(window(), at, FALSE))
        order.push_back(facts::kControls[std::find(kIds, std::end(kIds), GetDlgCtrlID(at)) - kIds].name);
    EXPECT_EQ(order, std::vector<std::string>(std::begin(facts::kTabOrder), std::end(facts::kTabOrder)));
    // Another window takes the activation and gives it back: so does the focus.
    SetFocus(control(IDC_CHKAUTO));
    const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    pump();
    SetActiveWindow(window());
    pump();
    EXPECT_EQ(GetFocus(), control(IDC_CHKAUTO));
    DestroyWindow(other);
}

TEST_F(Form1Test, HandOverTheLinkHourglassEverywhereWhileBusyToTheEnd) {
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT), arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(std::pair(cursorOver(control(IDC_LBLHYPERLINK)), cursorOver(canvas())), std::pair(form->handCursor(), arrow));
    // Over the canvas, the hourglass comes at once and goes when the command
    // ends, whether or not the pointer moves.
    RECT inside{};
    GetWindowRect(canvas(), &inside);
    SetCursorPos(inside.left + 100, inside.top + 100);
    form->platform().setBusyPointer(pointset::kBusyHourglass);
    EXPECT_EQ(GetCursor(), wait);
    for (HWND over : {control(IDC_LBLHYPERLINK), canvas(), control(IDC_CMDCLEAR), control(IDC_LBLINFO), window()})
        EXPECT_EQ(cursorOver(over), wait) << GetDlgCtrlID(over);
    // A long batch's progress window takes the input from the window; its
    // Cancel stops the batch, and then the window is as it was.
    answer = [](HWND) {};
    form->platform().setProgressDelay(0);
    form->platform().beginProgress(100);
    EXPECT_TRUE(form->platform().progress(1) && !IsWindowEnabled(window()));
    SendDlgItemMessageW(form->platform().progressWindow(), IDCANCEL, BM_CLICK, 0, 0);
    EXPECT_FALSE(form->platform().progress(2));
    form->platform().endProgress();
    EXPECT_TRUE(form->platform().progressWindow() == nullptr && IsWindowEnabled(window()));
    SetCursor(wait);
    form->platform().setBusyPointer(pointset::kBusyDefault);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(cursorOver(control(IDC_LBLHYPERLINK)), form->handCursor());
}

TEST_F(Form1Test, CanvasFollowsEveryResizeAndSkipsANegativeSide) {
    for (const facts::Fit& fit : facts::kFits) {
        RECT frame{0, 0, fit.clientWidth, fit.clientHeight};
        AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(window(), GWL_STYLE)), FALSE, DWORD(GetWindowLongPtrW(window(), GWL_EXSTYLE)));
        SetWindowPos(window(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
        pump();
        ASSERT_EQ(placeOf(window()), (Box{0, 0, fit.clientWidth, fit.clientHeight}));
        EXPECT_EQ(placeOf(canvas()), (Box{8, 96, 8 + fit.canvasWidth, 96 + fit.canvasHeight}));
    }
}

TEST_F(Form1Test, AnyButtonPlacesAPointInTwipsOfTheInterior) {
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    press(WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, 100, 30);
    press(WM_MBUTTONDOWN, MK_MBUTTON | MK_CONTROL | MK_SHIFT, 200, 300);
    press(WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, XBUTTON1), 300, 300);
    using Seen = std::tuple<int, int, float, float>;
    std::vector<Seen> reported, stored;
    for (const auto& p : mouseDowns) reported.emplace_back(p.button, p.shift, p.x, p.y);
    for (std::int32_t i = 1; i <= nPoints(); ++i)
        stored.emplace_back(0, 0, float(form->pointStore().Points().at(i).x), float(form->pointStore().Points().at(i).y));
    EXPECT_EQ(reported, (std::vector<Seen>{{1, 0, 150.F, 300.F}, {2, 1, 1500.F, 450.F}, {4, 3, 3000.F, 4500.F},
                                           {0, 0, 4500.F, 4500.F}}));
    EXPECT_EQ(stored, (std::vector<Seen>{{0, 0, 150.F, 300.F}, {0, 0, 1500.F, 450.F}, {0, 0, 3000.F, 4500.F}, {0, 0, 4500.F, 4500.F}}));
    EXPECT_EQ(GetFocus(), canvas()) << "a press focuses the canvas";
}

TEST_F(Form1Test, FailuresAreReportedAndNothingIsLost) {
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    HICON icon = nullptr;
    answer = [&](HWND box) {
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr && icon == nullptr; child = GetWindow(child, GW_HWNDNEXT))
            icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
    click(IDC_CMDTRIANGULATE);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(std::tuple(seen[0].title, icon, seen[0].cancel, seen[0].ownerEnabled),
              std::tuple(L"Error", LoadIconW(nullptr, IDI_EXCLAMATION), false, false));
    EXPECT_NE(seen[0].text.find(thisFolder()), std::wstring::npos) << win32::narrow(seen[0].text);
    EXPECT_FALSE(form->platform().busy()) << "the hourglass is gone";
    EXPECT_TRUE(IsWindowEnabled(window()));
    // A program that cannot start.
    form->platform().shell("no-such-program-anywhere http://x", 3);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].title, L"Project1");
    EXPECT_NE(seen[1].text.find(L"no-such-program-anywhere"), std::wstring::npos);
    EXPECT_NE(seen[1].text.find(L"(error 2)"), std::wstring::npos) << win32::narrow(seen[1].text);
}

class WithLibrary : public Form1Test {
protected:
    WithLibrary() : Form1Test(VANTREL_RECORDER_FILE) {}  // it answers every run with 0 triangles
};

TEST_F(WithLibrary, PromptAsksForTheCountAndCancelChangesNothing) {
    int button = IDCANCEL;
    answer = [&](HWND prompt) {
        DWORD from = 0, to = 0;
        SendDlgItemMessageW(prompt, IDC_PROMPT_REPLY, EM_GETSEL, WPARAM(&from), LPARAM(&to));
        EXPECT_EQ(windowText(GetDlgItem(prompt, IDC_PROMPT_REPLY)), L"50");
        EXPECT_EQ(std::pair(from, to), std::pair(0ul, 2ul)) << "typing replaces the default";
        SetDlgItemTextW(prompt, IDC_PROMPT_REPLY, L"3");
        PostMessageW(prompt, WM_COMMAND, WPARAM(button), 0);
    };
    press(WM_LBUTTONDOWN, MK_LBUTTON, 10, 20);
    SendMessageW(control(IDC_CHKAUTO), BM_SETCHECK, BST_CHECKED, 0);
    click(IDC_CMDRANDOM);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(std::tuple(seen[0].title, seen[0].text, seen[0].cancel), std::tuple(widen(facts::kPromptTitle), widen(facts::kPromptText), true));
    EXPECT_EQ(nPoints(), 1) << "Cancel keeps the points";
    button = IDOK;
    click(IDC_CMDRANDOM);
    EXPECT_EQ(nPoints(), 3);
    EXPECT_EQ(SendMessageW(control(IDC_CHKAUTO), BM_GETCHECK, 0, 0), BST_CHECKED);
    // lblInfo widens with its caption.
    const LONG right = placeOf(control(IDC_LBLINFO))[2];
    click(IDC_CMDTRIANGULATE);
    EXPECT_GT(placeOf(control(IDC_LBLINFO))[2], right);
}

// Under a German user locale ("," decimal, "." grouping) the reply is read
// and the caption's time written in its format; the time is the clock's in
// seconds, against a library that takes a quarter of a second.
TEST_F(WithLibrary, TheUsersNumberFormatAndTheTimeInSeconds) {
    struct Setting {
        LCTYPE what;
        std::wstring kept = std::wstring(16, L'\0');
        Setting(LCTYPE type, const wchar_t* value) : what(type) {
            kept.resize(std::size_t(std::max(GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, kept.data(), 16) - 1, 0)));
            SetLocaleInfoW(LOCALE_USER_DEFAULT, what, value);
        }
        ~Setting() { SetLocaleInfoW(LOCALE_USER_DEFAULT, what, kept.c_str()); }
    } decimal(LOCALE_SDECIMAL, L","), grouping(LOCALE_STHOUSAND, L".");
    std::wstring reply;
    answer = [&](HWND prompt) {
        SetDlgItemTextW(prompt, IDC_PROMPT_REPLY, reply.c_str());
        PostMessageW(prompt, WM_COMMAND, IDOK, 0);
    };
    for (const auto& [text, fewest, most] : {std::tuple(L"1.002,5", 900, 1002), std::tuple(L"2,5", 2, 2)}) {
        reply = text;
        click(IDC_CMDRANDOM);
        EXPECT_TRUE(nPoints() >= fewest && nPoints() <= most) << nPoints() << " points for " << win32::narrow(text);
    }
    const HMODULE recorder = LoadLibraryW(widen(VANTREL_RECORDER_FILE).c_str());
    ASSERT_NE(recorder, nullptr);
    const auto delay = reinterpret_cast<void (*)(std::int32_t)>(reinterpret_cast<void (*)()>(GetProcAddress(recorder, "RecorderDelay")));
    delay(250);
    click(IDC_CMDTRIANGULATE);
    delay(0);
    FreeLibrary(recorder);
    const std::wstring caption = windowText(control(IDC_LBLINFO)), start = L"Points:2 Triangles:0 Triangulate time:0,";
    ASSERT_EQ(caption.substr(0, start.size()), start);
    EXPECT_TRUE(caption.compare(start.size(), 2, L"25") >= 0 && caption.compare(start.size(), 1, L"4") < 0 &&
                caption.ends_with(L" seconds")) << win32::narrow(caption);
}

}  // namespace
