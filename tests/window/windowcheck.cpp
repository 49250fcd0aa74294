// Checks a screenshot of the running Project1 for the real-window test.
//
//   windowcheck canvas  SHOT X Y W H          picMain's outer rectangle is X,Y,W,H
//   windowcheck mesh    SHOT CX CY AX AY BX BY CX CY
//                                             after a run with three points at
//                                             A, B, C of the canvas interior
//                                             whose top-left pixel is CX,CY
//   windowcheck white   SHOT X Y W H          every pixel of the area is white
//   windowcheck caption SHOT X Y TEXT [NOT]   the label at X,Y begins with TEXT
//                                             (and does not begin with NOT)
//
// Coordinates are screen pixels. Prints what it found and exits non-zero on
// the first mismatch.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTextStream>

#include <cstdlib>
#include <optional>

#include "Form1.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGrey = 0xFFC0C0C0;
constexpr int kBorder = 2;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

[[noreturn]] void fail(const QString& why)
{
    out() << "windowcheck: " << why << Qt::endl;
    std::exit(1);
}

QRgb at(const QImage& shot, QPoint p)
{
    if (!shot.rect().contains(p))
        fail(QStringLiteral("(%1, %2) is off the screenshot").arg(p.x()).arg(p.y()));
    return shot.pixel(p) | 0xFF000000;
}

void expect(const QImage& shot, QPoint p, QRgb colour, const char* what)
{
    const QRgb found = at(shot, p);
    if (found != colour)
        fail(QStringLiteral("%1 at (%2, %3): expected #%4, found #%5")
                 .arg(QString::fromLatin1(what))
                 .arg(p.x())
                 .arg(p.y())
                 .arg(colour & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                 .arg(found & 0xFFFFFF, 6, 16, QLatin1Char('0')));
}

bool anyNear(const QImage& shot, QPoint p, QRgb colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (at(shot, p + QPoint(dx, dy)) == colour)
                return true;
    return false;
}

// The interior of the picture box starts two pixels in: inside it is
// white (nothing drawn near the edges), on its border it is not.
void checkCanvas(const QImage& shot, QRect outer)
{
    const QRect interior = outer.adjusted(kBorder, kBorder, -kBorder, -kBorder);
    for (QPoint corner : {interior.topLeft(), interior.topRight(), interior.bottomLeft(),
                          interior.bottomRight()})
        expect(shot, corner, kWhite, "interior corner");
    for (QPoint beside : {interior.topLeft() - QPoint(1, 1), interior.bottomRight() + QPoint(1, 1),
                          interior.topRight() + QPoint(1, 0), interior.bottomLeft() + QPoint(0, 1)})
        if (at(shot, beside) == kWhite)
            fail(QStringLiteral("the border at (%1, %2) is white: the canvas is not %3x%4 at %5,%6")
                     .arg(beside.x())
                     .arg(beside.y())
                     .arg(outer.width())
                     .arg(outer.height())
                     .arg(outer.x())
                     .arg(outer.y()));
    out() << "canvas: " << outer.width() << "x" << outer.height() << " at " << outer.x() << ","
          << outer.y() << " as expected" << Qt::endl;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0);
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

void checkMesh(const QImage& shot, QPoint origin, QPoint a, QPoint b, QPoint c)
{
    const QPoint corners[] = {a, b, c};
    for (QPoint p : corners)
        expect(shot, origin + p, kRed, "dot");
    int edges = 0;
    for (auto [p, q] : {std::pair{a, b}, std::pair{b, c}, std::pair{a, c}})
        for (int step = 1; step < 8; ++step) {
            const QPoint on = p + (q - p) * step / 8;
            if (!anyNear(shot, origin + on, kGrey))
                fail(QStringLiteral("no grey edge near (%1, %2)").arg(on.x()).arg(on.y()));
            ++edges;
        }
    // Away from the edges and dots the canvas is white: every 7th pixel of
    // the triangle's bounding box and a margin around it.
    const QRect box = QRect(a, b).united(QRect(c, c)).normalized().adjusted(-40, -40, 40, 40);
    int white = 0;
    for (int y = box.top(); y <= box.bottom(); y += 7)
        for (int x = box.left(); x <= box.right(); x += 7) {
            const QPoint p(x, y);
            if (p.x() < 0 || p.y() < 0)
                continue;
            double nearest = 1e9;
            for (auto [s, t] : {std::pair{a, b}, std::pair{b, c}, std::pair{a, c}})
                nearest = std::min(nearest, distanceToSegment(p, s, t));
            if (nearest < 3.0)
                continue;
            expect(shot, origin + p, kWhite, "background");
            ++white;
        }
    out() << "mesh: 3 red dots, " << edges << " grey edge samples, " << white
          << " white samples" << Qt::endl;
}

void checkWhite(const QImage& shot, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            expect(shot, QPoint(x, y), kWhite, "cleared canvas");
    out() << "white: " << area.width() << "x" << area.height() << Qt::endl;
}

// Renders `text` as the window renders its labels and compares it with the
// screenshot, column by column, up to the end of `text`.
int mismatches(const QImage& shot, QPoint topLeft, const QString& text)
{
    QLabel label;
    label.setFont(Form1::controlFont());
    label.setText(text);
    label.resize(label.sizeHint());
    const QImage expected = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The last glyph may touch the next one in the window; leave it out.
    const int width = QFontMetrics(label.font()).horizontalAdvance(text.chopped(1));
    int wrong = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < width; ++x)
            if (at(shot, topLeft + QPoint(x, y)) != (expected.pixel(x, y) | 0xFF000000))
                ++wrong;
    return wrong;
}

void checkCaption(const QImage& shot, QPoint topLeft, const QString& text,
                  const std::optional<QString>& notText)
{
    const int wrong = mismatches(shot, topLeft, text);
    if (wrong != 0)
        fail(QStringLiteral("the label does not read \"%1\" (%2 pixels differ)").arg(text).arg(wrong));
    if (notText && mismatches(shot, topLeft, *notText) == 0)
        fail(QStringLiteral("the comparison cannot tell \"%1\" from \"%2\"").arg(text, *notText));
    out() << "caption: begins with \"" << text << "\"" << Qt::endl;
}

int number(const QStringList& args, qsizetype i)
{
    bool ok = false;
    const int value = args.value(i).toInt(&ok);
    if (!ok)
        fail(QStringLiteral("argument %1 is not a number: %2").arg(i).arg(args.value(i)));
    return value;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        fail(QStringLiteral("usage: windowcheck canvas|mesh|white|caption SHOT ..."));
    const QString mode = args[1];
    QImage shot(args[2]);
    if (shot.isNull())
        fail(QStringLiteral("cannot read %1").arg(args[2]));
    shot = shot.convertToFormat(QImage::Format_RGB32);

    if (mode == QLatin1String("canvas") && args.size() == 7) {
        checkCanvas(shot, QRect(number(args, 3), number(args, 4), number(args, 5), number(args, 6)));
    } else if (mode == QLatin1String("white") && args.size() == 7) {
        checkWhite(shot, QRect(number(args, 3), number(args, 4), number(args, 5), number(args, 6)));
    } else if (mode == QLatin1String("mesh") && args.size() == 11) {
        checkMesh(shot, QPoint(number(args, 3), number(args, 4)),
                  QPoint(number(args, 5), number(args, 6)), QPoint(number(args, 7), number(args, 8)),
                  QPoint(number(args, 9), number(args, 10)));
    } else if (mode == QLatin1String("caption") && (args.size() == 6 || args.size() == 7)) {
        checkCaption(shot, QPoint(number(args, 3), number(args, 4)), args[5],
                     args.size() == 7 ? std::optional<QString>(args[6]) : std::nullopt);
    } else {
        fail(QStringLiteral("bad arguments for %1").arg(mode));
    }
    return 0;
}
