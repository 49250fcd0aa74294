// A picture read from an XPM file: the palette in the order the file
// defines its colours, and one palette index per pixel (kTransparent for
// the colour "None"). Only what the program's own pictures use is
// understood: "c" colours written #RRGGBB or None.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct XpmImage {
    static constexpr int kTransparent = -1;

    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB
    std::vector<int> pixels;             // row by row, top row first

    [[nodiscard]] int at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Parses the text of an XPM file; throws std::runtime_error saying what is
// wrong with it.
[[nodiscard]] XpmImage parseXpm(std::string_view text);

// Reads and parses the file at path.
[[nodiscard]] XpmImage readXpm(const std::string& path);
