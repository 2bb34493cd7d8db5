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

// Device pixels to the millimetre that fit a page onto the device's sheet.
double fitScale(const QPagedPaintDevice& device, const PreparedPage& page) {
    const QRectF sheet = device.pageLayout().fullRectPixels(device.logicalDpiX());
    return std::min(sheet.width() / page.sizeMm.width(), sheet.height() / page.sizeMm.height());
}

// Draws the pages [from, to] (0-based) on a device that knows pages: QPdfWriter or QPrinter.
// A PDF gets sheets of each page's own size; a printer keeps the paper the user chose and each
// page is scaled to fit it (at 1:1 when the paper is the page's).
void paintPages(const PreparedReport& report, QPagedPaintDevice& device, int from, int to,
                const ProgressFn& progress, const QString& what, bool keepPaper) {
    if (report.isEmpty())
        return;
    if (!keepPaper)
        device.setPageLayout(layoutFor(report.pages[from]));
    QPainter painter;
    if (!painter.begin(&device))
        throw ExportError(QStringLiteral("Не удалось начать %1").arg(what));
    PageRenderer renderer;
    for (int p = from; p <= to; ++p) {
        if (progress && !progress(p - from, to - from + 1)) {
            painter.end();
            throw Cancelled();
        }
        if (p > from) {
            if (!keepPaper)
                device.setPageLayout(layoutFor(report.pages[p]));
            device.newPage();
        }
        const double px =
            keepPaper ? fitScale(device, report.pages[p]) : device.logicalDpiX() / 25.4;
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
                   QStringLiteral("запись PDF в «%1»").arg(path), false);
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
    paintPages(report, printer, from, to, progress, QStringLiteral("печать"), true);
}

} // namespace report
