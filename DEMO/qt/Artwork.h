// The program's own pictures: its icon and the pointer over the link line.
// Both are pixel art kept as XPM text in DEMO/shared/resources and compiled in.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPoint>

#include <vector>

namespace project1 {

// Where the pointing hand's fingertip is, in its 32 x 32 image.
inline constexpr QPoint kHandHotSpot{12, 1};

// The pointing hand (index finger up, cuff at the wrist).
[[nodiscard]] QCursor handCursor();

// The images of the program icon: 32 x 32 in 2 colours, 32 x 32 in 16
// colours and 16 x 16 in 16 colours.
struct IconImage {
    QImage image;
    int colours;
};
[[nodiscard]] std::vector<IconImage> iconImages();

// The window and program icon. It carries every image and, like an icon
// file on Windows, shows at each size the image with the most colours the
// screen can show: the 2-colour one only on screens of fewer than 4 bits.
[[nodiscard]] QIcon programIcon();
// The image the icon shows at `size` on a screen of `depth` bits per pixel.
[[nodiscard]] QImage iconImageFor(QSize size, int depth);

}  // namespace project1
