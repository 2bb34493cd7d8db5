#include "cli_print.h"

#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "report/exports.h"
#include "report/report.h"
#include "report/row_source.h"
#include "report/template_file.h"
#include "status/print_fields.h"
#include "status/schedule_statistics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The month items of the schedule tab, as its header prints them.
QString monthItem(int month) {
    static const char* const names[] = {"Январь",   "Февраль", "Март",   "Апрель",
                                        "Май",      "Июнь",    "Июль",   "Август",
                                        "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    return QStringLiteral("%1 - %2")
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(QString::fromUtf8(names[month - 1]));
}

QString nameOf(fb::Attachment& attachment, const char* table, int id) {
    fb::Transaction tr(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(
        tr, QStringLiteral("SELECT NAME FROM %1 WHERE ID = :ID").arg(QString::fromLatin1(table)));
    query.setParam(QStringLiteral("ID"), id);
    query.open();
    const QString name = query.fetch() ? query.value(0).toString() : QString();
    tr.commit();
    return name;
}

void setVariables(report::Report& rep, const CliPrintJob& job, fb::Attachment& attachment) {
    const store::ScheduleFilter& f = job.filter;
    rep.setVariable(QStringLiteral("Memo_BuhAccounts"),
                    f.reportId == -1 ? QStringLiteral("Любая бухгалтерская отчётность")
                                     : nameOf(attachment, "BUH_ACCOUNT", f.reportId));
    rep.setVariable(QStringLiteral("Memo_BuhDT"),
                    f.allDates ? QStringLiteral("Все отчёты, хранящиеся в базе данных")
                               : QStringLiteral("C :  ") + monthItem(f.beginMonth) +
                                     QLatin1Char(' ') + QString::number(f.beginYear) +
                                     QStringLiteral("       По :  ") + monthItem(f.endMonth) +
                                     QLatin1Char(' ') + QString::number(f.endYear));
    rep.setVariable(QStringLiteral("Memo_BuhOrg"),
                    f.oneOrganisation ? QStringLiteral("Одна определённая организация - ") +
                                            nameOf(attachment, "ORGANIZATION", f.organisationId)
                                      : QStringLiteral("Все организации"));
    const QList<std::pair<BuhEntryStatus, const char*>> flags{
        {BuhEntryStatus::NeSdan, "Memo_Buh_NeSdan"},
        {BuhEntryStatus::Warning, "Memo_Buh_Warning"},
        {BuhEntryStatus::AlarmNeSdan, "Memo_Buh_Alarm_NeSdan"},
        {BuhEntryStatus::Sdan, "Memo_Buh_Sdan"},
        {BuhEntryStatus::AlarmSdan, "Memo_Buh_Alarm_Sdan"},
        {BuhEntryStatus::AlarmPodozrenue, "Memo_Buh_Alarm_Podozrenue"}};
    for (const auto& [status, object] : flags)
        if (job.statuses.contains(status))
            rep.setVariable(QString::fromLatin1(object), QStringLiteral("Да"));
    QStringList counts(5, QStringLiteral("---"));
    if (job.stats) {
        const ScheduleStatistics s = countScheduleStatistics(attachment, job.statement, job.today);
        counts = {QString::number(s.warning), QString::number(s.alarmNeSdan),
                  QString::number(s.alarmSdan), QString::number(s.suspicious),
                  QString::number(s.total)};
    }
    const char* const counters[] = {"Memo_Warning_MinDays", "Memo_AlarmNeSdan", "Memo_AlarmSdan",
                                    "Memo_AlarmSdanPodozrit", "Memo_BuhCount"};
    for (int i = 0; i < 5; ++i)
        rep.setVariable(QString::fromLatin1(counters[i]), counts.at(i));
}

// The list with the fields the templates compute, read at once: a mailing prints it whole.
void readList(report::TableRowSource& rows, const CliPrintJob& job, fb::Attachment& attachment) {
    fb::Transaction tr(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(tr, job.statement.sql);
    for (const QString& name : query.paramNames())
        query.setParam(name, job.statement.params.value(name));
    query.open();
    QStringList fields;
    for (int i = 0; i < query.columnCount(); ++i)
        fields << query.columnName(i);
    const int own = static_cast<int>(fields.size());
    rows.setFields(fields + printFieldNames());
    const QDateTime now(job.today, QTime(12, 0));
    while (query.fetch()) {
        QVector<QVariant> row;
        row.reserve(own + 5);
        for (int i = 0; i < own; ++i)
            row << query.value(i);
        const BuhEntry entry = buhEntryFrom([&](const QString& name) { return query.value(name); });
        const PrintFields p = printFields(entry, now, job.today, ScheduleWindow::ScheduleTab);
        row << p.period << p.cycling << p.status << p.colour << p.mark;
        rows.addRow(std::move(row));
    }
    tr.commit();
}

} // namespace

bool isPrintFormat(const QString& format) {
    return format == QLatin1String("pdf") || format == QLatin1String("xlsx") ||
           format == QLatin1String("txt") || format == QLatin1String("html");
}

int runPrintJob(const CliPrintJob& job, fb::Attachment& attachment) {
    // A mailing without its template would send an empty page: refuse it instead.
    if (!QFileInfo(job.templatePath).isFile())
        throw CliPrintError(QStringLiteral("template not found: %1").arg(job.templatePath));
    report::Report rep;
    try {
        rep.load(job.templatePath);
    } catch (const report::TemplateError& e) {
        throw CliPrintError(QStringLiteral("broken template: %1").arg(e.message()));
    }
    const QFileInfo out(job.outPath);
    if (!out.absoluteDir().exists())
        throw CliPrintError(
            QStringLiteral("cannot write %1: the folder does not exist").arg(job.outPath));

    report::TableRowSource rows;
    readList(rows, job, attachment);
    setVariables(rep, job, attachment);
    rep.setDataSet(QStringLiteral("frxDBD_BuhAcc"), &rows);
    const report::PreparedReport prepared = rep.prepare();
    try {
        if (job.format == QLatin1String("pdf"))
            report::exportPdf(prepared, job.outPath);
        else if (job.format == QLatin1String("xlsx"))
            report::exportXlsx(prepared, job.outPath);
        else if (job.format == QLatin1String("txt"))
            report::exportText(prepared, job.outPath);
        else
            report::exportHtml(prepared, job.outPath);
    } catch (const report::ExportError& e) {
        throw CliPrintError(QStringLiteral("cannot write %1: %2").arg(job.outPath, e.message()));
    }
    return rows.rowCount();
}
