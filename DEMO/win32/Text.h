// UTF-8, as the point set speaks it, to the wide characters of the Windows
// API and back, and the system's words for an error code.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// Malformed input becomes U+FFFD rather than an error.
[[nodiscard]] std::wstring widen(std::string_view utf8);
[[nodiscard]] std::string narrow(std::wstring_view wide);

// The system's message for an error code, with the code: "Access is
// denied. (error 5)".
[[nodiscard]] std::string systemMessage(DWORD code);

// The text of a window or control.
[[nodiscard]] std::wstring windowText(HWND window);

}  // namespace win32
