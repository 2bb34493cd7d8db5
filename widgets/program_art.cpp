#include "widgets/program_art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor kDeepBlue(30, 50, 120);
const QColor kInfoBlue(104, 140, 248);
const QColor kMagenta(226, 0, 125);

// A faint grid of calendar cells, the motif of every picture of the program.
void drawCalendarGrid(QPainter& p, const QRectF& area, qreal cell, const QColor& colour) {
    p.save();
    p.setPen(QPen(colour, 1));
    for (qreal x = area.left(); x <= area.right() + 0.5; x += cell)
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    for (qreal y = area.top(); y <= area.bottom() + 0.5; y += cell)
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.restore();
}

} // namespace

QPixmap programIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The sheet with its blue binding strip.
    QPainterPath sheet;
    sheet.addRoundedRect(QRectF(2.5, 4.5, 27, 25), 3, 3);
    p.fillPath(sheet, Qt::white);
    p.save();
    p.setClipPath(sheet);
    p.fillRect(QRectF(2.5, 4.5, 27, 7), kInfoBlue.darker(120));
    p.restore();
    p.setPen(QPen(kDeepBlue, 1.2));
    p.drawPath(sheet);
    p.setPen(QPen(kDeepBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 2.5), QPointF(9, 7));
    p.drawLine(QPointF(23, 2.5), QPointF(23, 7));

    // Day cells and the tick of a filed report.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 200, 230));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(5.5 + col * 5.5, 14 + row * 5, 3.5, 3));
    p.setPen(QPen(kMagenta, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(10, 20);
    tick.lineTo(15, 25.5);
    tick.lineTo(27, 12);
    p.drawPath(tick);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(programIconPixmap(size));
    return icon;
}

QPixmap introPicture(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(QPointF(0, 0), size);

    QLinearGradient body(whole.topLeft(), whole.bottomRight());
    body.setColorAt(0, kDeepBlue);
    body.setColorAt(1, kInfoBlue);
    p.fillRect(whole, body);
    drawCalendarGrid(p, QRectF(size.width() - 170, 40, 170, size.height() - 40), 24,
                     QColor(255, 255, 255, 28));

    // A light band at the top keeps the status line readable.
    QLinearGradient band(0, 0, 0, 34);
    band.setColorAt(0, QColor(250, 250, 255));
    band.setColorAt(1, QColor(226, 232, 250));
    p.fillRect(QRectF(0, 0, size.width(), 34), band);
    p.fillRect(QRectF(0, 34, size.width(), 3), kMagenta);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(122, 112), QStringLiteral("Сроковед"));
    p.setPen(Qt::white);
    p.drawText(QPointF(120, 110), QStringLiteral("Сроковед"));

    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawRect(whole.adjusted(0.5, 0.5, -0.5, -0.5));
    return pixmap;
}

QPixmap aboutStripPicture(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF whole(QPointF(0, 0), size);
    QLinearGradient body(whole.topLeft(), whole.bottomLeft());
    body.setColorAt(0, kInfoBlue);
    body.setColorAt(1, kDeepBlue);
    p.fillRect(whole, body);
    drawCalendarGrid(p, whole, 18, QColor(255, 255, 255, 36));

    // The program's name along the strip, bottom to top.
    p.save();
    p.translate(size.width() / 2.0 + 9, size.height() - 16);
    p.rotate(-90);
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(26);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(255, 255, 255, 230));
    p.drawText(QPointF(0, 0), QStringLiteral("Сроковед"));
    p.restore();

    const int icon = qMin(48, size.width() - 16);
    p.drawPixmap(QPointF((size.width() - icon) / 2.0, 14), programIconPixmap(icon));
    return pixmap;
}

QImage busyAnimationStrip() {
    constexpr int kFrame = 32;
    constexpr int kDots = 8;
    QImage strip(kFrame * 4, kFrame, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // Eight dots on a ring; the bright head moves two dots a frame and leaves a fading tail.
    for (int frame = 0; frame < 4; ++frame) {
        const QPointF centre(frame * kFrame + kFrame / 2.0, kFrame / 2.0);
        const int head = frame * 2;
        for (int dot = 0; dot < kDots; ++dot) {
            const int behind = (head - dot + kDots) % kDots;
            const double angle = 2 * M_PI * dot / kDots - M_PI / 2;
            const QPointF at(centre.x() + 11 * std::cos(angle), centre.y() + 11 * std::sin(angle));
            QColor colour = behind == 0 ? kMagenta : kInfoBlue.darker(130);
            colour.setAlpha(behind == 0 ? 255 : qMax(50, 220 - behind * 30));
            p.setBrush(colour);
            const double radius = behind == 0 ? 3.6 : 3.0 - behind * 0.15;
            p.drawEllipse(at, radius, radius);
        }
    }
    return strip;
}
