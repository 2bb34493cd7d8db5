#pragma once

#include "report/prepared_report.h"
#include "report/report_template.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <stdexcept>

namespace report {

class RowSource;

// A data set as templates name it ("frxDBD_BuhAcc") and the rows behind it.
struct DataSetBinding {
    QString name;
    const RowSource* source = nullptr;
};

// Called now and then while a long job runs; returning false cancels the job.
using ProgressFn = std::function<bool(int done, int total)>;

// Thrown when the progress callback asked to stop.
class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("cancelled") {}
};

struct PrepareOptions {
    QDateTime now = QDateTime::currentDateTime(); // [Date] and [Time]
    ProgressFn progress;
};

// Lays the bands of a template out on pages over the rows of the data set its data band names:
// the report title once, the page header and the column header on every page, one data band
// per row (never cut across pages, as tall as its stretched texts), group headers and footers
// where the group value changes, the report summary after the last row, the page footer at the
// bottom of every page. A data set the template names but nobody bound gives no rows.
PreparedReport prepareReport(const ReportTemplate& report, const QList<DataSetBinding>& dataSets,
                             const PrepareOptions& options = {});

} // namespace report
