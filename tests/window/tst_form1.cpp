// Form1 on Qt's offscreen platform, with the real canvas and services; only
// the user's answers to dialogs are scripted. The real-window test shows
// the picture on a screen.
#include <QDesktopServices>
#include <QtTest>
#include <QtWidgets>

#include <functional>

#include "Artwork.h"
#include "Form1.h"
#include "FormFacts.h"
#include "PictureBox.h"
#include "resources/hand.xpm"
#include "resources/project1-16.xpm"
#include "resources/project1-32-mono.xpm"
#include "resources/project1-32.xpm"

namespace {

// Answers the next modal dialog from inside its loop, as a user would.
struct ModalAnswer : QTimer {
    explicit ModalAnswer(std::function<void(QDialog*)> reply)
    {
        connect(this, &QTimer::timeout, [this, reply] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
                stop();
                reply(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
        start(10);
    }
};

// Takes the place of the desktop's URL opener while it lives.
struct UrlRecorder : QObject {
    Q_OBJECT
public:
    UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open"); }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    Q_INVOKABLE void open(const QUrl& url) { urls << url.toString(); }
    QStringList urls;
};

QImage argb(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

}  // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;  // fresh for every test: the store starts empty

    template <typename T = QWidget>
    T* control(const char* name) const { return form->findChild<T*>(QLatin1String(name)); }
    PictureBox* picMain() const { return control<PictureBox>("picMain"); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void showForm() { form->show(), void(QTest::qWaitForWindowActive(form.get())); }
    void pressCanvas(QPoint at) { QTest::mouseClick(picMain(), Qt::LeftButton, {}, at + QPoint(2, 2)); }
    QString info() const { return control<QLabel>("lblInfo")->text(); }
    std::int32_t nPoints() const { return form->pointStore().nPoints(); }

private slots:
    void init() { form = std::make_unique<Form1>(); }
    void cleanup()
    {
        form.reset();
        // A busy pointer left behind fails only the test that left it.
        const bool restored = QGuiApplication::overrideCursor() == nullptr;
        while (QGuiApplication::overrideCursor() != nullptr)
            QGuiApplication::restoreOverrideCursor();
        QVERIFY(restored);
    }

    void controls_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(facts::kControls)); ++i)
            QTest::newRow(facts::kControls[i].name) << i;
    }
    void controls()
    {
        QFETCH(int, index);
        const facts::Control& fact = facts::kControls[index];
        showForm();  // the canvas is fitted as the window first shows
        QWidget* widget = control(fact.name);
        QCOMPARE(widget->property("text").toString(), QLatin1String(fact.caption));
        // A label is one line, as wide as its text.
        const QFontMetrics metrics(widget->font());
        const QSize size = fact.width != 0 ? QSize(fact.width, fact.height) : widget->size();
        QCOMPARE(widget->geometry(), QRect(QPoint(fact.left, fact.top), size));
        QVERIFY(fact.width != 0 || (size.width() >= metrics.horizontalAdvance(fact.caption) && size.height() < 2 * metrics.lineSpacing()));
        // Asked for first, and the fallback this machine has.
        const QFont font = widget->font();
        QCOMPARE(std::tuple(font.families().value(0), QFontInfo(font).family(), font.pointSizeF(), int(font.weight()), font.underline()),
                 std::tuple(QString(facts::kFontFace), QStringLiteral("DejaVu Sans"), facts::kFontPoints, fact.weight, fact.underline));
        // Blue (0x00FF0000) is the link's alone.
        QCOMPARE(widget->palette().color(QPalette::WindowText) == QColor(0, 0, 255), fact.underline);
    }

    void pointerIconAndVersion()
    {
        const QCursor hand = control("lblHyperlink")->cursor();
        QCOMPARE(hand.hotSpot(), QPoint(facts::kHotSpotX, facts::kHotSpotY));
        QCOMPARE(argb(hand.pixmap().toImage()), argb(QImage(hand_xpm)));

        // Every image is in the icon, which shows at each size the one with
        // the most colours the screen has: the 2-colour one below 4 bits.
        const QImage mono(project1_32_mono_xpm), colour(project1_32_xpm), small(project1_16_xpm);
        QCOMPARE(form->windowIcon().availableSizes(), (QList<QSize>{{32, 32}, {16, 16}}));
        QCOMPARE(argb(form->windowIcon().pixmap(32).toImage()), argb(colour));
        QCOMPARE(argb(form->windowIcon().pixmap(16).toImage()), argb(small));
        QCOMPARE(argb(project1::iconImageFor({32, 32}, 1)), argb(mono));
        QCOMPARE(argb(project1::iconImageFor({32, 32}, 4)), argb(colour));

        // The version record as the program's file stores it.
        QFile program(QCoreApplication::applicationDirPath() + QStringLiteral("/Project1"));
        const QByteArray bytes = program.open(QIODevice::ReadOnly) ? program.readAll() : QByteArray();
        const qsizetype start = bytes.indexOf("VERSIONINFO\n");
        const QList<QByteArray> record = bytes.mid(start, bytes.indexOf("\nEND\n", start) - start).split('\n');
        for (const char* line : {"FileVersion=1.00", "FileVersionNumber=1.0.0.0", "ProductVersion=1.00", "ProductVersionNumber=1.0.0.0",
                                 "Language=English (United States), 0409", "FileDescription=Triangulation DLL example"})
            QVERIFY2(start >= 0 && record.contains(line), line);
    }

    void focusFollowsTheTabOrderAndTheCanvasEveryResize()
    {
        showForm();
        QStringList visited{QApplication::focusWidget()->objectName()};
        while (visited.size() < int(std::size(facts::kTabOrder))) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList(std::begin(facts::kTabOrder), std::end(facts::kTabOrder)));
        for (const facts::Fit& fit : facts::kFits) {
            form->resize(fit.clientWidth, fit.clientHeight);
            QTRY_COMPARE(form->size(), QSize(fit.clientWidth, fit.clientHeight));
            QCOMPARE(picMain()->geometry(), QRect(8, 96, fit.canvasWidth, fit.canvasHeight));
        }
        // The commands draw on the interior, inside the border.
        QCOMPARE(QSizeF(picMain()->canvas().ScaleWidth(), picMain()->canvas().ScaleHeight()), QSizeF(9300, 5880));
    }

    void anyButtonPlacesAPoint()
    {
        showForm();
        QSignalSpy mouseDown(picMain(), &PictureBox::mouseDown);
        // The point comes with the press; a release elsewhere changes nothing.
        QTest::mousePress(picMain(), Qt::LeftButton, {}, QPoint(12, 22));
        QTest::mouseRelease(picMain(), Qt::LeftButton, {}, QPoint(112, 22));
        QTest::mouseClick(picMain(), Qt::RightButton, Qt::ShiftModifier, QPoint(102, 32));
        QTest::mouseClick(picMain(), Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, QPoint(202, 302));
        QTest::mouseClick(picMain(), Qt::LeftButton, {}, QPoint(1, 50));  // on the border: nothing
        QList<QVariantList> stored;
        for (std::int32_t i = 1; i <= nPoints(); ++i)
            stored << QVariantList{0, 0, float(form->pointStore().Points().at(i).x), float(form->pointStore().Points().at(i).y)};
        QCOMPARE(mouseDown, (QList<QVariantList>{{short(1), short(0), 150.F, 300.F}, {short(2), short(1), 1500.F, 450.F},
                                                  {short(4), short(6), 3000.F, 4500.F}}));
        QCOMPARE(stored, (QList<QVariantList>{{0, 0, 150.F, 300.F}, {0, 0, 1500.F, 450.F}, {0, 0, 3000.F, 4500.F}}));
    }

    // A left click on the link opens the page, a double-click once; nothing
    // else on a label does.
    void labelClicks()
    {
        showForm();
        pressCanvas({50, 50});
        ModalAnswer none([](QDialog* dialog) { QFAIL(qPrintable(dialog->windowTitle() + QStringLiteral(" came up"))); });
        for (const facts::Control& label : {facts::kControls[5], facts::kControls[6], facts::kControls[7]}) {
            UrlRecorder recorder;
            QTest::mousePress(control(label.name), Qt::LeftButton);
            QTest::mouseRelease(control(label.name), Qt::LeftButton, {}, QPoint(-4, -4));  // let go beside it
            QVERIFY(recorder.urls.isEmpty());
            click(label.name);
            // The second press of a double-click comes as a double-click event.
            QTest::mouseDClick(control(label.name), Qt::LeftButton);
            QTest::mouseRelease(control(label.name), Qt::LeftButton);
            QCOMPARE(recorder.urls, label.underline ? QStringList{QLatin1String(facts::kPage)} : QStringList());  // the link, once
        }
        QCOMPARE(nPoints(), 1);
        QCOMPARE(info(), QLatin1String(facts::kControls[6].caption));
    }

    void missingLibraryIsNamedAndNothingIsLost()
    {
        form = std::make_unique<Form1>(nullptr, "no-such-library.so");
        showForm();
        pressCanvas({40, 40});
        QString text;
        ModalAnswer answer([&](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            text = box->text();
            QCOMPARE(std::tuple(box->windowTitle(), box->icon(), box->buttons().size()),
                     std::tuple(QStringLiteral("Error"), QMessageBox::Warning, qsizetype(1)));
            // The busy pointer does not hide the box's button.
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        });
        click("cmdTriangulate");
        QVERIFY(!answer.isActive());
        QVERIFY2(text.contains(QStringLiteral("no-such-library.so")) && text.contains(QCoreApplication::applicationDirPath()),
                 qPrintable(text));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(info(), QLatin1String(facts::kControls[6].caption));
    }

    void promptAsksForTheCountAndCancelChangesNothing()
    {
        form = std::make_unique<Form1>(nullptr, VANTREL_RECORDER_PATH);  // it answers with 0 triangles
        showForm();
        control<QCheckBox>("chkAuto")->setChecked(true);
        pressCanvas({30, 30});
        const QString text = QString::fromLatin1(facts::kPromptText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (const auto button : {QDialogButtonBox::Cancel, QDialogButtonBox::Ok}) {
            QStringList asked;
            ModalAnswer answer([&](QDialog* dialog) {
                auto* input = qobject_cast<QInputDialog*>(dialog);
                asked << input->windowTitle() << input->labelText() << input->textValue();
                input->findChild<QLineEdit*>()->setText(QStringLiteral("25"));
                input->findChild<QDialogButtonBox*>()->button(button)->click();
            });
            click("cmdRandom");
            QCOMPARE(asked, QStringList({QLatin1String(facts::kPromptTitle), text, QStringLiteral("50")}));
            QVERIFY(button == QDialogButtonBox::Ok ? nPoints() > 20 && nPoints() <= 25 : nPoints() == 1);
            QVERIFY(control<QCheckBox>("chkAuto")->isChecked());
        }
        // lblInfo widens with its caption.
        const int width = control("lblInfo")->width();
        click("cmdTriangulate");
        QVERIFY2(info().contains(QStringLiteral(" Triangles:0 Triangulate time:")), qPrintable(info()));
        QVERIFY(control("lblInfo")->width() > width);
    }

    void busyPointerAndProgress()
    {
        QtPlatform services(form.get());
        const auto shape = [] { return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : -1; };
        // Balanced whatever the codes come; someone else's override stays.
        QGuiApplication::setOverrideCursor(Qt::CrossCursor);
        for (const int code : {pointset::kBusyHourglass, pointset::kBusyHourglass, pointset::kBusyDefault,
                               pointset::kBusyDefault, pointset::kBusyHourglass})
            services.setBusyPointer(code);
        QCOMPARE(shape(), Qt::WaitCursor);
        services.setBusyPointer(pointset::kBusyDefault);
        QCOMPARE(shape(), Qt::CrossCursor);
        QGuiApplication::restoreOverrideCursor();
        // A batch shows its progress only after a while, with the arrow; its
        // Cancel ends the batch, and the hourglass comes back.
        services.setBusyPointer(pointset::kBusyHourglass);
        services.beginProgress(1000);
        QVERIFY(services.progress(1) && form->findChild<QProgressDialog*>() == nullptr);
        QTest::qWait(QtPlatform::kProgressDelayMs + 100);
        QVERIFY(services.progress(500));
        auto* dialog = form->findChild<QProgressDialog*>();
        QVERIFY(dialog != nullptr && dialog->isVisible() && dialog->isModal());
        QCOMPARE(shape(), Qt::ArrowCursor);
        QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        QTRY_VERIFY(!services.progress(600));
        services.endProgress();
        QCOMPARE(shape(), Qt::WaitCursor);
        services.setBusyPointer(pointset::kBusyDefault);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
