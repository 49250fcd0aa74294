// Form1 as designed, the same for every front end: the client area and each
// control's place before the first resize (in twips), the captions, the
// font, the link's command, and the codes picMain's MouseDown reports. Each
// front end turns twips into pixels of its own.
#pragma once

#include <cstdint>
#include <string>

#include "Version.h"

namespace project1 {

// A control's place in twips, as laid out before the first resize.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kClientWidth = 10890;
inline constexpr int kClientHeight = 9870;

// In creation order.
inline constexpr Place kChkAuto{6600, 600, 2415, 255};
inline constexpr Place kPicMain{120, 1440, 8895, 6495};
inline constexpr Place kCmdTriangulate{4560, 600, 1815, 495};
inline constexpr Place kCmdClear{2520, 600, 1935, 495};
inline constexpr Place kCmdRandom{120, 600, 2295, 495};
inline constexpr Place kLblHyperlink{120, 0, 3780, 195};
inline constexpr Place kLblInfo{120, 1200, 2790, 195};
inline constexpr Place kLblTutorial{120, 240, 6585, 195};

inline constexpr char kTitle[] = "Triangulation DLL example";
inline constexpr char kAutoCaption[] = "Auto triangulate";
inline constexpr char kTriangulateCaption[] = "TRIANGULATE";
inline constexpr char kClearCaption[] = "Clear all points";
inline constexpr char kRandomCaption[] = "Generate random points";
inline constexpr char kInitialInfo[] = "Points: 0 Triangles:0 Triangulate time: 0";
inline constexpr char kTutorial[] =
    "Click on the white box to create points. Click \"TRIANGULATE\" button to create "
    "triangulation.";

// The text of the controls; the TRIANGULATE caption in bold.
inline constexpr char kFontFace[] = "MS Sans Serif";
inline constexpr double kFontPoints = 8.25;
inline constexpr int kBoldWeight = 700;

// The library's information page, without its scheme; the link line's
// caption; and the command line that opens the page.
[[nodiscard]] inline std::string infoAddress() {
    return std::string(kInfoHost) + "/triangulation";
}
[[nodiscard]] inline std::string linkCaption() {
    return "VISIT " + infoAddress() + " FOR MORE INFO";
}
[[nodiscard]] inline std::string infoCommandLine() {
    return "explorer http://" + infoAddress();
}

// MouseDown's button codes, and its shift codes, added together.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;
inline constexpr std::int16_t kShiftKey = 1;
inline constexpr std::int16_t kCtrlKey = 2;
inline constexpr std::int16_t kAltKey = 4;

}  // namespace project1
