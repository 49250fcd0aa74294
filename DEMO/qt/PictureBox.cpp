#include "PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QImage>
#include <QPainter>

#include <exception>

#include "FormDesign.h"

namespace {

constexpr float kTwipsPerPixel = 15.0F;
// A picture box's sunken three-dimensional border, two pixels on each side.
constexpr int kBorderWidth = 2;

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setLineWidth(kBorderWidth);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted from the frame and the image; erasing first
    // would only make the picture flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeRaster();
}

void PictureBox::resizeRaster()
{
    const QSize interior = contentsRect().size();
    try {
        raster.resizePixels(interior.width(), interior.height());
    } catch (const std::exception&) {
        // No memory for a raster that large: it keeps its size, and the box
        // shows what it holds. Nothing may escape into Qt's event loop.
    }
}

void PictureBox::showDrawing()
{
    const PixelRect dirty = raster.takeDirty();
    if (!dirty.empty())
        update(QRect(dirty.left, dirty.top, dirty.width, dirty.height)
                   .translated(contentsRect().topLeft()));
}

std::int16_t PictureBox::buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return project1::kLeftButton;
    case Qt::RightButton: return project1::kRightButton;
    case Qt::MiddleButton: return project1::kMiddleButton;
    default: return 0;  // extra buttons place points too, with no code of their own
    }
}

std::int16_t PictureBox::shiftCode(Qt::KeyboardModifiers modifiers)
{
    std::int16_t code = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        code = static_cast<std::int16_t>(code | project1::kShiftKey);
    if (modifiers.testFlag(Qt::ControlModifier))
        code = static_cast<std::int16_t>(code | project1::kCtrlKey);
    if (modifiers.testFlag(Qt::AltModifier))
        code = static_cast<std::int16_t>(code | project1::kAltKey);
    return code;
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    const QRectF interior = contentsRect();
    const QPointF at = event->position();
    // The border belongs to the box but not to its drawing area.
    if (!interior.contains(at)) {
        QFrame::mousePressEvent(event);
        return;
    }
    event->accept();
    const QPointF inside = at - interior.topLeft();
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()),
                   static_cast<float>(inside.x()) * kTwipsPerPixel,
                   static_cast<float>(inside.y()) * kTwipsPerPixel);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect interior = contentsRect();
    if (!interior.contains(event->rect()))
        drawFrame(&painter);
    const QRect target = event->rect() & interior;
    if (target.isEmpty())
        return;
    const QRect source = target.translated(-interior.topLeft());
    // The raster's rows are already in the image's pixel layout: no copy.
    const auto pixels = raster.pixels();
    const QImage view(reinterpret_cast<const uchar*>(pixels.data()), raster.width(),
                      raster.height(), raster.stride() * static_cast<int>(sizeof(RasterCanvas::Pixel)),
                      QImage::Format_RGB32);
    painter.drawImage(target, view, source);
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    resizeRaster();
}
