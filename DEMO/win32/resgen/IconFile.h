// Icon (.ico) and cursor (.cur) files as the resource compiler reads them:
// a directory of images, each a device-independent bitmap with its palette,
// its colour pixels and a one-bit transparency mask, rows bottom up.
#pragma once

#include <cstdint>
#include <vector>

#include "XpmImage.h"

struct IconPicture {
    const XpmImage* image = nullptr;
    int bitsPerPixel = 4;  // 1 or 4: 2 or 16 colours
    // Cursors only: the pixel the pointer points with.
    int hotSpotX = 0;
    int hotSpotY = 0;
};

enum class IconKind : std::uint16_t { icon = 1, cursor = 2 };

// The whole file. Throws std::runtime_error when a picture has more colours
// than its depth holds, or no black for its transparent pixels.
[[nodiscard]] std::vector<std::uint8_t> iconFile(IconKind kind, const std::vector<IconPicture>& pictures);
