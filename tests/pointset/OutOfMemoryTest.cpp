// Memory running out in the middle of a command: the command says so and
// leaves the store, the picture and lblInfo as they were. A program of its
// own because it replaces the global allocation functions.
#include <atomic>
#include <cstdlib>
#include <new>

#include "Fakes.h"

namespace {

// Allocations of at least this many bytes fail while it is non-zero.
std::atomic<std::size_t> failFrom{0};

void* allocate(std::size_t size) noexcept {
    const std::size_t limit = failFrom.load();
    return limit != 0 && size >= limit ? nullptr : std::malloc(size == 0 ? 1 : size);
}
void* allocateOrThrow(std::size_t size) {
    void* memory = allocate(size);
    return memory != nullptr ? memory : throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace {

class OutOfMemory : public PointSetTest {
protected:
    // The box and pointer changes are recorded whatever the limit.
    OutOfMemory() {
        platform.pointerChanges.reserve(1000);
        FakePlatform::beforeBox = [] { failFrom = 0; };
    }
    ~OutOfMemory() override { failFrom = 0; }
};

TEST_F(OutOfMemory, WhileGrowingPointsLeavesStoreAndPictureAlone) {
    place(10, 10);
    place(15, 10);
    // Every allocation fails; only the placement that needs more room sees it.
    for (int i = 0; i < 200; ++i) {
        const auto before = picture(canvas);
        const auto slotsBefore = slotsOf(set.Points());
        failFrom = 1;
        place(20 + 5 * (i % 70), 20 + 5 * (i / 70));
        failFrom = 0;
        if (!platform.boxes.empty()) {
            EXPECT_EQ(platform.boxes[0].text, "Not enough memory");
            EXPECT_GT(i, 0) << "placements that fit the storage must not allocate";
            EXPECT_EQ(slotsOf(set.Points()), slotsBefore);
            EXPECT_EQ(picture(canvas), before) << "the disc was drawn all the same";
            return;
        }
    }
    FAIL() << "the storage never grew";
}

TEST_F(OutOfMemory, ForTheTriangleArrayLeavesEverythingAlone) {
    placeTriangle();
    recorder.fan = true;
    set.RunTriangulation();
    place(200, 250);
    const auto before = picture(canvas);
    const auto trianglesBefore = slotsOf(set.Triangles());
    const std::string caption = controls.caption;
    failFrom = 1;
    set.RunTriangulation();
    failFrom = 0;
    platform.expectOneError("Not enough memory");
    EXPECT_EQ(recorder.calls, 1) << "the library must not be called without its array";
    EXPECT_EQ(slotsOf(set.Triangles()), trianglesBefore);
    EXPECT_EQ(picture(canvas), before);
    EXPECT_EQ(controls.caption, caption);
}

}  // namespace
