// Scripted stand-ins for the platform services, the two window controls and the
// triangulation library, and the fixture the command suites share, on the real raster.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <tuple>

#include "PointSet.h"
#include "RandomSource.h"
#include "RasterCanvas.h"
#include "TriangulateLibrary.h"

using pointset::Colour;
using Pixels = std::vector<RasterCanvas::Pixel>;

struct Box {
    std::string text, title;
    int style, pointer;  // the busy pointer while the box was up
    bool operator==(const Box&) const = default;
};

struct FakePlatform : pointset::Platform {
    int pointer = 0, randomDraws = 0;
    std::vector<int> pointerChanges;
    std::vector<Box> boxes;
    std::vector<std::string> prompts;       // prompt, title and default of each
    std::deque<std::string> replies;        // none left: the user cancels
    std::deque<double> clock;               // the readings; the last one repeats
    std::function<void()> onClock = [] {};  // runs at every reading
    std::deque<float> scriptedRandom;       // drawn first, then the program's own source
    pointset::RandomSource random;
    char decimal = '.', group = ',';
    std::int64_t cancelFrom = -1;  // progress() cancels from this count on
    static inline void (*beforeBox)() = [] {};

    template <class T>
    static T pop(std::deque<T>& queue) {
        if (queue.empty()) return {};
        T first = queue.front();
        queue.pop_front();
        return first;
    }
    void setBusyPointer(int code) override { pointerChanges.push_back(pointer = code); }
    void messageBox(std::string_view text, int style, std::string_view title) override {
        beforeBox();
        boxes.push_back({std::string(text), std::string(title), style, pointer});
    }
    std::string inputBox(std::string_view prompt, std::string_view title, std::string_view defaultText) override {
        prompts.insert(prompts.end(), {std::string(prompt), std::string(title), std::string(defaultText)});
        return pop(replies);
    }
    double clockSeconds() override {
        onClock();
        return clock.size() > 1 ? pop(clock) : clock.empty() ? 0.0 : clock.front();
    }
    float rnd() override { return ++randomDraws, scriptedRandom.empty() ? random.next() : pop(scriptedRandom); }
    void shell(std::string_view, int) override {}
    char decimalSeparator() const override { return decimal; }
    char groupSeparator() const override { return group; }
    void beginProgress(std::int64_t) override {}
    bool progress(std::int64_t done) override { return cancelFrom < 0 || done < cancelFrom; }
    void endProgress() override {}

    // The one box shown was an error box mentioning `text`, and the pointer is back.
    void expectOneError(const std::string& text) const {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(std::tuple(boxes[0].style, boxes[0].title, pointer), std::tuple(48, "Error", 0));
        EXPECT_NE(boxes[0].text.find(text), std::string::npos) << boxes[0].text;
    }
};

struct FakeControls : pointset::Controls {
    int value = 0;
    std::vector<int> valueChanges;
    std::string caption = "Points: 0 Triangles:0 Triangulate time: 0";  // as the form starts
    int autoValue() const override { return value; }
    void setAutoValue(int newValue) override { valueChanges.push_back(value = newValue); }
    void setInfoCaption(std::string_view text) override { caption = std::string(text); }
};

inline bool operator==(const PointRecord& l, const PointRecord& r) { return std::memcmp(&l, &r, sizeof l) == 0; }
inline bool operator==(const TriangleRecord& l, const TriangleRecord& r) { return std::memcmp(&l, &r, sizeof l) == 0; }

// The library's stand-in: it keeps what its last call received, writes 1000 + i
// into "third" of point slots 0..pointCapacity, and answers as scripted, by
// default with the triangle (1, 2, 3).
struct Recorder {
    std::int32_t result = 1;
    std::vector<TriangleRecord> triangles{{1, 2, 3}};  // written to slots 1.. as far as the capacity allows
    int calls = 0;
    std::int32_t pointCount = 0, triangleCapacity = 0, pointCapacity = 0, flag = 0;
    const void *points = nullptr, *triangleArray = nullptr;
    static inline Recorder* current = nullptr;

    static std::int32_t VANTREL_CALL Triangulate(std::int32_t pointCount, std::int32_t triangleCapacity,
                                                 std::int32_t pointCapacity, PointRecord* points,
                                                 TriangleRecord* triangles, std::int32_t flag) {
        Recorder& s = *current;
        ++s.calls;
        s.pointCount = pointCount, s.triangleCapacity = triangleCapacity, s.pointCapacity = pointCapacity;
        s.flag = flag, s.points = points, s.triangleArray = triangles;
        for (std::int32_t i = 0; i <= pointCapacity; ++i) points[i].third = 1000 + i;
        const auto slots = static_cast<std::size_t>(std::max(triangleCapacity, 0));
        std::copy_n(s.triangles.begin(), std::min(s.triangles.size(), slots), triangles + 1);
        return s.result;
    }
};

// Hands out the stand-in as a loader hands out a library's function.
struct RecordingLoader : pointset::LibraryLoader {
    Loaded load(const std::string&, const char*) override {
        return {std::make_shared<int>(), reinterpret_cast<AnyFunction>(&Recorder::Triangulate), {}, {}};
    }
};

// Every slot of an array, none if it does not exist.
template <class Record>
std::vector<Record> slotsOf(const pointset::RecordArray<Record>& array) {
    std::vector<Record> stored;
    for (std::int32_t i = 0; i <= array.upperBound(); ++i) stored.push_back(array.at(i));
    return stored;
}

inline Pixels picture(const RasterCanvas& canvas) { return {canvas.pixels().begin(), canvas.pixels().end()}; }

inline int countColour(const RasterCanvas& canvas, Colour colour) {
    return static_cast<int>(std::ranges::count(canvas.pixels(), RasterCanvas::pixelOf(colour)));
}

// `before` with a disc of radius r pixels around pixel (cx, cy): the pixels
// with dx^2 + dy^2 <= r^2 + r, red where all four neighbours are on it too,
// the rest (its outline) in `outline`.
inline Pixels withDisc(Pixels before, int width, int cx, int cy, int r, Colour outline) {
    const auto on = [&](int dx, int dy) { return dx * dx + dy * dy <= r * r + r; };
    for (int i = 0; i < static_cast<int>(before.size()); ++i) {
        const int dx = i % width - cx, dy = i / width - cy;
        const bool inside = on(dx - 1, dy) && on(dx + 1, dy) && on(dx, dy - 1) && on(dx, dy + 1);
        if (on(dx, dy)) before[static_cast<std::size_t>(i)] = RasterCanvas::pixelOf(inside ? pointset::kRed : outline);
    }
    return before;
}

// A position 7 twips into a pixel.
inline constexpr float twips(int pixel) { return static_cast<float>(pixel * 15 + 7); }

// The commands on a 400 x 300 pixel canvas, with the recorder as library.
class PointSetTest : public ::testing::Test {
protected:
    PointSetTest() { Recorder::current = &recorder; }
    void place(int px, int py) { set.PlacePoint(1, 0, twips(px), twips(py)); }
    // Points 1, 2, 3 at pixels (100, 100), (300, 100) and (100, 200).
    void placeTriangle() {
        for (auto [x, y] : {std::pair{100, 100}, {300, 100}, {100, 200}}) place(x, y);
    }
    [[nodiscard]] Colour pixel(int px, int py) const { return canvas.Point(twips(px), twips(py)); }

    RasterCanvas canvas{400, 300};
    FakePlatform platform;
    FakeControls controls;
    Recorder recorder;
    RecordingLoader loader;
    pointset::TriangulateLibrary library{loader};
    pointset::PointSet set{canvas, platform, controls, library};
};
