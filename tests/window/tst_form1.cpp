// The window Form1 on the offscreen platform: its controls as laid out, the
// routing of every user action to its command, FitCanvas, and the platform
// services on Qt. The canvas and the services are the real ones; only the
// user's answers to modal dialogs are scripted.
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <cmath>
#include <functional>

#include "Artwork.h"
#include "Form1.h"
#include "PictureBox.h"
#include "QtPlatform.h"

namespace {

constexpr int kTwips = 15;
constexpr QRgb kRedPixel = 0xFFFF0000;
constexpr QRgb kGreyPixel = 0xFFC0C0C0;
constexpr QRgb kWhitePixel = 0xFFFFFFFF;

// Answers the next modal dialog from inside its own event loop, the way a
// user would, and remembers what it saw.
class ModalAnswer : public QObject {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer) : reply(std::move(answer))
    {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible())
                return;
            timer.stop();
            seen = true;
            reply(modal);
            // A failed check inside the answer must not leave the test
            // waiting on a dialog nobody closes.
            if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible())
                dialog->reject();
        });
        timer.start();
    }
    bool seen = false;

private:
    std::function<void(QWidget*)> reply;
    QTimer timer;
};

QAbstractButton* dialogButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    return box != nullptr ? box->button(which) : nullptr;
}

QString libraryBesideTests()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" VANTREL_LIBRARY_FILE);
}

// Twips of a pixel position inside picMain's interior.
QPointF twipsOf(QPoint interiorPixel)
{
    return {static_cast<double>(interiorPixel.x() * kTwips),
            static_cast<double>(interiorPixel.y() * kTwips)};
}

// Takes the place of the desktop's URL opener while it lives.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    explicit UrlRecorder(QList<QUrl>& into) : urls(into)
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }

public slots:
    void open(const QUrl& url) { urls << url; }

private:
    QList<QUrl>& urls;
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private:
    // A fresh window for every test: the point store starts empty each time.
    std::unique_ptr<Form1> form;

    template <typename T>
    T* control(const char* name) const
    {
        auto* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (widget == nullptr)
            qFatal("no control %s", name);
        return widget;
    }
    PictureBox* picMain() const { return control<PictureBox>("picMain"); }

    void showForm()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void resizeForm(QSize size)
    {
        form->resize(size);
        QTRY_COMPARE(form->size(), size);
    }
    // A press with `button` at a pixel of picMain's interior.
    void pressCanvas(QPoint interiorPixel, Qt::MouseButton button,
                     Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QTest::mouseClick(picMain(), button, keys,
                          interiorPixel + picMain()->contentsRect().topLeft());
    }
    [[nodiscard]] pointset::Colour canvasAt(QPoint interiorPixel) const
    {
        const QPointF at = twipsOf(interiorPixel);
        return picMain()->canvas().Point(static_cast<float>(at.x()), static_cast<float>(at.y()));
    }
    [[nodiscard]] std::int32_t nPoints() const { return form->pointStore().nPoints(); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        form = std::make_unique<Form1>();
    }
    void cleanup()
    {
        form.reset();
        // Every test leaves the pointer as it found it; a leftover is undone
        // so that it fails only the test that left it.
        const bool pointerRestored = QGuiApplication::overrideCursor() == nullptr;
        while (QGuiApplication::overrideCursor() != nullptr)
            QGuiApplication::restoreOverrideCursor();
        QVERIFY(pointerRestored);
    }

    // --- layout, captions, fonts ---------------------------------------

    void windowAsCreated()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Triangulation DLL example"));
        QCOMPARE(form->size(), QSize(726, 658));
        QVERIFY(form->minimumWidth() < 240 && form->maximumWidth() > 2000);  // resizable
        const QList<QSize> sizes = form->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(!control<QCheckBox>("chkAuto")->isChecked());
    }

    void controlsInCreationOrder()
    {
        QStringList names;
        for (QObject* child : form->children())
            if (child->isWidgetType())
                names << child->objectName();
        QCOMPARE(names, QStringList({"chkAuto", "picMain", "cmdTriangulate", "cmdClear",
                                     "cmdRandom", "lblHyperlink", "lblInfo", "lblTutorial"}));
    }

    void fixedPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<QString>("caption");
        // Twips of the layout divided by 15.
        QTest::newRow("chkAuto") << "chkAuto" << QRect(440, 40, 161, 17) << "Auto triangulate";
        QTest::newRow("picMain") << "picMain" << QRect(8, 96, 593, 433) << QString();
        QTest::newRow("cmdTriangulate")
            << "cmdTriangulate" << QRect(304, 40, 121, 33) << "TRIANGULATE";
        QTest::newRow("cmdClear") << "cmdClear" << QRect(168, 40, 129, 33) << "Clear all points";
        QTest::newRow("cmdRandom")
            << "cmdRandom" << QRect(8, 40, 153, 33) << "Generate random points";
    }
    void fixedPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QFETCH(QString, caption);
        auto* widget = control<QWidget>(name.toLatin1().constData());
        QCOMPARE(widget->geometry(), pixels);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), caption);
    }

    void labels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QString>("caption");
        QTest::newRow("lblHyperlink") << "lblHyperlink" << QPoint(8, 0)
                                      << "VISIT www.vantrel.example/triangulation FOR MORE INFO";
        QTest::newRow("lblInfo") << "lblInfo" << QPoint(8, 80)
                                 << "Points: 0 Triangles:0 Triangulate time: 0";
        QTest::newRow("lblTutorial")
            << "lblTutorial" << QPoint(8, 16)
            << "Click on the white box to create points. Click \"TRIANGULATE\" button to "
               "create triangulation.";
    }
    void labels()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, topLeft);
        QFETCH(QString, caption);
        auto* label = control<QLabel>(name.toLatin1().constData());
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->pos(), topLeft);
        // One line high, and as wide as its text: nothing is cut off.
        const QFontMetrics metrics(label->font());
        QVERIFY(label->height() >= metrics.height() && label->height() < 2 * metrics.lineSpacing());
        QVERIFY(label->width() >= metrics.horizontalAdvance(caption));
        QVERIFY(label->width() <= metrics.horizontalAdvance(caption) + 4);
        QVERIFY(!label->wordWrap());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    void fonts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("underline");
        QTest::newRow("chkAuto") << "chkAuto" << 400 << false;
        QTest::newRow("cmdTriangulate") << "cmdTriangulate" << 700 << false;
        QTest::newRow("cmdClear") << "cmdClear" << 400 << false;
        QTest::newRow("cmdRandom") << "cmdRandom" << 400 << false;
        QTest::newRow("lblHyperlink") << "lblHyperlink" << 400 << true;
        QTest::newRow("lblInfo") << "lblInfo" << 400 << false;
        QTest::newRow("lblTutorial") << "lblTutorial" << 400 << false;
    }
    void fonts()
    {
        QFETCH(QString, name);
        QFETCH(int, weight);
        QFETCH(bool, underline);
        const QFont font = control<QWidget>(name.toLatin1().constData())->font();
        QCOMPARE(font.pointSizeF(), 8.25);
        QCOMPARE(static_cast<int>(font.weight()), weight);
        QCOMPARE(font.underline(), underline);
        const QFontInfo used(font);
        if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")))
            QCOMPARE(used.family(), QStringLiteral("MS Sans Serif"));
        else
            QVERIFY2(used.family().contains(QStringLiteral("Sans")) && !used.fixedPitch(),
                     qPrintable(used.family()));
    }

    void linkIsBlueUnderlinedWithTheHand()
    {
        showForm();
        auto* link = control<QLabel>("lblHyperlink");
        // Pure blue reaches the screen: the underline is drawn unblended.
        const QImage picture = link->grab().toImage();
        int blue = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                blue += picture.pixel(x, y) == 0xFF0000FF ? 1 : 0;
        QVERIFY2(blue >= picture.width() / 2, qPrintable(QString::number(blue)));

        const QCursor hand = link->cursor();
        QCOMPARE(hand.shape(), Qt::BitmapCursor);
        QCOMPARE(hand.hotSpot(), QPoint(12, 1));
        const QImage art = hand.pixmap().toImage();
        QCOMPARE(art.size(), QSize(32, 32));
        // The hot spot is on the fingertip's outline, above it nothing.
        QCOMPARE(qAlpha(art.pixel(12, 1)), 255);
        QCOMPARE(qAlpha(art.pixel(12, 0)), 0);
        QSet<QRgb> colours;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (qAlpha(art.pixel(x, y)) != 0)
                    colours.insert(art.pixel(x, y));
        QVERIFY(colours.size() <= 16);
        // The other controls keep the normal pointer.
        QVERIFY(!control<QLabel>("lblInfo")->testAttribute(Qt::WA_SetCursor));
        QVERIFY(!picMain()->testAttribute(Qt::WA_SetCursor));
    }

    void tabOrder()
    {
        showForm();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        control<QWidget>("cmdRandom")->setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"cmdRandom", "cmdClear", "cmdTriangulate", "picMain",
                                       "chkAuto", "cmdRandom"}));
    }

    // --- FitCanvas -------------------------------------------------------

    void fitCanvasAtTheInitialSize()
    {
        showForm();
        // 10890 - 240 = 10650 twips by 9870 - 1440 - 120 = 8310.
        QCOMPARE(picMain()->geometry(), QRect(8, 96, 10650 / kTwips, 8310 / kTwips));
        // The interior, without the border, is what the commands draw on.
        const auto& canvas = picMain()->canvas();
        QCOMPARE(canvas.ScaleWidth(), static_cast<float>(picMain()->contentsRect().width() * kTwips));
        QCOMPARE(canvas.ScaleHeight(),
                 static_cast<float>(picMain()->contentsRect().height() * kTwips));
        QVERIFY(canvas.ScaleWidth() < 10650.0F);
    }

    void fitCanvasTooSmall_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("canvas");
        // The initial canvas is 710 x 554; a dimension that would come out
        // negative keeps that size, the other one still follows the window.
        QTest::newRow("too narrow") << QSize(15, 700) << QSize(710, 700 - 104);
        QTest::newRow("too low") << QSize(600, 100) << QSize(600 - 16, 554);
        QTest::newRow("both") << QSize(10, 50) << QSize(710, 554);
        QTest::newRow("just wide enough") << QSize(16, 500) << QSize(0, 500 - 104);
        QTest::newRow("just high enough") << QSize(500, 104) << QSize(500 - 16, 0);
    }
    void fitCanvasTooSmall()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, canvas);
        showForm();
        resizeForm(window);
        QCOMPARE(picMain()->size(), canvas);
        QCOMPARE(picMain()->pos(), QPoint(8, 96));
        // Growing again fits both directions.
        resizeForm(QSize(800, 600));
        QCOMPARE(picMain()->size(), QSize(800 - 16, 600 - 104));
    }

    void fitCanvasAfterMinimiseAndRestore()
    {
        showForm();
        resizeForm(QSize(640, 480));
        form->showMinimized();
        QCoreApplication::processEvents();
        form->showNormal();
        QTRY_COMPARE(picMain()->size(), QSize(640 - 16, 480 - 104));
    }

    void pictureKeptThroughResize()
    {
        showForm();
        pressCanvas({100, 100}, Qt::LeftButton);
        resizeForm(QSize(300, 300));
        resizeForm(QSize(900, 700));
        QCOMPARE(canvasAt({100, 100}), pointset::kRed);
        QCOMPARE(canvasAt({850, 560}), pointset::kWhite);  // the new area is white
        QCOMPARE(nPoints(), 1);
        // What reaches the screen is the canvas.
        const QImage screen = picMain()->grab().toImage();
        QCOMPARE(screen.pixel(picMain()->contentsRect().topLeft() + QPoint(100, 100)), kRedPixel);
    }

    // --- routing -----------------------------------------------------------

    void anyButtonPlacesAPoint_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("keys");
        QTest::newRow("left") << int(Qt::LeftButton) << int(Qt::NoModifier);
        QTest::newRow("right") << int(Qt::RightButton) << int(Qt::NoModifier);
        QTest::newRow("middle") << int(Qt::MiddleButton) << int(Qt::NoModifier);
        QTest::newRow("left with shift and ctrl")
            << int(Qt::LeftButton) << int(Qt::ShiftModifier | Qt::ControlModifier);
    }
    void anyButtonPlacesAPoint()
    {
        QFETCH(int, button);
        QFETCH(int, keys);
        showForm();
        const QPoint spot(200, 150);
        QCOMPARE(canvasAt(spot), pointset::kWhite);
        pressCanvas(spot, Qt::MouseButton(button), Qt::KeyboardModifiers(keys));
        QCOMPARE(nPoints(), 1);
        const auto& stored = form->pointStore().Points().at(1);
        QCOMPARE(stored.x, spot.x() * kTwips);
        QCOMPARE(stored.y, spot.y() * kTwips);
        QCOMPARE(canvasAt(spot), pointset::kRed);
        // The disc is on the screen too, where it was pressed.
        QCoreApplication::processEvents();
        const QImage screen = picMain()->grab().toImage();
        QCOMPARE(screen.pixel(picMain()->contentsRect().topLeft() + spot), kRedPixel);
    }

    void pressOnTheBorderPlacesNothing()
    {
        showForm();
        QTest::mouseClick(picMain(), Qt::LeftButton, {}, QPoint(0, 50));
        QTest::mouseClick(picMain(), Qt::LeftButton, {}, QPoint(50, 1));
        QCOMPARE(nPoints(), 0);
    }

    void mouseDownNotClick()
    {
        // The point comes with the press; a release elsewhere changes nothing.
        showForm();
        const QPoint at = picMain()->contentsRect().topLeft() + QPoint(60, 70);
        QTest::mousePress(picMain(), Qt::LeftButton, {}, at);
        QCOMPARE(nPoints(), 1);
        QTest::mouseRelease(picMain(), Qt::LeftButton, {}, at + QPoint(200, 0));
        QCOMPARE(nPoints(), 1);
    }

    void clearButtonClears()
    {
        showForm();
        pressCanvas({50, 50}, Qt::LeftButton);
        pressCanvas({90, 50}, Qt::LeftButton);
        const QString caption = control<QLabel>("lblInfo")->text();
        QTest::mouseClick(control<QPushButton>("cmdClear"), Qt::LeftButton);
        QCOMPARE(nPoints(), 0);
        QCOMPARE(canvasAt({50, 50}), pointset::kWhite);
        QCOMPARE(control<QLabel>("lblInfo")->text(), caption);
    }

    void otherLabelsDoNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("lblInfo") << "lblInfo";
        QTest::newRow("lblTutorial") << "lblTutorial";
    }
    void otherLabelsDoNothing()
    {
        QFETCH(QString, name);
        showForm();
        pressCanvas({50, 50}, Qt::LeftButton);
        QList<QUrl> opened;
        UrlRecorder recorder(opened);
        auto* label = control<QLabel>(name.toLatin1().constData());
        QTest::mouseClick(label, Qt::LeftButton);
        QTest::mouseDClick(label, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(opened.isEmpty());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(nPoints(), 1);
        QCOMPARE(canvasAt({50, 50}), pointset::kRed);
        QCOMPARE(control<QLabel>("lblInfo")->text(),
                 QStringLiteral("Points: 0 Triangles:0 Triangulate time: 0"));
    }

    void linkOpensTheInfoPage()
    {
        showForm();
        QList<QUrl> opened;
        UrlRecorder recorder(opened);
        auto* link = control<QLabel>("lblHyperlink");
        QTest::mouseClick(link, Qt::RightButton);
        QVERIFY(opened.isEmpty());  // a click is the left button
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>({QUrl(QStringLiteral("http://www.vantrel.example/triangulation"))}));
        QCOMPARE(nPoints(), 0);
    }

    void triangulateWithoutTheLibraryExplains()
    {
        form = std::make_unique<Form1>(nullptr, "/nonexistent/folder/libvantrel.so");
        showForm();
        pressCanvas({40, 40}, Qt::LeftButton);
        pressCanvas({140, 40}, Qt::LeftButton);
        pressCanvas({90, 120}, Qt::LeftButton);
        QString text;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box != nullptr);
            text = box->text();
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->buttons().size(), 1);
            // The busy pointer does not hide the box's button.
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
            box->button(QMessageBox::Ok)->click();
        });
        QTest::mouseClick(control<QPushButton>("cmdTriangulate"), Qt::LeftButton);
        QVERIFY(answer.seen);
        QVERIFY2(text.contains(QStringLiteral("/nonexistent/folder/libvantrel.so")), qPrintable(text));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(nPoints(), 3);
        QCOMPARE(canvasAt({40, 40}), pointset::kRed);
        QCOMPARE(control<QLabel>("lblInfo")->text(),
                 QStringLiteral("Points: 0 Triangles:0 Triangulate time: 0"));
    }

    void randomButtonAsksAndPlaces()
    {
        showForm();
        control<QCheckBox>("chkAuto")->setChecked(true);
        pressCanvas({30, 30}, Qt::LeftButton);
        QString prompt;
        QString title;
        QString offered;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            QVERIFY(input != nullptr);
            prompt = input->labelText();
            title = input->windowTitle();
            offered = input->textValue();
            input->findChild<QLineEdit*>()->setText(QStringLiteral("25"));
            dialogButton(input, QDialogButtonBox::Ok)->click();
        });
        QTest::mouseClick(control<QPushButton>("cmdRandom"), Qt::LeftButton);
        QVERIFY(answer.seen);
        QCOMPARE(title, QStringLiteral("Number of points"));
        QCOMPARE(offered, QStringLiteral("50"));
        QCOMPARE(prompt, QStringLiteral("Enter number of points.\nNote: Triangulate more than 1000 "
                                        "random-ordered points can take some time..."));
        QVERIFY(nPoints() > 20 && nPoints() <= 25);
        QCOMPARE(canvasAt({30, 30}), pointset::kWhite);  // the old point went with the clear
        QVERIFY(control<QCheckBox>("chkAuto")->isChecked());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void randomCancelledLeavesEverything()
    {
        showForm();
        pressCanvas({30, 30}, Qt::LeftButton);
        ModalAnswer answer([&](QWidget* dialog) {
            dialogButton(dialog, QDialogButtonBox::Cancel)->click();
        });
        QTest::mouseClick(control<QPushButton>("cmdRandom"), Qt::LeftButton);
        QVERIFY(answer.seen);
        QCOMPARE(nPoints(), 1);
        QCOMPARE(canvasAt({30, 30}), pointset::kRed);
    }

    void longRandomBatchShowsProgressAndCancels()
    {
        showForm();
        control<QCheckBox>("chkAuto")->setChecked(true);
        ModalAnswer count([&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>()->setText(QStringLiteral("200000000"));
            dialogButton(dialog, QDialogButtonBox::Ok)->click();
        });
        QElapsedTimer clock;
        bool progressShown = false;
        qint64 shownAfterMs = 0;
        Qt::CursorShape cursorOverProgress = Qt::BlankCursor;
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress == nullptr || !progress->isVisible())
                return;
            watch.stop();
            progressShown = true;
            shownAfterMs = clock.elapsed();
            cursorOverProgress = QGuiApplication::overrideCursor()->shape();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        watch.start();
        clock.start();
        QTest::mouseClick(control<QPushButton>("cmdRandom"), Qt::LeftButton);
        QVERIFY(progressShown);
        QCOMPARE(cursorOverProgress, Qt::ArrowCursor);
        QVERIFY2(shownAfterMs >= QtPlatform::kProgressDelayMs, qPrintable(QString::number(shownAfterMs)));
        // Cancel keeps what was placed, and puts the box and pointer back.
        QVERIFY(nPoints() > 0 && nPoints() < 200000000);
        QVERIFY(control<QCheckBox>("chkAuto")->isChecked());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // --- the whole road, with the real library -----------------------------

    void clickThreeThenTriangulate()
    {
        if (!QFileInfo::exists(libraryBesideTests()))
            QSKIP("libvantrel.so is not built beside the tests");
        showForm();
        auto* info = control<QLabel>("lblInfo");
        const int widthBefore = info->width();
        const QPoint a(100, 80);
        const QPoint b(400, 120);
        const QPoint c(250, 380);
        pressCanvas(a, Qt::LeftButton);
        pressCanvas(b, Qt::RightButton);
        pressCanvas(c, Qt::MiddleButton);
        QTest::mouseClick(control<QPushButton>("cmdTriangulate"), Qt::LeftButton);
        QVERIFY2(info->text().startsWith(QStringLiteral("Points:3 Triangles:1 Triangulate time:")),
                 qPrintable(info->text()));
        QVERIFY(info->text().endsWith(QStringLiteral(" seconds")));
        QVERIFY(info->width() > widthBefore);  // the label widens with its caption
        QVERIFY(info->width() >= QFontMetrics(info->font()).horizontalAdvance(info->text()));

        // On the screen: red dots at the three spots, grey between them,
        // white around. The discs are gone.
        QCoreApplication::processEvents();
        const QImage screen = picMain()->grab().toImage();
        const QPoint origin = picMain()->contentsRect().topLeft();
        for (QPoint p : {a, b, c})
            QCOMPARE(screen.pixel(origin + p), kRedPixel);
        // Just outside the triangle, beside each corner: no disc is left.
        QCOMPARE(screen.pixel(origin + a + QPoint(0, -2)), kWhitePixel);
        QCOMPARE(screen.pixel(origin + b + QPoint(2, 0)), kWhitePixel);
        QCOMPARE(screen.pixel(origin + c + QPoint(0, 2)), kWhitePixel);
        auto greyNear = [&](QPoint p) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (screen.pixel(origin + p + QPoint(dx, dy)) == kGreyPixel)
                        return true;
            return false;
        };
        QVERIFY(greyNear((a + b) / 2));
        QVERIFY(greyNear((b + c) / 2));
        QVERIFY(greyNear((a + c) / 2));
        QCOMPARE(screen.pixel(origin + QPoint(600, 500)), kWhitePixel);
        QCOMPARE(screen.pixel(origin + (a + b + c) / 3), kWhitePixel);
    }

    // --- the platform services -------------------------------------------

    void busyPointerIsBalanced()
    {
        QtPlatform services(form.get());
        services.setBusyPointer(pointset::kBusyHourglass);
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        services.setBusyPointer(pointset::kBusyHourglass);
        services.setBusyPointer(pointset::kBusyDefault);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        services.setBusyPointer(pointset::kBusyDefault);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        // Someone else's override stays where it is.
        QGuiApplication::setOverrideCursor(Qt::CrossCursor);
        services.setBusyPointer(pointset::kBusyHourglass);
        services.setBusyPointer(pointset::kBusyDefault);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QGuiApplication::restoreOverrideCursor();
        // Gone with the services, gone from the screen.
        {
            QtPlatform shortLived(form.get());
            shortLived.setBusyPointer(pointset::kBusyHourglass);
        }
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void messageBoxIsModalWarningWithOk()
    {
        QtPlatform services(form.get());
        ModalAnswer answer([](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box != nullptr);
            QCOMPARE(box->windowTitle(), QStringLiteral("Error"));
            QCOMPARE(box->text(), QStringLiteral("Not enough memory"));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->buttons().size(), 1);
            QVERIFY(box->isModal());
            box->button(QMessageBox::Ok)->click();
        });
        services.messageBox("Not enough memory", pointset::kStyleExclamation, "Error");
        QVERIFY(answer.seen);
    }

    void promptAnswers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ok") << "2,5" << true << "2,5";
        QTest::newRow("ok, untouched") << QString() << true << "50";
        QTest::newRow("cancel") << "123" << false << "";
        QTest::newRow("ok, emptied") << "" << true << "";
    }
    void promptAnswers()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        QtPlatform services(form.get());
        ModalAnswer answer([&](QWidget* dialog) {
            if (!typed.isNull())
                dialog->findChild<QLineEdit*>()->setText(typed);
            dialogButton(dialog, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        const std::string reply = services.inputBox("Enter number of points.", "Number of points", "50");
        QVERIFY(answer.seen);
        QCOMPARE(QString::fromStdString(reply), expected);
    }

    void separatorsFollowTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<char>("decimal");
        QTest::addColumn<char>("group");
        QTest::newRow("C") << QLocale::c() << '.' << ',';
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << ',' << '.';
        QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << ',' << ' ';
        QTest::newRow("Swiss German")
            << QLocale(QLocale::German, QLocale::Switzerland) << '.' << '\'';
    }
    void separatorsFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(char, decimal);
        QFETCH(char, group);
        QLocale::setDefault(locale);
        QtPlatform services(form.get());
        QCOMPARE(services.decimalSeparator(), decimal);
        QCOMPARE(services.groupSeparator(), group);
    }

    void clockIsMonotonicAndFine()
    {
        QtPlatform services(form.get());
        const double start = services.clockSeconds();
        double previous = start;
        double smallestStep = 1.0;
        for (int i = 0; i < 1000; ++i) {
            const double now = services.clockSeconds();
            QVERIFY(now >= previous);
            if (now > previous)
                smallestStep = std::min(smallestStep, now - previous);
            previous = now;
        }
        QVERIFY(smallestStep < 1e-4);  // far finer than milliseconds
    }

    void randomSourceIsTheFixedSequence()
    {
        QtPlatform first(form.get());
        QtPlatform second(form.get());
        pointset::RandomSource reference;
        for (int i = 0; i < 100; ++i) {
            const float r = first.rnd();
            QVERIFY(r >= 0.0F && r < 1.0F);
            QCOMPARE(r, second.rnd());
            QCOMPARE(r, reference.next());
        }
    }

    void progressAppearsLateAndCancels()
    {
        QtPlatform services(form.get());
        services.setBusyPointer(pointset::kBusyHourglass);
        services.beginProgress(1000);
        QVERIFY(services.progress(1));
        QTest::qWait(100);
        QVERIFY(services.progress(2));
        QCOMPARE(form->findChild<QProgressDialog*>(), nullptr);  // too early
        QTest::qWait(QtPlatform::kProgressDelayMs);
        QVERIFY(services.progress(500));
        auto* dialog = form->findChild<QProgressDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible() && dialog->isModal());
        QCOMPARE(dialog->value(), 500);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(!services.progress(600));
        QVERIFY(!services.progress(700));
        services.endProgress();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        services.setBusyPointer(pointset::kBusyDefault);
        // A new batch starts uncancelled and hidden.
        services.beginProgress(10);
        QVERIFY(services.progress(1));
        QVERIFY(!dialog->isVisible());
        services.endProgress();
    }

    void shellRefusesWhatItCannotStart_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("missing program") << "/nonexistent/program --flag" << "/nonexistent/program";
        QTest::newRow("address without scheme") << "explorer www.vantrel.example" << "www.vantrel.example";
    }
    void shellRefusesWhatItCannotStart()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, mentions);
        QtPlatform services(form.get());
        QString text;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box != nullptr);
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        services.shell(commandLine.toStdString(), pointset::kStyleMaximizedFocus);
        QVERIFY(answer.seen);
        QVERIFY2(text.contains(mentions), qPrintable(text));
    }

    // --- identity ------------------------------------------------------------

    void versionRecordInTheExecutable()
    {
        QFile program(QStringLiteral(PROJECT1_FILE));
        QVERIFY(program.open(QIODevice::ReadOnly));
        const QByteArray bytes = program.readAll();
        for (const char* field : {"FileVersion=1.00\n", "ProductVersion=1.00\n",
                                  "FileVersionNumber=1.0.0.0\n",
                                  "FileDescription=Triangulation DLL example\n",
                                  "Language=English (United States), 0409\n"})
            QVERIFY2(bytes.contains(field), field);
    }

    void desktopEntry()
    {
        QFile entry(QStringLiteral(PROJECT1_DESKTOP_FILE));
        QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
        QVERIFY(lines.contains(QStringLiteral("[Desktop Entry]")));
        QVERIFY(lines.contains(QStringLiteral("Comment=Triangulation DLL example")));
        QVERIFY(lines.contains(QStringLiteral("Exec=Project1")));
        QVERIFY(lines.contains(QStringLiteral("Icon=project1")));
    }

};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
