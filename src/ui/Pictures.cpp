#include "ui/Pictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tessivar::ui {

namespace {

const QColor kNavy(18, 42, 82);
const QColor kTeal(0, 128, 140);
const QColor kGold(230, 170, 40);

// A 4 x 4 crosspoint grid with a diagonal of made routes: the emblem of the logo and icon.
void drawEmblem(QPainter& p, const QRectF& box, const QColor& ground, const QColor& lines,
                const QColor& dots) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    const double r = box.width() * 0.18;
    p.drawRoundedRect(box, r, r);
    const double m = box.width() * 0.2;
    const QRectF grid = box.adjusted(m, m, -m, -m);
    p.setPen(QPen(lines, std::max(1.0, box.width() / 40.0)));
    for (int i = 0; i < 4; ++i) {
        const double x = grid.left() + grid.width() * i / 3.0;
        const double y = grid.top() + grid.height() * i / 3.0;
        p.drawLine(QPointF(grid.left(), y), QPointF(grid.right(), y));
        p.drawLine(QPointF(x, grid.top()), QPointF(x, grid.bottom()));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(dots);
    const double d = box.width() * 0.07;
    for (int i = 0; i < 4; ++i) {
        const QPointF c(grid.left() + grid.width() * i / 3.0, grid.top() + grid.height() * i / 3.0);
        p.drawEllipse(c, d, d);
    }
}

} // namespace

QPixmap makerLogo(int width, int height) {
    QPixmap pm(width, height);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF emblem(4, (height - (height - 8)) / 2.0, height - 8, height - 8);
    drawEmblem(p, emblem, kNavy, QColor(120, 160, 210), kGold);
    QFont f(QStringLiteral("Sans Serif"));
    f.setBold(true);
    f.setPixelSize(height * 2 / 5);
    f.setLetterSpacing(QFont::PercentageSpacing, 110);
    // Shrink the word mark until it fits beside the emblem.
    const double room = width - emblem.right() - 10;
    while (f.pixelSize() > 8 &&
           QFontMetricsF(f).horizontalAdvance(QStringLiteral("QUORVEL")) > room)
        f.setPixelSize(f.pixelSize() - 1);
    p.setFont(f);
    p.setPen(kNavy);
    p.drawText(QRectF(emblem.right() + 8, 0, width - emblem.right() - 10, height),
               Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("QUORVEL"));
    return pm;
}

QPixmap logoFace(bool front, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::white);
    QPainter p(&pm);
    if (front)
        drawEmblem(p, QRectF(1, 1, size - 2, size - 2), kTeal, Qt::white, kGold);
    else
        drawEmblem(p, QRectF(1, 1, size - 2, size - 2), kGold, kNavy, Qt::white);
    return pm;
}

QPixmap splashPicture(int width, int height) {
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width, height);
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kTeal.darker(140));
    p.fillRect(pm.rect(), g);
    // faint crosspoint lattice behind the title
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (int x = 0; x < width; x += 24)
        p.drawLine(x, 0, x, height);
    for (int y = 0; y < height; y += 24)
        p.drawLine(0, y, width, y);
    const int e = height / 3;
    drawEmblem(p, QRectF(32, 36, e, e), kTeal, Qt::white, kGold);
    QFont f(QStringLiteral("Sans Serif"));
    f.setBold(true);
    f.setPixelSize(e / 2);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(48 + e, 36, width - e - 60, e * 0.6), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("Tessivar"));
    f.setBold(false);
    f.setPixelSize(e / 6);
    p.setFont(f);
    p.setPen(QColor(200, 220, 240));
    p.drawText(QRectF(50 + e, 36 + e * 0.62, width - e - 60, e * 0.4), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Quorvel routing switcher frame console"));
    return pm;
}

QIcon programIcon() {
    QIcon icon;
    for (int s : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        drawEmblem(p, QRectF(0, 0, s, s), kTeal, Qt::white, kGold);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace tessivar::ui
