#include "Form1.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>

#include <exception>
#include <new>
#include <utility>

#include "Artwork.h"
#include "PictureBox.h"
#include "Version.h"

namespace {

// A control's place in twips, as laid out before the first resize.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

constexpr Place kChkAuto{6600, 600, 2415, 255};
constexpr Place kPicMain{120, 1440, 8895, 6495};
constexpr Place kCmdTriangulate{4560, 600, 1815, 495};
constexpr Place kCmdClear{2520, 600, 1935, 495};
constexpr Place kCmdRandom{120, 600, 2295, 495};
constexpr Place kLblHyperlink{120, 0, 3780, 195};
constexpr Place kLblInfo{120, 1200, 2790, 195};
constexpr Place kLblTutorial{120, 240, 6585, 195};

constexpr double kFontPoints = 8.25;
constexpr int kBold = 700;

constexpr char kInitialInfo[] = "Points: 0 Triangles:0 Triangulate time: 0";
constexpr char kTutorial[] =
    "Click on the white box to create points. Click \"TRIANGULATE\" button to create "
    "triangulation.";

QRect toPixels(const Place& place)
{
    return {place.left / Form1::kTwipsPerPixel, place.top / Form1::kTwipsPerPixel,
            place.width / Form1::kTwipsPerPixel, place.height / Form1::kTwipsPerPixel};
}

QColor fromBgr(pointset::Colour colour)
{
    const auto value = static_cast<std::uint32_t>(colour);
    return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
                  static_cast<int>((value >> 16) & 0xFFU));
}

// A label that sizes itself to its one line of text, as it is laid out at
// `place`: its top-left corner stays, its width and height follow the text.
void autoSize(QLabel* label)
{
    label->resize(label->sizeHint());
}

}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

Form1::Form1(QWidget* parent, std::string libraryFile)
    : QWidget(parent),
      services(this),
      library(loader, std::move(libraryFile)),
      chkAuto(new QCheckBox(this)),
      picMain(new PictureBox(this)),
      cmdTriangulate(new QPushButton(this)),
      cmdClear(new QPushButton(this)),
      cmdRandom(new QPushButton(this)),
      lblHyperlink(new ClickLabel(this)),
      lblInfo(new QLabel(this)),
      lblTutorial(new QLabel(this)),
      pointSet(picMain->canvas(), services, *this, library)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(project1::programIcon());
    setFont(controlFont());
    resize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);

    chkAuto->setObjectName(QStringLiteral("chkAuto"));
    chkAuto->setText(QStringLiteral("Auto triangulate"));
    chkAuto->setGeometry(toPixels(kChkAuto));
    chkAuto->setChecked(false);

    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setGeometry(toPixels(kPicMain));

    cmdTriangulate->setObjectName(QStringLiteral("cmdTriangulate"));
    cmdTriangulate->setText(QStringLiteral("TRIANGULATE"));
    cmdTriangulate->setGeometry(toPixels(kCmdTriangulate));
    QFont bold = controlFont();
    bold.setWeight(static_cast<QFont::Weight>(kBold));
    cmdTriangulate->setFont(bold);

    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setText(QStringLiteral("Clear all points"));
    cmdClear->setGeometry(toPixels(kCmdClear));

    cmdRandom->setObjectName(QStringLiteral("cmdRandom"));
    cmdRandom->setText(QStringLiteral("Generate random points"));
    cmdRandom->setGeometry(toPixels(kCmdRandom));

    lblHyperlink->setObjectName(QStringLiteral("lblHyperlink"));
    lblHyperlink->setTextFormat(Qt::PlainText);
    lblHyperlink->setText(QStringLiteral("VISIT %1 FOR MORE INFO").arg(infoAddress()));
    lblHyperlink->setGeometry(toPixels(kLblHyperlink));
    QFont underlined = controlFont();
    underlined.setUnderline(true);
    lblHyperlink->setFont(underlined);
    QPalette linkPalette = lblHyperlink->palette();
    linkPalette.setColor(QPalette::WindowText, fromBgr(pointset::kLinkBlue));
    lblHyperlink->setPalette(linkPalette);
    lblHyperlink->setCursor(project1::handCursor());
    autoSize(lblHyperlink);

    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setTextFormat(Qt::PlainText);
    lblInfo->setText(QString::fromLatin1(kInitialInfo));
    lblInfo->setGeometry(toPixels(kLblInfo));
    autoSize(lblInfo);

    lblTutorial->setObjectName(QStringLiteral("lblTutorial"));
    lblTutorial->setTextFormat(Qt::PlainText);
    lblTutorial->setText(QString::fromLatin1(kTutorial));
    lblTutorial->setGeometry(toPixels(kLblTutorial));
    autoSize(lblTutorial);

    // Keyboard focus: cmdRandom, cmdClear, cmdTriangulate, picMain, chkAuto.
    setTabOrder(cmdRandom, cmdClear);
    setTabOrder(cmdClear, cmdTriangulate);
    setTabOrder(cmdTriangulate, picMain);
    setTabOrder(picMain, chkAuto);
    // The window starts with the focus on the first control of that order,
    // not on the first one created.
    cmdRandom->setFocus();

    services.setBeforeEvents([this] { picMain->showDrawing(); });

    connect(picMain, &PictureBox::mouseDown, this, &Form1::picMain_MouseDown);
    connect(cmdTriangulate, &QPushButton::clicked, this, &Form1::cmdTriangulate_Click);
    connect(cmdClear, &QPushButton::clicked, this, &Form1::cmdClear_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &Form1::cmdRandom_Click);
    connect(lblHyperlink, &ClickLabel::clicked, this, &Form1::lblHyperlink_Click);
}

QFont Form1::controlFont()
{
    // "MS Sans Serif" is a Windows face; elsewhere the nearest sans-serif.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kFontPoints);
    return font;
}

QString Form1::infoAddress()
{
    return QStringLiteral("%1/triangulation").arg(QString::fromLatin1(project1::kInfoHost));
}

void Form1::FitCanvas()
{
    // Twips, as the window measures itself. A size that would come out
    // negative is left alone: that statement is skipped, the other still runs.
    const int interiorWidth = width() * kTwipsPerPixel;
    const int interiorHeight = height() * kTwipsPerPixel;
    const int left = picMain->x() * kTwipsPerPixel;
    const int top = picMain->y() * kTwipsPerPixel;

    const int newWidth = interiorWidth - 2 * left;
    if (newWidth >= 0)
        picMain->resize(newWidth / kTwipsPerPixel, picMain->height());
    const int newHeight = interiorHeight - top - left;
    if (newHeight >= 0)
        picMain->resize(picMain->width(), newHeight / kTwipsPerPixel);
}

void Form1::OpenInfoPage()
{
    const std::string commandLine = "explorer http://" + infoAddress().toStdString();
    services.shell(commandLine, pointset::kStyleMaximizedFocus);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

template <typename Command>
void Form1::route(std::string_view what, Command&& command) noexcept
{
    std::string failure;
    try {
        std::forward<Command>(command)();
    } catch (const std::bad_alloc&) {
        failure = "there is not enough memory";
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "an unexpected error occurred";
    }
    try {
        picMain->showDrawing();
        if (!failure.empty()) {
            services.setBusyPointer(pointset::kBusyDefault);
            const std::string text = std::string(what) + " could not finish: " + failure +
                                     ". The points placed so far are kept.";
            services.messageBox(text, pointset::kStyleExclamation, "Error");
        }
    } catch (...) {
        // Nothing is left to tell the user with; the window keeps running.
    }
}

void Form1::Form_Resize()
{
    route("Fitting the canvas", [this] { FitCanvas(); });
}

void Form1::picMain_MouseDown(std::int16_t button, std::int16_t shift, float x, float y)
{
    route("Placing the point", [&] { pointSet.PlacePoint(button, shift, x, y); });
}

void Form1::cmdTriangulate_Click()
{
    route("The triangulation", [this] { pointSet.RunTriangulation(); });
}

void Form1::cmdClear_Click()
{
    route("Clearing the points", [this] { pointSet.ClearPoints(); });
}

void Form1::cmdRandom_Click()
{
    route("Generating random points", [this] { pointSet.GenerateRandomPoints(); });
}

void Form1::lblHyperlink_Click()
{
    route("Opening the information page", [this] { OpenInfoPage(); });
}

int Form1::autoValue() const
{
    return chkAuto->isChecked() ? 1 : 0;
}

void Form1::setAutoValue(int value)
{
    chkAuto->setChecked(value != 0);
}

void Form1::setInfoCaption(std::string_view text)
{
    lblInfo->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    autoSize(lblInfo);
}
