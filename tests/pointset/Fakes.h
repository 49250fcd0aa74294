// Scripted stand-ins for the platform services and the two window controls,
// the handle on the recording library, and the fixture the command suites
// share. The canvas is the real raster.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <stdexcept>

#include "PointSet.h"
#include "RandomSource.h"
#include "RasterCanvas.h"
#include "RecorderControl.h"
#include "TriangulateLibrary.h"

// The front end's library loader, and how the system says a file is missing.
#ifdef _WIN32
#include "Win32LibraryLoader.h"
using PlatformLibraryLoader = Win32LibraryLoader;
inline constexpr const char* kNoSuchFile = "(error 126)";  // ERROR_MOD_NOT_FOUND
#else
#include "PosixLibraryLoader.h"
using PlatformLibraryLoader = PosixLibraryLoader;
inline constexpr const char* kNoSuchFile = "No such file";
#endif

class FakePlatform : public pointset::Platform {
public:
    struct Box { std::string text, title; int style, pointerWhenShown; };
    int pointer = 0;
    std::vector<int> pointerChanges;
    std::vector<Box> boxes;
    std::vector<std::string> prompts;  // prompt, title and default of each
    std::deque<std::string> replies;   // none left: the user cancels
    std::deque<double> clockReadings;  // once used up, the last one repeats
    double lastReading = 0.0;
    std::optional<std::deque<float>> scriptedRandom;  // else the program's own source
    pointset::RandomSource random;
    int randomDraws = 0;
    char decimal = '.', group = ',';
    std::int64_t cancelFrom = -1;  // progress() cancels from this count on
    std::vector<std::int64_t> progressReports;
    int progressEnds = 0;
    static inline void (*beforeBox)() = nullptr;  // runs first in every messageBox

    void setBusyPointer(int code) override { pointerChanges.push_back(pointer = code); }
    void messageBox(std::string_view text, int style, std::string_view title) override {
        if (beforeBox != nullptr) beforeBox();
        boxes.push_back({std::string(text), std::string(title), style, pointer});
    }
    std::string inputBox(std::string_view prompt, std::string_view title, std::string_view defaultText) override {
        prompts.insert(prompts.end(), {std::string(prompt), std::string(title), std::string(defaultText)});
        return replies.empty() ? std::string() : take(replies);
    }
    double clockSeconds() override { return clockReadings.empty() ? lastReading : lastReading = take(clockReadings); }
    float rnd() override {
        ++randomDraws;
        if (scriptedRandom && scriptedRandom->empty()) throw std::logic_error("more random numbers drawn than scripted");
        return scriptedRandom ? take(*scriptedRandom) : random.next();
    }
    void shell(std::string_view, int) override {}
    char decimalSeparator() const override { return decimal; }
    char groupSeparator() const override { return group; }
    void beginProgress(std::int64_t) override {}
    bool progress(std::int64_t done) override {
        progressReports.push_back(done);
        return cancelFrom < 0 || done < cancelFrom;
    }
    void endProgress() override { ++progressEnds; }
    template <class T>
    static T take(std::deque<T>& queue) {
        T first = queue.front();
        queue.pop_front();
        return first;
    }

    // The one box shown was the error box and mentions `text`.
    void expectOneError(const std::string& text) const {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].style, 48);
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_NE(boxes[0].text.find(text), std::string::npos) << boxes[0].text;
        EXPECT_EQ(pointer, pointset::kBusyDefault);
    }
};

class FakeControls : public pointset::Controls {
public:
    static constexpr const char* kInitialCaption = "Points: 0 Triangles:0 Triangulate time: 0";

    int value = 0;
    std::vector<int> valueChanges;
    std::string caption = kInitialCaption;

    int autoValue() const override { return value; }
    void setAutoValue(int newValue) override { valueChanges.push_back(value = newValue); }
    void setInfoCaption(std::string_view text) override { caption = std::string(text); }
};

// The recorder's state, in the same loaded copy that TriangulateLibrary
// uses, cleared for the next test.
inline RecorderState& freshRecorder() {
    static PlatformLibraryLoader loader;
    static const auto recorder = loader.load(VANTREL_RECORDER_PATH, "recorderState");
    if (recorder.function == nullptr) throw std::runtime_error(recorder.error);
    RecorderState& state = *reinterpret_cast<RecorderState* (*)()>(recorder.function)();
    return state = RecorderState{};
}

inline bool operator==(const PointRecord& l, const PointRecord& r) {
    return l.x == r.x && l.y == r.y && l.third == r.third;
}
inline bool operator==(const TriangleRecord& l, const TriangleRecord& r) {
    return l.a == r.a && l.b == r.b && l.c == r.c;
}

// Every slot of an array, none if it does not exist.
template <class Record>
std::vector<Record> slotsOf(const pointset::RecordArray<Record>& array) {
    std::vector<Record> stored;
    for (std::int32_t i = 0; i <= array.upperBound(); ++i) stored.push_back(array.at(i));
    return stored;
}

// Every pixel of the canvas, row by row.
inline std::vector<RasterCanvas::Pixel> picture(const RasterCanvas& canvas) {
    return {canvas.pixels().begin(), canvas.pixels().end()};
}

inline int countColour(const RasterCanvas& canvas, pointset::Colour colour) {
    const auto pixels = canvas.pixels();
    return static_cast<int>(std::count(pixels.begin(), pixels.end(), RasterCanvas::pixelOf(colour)));
}

// A position 7 twips into a pixel.
inline constexpr float twips(int pixel) { return static_cast<float>(pixel * 15 + 7); }

// The commands on a 400 x 300 pixel canvas, with the recorder as library.
class PointSetTest : public ::testing::Test {
protected:
    void place(int px, int py) { set.PlacePoint(1, 0, twips(px), twips(py)); }
    // Points 1, 2, 3 at pixels (100, 100), (300, 100) and (100, 200).
    void placeTriangle() {
        place(100, 100);
        place(300, 100);
        place(100, 200);
    }
    void answer(std::int32_t result, std::vector<TriangleRecord> triangles = {}) {
        recorder.result = result;
        recorder.triangles = std::move(triangles);
    }
    [[nodiscard]] pointset::Colour pixel(int px, int py) const { return canvas.Point(twips(px), twips(py)); }

    RasterCanvas canvas{400, 300};
    FakePlatform platform;
    FakeControls controls;
    PlatformLibraryLoader loader;
    pointset::TriangulateLibrary library{loader, VANTREL_RECORDER_PATH};
    RecorderState& recorder = freshRecorder();
    pointset::PointSet set{canvas, platform, controls, library};
};
