// Scripted stand-ins for the modal platform services and the two window
// controls, the handle on the recording library, and the fixture the
// command suites share. The canvas is the real raster.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QSize>

#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "PointSet.h"
#include "RandomSource.h"
#include "RasterCanvas.h"
#include "RecorderControl.h"
#include "TriangulateLibrary.h"

class FakePlatform : public pointset::Platform {
public:
    struct Box {
        std::string text;
        int style;
        std::string title;
        int pointerWhenShown;
    };
    struct Prompt {
        std::string prompt;
        std::string title;
        std::string defaultText;
    };

    int pointer = 0;
    std::vector<int> pointerChanges;
    std::vector<Box> boxes;
    std::vector<Prompt> prompts;
    std::deque<std::string> replies;  // empty: the user cancels
    std::deque<double> clockReadings;  // once used up, the last reading repeats
    double lastReading = 0.0;
    int clockReads = 0;
    std::optional<std::deque<float>> scriptedRandom;  // else the program's own source
    pointset::RandomSource random;
    int randomDraws = 0;
    char decimal = '.';
    char group = ',';
    std::int64_t progressTotal = -1;
    std::vector<std::int64_t> progressReports;
    int progressEnds = 0;
    std::int64_t cancelFrom = -1;  // progress() asks to cancel from this count on
    std::vector<std::string> commandLines;

    void setBusyPointer(int code) override {
        pointer = code;
        pointerChanges.push_back(code);
    }
    void messageBox(std::string_view text, int style, std::string_view title) override {
        boxes.push_back({std::string(text), style, std::string(title), pointer});
    }
    std::string inputBox(std::string_view prompt, std::string_view title,
                         std::string_view defaultText) override {
        prompts.push_back({std::string(prompt), std::string(title), std::string(defaultText)});
        if (replies.empty()) {
            return {};
        }
        std::string reply = replies.front();
        replies.pop_front();
        return reply;
    }
    double clockSeconds() override {
        ++clockReads;
        if (!clockReadings.empty()) {
            lastReading = clockReadings.front();
            clockReadings.pop_front();
        }
        return lastReading;
    }
    float rnd() override {
        ++randomDraws;
        if (scriptedRandom) {
            if (scriptedRandom->empty()) {
                throw std::logic_error("more random numbers drawn than scripted");
            }
            const float value = scriptedRandom->front();
            scriptedRandom->pop_front();
            return value;
        }
        return random.next();
    }
    void shell(std::string_view commandLine, int) override {
        commandLines.emplace_back(commandLine);
    }
    char decimalSeparator() const override { return decimal; }
    char groupSeparator() const override { return group; }
    void beginProgress(std::int64_t total) override { progressTotal = total; }
    bool progress(std::int64_t done) override {
        progressReports.push_back(done);
        return cancelFrom < 0 || done < cancelFrom;
    }
    void endProgress() override { ++progressEnds; }
};

class FakeControls : public pointset::Controls {
public:
    static constexpr const char* kInitialCaption = "Points: 0 Triangles:0 Triangulate time: 0";

    int value = 0;
    std::vector<int> valueChanges;
    std::string caption = kInitialCaption;

    int autoValue() const override { return value; }
    void setAutoValue(int newValue) override {
        value = newValue;
        valueChanges.push_back(newValue);
    }
    void setInfoCaption(std::string_view text) override { caption = std::string(text); }
};

// The recording library's controls, looked up in the same loaded copy that
// TriangulateLibrary uses for the same path.
class Recorder {
public:
    explicit Recorder(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW)) {
        if (handle_ == nullptr) {
            throw std::runtime_error(dlerror());
        }
        reset = lookUp<RecorderResetFn>("recorderReset");
        script = lookUp<RecorderScriptFn>("recorderScript");
        scriptFan = lookUp<RecorderScriptFanFn>("recorderScriptFan");
        callCount = lookUp<RecorderCallCountFn>("recorderCallCount");
        lastCall = lookUp<RecorderLastCallFn>("recorderLastCall");
        seenPoints = lookUp<RecorderSeenPointsFn>("recorderSeenPoints");
    }
    ~Recorder() { dlclose(handle_); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    RecorderResetFn reset = nullptr;
    RecorderScriptFn script = nullptr;
    RecorderScriptFanFn scriptFan = nullptr;
    RecorderCallCountFn callCount = nullptr;
    RecorderLastCallFn lastCall = nullptr;
    RecorderSeenPointsFn seenPoints = nullptr;

    void answer(std::int32_t result, std::vector<TriangleRecord> triangles = {}) {
        script(result, triangles.data(), static_cast<std::int32_t>(triangles.size()));
    }
    std::vector<PointRecord> lastPoints() const {
        std::vector<PointRecord> points(static_cast<std::size_t>(seenPoints(nullptr, 0)));
        seenPoints(points.data(), static_cast<std::int32_t>(points.size()));
        return points;
    }

private:
    template <class Fn>
    Fn lookUp(const char* name) {
        void* symbol = dlsym(handle_, name);
        if (symbol == nullptr) {
            throw std::runtime_error(std::string("recorder lacks ") + name);
        }
        return reinterpret_cast<Fn>(symbol);
    }

    void* handle_;
};

inline bool operator==(const PointRecord& l, const PointRecord& r) {
    return l.x == r.x && l.y == r.y && l.third == r.third;
}
inline bool operator==(const TriangleRecord& l, const TriangleRecord& r) {
    return l.a == r.a && l.b == r.b && l.c == r.c;
}
inline std::ostream& operator<<(std::ostream& out, const PointRecord& p) {
    return out << '{' << p.x << ',' << p.y << ',' << p.third << '}';
}
inline std::ostream& operator<<(std::ostream& out, const TriangleRecord& t) {
    return out << '{' << t.a << ',' << t.b << ',' << t.c << '}';
}

// Every slot of an array, or nothing if it does not exist.
template <class Record>
std::vector<Record> slotsOf(const pointset::RecordArray<Record>& array) {
    std::vector<Record> stored;
    for (std::int32_t i = 0; i <= array.upperBound(); ++i) {
        stored.push_back(array.at(i));
    }
    return stored;
}

// Number of pixels of the raster with the given colour.
inline int countColour(const QImage& image, pointset::Colour colour) {
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return count;
}

// Centre of pixel (px, py) in twips, and a few positions in twips on a
// 400 x 300 pixel canvas, each 7 twips into its pixel.
inline constexpr float twips(int pixel) { return static_cast<float>(pixel * 15 + 7); }

class PointSetTest : public ::testing::Test {
protected:
    static constexpr QSize kCanvasPixels{400, 300};

    explicit PointSetTest(const std::string& libraryPath = VANTREL_RECORDER_PATH)
        : library(libraryPath), recorder(VANTREL_RECORDER_PATH) {
        recorder.reset();
    }

    void place(float x, float y) { set.PlacePoint(1, 0, x, y); }
    // Three points at pixels (100, 100), (300, 100) and (100, 200).
    void placeTriangle() {
        place(twips(100), twips(100));
        place(twips(300), twips(100));
        place(twips(100), twips(200));
    }
    [[nodiscard]] pointset::Colour pixel(int px, int py) const {
        return canvas.Point(twips(px), twips(py));
    }

    RasterCanvas canvas{kCanvasPixels};
    FakePlatform platform;
    FakeControls controls;
    pointset::TriangulateLibrary library;
    Recorder recorder;
    pointset::PointSet set{canvas, platform, controls, library};
};
