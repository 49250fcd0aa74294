// The predicates against GMP integers, on inputs chosen so that plain double
// arithmetic gets the sign wrong: for in-circle, points on or one unit off a
// circle, from tiny radii up to the full int32 range; for orientation,
// triples on or one unit off a line, with products near 2^64. Each case also
// counts how often plain doubles disagreed with GMP, so a filter whose error
// bound stopped covering its rounding error would be seen here rather than
// as a rare wrong triangle, and so would inputs too easy to prove anything.
//
// Every case runs through both kinds of exact arithmetic: the 128-bit
// integers the Linux and 64-bit Windows builds use, and the 32-bit limbs of
// the 32-bit Windows build, which cannot run here. The exact in-circle
// evaluation is also called directly, not only where the filter leaves it
// the decision. So is the mesh check's own in-circle, the oracle of builds
// without CGAL.
#include "Predicates.h"
#include "TrilibTest.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>

namespace {

using vantrel::Point2;

mpz_class big(std::int32_t v) {
    return mpz_class(static_cast<long>(v));
}

int gmpInCircle(Point2 a, Point2 b, Point2 c, Point2 d) {
    const mpz_class adx = big(a.x) - big(d.x);
    const mpz_class ady = big(a.y) - big(d.y);
    const mpz_class bdx = big(b.x) - big(d.x);
    const mpz_class bdy = big(b.y) - big(d.y);
    const mpz_class cdx = big(c.x) - big(d.x);
    const mpz_class cdy = big(c.y) - big(d.y);
    const mpz_class alift = adx * adx + ady * ady;
    const mpz_class blift = bdx * bdx + bdy * bdy;
    const mpz_class clift = cdx * cdx + cdy * cdy;
    return sgn(alift * (bdx * cdy - cdx * bdy) + blift * (cdx * ady - adx * cdy) + clift * (adx * bdy - bdx * ady));
}

int gmpOrient(Point2 a, Point2 b, Point2 c) {
    return sgn((big(b.x) - big(a.x)) * (big(c.y) - big(a.y)) - (big(b.y) - big(a.y)) * (big(c.x) - big(a.x)));
}

int doubleOrient(Point2 a, Point2 b, Point2 c) {
    const auto d = [](std::int32_t v) { return static_cast<double>(v); };
    const double v = (d(b.x) - d(a.x)) * (d(c.y) - d(a.y)) - (d(b.y) - d(a.y)) * (d(c.x) - d(a.x));
    return (v > 0) - (v < 0);
}

std::int32_t toInt32(double v) {
    return static_cast<std::int32_t>(std::llround(std::clamp(v, -2147483648.0, 2147483647.0)));
}

// One kind of exact arithmetic, through every entry point that uses it.
struct Arithmetic {
    const char* name;
    int (*orient)(Point2, Point2, Point2);
    int (*inCircle)(Point2, Point2, Point2, Point2);
    bool (*strictlyInside)(Point2, Point2, Point2, Point2);
    int (*exactInCircle)(Point2, Point2, Point2, Point2);
};

template <class A>
constexpr Arithmetic arithmetic(const char* name) {
    return {name, &vantrel::orient2d<A>, &vantrel::inCircle<A>, &vantrel::inCircleStrictlyInside<A>,
            &vantrel::detail::inCircleExact<A>};
}

const Arithmetic kArithmetics[] = {
#if defined(VANTREL_HAVE_INT128)
    arithmetic<vantrel::detail::Int128Arithmetic>("int128"),
#endif
    arithmetic<vantrel::detail::LimbArithmetic>("limbs"),
};

void PrintTo(const Arithmetic& a, std::ostream* out) { *out << a.name; }

struct Scale {
    const char* name;
    double centre; // |centre coordinates| up to this
    double radius;
    bool cocircular;    // otherwise the fourth point is anywhere in the square around the circle
    bool estimateFails; // large enough for the double estimate to go wrong
};

void PrintTo(const Scale& s, std::ostream* out) { *out << s.name; }

// Radii from a few units to nearly the whole int32 range (differences near
// 2^32, where only the widest exact path holds the determinant). Points off
// the circle make determinants as large as they get, which the exact
// evaluation must hold as well as the tiny ones.
constexpr Scale kScales[] = {
    {"small", 1e3, 50.0, true, false},
    {"screen", 1e4, 3e3, true, false},
    {"large_offset", 2e9, 1e4, true, false},
    {"radius_2e8", 1e8, 2e8, true, true},
    {"full_range", 0.0, 2.1e9, true, true},
    {"off_circle_2e8", 1e8, 2e8, false, false},
    {"off_circle_full_range", 0.0, 2.1e9, false, false},
};

std::string nameOf(const ::testing::TestParamInfo<std::tuple<Scale, Arithmetic>>& param) {
    return std::string(std::get<0>(param.param).name) + "_" + std::get<1>(param.param).name;
}

class InCircle : public ::testing::TestWithParam<std::tuple<Scale, Arithmetic>> {};

// Four points placed symmetrically about a centre lie on one circle whatever
// their coordinates: (c + (b, a)), (c + (-a, b)), (c + (-b, -a)) and the
// fourth, c + (a + shift, -b), moved off it by a shift of -1, 0 or 1. With a
// small and b large the determinant is orient(...) * ((a + shift)^2 - a^2):
// zero or a few units times b^2, far below what rounding contributes at
// large b, where only the exact fallback gets the sign right.
TEST_P(InCircle, MatchesGmpOnNearlyCocircularPoints) {
    const auto& [scale, arithmetic] = GetParam();
    std::mt19937_64 rng(0x1c1c1e);
    std::uniform_real_distribution<double> centre(-scale.centre, scale.centre);
    std::uniform_real_distribution<double> large(0.5 * scale.radius, scale.radius);
    std::uniform_int_distribution<std::int64_t> small(0, 1000);
    std::uniform_int_distribution<int> shiftOf(-1, 1);
    std::uniform_int_distribution<int> roleOf(0, 3);
    constexpr int kCases = 40000;
    int estimateWrong = 0;
    for (int i = 0; i < kCases; ++i) {
        const std::int64_t a = small(rng);
        const auto b = static_cast<std::int64_t>(large(rng));
        // Room for the offsets on every side keeps each coordinate in int32.
        const double room = 2147483647.0 - static_cast<double>(b + a + 1);
        const auto cx = static_cast<std::int64_t>(std::clamp(centre(rng), -room, room));
        const auto cy = static_cast<std::int64_t>(std::clamp(centre(rng), -room, room));
        const std::int64_t shifted = a + shiftOf(rng);
        Point2 p[4] = {
            Point2{toInt32(static_cast<double>(cx + b)), toInt32(static_cast<double>(cy + a))},
            Point2{toInt32(static_cast<double>(cx - a)), toInt32(static_cast<double>(cy + b))},
            Point2{toInt32(static_cast<double>(cx - b)), toInt32(static_cast<double>(cy - a))},
            Point2{toInt32(static_cast<double>(cx + shifted)), toInt32(static_cast<double>(cy - b))},
        };
        if (!scale.cocircular) {
            p[3] = Point2{toInt32(static_cast<double>(cx) + 4 * (large(rng) - 0.75 * scale.radius)),
                          toInt32(static_cast<double>(cy) + 4 * (large(rng) - 0.75 * scale.radius))};
        }
        std::swap(p[3], p[roleOf(rng)]); // any of the four may be the one tested
        const int exact = gmpInCircle(p[0], p[1], p[2], p[3]);
        ASSERT_EQ(arithmetic.inCircle(p[0], p[1], p[2], p[3]), exact) << "case " << i;
        ASSERT_EQ(arithmetic.strictlyInside(p[0], p[1], p[2], p[3]), exact > 0) << "case " << i;
        ASSERT_EQ(arithmetic.exactInCircle(p[0], p[1], p[2], p[3]), exact) << "case " << i;
        const auto record = [](Point2 q) { return PointRecord{q.x, q.y, 0}; };
        ASSERT_EQ(trilibtest::exactInCircle(record(p[0]), record(p[1]), record(p[2]), record(p[3])), exact)
            << "case " << i << ": the mesh check's own in-circle";
        const double estimate = vantrel::detail::inCircleEstimate(p[0], p[1], p[2], p[3]).det;
        estimateWrong += ((estimate > 0) - (estimate < 0)) != exact ? 1 : 0;
    }
    // Without such cases the comparison above would prove nothing about the
    // filter's bound.
    if (scale.estimateFails) {
        EXPECT_GT(estimateWrong, kCases / 100) << "inputs too easy for the double estimate";
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, InCircle, ::testing::Combine(::testing::ValuesIn(kScales),
                                                              ::testing::ValuesIn(kArithmetics)),
                         nameOf);

class Orient : public ::testing::TestWithParam<Arithmetic> {};

// q^-1 mod p for coprime p > 1 and q, by the extended Euclidean algorithm
// (the coefficients stay below p in magnitude).
std::int64_t inverse(std::int64_t q, std::int64_t p) {
    std::int64_t r0 = p, r1 = q % p, t0 = 0, t1 = 1;
    while (r1 != 0) {
        const std::int64_t k = r0 / r1;
        r0 = std::exchange(r1, r0 - k * r1);
        t0 = std::exchange(t1, t0 - k * t1);
    }
    return (t0 % p + p) % p;
}

// u = (p, q) with p, q > 0 coprime has a partner v in the box [0, p] x
// [0, q] with p vy - q vx = 1. Then a, a + u and a + v turn by exactly 1,
// a, a + u and a + u - v by -1, and a, a + u and a + u / 2 (u even) not at
// all, with products of coordinate differences up to 2^64 when u spans the
// int32 range; a random c in the box mixes in everything else. All six
// orders of each triple are checked, so every sign combination of the
// differences occurs.
TEST_P(Orient, MatchesGmpOnNearlyCollinearPoints) {
    const Arithmetic& arithmetic = GetParam();
    std::mt19937_64 rng(0x0f1e2d);
    constexpr std::int64_t kSpan = std::int64_t{1} << 32; // int32 values
    std::uniform_int_distribution<std::int64_t> extent(1, kSpan - 1);
    std::uniform_int_distribution<int> shape(0, 3);
    constexpr int kCases = 20000;
    int doubleWrong = 0;
    for (int i = 0; i < kCases; ++i) {
        std::int64_t p = extent(rng);
        std::int64_t q = extent(rng);
        const int kind = shape(rng);
        if (kind == 2) {
            p = std::max<std::int64_t>(2, p & ~std::int64_t{1});
            q = std::max<std::int64_t>(2, q & ~std::int64_t{1});
        } else {
            const std::int64_t g = std::gcd(p, q);
            p /= g;
            q /= g;
        }
        const std::int64_t vx = p == 1 ? 0 : (p - inverse(q, p)) % p; // q vx = -1 (mod p)
        const auto vy = static_cast<std::int64_t>((1 + static_cast<std::uint64_t>(q) * static_cast<std::uint64_t>(vx)) /
                                                  static_cast<std::uint64_t>(p));
        // a anywhere such that a + u stays in int32.
        const std::int64_t ax = trilibtest::kMin + std::uniform_int_distribution<std::int64_t>(0, kSpan - 1 - p)(rng);
        const std::int64_t ay = trilibtest::kMin + std::uniform_int_distribution<std::int64_t>(0, kSpan - 1 - q)(rng);
        const auto at = [&](std::int64_t dx, std::int64_t dy) {
            return Point2{static_cast<std::int32_t>(ax + dx), static_cast<std::int32_t>(ay + dy)};
        };
        Point2 c{};
        switch (kind) {
        case 0: c = at(vx, vy); break;
        case 1: c = at(p - vx, q - vy); break;
        case 2: c = at(p / 2, q / 2); break;
        default:
            c = at(std::uniform_int_distribution<std::int64_t>(0, p)(rng),
                   std::uniform_int_distribution<std::int64_t>(0, q)(rng));
        }
        const Point2 triple[3] = {at(0, 0), at(p, q), c};
        for (const auto& [x, y, z] : {std::tuple{0, 1, 2}, std::tuple{1, 2, 0}, std::tuple{2, 0, 1},
                                      std::tuple{1, 0, 2}, std::tuple{0, 2, 1}, std::tuple{2, 1, 0}}) {
            const int exact = gmpOrient(triple[x], triple[y], triple[z]);
            if (kind < 2) {
                ASSERT_EQ(std::abs(exact), 1) << "case " << i << ": the test's construction is off";
            }
            ASSERT_EQ(arithmetic.orient(triple[x], triple[y], triple[z]), exact) << "case " << i;
            doubleWrong += doubleOrient(triple[x], triple[y], triple[z]) != exact ? 1 : 0;
        }
    }
    EXPECT_GT(doubleWrong, kCases) << "inputs too easy for plain doubles";
}

INSTANTIATE_TEST_SUITE_P(Arithmetics, Orient, ::testing::ValuesIn(kArithmetics),
                         [](const ::testing::TestParamInfo<Arithmetic>& param) { return std::string(param.param.name); });

} // namespace
