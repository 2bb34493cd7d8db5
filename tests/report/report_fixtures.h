#pragma once

#include "report/report_template.h"
#include "report/row_source.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace report {
// Failures show the XML of what differs.
void PrintTo(const ReportObject& object, std::ostream* os);
void PrintTo(const ReportTemplate& report, std::ostream* os);
} // namespace report

// Small templates and lists shared by the report tests.
namespace fixtures {

inline const QString kDataSet = QStringLiteral("frxDBD_List");

report::ReportObject text(const QString& name, const QRectF& rect, const QString& content);

// Title with Memo_Title, page header with Memo_Head ("Страница [Page] из [TotalPages]"),
// column header with captions, data band with NAME, DT_ACTION (a date) and AMOUNT, summary
// with the row count and the sum of AMOUNT.
report::ReportTemplate listTemplate();

// Rows: NAME "Организация N", DT_ACTION 2018-03-01 + N days, AMOUNT N, GRP "Группа N/10".
report::TableRowSource rows(int count);

inline const QStringList kReports{QStringLiteral("НДС"), QStringLiteral("Баланс"),
                                  QStringLiteral("6-НДФЛ"), QStringLiteral("РСВ")};
inline const QStringList kStatus{QStringLiteral("В плане"), QStringLiteral("Просрочен, не сдан"),
                                 QStringLiteral("Сдан вовремя")};
inline const QStringList kMarks{QString(), QStringLiteral("!"), QStringLiteral("+")};
inline const QStringList kColors{QString(), QStringLiteral("#FFC8BE"), QStringLiteral("#C8FFC8")};

// A schedule list as the windows give it: the fields of the list's query and the texts the
// program computes for each row (PERIOD_TEXT, CYCLING_TEXT, STATUS_TEXT, STATUS_MARK,
// ROW_COLOR); four reports per organisation. The operations window names the report NAME and
// the user USERS_NAME.
report::TableRowSource scheduleRows(int organisations, bool operations);
QString orgName(int i);

// Text of a PDF read back with pdftotext (pages split by form feeds).
QString pdfText(const QString& path);
// One member of a ZIP archive (an XLSX), read back with unzip.
QByteArray zipEntry(const QString& path, const QString& entry);
QByteArray readFile(const QString& path);

} // namespace fixtures
