#include "report/exports.h"
#include "report/page_renderer.h"
#include "report/paged_paint.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
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

} // namespace

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

} // namespace report
