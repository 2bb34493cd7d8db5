// sroko-bench-report: prepares a schedule-like list of 10,000 and 100,000 synthetic rows over
// a seven-column template (row colours, a stretched name column, page x of y) and exports it
// to PDF. Prints one key=value a line for each size; --rows N times that size alone.

#include "report/engine.h"
#include "report/exports.h"
#include "report/row_source.h"

#include <QDate>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

using namespace report;

namespace {

const QString kDataSet = QStringLiteral("frxDBD_BuhAcc");

ReportObject cell(const QRectF& rect, const QString& text, bool bold = false) {
    ReportObject o;
    o.rect = rect;
    o.text = text;
    o.font.sizePt = 8;
    o.font.bold = bold;
    o.frame.sides = FrameAll;
    o.frame.widthMm = 0.1;
    o.vAlign = VAlign::Center;
    return o;
}

ReportTemplate listTemplate() {
    ReportTemplate t;
    Band head{BandKind::PageHeader, QStringLiteral("PageHeader1"), 6};
    ReportObject page = cell({0, 0, 190, 5}, QStringLiteral("Страница [Page] из [TotalPages]"));
    page.frame.sides = FrameNone;
    page.hAlign = HAlign::Right;
    head.objects.push_back(page);
    t.bands.push_back(head);

    const struct {
        double x, w;
        const char* caption;
        const char* field;
    } columns[] = {
        {0, 22, "Период", "PERIOD_TEXT"},      {22, 20, "Срок", "DT_ACTION"},
        {42, 20, "Сдан", "DT_ACTUAL"},         {62, 22, "Периодичность", "CYCLING_TEXT"},
        {84, 40, "Отчёт", "BUH_ACCOUNT_NAME"}, {124, 44, "Организация", "ORGANIZATION_NAME"},
        {168, 22, "Статус", "STATUS_TEXT"}};
    Band caps{BandKind::ColumnHeader, QStringLiteral("ColumnHeader1"), 8};
    Band data{BandKind::MasterData, QStringLiteral("MasterData1"), 5};
    data.dataSet = kDataSet;
    for (const auto& c : columns) {
        caps.objects.push_back(cell({c.x, 0, c.w, 8}, QString::fromUtf8(c.caption), true));
        ReportObject o =
            cell({c.x, 0, c.w, 5},
                 QStringLiteral("[%1.\"%2\"]").arg(kDataSet, QString::fromLatin1(c.field)));
        o.stretch = true;
        o.fillField = QStringLiteral("ROW_COLOR");
        data.objects.push_back(o);
    }
    t.bands.push_back(caps);
    t.bands.push_back(data);
    Band summary{BandKind::ReportSummary, QStringLiteral("ReportSummary1"), 6};
    summary.objects.push_back(cell({0, 0, 190, 5}, QStringLiteral("Всего: [Count]")));
    t.bands.push_back(summary);
    return t;
}

TableRowSource rows(int count) {
    TableRowSource source({QStringLiteral("PERIOD_TEXT"), QStringLiteral("DT_ACTION"),
                           QStringLiteral("DT_ACTUAL"), QStringLiteral("CYCLING_TEXT"),
                           QStringLiteral("BUH_ACCOUNT_NAME"), QStringLiteral("ORGANIZATION_NAME"),
                           QStringLiteral("STATUS_TEXT"), QStringLiteral("ROW_COLOR")});
    source.reserve(count);
    const QStringList statuses{QStringLiteral("В плане"), QStringLiteral("Предупреждение"),
                               QStringLiteral("Не сдан"), QStringLiteral("Сдан вовремя")};
    const QStringList colors{QStringLiteral("#ffffff"), QStringLiteral("#ffff99"),
                             QStringLiteral("#ff9999"), QStringLiteral("#99ff99")};
    for (int i = 0; i < count; ++i) {
        const QDate deadline = QDate(2018, 1, 20).addDays(i % 365);
        // Every 20th organisation has a long name that wraps onto a second line.
        const QString org =
            i % 20 == 0
                ? QStringLiteral("Общество с ограниченной ответственностью «Организация %1»")
                      .arg(i % 300)
                : QStringLiteral("ООО «Организация %1»").arg(i % 300);
        source.addRow({QStringLiteral("%1 квартал %2").arg(i % 4 + 1).arg(2018), deadline,
                       i % 4 == 3 ? QVariant(deadline.addDays(-2)) : QVariant(),
                       QStringLiteral("Ежеквартально"),
                       QStringLiteral("Налоговая декларация %1").arg(i % 40), org, statuses[i % 4],
                       colors[i % 4]});
    }
    return source;
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const ReportTemplate t = listTemplate();
    // --rows N times one size only.
    QList<int> sizes{10000, 100000};
    const QStringList args = app.arguments();
    const qsizetype rowsArg = args.indexOf(QStringLiteral("--rows"));
    if (rowsArg > 0 && rowsArg + 1 < args.size())
        sizes = {std::max(1, args[rowsArg + 1].toInt())};
    for (int count : sizes) {
        const TableRowSource source = rows(count);
        QElapsedTimer timer;
        timer.start();
        const PreparedReport prepared = prepareReport(t, {{kDataSet, &source}});
        const qint64 prepareMs = timer.elapsed();
        timer.restart();
        exportPdf(prepared, dir.filePath(QStringLiteral("list_%1.pdf").arg(count)));
        const qint64 pdfMs = timer.elapsed();
        std::printf(
            "rows=%d\nprepare_ms=%lld\npdf_ms=%lld\ntotal_ms=%lld\npages=%d\npeak_rss_mb=%ld\n",
            count, static_cast<long long>(prepareMs), static_cast<long long>(pdfMs),
            static_cast<long long>(prepareMs + pdfMs), prepared.pageCount(), peakRssMb());
        std::fflush(stdout);
    }
    return 0;
}
