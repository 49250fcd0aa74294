// The triangulation itself. Points in general position have one Delaunay
// triangulation: the library must return CGAL's, triangle for triangle.
// Co-circular, collinear, coincident, extreme and nearly flat sets have many:
// each result is judged by the exact invariants, and must be the same set of
// triangles whatever the order of the points, their repetitions and the
// number of threads; where four or more points share an empty circle, the
// documented rule picks the triangles.
#include "TrilibTest.h"

#if defined(VANTREL_TEST_WITH_CGAL)
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#endif

namespace trilibtest {
namespace {

#if defined(VANTREL_TEST_WITH_CGAL)
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Cgal = CGAL::Delaunay_triangulation_2<
    Kernel, CGAL::Triangulation_data_structure_2<CGAL::Triangulation_vertex_base_with_info_2<std::int32_t, Kernel>>>;

// Gaussian clusters of very different spreads.
Points clusters(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> centre(-1.5e9, 1.5e9);
    Points out;
    for (const double spread : {3e4, 1e5, 1e7, 3e8, 1e6}) {
        std::normal_distribution<double> dx(centre(rng), spread), dy(centre(rng), spread);
        for (std::size_t i = n / 5 + (out.empty() ? n % 5 : 0); i > 0; --i)
            out.push_back(pt(std::llround(dx(rng)), std::llround(dy(rng))));
    }
    return shuffled(std::move(out), seed);
}

Cgal cgalOf(const Points& points) {
    std::vector<std::pair<Kernel::Point_2, std::int32_t>> sites;
    for (std::size_t i = 0; i < points.size(); ++i)
        sites.emplace_back(Kernel::Point_2(points[i].x, points[i].y), std::int32_t(i + 1));
    return Cgal(sites.begin(), sites.end());
}

// TriangulateMesh's neighbours and hull, by coordinates.
struct Mesh {
    std::vector<TriangleRecord> triangles;
    std::vector<NeighbourRecord> neighbours;
    std::vector<Corner> hull;
};

Mesh meshOf(const Points& points) {
    Points slots(1);
    slots.insert(slots.end(), points.begin(), points.end());
    const auto n = std::int32_t(points.size());
    std::vector<TriangleRecord> triangles(2 * points.size() + 1);
    std::vector<NeighbourRecord> neighbours(triangles.size());
    std::vector<std::int32_t> hull(points.size() + 1);
    std::int32_t length = 0;
    const std::int32_t t = TriangulateMesh(n, 2 * n, n, slots.data(), triangles.data(), neighbours.data(), n,
                                           hull.data(), &length, VANTREL_FLAG_DELAUNAY);
    EXPECT_GE(t, 0);
    Mesh mesh{{triangles.begin() + 1, triangles.begin() + 1 + std::max(t, 0)},
              {neighbours.begin() + 1, neighbours.begin() + 1 + std::max(t, 0)},
              {}};
    for (std::int32_t k = 1; k <= length; ++k) mesh.hull.push_back({slots[std::size_t(hull[std::size_t(k)])].x, slots[std::size_t(hull[std::size_t(k)])].y});
    return mesh;
}

// CGAL's hull, counter-clockwise from its least point; for fewer than three
// distinct points or points on a line, its points in (x, y) order.
std::vector<Corner> cgalHull(const Cgal& dt) {
    std::vector<Corner> hull;
    if (dt.dimension() < 2) {
        for (const auto v : dt.finite_vertex_handles()) hull.push_back({std::int32_t(v->point().x()), std::int32_t(v->point().y())});
        std::ranges::sort(hull);
        return hull;
    }
    auto v = dt.incident_vertices(dt.infinite_vertex()), end = v;
    do hull.push_back({std::int32_t(v->point().x()), std::int32_t(v->point().y())});
    while (++v != end);
    Wide twice = 0;
    for (std::size_t k = 0; k < hull.size(); ++k) {
        const Corner& p = hull[k];
        const Corner& q = hull[(k + 1) % hull.size()];
        twice += Wide{p.first} * q.second - Wide{q.first} * p.second;
    }
    if (twice < 0) std::ranges::reverse(hull);
    std::ranges::rotate(hull, std::ranges::min_element(hull));
    return hull;
}

struct Distribution {
    const char* name;
    Points (*make)(std::size_t, std::uint64_t);
};

class CgalOracle : public ::testing::TestWithParam<Distribution> {};

// From the smallest sets, where every point is on the hull, to thousands.
TEST_P(CgalOracle, SameTrianglesAsCgal) {
    for (const std::size_t size : {3, 4, 5, 7, 12, 40, 300, 3000, 20000}) {
        for (std::uint64_t seed = 1000 * size + 1; seed <= 1000 * size + 3; ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed));
            const Points points = GetParam().make(size, seed);
            // A seed that drew coincident or co-circular points shows here, not as a mismatch.
            const auto got = triangulate(points, true);
            const Cgal oracle = cgalOf(points);
            std::vector<TriangleRecord> expected;
            for (const auto face : oracle.finite_face_handles())
                expected.push_back({face->vertex(0)->info(), face->vertex(1)->info(), face->vertex(2)->info()});
            ASSERT_EQ(canonical(expected), canonical(got));
            // The same neighbours as CGAL's faces, edge by edge, and hull.
            const Mesh mesh = meshOf(points);
            const auto key = [](std::array<std::int32_t, 3> corners) { return std::ranges::sort(corners), corners; };
            std::map<std::array<std::int32_t, 3>, Cgal::Face_handle> faces;
            for (const auto face : oracle.finite_face_handles())
                faces[key({face->vertex(0)->info(), face->vertex(1)->info(), face->vertex(2)->info()})] = face;
            std::map<std::array<std::int32_t, 3>, std::int32_t> slotOf;
            for (std::size_t j = 0; j < mesh.triangles.size(); ++j)
                slotOf[key({mesh.triangles[j].a, mesh.triangles[j].b, mesh.triangles[j].c})] = std::int32_t(j + 1);
            for (std::size_t i = 0; i < mesh.triangles.size(); ++i) {
                const TriangleRecord& t = mesh.triangles[i];
                const NeighbourRecord& n = mesh.neighbours[i];
                const auto face = faces.at(key({t.a, t.b, t.c}));
                for (const auto& [corner, across] : {std::pair{t.a, n.bc}, {t.b, n.ca}, {t.c, n.ab}}) {
                    int k = 0;
                    while (face->vertex(k)->info() != corner) ++k;
                    const auto other = face->neighbor(k);
                    ASSERT_EQ(oracle.is_infinite(other) ? 0
                                                        : slotOf.at(key({other->vertex(0)->info(), other->vertex(1)->info(),
                                                                         other->vertex(2)->info()})),
                              across)
                        << "triangle " << i + 1;
                }
            }
            EXPECT_EQ(cgalHull(oracle), mesh.hull);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Trilib, CgalOracle,
    ::testing::Values(
        Distribution{"FullRange", [](std::size_t n, std::uint64_t seed) { return uniform(n, kMin, kMax, seed); }},
        Distribution{"Square2e20",
                     [](std::size_t n, std::uint64_t seed) { return uniform(n, 0, (1 << 20) - 1, seed); }},
        Distribution{"Clusters", clusters},
        Distribution{"NearCorners", [](std::size_t n, std::uint64_t seed) { return nearCorners(n, 1 << 24, seed); }}),
    byName);
#endif

Points operator+(Points a, const Points& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// All integer points at exactly distance r from the centre, times `scale`.
Points latticeCircle(std::int64_t r, std::int64_t scale = 1) {
    Points out;
    for (std::int64_t x = -r; x <= r; ++x) {
        const std::int64_t y = std::llround(std::sqrt(double(r * r - x * x)));  // exact below 2^52
        if (x * x + y * y != r * r) continue;
        out.push_back(pt(x * scale, y * scale));
        if (y != 0) out.push_back(pt(x * scale, -y * scale));
    }
    return out;
}

// The origin and (F(k + 1), F(k)) for Fibonacci numbers, k = first..last.
// Neighbours have determinant +-1: a triangle of area 1/2 with the origin.
Points fibonacciFan(int first, int last, PointRecord origin) {
    Points out{origin};
    for (std::int64_t k = 1, f = 1, next = 1; k <= last; ++k, f = std::exchange(next, f + next))
        if (k >= first) out.push_back(pt(origin.x + next, origin.y + f));
    return out;
}

const PointRecord kOrigin = pt(0, 0), kLow = pt(kMin, kMin);
const Points kInt32Corners{kLow, pt(kMax, kMin), pt(kMax, kMax), pt(kMin, kMax)};

struct Case {
    const char* name;
    Points points;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Case kCases[] = {
    {"Empty", {}},
    {"TwoPoints", {pt(0, 0), pt(5, 5)}},
    {"ThreeClockwise", {pt(0, 0), pt(0, 10), pt(10, 0)}},
    {"ThreeIdentical", {pt(4, 4), pt(4, 4), pt(4, 4)}},
    {"ThreeCollinear", {pt(0, 0), pt(20, 10), pt(10, 5)}},
    {"TriangleWithRepeats", {pt(9, 0), pt(0, 9), pt(9, 0), pt(0, 0), pt(0, 9), pt(0, 0)}},
    {"SquareAndCentre", {pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10), pt(5, 5)}},
    // Lattices: every cell co-circular, every row collinear.
    {"Grid100x100", grid(100, 100, 1, kOrigin)},
    {"Grid100x100Shuffled", shuffled(grid(100, 100, 1, kOrigin), 1)},
    {"Grid100x100SpanningInt32", shuffled(grid(100, 100, 43000000, kLow), 2)},
    {"Grid20x20Duplicated", withDuplicates(grid(20, 20, 3, kOrigin), 400, 5)},
    {"Grid60x60NearTopCorner", grid(60, 60, 1, pt(kMax - 59, kMax - 59))},
    // Collinear runs, alone and with other points.
    {"AllDiagonalFullRange", shuffled(line(64, kLow, 67108863, 67108863), 4)},
    {"AllCollinearDuplicated", withDuplicates(line(30, kOrigin, 2, -1), 60, 6)},
    {"HorizontalRunAndApexShuffled", shuffled(line(50, kOrigin, 1, 0) + Points{pt(25, 10)}, 7)},
    {"VerticalRunAndApex", Points{pt(-8, 3)} + line(40, kOrigin, 0, 1)},
    {"CrossingRuns", line(41, pt(-20, 0), 1, 0) + line(41, pt(0, -20), 0, 1)},
    {"SquareOutlineAndInterior", shuffled(line(20, kOrigin, 5, 0) + line(20, pt(100, 0), 0, 5) +
                                              line(20, pt(100, 100), -5, 0) + line(20, pt(0, 100), 0, -5) +
                                              uniform(30, 1, 99, 11),
                                          8)},
    // Coincident points in quantity on the 10650 x 8310 twip canvas, and a
    // coarse raster with long collinear runs and co-circular quadruples too.
    {"CanvasRaster50", raster(20000, kOrigin, 10650 / 50, 8310 / 50, 50, 21)},
    {"CanvasDuplicates", withDuplicates(uniform(3000, 0, 8310, 22), 3000, 23)},
    // Circles: all integer points on radii 5, 25, 65, 1105 (the scaled radius
    // 5 lands on points of radius 1105), and rounded ones.
    {"LatticeCircle5AndCentre", latticeCircle(5) + Points{kOrigin}},
    {"LatticeCircle1105Scaled", latticeCircle(1105, 1900000)},
    {"ConcentricLatticeCircles", shuffled(latticeCircle(5) + latticeCircle(25) + latticeCircle(65) +
                                              latticeCircle(1105) + latticeCircle(5, 221) + Points{kOrigin},
                                          10)},
    {"RoundedCircleLarge", circle(2000, 1.0e9, kOrigin)},
    {"RoundedCircleSmall", shuffled(circle(1000, 300.0, pt(5000, 4000)), 11)},
    // The ends of the int32 range.
    {"Int32CornersAndCentre", kInt32Corners + Points{kOrigin}},
    {"Int32CornersAndEdges", kInt32Corners + Points{pt(0, kMin), pt(kMax, 0), pt(0, kMax), pt(kMin, 0), pt(-1, -1),
                                                    kOrigin, pt(kMin + 1, kMin), pt(kMax, kMax - 1)}},
    {"NearInt32Corners", withDuplicates(nearCorners(300, 1 << 16, 31), 60, 32)},
    {"FullRangeDuplicated", withDuplicates(uniform(1000, kMin, kMax, 33), 500, 34)},
    {"FlatStripAtInt32Min", raster(300, kLow, std::int64_t{kMax} - kMin, 1, 1, 35)},
    // Nearly collinear triples: determinant +-1 with sides near 1e9.
    {"FibonacciParallelogram", fibonacciFan(44, 46, kLow)},
    {"FibonacciFan", fibonacciFan(20, 45, kOrigin)},
    {"FibonacciFanAtInt32MinShuffled", shuffled(fibonacciFan(2, 45, kLow), 12)},
};

class Degenerate : public ::testing::TestWithParam<Case> {};

// Reversed, and shuffled with repeats, the points meet other ties in another
// order; on one thread the call takes another road than on all cores.
TEST_P(Degenerate, ValidDelaunayAndTheSameWhateverTheOrder) {
    const Points& points = GetParam().points;
    const auto expected = byCoordinates(points, triangulate(points));
    const Points reversed(points.rbegin(), points.rend());
    EXPECT_EQ(expected, byCoordinates(reversed, triangulate(reversed, false, 0, VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD)));
    if (!points.empty()) {
        const Points repeated = withDuplicates(points, points.size() / 3 + 1, 77);
        EXPECT_EQ(expected, byCoordinates(repeated, triangulate(repeated)));
    }
#if defined(VANTREL_TEST_WITH_CGAL)
    // The hull is unique however ties are broken: CGAL's, point for point.
    EXPECT_EQ(cgalHull(cgalOf(points)), meshOf(points).hull);
#endif
}

INSTANTIATE_TEST_SUITE_P(Trilib, Degenerate, ::testing::ValuesIn(kCases), byName);

// Every cell of a grid and every lattice circle is a polygon of co-circular
// points: each becomes a fan from its least corner, by x and then y. On a
// circle that is the least point of all; in a grid cell, the corner with the
// cell's smallest x and smallest y.
TEST(Trilib, CocircularPointsMakeAFanFromTheLeastOne) {
    const Points circle = shuffled(latticeCircle(65, 1000), 3);
    const PointRecord least = *std::ranges::min_element(circle, {}, [](const PointRecord& p) { return Corner{p.x, p.y}; });
    for (const auto& t : byCoordinates(circle, triangulate(circle))) EXPECT_EQ((Corner{least.x, least.y}), t[0]);
    const Points cells = shuffled(grid(30, 20, 7, kLow), 4);
    for (const auto& t : byCoordinates(cells, triangulate(cells)))
        EXPECT_EQ((Corner{std::min({t[0].first, t[1].first, t[2].first}), std::min({t[0].second, t[1].second, t[2].second})}),
                  t[0]);
}

// Random crowds on tiny rasters mix every degeneracy at once; many seeds make
// up for the size.
TEST(Trilib, RandomCrowdsOnTinyRasters) {
    for (std::uint64_t seed = 1; seed <= 300 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 rng(seed);
        triangulate(
            raster(rng() % 61, kOrigin, 1 + std::int64_t(rng() % 12), 1 + std::int64_t(rng() % 12), 1, seed));
    }
}

}  // namespace
}  // namespace trilibtest
