// The program's pseudo-random source: uniform single-precision numbers in
// [0, 1) from a fixed seed. It is never reseeded, so every start of the
// program yields the same sequence and the first random point set after a
// start is always the same for the same canvas size and count.
#pragma once

#include <cstdint>
#include <random>

namespace pointset {

class RandomSource {
public:
    static constexpr std::uint32_t kSeed = 0x2545F491u;

    // The next number, a multiple of 2^-24 in [0, 1). Built from the top 24
    // bits of the generator rather than with a distribution, whose results
    // differ between standard libraries and may round up to 1.
    [[nodiscard]] float next() noexcept {
        return static_cast<float>(engine_() >> 8) * 0x1p-24f;
    }

private:
    std::mt19937 engine_{kSeed};  // its output sequence is fixed by the C++ standard
};

}  // namespace pointset
