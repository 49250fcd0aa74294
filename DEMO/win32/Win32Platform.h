// The platform services of the point-set commands, on the Win32 API.
//
// Every dialog is modal to the owner window. Nothing here throws into the
// commands for a user's doing; a program that cannot be started is
// reported in a message box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "Platform.h"
#include "RandomSource.h"

class Win32Platform final : public pointset::Platform {
public:
    // How long a batch runs before its progress window appears, and how
    // often after that it lets the window's messages through.
    static constexpr ULONGLONG kProgressDelayMs = 1000;
    static constexpr ULONGLONG kProgressPollMs = 40;
    static constexpr int kProgressSteps = 1000;

    // Dialog resources come from `instance`; dialogs are owned by `owner`.
    explicit Win32Platform(HINSTANCE instance, HWND owner = nullptr);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    void setOwner(HWND owner) noexcept { owner_ = owner; }
    // Called before any dialog lets messages through, so that the window
    // can invalidate what the commands have drawn so far.
    void setBeforeEvents(std::function<void()> hook);
    // For tests: how long before the progress window shows.
    void setProgressDelay(ULONGLONG milliseconds) noexcept { progressDelayMs_ = milliseconds; }

    // Whether the hourglass is up; the window answers WM_SETCURSOR with it.
    [[nodiscard]] bool busy() const noexcept { return busy_; }
    // The progress window while it is shown, else null.
    [[nodiscard]] HWND progressWindow() const noexcept { return progressWindow_; }

    void setBusyPointer(int code) override;
    void messageBox(std::string_view text, int style, std::string_view title) override;
    [[nodiscard]] std::string inputBox(std::string_view prompt, std::string_view title,
                                       std::string_view defaultText) override;
    [[nodiscard]] double clockSeconds() override;
    [[nodiscard]] float rnd() override;
    // Starts the command line with CreateProcessW, the window style as the
    // new program's show command; does not wait for it. A program named
    // without a folder is taken from the Windows folder or the system folder.
    void shell(std::string_view commandLine, int windowStyle) override;

    [[nodiscard]] char decimalSeparator() const override;
    [[nodiscard]] char groupSeparator() const override;

    void beginProgress(std::int64_t total) override;
    [[nodiscard]] bool progress(std::int64_t done) override;
    void endProgress() override;

private:
    static INT_PTR CALLBACK promptProc(HWND dialog, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    static INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept;
    void runBeforeEvents();
    void showProgress(std::int64_t done);
    void closeProgress() noexcept;

    HINSTANCE instance_;
    HWND owner_;
    std::function<void()> beforeEvents_;
    bool busy_ = false;
    pointset::RandomSource random_;
    LARGE_INTEGER frequency_{};

    HWND progressWindow_ = nullptr;
    bool progressActive_ = false;
    bool progressCancelled_ = false;
    std::int64_t progressTotal_ = 0;
    ULONGLONG progressStart_ = 0;
    ULONGLONG progressPolledAt_ = 0;
    ULONGLONG progressDelayMs_ = kProgressDelayMs;
};
