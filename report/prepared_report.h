#pragma once

#include "report/report_template.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <deque>
#include <memory>

namespace report {

// One printed thing on a prepared page, in millimetres from the sheet's top left corner.
struct PreparedItem {
    ObjectKind kind = ObjectKind::Text;
    const ReportObject* style = nullptr; // font, colours, frame, alignment, picture
    QRectF rect;
    QStringList lines; // text objects: the text broken into the lines it prints as
    QColor fill;       // resolved fill (invalid: none)
    float lineHeightMm = 0;
    float ascentMm = 0;
    bool clip = false; // the text is larger than its box and is clipped to it

    QString text() const { return lines.join(QLatin1Char('\n')); }
};

struct PreparedPage {
    QSizeF sizeMm;
    QVector<PreparedItem> items;
};

// The rows of the data band as a table, for exports that keep cells rather than pages:
// columns by the left edges of the data band's objects, captions from the column header.
struct ExportTable {
    struct Column {
        double xMm = 0;
        double widthMm = 0;
        QString caption;
    };
    QStringList headerTexts; // texts of the report title and the page header, top to bottom
    QVector<Column> columns;
    // Values: typed (QDate, numbers) where the object shows exactly one field, else the text.
    QVector<QVector<QVariant>> rows;
    QString dateFormat = QStringLiteral("dd.MM.yyyy");
};

// The result of preparing a template over its data: the pages that go to the preview, the
// printer and every export alike.
class PreparedReport {
public:
    QString title;
    QVector<PreparedPage> pages;
    ExportTable table;

    int pageCount() const { return static_cast<int>(pages.size()); }
    bool isEmpty() const { return pages.isEmpty(); }

    // Keeps the template (and styles made while preparing) that the items point to.
    std::shared_ptr<const ReportTemplate> source;
    std::shared_ptr<std::deque<ReportObject>> extraStyles;
};

} // namespace report
