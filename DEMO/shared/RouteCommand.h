// How a window runs the command an event calls for, on any windowing system.
// No exception may leave an event handler: one that escapes the command is
// shown in a message box, and the picture is brought up to date whichever
// way the command ended.
#pragma once

#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "Platform.h"

namespace project1 {

template <typename Command, typename ShowDrawing>
void routeCommand(pointset::Platform& services, std::string_view what, ShowDrawing&& showDrawing,
                  Command&& command) noexcept {
    std::string failure;
    try {
        std::forward<Command>(command)();
    } catch (const std::bad_alloc&) {
        failure = "there is not enough memory";
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unexpected error occurred";
    }
    try {
        std::forward<ShowDrawing>(showDrawing)();
        if (!failure.empty()) {
            services.setBusyPointer(pointset::kBusyDefault);
            const std::string text = std::string(what) + " could not finish: " + failure +
                                     ". The points placed so far are kept.";
            services.messageBox(text, pointset::kStyleExclamation, "Error");
        }
    } catch (...) {
        // Nothing is left to tell the user with; the window keeps running.
    }
}

}  // namespace project1
