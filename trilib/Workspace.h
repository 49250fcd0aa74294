// Workspace.h - where the triangulation's working storage goes.
//
// All working storage is one block, laid out as
//   [0, slotOffset)             the points in insertion order (Point2 each)
//   [slotOffset, sharedOffset)  their slot indices (int32 each)
//   [sharedOffset, bytes)       the radix sort's keys and scratch (2 uint64
//                               per point), later the half-edges and, unless
//                               the caller's triangle array is lent for them,
//                               the corners (3 int32 per triangle each, for
//                               up to 2n - 2 triangles, ghosts included)
// Each part starts on a cache line.
#ifndef VANTREL_WORKSPACE_H
#define VANTREL_WORKSPACE_H

#include "Predicates.h"
#include "vantrel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantrel {

struct WorkspaceLayout {
    std::size_t slotOffset;
    std::size_t sharedOffset;
    std::size_t bytes;     // a multiple of alignment
    std::size_t alignment; // of the block's start
};

// Blocks of at least two huge pages start on one, so that the kernel can
// back them with transparent huge pages (Linux only; elsewhere they would
// only cost address space).
inline constexpr std::uint64_t kHugePage = std::uint64_t{2} << 20;
#if defined(__linux__)
inline constexpr bool kHugePageAlignment = true;
#else
inline constexpr bool kHugePageAlignment = false;
#endif

// The layout for 3 <= n <= VANTREL_MAX_POINTS points, or nothing when the
// block would be larger than `addressable` bytes or than any object can be. The sizes are computed in 64 bits, where the
// largest n the library accepts keeps them below 2^40, and only then
// compared with what the process can address: on a 32-bit target the block
// for a hundred million points exceeds size_t itself, and arithmetic in
// size_t would wrap round to a small block that the triangulation then
// overruns.
[[nodiscard]] constexpr std::optional<WorkspaceLayout> planWorkspace(
    std::uint64_t n, bool lentVertices,
    std::uint64_t addressable = static_cast<std::uint64_t>(PTRDIFF_MAX)) noexcept
{
    constexpr std::uint64_t kLine = 64;
    const auto roundUp = [](std::uint64_t bytes, std::uint64_t to) { return (bytes + to - 1) / to * to; };
    if (n < 3 || n > VANTREL_MAX_POINTS) {
        return std::nullopt;
    }
    const std::uint64_t entries = 3 * (2 * n - 2);
    const std::uint64_t slotOffset = roundUp(n * sizeof(Point2), kLine);
    const std::uint64_t sharedOffset = roundUp(slotOffset + n * sizeof(std::int32_t), kLine);
    const std::uint64_t sortBytes = 2 * n * sizeof(std::uint64_t);
    const std::uint64_t meshBytes = (lentVertices ? 1 : 2) * entries * sizeof(std::int32_t);
    const std::uint64_t used = sharedOffset + std::max(sortBytes, meshBytes);
    const std::uint64_t alignment = kHugePageAlignment && used >= 2 * kHugePage ? kHugePage : kLine;
    const std::uint64_t bytes = roundUp(used, alignment);
    if (bytes > std::min<std::uint64_t>(addressable, PTRDIFF_MAX)) {
        return std::nullopt;
    }
    return WorkspaceLayout{static_cast<std::size_t>(slotOffset), static_cast<std::size_t>(sharedOffset),
                           static_cast<std::size_t>(bytes), static_cast<std::size_t>(alignment)};
}

} // namespace vantrel

#endif // VANTREL_WORKSPACE_H
