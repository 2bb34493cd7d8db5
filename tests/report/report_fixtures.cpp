#include "report_fixtures.h"

#include "report/template_file.h"

#include <QDate>
#include <QFile>
#include <QProcess>

namespace fixtures {

using namespace report;

ReportObject text(const QString& name, const QRectF& rect, const QString& content) {
    ReportObject o;
    o.kind = ObjectKind::Text;
    o.name = name;
    o.rect = rect;
    o.text = content;
    return o;
}

ReportTemplate listTemplate() {
    ReportTemplate t;
    t.title = QStringLiteral("Список");
    Band title{BandKind::ReportTitle, QStringLiteral("ReportTitle1"), 10};
    ReportObject memoTitle = text(QStringLiteral("Memo_Title"), {0, 0, 190, 8},
                                  QStringLiteral("Заголовок\nвторая строка"));
    memoTitle.stretch = true;
    title.objects.push_back(memoTitle);
    t.bands.push_back(title);

    Band head{BandKind::PageHeader, QStringLiteral("PageHeader1"), 6};
    ReportObject pageNo = text(QStringLiteral("Memo_Head"), {100, 0, 90, 5},
                               QStringLiteral("Страница [Page] из [TotalPages]"));
    pageNo.hAlign = HAlign::Right;
    head.objects.push_back(pageNo);
    t.bands.push_back(head);

    Band columns{BandKind::ColumnHeader, QStringLiteral("ColumnHeader1"), 6};
    columns.objects.push_back(
        text(QStringLiteral("Cap1"), {0, 0, 100, 6}, QStringLiteral("Организация")));
    columns.objects.push_back(
        text(QStringLiteral("Cap2"), {100, 0, 40, 6}, QStringLiteral("Срок")));
    columns.objects.push_back(
        text(QStringLiteral("Cap3"), {140, 0, 50, 6}, QStringLiteral("Сумма")));
    for (ReportObject& o : columns.objects) {
        o.font.bold = true;
        o.frame.sides = FrameAll;
    }
    t.bands.push_back(columns);

    Band data{BandKind::MasterData, QStringLiteral("MasterData1"), 5};
    data.dataSet = kDataSet;
    ReportObject name =
        text(QStringLiteral("Memo_Name"), {0, 0, 100, 5}, QStringLiteral("[frxDBD_List.\"NAME\"]"));
    name.stretch = true;
    name.frame.sides = FrameAll;
    ReportObject date = text(QStringLiteral("Memo_Date"), {100, 0, 40, 5},
                             QStringLiteral("[frxDBD_List.\"DT_ACTION\"]"));
    date.frame.sides = FrameAll;
    ReportObject amount = text(QStringLiteral("Memo_Amount"), {140, 0, 50, 5},
                               QStringLiteral("[frxDBD_List.\"AMOUNT\"]"));
    amount.frame.sides = FrameAll;
    amount.hAlign = HAlign::Right;
    data.objects = {name, date, amount};
    t.bands.push_back(data);

    Band summary{BandKind::ReportSummary, QStringLiteral("ReportSummary1"), 6};
    summary.objects.push_back(text(QStringLiteral("Memo_Total"), {0, 0, 190, 5},
                                   QStringLiteral("Всего строк: [Count], сумма: "
                                                  "[Sum(<frxDBD_List.\"AMOUNT\">, MasterData1)]")));
    t.bands.push_back(summary);
    return t;
}

TableRowSource rows(int count) {
    TableRowSource source({QStringLiteral("NAME"), QStringLiteral("DT_ACTION"),
                           QStringLiteral("AMOUNT"), QStringLiteral("GRP")});
    source.reserve(count);
    for (int i = 1; i <= count; ++i) {
        source.addRow({QStringLiteral("Организация %1").arg(i), QDate(2018, 3, 1).addDays(i), i,
                       QStringLiteral("Группа %1").arg((i - 1) / 10 + 1)});
    }
    return source;
}

QString orgName(int i) {
    return QStringLiteral("ООО «Организация %1»").arg(i, 3, 10, QLatin1Char('0'));
}

TableRowSource scheduleRows(int organisations, bool operations) {
    TableRowSource rows(
        {QStringLiteral("ID"), QStringLiteral("CYCLING"), QStringLiteral("DT_END_ACCOUNT"),
         QStringLiteral("DT_ACTION"), QStringLiteral("DT_ACTUAL"),
         operations ? QStringLiteral("NAME") : QStringLiteral("BUH_ACCOUNT_NAME"),
         operations ? QStringLiteral("USERS_NAME") : QStringLiteral("USERS_SDAL_NAME"),
         QStringLiteral("ORGANIZATION_NAME"), QStringLiteral("PERIOD_TEXT"),
         QStringLiteral("CYCLING_TEXT"), QStringLiteral("STATUS_TEXT"),
         QStringLiteral("STATUS_MARK"), QStringLiteral("ROW_COLOR")});
    int id = 0;
    for (int o = 1; o <= organisations; ++o) {
        for (int r = 0; r < kReports.size(); ++r) {
            const int s = (o + r) % 3;
            const QDate deadline(2018, 4, 20 + r);
            rows.addRow({++id, 1, QDate(2018, 3, 31), deadline,
                         s == 2 ? QVariant(deadline.addDays(-3)) : QVariant(), kReports[r],
                         s == 2 ? QStringLiteral("buh ( Иванова И. И. )") : QString(), orgName(o),
                         QStringLiteral("1 квартал 2018"), QStringLiteral("Квартал"), kStatus[s],
                         kMarks[s], kColors[s]});
        }
    }
    return rows;
}

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                          QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray zipEntry(const QString& path, const QString& entry) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, entry});
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace fixtures

namespace report {

void PrintTo(const ReportTemplate& report, std::ostream* os) {
    *os << TemplateFile::toXml(report).toStdString();
}

void PrintTo(const ReportObject& object, std::ostream* os) {
    ReportTemplate t;
    t.bands.push_back(Band{});
    t.bands[0].objects.push_back(object);
    PrintTo(t, os);
}

} // namespace report
