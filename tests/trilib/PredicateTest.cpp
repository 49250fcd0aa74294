// The in-circle predicate against GMP integers, on inputs chosen so that
// plain double arithmetic gets the sign wrong: points on or one unit off a
// circle, from tiny radii up to the full int32 range. Each case also counts
// how often the double estimate alone disagreed with GMP, so a filter whose
// error bound stopped covering its rounding error would be seen here rather
// than as a rare wrong triangle. (orient2d has no filter: the degenerate
// triangulation tests cover it with determinants of +-1 near 1e9.)
#include "Predicates.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <string>

namespace {

using vantrel::Point2;

int sign(const mpz_class& v) {
    return sgn(v);
}

mpz_class big(std::int32_t v) {
    return mpz_class(static_cast<long>(v));
}

int exactInCircle(Point2 a, Point2 b, Point2 c, Point2 d) {
    const mpz_class adx = big(a.x) - big(d.x);
    const mpz_class ady = big(a.y) - big(d.y);
    const mpz_class bdx = big(b.x) - big(d.x);
    const mpz_class bdy = big(b.y) - big(d.y);
    const mpz_class cdx = big(c.x) - big(d.x);
    const mpz_class cdy = big(c.y) - big(d.y);
    const mpz_class alift = adx * adx + ady * ady;
    const mpz_class blift = bdx * bdx + bdy * bdy;
    const mpz_class clift = cdx * cdx + cdy * cdy;
    return sign(alift * (bdx * cdy - cdx * bdy) + blift * (cdx * ady - adx * cdy) + clift * (adx * bdy - bdx * ady));
}

std::int32_t toInt32(double v) {
    return static_cast<std::int32_t>(std::llround(std::clamp(v, -2147483648.0, 2147483647.0)));
}

struct Scale {
    const char* name;
    double centre; // |centre coordinates| up to this
    double radius;
    bool estimateFails; // large enough for the double estimate to go wrong
};

// Radii from a few units to nearly the whole int32 range (differences near
// 2^32, where only the widest exact path holds the determinant).
constexpr Scale kScales[] = {
    {"small", 1e3, 50.0, false},
    {"screen", 1e4, 3e3, false},
    {"large_offset", 2e9, 1e4, false},
    {"radius_2e8", 1e8, 2e8, true},
    {"full_range", 0.0, 2.1e9, true},
};

class PredicateTest : public ::testing::TestWithParam<Scale> {};

// Four points placed symmetrically about a centre lie on one circle whatever
// their coordinates: (c + (b, a)), (c + (-a, b)), (c + (-b, -a)) and the
// fourth, c + (a + shift, -b), moved off it by a shift of -1, 0 or 1. With a
// small and b large the determinant is orient(...) * ((a + shift)^2 - a^2):
// zero or a few units times b^2, far below what rounding contributes at
// large b, where only the exact fallback gets the sign right.
TEST_P(PredicateTest, InCircleMatchesGmpOnNearlyCocircularPoints) {
    const Scale scale = GetParam();
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
        std::swap(p[3], p[roleOf(rng)]); // any of the four may be the one tested
        const int exact = exactInCircle(p[0], p[1], p[2], p[3]);
        ASSERT_EQ(vantrel::inCircle(p[0], p[1], p[2], p[3]), exact) << "case " << i;
        ASSERT_EQ(vantrel::inCircleStrictlyInside(p[0], p[1], p[2], p[3]), exact > 0) << "case " << i;
        const double estimate = vantrel::detail::inCircleEstimate(p[0], p[1], p[2], p[3]).det;
        estimateWrong += ((estimate > 0) - (estimate < 0)) != exact ? 1 : 0;
    }
    // Without such cases the comparison above would prove nothing about the
    // filter's bound.
    if (scale.estimateFails) {
        EXPECT_GT(estimateWrong, kCases / 100) << "inputs too easy for the double estimate";
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, PredicateTest, ::testing::ValuesIn(kScales),
                         [](const ::testing::TestParamInfo<Scale>& param) { return std::string(param.param.name); });

} // namespace
