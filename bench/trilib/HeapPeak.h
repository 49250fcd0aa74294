// Peak heap growth over a stretch of code, for the whole process (the
// library's allocations included). The bench binary replaces malloc and
// friends with thin wrappers around glibc's own allocator that keep a count
// of the bytes in use while a meter runs.
#pragma once

#include <cstddef>

namespace bench {

// Whether the counting wrappers are built in (not under the sanitizers).
[[nodiscard]] bool heapPeakAvailable();

// Starts counting from zero; only one meter at a time.
void heapPeakStart();

// Stops counting; the largest net growth in bytes since heapPeakStart.
[[nodiscard]] std::size_t heapPeakStop();

} // namespace bench
