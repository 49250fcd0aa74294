// The platform services of the point-set commands, on Qt Widgets.
//
// Every dialog is modal to the window given at construction. Nothing here
// throws into the commands for a user's doing; failures to start a program
// are reported in a warning box.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Platform.h"
#include "RandomSource.h"

class QProgressDialog;
class QWidget;

class QtPlatform final : public pointset::Platform {
public:
    // How long a batch runs before its progress dialog appears.
    static constexpr int kProgressDelayMs = 1000;

    explicit QtPlatform(QWidget* dialogParent);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Called before any dialog lets the event loop run, so that the window
    // can schedule the repaint of what the commands have drawn so far.
    void setBeforeEvents(std::function<void()> hook);

    // 11 pushes the wait cursor on the application's override stack, 0 pops
    // it; repeated codes change nothing, so the stack stays balanced.
    void setBusyPointer(int code) override;
    void messageBox(std::string_view text, int style, std::string_view title) override;
    [[nodiscard]] std::string inputBox(std::string_view prompt, std::string_view title,
                                       std::string_view defaultText) override;
    [[nodiscard]] double clockSeconds() override;
    [[nodiscard]] float rnd() override;
    // "explorer <address>" opens the address with the desktop's URL opener
    // (the user's default browser); anything else starts as a program with
    // its arguments. Neither waits. The window style cannot be imposed on
    // another program here and is not used.
    void shell(std::string_view commandLine, int windowStyle) override;

    [[nodiscard]] char decimalSeparator() const override;
    [[nodiscard]] char groupSeparator() const override;

    void beginProgress(std::int64_t total) override;
    [[nodiscard]] bool progress(std::int64_t done) override;
    void endProgress() override;

private:
    class ArrowWhileBusy;

    void warn(const QString& text);
    void runBeforeEvents();
    // Shows the wait cursor while busy, the normal pointer while a dialog is
    // up during a busy command, and nothing of ours otherwise. It keeps at
    // most one entry on the application's override-cursor stack.
    void applyCursor();

    QWidget* parent;
    std::function<void()> beforeEvents;
    bool busy = false;
    int dialogsOpen = 0;
    bool cursorPushed = false;
    pointset::RandomSource random;

    QPointer<QProgressDialog> progressDialog;  // owned by parent, made on first use
    std::unique_ptr<ArrowWhileBusy> progressArrow;  // set while the dialog is up
    QElapsedTimer progressClock;
    std::int64_t progressTotal = 0;
    qint64 progressPolledAtMs = 0;
    bool progressCancelled = false;
};
