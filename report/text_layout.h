#pragma once

#include "report/report_template.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <memory>

namespace report {

// The font a report object prints with: Arial falls back to Liberation Sans, its metric twin.
QFont makeFont(const FontStyle& style);

// Breaks texts into lines the way every device prints them. Measuring happens once, at a fixed
// high resolution without hinting, and the lines are stored in the prepared pages, so the
// screen, the printer and PDF show the same line breaks and a row is as tall everywhere.
class TextLayout {
public:
    TextLayout();

    struct Metrics {
        double lineHeightMm = 0;
        double ascentMm = 0;
    };
    Metrics metrics(const FontStyle& font);
    // The lines of a text in a box of the given width; with wordWrap off each paragraph stays
    // one line. widthFits tells whether every line fits the width.
    QStringList breakLines(const QString& text, const FontStyle& font, double widthMm,
                           bool wordWrap, bool* widthFits = nullptr);
    double textWidthMm(const QString& text, const FontStyle& font);

private:
    struct Entry {
        QFont font;
        std::unique_ptr<QFontMetricsF> fm;
        // Lists repeat their texts (dates, statuses, names): each is shaped once per font.
        QHash<QString, double> widths;
        double width(const QString& text);
    };
    Entry& entry(const FontStyle& font);

    QImage m_device; // sets the measuring resolution
    QHash<QString, std::shared_ptr<Entry>> m_entries;
    FontStyle m_lastStyle;
    Entry* m_last = nullptr;
};

} // namespace report
