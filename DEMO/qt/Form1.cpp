#include "Form1.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>

#include <utility>

#include "Artwork.h"
#include "FormDesign.h"
#include "PictureBox.h"
#include "RouteCommand.h"

namespace {

using project1::Place;

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

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // QWidget would take it for a press.
    pressed = false;
    event->accept();
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
    setWindowTitle(QString::fromLatin1(project1::kTitle));
    setWindowIcon(project1::programIcon());
    setFont(controlFont());
    resize(project1::kClientWidth / kTwipsPerPixel, project1::kClientHeight / kTwipsPerPixel);

    chkAuto->setObjectName(QStringLiteral("chkAuto"));
    chkAuto->setText(QString::fromLatin1(project1::kAutoCaption));
    chkAuto->setGeometry(toPixels(project1::kChkAuto));
    chkAuto->setChecked(false);

    picMain->setObjectName(QStringLiteral("picMain"));
    picMain->setGeometry(toPixels(project1::kPicMain));

    cmdTriangulate->setObjectName(QStringLiteral("cmdTriangulate"));
    cmdTriangulate->setText(QString::fromLatin1(project1::kTriangulateCaption));
    cmdTriangulate->setGeometry(toPixels(project1::kCmdTriangulate));
    QFont bold = controlFont();
    bold.setWeight(static_cast<QFont::Weight>(project1::kBoldWeight));
    cmdTriangulate->setFont(bold);

    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setText(QString::fromLatin1(project1::kClearCaption));
    cmdClear->setGeometry(toPixels(project1::kCmdClear));

    cmdRandom->setObjectName(QStringLiteral("cmdRandom"));
    cmdRandom->setText(QString::fromLatin1(project1::kRandomCaption));
    cmdRandom->setGeometry(toPixels(project1::kCmdRandom));

    lblHyperlink->setObjectName(QStringLiteral("lblHyperlink"));
    lblHyperlink->setTextFormat(Qt::PlainText);
    lblHyperlink->setText(QString::fromStdString(project1::linkCaption()));
    lblHyperlink->setGeometry(toPixels(project1::kLblHyperlink));
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
    lblInfo->setText(QString::fromLatin1(project1::kInitialInfo));
    lblInfo->setGeometry(toPixels(project1::kLblInfo));
    autoSize(lblInfo);

    lblTutorial->setObjectName(QStringLiteral("lblTutorial"));
    lblTutorial->setTextFormat(Qt::PlainText);
    lblTutorial->setText(QString::fromLatin1(project1::kTutorial));
    lblTutorial->setGeometry(toPixels(project1::kLblTutorial));
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
    font.setFamilies({QString::fromLatin1(project1::kFontFace), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(project1::kFontPoints);
    return font;
}

QString Form1::infoAddress()
{
    return QString::fromStdString(project1::infoAddress());
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
    services.shell(project1::infoCommandLine(), pointset::kStyleMaximizedFocus);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

template <typename Command>
void Form1::route(std::string_view what, Command&& command) noexcept
{
    project1::routeCommand(
        services, what, [this] { picMain->showDrawing(); }, std::forward<Command>(command));
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
