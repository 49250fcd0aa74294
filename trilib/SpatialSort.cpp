#include "SpatialSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {
namespace {

// The Hilbert curve as a four-state machine. A state is one of the curve's
// symmetries, a pair of independent flags: bit 0 complements both remaining
// coordinates, bit 1 swaps them. Each level reads one bit of x and y, emits
// the 2-bit quadrant number along the curve and moves to the next state. The
// table runs four levels per lookup: entry[state][x nibble][y nibble] holds
// the 8 emitted bits above the 2 bits of the next state.
constexpr int kLevelsPerLookup = 4;

struct HilbertTable {
    std::array<std::uint16_t, 4 * 256> entry;
};

constexpr HilbertTable makeHilbertTable()
{
    HilbertTable table{};
    for (unsigned state = 0; state < 4; ++state) {
        for (unsigned xNibble = 0; xNibble < 16; ++xNibble) {
            for (unsigned yNibble = 0; yNibble < 16; ++yNibble) {
                unsigned s = state;
                unsigned digits = 0;
                for (int bit = kLevelsPerLookup - 1; bit >= 0; --bit) {
                    unsigned rx = (xNibble >> bit) & 1U;
                    unsigned ry = (yNibble >> bit) & 1U;
                    if ((s & 1U) != 0) {
                        rx ^= 1U;
                        ry ^= 1U;
                    }
                    if ((s & 2U) != 0) {
                        std::swap(rx, ry);
                    }
                    digits = (digits << 2) | ((3U * rx) ^ ry);
                    // Lower-left quadrant: transpose; lower-right: transpose
                    // across the other diagonal. The upper two keep the frame.
                    if (ry == 0) {
                        if (rx == 1) {
                            s ^= 1U;
                        }
                        s ^= 2U;
                    }
                }
                table.entry[(state << 8) | (xNibble << 4) | yNibble] = static_cast<std::uint16_t>((digits << 2) | s);
            }
        }
    }
    return table;
}

constexpr HilbertTable kHilbert = makeHilbertTable();

// Position of (qx, qy) along a Hilbert curve through the 2^levels x 2^levels
// grid; qx, qy < 2^levels. The result is below 4^levels: leading zero levels
// keep the machine in the untransformed pair of states, emitting zeros.
std::uint64_t hilbertIndex(std::uint32_t qx, std::uint32_t qy, int levels)
{
    const int rounded = (levels + kLevelsPerLookup - 1) / kLevelsPerLookup * kLevelsPerLookup;
    unsigned state = 0;
    std::uint64_t index = 0;
    for (int shift = rounded - kLevelsPerLookup; shift >= 0; shift -= kLevelsPerLookup) {
        const unsigned nibbles = (((qx >> shift) & 15U) << 4) | ((qy >> shift) & 15U);
        const unsigned entry = kHilbert.entry[(state << 8) | nibbles];
        index = (index << 8) | (entry >> 2);
        state = entry & 3U;
    }
    return index;
}

// A fixed bijective mixer (the splitmix64 finisher): the round of a point
// must look random but be the same on every call.
std::uint64_t mix(std::uint64_t v)
{
    v ^= v >> 30;
    v *= 0xbf58476d1ce4e5b9ULL;
    v ^= v >> 27;
    v *= 0x94d049bb133111ebULL;
    v ^= v >> 31;
    return v;
}

// Each element of the sort is (key << kIndexBits) | index.
constexpr int kIndexBits = 29;
static_assert(VANTREL_MAX_POINTS <= (1LL << kIndexBits), "an index must fit below the key");
constexpr int kKeyBits = 64 - kIndexBits;
// Rounds grow eightfold: the last holds about 7/8 of the points, the one
// before 7/64, ... and the first at least this many. (Halving, the classic
// choice, costs a few per cent more here: the big last round sweeps the
// plane in curve order with the best cache reuse, and flips stay near three
// per point.)
constexpr std::size_t kFirstRoundSize = 1024;
constexpr int kMaxRoundBits = 3;
// The curve's grid is as fine as the coordinates, up to 2^16 per side: a
// coarser grid would leave points sharing a cell in input order, which is
// slow when the points crowd on a curve (a circle) rather than fill the box.
constexpr int kMaxLevels = (kKeyBits - kMaxRoundBits) / 2;

// Stable LSD radix sort of the elements by their bits kIndexBits ..
// kIndexBits + keyBits - 1.
// Returns whichever of the two buffers holds the result.
std::uint64_t *radixSort(std::uint64_t *data, std::uint64_t *scratch, std::size_t n, int keyBits)
{
    constexpr int kMaxDigitBits = 11; // 2048 counters stay in L1
    if (keyBits <= 0) {
        return data;
    }
    const int passes = (keyBits + kMaxDigitBits - 1) / kMaxDigitBits;
    const int digitBits = (keyBits + passes - 1) / passes;
    const std::size_t buckets = std::size_t{1} << digitBits;
    const std::uint64_t mask = buckets - 1;

    // 32-bit counters: n is below VANTREL_MAX_POINTS, and at small n the
    // table is a noticeable part of the working storage.
    static_assert(VANTREL_MAX_POINTS <= UINT32_MAX);
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(passes) * buckets, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint64_t key = data[i] >> kIndexBits;
        for (int p = 0; p < passes; ++p) {
            ++counts[static_cast<std::size_t>(p) * buckets + static_cast<std::size_t>((key >> (p * digitBits)) & mask)];
        }
    }
    for (int p = 0; p < passes; ++p) {
        std::uint32_t *offset = counts.data() + static_cast<std::size_t>(p) * buckets;
        if (std::find(offset, offset + buckets, static_cast<std::uint32_t>(n)) != offset + buckets) {
            continue; // every key has the same digit here: the pass would copy
        }
        std::uint32_t sum = 0;
        for (std::size_t b = 0; b < buckets; ++b) {
            const std::uint32_t c = offset[b];
            offset[b] = sum;
            sum += c;
        }
        const int shift = kIndexBits + p * digitBits;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t v = data[i];
            scratch[offset[static_cast<std::size_t>((v >> shift) & mask)]++] = v;
        }
        std::swap(data, scratch);
    }
    return data;
}

int bitLength(std::uint64_t v)
{
    return static_cast<int>(std::bit_width(v));
}

} // namespace

Box boundingBox(std::span<const PointRecord> points)
{
    Box box{points[0].x, points[0].x, points[0].y, points[0].y};
    for (const PointRecord &p : points) {
        box.minX = std::min(box.minX, p.x);
        box.maxX = std::max(box.maxX, p.x);
        box.minY = std::min(box.minY, p.y);
        box.maxY = std::max(box.maxY, p.y);
    }
    return box;
}

void spatialOrder(std::span<const PointRecord> points, Box box, std::span<Point2> xy, std::span<std::int32_t> slot,
                  std::span<std::uint64_t> scratch)
{
    const std::size_t n = xy.size();
    if (n == 0) {
        return;
    }
    // One shift for both axes keeps the cells square.
    const auto spanX = static_cast<std::uint32_t>(std::int64_t{box.maxX} - box.minX);
    const auto spanY = static_cast<std::uint32_t>(std::int64_t{box.maxY} - box.minY);
    const int spanBits = bitLength(std::max(spanX, spanY));
    int rounds = 1;
    while (rounds < (1 << kMaxRoundBits) && (n >> (3 * rounds)) >= kFirstRoundSize) {
        ++rounds;
    }
    const int roundBits = bitLength(static_cast<std::uint64_t>(rounds - 1));
    const int levels = std::min(kMaxLevels, spanBits);
    const int shift = spanBits - levels;
    // Caps the count of trailing zero triples so the first round takes the rest.
    const std::uint64_t firstRoundFlag = std::uint64_t{1} << (3 * (rounds - 1));

    std::uint64_t *const keys = scratch.data();
    std::size_t selected = 0;
    if (n == points.size()) {
        // All of them: the box holds every point.
        for (; selected < n; ++selected) {
            keys[selected] = selected;
        }
    } else {
        // The indices of the points in the box first, so that only those
        // are keyed. A point outside is written and then overwritten: with
        // points in random order a branch on the box would be mispredicted
        // half the time.
        for (std::size_t i = 0; i < points.size() && selected < n; ++i) {
            keys[selected] = i;
            selected += points[i].x >= box.minX && points[i].x <= box.maxX ? 1U : 0U;
        }
    }
    for (std::size_t k = 0; k < selected; ++k) {
        const auto i = static_cast<std::size_t>(keys[k]);
        const PointRecord &p = points[i];
        const auto qx = static_cast<std::uint32_t>(std::int64_t{p.x} - box.minX) >> shift;
        const auto qy = static_cast<std::uint32_t>(std::int64_t{p.y} - box.minY) >> shift;
        // Triples of trailing zeros of a random word: none with probability
        // 7/8 (the last round), one with 7/64, ...
        const auto triples = static_cast<std::uint64_t>(std::countr_zero(mix(i) | firstRoundFlag) / 3);
        const std::uint64_t round = static_cast<std::uint64_t>(rounds - 1) - triples;
        const std::uint64_t key = (round << (2 * levels)) | hilbertIndex(qx, qy, levels);
        keys[k] = (key << kIndexBits) | i;
    }
    const std::uint64_t *sorted = radixSort(keys, keys + n, selected, 2 * levels + roundBits);
    constexpr std::uint64_t indexMask = (std::uint64_t{1} << kIndexBits) - 1;
    // The reads from points are scattered: asking for them a few dozen
    // iterations ahead keeps many cache and TLB misses in flight at once.
    constexpr std::size_t kAhead = 32;
    for (std::size_t k = 0; k < selected; ++k) {
        if (k + kAhead < selected) {
            __builtin_prefetch(&points[static_cast<std::size_t>(sorted[k + kAhead] & indexMask)]);
        }
        const auto i = static_cast<std::size_t>(sorted[k] & indexMask);
        xy[k] = Point2{points[i].x, points[i].y};
        slot[k] = static_cast<std::int32_t>(i + 1);
    }
}

} // namespace vantrel
