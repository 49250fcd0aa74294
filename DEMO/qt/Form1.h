// Form1: the program's only window. It owns the point set, hosts the canvas
// picMain, the three command buttons, the check box and the three labels,
// and routes each user action to one command.
#pragma once

#include <QLabel>
#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

#include "Platform.h"
#include "PointSet.h"
#include "PosixLibraryLoader.h"
#include "QtPlatform.h"
#include "TriangulateLibrary.h"

class QCheckBox;
class QPushButton;
class PictureBox;

// A label that reports a click as a button does: the left button pressed
// and let go over it. The second press of a double-click is not another one.
class ClickLabel final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressed = false;
};

class Form1 final : public QWidget, private pointset::Controls {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;

    // libraryFile is handed to the library loader; the default is the
    // library beside the executable, else on the library search path.
    explicit Form1(QWidget* parent = nullptr,
                   std::string libraryFile = VANTREL_LIBRARY_FILE);

    // The text of the controls: 8.25-point "MS Sans Serif", or the closest
    // sans-serif face the machine has.
    [[nodiscard]] static QFont controlFont();
    // The information page's address without its scheme.
    [[nodiscard]] static QString infoAddress();

    // The point store, for reading only.
    [[nodiscard]] const pointset::PointSet& pointStore() const noexcept { return pointSet; }

    // Makes the canvas fill the window below the controls with even margins.
    void FitCanvas();
    // Opens the library's information page in the user's browser.
    void OpenInfoPage();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Event handlers, named after their control and event. They route and
    // nothing more.
    void Form_Resize();
    void picMain_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void cmdTriangulate_Click();
    void cmdClear_Click();
    void cmdRandom_Click();
    void lblHyperlink_Click();

    // Runs one command. No exception may cross Qt's event loop: one that
    // escapes the command is shown in a message box, and the picture is
    // brought up to date whichever way the command ended.
    template <typename Command>
    void route(std::string_view what, Command&& command) noexcept;

    // The controls the commands touch.
    [[nodiscard]] int autoValue() const override;
    void setAutoValue(int value) override;
    void setInfoCaption(std::string_view text) override;

    QtPlatform services;
    PosixLibraryLoader loader;
    pointset::TriangulateLibrary library;

    // The controls, in creation order; each is owned by the window.
    QCheckBox* chkAuto;
    PictureBox* picMain;
    QPushButton* cmdTriangulate;
    QPushButton* cmdClear;
    QPushButton* cmdRandom;
    ClickLabel* lblHyperlink;
    QLabel* lblInfo;
    QLabel* lblTutorial;

    pointset::PointSet pointSet;
};
