// The program's XPM pictures as the tests' oracle: each read straight from
// its C array, independently of the build's converter.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/hand.xpm"
#include "resources/project1-16.xpm"
#include "resources/project1-32-mono.xpm"
#include "resources/project1-32.xpm"

struct Picture {
    int width = 0, height = 0, colours = 0;
    std::vector<std::int64_t> pixels;  // 0xRRGGBB, or -1 where transparent

    [[nodiscard]] std::int64_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

template <std::size_t N>
Picture picture(const char* const (&xpm)[N]) {
    Picture result;
    int perPixel = 0;
    std::istringstream(xpm[0]) >> result.width >> result.height >> result.colours >> perPixel;
    std::map<std::string, std::int64_t> colourOf;
    for (int c = 1; c <= result.colours; ++c) {
        const std::string line = xpm[c];
        const std::string value = line.substr(line.rfind(' ') + 1);
        colourOf[line.substr(0, static_cast<std::size_t>(perPixel))] =
            value == "None" ? -1 : std::stoll(value.substr(1), nullptr, 16);
    }
    for (int y = 0; y < result.height; ++y) {
        const std::string row = xpm[1 + result.colours + y];
        for (int x = 0; x < result.width; ++x)
            result.pixels.push_back(colourOf.at(row.substr(static_cast<std::size_t>(x * perPixel),
                                                           static_cast<std::size_t>(perPixel))));
    }
    return result;
}

// An icon's or cursor's pixels as the system draws them: 0xRRGGBB where the
// mask is clear, -1 where it is set (and the colour bits black).
inline Picture shown(HICON icon, int width, int height, std::string& problem) {
    ICONINFO info{};
    Picture result;
    if (GetIconInfo(icon, &info) == FALSE) {
        problem = "GetIconInfo failed";
        return result;
    }
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> colour(static_cast<std::size_t>(width * height));
    std::vector<std::uint32_t> mask(colour.size());
    const HDC dc = GetDC(nullptr);
    // A colour cursor or icon has both bitmaps; a monochrome one stacks
    // mask and image in the mask bitmap, twice as high.
    const bool stacked = info.hbmColor == nullptr;
    if (stacked) {
        std::vector<std::uint32_t> both(colour.size() * 2);
        format.bmiHeader.biHeight = -2 * height;
        GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(2 * height), both.data(), &format, DIB_RGB_COLORS);
        std::copy(both.begin(), both.begin() + static_cast<std::ptrdiff_t>(mask.size()), mask.begin());
        std::copy(both.begin() + static_cast<std::ptrdiff_t>(mask.size()), both.end(), colour.begin());
    } else {
        GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(height), colour.data(), &format, DIB_RGB_COLORS);
        GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(height), mask.data(), &format, DIB_RGB_COLORS);
    }
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    result.width = width;
    result.height = height;
    for (std::size_t i = 0; i < colour.size(); ++i) {
        const bool transparent = (mask[i] & 0xFFFFFFu) != 0;
        if (transparent && (colour[i] & 0xFFFFFFu) != 0) problem = "a transparent pixel is not black";
        result.pixels.push_back(transparent ? -1 : static_cast<std::int64_t>(colour[i] & 0xFFFFFFu));
    }
    return result;
}
