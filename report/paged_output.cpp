#include "report/exports.h"
#include "report/page_renderer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace report {
namespace {

QPageLayout layoutFor(const PreparedPage& page) {
    const QSizeF size = page.sizeMm;
    const bool landscape = size.width() > size.height();
    const QPageSize pageSize(landscape ? size.transposed() : size, QPageSize::Millimeter);
    return QPageLayout(pageSize, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// Draws the pages [from, to] (0-based) on a device that knows pages: QPdfWriter or QPrinter.
void paintPages(const PreparedReport& report, QPagedPaintDevice& device, int from, int to,
                const ProgressFn& progress, const QString& what) {
    if (report.isEmpty())
        return;
    device.setPageLayout(layoutFor(report.pages[from]));
    QPainter painter;
    if (!painter.begin(&device))
        throw ExportError(QStringLiteral("Не удалось начать %1").arg(what));
    PageRenderer renderer;
    const double px = device.logicalDpiX() / 25.4;
    for (int p = from; p <= to; ++p) {
        if (progress && !progress(p - from, to - from + 1)) {
            painter.end();
            throw Cancelled();
        }
        if (p > from) {
            device.setPageLayout(layoutFor(report.pages[p]));
            device.newPage();
        }
        renderer.render(painter, report.pages[p], px);
    }
    painter.end();
}

} // namespace

void exportPdf(const PreparedReport& report, const QString& path, const ProgressFn& progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ExportError(
            QStringLiteral("Не удалось записать файл «%1»: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("Сроковед"));
        writer.setTitle(report.title);
        paintPages(report, writer, 0, report.pageCount() - 1, progress,
                   QStringLiteral("запись PDF в «%1»").arg(path));
        if (report.isEmpty()) {
            // An empty report still gives a valid document with one blank page.
            QPainter painter(&writer);
        }
    }
    if (!file.commit())
        throw ExportError(
            QStringLiteral("Не удалось записать файл «%1»: %2").arg(path, file.errorString()));
}

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
    paintPages(report, printer, from, to, progress, QStringLiteral("печать"));
}

} // namespace report
