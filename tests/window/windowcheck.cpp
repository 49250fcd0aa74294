// Checks a screenshot for the real-window test, in screen pixels; exits
// non-zero on the first mismatch.     windowcheck MODE SHOT ..., MODE being
//   canvas X Y W H                 picMain's outer rectangle
//   count X Y W H RRGGBB MIN [MAX]  MIN to MAX pixels of that colour
//   red OX OY R X Y [X Y ...]       red within R pixels of each point X,Y of the interior at OX,OY
//   crop|same X Y W H PNG           saves that part | it equals PNG
#include <QCoreApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {

QImage shot;

[[noreturn]] void fail(const QString& why)
{
    std::printf("windowcheck: %s\n", qPrintable(why));
    std::exit(1);
}

// The pixel at p; with `want`, the check that it is that colour (or not).
QRgb at(QPoint p, QRgb want = 0, bool is = true)
{
    if (!shot.rect().contains(p))
        fail(QStringLiteral("(%1, %2) is off the screenshot").arg(p.x()).arg(p.y()));
    const QRgb pixel = shot.pixel(p) | 0xFF000000;
    if (want != 0 && (pixel == want) != is)
        fail(QStringLiteral("(%1, %2) is #%3").arg(p.x()).arg(p.y()).arg(pixel & 0xFFFFFF, 6, 16, QChar('0')));
    return pixel;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QList<int> n;
    for (qsizetype i = 3; i < args.size(); ++i)
        n << args[i].toInt();
    shot = QImage(args.value(2)).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull())
        fail(QStringLiteral("cannot read %1").arg(args.value(2)));
    const QString mode = args.value(1);
    const QRect area = n.size() >= 4 ? QRect(n[0], n[1], n[2], n[3]) : QRect();
    if (mode == QLatin1String("canvas") && n.size() == 4) {
        // White inside the two-pixel border to the corners; the border not.
        const QRect in = area.adjusted(2, 2, -2, -2);
        for (QPoint corner : {in.topLeft(), in.topRight(), in.bottomLeft(), in.bottomRight()})
            at(corner, 0xFFFFFFFF);
        for (QPoint beside : {in.topLeft() - QPoint(1, 1), in.bottomRight() + QPoint(1, 1)})
            at(beside, 0xFFFFFFFF, false);
    } else if (mode == QLatin1String("count") && (args.size() == 9 || args.size() == 10)) {
        qint64 found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += at({x, y}) == (args[7].toUInt(nullptr, 16) | 0xFF000000) ? 1 : 0;
        if (found < args[8].toLongLong() || (args.size() == 10 && found > args[9].toLongLong()))
            fail(QStringLiteral("%1 pixels of #%2, not %3 to %4").arg(found).arg(args[7], args[8], args.value(9, "any")));
    } else if (mode == QLatin1String("red") && n.size() >= 5 && n.size() % 2 == 1) {
        for (qsizetype i = 3; i < n.size(); i += 2)
            for (QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                if (d.manhattanLength() <= n[2])
                    at(QPoint(n[0] + n[i], n[1] + n[i + 1]) + d, 0xFFFF0000);
    } else if (mode == QLatin1String("crop") && args.size() == 8) {
        if (!shot.copy(area).save(args[7]))
            fail(QStringLiteral("cannot write %1").arg(args[7]));
    } else if (mode == QLatin1String("same") && args.size() == 8) {
        const QImage reference = QImage(args[7]).convertToFormat(QImage::Format_RGB32);
        if (reference.size() != area.size())
            fail(QStringLiteral("the reference %1 is missing or not %2 x %3").arg(args[7]).arg(area.width()).arg(area.height()));
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                if (at(area.topLeft() + QPoint(x, y)) != (reference.pixel(x, y) | 0xFF000000))
                    fail(QStringLiteral("(%1, %2) of the canvas is #%3 here, #%4 in %5").arg(x).arg(y)
                             .arg(at(area.topLeft() + QPoint(x, y)) & 0xFFFFFF, 6, 16, QChar('0'))
                             .arg(reference.pixel(x, y) & 0xFFFFFF, 6, 16, QChar('0')).arg(args[7]));
    } else {
        fail(QStringLiteral("usage: windowcheck canvas|count|red|crop|same SHOT ..."));
    }
    std::printf("windowcheck %s: as expected\n", qPrintable(mode));
    return 0;
}
