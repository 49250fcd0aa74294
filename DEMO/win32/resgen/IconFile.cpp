#include "IconFile.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : bytes(out) {}
    void u8(unsigned value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
    void u16(unsigned value) {
        u8(value & 0xFFu);
        u8((value >> 8) & 0xFFu);
    }
    void u32(std::uint32_t value) {
        u16(value & 0xFFFFu);
        u16(value >> 16);
    }

private:
    std::vector<std::uint8_t>& bytes;
};

// Bytes in a row of a bitmap: whole 32-bit words.
std::size_t stride(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

// BITMAPINFOHEADER, palette, colour pixels and mask of one picture. The
// height is doubled: colour pixels and mask are stacked.
std::vector<std::uint8_t> imageData(const IconPicture& picture) {
    const XpmImage& image = *picture.image;
    const int bits = picture.bitsPerPixel;
    if (bits != 1 && bits != 4) throw std::runtime_error("only 1 and 4 bits per pixel are written");
    const std::size_t colours = std::size_t{1} << bits;
    if (image.palette.size() > colours)
        throw std::runtime_error(std::to_string(image.palette.size()) + " colours do not fit in " +
                                 std::to_string(bits) + " bits per pixel");
    // A transparent pixel is black in the colour bits and set in the mask,
    // which leaves the screen beneath it as it was.
    const auto black = std::find(image.palette.begin(), image.palette.end(), 0u);
    const bool hasTransparent =
        std::find(image.pixels.begin(), image.pixels.end(), XpmImage::kTransparent) != image.pixels.end();
    if (hasTransparent && black == image.palette.end())
        throw std::runtime_error("a picture with transparent pixels needs black in its palette");
    const int transparentIndex = static_cast<int>(black - image.palette.begin());

    const std::size_t colourStride = stride(image.width, bits);
    const std::size_t maskStride = stride(image.width, 1);
    const std::size_t colourBytes = colourStride * static_cast<std::size_t>(image.height);
    const std::size_t maskBytes = maskStride * static_cast<std::size_t>(image.height);

    std::vector<std::uint8_t> data;
    Writer out(data);
    out.u32(kInfoHeaderSize);
    out.u32(static_cast<std::uint32_t>(image.width));
    out.u32(static_cast<std::uint32_t>(2 * image.height));
    out.u16(1);  // planes
    out.u16(static_cast<unsigned>(bits));
    out.u32(0);  // BI_RGB
    out.u32(static_cast<std::uint32_t>(colourBytes + maskBytes));
    out.u32(0);
    out.u32(0);
    out.u32(0);  // every colour of the depth is in the palette
    out.u32(0);
    for (std::size_t i = 0; i < colours; ++i) {
        const std::uint32_t rgb = i < image.palette.size() ? image.palette[i] : 0;
        out.u8(rgb & 0xFFu);
        out.u8((rgb >> 8) & 0xFFu);
        out.u8((rgb >> 16) & 0xFFu);
        out.u8(0);
    }

    std::vector<std::uint8_t> colourRows(colourBytes, 0);
    std::vector<std::uint8_t> maskRows(maskBytes, 0);
    for (int y = 0; y < image.height; ++y) {
        const auto row = static_cast<std::size_t>(image.height - 1 - y);  // bottom up
        for (int x = 0; x < image.width; ++x) {
            const int index = image.at(x, y);
            const bool transparent = index == XpmImage::kTransparent;
            const auto value = static_cast<unsigned>(transparent ? transparentIndex : index);
            const auto bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
            const auto shift = static_cast<unsigned>(8 - bits - static_cast<int>(bit % 8));
            colourRows[row * colourStride + bit / 8] |= static_cast<std::uint8_t>(value << shift);
            if (transparent) {
                const auto mx = static_cast<std::size_t>(x);
                maskRows[row * maskStride + mx / 8] |= static_cast<std::uint8_t>(0x80u >> (mx % 8));
            }
        }
    }
    data.insert(data.end(), colourRows.begin(), colourRows.end());
    data.insert(data.end(), maskRows.begin(), maskRows.end());
    return data;
}

}  // namespace

std::vector<std::uint8_t> iconFile(IconKind kind, const std::vector<IconPicture>& pictures) {
    std::vector<std::vector<std::uint8_t>> images;
    for (const IconPicture& picture : pictures) images.push_back(imageData(picture));

    std::vector<std::uint8_t> file;
    Writer out(file);
    out.u16(0);
    out.u16(static_cast<unsigned>(kind));
    out.u16(static_cast<unsigned>(pictures.size()));
    std::size_t offset = kDirectorySize + kEntrySize * pictures.size();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const IconPicture& picture = pictures[i];
        const XpmImage& image = *picture.image;
        if (image.width > 256 || image.height > 256) throw std::runtime_error("pictures are at most 256 pixels wide");
        out.u8(static_cast<unsigned>(image.width) & 0xFFu);  // 256 is written 0
        out.u8(static_cast<unsigned>(image.height) & 0xFFu);
        out.u8(1u << picture.bitsPerPixel);
        out.u8(0);
        if (kind == IconKind::cursor) {
            out.u16(static_cast<unsigned>(picture.hotSpotX));
            out.u16(static_cast<unsigned>(picture.hotSpotY));
        } else {
            out.u16(1);
            out.u16(static_cast<unsigned>(picture.bitsPerPixel));
        }
        out.u32(static_cast<std::uint32_t>(images[i].size()));
        out.u32(static_cast<std::uint32_t>(offset));
        offset += images[i].size();
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return file;
}
