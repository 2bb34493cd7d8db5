#pragma once

#include "report/engine.h"
#include "report/prepared_report.h"

#include <QString>
#include <stdexcept>

class QPrinter;

namespace report {

// An export that could not be written; the text names the file and the reason.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Each export writes through a temporary file that replaces the target only when complete, so a
// failed or cancelled export leaves an existing file as it was. Throws ExportError or Cancelled.

// Vector text with the fonts embedded, so the text can be selected and searched.
void exportPdf(const PreparedReport& report, const QString& path, const ProgressFn& progress = {});
// One sheet row per data row, columns by the positions of the data band's objects, the column
// captions above them and the header texts of the first page above those; dates are dates.
void exportXlsx(const PreparedReport& report, const QString& path, const ProgressFn& progress = {});
// The pages as plain UTF-8 text, the objects of a row side by side, pages split by form feeds.
void exportText(const PreparedReport& report, const QString& path, const ProgressFn& progress = {});
// The pages as one HTML document, each object placed where it prints.
void exportHtml(const PreparedReport& report, const QString& path, const ProgressFn& progress = {});

// Prints the pages in the printer's page range (all when none is set). Comes with the report
// windows' library (sroko_report_ui), which links QtPrintSupport.
void printReport(const PreparedReport& report, QPrinter& printer, const ProgressFn& progress = {});

// The text of the pages as exportText writes it.
QString reportText(const PreparedReport& report, const ProgressFn& progress = {});

} // namespace report
