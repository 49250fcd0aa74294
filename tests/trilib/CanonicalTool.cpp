// trilib_canonical: the library's triangulations of point files, in a form two
// builds can compare (windows/identity.sh). A point file is text, one point
// "x y" per line, slot 1 first.
//
//   trilib_canonical generate DIR   writes the point files below into DIR
//   trilib_canonical hash FILE...   per file: its name, the result (triangle
//                                   count or error code), a 64-bit FNV-1a
//                                   hash of the canonical triangle list and
//                                   one of TriangulateMesh's neighbours and
//                                   hull
#include <cstdio>
#include <fstream>

#include "TrilibTest.h"

using namespace trilibtest;

namespace {

const std::pair<const char*, Points (*)()> kFiles[] = {
    {"uniform-1000", [] { return uniform(1000, kMin, kMax, 1); }},
    {"uniform-100000", [] { return uniform(100000, kMin, kMax, 2); }},
    {"screen-10000", [] { return withDuplicates(raster(9000, pt(0, 0), 10650, 8310, 1, 3), 1000, 3); }},
    {"screen-100000", [] { return withDuplicates(raster(90000, pt(0, 0), 10650, 8310, 1, 4), 10000, 4); }},
    {"grid-300x300", [] { return shuffled(grid(300, 300, 10, pt(0, 0)), 5); }},
    {"circle-1e9-20000", [] { return shuffled(circle(20000, 1e9, pt(0, 0)), 6); }},
    {"circle-3000-20000", [] { return shuffled(circle(20000, 3000, pt(0, 0)), 7); }},
    {"corners-100000", [] { return nearCorners(100000, 1 << 16, 8); }},
};

bool hash(const std::string& path) {
    std::ifstream in(path);
    Points slots(1);
    for (PointRecord p{}; in >> p.x >> p.y;) slots.push_back(p);
    if (!in.eof() || slots.size() < 2) return std::fprintf(stderr, "%s: not a point file\n", path.c_str()), false;
    const auto count = std::int32_t(slots.size() - 1);
    std::vector<TriangleRecord> triangles(2 * slots.size());
    const std::int32_t result =
        Triangulate(count, 2 * count, count, slots.data(), triangles.data(), VANTREL_FLAG_DELAUNAY);
    const auto fnv = [](std::uint64_t h, std::int32_t v) {
        for (int byte = 0; byte < 4; ++byte) h = (h ^ ((std::uint32_t(v) >> (8 * byte)) & 0xffU)) * 0x100000001b3ULL;
        return h;
    };
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const auto& corners : canonical(std::span(triangles).subspan(1, std::size_t(std::max(result, 0)))))
        for (const std::int32_t v : corners) h = fnv(h, v);
    // Neighbours as (u, v, the corner across edge u -> v or 0), sorted; the
    // hull as it comes, from its least point.
    std::vector<NeighbourRecord> neighbours(triangles.size());
    std::vector<std::int32_t> hull(slots.size());
    std::int32_t length = 0;
    const std::int32_t meshResult = TriangulateMesh(count, 2 * count, count, slots.data(), triangles.data(),
                                                    neighbours.data(), count, hull.data(), &length, VANTREL_FLAG_DELAUNAY);
    std::vector<std::array<std::int32_t, 3>> across;
    for (std::int32_t i = 1; i <= meshResult; ++i) {
        const TriangleRecord& t = triangles[std::size_t(i)];
        const NeighbourRecord& n = neighbours[std::size_t(i)];
        for (const auto& [u, v, j] : {std::tuple{t.b, t.c, n.bc}, {t.c, t.a, n.ca}, {t.a, t.b, n.ab}}) {
            const TriangleRecord& o = triangles[std::size_t(std::clamp(j, 0, meshResult))];
            across.push_back({u, v, j == 0 ? 0 : o.a + o.b + o.c - u - v});
        }
    }
    std::ranges::sort(across);
    std::uint64_t m = fnv(0xcbf29ce484222325ULL, meshResult);
    for (const auto& row : across)
        for (const std::int32_t v : row) m = fnv(m, v);
    for (std::int32_t k = 1; k <= length; ++k) m = fnv(m, hull[std::size_t(k)]);
    std::printf("%s %d %016llx %016llx\n", path.substr(path.find_last_of("/\\") + 1).c_str(), int(result),
                (unsigned long long)h, (unsigned long long)m);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 2 ? argv[1] : "";
    if (command == "generate") {
        for (const auto& [name, make] : kFiles) {
            std::ofstream out(std::string(argv[2]) + "/" + name + ".txt");
            for (const PointRecord& p : make()) out << p.x << ' ' << p.y << '\n';
            if (!out) return std::fprintf(stderr, "cannot write %s/%s.txt\n", argv[2], name), 1;
        }
        return 0;
    }
    if (command != "hash") return std::fprintf(stderr, "usage: trilib_canonical generate DIR | hash FILE...\n"), 2;
    bool ok = true;
    for (int i = 2; i < argc; ++i) ok = hash(argv[i]) && ok;
    return ok ? 0 : 1;
}
