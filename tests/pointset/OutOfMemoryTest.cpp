// Memory running out in the middle of a command: the command says so and
// leaves the store, the picture and lblInfo as they were. Built as a program
// of its own because it replaces the global allocation functions.
#include <atomic>
#include <cstdlib>
#include <new>

#include "Fakes.h"

namespace {

// Allocations of at least this many bytes fail while it is non-zero.
std::atomic<std::size_t> failFrom{0};

void* allocate(std::size_t size) {
    const std::size_t limit = failFrom.load();
    if (limit != 0 && size >= limit) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace {

// Records its boxes and pointer changes whatever the limit.
class OutOfMemoryPlatform : public FakePlatform {
public:
    // Recording a pointer change must not need memory either.
    OutOfMemoryPlatform() { pointerChanges.reserve(1000); }

    void messageBox(std::string_view text, int style, std::string_view title) override {
        failFrom = 0;
        FakePlatform::messageBox(text, style, title);
    }
};

// The raster's pixels, copied without sharing so that no later drawing has
// to allocate.
std::vector<QRgb> pixelsOf(const QImage& image) {
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        pixels.insert(pixels.end(), row, row + image.width());
    }
    return pixels;
}

class OutOfMemory : public ::testing::Test {
protected:
    ~OutOfMemory() override { failFrom = 0; }

    void place(int px, int py) { set.PlacePoint(1, 0, twips(px), twips(py)); }

    RasterCanvas canvas{QSize(400, 300)};
    OutOfMemoryPlatform platform;
    FakeControls controls;
    pointset::TriangulateLibrary library{VANTREL_RECORDER_PATH};
    Recorder recorder{VANTREL_RECORDER_PATH};
    pointset::PointSet set{canvas, platform, controls, library};
};

TEST_F(OutOfMemory, WhileGrowingPointsLeavesStoreAndPictureAlone) {
    place(10, 10);
    place(15, 10);
    // Place points with every allocation failing until one needs more room.
    int placed = 0;
    std::vector<QRgb> before;
    std::vector<PointRecord> slotsBefore;
    for (int i = 0; i < 200 && platform.boxes.empty(); ++i) {
        before = pixelsOf(canvas.image());
        slotsBefore = slotsOf(set.Points());
        placed = set.nPoints();
        failFrom = 1;
        place(20 + 5 * (i % 70), 20 + 5 * (i / 70));
        failFrom = 0;
    }

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Not enough memory");
    EXPECT_EQ(platform.boxes[0].style, 48);
    EXPECT_EQ(platform.boxes[0].title, "Error");
    EXPECT_EQ(set.nPoints(), placed);
    EXPECT_GT(placed, 2) << "placements that fit the storage must not allocate";
    EXPECT_EQ(slotsOf(set.Points()), slotsBefore);
    EXPECT_EQ(pixelsOf(canvas.image()), before) << "the disc was drawn all the same";
}

TEST_F(OutOfMemory, ForTheTriangleArrayLeavesEverythingAlone) {
    place(100, 100);
    place(300, 100);
    place(100, 200);
    recorder.scriptFan();
    set.RunTriangulation();
    place(200, 250);
    const auto before = pixelsOf(canvas.image());
    const auto trianglesBefore = slotsOf(set.Triangles());
    const std::string captionBefore = controls.caption;

    failFrom = 1;
    set.RunTriangulation();
    failFrom = 0;

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Not enough memory");
    EXPECT_EQ(recorder.callCount(), 1) << "the library must not be called without its array";
    EXPECT_EQ(slotsOf(set.Triangles()), trianglesBefore);
    EXPECT_EQ(pixelsOf(canvas.image()), before);
    EXPECT_EQ(controls.caption, captionBefore);
    EXPECT_EQ(platform.pointer, 0);
}

TEST_F(OutOfMemory, InABatchKeepsThePointsPlacedSoFarAndRestoresTheBox) {
    controls.value = 1;
    platform.replies = {"100000"};
    // Room for a few hundred points only.
    failFrom = 12 * 400;
    set.GenerateRandomPoints();
    failFrom = 0;

    ASSERT_EQ(platform.boxes.size(), 1u) << "one message for the batch, not one per point";
    EXPECT_EQ(platform.boxes[0].text, "Not enough memory");
    EXPECT_GT(set.nPoints(), 0);
    EXPECT_LT(set.nPoints(), 400);
    EXPECT_EQ(set.Points().upperBound(), set.nPoints() + 6);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(platform.pointer, 0);
    EXPECT_EQ(platform.progressEnds, 1);
}

}  // namespace
