// trilib_canonical: the library's triangulation of point files, in a form
// that two builds can compare. Built for Linux and for Windows from this one
// source: the Windows build's identity test runs the Linux build's copy and
// its own on the same files and demands the same lines.
//
//   trilib_canonical generate DIR   writes the point files below into DIR
//   trilib_canonical hash FILE...   one line per file: its name, the result
//                                   (triangle count or error code) and a
//                                   64-bit FNV-1a hash of the canonical
//                                   triangle list, each triangle rotated to
//                                   start at its lowest slot, sorted
//
// A point file is text, one point "x y" per line, slot 1 first. The points
// come from a generator of our own (splitmix64), not from the standard
// library's distributions, whose results are the library vendor's choice.
#include <vantrel.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

using Points = std::vector<PointRecord>;

struct SplitMix {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi]; the tiny modulo bias does not matter here.
    std::int32_t in(std::int64_t lo, std::int64_t hi) {
        return static_cast<std::int32_t>(lo + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(hi - lo + 1)));
    }
};

constexpr std::int64_t kMin = INT32_MIN;
constexpr std::int64_t kMax = INT32_MAX;

Points uniform(std::size_t n, std::uint64_t seed) {
    SplitMix rng{seed};
    Points out(n);
    for (PointRecord& p : out) {
        p = {rng.in(kMin, kMax), rng.in(kMin, kMax), 0};
    }
    return out;
}

// The demonstration's canvas in twips; every tenth point repeats an earlier one.
Points screen(std::size_t n, std::uint64_t seed) {
    SplitMix rng{seed};
    Points out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = i % 10 == 9 ? out[rng.next() % i] : PointRecord{rng.in(0, 10650), rng.in(0, 8310), 0};
    }
    return out;
}

Points grid(std::int32_t side, std::uint64_t seed) {
    Points out;
    for (std::int32_t j = 0; j < side; ++j) {
        for (std::int32_t i = 0; i < side; ++i) {
            out.push_back({10 * i, 10 * j, 0});
        }
    }
    SplitMix rng{seed};
    for (std::size_t i = out.size() - 1; i > 0; --i) {
        std::swap(out[i], out[rng.next() % (i + 1)]);
    }
    return out;
}

// Rounded to integers: nearly co-circular, and with many duplicates when
// the radius is small for the count.
Points circle(std::size_t n, double radius, std::uint64_t seed) {
    SplitMix rng{seed};
    Points out(n);
    for (PointRecord& p : out) {
        const double angle = 2 * std::numbers::pi * static_cast<double>(rng.next() >> 11) * 0x1p-53;
        p = {static_cast<std::int32_t>(std::llround(radius * std::cos(angle))),
             static_cast<std::int32_t>(std::llround(radius * std::sin(angle))), 0};
    }
    return out;
}

// Within 2^16 of the four int32 corners, the corners themselves first.
Points corners(std::size_t n, std::uint64_t seed) {
    SplitMix rng{seed};
    Points out{{INT32_MIN, INT32_MIN, 0}, {INT32_MAX, INT32_MIN, 0}, {INT32_MAX, INT32_MAX, 0}, {INT32_MIN, INT32_MAX, 0}};
    while (out.size() < n) {
        const std::uint64_t r = rng.next();
        const std::int32_t dx = rng.in(0, 1 << 16);
        const std::int32_t dy = rng.in(0, 1 << 16);
        out.push_back({static_cast<std::int32_t>((r & 1) != 0 ? kMax - dx : kMin + dx),
                       static_cast<std::int32_t>((r & 2) != 0 ? kMax - dy : kMin + dy), 0});
    }
    return out;
}

struct PointFile {
    const char* name;
    Points (*make)();
};

const PointFile kFiles[] = {
    {"uniform-1000", [] { return uniform(1000, 1); }},
    {"uniform-100000", [] { return uniform(100000, 2); }},
    {"screen-10000", [] { return screen(10000, 3); }},
    {"screen-100000", [] { return screen(100000, 4); }},
    {"grid-300x300", [] { return grid(300, 5); }},
    {"circle-1e9-20000", [] { return circle(20000, 1e9, 6); }},
    {"circle-3000-20000", [] { return circle(20000, 3000, 7); }},
    {"corners-100000", [] { return corners(100000, 8); }},
};

bool generate(const std::string& dir) {
    for (const PointFile& file : kFiles) {
        std::ofstream out(dir + "/" + file.name + ".txt");
        for (const PointRecord& p : file.make()) {
            out << p.x << ' ' << p.y << '\n';
        }
        if (!out) {
            std::fprintf(stderr, "cannot write %s/%s.txt\n", dir.c_str(), file.name);
            return false;
        }
    }
    return true;
}

bool hash(const std::string& path) {
    std::ifstream in(path);
    Points slots(1, PointRecord{0, 0, 0});
    for (PointRecord p{0, 0, 0}; in >> p.x >> p.y;) {
        slots.push_back(p);
    }
    if (!in.eof() || slots.size() < 2) {
        std::fprintf(stderr, "%s: not a point file\n", path.c_str());
        return false;
    }
    const auto count = static_cast<std::int32_t>(slots.size() - 1);
    std::vector<TriangleRecord> triangles(2 * slots.size());
    const std::int32_t result =
        Triangulate(count, 2 * count, count, slots.data(), triangles.data(), VANTREL_FLAG_DELAUNAY);
    std::vector<std::array<std::int32_t, 3>> canonical;
    for (std::int32_t t = 1; t <= result; ++t) {
        std::array<std::int32_t, 3> c{triangles[static_cast<std::size_t>(t)].a, triangles[static_cast<std::size_t>(t)].b,
                                      triangles[static_cast<std::size_t>(t)].c};
        std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());
        canonical.push_back(c);
    }
    std::sort(canonical.begin(), canonical.end());
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const auto& c : canonical) {
        for (const std::int32_t v : c) {
            for (int byte = 0; byte < 4; ++byte) {
                h = (h ^ ((static_cast<std::uint32_t>(v) >> (8 * byte)) & 0xffU)) * 0x100000001b3ULL;
            }
        }
    }
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    std::printf("%s %d %016llx\n", name.c_str(), static_cast<int>(result), static_cast<unsigned long long>(h));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "generate" && argc == 3) {
        return generate(argv[2]) ? 0 : 1;
    }
    if (command == "hash" && argc > 2) {
        bool ok = true;
        for (int i = 2; i < argc; ++i) {
            ok = hash(argv[i]) && ok;
        }
        return ok ? 0 : 1;
    }
    std::fprintf(stderr, "usage: trilib_canonical generate DIR | hash FILE...\n");
    return 2;
}
