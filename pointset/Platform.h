// Services of the windowing platform that the point-set commands use, and the
// two window controls they read or write. The window provides the real ones;
// tests script them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pointset {

inline constexpr int kBusyHourglass = 11;
inline constexpr int kBusyDefault = 0;
inline constexpr int kStyleExclamation = 48;  // exclamation icon, one OK button
inline constexpr int kStyleMaximizedFocus = 3;

class Platform {
public:
    virtual ~Platform() = default;

    // 11 shows the application-wide hourglass, 0 restores the default pointer.
    virtual void setBusyPointer(int code) = 0;
    // Modal box; returns when the user dismisses it.
    virtual void messageBox(std::string_view text, int style, std::string_view title) = 0;
    // Modal prompt with a text field pre-filled with defaultText. Returns the
    // field's text on OK and the empty text on Cancel.
    [[nodiscard]] virtual std::string inputBox(std::string_view prompt, std::string_view title,
                                               std::string_view defaultText) = 0;
    // Monotonic clock in seconds, high resolution; only differences matter.
    [[nodiscard]] virtual double clockSeconds() = 0;
    // Next number of a uniform pseudo-random sequence in [0, 1). Never reseeded.
    [[nodiscard]] virtual float rnd() = 0;
    // Starts a command line as a new process without waiting for it.
    virtual void shell(std::string_view commandLine, int windowStyle) = 0;

    // The user's number format.
    [[nodiscard]] virtual char decimalSeparator() const = 0;
    [[nodiscard]] virtual char groupSeparator() const = 0;

    // Progress of a long batch. beginProgress announces the total; progress
    // reports how much is done and returns false once the user has asked to
    // cancel; endProgress closes whatever was shown. A platform may show
    // nothing until the batch has run for a while.
    virtual void beginProgress(std::int64_t total) = 0;
    [[nodiscard]] virtual bool progress(std::int64_t done) = 0;
    virtual void endProgress() = 0;
};

// The window's controls the commands touch: the check box chkAuto and the
// label lblInfo.
class Controls {
public:
    virtual ~Controls() = default;
    // chkAuto: 0 unchecked, 1 checked. Setting it runs nothing.
    [[nodiscard]] virtual int autoValue() const = 0;
    virtual void setAutoValue(int value) = 0;
    // lblInfo's caption.
    virtual void setInfoCaption(std::string_view text) = 0;
};

}  // namespace pointset
