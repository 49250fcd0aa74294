// The predicates against GMP integers, through both kinds of exact arithmetic:
// the 128-bit integers of the 64-bit builds, and the 32-bit limbs of the
// 32-bit Windows build, which cannot run here. The inputs are those where
// plain doubles get the sign wrong, up to the full int32 range; each case
// counts how often doubles were wrong, so that inputs too easy would show.
#include "Predicates.h"
#include "TrilibTest.h"

#include <gmpxx.h>

#include <set>

namespace {

using trilibtest::kMax;
using trilibtest::kMin;
using vantrel::Point2;

mpz_class big(std::int32_t v) { return mpz_class(static_cast<long>(v)); }

int gmpInCircle(Point2 a, Point2 b, Point2 c, Point2 d) {
    const mpz_class adx = big(a.x) - d.x, ady = big(a.y) - d.y, bdx = big(b.x) - d.x, bdy = big(b.y) - d.y;
    const mpz_class cdx = big(c.x) - d.x, cdy = big(c.y) - d.y;
    return sgn((adx * adx + ady * ady) * (bdx * cdy - cdx * bdy) + (bdx * bdx + bdy * bdy) * (cdx * ady - adx * cdy) +
               (cdx * cdx + cdy * cdy) * (adx * bdy - bdx * ady));
}

// The sign of the determinant of rows (x - xd, y - yd, lift - lift of d) for
// the lifts x^2 + y^2 - eps^rank, rank in (x, y) order, eps infinitesimal:
// the determinant is linear in each lift, so the coefficient of eps^rank is
// minus the change that adding 1 to that lift makes.
int gmpPerturbedInCircle(Point2 a, Point2 b, Point2 c, Point2 d) {
    const Point2 p[4] = {a, b, c, d};
    const auto det = [&](int raised) {
        mpz_class lift[4], m[3][3];
        for (int i = 0; i < 4; ++i) lift[i] = big(p[i].x) * p[i].x + big(p[i].y) * p[i].y + (i == raised ? 1 : 0);
        for (int i = 0; i < 3; ++i) {
            m[i][0] = big(p[i].x) - p[3].x;
            m[i][1] = big(p[i].y) - p[3].y;
            m[i][2] = lift[i] - lift[3];
        }
        return mpz_class(m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]));
    };
    const mpz_class plain = det(-1);
    if (sgn(plain) != 0) return sgn(plain);
    int order[4] = {0, 1, 2, 3};
    std::sort(order, order + 4, [&](int i, int j) { return std::tie(p[i].x, p[i].y) < std::tie(p[j].x, p[j].y); });
    for (const int i : order)
        if (const mpz_class change = det(i) - plain; sgn(change) != 0) return -sgn(change);
    return 0;
}

int gmpOrient(Point2 a, Point2 b, Point2 c) {
    return sgn((big(b.x) - a.x) * (big(c.y) - a.y) - (big(b.y) - a.y) * (big(c.x) - a.x));
}

int sign(double v) { return (v > 0) - (v < 0); }

// One kind of exact arithmetic, through every entry point that uses it.
struct Arithmetic {
    const char* name;
    int (*orient)(Point2, Point2, Point2);
    int (*inCircle)(Point2, Point2, Point2, Point2);
    bool (*perturbed)(Point2, Point2, Point2, Point2);
    int (*exactInCircle)(Point2, Point2, Point2, Point2);
};

template <class A>
constexpr Arithmetic arithmetic(const char* name) {
    return {name, &vantrel::orient2d<A>, &vantrel::inCircle<A>, &vantrel::inCirclePerturbed<A>,
            &vantrel::detail::inCircleExact<A>};
}

const Arithmetic kArithmetics[] = {arithmetic<vantrel::detail::Int128Arithmetic>("int128"),
                                   arithmetic<vantrel::detail::LimbArithmetic>("limbs")};

// Radii from a few units to the whole range: differences below 2^30, between
// 2^30 and 2^31, and near 2^32, where only the widest exact path holds the
// determinant. Points off the circle make the largest determinants.
struct Scale {
    const char* name;
    double centre;  // |centre coordinates| up to this
    double radius;
    bool cocircular;            // otherwise the fourth point is anywhere in the square around the circle
    bool nearDiagonal = false;  // a near b rather than small: lifts up to 2^65
};

constexpr Scale kScales[] = {
    {"small", 1e3, 50.0, true},
    {"screen", 1e4, 3e3, true},
    {"large_offset", 2e9, 1e4, true},
    {"radius_2e8", 1e8, 2e8, true},
    {"radius_7e8", 1e8, 7e8, true},
    {"full_range", 0.0, 2.1e9, true},
    {"off_circle_2e8", 1e8, 2e8, false},
    {"off_circle_full_range", 0.0, 2.1e9, false},
    {"near_diagonal_full_range", 0.0, 2147483645.0, true, true},
};

class InCircle : public ::testing::TestWithParam<std::tuple<Scale, Arithmetic>> {};

// The eight points c + (+-a, +-b) and c + (+-b, +-a) lie on one circle. Four
// of them, the last moved by -1, 0 or 1 in x, have determinants far below the
// rounding error at large b; with a small or near b, one lift is tiny beside
// the others. The mesh check's own in-circle is checked too.
TEST_P(InCircle, MatchesGmpOnNearlyCocircularPoints) {
    const auto& [scale, arithmetic] = GetParam();
    std::mt19937_64 rng(0x1c1c1e);
    std::uniform_real_distribution<double> centre(-scale.centre, scale.centre), large(0.5 * scale.radius, scale.radius);
    std::uniform_int_distribution<int> small(0, 1000), shift(-1, 1);
    constexpr int kCases = 40000;
    int estimateWrong = 0, ties = 0;
    for (int i = 0; i < kCases; ++i) {
        const double b = std::floor(large(rng)), a = scale.nearDiagonal ? b - small(rng) : small(rng);
        const double room = 2147483646.0 - b;  // keeps every coordinate in int32
        const double cx = std::trunc(std::clamp(centre(rng), -room, room)),
                     cy = std::trunc(std::clamp(centre(rng), -room, room));
        const double offsets[8][2] = {{a, b}, {-a, b}, {a, -b}, {-a, -b}, {b, a}, {-b, a}, {b, -a}, {-b, -a}};
        std::array<int, 8> order{0, 1, 2, 3, 4, 5, 6, 7};
        std::shuffle(order.begin(), order.end(), rng);
        Point2 p[4];
        for (int k = 0; k < 4; ++k) {
            const double x = cx + offsets[order[std::size_t(k)]][0] + (k == 3 ? shift(rng) : 0),
                         y = cy + offsets[order[std::size_t(k)]][1];
            p[k] = Point2{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        }
        if (!scale.cocircular)
            p[3] = Point2{static_cast<std::int32_t>(cx + 4 * (large(rng) - 0.75 * scale.radius)),
                          static_cast<std::int32_t>(cy + 4 * (large(rng) - 0.75 * scale.radius))};
        const auto r = [&](int k) { return PointRecord{p[k].x, p[k].y, 0}; };
        const int exact = gmpInCircle(p[0], p[1], p[2], p[3]);
        ASSERT_EQ(arithmetic.inCircle(p[0], p[1], p[2], p[3]), exact) << "case " << i;
        const bool distinct = std::set<std::pair<std::int32_t, std::int32_t>>{
                                  {p[0].x, p[0].y}, {p[1].x, p[1].y}, {p[2].x, p[2].y}, {p[3].x, p[3].y}}
                                  .size() == 4;
        ties += exact == 0 && distinct ? 1 : 0;
        if (distinct) {
            ASSERT_EQ(arithmetic.perturbed(p[0], p[1], p[2], p[3]), gmpPerturbedInCircle(p[0], p[1], p[2], p[3]) > 0)
                << "case " << i;
        }
        ASSERT_EQ(arithmetic.exactInCircle(p[0], p[1], p[2], p[3]), exact) << "case " << i;
        ASSERT_EQ(arithmetic.orient(p[0], p[1], p[3]), gmpOrient(p[0], p[1], p[3])) << "case " << i;
        ASSERT_EQ(trilibtest::exactInCircle(r(0), r(1), r(2), r(3)), exact) << "case " << i << ", the mesh check's";
        estimateWrong += sign(vantrel::detail::inCircleEstimate(p[0], p[1], p[2], p[3]).det) != exact ? 1 : 0;
    }
    EXPECT_TRUE(!scale.cocircular || scale.radius < 1e8 || estimateWrong > kCases / 100)
        << "too easy: " << estimateWrong;
    EXPECT_TRUE(!scale.cocircular || ties > kCases / 10) << "too few ties: " << ties;
    for (const Point2 q : {Point2{0, 0}, Point2{kMin, kMin}}) EXPECT_EQ(arithmetic.inCircle(q, q, q, q), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, InCircle,
                         ::testing::Combine(::testing::ValuesIn(kScales), ::testing::ValuesIn(kArithmetics)),
                         [](const auto& param) {
                             return std::string(std::get<0>(param.param).name) + "_" + std::get<1>(param.param).name;
                         });

class Orient : public ::testing::TestWithParam<Arithmetic> {};

// Fibonacci vectors u = (F(k + 1), F(k)), v = (F(k), F(k - 1)) turn by +-1:
// a, a + u, a + v, a + u + v and a + 2u, mirrored at random, make turns of 0
// and +-1 from products up to 2^63, in every order.
TEST_P(Orient, MatchesGmpOnNearlyCollinearPoints) {
    std::mt19937_64 rng(0x0f1e2d);
    std::int64_t fibonacci[47] = {0, 1};
    for (int k = 2; k < 47; ++k) fibonacci[k] = fibonacci[k - 1] + fibonacci[k - 2];
    int doubleWrong = 0;
    for (int i = 0; i < 2000; ++i) {
        const int k = 30 + i % 15;
        const std::int64_t sx = (rng() & 1) != 0 ? 1 : -1, sy = (rng() & 1) != 0 ? 1 : -1, w = 2 * fibonacci[k + 1];
        const auto corner = [&](std::int64_t s) {
            return s * (kMin + 1 + std::int64_t(rng() % std::uint64_t(std::int64_t{kMax} - 1 - kMin - w)));
        };
        const std::int64_t ax = corner(sx), ay = corner(sy);
        std::vector<Point2> p;
        for (const auto& [m, n] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}})
            p.push_back(Point2{std::int32_t(ax + sx * (m * fibonacci[k + 1] + n * fibonacci[k])),
                               std::int32_t(ay + sy * (m * fibonacci[k] + n * fibonacci[k - 1]))});
        const auto f = [](std::int32_t v) { return static_cast<double>(v); };
        for (const Point2 a : p)
            for (const Point2 b : p)
                for (const Point2 c : p) {
                    const int exact = gmpOrient(a, b, c);
                    ASSERT_EQ(GetParam().orient(a, b, c), exact) << "case " << i;
                    doubleWrong +=
                        sign((f(b.x) - f(a.x)) * (f(c.y) - f(a.y)) - (f(b.y) - f(a.y)) * (f(c.x) - f(a.x))) != exact;
                }
    }
    EXPECT_GT(doubleWrong, 10000) << "too easy for plain doubles";
}

INSTANTIATE_TEST_SUITE_P(Arithmetics, Orient, ::testing::ValuesIn(kArithmetics), trilibtest::byName);

}  // namespace
