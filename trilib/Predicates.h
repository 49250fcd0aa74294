// Predicates.h - exact geometric predicates on int32 points.
//
// Every combinatorial decision of the triangulation goes through orient2d and
// inCircle. Both return the exact sign of their determinant for every input
// whose coordinates are int32 values (the full range, -2^31 .. 2^31 - 1).
// orient2d is evaluated in exact integer arithmetic outright. inCircle first
// tries a double-precision evaluation, which decides whenever its rounding
// error provably cannot change the sign, and leaves the rest to an integer
// evaluation wide enough for the whole range. There are no tolerances. The
// integer arithmetic is the compiler's 128-bit integers where it has them,
// 32-bit limbs elsewhere (see LimbArithmetic); both give the same signs.
//
// Sign convention (y axis pointing up):
//   orient2d(a, b, c) > 0  when a, b, c turn counter-clockwise,
//                     < 0  when they turn clockwise, 0 when collinear.
//   inCircle(a, b, c, d) > 0  when d lies strictly inside the circle through
//                        a, b, c, given that a, b, c are counter-clockwise;
//                        < 0 strictly outside, 0 on the circle.
//                        (The sign flips when a, b, c are clockwise.)
#ifndef VANTREL_PREDICATES_H
#define VANTREL_PREDICATES_H

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantrel {

struct Point2 {
    std::int32_t x;
    std::int32_t y;
};

[[nodiscard]] inline bool operator==(Point2 p, Point2 q) noexcept
{
    return p.x == q.x && p.y == q.y;
}

namespace detail {

// Exact integer arithmetic comes in two kinds with one interface, and every
// predicate below is a template over it:
//   Int128Arithmetic  the compiler's 128-bit integers, where it has them
//                     (GCC and Clang on 64-bit targets): the fastest;
//   LimbArithmetic    32-bit limbs and 32 x 32 -> 64-bit products, for
//                     targets without them (32-bit x86, MSVC).
// Each provides
//   compareProducts(a, b, c, d)  sign of a b - c d, for |a|, |b|, |c|, |d| < 2^32;
//   signOfLiftSum(l1, c1, l2, c2, l3, c3)
//                                sign of l1 c1 + l2 c2 + l3 c3, all below 2^62
//                                in magnitude;
//   inCircleFullRange(adx, ady, bdx, bdy, cdx, cdy)
//                                sign of the in-circle determinant of
//                                differences below 2^32 in magnitude.
// ExactArithmetic is the first of the two the target has (with the first,
// VANTREL_HAVE_INT128 is defined). Defining VANTREL_NO_INT128 selects the
// limbs everywhere.

// N 32-bit limbs, least significant first: a magnitude, or a
// two's-complement value. Six are the most used: the widest value, a sum of
// three lift * cofactor terms, is below 2^132.
template <std::size_t N>
struct Limbs {
    std::uint32_t limb[N];
};

// |u| * |v|, schoolbook. Each step adds a 32 x 32-bit product and two
// values below 2^32, at most (2^32 - 1)^2 + 2 (2^32 - 1) = 2^64 - 1: no
// overflow, and a 32-bit target does it with one multiplication.
template <std::size_t N, std::size_t M>
[[nodiscard]] inline Limbs<N + M> multiplyLimbs(const Limbs<N> &u, const Limbs<M> &v) noexcept
{
    Limbs<N + M> r{};
    for (std::size_t i = 0; i < N; ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < M; ++j) {
            const std::uint64_t t = std::uint64_t{u.limb[i]} * v.limb[j] + r.limb[i + j] + carry;
            r.limb[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        r.limb[i + M] = static_cast<std::uint32_t>(carry);
    }
    return r;
}

[[nodiscard]] inline Limbs<2> limbsOf(std::uint64_t v) noexcept
{
    return {{static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v >> 32)}};
}

// A signed value as sign and magnitude: products of signed factors are then
// products of magnitudes, and need no sign extension.
template <std::size_t N>
struct SignedLimbs {
    bool negative;
    Limbs<N> magnitude;
};

// The magnitude of an int64 is below 2^63, so it is exact as uint64 (the
// negation is done in unsigned arithmetic, defined for every value).
[[nodiscard]] inline SignedLimbs<2> signedLimbsOf(std::int64_t v) noexcept
{
    const auto u = static_cast<std::uint64_t>(v);
    return {v < 0, limbsOf(v < 0 ? 0 - u : u)};
}

template <std::size_t N, std::size_t M>
[[nodiscard]] inline SignedLimbs<N + M> multiplySigned(const SignedLimbs<N> &u, const SignedLimbs<M> &v) noexcept
{
    return {u.negative != v.negative, multiplyLimbs(u.magnitude, v.magnitude)};
}

// Adds u to the two's-complement accumulator sum, modulo 2^(32 N): a
// negative u is added as its complement plus one, and limbs of u beyond N
// are dropped. Exact whenever the true sum fits N limbs, which the callers
// ensure.
template <std::size_t N, std::size_t M>
inline void accumulate(Limbs<N> &sum, const SignedLimbs<M> &u) noexcept
{
    const std::uint32_t fill = u.negative ? 0xffffffffU : 0U;
    std::uint64_t carry = u.negative ? 1U : 0U;
    for (std::size_t i = 0; i < N; ++i) {
        const std::uint32_t limb = (i < M ? u.magnitude.limb[i] : 0U) ^ fill;
        const std::uint64_t t = std::uint64_t{sum.limb[i]} + limb + carry;
        sum.limb[i] = static_cast<std::uint32_t>(t);
        carry = t >> 32;
    }
}

template <std::size_t N>
[[nodiscard]] inline int signOfTwosComplement(const Limbs<N> &v) noexcept
{
    if ((v.limb[N - 1] >> 31) != 0) {
        return -1;
    }
    std::uint32_t any = 0;
    for (const std::uint32_t limb : v.limb) {
        any |= limb;
    }
    return any != 0 ? 1 : 0;
}

template <std::size_t N>
[[nodiscard]] inline SignedLimbs<N> signAndMagnitude(const Limbs<N> &v) noexcept
{
    if (signOfTwosComplement(v) >= 0) {
        return {false, v};
    }
    Limbs<N> magnitude{};
    accumulate(magnitude, SignedLimbs<N>{true, v}); // 0 - v
    return {true, magnitude};
}

struct LimbArithmetic {
    // A difference of two int32 values is below 2^32 in magnitude, so both
    // magnitudes fit 32 bits and each product is one 32 x 32 -> 64-bit
    // multiplication. Products of opposite signs (or one zero) are ordered
    // by their signs alone; of equal signs, by their magnitudes.
    [[nodiscard]] static int compareProducts(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) noexcept
    {
        const auto magnitude = [](std::int64_t v) { return static_cast<std::uint32_t>(v < 0 ? -v : v); };
        const auto sign = [](std::int64_t v) { return (v > 0) - (v < 0); };
        const int leftSign = sign(a) * sign(b);
        const int rightSign = sign(c) * sign(d);
        if (leftSign != rightSign) {
            return leftSign > rightSign ? 1 : -1;
        }
        const std::uint64_t left = std::uint64_t{magnitude(a)} * magnitude(b);
        const std::uint64_t right = std::uint64_t{magnitude(c)} * magnitude(d);
        return leftSign * ((left > right) - (left < right));
    }

    // Each product is below 2^124 and the sum below 2^126: four limbs.
    [[nodiscard]] static int signOfLiftSum(std::int64_t l1, std::int64_t c1, std::int64_t l2, std::int64_t c2,
                                           std::int64_t l3, std::int64_t c3) noexcept
    {
        Limbs<4> sum{};
        accumulate(sum, multiplySigned(signedLimbsOf(l1), signedLimbsOf(c1)));
        accumulate(sum, multiplySigned(signedLimbsOf(l2), signedLimbsOf(c2)));
        accumulate(sum, multiplySigned(signedLimbsOf(l3), signedLimbsOf(c3)));
        return signOfTwosComplement(sum);
    }

    // Lifts are below 2^65 (three limbs), cofactors below 2^65 in magnitude
    // (sign and three limbs), each product below 2^130 and the sum of three
    // below 2^132: six limbs hold it with room to spare.
    [[nodiscard]] static int inCircleFullRange(std::int64_t adx, std::int64_t ady, std::int64_t bdx, std::int64_t bdy,
                                               std::int64_t cdx, std::int64_t cdy) noexcept
    {
        const auto lift = [](std::int64_t x, std::int64_t y) {
            Limbs<3> sum{};
            accumulate(sum, multiplySigned(signedLimbsOf(x), signedLimbsOf(x)));
            accumulate(sum, multiplySigned(signedLimbsOf(y), signedLimbsOf(y)));
            return SignedLimbs<3>{false, sum};
        };
        // p q - r s
        const auto cofactor = [](std::int64_t p, std::int64_t q, std::int64_t r, std::int64_t s) {
            Limbs<3> difference{};
            accumulate(difference, multiplySigned(signedLimbsOf(p), signedLimbsOf(q)));
            accumulate(difference, multiplySigned(signedLimbsOf(-r), signedLimbsOf(s)));
            return signAndMagnitude(difference);
        };
        Limbs<6> sum{};
        accumulate(sum, multiplySigned(lift(adx, ady), cofactor(bdx, cdy, cdx, bdy)));
        accumulate(sum, multiplySigned(lift(bdx, bdy), cofactor(cdx, ady, adx, cdy)));
        accumulate(sum, multiplySigned(lift(cdx, cdy), cofactor(adx, bdy, bdx, ady)));
        return signOfTwosComplement(sum);
    }
};

#if defined(__SIZEOF_INT128__) && !defined(VANTREL_NO_INT128)
#define VANTREL_HAVE_INT128 1

// GCC and Clang provide 128-bit integers as an extension; the typedefs keep
// -Wpedantic quiet about every use.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

[[nodiscard]] inline int signOf(Int128 v) noexcept
{
    return (v > 0) - (v < 0);
}

// A 192-bit two's-complement integer, least significant limb first, just
// enough arithmetic for the widest inCircle evaluation.
struct Int192 {
    std::uint64_t limb[3];
};

// |u| * |v| for magnitudes below 2^67 each: the product is below 2^134.
[[nodiscard]] inline Int192 multiplyMagnitudes(UInt128 u, UInt128 v) noexcept
{
    const auto ul = static_cast<std::uint64_t>(u);
    const auto uh = static_cast<std::uint64_t>(u >> 64); // below 8
    const auto vl = static_cast<std::uint64_t>(v);
    const auto vh = static_cast<std::uint64_t>(v >> 64); // below 8
    const UInt128 low = static_cast<UInt128>(ul) * vl;
    const UInt128 middle = static_cast<UInt128>(ul) * vh + static_cast<UInt128>(uh) * vl; // below 2^68
    const UInt128 high = static_cast<UInt128>(uh) * vh;                                 // below 2^6
    UInt128 carry = (low >> 64) + static_cast<std::uint64_t>(middle);
    Int192 r{};
    r.limb[0] = static_cast<std::uint64_t>(low);
    r.limb[1] = static_cast<std::uint64_t>(carry);
    carry = (carry >> 64) + (middle >> 64) + high;
    r.limb[2] = static_cast<std::uint64_t>(carry);
    return r;
}

[[nodiscard]] inline Int192 negate(Int192 a) noexcept
{
    Int192 r{};
    std::uint64_t carry = 1;
    for (int i = 0; i < 3; ++i) {
        const std::uint64_t inverted = ~a.limb[i];
        r.limb[i] = inverted + carry;
        carry = (carry != 0 && r.limb[i] == 0) ? 1 : 0;
    }
    return r;
}

[[nodiscard]] inline Int192 add(Int192 a, Int192 b) noexcept
{
    Int192 r{};
    std::uint64_t carry = 0;
    for (int i = 0; i < 3; ++i) {
        const std::uint64_t partial = a.limb[i] + b.limb[i];
        const std::uint64_t carryOut = partial < a.limb[i] ? 1 : 0;
        r.limb[i] = partial + carry;
        carry = carryOut | (r.limb[i] < partial ? 1 : 0);
    }
    return r;
}

[[nodiscard]] inline int signOf(Int192 a) noexcept
{
    if ((a.limb[2] >> 63) != 0) {
        return -1;
    }
    return (a.limb[0] | a.limb[1] | a.limb[2]) != 0 ? 1 : 0;
}

// lift * cofactor with lift >= 0, as a 192-bit signed value.
[[nodiscard]] inline Int192 liftTimesCofactor(UInt128 lift, Int128 cofactor) noexcept
{
    const bool negative = cofactor < 0;
    const auto magnitude = negative ? static_cast<UInt128>(-cofactor)
                                    : static_cast<UInt128>(cofactor);
    const Int192 product = multiplyMagnitudes(lift, magnitude);
    return negative ? negate(product) : product;
}

struct Int128Arithmetic {
    // Two 64 x 64 -> 128-bit multiplications cost no more than a filter,
    // never fail, and leave no branch to mispredict.
    [[nodiscard]] static int compareProducts(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) noexcept
    {
        const Int128 left = static_cast<Int128>(a) * b;
        const Int128 right = static_cast<Int128>(c) * d;
        return (left > right) - (left < right);
    }

    // Each product is below 2^124 and the sum below 2^126, inside 128 bits.
    [[nodiscard]] static int signOfLiftSum(std::int64_t l1, std::int64_t c1, std::int64_t l2, std::int64_t c2,
                                           std::int64_t l3, std::int64_t c3) noexcept
    {
        return signOf(static_cast<Int128>(l1) * c1 + static_cast<Int128>(l2) * c2 + static_cast<Int128>(l3) * c3);
    }

    // A lift is below 2^65 and a cofactor below 2^65 in magnitude (both
    // exact in 128 bits). Their product is below 2^130 and the sum of three
    // below 2^132, which a 192-bit two's-complement value holds exactly.
    [[nodiscard]] static int inCircleFullRange(std::int64_t adx, std::int64_t ady, std::int64_t bdx, std::int64_t bdy,
                                               std::int64_t cdx, std::int64_t cdy) noexcept
    {
        const auto lift = [](std::int64_t x, std::int64_t y) {
            return static_cast<UInt128>(static_cast<Int128>(x) * x + static_cast<Int128>(y) * y);
        };
        const Int128 bc = static_cast<Int128>(bdx) * cdy - static_cast<Int128>(cdx) * bdy;
        const Int128 ca = static_cast<Int128>(cdx) * ady - static_cast<Int128>(adx) * cdy;
        const Int128 ab = static_cast<Int128>(adx) * bdy - static_cast<Int128>(bdx) * ady;
        Int192 sum = liftTimesCofactor(lift(adx, ady), bc);
        sum = add(sum, liftTimesCofactor(lift(bdx, bdy), ca));
        sum = add(sum, liftTimesCofactor(lift(cdx, cdy), ab));
        return signOf(sum);
    }
};

using ExactArithmetic = Int128Arithmetic;

#else

using ExactArithmetic = LimbArithmetic;

#endif

// Rare: kept out of line so that the inlined filter stays small in the
// callers' loops.
template <class Arithmetic = ExactArithmetic>
[[nodiscard, gnu::noinline, gnu::cold]] int inCircleExact(Point2 a, Point2 b, Point2 c, Point2 d) noexcept
{
    const std::int64_t adx = std::int64_t{a.x} - d.x;
    const std::int64_t ady = std::int64_t{a.y} - d.y;
    const std::int64_t bdx = std::int64_t{b.x} - d.x;
    const std::int64_t bdy = std::int64_t{b.y} - d.y;
    const std::int64_t cdx = std::int64_t{c.x} - d.x;
    const std::int64_t cdy = std::int64_t{c.y} - d.y;

    const auto below2To30 = [](std::int64_t v) { return v > -(std::int64_t{1} << 30) && v < (std::int64_t{1} << 30); };
    if (below2To30(adx) && below2To30(ady) && below2To30(bdx) && below2To30(bdy) && below2To30(cdx) &&
        below2To30(cdy)) {
        // |difference| < 2^30: each square or product is below 2^60, so the
        // lifts (sums of two squares) and the 2x2 cofactors (differences of
        // two products) are below 2^61 and fit int64.
        const std::int64_t alift = adx * adx + ady * ady;
        const std::int64_t blift = bdx * bdx + bdy * bdy;
        const std::int64_t clift = cdx * cdx + cdy * cdy;
        const std::int64_t bc = bdx * cdy - cdx * bdy;
        const std::int64_t ca = cdx * ady - adx * cdy;
        const std::int64_t ab = adx * bdy - bdx * ady;
        return Arithmetic::signOfLiftSum(alift, bc, blift, ca, clift, ab);
    }
    // Full int32 range: |difference| <= 2^32 - 1.
    return Arithmetic::inCircleFullRange(adx, ady, bdx, bdy, cdx, cdy);
}

} // namespace detail

// Sign of (bx - ax)(cy - ay) - (by - ay)(cx - ax); see the header comment.
// Evaluated exactly, with no floating-point filter: the differences are
// below 2^32 in magnitude, so each product is below 2^64 and their
// difference below 2^65. Exact products cost no more than a filter here; a
// filtered version measured 10 to 15 per cent slower overall.
template <class Arithmetic = detail::ExactArithmetic>
[[nodiscard]] inline int orient2d(Point2 a, Point2 b, Point2 c) noexcept
{
    const std::int64_t bax = std::int64_t{b.x} - a.x;
    const std::int64_t bay = std::int64_t{b.y} - a.y;
    const std::int64_t cax = std::int64_t{c.x} - a.x;
    const std::int64_t cay = std::int64_t{c.y} - a.y;
    return Arithmetic::compareProducts(bax, cay, bay, cax);
}

namespace detail {

// The filter's error analysis assumes that every double operation is
// rounded once, to double. x87 arithmetic keeps intermediates in 80 bits
// and rounds them again when they are stored, which voids the bound: 32-bit
// x86 builds use SSE2 instead (-msse2 -mfpmath=sse, see trilib/CMakeLists.txt).
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0
#error "the in-circle filter needs double arithmetic without excess precision (on 32-bit x86: -msse2 -mfpmath=sse)"
#endif

// Unit roundoff of IEEE double, 2^-53.
inline constexpr double kEpsilon = 1.0 / 9007199254740992.0;

// Shewchuk's static error bound for the plain floating-point in-circle
// evaluation below ("Adaptive Precision Floating-Point Arithmetic and Fast
// Robust Geometric Predicates", 1997). It holds when the coordinate
// differences are rounded; ours are exact (two int32 values differ by less
// than 2^32, far below 2^53), so the bound is conservative here. Every
// intermediate value is an integer below 2^140, so neither underflow nor
// overflow can void it.
inline constexpr double kInCircleBound = (10.0 + 96.0 * kEpsilon) * kEpsilon;

// The in-circle determinant in double precision and a bound on its error:
// when |det| > bound, det has the sign of the exact determinant.
struct Estimate {
    double det;
    double bound;
};

// Shewchuk's bound is kInCircleBound times the permanent
//   (|bdx cdy| + |cdx bdy|) alift + (|cdx ady| + |adx cdy|) blift
//     + (|adx bdy| + |bdx ady|) clift,
// evaluated in floating point. It is computed here from the largest lift L
// instead, which spares a dozen operations per test and fails the filter
// no more often in practice: |bdx cdy| <= (bdx^2 + cdy^2) / 2 <= L, so each
// pair is at most 2L, each term at most 2L^2 and the permanent at most 6L^2.
// Rounding (in the lifts, products, sums and in L * L itself) moves these
// by a relative 10 epsilon at most, which the factor 6.000001 covers many
// times over.
[[nodiscard]] inline double boundFromLifts(double alift, double blift, double clift) noexcept
{
    const double largest = std::max(std::max(alift, blift), clift);
    return kInCircleBound * 6.000001 * (largest * largest);
}

#if defined(__SSE2__)

// (x, y) in the two lanes of one register: the x and y halves of every
// formula below then cost one instruction instead of two.
[[nodiscard]] inline __m128d lanes(Point2 p) noexcept
{
#if defined(__x86_64__)
    return _mm_cvtepi32_pd(_mm_cvtsi64_si128(std::bit_cast<long long>(p)));
#else
    // 32-bit x86 has no 64-bit general register to move from; the point is
    // in memory there anyway.
    return _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(&p)));
#endif
}

[[nodiscard]] inline __m128d swapLanes(__m128d v) noexcept
{
    return _mm_shuffle_pd(v, v, 1);
}

[[nodiscard]] inline double high(__m128d v) noexcept
{
    return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
}

// Exactly the operations of the plain version below, in the same order, two
// lanes at a time: the results are bit for bit the same.
[[nodiscard]] inline Estimate inCircleEstimate(Point2 a, Point2 b, Point2 c, Point2 d) noexcept
{
    const __m128d dd = lanes(d);
    const __m128d ad = _mm_sub_pd(lanes(a), dd);
    const __m128d bd = _mm_sub_pd(lanes(b), dd);
    const __m128d cd = _mm_sub_pd(lanes(c), dd);

    const __m128d aa = _mm_mul_pd(ad, ad);
    const __m128d bb = _mm_mul_pd(bd, bd);
    const __m128d cc = _mm_mul_pd(cd, cd);
    const __m128d liftAB = _mm_add_pd(_mm_unpacklo_pd(aa, bb), _mm_unpackhi_pd(aa, bb)); // alift, blift
    const double clift = _mm_cvtsd_f64(cc) + high(cc);

    // u x v = ux vy - uy vx from the lanes of u * swap(v).
    const __m128d pBC = _mm_mul_pd(bd, swapLanes(cd)); // bdx cdy, bdy cdx
    const __m128d pCA = _mm_mul_pd(cd, swapLanes(ad)); // cdx ady, cdy adx
    const __m128d pAB = _mm_mul_pd(ad, swapLanes(bd)); // adx bdy, ady bdx
    const __m128d cofactorsBcCa = _mm_sub_pd(_mm_unpacklo_pd(pBC, pCA), _mm_unpackhi_pd(pBC, pCA));
    const double cofactorAb = _mm_cvtsd_f64(pAB) - high(pAB);

    const __m128d termsAB = _mm_mul_pd(liftAB, cofactorsBcCa);
    const double det = (_mm_cvtsd_f64(termsAB) + high(termsAB)) + clift * cofactorAb;

    return {det, boundFromLifts(_mm_cvtsd_f64(liftAB), high(liftAB), clift)};
}

#else

[[nodiscard]] inline Estimate inCircleEstimate(Point2 a, Point2 b, Point2 c, Point2 d) noexcept
{
    const double dx = static_cast<double>(d.x);
    const double dy = static_cast<double>(d.y);
    const double adx = static_cast<double>(a.x) - dx;
    const double ady = static_cast<double>(a.y) - dy;
    const double bdx = static_cast<double>(b.x) - dx;
    const double bdy = static_cast<double>(b.y) - dy;
    const double cdx = static_cast<double>(c.x) - dx;
    const double cdy = static_cast<double>(c.y) - dy;

    const double bdxcdy = bdx * cdy;
    const double cdxbdy = cdx * bdy;
    const double alift = adx * adx + ady * ady;
    const double cdxady = cdx * ady;
    const double adxcdy = adx * cdy;
    const double blift = bdx * bdx + bdy * bdy;
    const double adxbdy = adx * bdy;
    const double bdxady = bdx * ady;
    const double clift = cdx * cdx + cdy * cdy;

    const double det = alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);
    return {det, boundFromLifts(alift, blift, clift)};
}

#endif

} // namespace detail

// Sign of the in-circle determinant; see the header comment.
template <class Arithmetic = detail::ExactArithmetic>
[[nodiscard]] inline int inCircle(Point2 a, Point2 b, Point2 c, Point2 d) noexcept
{
    const detail::Estimate estimate = detail::inCircleEstimate(a, b, c, d);
    if (estimate.det > estimate.bound) {
        return 1;
    }
    if (-estimate.det > estimate.bound) {
        return -1;
    }
    return detail::inCircleExact<Arithmetic>(a, b, c, d);
}

// The order that breaks ties: by x, then by y.
[[nodiscard]] inline bool lexicographicallyLess(Point2 p, Point2 q) noexcept
{
    return p.x < q.x || (p.x == q.x && p.y < q.y);
}

namespace detail {

/*
 * Four points on one circle. The in-circle determinant is the orientation of
 * the points lifted onto the paraboloid z = x^2 + y^2; it is zero when the
 * four lifts lie in one plane, and then either diagonal of the quadrilateral
 * makes a Delaunay triangulation. The tie is broken by a symbolic
 * perturbation: each point p is lifted to x^2 + y^2 - eps^r(p), where r(p) is
 * its rank in lexicographic order (x, then y) and eps is infinitesimal, so
 * the least point is lowered most. The perturbed determinant is linear in
 * each lift, and its derivative with respect to the lift of
 *
 *     a is orient2d(b, c, d),    b is orient2d(c, a, d),
 *     c is orient2d(a, b, d),    d is -orient2d(a, b, c),
 *
 * so its sign is the opposite of the sign of the first of these that is not
 * zero, taking the points in lexicographic order. The one for d is not zero
 * when a, b, c is a triangle, so the perturbed determinant never is.
 *
 * The perturbed lifts are in general position, so the triangulation is
 * unique: a function of the set of points alone, whatever the order of
 * insertion. In the plane this rule reads: the corners of an empty circle's
 * polygon are joined as a fan from the least of them.
 *
 * Precondition: a, b, c counter-clockwise, the exact determinant zero, and
 * the four points distinct. Returns whether d is inside the perturbed circle.
 */
template <class Arithmetic = ExactArithmetic>
[[nodiscard, gnu::noinline, gnu::cold]] bool inCircleTieBreak(Point2 a, Point2 b, Point2 c, Point2 d) noexcept
{
    struct Lift {
        Point2 point;
        int role; // 0 to 3: a, b, c, d
    };
    Lift lifts[4] = {{a, 0}, {b, 1}, {c, 2}, {d, 3}};
    std::sort(lifts, lifts + 4,
              [](const Lift &p, const Lift &q) { return lexicographicallyLess(p.point, q.point); });
    for (const Lift &lift : lifts) {
        int derivative = 0;
        switch (lift.role) {
        case 0:
            derivative = orient2d<Arithmetic>(b, c, d);
            break;
        case 1:
            derivative = orient2d<Arithmetic>(c, a, d);
            break;
        case 2:
            derivative = orient2d<Arithmetic>(a, b, d);
            break;
        default:
            derivative = -orient2d<Arithmetic>(a, b, c);
            break;
        }
        if (derivative != 0) {
            return derivative < 0;
        }
    }
    return false; // only when all four are on one line, which the precondition excludes
}

} // namespace detail

// Whether d is inside the circle through the counter-clockwise a, b, c, with
// exact ties broken by the symbolic perturbation above: the Delaunay test of
// the triangulation, whose answer is never "on the circle". The four points
// must be distinct. Decided on the sign of the estimate alone once the bound
// has cleared it: the caller's branch then waits for the determinant only,
// not for the bound as well (a few per cent in the flip loop).
template <class Arithmetic = detail::ExactArithmetic>
[[nodiscard]] inline bool inCirclePerturbed(Point2 a, Point2 b, Point2 c, Point2 d) noexcept
{
    const detail::Estimate estimate = detail::inCircleEstimate(a, b, c, d);
    if (std::fabs(estimate.det) <= estimate.bound) [[unlikely]] {
        const int exact = detail::inCircleExact<Arithmetic>(a, b, c, d);
        return exact != 0 ? exact > 0 : detail::inCircleTieBreak<Arithmetic>(a, b, c, d);
    }
    return estimate.det > 0;
}

} // namespace vantrel

#endif // VANTREL_PREDICATES_H
