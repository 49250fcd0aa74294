// A resizable record array with lower bound 0, the shape in which the
// triangulation library reads points and writes triangles.
//
// The array either does not exist yet (no storage, no bounds) or has the
// bounds 0..upperBound(). Every element access is checked against those
// bounds. The upper bound the library sees is exact; the storage behind it
// grows geometrically, so raising the bound by one slot at a time costs
// amortised constant time.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace pointset {

template <class Record>
class RecordArray {
public:
    // Highest slot index an array may have: its slot count must fit int32.
    static constexpr std::int32_t kMaxUpperBound = std::numeric_limits<std::int32_t>::max() - 1;

    [[nodiscard]] bool exists() const noexcept { return exists_; }

    // Highest valid slot index, or -1 while the array does not exist.
    [[nodiscard]] std::int32_t upperBound() const noexcept {
        return exists_ ? static_cast<std::int32_t>(slots_.size() - 1) : -1;
    }

    // Bounds-checked slot access; throws std::out_of_range outside 0..upperBound().
    [[nodiscard]] Record& at(std::int32_t index) { return slots_.at(checked(index)); }
    [[nodiscard]] const Record& at(std::int32_t index) const { return slots_.at(checked(index)); }

    // Address of slot 0; null while the array does not exist. Valid until the
    // array is re-created or grown past its storage.
    [[nodiscard]] Record* data() noexcept { return exists_ ? slots_.data() : nullptr; }
    [[nodiscard]] const Record* data() const noexcept { return exists_ ? slots_.data() : nullptr; }

    // Number of slots the storage holds without moving.
    [[nodiscard]] std::size_t storageSlots() const noexcept { return slots_.capacity(); }

    // Discards the contents and gives the array the bounds 0..upper, every
    // slot zeroed. On failure (std::bad_alloc, std::length_error) the array is
    // left as it was.
    void recreate(std::int32_t upper) {
        std::vector<Record> fresh(slotCount(upper));
        slots_.swap(fresh);
        exists_ = true;
    }

    // Like recreate, but reuses the storage when it is large enough, which
    // spares a large array the system's allocation and first-touch costs.
    void refill(std::int32_t upper) {
        const std::size_t count = slotCount(upper);
        if (count > slots_.capacity()) {
            recreate(upper);
            return;
        }
        slots_.assign(count, Record{});
        exists_ = true;
    }

    // Makes room for the bounds 0..upper without changing the bounds, so that
    // a following grow(upper) cannot fail. The storage at least doubles when
    // it has to move. On failure the array is left as it was.
    void reserve(std::int32_t upper) {
        const std::size_t wanted = slotCount(upper);
        if (wanted <= slots_.capacity()) {
            return;
        }
        const std::size_t doubled = std::min(2 * slots_.capacity(), slotCount(kMaxUpperBound));
        slots_.reserve(std::max(wanted, doubled));
    }

    // Gives the array the bounds 0..upper, keeping every existing slot and
    // zeroing the new ones; creates the array if it does not exist. The
    // bound never shrinks here. Cannot fail after reserve(upper).
    void grow(std::int32_t upper) {
        reserve(upper);
        slots_.resize(std::max(slotCount(upper), slots_.size()));
        exists_ = true;
    }

private:
    [[nodiscard]] static std::size_t slotCount(std::int32_t upper) {
        if (upper < 0 || upper > kMaxUpperBound) {
            throw std::length_error("array bound " + std::to_string(upper) + " out of range");
        }
        return static_cast<std::size_t>(upper) + 1;
    }

    [[nodiscard]] std::size_t checked(std::int32_t index) const {
        if (!exists_ || index < 0 || index > upperBound()) {
            throw std::out_of_range("index out of range");
        }
        return static_cast<std::size_t>(index);
    }

    std::vector<Record> slots_;
    bool exists_ = false;
};

}  // namespace pointset
