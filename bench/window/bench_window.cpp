// Pressing TRIANGULATE in a 1920 x 1080 window holding random points, until
// the finished picture is on the (offscreen) screen. Beside it, the
// library's own share: the same Triangulate call on the same points, alone.
//
//   QT_QPA_PLATFORM=offscreen bench_window     (offscreen is the default)
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

#include "Form1.h"
#include "PictureBox.h"

namespace {

constexpr QSize kWindow(1920, 1080);

// One window per size, filled once through "Generate random points" with
// the prompt answered by a timer, as a user would.
struct FilledWindow {
    std::unique_ptr<Form1> form = std::make_unique<Form1>();

    explicit FilledWindow(std::int64_t count)
    {
        form->resize(kWindow);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the window did not appear");
        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (prompt == nullptr)
                return;
            answer.stop();
            prompt->findChild<QLineEdit*>()->setText(QString::number(count));
            prompt->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        answer.start();
        QTest::mouseClick(button("cmdRandom"), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    QPushButton* button(const char* name) const
    {
        return form->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QString caption() const { return form->findChild<QLabel*>("lblInfo")->text(); }
};

// Emptied before the application object goes.
std::map<std::int64_t, std::unique_ptr<FilledWindow>> windows;

FilledWindow& window(std::int64_t count)
{
    auto& slot = windows[count];
    if (!slot)
        slot = std::make_unique<FilledWindow>(count);
    return *slot;
}

void BM_TriangulateToPicture(benchmark::State& state)
{
    FilledWindow& filled = window(state.range(0));
    QPushButton* triangulate = filled.button("cmdTriangulate");
    double libraryCaption = 0;
    double paintSeconds = 0;
    for (auto _ : state) {
        QTest::mouseClick(triangulate, Qt::LeftButton);
        // The repaint the command scheduled: the picture is on the screen
        // once the event loop has run it.
        const auto paintStart = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        paintSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - paintStart).count();
        state.PauseTiming();
        static const QRegularExpression time(QStringLiteral("time:([0-9.]+) seconds"));
        const auto match = time.match(filled.caption());
        if (!match.hasMatch())
            state.SkipWithError(qPrintable(filled.caption()));
        libraryCaption += match.captured(1).toDouble();
        state.ResumeTiming();
    }
    const auto points = filled.form->pointStore().nPoints();
    state.counters["points"] = points;
    state.counters["library_s"] =
        benchmark::Counter(libraryCaption, benchmark::Counter::kAvgIterations);
    state.counters["paint_s"] = benchmark::Counter(paintSeconds, benchmark::Counter::kAvgIterations);
    state.SetItemsProcessed(state.iterations() * points);
}

// The library alone on the window's points, through the same entry point
// the window loads.
void BM_LibraryShare(benchmark::State& state)
{
    FilledWindow& filled = window(state.range(0));
    const auto& store = filled.form->pointStore();
    const std::int32_t pointCapacity = store.Points().upperBound();
    const std::vector<PointRecord> points(store.Points().data(),
                                          store.Points().data() + pointCapacity + 1);
    void* library = dlopen((QCoreApplication::applicationDirPath().toStdString() + "/" +
                            VANTREL_LIBRARY_FILE).c_str(),
                           RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        state.SkipWithError(dlerror());
        return;
    }
    const auto triangulate = reinterpret_cast<TriangulateFn>(dlsym(library, VANTREL_ENTRY_NAME));
    std::vector<PointRecord> work;
    std::vector<TriangleRecord> triangles(2 * static_cast<std::size_t>(pointCapacity) + 1);
    std::int32_t count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        work = points;
        state.ResumeTiming();
        count = triangulate(store.nPoints(), 2 * pointCapacity, pointCapacity, work.data(),
                            triangles.data(), VANTREL_FLAG_DELAUNAY);
        benchmark::DoNotOptimize(count);
    }
    state.counters["points"] = store.nPoints();
    state.counters["triangles"] = count;
    state.SetItemsProcessed(state.iterations() * store.nPoints());
}

}  // namespace

BENCHMARK(BM_TriangulateToPicture)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibraryShare)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    windows.clear();
    return 0;
}
