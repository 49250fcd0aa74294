#include "XpmImage.h"

#include <charconv>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

// The string literals of the C source, in order, comments skipped.
std::vector<std::string> stringLiterals(std::string_view text) {
    std::vector<std::string> literals;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            if (end == std::string_view::npos) throw std::runtime_error("unterminated comment");
            i = end + 2;
        } else if (text[i] == '"') {
            const std::size_t end = text.find('"', i + 1);
            if (end == std::string_view::npos) throw std::runtime_error("unterminated string");
            literals.emplace_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            ++i;
        }
    }
    return literals;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

int number(const std::string& word) {
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || value <= 0)
        throw std::runtime_error("\"" + word + "\" is not a positive number");
    return value;
}

std::uint32_t colour(const std::string& value) {
    if (value.size() != 7 || value[0] != '#')
        throw std::runtime_error("colour \"" + value + "\" is not written #RRGGBB or None");
    std::uint32_t rgb = 0;
    const auto [end, error] = std::from_chars(value.data() + 1, value.data() + 7, rgb, 16);
    if (error != std::errc{} || end != value.data() + 7)
        throw std::runtime_error("colour \"" + value + "\" is not hexadecimal");
    return rgb;
}

}  // namespace

XpmImage parseXpm(std::string_view text) {
    const std::vector<std::string> lines = stringLiterals(text);
    if (lines.empty()) throw std::runtime_error("no XPM header");
    const std::vector<std::string> header = words(lines[0]);
    if (header.size() < 4) throw std::runtime_error("the header needs width, height, colours and characters per pixel");
    XpmImage image;
    image.width = number(header[0]);
    image.height = number(header[1]);
    const int colours = number(header[2]);
    const auto perPixel = static_cast<std::size_t>(number(header[3]));
    if (lines.size() != 1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(image.height))
        throw std::runtime_error("expected " + std::to_string(colours) + " colours and " +
                                 std::to_string(image.height) + " rows");

    std::map<std::string, int> indexOf;
    for (int c = 1; c <= colours; ++c) {
        const std::string& line = lines[static_cast<std::size_t>(c)];
        if (line.size() < perPixel) throw std::runtime_error("colour line \"" + line + "\" too short");
        const std::string key = line.substr(0, perPixel);
        const std::vector<std::string> rest = words(line.substr(perPixel));
        std::size_t k = 0;
        while (k + 1 < rest.size() && rest[k] != "c") k += 2;
        if (k + 1 >= rest.size()) throw std::runtime_error("colour line \"" + line + "\" has no c colour");
        if (rest[k + 1] == "None" || rest[k + 1] == "none") {
            indexOf[key] = XpmImage::kTransparent;
        } else {
            indexOf[key] = static_cast<int>(image.palette.size());
            image.palette.push_back(colour(rest[k + 1]));
        }
    }

    const auto rowLength = static_cast<std::size_t>(image.width) * perPixel;
    for (int y = 0; y < image.height; ++y) {
        const std::string& row = lines[1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(y)];
        if (row.size() != rowLength)
            throw std::runtime_error("row " + std::to_string(y) + " is not " + std::to_string(image.width) + " pixels wide");
        for (std::size_t x = 0; x < rowLength; x += perPixel) {
            const auto found = indexOf.find(row.substr(x, perPixel));
            if (found == indexOf.end())
                throw std::runtime_error("row " + std::to_string(y) + " uses an undefined colour");
            image.pixels.push_back(found->second);
        }
    }
    return image;
}

XpmImage readXpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return parseXpm(text.str());
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}
