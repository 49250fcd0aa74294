#include "Artwork.h"

#include <QPixmap>

// The XPM files are C arrays; including them here is the whole build step.
#include "resources/hand.xpm"
#include "resources/project1-16.xpm"
#include "resources/project1-32.xpm"

namespace project1 {

QCursor handCursor()
{
    return QCursor(QPixmap(hand_xpm), kHandHotSpot.x(), kHandHotSpot.y());
}

QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap(project1_32_xpm));
    icon.addPixmap(QPixmap(project1_16_xpm));
    return icon;
}

}  // namespace project1
