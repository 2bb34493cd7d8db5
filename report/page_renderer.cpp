#include "report/page_renderer.h"

#include "report/text_layout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

namespace report {
namespace {

const QColor kHighlight(255, 230, 0);

QRectF toPx(const QRectF& mm, double px) {
    return QRectF(mm.x() * px, mm.y() * px, mm.width() * px, mm.height() * px);
}

} // namespace

const QFont& PageRenderer::font(QPainter& painter, const ReportObject& style, double fontScale) {
    if (fontScale != m_fontScale || painter.device() != m_device) {
        m_fonts.clear();
        m_shaped.clear();
        m_fontScale = fontScale;
        m_device = painter.device();
    }
    auto it = m_fonts.find(&style);
    if (it == m_fonts.end()) {
        QFont f(makeFont(style.font), painter.device());
        f.setPointSizeF(style.font.sizePt * fontScale);
        it = m_fonts.insert(&style, f);
    }
    return *it;
}

const PageRenderer::ShapedLine& PageRenderer::shaped(QPainter& painter, const ReportObject& style,
                                                     const QFont& font, const QString& text) {
    constexpr qsizetype kMaxCached = 20000;
    QHash<QString, ShapedLine>& lines = m_shaped[&style];
    auto it = lines.constFind(text);
    if (it != lines.constEnd())
        return *it;
    if (lines.size() >= kMaxCached)
        lines.clear();
    QTextLayout layout(text, font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    ShapedLine shapedLine;
    if (line.isValid()) {
        shapedLine.runs = layout.glyphRuns();
        shapedLine.width = line.naturalTextWidth();
        shapedLine.ascent = line.ascent();
    }
    return *lines.insert(text, shapedLine);
}

const QImage& PageRenderer::picture(const ReportObject& style) {
    auto it = m_pictures.find(&style);
    if (it == m_pictures.end())
        it = m_pictures.insert(&style, QImage::fromData(style.png, "PNG"));
    return *it;
}

void PageRenderer::render(QPainter& painter, const PreparedPage& page, double px,
                          const QVector<TextHighlight>& highlights) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (int i = 0; i < page.items.size(); ++i) {
        const PreparedItem& item = page.items[i];
        const ReportObject& style = *item.style;
        const QRectF r = toPx(item.rect, px);
        switch (item.kind) {
        case ObjectKind::Text:
        case ObjectKind::CrossTab:
            if (item.fill.isValid())
                painter.fillRect(r, item.fill);
            drawText(painter, item, px, i, highlights);
            drawFrame(painter, item, px);
            break;
        case ObjectKind::Line: {
            QPen pen(style.lineColor, std::max(0.0, style.lineWidthMm * px));
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        case ObjectKind::Rectangle: {
            QPen pen(style.lineColor, std::max(0.0, style.lineWidthMm * px));
            painter.setPen(style.lineWidthMm > 0 ? pen : QPen(Qt::NoPen));
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(r);
            painter.setBrush(Qt::NoBrush);
            break;
        }
        case ObjectKind::Picture: {
            const QImage& image = picture(style);
            if (image.isNull())
                break;
            QSizeF size = image.size();
            size.scale(r.size(), Qt::KeepAspectRatio);
            const QRectF target(r.x() + (r.width() - size.width()) / 2,
                                r.y() + (r.height() - size.height()) / 2, size.width(),
                                size.height());
            painter.drawImage(target, image);
            drawFrame(painter, item, px);
            break;
        }
        }
    }
    painter.restore();
}

void PageRenderer::drawText(QPainter& painter, const PreparedItem& item, double px, int index,
                            const QVector<TextHighlight>& highlights) {
    if (item.lines.isEmpty())
        return;
    const ReportObject& style = *item.style;
    const double fontScale = px * 25.4 / painter.device()->logicalDpiY();
    const QFont& f = font(painter, style, fontScale);
    painter.setFont(f);
    painter.setPen(style.textColor);
    const double pad = style.paddingMm;
    const double lineH = item.lineHeightMm;
    const double textH = item.lines.size() * lineH;
    double top = item.rect.top() + pad;
    const double inner = item.rect.height() - 2 * pad;
    if (style.vAlign == VAlign::Center && textH < inner)
        top += (inner - textH) / 2;
    else if (style.vAlign == VAlign::Bottom && textH < inner)
        top += inner - textH;
    const double left = (item.rect.left() + pad) * px;
    const double width = (item.rect.width() - 2 * pad) * px;
    if (item.clip) {
        painter.save();
        painter.setClipRect(QRectF(item.rect.x() * px, item.rect.y() * px, item.rect.width() * px,
                                   item.rect.height() * px));
    }
    for (int l = 0; l < item.lines.size(); ++l) {
        const QString& line = item.lines[l];
        if (line.isEmpty())
            continue;
        const ShapedLine& shape = shaped(painter, style, f, line);
        double x = left;
        if (style.hAlign != HAlign::Left)
            x += style.hAlign == HAlign::Right ? width - shape.width : (width - shape.width) / 2;
        const double lineTop = (top + l * lineH) * px;
        for (const TextHighlight& h : highlights) {
            if (h.item == index && h.line == l) {
                const QFontMetricsF fm(f, painter.device());
                const double hx = x + fm.horizontalAdvance(line.left(h.start));
                const double hw = fm.horizontalAdvance(line.mid(h.start, h.length));
                painter.fillRect(QRectF(hx, lineTop, hw, lineH * px), kHighlight);
            }
        }
        const QPointF origin(x, lineTop + item.ascentMm * px - shape.ascent);
        for (const QGlyphRun& run : shape.runs)
            painter.drawGlyphRun(origin, run);
    }
    if (item.clip)
        painter.restore();
}

void PageRenderer::drawFrame(QPainter& painter, const PreparedItem& item, double px) {
    const FrameStyle& frame = item.style->frame;
    if (frame.sides == FrameNone)
        return;
    QPen pen(frame.color, std::max(0.0, frame.widthMm * px));
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    const QRectF r = toPx(item.rect, px);
    if (frame.sides == FrameAll) {
        // One path instead of four lines: a list has a framed box for every cell.
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        return;
    }
    if (frame.sides & FrameLeft)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (frame.sides & FrameTop)
        painter.drawLine(r.topLeft(), r.topRight());
    if (frame.sides & FrameRight)
        painter.drawLine(r.topRight(), r.bottomRight());
    if (frame.sides & FrameBottom)
        painter.drawLine(r.bottomLeft(), r.bottomRight());
}

} // namespace report
