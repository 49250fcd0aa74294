// Memory running out in the middle of a command: the command says so and leaves the
// store, the picture and lblInfo as they were. A program of its own: it replaces
// the global allocation functions.
#include <atomic>
#include <cstdlib>
#include <new>

#include "Fakes.h"

namespace {
std::atomic<std::size_t> failFrom{0};  // allocations of at least this many bytes fail while it is not 0

void* allocate(std::size_t size) {
    void* memory = failFrom != 0 && size >= failFrom ? nullptr : std::malloc(size == 0 ? 1 : size);
    return memory != nullptr ? memory : throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using OutOfMemory = PointSetTest;

// Only a placement that needs more room allocates, and that before it draws. A
// run has its array before the clock starts: one that cannot neither calls the
// library nor reads the clock.
TEST_F(OutOfMemory, LeavesStorePictureAndCaptionAlone) {
    platform.pointerChanges.reserve(100);  // recorded whatever the limit, as the box is
    FakePlatform::beforeBox = [] { failFrom = 0; };
    placeTriangle();
    set.RunTriangulation();
    for (int i = 0; i < 200 && platform.boxes.empty(); ++i) {
        const auto before = std::pair(picture(canvas), slotsOf(set.Points()));
        failFrom = 1;
        place(20 + 5 * (i % 70), 20 + 5 * (i / 70));
        failFrom = 0;
        if (!platform.boxes.empty()) {
            EXPECT_GT(i, 0) << "placements that fit the storage must not allocate";
            EXPECT_TRUE(before == std::pair(picture(canvas), slotsOf(set.Points())));
        }
    }
    platform.expectOneError("Not enough memory");
    platform.boxes.clear();
    const auto before = std::tuple(picture(canvas), slotsOf(set.Triangles()), controls.caption);
    int readings = 0;
    platform.onClock = [&] { ++readings; };
    failFrom = 1;
    set.RunTriangulation();
    failFrom = 0;
    platform.expectOneError("Not enough memory");
    EXPECT_EQ(std::pair(recorder.calls, readings), std::pair(1, 0));
    EXPECT_TRUE(before == std::tuple(picture(canvas), slotsOf(set.Triangles()), controls.caption));
}

}  // namespace
