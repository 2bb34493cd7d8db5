#pragma once

#include "report/prepared_report.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QVector>

class QPainter;

namespace report {

// A found piece of text to mark on a page: item, line of the item, characters of the line.
struct TextHighlight {
    int item = -1;
    int line = 0;
    int start = 0;
    int length = 0;
};

// Draws prepared pages with QPainter on any device: the preview, the printer and PDF get the
// same vector drawing. Fonts and pictures are kept between pages.
class PageRenderer {
public:
    // Draws the page with its top left corner at the painter's origin, `pxPerMm` device pixels
    // to the millimetre.
    void render(QPainter& painter, const PreparedPage& page, double pxPerMm,
                const QVector<TextHighlight>& highlights = {});

private:
    // A line shaped once for a font and a device: list texts repeat, and shaping is most of
    // the cost of drawing text.
    struct ShapedLine {
        QList<QGlyphRun> runs;
        double width = 0;
        double ascent = 0;
    };
    const ShapedLine& shaped(QPainter& painter, const ReportObject& style, const QFont& font,
                             const QString& text);
    const QFont& font(QPainter& painter, const ReportObject& style, double fontScale);
    const QImage& picture(const ReportObject& style);
    void drawText(QPainter& painter, const PreparedItem& item, double px, int itemIndex,
                  const QVector<TextHighlight>& highlights);
    void drawFrame(QPainter& painter, const PreparedItem& item, double px);

    QHash<const ReportObject*, QFont> m_fonts;
    QHash<const ReportObject*, QHash<QString, ShapedLine>> m_shaped;
    double m_fontScale = 0;
    const void* m_device = nullptr;
    QHash<const ReportObject*, QImage> m_pictures;
};

} // namespace report
