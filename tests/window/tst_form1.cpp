// The window Form1 on the offscreen platform: its controls as laid out, the
// routing of every user action to its command, FitCanvas, and the platform
// services on Qt. The canvas and the services are the real ones; only the
// user's answers to modal dialogs are scripted.
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>

#include "Artwork.h"
#include "Form1.h"
#include "PictureBox.h"
#include "QtPlatform.h"

namespace {

constexpr int kTwips = 15;
constexpr QRgb kRedPixel = 0xFFFF0000, kWhitePixel = 0xFFFFFFFF;
const QString kInitialInfo = QStringLiteral("Points: 0 Triangles:0 Triangulate time: 0");

// Answers the next modal dialog from inside its own event loop, as a user would.
class ModalAnswer : public QObject {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> reply)
    {
        connect(&timer, &QTimer::timeout, this, [this, reply] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || !modal->isVisible())
                return;
            timer.stop();
            reply(modal);
            seen = true;
            // A failed check inside the answer must not leave the dialog open.
            if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible())
                dialog->reject();
        });
        timer.start(10);
    }
    bool seen = false;
    QTimer timer;
};

// Takes the place of the desktop's URL opener while it lives.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1> form;  // fresh for every test: the store starts empty

    template <typename T = QWidget>
    T* control(const QString& name) const
    {
        auto* widget = form->findChild<T*>(name);
        if (widget == nullptr)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    PictureBox* picMain() const { return control<PictureBox>("picMain"); }
    void click(const QString& name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void showForm()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void resizeForm(QSize size)
    {
        form->resize(size);
        QTRY_COMPARE(form->size(), size);
    }
    void pressCanvas(QPoint interiorPixel, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(picMain(), button, {}, interiorPixel + picMain()->contentsRect().topLeft());
    }
    // The canvas at a pixel of picMain's interior, as drawn and as shown.
    [[nodiscard]] pointset::Colour canvasAt(QPoint p) const
    {
        return picMain()->canvas().Point(static_cast<float>(p.x() * kTwips), static_cast<float>(p.y() * kTwips));
    }
    [[nodiscard]] QRgb screenAt(QPoint p) const
    {
        QCoreApplication::processEvents();
        return picMain()->grab().toImage().pixel(picMain()->contentsRect().topLeft() + p);
    }
    [[nodiscard]] std::int32_t nPoints() const { return form->pointStore().nPoints(); }
    [[nodiscard]] QString info() const { return control<QLabel>("lblInfo")->text(); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        form = std::make_unique<Form1>();
    }
    void cleanup()
    {
        form.reset();
        // A leftover busy pointer fails only the test that left it.
        const bool pointerRestored = QGuiApplication::overrideCursor() == nullptr;
        for (; QGuiApplication::overrideCursor() != nullptr; QGuiApplication::restoreOverrideCursor()) {}
        QVERIFY(pointerRestored);
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");  // twips of the layout / 15; labels: top left only
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("style");  // b: bold, u: underlined
        QTest::newRow("chkAuto") << "chkAuto" << QRect(440, 40, 161, 17) << "Auto triangulate" << "";
        QTest::newRow("picMain") << "picMain" << QRect(8, 96, 593, 433) << QString() << "";
        QTest::newRow("cmdTriangulate") << "cmdTriangulate" << QRect(304, 40, 121, 33) << "TRIANGULATE" << "b";
        QTest::newRow("cmdClear") << "cmdClear" << QRect(168, 40, 129, 33) << "Clear all points" << "";
        QTest::newRow("cmdRandom") << "cmdRandom" << QRect(8, 40, 153, 33) << "Generate random points" << "";
        QTest::newRow("lblHyperlink") << "lblHyperlink" << QRect(8, 0, 0, 0)
                                      << "VISIT www.vantrel.example/triangulation FOR MORE INFO" << "u";
        QTest::newRow("lblInfo") << "lblInfo" << QRect(8, 80, 0, 0) << kInitialInfo << "";
        QTest::newRow("lblTutorial") << "lblTutorial" << QRect(8, 16, 0, 0)
                                     << "Click on the white box to create points. Click \"TRIANGULATE\" button "
                                        "to create triangulation." << "";
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QFETCH(QString, caption);
        QFETCH(QString, style);
        QWidget* widget = control(name);
        QCOMPARE(widget->font().bold(), style.contains('b'));
        QCOMPARE(widget->font().underline(), style.contains('u'));
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), caption);
        auto* label = qobject_cast<QLabel*>(widget);
        QCOMPARE(label != nullptr ? QRect(widget->pos(), QSize(0, 0)) : widget->geometry(), pixels);
        if (label == nullptr)
            return;
        // One line high and as wide as its text: nothing is cut off.
        QCOMPARE(label->text(), caption);
        const QFontMetrics metrics(label->font());
        QVERIFY(label->height() >= metrics.height() && label->height() < 2 * metrics.lineSpacing());
        QVERIFY(label->width() >= metrics.horizontalAdvance(caption));
    }

    void windowAndTabOrder()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Triangulation DLL example"));
        QCOMPARE(form->size(), QSize(726, 658));
        QVERIFY(!control<QCheckBox>("chkAuto")->isChecked());
        showForm();
        // The focus starts where the tab order starts, not on the first control made.
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"cmdRandom", "cmdClear", "cmdTriangulate", "picMain", "chkAuto", "cmdRandom"}));
    }

    // The icon carries all three images and, as on Windows, shows the one
    // with the most colours the screen can show.
    void windowIcon()
    {
        QList<QPair<QSize, int>> images;
        for (const auto& [image, colours] : project1::iconImages()) {
            QSet<QRgb> distinct;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    distinct.insert(image.pixel(x, y));
            QVERIFY(distinct.size() <= colours && (colours == 2) == (distinct.size() <= 2));
            images << qMakePair(image.size(), colours);
        }
        QCOMPARE(images, (QList<QPair<QSize, int>>{{{32, 32}, 2}, {{32, 32}, 16}, {{16, 16}, 16}}));
        const QIcon icon = form->windowIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{32, 32}, {16, 16}}));
        QCOMPARE(icon.pixmap(32).toImage(), project1::iconImages()[1].image.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(project1::iconImageFor({32, 32}, 1), project1::iconImages()[0].image);
        QCOMPARE(project1::iconImageFor({32, 32}, 4), project1::iconImages()[1].image);
        QCOMPARE(project1::iconImageFor({16, 16}, 1), project1::iconImages()[2].image);
    }

    void fitCanvas_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("canvas");
        // 10890 - 240 by 9870 - 1440 - 120 twips. A dimension that would come
        // out negative keeps its size; the other one still follows the window.
        QTest::newRow("initial") << QSize(726, 658) << QSize(10650 / kTwips, 8310 / kTwips);
        QTest::newRow("too narrow") << QSize(15, 700) << QSize(710, 700 - 104);
        QTest::newRow("too low") << QSize(600, 100) << QSize(600 - 16, 554);
        QTest::newRow("just wide enough") << QSize(16, 500) << QSize(0, 500 - 104);
    }
    void fitCanvas()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, canvas);
        showForm();
        resizeForm(window);
        QCOMPARE(picMain()->geometry(), QRect(QPoint(8, 96), canvas));
        // The commands draw on the interior, without the border.
        QCOMPARE(picMain()->canvas().ScaleWidth(),
                 static_cast<float>(std::max(0, picMain()->contentsRect().width()) * kTwips));
        resizeForm(QSize(800, 600));
        QCOMPARE(picMain()->size(), QSize(800 - 16, 600 - 104));
    }

    void anyButtonPlacesAndClearClears_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void anyButtonPlacesAndClearClears()
    {
        QFETCH(Qt::MouseButton, button);
        showForm();
        // The point comes with the press; a release elsewhere changes nothing.
        const QPoint at = picMain()->contentsRect().topLeft() + QPoint(200, 150);
        QTest::mousePress(picMain(), button, {}, at);
        QTest::mouseRelease(picMain(), button, {}, at + QPoint(100, 0));
        QCOMPARE(nPoints(), 1);
        const auto& stored = form->pointStore().Points().at(1);
        QCOMPARE(QPoint(stored.x, stored.y), QPoint(200, 150) * kTwips);
        QCOMPARE(screenAt({200, 150}), kRedPixel);
        QTest::mouseClick(picMain(), Qt::LeftButton, {}, QPoint(0, 50));  // on the border
        QCOMPARE(nPoints(), 1);
        click("cmdClear");
        QCOMPARE(nPoints(), 0);
        QCOMPARE(canvasAt({200, 150}), pointset::kWhite);
    }

    // Only a left click on the link opens the page; the other labels do nothing.
    void labelClicks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("opens");
        QTest::newRow("lblHyperlink") << "lblHyperlink" << "http://www.vantrel.example/triangulation";
        QTest::newRow("lblInfo") << "lblInfo" << QString();
        QTest::newRow("lblTutorial") << "lblTutorial" << QString();
    }
    void labelClicks()
    {
        QFETCH(QString, name);
        QFETCH(QString, opens);
        showForm();
        pressCanvas({50, 50});
        UrlRecorder recorder;
        QTest::mouseClick(control(name), Qt::RightButton);
        QVERIFY(recorder.urls.isEmpty());
        QTest::mouseClick(control(name), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(recorder.urls, opens.isNull() ? QList<QUrl>() : QList<QUrl>({QUrl(opens)}));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(nPoints(), 1);
        QCOMPARE(info(), kInitialInfo);
    }

    void triangulateWithoutTheLibraryExplains()
    {
        form = std::make_unique<Form1>(nullptr, "/nonexistent/folder/libvantrel.so");
        showForm();
        pressCanvas({40, 40});
        QString text;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box != nullptr && box->isModal());
            text = box->text();
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->buttons().size(), 1);
            // The busy pointer does not hide the box's button.
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
            box->button(QMessageBox::Ok)->click();
        });
        click("cmdTriangulate");
        QVERIFY(answer.seen);
        QVERIFY2(text.contains(QStringLiteral("/nonexistent/folder/libvantrel.so")), qPrintable(text));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(canvasAt({40, 40}), pointset::kRed);
        QCOMPARE(info(), kInitialInfo);
    }

    void randomButtonAsksAndPlaces_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void randomButtonAsksAndPlaces()
    {
        QFETCH(bool, ok);
        showForm();
        auto* chkAuto = control<QCheckBox>("chkAuto");
        chkAuto->setChecked(true);
        pressCanvas({30, 30});
        QStringList asked;
        ModalAnswer answer([&](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            asked << input->windowTitle() << input->textValue() << input->labelText();
            input->findChild<QLineEdit*>()->setText(QStringLiteral("25"));
            input->findChild<QDialogButtonBox*>()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        click("cmdRandom");
        QVERIFY(answer.seen);
        QCOMPARE(asked, QStringList({"Number of points", "50",
                                     "Enter number of points.\nNote: Triangulate more than 1000 random-ordered "
                                     "points can take some time..."}));
        if (ok)
            QVERIFY(nPoints() > 20 && nPoints() <= 25);
        QCOMPARE(canvasAt({30, 30}), ok ? pointset::kWhite : pointset::kRed);
        QVERIFY(chkAuto->isChecked());
    }

    void clickThreeThenTriangulate()
    {
        if (!QFileInfo::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/" VANTREL_LIBRARY_FILE)))
            QSKIP("libvantrel.so is not built beside the tests");
        showForm();
        const int widthBefore = control("lblInfo")->width();
        const QPoint a(100, 80), b(400, 120), c(250, 380);
        pressCanvas(a, Qt::LeftButton);
        pressCanvas(b, Qt::RightButton);
        pressCanvas(c, Qt::MiddleButton);
        click("cmdTriangulate");
        QVERIFY2(info().startsWith(QStringLiteral("Points:3 Triangles:1 Triangulate time:")), qPrintable(info()));
        QVERIFY(info().endsWith(QStringLiteral(" seconds")));
        QVERIFY(control("lblInfo")->width() > widthBefore);  // widens with its caption

        // On the screen: red dots, grey between them, no discs, white around.
        for (QPoint p : {a, b, c})
            QCOMPARE(screenAt(p), kRedPixel);
        for (QPoint p : {a + QPoint(0, -2), b + QPoint(2, 0), (a + b + c) / 3})
            QCOMPARE(screenAt(p), kWhitePixel);
        for (QPoint middle : {(a + b) / 2, (b + c) / 2, (a + c) / 2}) {
            int grey = 0;
            for (int d = -1; d <= 1; ++d)
                grey += (screenAt(middle + QPoint(d, 0)) == 0xFFC0C0C0) + (screenAt(middle + QPoint(0, d)) == 0xFFC0C0C0);
            QVERIFY2(grey > 0, qPrintable(QStringLiteral("no edge near %1,%2").arg(middle.x()).arg(middle.y())));
        }
    }

    void busyPointerIsBalanced()
    {
        QtPlatform services(form.get());
        services.setBusyPointer(pointset::kBusyHourglass);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        services.setBusyPointer(pointset::kBusyHourglass);
        services.setBusyPointer(pointset::kBusyDefault);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        services.setBusyPointer(pointset::kBusyDefault);
        // Someone else's override stays where it is.
        QGuiApplication::setOverrideCursor(Qt::CrossCursor);
        services.setBusyPointer(pointset::kBusyHourglass);
        services.setBusyPointer(pointset::kBusyDefault);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QGuiApplication::restoreOverrideCursor();
        // Gone with the services, gone from the screen.
        QtPlatform(form.get()).setBusyPointer(pointset::kBusyHourglass);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void progressAppearsLateAndCancels()
    {
        QtPlatform services(form.get());
        services.setBusyPointer(pointset::kBusyHourglass);
        services.beginProgress(1000);
        QVERIFY(services.progress(1));
        QCOMPARE(form->findChild<QProgressDialog*>(), nullptr);  // too early
        QTest::qWait(QtPlatform::kProgressDelayMs + 100);
        QVERIFY(services.progress(500));
        auto* dialog = form->findChild<QProgressDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible() && dialog->isModal());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(!services.progress(600));
        services.endProgress();
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        services.setBusyPointer(pointset::kBusyDefault);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
