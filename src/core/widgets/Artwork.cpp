#include "core/widgets/Artwork.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace lms::Artwork {
namespace {

// All pictures are drawn on a 48-unit square and scaled, so one set of shapes serves every size.
constexpr double kUnit = 48.0;

// One small palette, so the tool bar reads as a set.
const QColor kInk(0x2c, 0x3e, 0x50);
const QColor kBlue(0x3a, 0x7b, 0xd5);
const QColor kGreen(0x3c, 0xa5, 0x5c);
const QColor kOrange(0xf0, 0x93, 0x2b);
const QColor kRed(0xd9, 0x4f, 0x48);
const QColor kGold(0xf4, 0xc1, 0x3d);
const QColor kTeal(0x2a, 0x9d, 0x8f);
const QColor kPurple(0x8a, 0x6b, 0xc9);
const QColor kBrown(0xa8, 0x6b, 0x3c);
const QColor kPaper(0xfb, 0xf8, 0xf0);

QBrush shade(const QColor& c, const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(122));
    g.setColorAt(1, c.darker(108));
    return g;
}

QPen outline(const QColor& c, double width = 1.2) {
    return QPen(c.darker(155), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen stroke(const QColor& c, double width) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A white rim (halo) lets an overlay stand clear of the shape beneath it.
void fill(QPainter& p, const QPainterPath& path, const QColor& c, bool halo = false) {
    if (halo)
        p.strokePath(path, stroke(Qt::white, 3.5));
    p.setPen(outline(c));
    p.setBrush(shade(c, path.boundingRect()));
    p.drawPath(path);
}

QPainterPath roundRect(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(QPointF c, double r) {
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPainterPath polygon(const QPolygonF& points) {
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

void dot(QPainter& p, QPointF c, double r, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(c, r, r);
}

// A closed book standing face-on, its page block showing along the bottom.
void book(QPainter& p, const QRectF& r, const QColor& cover) {
    fill(p, roundRect(r, 2.5), cover.darker(125));
    const QRectF pages(r.left() + 3, r.bottom() - 6, r.width() - 4.5, 4.5);
    p.setPen(outline(kPaper.darker(120), 0.8));
    p.setBrush(kPaper);
    p.drawRect(pages);
    const QRectF front = r.adjusted(0, 0, 0, -6);
    fill(p, roundRect(front, 2.5), cover);
    p.setPen(Qt::NoPen);
    p.setBrush(cover.darker(125));
    p.drawRect(QRectF(front.left() + 3, front.top() + 0.6, 2, front.height() - 1.2));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRoundedRect(QRectF(front.left() + 8, front.top() + 5, front.width() - 12, 5), 1, 1);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawRoundedRect(QRectF(front.left() + 8, front.top() + 12, front.width() - 16, 2.5), 1, 1);
}

// A book lying flat, seen from the spine side, its pages showing on the right.
void flatBook(QPainter& p, const QRectF& r, const QColor& cover) {
    fill(p, roundRect(r, 2), cover);
    p.setPen(outline(kPaper.darker(120), 0.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.right() - 6, r.top() + 1.8, 5, r.height() - 3.6));
    p.setPen(stroke(cover.lighter(150), 1.2));
    p.drawLine(QPointF(r.left() + 4, r.top() + 2.5), QPointF(r.left() + 4, r.bottom() - 2.5));
    p.drawLine(QPointF(r.right() - 10, r.top() + 2.5), QPointF(r.right() - 10, r.bottom() - 2.5));
}

// A thick arrow starting at `from`, pointing right (dir 1) or left (dir -1).
void arrow(QPainter& p, QPointF from, double length, int dir, const QColor& c) {
    const double neck = length - 10;
    const QPainterPath a = polygon(
        {{0, -3.5}, {neck, -3.5}, {neck, -9}, {length, 0}, {neck, 9}, {neck, 3.5}, {0, 3.5}});
    QTransform t;
    t.translate(from.x(), from.y());
    t.scale(dir, 1);
    fill(p, t.map(a), c, true);
}

// Head and shoulders; `top` is the top of the head, `h` the whole height.
void person(QPainter& p, QPointF top, double h, const QColor& c) {
    const double headR = h * 0.22;
    const double w = h * 0.86;
    const double yt = top.y() + headR * 2 + h * 0.06;
    const double yb = top.y() + h;
    const double x = top.x();
    QPainterPath body;
    body.moveTo(x - w / 2, yb);
    body.lineTo(x - w / 2, yt + (yb - yt) * 0.5);
    body.cubicTo(x - w / 2, yt, x - w * 0.25, yt, x, yt);
    body.cubicTo(x + w * 0.25, yt, x + w / 2, yt, x + w / 2, yt + (yb - yt) * 0.5);
    body.lineTo(x + w / 2, yb);
    body.closeSubpath();
    fill(p, body, c);
    fill(p, circle(QPointF(x, top.y() + headR), headR), c);
}

void plusBadge(QPainter& p, QPointF c, double r) {
    fill(p, circle(c, r), kGreen, true);
    p.setPen(stroke(Qt::white, 2.4));
    p.drawLine(QPointF(c.x() - r * 0.5, c.y()), QPointF(c.x() + r * 0.5, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - r * 0.5), QPointF(c.x(), c.y() + r * 0.5));
}

// A coin with the yuan sign made of strokes, so no font is involved.
void coin(QPainter& p, QPointF c, double r) {
    fill(p, circle(c, r), kGold, true);
    p.setPen(stroke(kGold.darker(125), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r - 2.2, r - 2.2);
    p.setPen(stroke(kGold.darker(175), std::max(1.4, r * 0.16)));
    const double x = c.x();
    const double y = c.y();
    p.drawPolyline(
        QPolygonF{{x - r * 0.42, y - r * 0.52}, {x, y - r * 0.02}, {x + r * 0.42, y - r * 0.52}});
    p.drawLine(QPointF(x, y - r * 0.02), QPointF(x, y + r * 0.58));
    p.drawLine(QPointF(x - r * 0.34, y + r * 0.1), QPointF(x + r * 0.34, y + r * 0.1));
    p.drawLine(QPointF(x - r * 0.34, y + r * 0.34), QPointF(x + r * 0.34, y + r * 0.34));
}

void drawLend(QPainter& p) {
    book(p, QRectF(4, 5, 26, 38), kBlue);
    arrow(p, QPointF(17, 27), 29, 1, kOrange);
}

void drawReturn(QPainter& p) {
    book(p, QRectF(4, 5, 26, 38), kBlue);
    arrow(p, QPointF(45, 27), 29, -1, kGreen);
}

void drawAllBooks(QPainter& p) {
    flatBook(p, QRectF(2, 35, 36, 9), kBlue);
    flatBook(p, QRectF(5, 26, 32, 9), kGreen);
    flatBook(p, QRectF(3, 17, 30, 9), kRed);
    const QPointF c(32, 14);
    const QLineF handle(c + QPointF(6.5, 6.5), c + QPointF(14, 14));
    p.setPen(stroke(Qt::white, 8));
    p.drawLine(handle);
    p.setPen(stroke(kInk, 5));
    p.drawLine(handle);
    fill(p, circle(c, 9.5), kInk, true);
    QRadialGradient glass(c - QPointF(3, 3), 10);
    glass.setColorAt(0, QColor(255, 255, 255));
    glass.setColorAt(1, QColor(0xd6, 0xe8, 0xfa));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(c, 7, 7);
    p.setPen(stroke(QColor(255, 255, 255, 220), 1.6));
    p.drawArc(QRectF(c.x() - 4.5, c.y() - 4.5, 9, 9), 100 * 16, 70 * 16);
}

void drawOnLoan(QPainter& p) {
    book(p, QRectF(4, 3, 26, 38), kPurple);
    const QPointF c(34, 33);
    const double r = 11.5;
    fill(p, circle(c, r), kOrange, true);
    p.setPen(outline(kPaper, 0.8));
    p.setBrush(kPaper);
    p.drawEllipse(c, r - 2.5, r - 2.5);
    p.setPen(stroke(kInk.lighter(160), 1));
    for (int i = 0; i < 4; ++i) {
        const QPointF d = QTransform().rotate(i * 90.0).map(QPointF(0, r - 3.5));
        p.drawLine(c + d, c + d * 0.84);
    }
    p.setPen(stroke(kInk, 1.8));
    p.drawLine(c, c + QPointF(0, -6));
    p.drawLine(c, c + QPointF(4.5, 2));
    dot(p, c, 1.4, kRed);
}

void drawReaderStats(QPainter& p) {
    person(p, QPointF(22, 5), 24, kTeal.lighter(135));
    person(p, QPointF(13, 10), 27, kTeal);
    const std::array<double, 3> heights{9, 15, 21};
    const std::array<QColor, 3> colors{kOrange, kGreen, kBlue};
    for (int i = 0; i < 3; ++i) {
        const QRectF bar(28 + i * 6.5, 44 - heights[i], 5, heights[i]);
        fill(p, roundRect(bar, 1), colors[i], true);
    }
    p.setPen(stroke(kInk, 1.6));
    p.drawLine(QPointF(26, 44.5), QPointF(47, 44.5));
}

void drawMoney(QPainter& p) {
    p.save();
    p.translate(18, 18);
    p.rotate(-12);
    const QRectF note(-16, -10, 32, 20);
    fill(p, roundRect(note, 2), kGreen);
    p.setPen(stroke(kGreen.lighter(150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(note.adjusted(2.5, 2.5, -2.5, -2.5), 1.5, 1.5);
    p.drawEllipse(QPointF(0, 0), 4.5, 4.5);
    p.restore();
    coin(p, QPointF(32, 32), 13);
}

void drawLog(QPainter& p) {
    fill(p, roundRect(QRectF(8, 6, 32, 40), 3), kBrown);
    p.setPen(outline(kPaper, 0.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(11.5, 11, 25, 32));
    const std::array<QColor, 4> marks{kBlue, kGreen, kOrange, kRed};
    for (int i = 0; i < 4; ++i) {
        const double y = 17.5 + i * 6.5;
        dot(p, QPointF(15.5, y), 1.6, marks[i]);
        p.setPen(stroke(kInk.lighter(170), 1.6));
        p.drawLine(QPointF(19, y), QPointF(i % 2 ? 29 : 33, y));
    }
    fill(p, roundRect(QRectF(17, 3, 14, 7), 2), QColor(0x9a, 0xa5, 0xb1));
    dot(p, QPointF(24, 5.5), 1.3, kInk);
}

void drawAddReader(QPainter& p) {
    person(p, QPointF(20, 4), 38, kTeal);
    plusBadge(p, QPointF(36, 35), 9.5);
}

void drawEditReader(QPainter& p) {
    person(p, QPointF(18, 4), 38, kTeal);
    p.save();
    p.translate(35, 33);
    p.rotate(-45);
    // Drawn along the x axis, tip to the left, then turned so it writes down-left.
    fill(p, roundRect(QRectF(-8, -3.5, 19, 7), 0.5), kOrange, true);
    fill(p, roundRect(QRectF(11, -3.5, 5, 7), 1.5), kRed.lighter(130));
    fill(p, polygon({{-8, -3.5}, {-15, 0}, {-8, 3.5}}), QColor(0xf3, 0xd9, 0xa8), true);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF{{-12.5, -1.3}, {-15, 0}, {-12.5, 1.3}});
    p.setPen(stroke(kOrange.lighter(135), 1));
    p.drawLine(QPointF(-7, 0), QPointF(10, 0));
    p.restore();
}

void drawTopUp(QPainter& p) {
    coin(p, QPointF(19, 11.5), 9);
    fill(p, roundRect(QRectF(3, 17, 38, 26), 4), kBrown);
    p.setPen(stroke(kBrown.lighter(140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(7, 21), QPointF(37, 21));
    fill(p, roundRect(QRectF(28, 25, 15, 10), 3), kBrown.darker(115));
    dot(p, QPointF(33, 30), 2, kGold);
    plusBadge(p, QPointF(38, 39), 8);
}

// An open book: two curved pages over a blue cover, with a ribbon marker.
void drawAppBook(QPainter& p) {
    QPainterPath cover;
    cover.moveTo(24, 14);
    cover.cubicTo(17, 9, 8, 9, 2, 11);
    cover.lineTo(2, 42);
    cover.cubicTo(9, 40, 17, 41, 24, 45);
    cover.cubicTo(31, 41, 39, 40, 46, 42);
    cover.lineTo(46, 11);
    cover.cubicTo(40, 9, 31, 9, 24, 14);
    cover.closeSubpath();
    fill(p, cover, kBlue);
    for (int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(24, 12);
        page.cubicTo(24 + side * 7, 6, 24 + side * 15, 6, 24 + side * 20, 8);
        page.lineTo(24 + side * 20, 38);
        page.cubicTo(24 + side * 15, 36, 24 + side * 7, 37, 24, 42);
        page.closeSubpath();
        p.setPen(stroke(kBlue.darker(130), 0.9));
        QLinearGradient g(QPointF(24, 0), QPointF(24 + side * 20, 0));
        g.setColorAt(0, kPaper.darker(112));
        g.setColorAt(0.3, kPaper);
        g.setColorAt(1, Qt::white);
        p.setBrush(g);
        p.drawPath(page);
        p.setPen(stroke(kBlue.lighter(150), 1.3));
        for (int i = 0; i < 4; ++i) {
            const double y = 15 + i * 5.5;
            p.drawLine(QPointF(24 + side * 5, y + 0.5), QPointF(24 + side * 16, y - 0.5));
        }
    }
    fill(p, polygon({{30, 8}, {34, 8}, {34, 22}, {32, 19.5}, {30, 22}}), kRed);
}

using Drawer = void (*)(QPainter&);

QPixmap render(int size, Drawer draw) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kUnit, size / kUnit);
    draw(p);
    return pm;
}

// A shelf of book silhouettes resting on a board whose top is at `base`, drawn opaque so that
// overlapping books stay clean when the whole layer is blended in.
void shelf(QPainter& p, double width, double base, double unit) {
    const QColor tone(0x5a, 0x72, 0x8c);
    // A fixed seed, so the shelf looks the same every time the window is resized.
    quint32 seed = 20240611u;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    };
    double x = unit * 0.8;
    bool afterGap = true;
    while (x < width - unit * 2) {
        if (!afterGap && next() < 0.05) {
            x += unit * (1.2 + next() * 2);
            afterGap = true;
            continue;
        }
        const double w = unit * (0.55 + next() * 0.5);
        const double h = unit * (3.2 + next() * 1.6);
        const QColor c = tone.lighter(85 + static_cast<int>(next() * 35));
        // Now and then a book leans back on its neighbour, its foot pulled away to make room.
        const double lean = !afterGap && next() < 0.07 ? 10 + next() * 8 : 0;
        const double rad = qDegreesToRadians(lean);
        x += h * std::sin(rad);
        p.save();
        p.translate(x, base);
        p.rotate(-lean);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(0, -h, w, h), unit * 0.08, unit * 0.08);
        p.setBrush(c.lighter(118));
        p.drawRect(QRectF(w * 0.15, -h * 0.82, w * 0.7, unit * 0.18));
        p.drawRect(QRectF(w * 0.15, -h * 0.2, w * 0.7, unit * 0.12));
        p.restore();
        x += w * std::cos(rad) + unit * 0.06;
        afterGap = false;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(tone.darker(115));
    p.drawRect(QRectF(0, base, width, unit * 0.45));
}

} // namespace

QPixmap toolImage(int index) {
    static constexpr std::array<Drawer, 10> drawers{
        drawLend,  drawReturn, drawAllBooks,  drawOnLoan,     drawReaderStats,
        drawMoney, drawLog,    drawAddReader, drawEditReader, drawTopUp,
    };
    if (index < 0 || index >= static_cast<int>(drawers.size()))
        return render(static_cast<int>(kUnit), [](QPainter&) {});
    return render(static_cast<int>(kUnit), drawers[index]);
}

QPixmap backgroundPicture(const QSize& size) {
    const QSize s = size.isEmpty() ? QSize(800, 500) : size;
    QPixmap pm(s);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = s.width();
    const double h = s.height();

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0xf6, 0xf8, 0xfb));
    sky.setColorAt(0.6, QColor(0xea, 0xf0, 0xf6));
    sky.setColorAt(1, QColor(0xdc, 0xe5, 0xee));
    p.fillRect(QRectF(0, 0, w, h), sky);

    QRadialGradient glow(w * 0.22, h * 0.12, std::max(w, h) * 0.55);
    glow.setColorAt(0, QColor(255, 253, 240, 170));
    glow.setColorAt(1, QColor(255, 253, 240, 0));
    p.fillRect(QRectF(0, 0, w, h), glow);

    // Book sizes follow the height, so a wide window just holds more books.
    const double unit = std::clamp(h / 28.0, 6.0, 30.0);
    QImage layer(s, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        shelf(lp, w, h - unit * 0.6, unit);
    }
    p.setOpacity(0.26);
    p.drawImage(0, 0, layer);
    return pm;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(render(size, drawAppBook));
    return icon;
}

} // namespace lms::Artwork
