#pragma once

#include "report/engine.h"
#include "report/prepared_report.h"

#include <QString>

class QPagedPaintDevice;

namespace report {

// Draws the pages [from, to] (0-based) on a device that knows pages: a PDF writer or a printer.
// A PDF gets sheets of each page's own size; a printer keeps the paper the user chose
// (keepPaper) and each page is scaled to fit it (at 1:1 when the paper is the page's). Throws
// ExportError when the device cannot be painted on (what names the job) and Cancelled.
void paintPages(const PreparedReport& report, QPagedPaintDevice& device, int from, int to,
                const ProgressFn& progress, const QString& what, bool keepPaper);

} // namespace report
