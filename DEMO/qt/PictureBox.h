// picMain: the picture box that shows the raster canvas the commands draw on.
//
// The canvas image is the backing store; the widget only copies the parts the
// commands changed (or that the window system asks for) onto the screen, so
// the picture survives being covered, minimised or resized. The frame is the
// picture box's border: the canvas is the interior, which is what
// ScaleWidth and ScaleHeight measure.
#pragma once

#include <QFrame>

#include <cstdint>

#include "RasterCanvas.h"

class PictureBox final : public QFrame {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    [[nodiscard]] RasterCanvas& canvas() { return raster; }
    [[nodiscard]] const RasterCanvas& canvas() const { return raster; }

    // Schedules the repaint of everything drawn on the canvas since the last
    // call. The window calls it after each command.
    void showDrawing();

    [[nodiscard]] static std::int16_t buttonCode(Qt::MouseButton button);
    [[nodiscard]] static std::int16_t shiftCode(Qt::KeyboardModifiers modifiers);

signals:
    // A press of any mouse button inside the interior; x and y in twips.
    void mouseDown(std::int16_t button, std::int16_t shift, float x, float y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The raster follows the interior, the box less its border.
    void resizeRaster();

    RasterCanvas raster;
};
