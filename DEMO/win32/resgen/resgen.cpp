// resgen: the program's icon and cursor files from its XPM pictures.
//
//   resgen icon OUT.ico BITS PICTURE.xpm [BITS PICTURE.xpm ...]
//   resgen cursor OUT.cur BITS PICTURE.xpm HOTX HOTY
//
// BITS is 1 (2 colours) or 4 (16 colours).
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "IconFile.h"
#include "XpmImage.h"

namespace {

int usage() {
    std::fputs("usage: resgen icon OUT.ico BITS PICTURE.xpm [BITS PICTURE.xpm ...]\n"
               "       resgen cursor OUT.cur BITS PICTURE.xpm HOTX HOTY\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() < 4) return usage();
        const bool cursor = args[0] == "cursor";
        if ((!cursor && args[0] != "icon") || (cursor && args.size() != 6) ||
            (!cursor && args.size() % 2 != 0))
            return usage();
        const std::size_t pictureArgs = cursor ? 2 : args.size() - 2;
        std::vector<XpmImage> images;
        images.reserve(pictureArgs / 2);
        std::vector<IconPicture> pictures;
        for (std::size_t i = 2; i < 2 + pictureArgs; i += 2) {
            images.push_back(readXpm(args[i + 1]));
            pictures.push_back({&images.back(), std::stoi(args[i]), 0, 0});
        }
        if (cursor) {
            pictures[0].hotSpotX = std::stoi(args[4]);
            pictures[0].hotSpotY = std::stoi(args[5]);
        }
        const auto bytes = iconFile(cursor ? IconKind::cursor : IconKind::icon, pictures);
        std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error("cannot write " + args[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "resgen: %s\n", error.what());
        return 1;
    }
    return 0;
}
