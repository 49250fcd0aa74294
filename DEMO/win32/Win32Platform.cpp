#include "Win32Platform.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "AsciiSeparator.h"
#include "Handles.h"
#include "Resource.h"
#include "Text.h"

namespace {

using win32::narrow;
using win32::widen;

// What the prompt shows and what it answers.
struct PromptState {
    std::wstring prompt;
    std::wstring title;
    std::wstring reply;
};

// The cursor the window under the pointer would show now; after the
// hourglass goes, the pointer need not move to lose it.
void refreshCursor() {
    POINT at{};
    if (GetCursorPos(&at) == FALSE) return;
    const HWND under = WindowFromPoint(at);
    if (under == nullptr || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
    const auto hit = static_cast<WORD>(SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
}

// A count with the user's thousands separator, as in "12,288".
std::wstring grouped(std::int64_t count) {
    std::wstring digits = std::to_wstring(count);
    std::array<wchar_t, 8> separator{};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator.data(),
                        static_cast<int>(separator.size())) <= 1) {
        return digits;
    }
    const std::size_t first = digits.front() == L'-' ? 1 : 0;
    for (std::size_t at = digits.size(); at > first + 3; at -= 3) {
        digits.insert(at - 3, separator.data());
    }
    return digits;
}

// The program a command line starts, its first word, as a full path into
// the Windows folder or else the system folder: Windows' own. Named alone,
// it would be looked for beside this program and in the current folder
// first, where anybody may have put a program of that name.
std::wstring systemProgram(const std::wstring& commandLine) {
    std::wstring name = commandLine.substr(0, commandLine.find(L' '));
    if (name.find(L'.') == std::wstring::npos) name += L".exe";
    std::wstring inWindows;
    for (const auto folder : {&GetWindowsDirectoryW, &GetSystemDirectoryW}) {
        std::wstring path(MAX_PATH, L'\0');
        path.resize(folder(path.data(), MAX_PATH));
        path += L"\\" + name;
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
        if (inWindows.empty()) inWindows = path;
    }
    return inWindows;  // not there either: the start fails, and says why
}

char localeSeparator(LCTYPE what, char fallback) {
    std::vector<wchar_t> text(16);
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, text.data(),
                                       static_cast<int>(text.size()));
    if (length <= 1) return fallback;
    // Windows' wide characters are UTF-16 code units.
    std::u16string units(text.begin(), text.begin() + (length - 1));
    return project1::asciiSeparator(units, fallback);
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {
    QueryPerformanceFrequency(&frequency_);
}

Win32Platform::~Win32Platform() {
    closeProgress();
}

void Win32Platform::setBeforeEvents(std::function<void()> hook) {
    beforeEvents_ = std::move(hook);
}

void Win32Platform::runBeforeEvents() {
    if (beforeEvents_) beforeEvents_();
}

void Win32Platform::setBusyPointer(int code) {
    busy_ = code == pointset::kBusyHourglass;
    // A command runs without taking messages, so the pointer is set now;
    // WM_SETCURSOR keeps it for as long as messages do come.
    if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else {
        refreshCursor();
    }
}

void Win32Platform::messageBox(std::string_view text, int style, std::string_view title) {
    runBeforeEvents();
    MessageBoxW(owner_, widen(text).c_str(), widen(title).c_str(), static_cast<UINT>(style));
}

std::string Win32Platform::inputBox(std::string_view prompt, std::string_view title,
                                    std::string_view defaultText) {
    runBeforeEvents();
    PromptState state{widen(prompt), widen(title), widen(defaultText)};
    const INT_PTR answer = DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_PROMPT), owner_,
                                           &Win32Platform::promptProc,
                                           reinterpret_cast<LPARAM>(&state));
    return answer == IDOK ? narrow(state.reply) : std::string();
}

INT_PTR CALLBACK Win32Platform::promptProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
    try {
        switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto& state = *reinterpret_cast<const PromptState*>(lParam);
            SetWindowTextW(dialog, state.title.c_str());
            SetDlgItemTextW(dialog, IDC_PROMPT_TEXT, state.prompt.c_str());
            const HWND reply = GetDlgItem(dialog, IDC_PROMPT_REPLY);
            SetWindowTextW(reply, state.reply.c_str());
            SendMessageW(reply, EM_SETSEL, 0, -1);
            SetFocus(reply);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto& state = *reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                state.reply = win32::windowText(GetDlgItem(dialog, IDC_PROMPT_REPLY));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        EndDialog(dialog, IDCANCEL);  // the reply could not be kept
        return TRUE;
    }
}

double Win32Platform::clockSeconds() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency_.QuadPart);
}

float Win32Platform::rnd() {
    return random_.next();
}

void Win32Platform::shell(std::string_view commandLine, int windowStyle) {
    // CreateProcessW may write into the command line, so it gets a copy.
    std::wstring command = widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION started{};
    const std::wstring program = systemProgram(command);
    if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &started) == FALSE) {
        std::string text = "The command ";
        text.append(commandLine).append(" could not be started: ");
        text += win32::systemMessage(GetLastError());
        messageBox(text, pointset::kStyleExclamation, "Project1");
        return;
    }
    // Not waited for: the handles would only keep the process's record alive.
    const win32::KernelHandle thread(started.hThread);
    const win32::KernelHandle process(started.hProcess);
}

char Win32Platform::decimalSeparator() const {
    return localeSeparator(LOCALE_SDECIMAL, '.');
}

char Win32Platform::groupSeparator() const {
    return localeSeparator(LOCALE_STHOUSAND, ',');
}

void Win32Platform::beginProgress(std::int64_t total) {
    progressTotal_ = std::max<std::int64_t>(total, 0);
    progressActive_ = true;
    progressCancelled_ = false;
    progressStart_ = GetTickCount64();
    progressPolledAt_ = 0;
}

bool Win32Platform::progress(std::int64_t done) {
    if (progressCancelled_) return false;
    if (!progressActive_) return true;
    const ULONGLONG now = GetTickCount64() - progressStart_;
    if (now < progressDelayMs_ || (progressWindow_ != nullptr && now - progressPolledAt_ < kProgressPollMs)) {
        return true;
    }
    progressPolledAt_ = now;
    showProgress(done);

    runBeforeEvents();
    // Lets Cancel be pressed; the disabled owner keeps the window's own
    // controls out of reach meanwhile, so no command starts inside this one.
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
            progressCancelled_ = true;
            break;
        }
        if (progressWindow_ == nullptr || IsDialogMessageW(progressWindow_, &message) == FALSE) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return !progressCancelled_;
}

void Win32Platform::showProgress(std::int64_t done) {
    if (progressWindow_ == nullptr) {
        progressWindow_ = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_PROGRESS), owner_,
                                             &Win32Platform::progressProc,
                                             reinterpret_cast<LPARAM>(this));
        if (progressWindow_ == nullptr) return;
        SendDlgItemMessageW(progressWindow_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kProgressSteps);
        if (owner_ != nullptr) EnableWindow(owner_, FALSE);
        ShowWindow(progressWindow_, SW_SHOW);
        // The hourglass stays over the window; over this one the arrow.
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
    const std::int64_t total = std::max<std::int64_t>(progressTotal_, 1);
    const std::int64_t clamped = std::clamp<std::int64_t>(done, 0, total);
    const std::wstring text = grouped(clamped) + L" of " + grouped(progressTotal_) + L" done";
    SetDlgItemTextW(progressWindow_, IDC_PROGRESS_TEXT, text.c_str());
    SendDlgItemMessageW(progressWindow_, IDC_PROGRESS_BAR, PBM_SETPOS,
                        static_cast<WPARAM>(clamped * kProgressSteps / total), 0);
}

INT_PTR CALLBACK Win32Platform::progressProc(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, L"Project1");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            // The batch stops at its next report; the window goes with it.
            auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (self != nullptr) self->progressCancelled_ = true;
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void Win32Platform::endProgress() {
    closeProgress();
    progressActive_ = false;
}

void Win32Platform::closeProgress() noexcept {
    if (progressWindow_ == nullptr) return;
    // The owner is enabled first so that it, not some other program, gets
    // the activation back.
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    DestroyWindow(progressWindow_);
    progressWindow_ = nullptr;
}
