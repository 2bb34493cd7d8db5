// Printing needs QtPrintSupport, which brings QtWidgets along; it lives with the report windows
// so that the engine and the tools built on it stay free of widgets.

#include "report/exports.h"
#include "report/paged_paint.h"

#include <QPrinter>

#include <algorithm>

namespace report {

void printReport(const PreparedReport& report, QPrinter& printer, const ProgressFn& progress) {
    if (report.isEmpty())
        return;
    printer.setFullPage(true);
    int from = 0;
    int to = report.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage() - 1, 0, to);
        to = std::clamp(printer.toPage() > 0 ? printer.toPage() - 1 : to, from, to);
    }
    if (printer.docName().isEmpty())
        printer.setDocName(report.title);
    paintPages(report, printer, from, to, progress, QStringLiteral("печать"), true);
}

} // namespace report
