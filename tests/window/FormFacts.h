// Form1 as its user sees it on either front end at 96 dpi, which the Qt and
// the Win32 window tests each check once: written out here rather than taken
// from the program's own tables, so that a slip there shows. (The title and
// the client area, 10890 x 9870 twips, are the real-window test's.)
#pragma once

namespace facts {

struct Control {
    const char* name;
    int left, top, width, height;  // pixels; a label's size follows its text (0 x 0)
    const char* caption;
    int weight;  // of its font
    bool underline;
};
// In creation order. The canvas is fitted at the start: 10650 x 8310 twips.
inline constexpr Control kControls[] = {
    {"chkAuto", 440, 40, 161, 17, "Auto triangulate", 400, false},
    {"picMain", 8, 96, 710, 554, "", 400, false},
    {"cmdTriangulate", 304, 40, 121, 33, "TRIANGULATE", 700, false},
    {"cmdClear", 168, 40, 129, 33, "Clear all points", 400, false},
    {"cmdRandom", 8, 40, 153, 33, "Generate random points", 400, false},
    {"lblHyperlink", 8, 0, 0, 0, "VISIT www.vantrel.example/triangulation FOR MORE INFO", 400, true},
    {"lblInfo", 8, 80, 0, 0, "Points: 0 Triangles:0 Triangulate time: 0", 400, false},
    {"lblTutorial", 8, 16, 0, 0,
     "Click on the white box to create points. Click \"TRIANGULATE\" button to create triangulation.", 400, false},
};
// Where the focus starts, then each Tab, back to the start.
inline constexpr const char* kTabOrder[] = {"cmdRandom", "cmdClear", "cmdTriangulate", "picMain", "chkAuto", "cmdRandom"};

inline constexpr char kFontFace[] = "MS Sans Serif";
inline constexpr double kFontPoints = 8.25;
inline constexpr int kCharHeight = 11;               // pixels: 8.25 / 72 inch
inline constexpr unsigned kLinkColour = 0x00FF0000;  // 0x00BBGGRR: blue
inline constexpr int kHotSpotX = 12, kHotSpotY = 1;

inline constexpr char kPage[] = "http://www.vantrel.example/triangulation";
inline constexpr char kPromptTitle[] = "Number of points";
inline constexpr char kPromptText[] =
    "Enter number of points.\r\nNote: Triangulate more than 1000 random-ordered points can take some time...";

// FitCanvas: the client sizes a window goes through in turn, and the canvas's
// size after each; a side that would come out negative keeps its last size,
// as both do while the window is minimised.
struct Fit { int clientWidth, clientHeight, canvasWidth, canvasHeight; };
inline constexpr Fit kFits[] = {{900, 700, 884, 596}, {15, 500, 884, 396}, {16, 460, 0, 356}, {640, 50, 624, 356},
                                {640, 104, 624, 0},   {12, 30, 624, 0},    {640, 500, 624, 396}};

}  // namespace facts
