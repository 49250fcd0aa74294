#include "PointSet.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "NumberText.h"
#include "TriangulateLibrary.h"

namespace pointset {

namespace {

constexpr std::string_view kPromptText =
    "Enter number of points.\r\n"
    "Note: Triangulate more than 1000 random-ordered points can take some time...";
constexpr std::string_view kPromptTitle = "Number of points";
constexpr std::string_view kPromptDefault = "50";
constexpr std::string_view kNotEnoughMemory = "Not enough memory";
constexpr std::string_view kErrorTitle = "Error";

// A failure a command reports in a message box, with its text.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The hourglass for the lifetime of a long command, whichever way it ends.
class BusyPointer {
public:
    explicit BusyPointer(Platform& platform) : platform_(platform) {
        platform_.setBusyPointer(kBusyHourglass);
    }
    ~BusyPointer() { platform_.setBusyPointer(kBusyDefault); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Platform& platform_;
};

// Unchecks chkAuto so that a batch of placements does not triangulate after
// every point, and puts the remembered value back whichever way the batch ends.
class AutoSuspended {
public:
    explicit AutoSuspended(Controls& controls)
        : controls_(controls), remembered_(controls.autoValue()) {
        controls_.setAutoValue(0);
    }
    ~AutoSuspended() { controls_.setAutoValue(remembered_); }
    AutoSuspended(const AutoSuspended&) = delete;
    AutoSuspended& operator=(const AutoSuspended&) = delete;

private:
    Controls& controls_;
    int remembered_;
};

// Whatever the platform shows for a long batch is closed on every way out.
class ProgressReport {
public:
    ProgressReport(Platform& platform, std::int64_t total) : platform_(platform) {
        platform_.beginProgress(total);
    }
    ~ProgressReport() { platform_.endProgress(); }
    ProgressReport(const ProgressReport&) = delete;
    ProgressReport& operator=(const ProgressReport&) = delete;

private:
    Platform& platform_;
};

std::string shortest(float value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

// How many passes "for i = 1 to count" makes.
std::int64_t passes(double count) noexcept {
    if (!(count >= 1.0)) {
        return 0;
    }
    constexpr double kLimit = 0x1p62;  // beyond any batch that could finish
    return count >= kLimit ? static_cast<std::int64_t>(kLimit)
                           : static_cast<std::int64_t>(std::floor(count));
}

}  // namespace

PointSet::PointSet(Canvas& canvas, Platform& platform, Controls& controls,
                   TriangulateLibrary& library)
    : canvas_(canvas), platform_(platform), controls_(controls), library_(library) {}

template <class Body>
void PointSet::reportingFailures(Body&& body) {
    try {
        std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        platform_.messageBox(kNotEnoughMemory, kStyleExclamation, kErrorTitle);
    } catch (const std::length_error&) {
        // An array larger than the address space is out of memory as well.
        platform_.messageBox(kNotEnoughMemory, kStyleExclamation, kErrorTitle);
    } catch (const std::exception& failure) {
        platform_.messageBox(failure.what(), kStyleExclamation, kErrorTitle);
    }
}

// ---------------------------------------------------------------- clear

void PointSet::ClearPoints() {
    reportingFailures([this] { clearPoints(); });
}

void PointSet::clearPoints() {
    // Both new arrays are had before anything changes.
    RecordArray<TriangleRecord> triangles;
    triangles.recreate(0);
    RecordArray<PointRecord> points;
    points.recreate(0);

    nPoints_ = 0;
    triangles_ = std::move(triangles);
    spareTriangles_ = RecordArray<TriangleRecord>();
    points_ = std::move(points);
    canvas_.Cls();
}

// ---------------------------------------------------------------- place

void PointSet::PlacePoint(std::int16_t button, std::int16_t shift, float x, float y) {
    // Any button places a point, whatever keys are held.
    static_cast<void>(button);
    static_cast<void>(shift);
    reportingFailures([&] { placePointAndMaybeTriangulate(x, y); });
}

void PointSet::placePointAndMaybeTriangulate(float x, float y) {
    if (placePoint(x, y) == Placement::refused) {
        return;
    }
    // chkAuto is combined bitwise with a truth value whose "true" has all
    // bits set, so any non-zero check box value counts, not only 1.
    const int enoughPoints = nPoints_ >= 3 ? -1 : 0;
    if ((controls_.autoValue() & enoughPoints) != 0) {
        RunTriangulation();
    }
}

PointSet::Placement PointSet::placePoint(float x, float y) {
    // A pixel test, not a geometric one: a press on a drawn point is refused.
    if (canvas_.Point(x, y) == canvas_.FillColor()) {
        return Placement::refused;
    }
    const auto storedX = roundToInt32(x);
    const auto storedY = roundToInt32(y);
    if (!storedX || !storedY) {
        throw CommandError("The position (" + shortest(x) + ", " + shortest(y) +
                           ") cannot be stored as a point.");
    }
    if (nPoints_ >= RecordArray<PointRecord>::kMaxUpperBound - kSparePointSlots) {
        throw CommandError("No room for more points.");
    }
    const std::int32_t next = nPoints_ + 1;
    // Growing the array is the only step that can fail, so it is made
    // certain before the disc is drawn.
    points_.reserve(next + kSparePointSlots);

    canvas_.setForeColor(canvas_.FillColor());
    canvas_.Circle(x, y, kPointRadius);
    nPoints_ = next;
    points_.grow(nPoints_ + kSparePointSlots);
    PointRecord& slot = points_.at(nPoints_);
    slot.x = *storedX;
    slot.y = *storedY;
    return Placement::added;
}

// ---------------------------------------------------------------- triangulate

void PointSet::RunTriangulation() {
    const BusyPointer busy(platform_);
    reportingFailures([this] { runTriangulation(); });
}

void PointSet::runTriangulation() {
    // Loaded before the clock starts, so the first run does not time the loader.
    const TriangulateLibrary::Entry entry = library_.entry();
    if (entry.function == nullptr) {
        throw CommandError(entry.error);
    }

    // A run before the first placement or clear works on an empty store.
    RecordArray<PointRecord> emptyPoints;
    if (!points_.exists()) {
        emptyPoints.recreate(0);
    }
    RecordArray<PointRecord>& points = points_.exists() ? points_ : emptyPoints;

    const std::int32_t pointCapacity = points.upperBound();
    if (pointCapacity > std::numeric_limits<std::int32_t>::max() / 2) {
        throw CommandError("Too many points: the triangle array would need more than " +
                           std::to_string(std::numeric_limits<std::int32_t>::max()) + " slots.");
    }
    const std::int32_t triangleCapacity = 2 * pointCapacity;
    // The library fills the spare array, which replaces Triangles only once
    // its answer is known to be sound.
    RecordArray<TriangleRecord>& triangles = spareTriangles_;
    triangles.refill(triangleCapacity);

    const double start = platform_.clockSeconds();
    const std::int32_t t = entry.function(nPoints_, triangleCapacity, pointCapacity,
                                          points.data(), triangles.data(), kTriangulateFlag);
    const double stop = platform_.clockSeconds();
    const auto elapsed = static_cast<float>(stop - start);

    if (t == VANTREL_E_NOMEM) {
        std::swap(triangles_, triangles);
        if (!points_.exists()) {
            points_ = std::move(emptyPoints);
        }
        platform_.messageBox(kNotEnoughMemory, kStyleExclamation, kErrorTitle);
        return;
    }
    if (t > triangleCapacity) {
        throw CommandError("The triangulation library returned " + std::to_string(t) +
                           " triangles, more than the " + std::to_string(triangleCapacity) +
                           " there is room for.");
    }
    for (std::int32_t i = 1; i <= t; ++i) {
        const TriangleRecord& triangle = triangles.at(i);
        for (const std::int32_t corner : {triangle.a, triangle.b, triangle.c}) {
            if (corner < 0 || corner > pointCapacity) {
                throw CommandError("The triangulation library returned triangle " +
                                   std::to_string(i) + " with the corner " +
                                   std::to_string(corner) + ", outside the points 0 to " +
                                   std::to_string(pointCapacity) + ".");
            }
        }
    }

    std::swap(triangles_, triangles);
    if (!points_.exists()) {
        points_ = std::move(emptyPoints);
    }

    canvas_.setForeColor(kLightGrey);
    canvas_.Cls();
    // Every triangle as its own three segments, a shared edge twice; every
    // corner was checked above.
    const std::span<const PointRecord> stored(points_.data(), static_cast<std::size_t>(pointCapacity) + 1);
    if (t > 0) {
        canvas_.drawTriangleEdges(stored, std::span(triangles_.data() + 1, static_cast<std::size_t>(t)));
    }
    canvas_.setForeColor(canvas_.FillColor());
    canvas_.drawDots(stored.subspan(1, static_cast<std::size_t>(nPoints_)));
    controls_.setInfoCaption(InfoText(nPoints_, t, elapsed, platform_.decimalSeparator()));
}

// ---------------------------------------------------------------- random points

void PointSet::GenerateRandomPoints() {
    // Declared first so that it ends last, after chkAuto has its value back.
    std::optional<BusyPointer> busy;
    reportingFailures([&] {
        const AutoSuspended autoOff(controls_);
        const std::string reply = platform_.inputBox(kPromptText, kPromptTitle, kPromptDefault);
        if (reply.empty()) {
            return;  // Cancel
        }
        busy.emplace(platform_);
        const auto count =
            parseNumber(reply, platform_.decimalSeparator(), platform_.groupSeparator());
        if (!count) {
            throw CommandError("\"" + reply + "\" is not a number.");
        }
        // Beyond double's range: no batch could place that many. Said before
        // the clear, so that the points stay.
        if (*count == std::numeric_limits<double>::infinity()) {
            throw CommandError("\"" + reply + "\" is too many points to place.");
        }
        generateRandomPoints(*count);
    });
}

void PointSet::generateRandomPoints(double count) {
    clearPoints();
    const std::int64_t total = passes(count);
    const ProgressReport progress(platform_, total);
    for (std::int64_t done = 0; done < total;) {
        // The first number of each pair goes to x, the second to y.
        const float r1 = platform_.rnd();
        const float width = canvas_.ScaleWidth();
        const float r2 = platform_.rnd();
        const float height = canvas_.ScaleHeight();
        placePointAndMaybeTriangulate(r1 * width, r2 * height);
        ++done;
        if (done % kProgressInterval == 0 && !platform_.progress(done)) {
            break;  // cancelled: the points placed so far stay
        }
    }
}

}  // namespace pointset
