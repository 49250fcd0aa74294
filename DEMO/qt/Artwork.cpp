#include "Artwork.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <tuple>

// The XPM files are C arrays; including them here is the whole build step.
#include "resources/hand.xpm"
#include "resources/project1-16.xpm"
#include "resources/project1-32-mono.xpm"
#include "resources/project1-32.xpm"

namespace project1 {

namespace {

constexpr int kFullColourDepth = 4;  // bits per pixel that show 16 colours

int screenDepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 32;
}

// Holds every image; picks one per request as described for programIcon().
class ProgramIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        QImage image = iconImageFor(size, screenDepth());
        if (image.size() != size)
            image = image.scaled(size, Qt::KeepAspectRatio, Qt::FastTransformation);
        return QPixmap::fromImage(image);
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        return {QSize(32, 32), QSize(16, 16)};
    }

    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("project1"); }
};

}  // namespace

QCursor handCursor()
{
    return QCursor(QPixmap(hand_xpm), kHandHotSpot.x(), kHandHotSpot.y());
}

std::vector<IconImage> iconImages()
{
    return {{QImage(project1_32_mono_xpm), 2},
            {QImage(project1_32_xpm), 16},
            {QImage(project1_16_xpm), 16}};
}

QImage iconImageFor(QSize size, int depth)
{
    const int affordable = depth >= kFullColourDepth ? 16 : 2;
    // The largest image not above the size, among those with the most
    // colours the screen shows; failing that, any image nearest in size.
    const IconImage* best = nullptr;
    const auto rank = [&](const IconImage& candidate) {
        const bool fits = candidate.image.width() <= size.width();
        const bool shown = candidate.colours <= affordable;
        return std::tuple(fits, shown, fits ? candidate.image.width() : -candidate.image.width(),
                          candidate.colours);
    };
    const std::vector<IconImage> images = iconImages();
    for (const IconImage& candidate : images)
        if (best == nullptr || rank(candidate) > rank(*best))
            best = &candidate;
    return best->image;
}

QIcon programIcon()
{
    return QIcon(new ProgramIconEngine);
}

}  // namespace project1
