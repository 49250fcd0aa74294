// Checks a screenshot of the running Project1 for the real-window test, in
// screen pixels; exits non-zero on the first mismatch.
//   windowcheck canvas|white SHOT X Y W H     picMain's outer rectangle | an all-white area
//   windowcheck mesh SHOT OX OY AX AY BX BY CX CY   points A, B, C of the interior at OX,OY
//   windowcheck discs SHOT OX OY X Y [X Y ...]      a red disc at each point of the interior
//   windowcheck count SHOT X Y W H RRGGBB MIN       at least MIN pixels of that colour
//   windowcheck caption SHOT X Y TEXT [NOT]   the label at X,Y begins with TEXT, not NOT
//   windowcheck crop SHOT X Y W H OUT.png     saves that part of the screenshot
//   windowcheck same SHOT X Y W H REF.png     that part equals REF pixel for pixel
#include <QApplication>
#include <QImage>
#include <QLabel>

#include <cstdio>
#include <cstdlib>

#include "Form1.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kGrey = 0xFFC0C0C0;

QImage shot;

[[noreturn]] void fail(const QString& why)
{
    std::printf("windowcheck: %s\n", qPrintable(why));
    std::exit(1);
}

QRgb at(QPoint p)
{
    if (!shot.rect().contains(p))
        fail(QStringLiteral("(%1, %2) is off the screenshot").arg(p.x()).arg(p.y()));
    return shot.pixel(p) | 0xFF000000;
}

void expect(QPoint p, bool ok, const char* what)
{
    if (!ok)
        fail(QStringLiteral("%1 at (%2, %3): found #%4").arg(what).arg(p.x()).arg(p.y()).arg(at(p) & 0xFFFFFF, 6, 16));
}

// Inside the two-pixel border white to the corners; just outside them not.
void checkCanvas(QRect outer)
{
    const QRect in = outer.adjusted(2, 2, -2, -2);
    for (QPoint corner : {in.topLeft(), in.topRight(), in.bottomLeft(), in.bottomRight()})
        expect(corner, at(corner) == kWhite, "interior corner");
    for (QPoint beside : {in.topLeft() - QPoint(1, 1), in.bottomRight() + QPoint(1, 1)})
        expect(beside, at(beside) != kWhite, "border");
}

// Red dots at the points, grey along the edges, white elsewhere around.
void checkMesh(QPoint origin, QPoint a, QPoint b, QPoint c)
{
    for (QPoint p : {a, b, c})
        expect(origin + p, at(origin + p) == kRed, "dot");
    const std::pair<QPoint, QPoint> edges[] = {{a, b}, {b, c}, {a, c}};
    for (auto [p, q] : edges)
        for (int step = 1; step < 8; ++step) {
            const QPoint on = origin + p + (q - p) * step / 8;
            bool grey = false;
            for (int d = -1; d <= 1; ++d)
                grey = grey || at(on + QPoint(d, 0)) == kGrey || at(on + QPoint(0, d)) == kGrey;
            expect(on, grey, "no grey edge");
        }
    // The discs are gone: nothing red beside a dot; inside the triangle white.
    for (QPoint p : {a, b, c})
        for (QPoint d : {QPoint(2, 0), QPoint(-2, 0), QPoint(0, 2), QPoint(0, -2), QPoint(1, 1), QPoint(-1, -1)})
            expect(origin + p + d, at(origin + p + d) != kRed, "disc");
    expect(origin + (a + b + c) / 3, at(origin + (a + b + c) / 3) == kWhite, "background");
}

// Discs of radius two pixels: red at each point and next to it.
void checkDiscs(QPoint origin, const QList<QPoint>& centres)
{
    for (QPoint c : centres)
        for (QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
            expect(origin + c + d, at(origin + c + d) == kRed, "no disc");
}

int countColour(QRect area, QRgb colour)
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += at({x, y}) == (colour | 0xFF000000) ? 1 : 0;
    return found;
}

// The area against a reference picture of the same size.
void checkSame(QRect area, const QString& referenceFile)
{
    const QImage reference = QImage(referenceFile).convertToFormat(QImage::Format_RGB32);
    if (reference.isNull())
        fail(QStringLiteral("cannot read the reference %1").arg(referenceFile));
    if (reference.size() != area.size())
        fail(QStringLiteral("the area is %1 x %2, the reference %3 x %4")
                 .arg(area.width()).arg(area.height()).arg(reference.width()).arg(reference.height()));
    int differ = 0;
    QPoint first;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            if (at(area.topLeft() + QPoint(x, y)) != (reference.pixel(x, y) | 0xFF000000) && differ++ == 0)
                first = QPoint(x, y);
    if (differ != 0)
        fail(QStringLiteral("%1 pixels differ from %2, the first at (%3, %4): #%5 here, #%6 there")
                 .arg(differ).arg(referenceFile).arg(first.x()).arg(first.y())
                 .arg(at(area.topLeft() + first) & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                 .arg(reference.pixel(first) & 0xFFFFFF, 6, 16, QLatin1Char('0')));
}

// Pixels that differ from `text` rendered as the window renders its labels,
// up to the end of its last glyph but one (which may touch the next).
int mismatches(QPoint topLeft, const QString& text)
{
    QLabel label(text);
    label.setFont(Form1::controlFont());
    label.resize(label.sizeHint());
    const QImage expected = label.grab().toImage();
    int wrong = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < QFontMetrics(label.font()).horizontalAdvance(text.chopped(1)); ++x)
            wrong += at(topLeft + QPoint(x, y)) != (expected.pixel(x, y) | 0xFF000000) ? 1 : 0;
    return wrong;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QList<int> n;
    for (qsizetype i = 3; i < args.size(); ++i)
        n << args[i].toInt();
    shot = QImage(args.value(2)).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull())
        fail(QStringLiteral("cannot read %1").arg(args.value(2)));
    const QString mode = args.value(1);
    const auto area = [&] { return QRect(n[0], n[1], n[2], n[3]); };
    if (mode == QLatin1String("canvas") && n.size() == 4)
        checkCanvas(area());
    else if (mode == QLatin1String("white") && n.size() == 4)
        for (int y = n[1]; y < n[1] + n[3]; ++y)
            for (int x = n[0]; x < n[0] + n[2]; ++x)
                expect({x, y}, at({x, y}) == kWhite, "cleared canvas");
    else if (mode == QLatin1String("mesh") && n.size() == 8)
        checkMesh({n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]}, {n[6], n[7]});
    else if (mode == QLatin1String("discs") && n.size() >= 4 && n.size() % 2 == 0) {
        QList<QPoint> centres;
        for (qsizetype i = 2; i < n.size(); i += 2)
            centres << QPoint(n[i], n[i + 1]);
        checkDiscs({n[0], n[1]}, centres);
    } else if (mode == QLatin1String("count") && args.size() == 9) {
        const int found = countColour(area(), args[7].toUInt(nullptr, 16));
        if (found < args[8].toInt())
            fail(QStringLiteral("%1 pixels of #%2, fewer than %3").arg(found).arg(args[7], args[8]));
    } else if (mode == QLatin1String("caption") && (args.size() == 6 || args.size() == 7)) {
        if (mismatches({n[0], n[1]}, args[5]) != 0)
            fail(QStringLiteral("the label does not read \"%1\"").arg(args[5]));
        if (args.size() == 7 && mismatches({n[0], n[1]}, args[6]) == 0)
            fail(QStringLiteral("the check cannot tell \"%1\" from \"%2\"").arg(args[5], args[6]));
    } else if (mode == QLatin1String("crop") && args.size() == 8) {
        if (!shot.copy(area()).save(args[7]))
            fail(QStringLiteral("cannot write %1").arg(args[7]));
    } else if (mode == QLatin1String("same") && args.size() == 8)
        checkSame(area(), args[7]);
    else
        fail(QStringLiteral("usage: windowcheck canvas|white|mesh|discs|count|caption|crop|same SHOT ..."));
    std::printf("windowcheck %s: as expected\n", qPrintable(mode));
    return 0;
}
