// The program's own pictures: its icon and the pointer over the link line.
// Both are pixel art kept as XPM text in DEMO/resources and compiled in.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPoint>

namespace project1 {

// Where the pointing hand's fingertip is, in its 32 x 32 image.
inline constexpr QPoint kHandHotSpot{12, 1};

// The pointing hand (index finger up, cuff at the wrist).
[[nodiscard]] QCursor handCursor();
// The window and program icon: 32 x 32 and 16 x 16 images in 16 colours.
[[nodiscard]] QIcon programIcon();

}  // namespace project1
