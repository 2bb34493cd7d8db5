#include "report/exports.h"
#include "report/report.h"
#include "report/template_file.h"
#include "report_fixtures.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

using fixtures::kColors;
using fixtures::kMarks;
using fixtures::kReports;
using fixtures::kStatus;
using fixtures::orgName;
using fixtures::scheduleRows;

namespace {

const QString kMain = QStringLiteral("frxDBD_BuhAcc");
const QString kOperations = QStringLiteral("frxDBD_BuhHistory");

QString maket(const QString& name) {
    return QStringLiteral(SROKO_MAKETS_DIR) + QLatin1Char('/') + name;
}

QString squeeze(const QString& s) {
    QString out = s;
    out.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    return out;
}

// The variables of the main window in the order it sets them, with the "submitted in time"
// box unchecked and no statistics taken yet.
void setMainVariables(Report& report, const QString& organisations) {
    report.setVariable(QStringLiteral("Memo_BuhAccounts"),
                       QStringLiteral("Любая бухгалтерская отчётность"));
    report.setVariable(QStringLiteral("Memo_BuhDT"),
                       QStringLiteral("C :  02 - Февраль 2018       По :  03 - Март 2018"));
    report.setVariable(QStringLiteral("Memo_BuhOrg"), organisations);
    for (const char* flag : {"Memo_Buh_NeSdan", "Memo_Buh_Warning", "Memo_Buh_Alarm_NeSdan",
                             "Memo_Buh_Alarm_Sdan", "Memo_Buh_Alarm_Podozrenue"})
        EXPECT_TRUE(report.setVariable(QString::fromLatin1(flag), QStringLiteral("Да")));
    for (const char* counter : {"Memo_Warning_MinDays", "Memo_AlarmNeSdan", "Memo_AlarmSdan",
                                "Memo_AlarmSdanPodozrit", "Memo_BuhCount"})
        EXPECT_TRUE(report.setVariable(QString::fromLatin1(counter), QStringLiteral("---")));
}

class ShippedTemplates : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ShippedTemplates, AllFourLoadAndNameTheirDataSet) {
    const struct {
        const char* file;
        QString dataSet;
        bool hasOrg;
    } templates[] = {{"Buh_Account_list.fr3", kMain, true},
                     {"Buh_Account_V.fr3", kMain, true},
                     {"Buh_Account_Org.fr3", kOperations, false},
                     {"Buh_Account_V2.fr3", kOperations, false}};
    for (const auto& t : templates) {
        SCOPED_TRACE(t.file);
        const ReportTemplate loaded = TemplateFile::load(maket(QString::fromLatin1(t.file)));
        const Band* data = loaded.firstBand(BandKind::MasterData);
        ASSERT_TRUE(data);
        EXPECT_EQ(data->dataSet, t.dataSet);
        EXPECT_EQ(loaded.findObject(QStringLiteral("Memo_BuhOrg")) != nullptr, t.hasOrg);
        EXPECT_TRUE(loaded.findObject(QStringLiteral("Memo_BuhCount")));
        EXPECT_EQ(loaded.page.paperMm, QSizeF(210, 297));
        EXPECT_EQ(TemplateFile::fromXml(TemplateFile::toXml(loaded)), loaded);
    }
}

TEST_F(ShippedTemplates, ListPrintsEveryRowWithTheVariablesAndWholeRows) {
    const TableRowSource rows = scheduleRows(60, false);
    Report report;
    report.load(maket(QStringLiteral("Buh_Account_list.fr3")));
    report.setDataSet(kMain, &rows);
    setMainVariables(report, QStringLiteral("Все организации"));
    const PreparedReport prepared = report.prepare();
    ASSERT_GT(prepared.pageCount(), 2);

    const QString pdf = path(QStringLiteral("list.pdf"));
    exportPdf(prepared, pdf);
    const QString text = squeeze(fixtures::pdfText(pdf));
    EXPECT_TRUE(text.contains(QStringLiteral("Любая бухгалтерская отчётность")));
    EXPECT_TRUE(text.contains(QStringLiteral("C : 02 - Февраль 2018 По : 03 - Март 2018")));
    EXPECT_TRUE(text.contains(QStringLiteral("Все организации")));
    // The unchecked box keeps the template's own text, the others say "Да".
    EXPECT_TRUE(text.contains(QStringLiteral("Сданные вовремя : Нет")));
    EXPECT_TRUE(text.contains(QStringLiteral("Сданные, но просроченные : Да")));
    EXPECT_TRUE(text.contains(QStringLiteral("Всего отфильтрованно отчётов : ---")));
    for (int i = 0; i < rows.rowCount(); ++i) {
        // The status column is narrow: a long status wraps onto a second line.
        const QString row =
            QStringLiteral("1 квартал 2018 %1 %2 Квартал %3 %4 %5")
                .arg(rows.value(i, 3).toDate().toString("dd.MM.yyyy"),
                     rows.value(i, 4).isNull() ? QString()
                                               : rows.value(i, 4).toDate().toString("dd.MM.yyyy"),
                     rows.value(i, 5).toString(), rows.value(i, 7).toString(),
                     rows.value(i, 10).toString().section(QLatin1Char(' '), 0, 0));
        EXPECT_TRUE(text.contains(squeeze(row))) << row.toStdString();
    }
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), prepared.pageCount());
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(
            QStringLiteral("Страница %1 из %2").arg(p + 1).arg(prepared.pageCount())));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Наименование отчётности")));
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Всего отчётов в списке: 240")));

    // Rows are whole on their page and coloured from the list.
    int coloured = 0;
    for (const PreparedPage& page : prepared.pages) {
        for (const PreparedItem& item : page.items) {
            EXPECT_LE(item.rect.bottom(), page.sizeMm.height() - 10 + 0.01);
            if (item.style->name == QLatin1String("Memo_STATUS_TEXT") && item.fill.isValid())
                ++coloured;
        }
    }
    EXPECT_EQ(coloured, 160);

    const QString xlsx = path(QStringLiteral("list.xlsx"));
    exportXlsx(prepared, xlsx);
    const QString sheet =
        QString::fromUtf8(fixtures::zipEntry(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
    for (int o = 1; o <= 60; ++o)
        EXPECT_EQ(sheet.count(QStringLiteral("<t>%1</t>").arg(orgName(o).toHtmlEscaped())), 4);
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>Наименование отчётности</t>")));

    const QString txt = path(QStringLiteral("list.txt"));
    const QString htm = path(QStringLiteral("list.html"));
    exportText(prepared, txt);
    exportHtml(prepared, htm);
    const QString plain = QString::fromUtf8(fixtures::readFile(txt));
    const QString html = QString::fromUtf8(fixtures::readFile(htm));
    for (int o = 1; o <= 60; ++o) {
        EXPECT_EQ(plain.count(orgName(o)), 4);
        EXPECT_EQ(html.count(orgName(o).toHtmlEscaped()), 4);
    }
}

TEST_F(ShippedTemplates, LongNamesWrapAndPushTheHeaderDown) {
    TableRowSource rows = scheduleRows(3, false);
    const QString longName =
        QStringLiteral("Общество с ограниченной ответственностью «Очень длинное название "
                       "организации, которое не помещается в одну строку колонки»");
    rows.addRow({99, 1, QDate(2018, 3, 31), QDate(2018, 4, 30), QVariant(), kReports[0], QString(),
                 longName, QStringLiteral("1 квартал 2018"), QStringLiteral("Квартал"), kStatus[0],
                 kMarks[0], kColors[0]});
    Report report;
    report.load(maket(QStringLiteral("Buh_Account_list.fr3")));
    report.setDataSet(kMain, &rows);
    setMainVariables(report, QStringLiteral("Одна определённая организация - ") + longName);
    const PreparedReport prepared = report.prepare();
    double orgBottom = 0, flagsTop = 0;
    bool found = false;
    for (const PreparedItem& item : prepared.pages[0].items) {
        if (item.style->name == QLatin1String("Memo_ORGANIZATION_NAME") &&
            item.text().contains(QStringLiteral("Общество"))) {
            found = true;
            EXPECT_FALSE(item.clip);
            EXPECT_GT(item.lines.size(), 2);
            EXPECT_EQ(item.lines.join(QLatin1Char(' ')).simplified(), longName);
        }
        if (item.style->name == QLatin1String("Memo_BuhOrg")) {
            EXPECT_FALSE(item.clip);
            orgBottom = item.rect.bottom();
        }
        if (item.style->name == QLatin1String("Label_NotSubmitted"))
            flagsTop = item.rect.top();
    }
    EXPECT_TRUE(found);
    EXPECT_GE(flagsTop, orgBottom);
}

TEST_F(ShippedTemplates, TablePrintSetsOrganisationsAgainstReports) {
    const TableRowSource rows = scheduleRows(40, false);
    Report report;
    report.load(maket(QStringLiteral("Buh_Account_V.fr3")));
    report.setDataSet(kMain, &rows);
    setMainVariables(report, QStringLiteral("Отфильтрованные организации"));
    const PreparedReport prepared = report.prepare();
    const QString pdf = path(QStringLiteral("table.pdf"));
    exportPdf(prepared, pdf);
    const QString text = squeeze(fixtures::pdfText(pdf));
    EXPECT_TRUE(text.contains(QStringLiteral("Отфильтрованные организации")));
    EXPECT_TRUE(text.contains(QStringLiteral("6-НДФЛ Баланс НДС РСВ")));
    // One line per organisation: its name, then each report's deadline and mark.
    for (int o = 1; o <= 40; ++o) {
        QStringList cells{orgName(o)};
        for (const QString& r : {QStringLiteral("6-НДФЛ"), QStringLiteral("Баланс"),
                                 QStringLiteral("НДС"), QStringLiteral("РСВ")}) {
            const int index = static_cast<int>(kReports.indexOf(r));
            const QString mark = kMarks[(o + index) % 3];
            cells.push_back(QDate(2018, 4, 20 + index).toString("dd.MM.yy") +
                            (mark.isEmpty() ? QString() : QStringLiteral(" ") + mark));
        }
        EXPECT_TRUE(text.contains(cells.join(QLatin1Char(' ')))) << cells.join(' ').toStdString();
    }
    const QString xlsx = path(QStringLiteral("table.xlsx"));
    exportXlsx(prepared, xlsx);
    const QString sheet =
        QString::fromUtf8(fixtures::zipEntry(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
    for (int o = 1; o <= 40; ++o)
        EXPECT_EQ(sheet.count(QStringLiteral("<t>%1</t>").arg(orgName(o).toHtmlEscaped())), 1);
}

TEST_F(ShippedTemplates, OperationsPairPrintsWithoutTheOrganisationsObject) {
    const TableRowSource rows = scheduleRows(1, true);
    for (const char* file : {"Buh_Account_Org.fr3", "Buh_Account_V2.fr3"}) {
        SCOPED_TRACE(file);
        Report report;
        report.load(maket(QString::fromLatin1(file)));
        report.setDataSet(kOperations, &rows);
        EXPECT_FALSE(report.setVariable(QStringLiteral("Memo_BuhOrg"), QStringLiteral("x")));
        EXPECT_TRUE(report.setVariable(QStringLiteral("Memo_BuhType"),
                                       QStringLiteral("Только сданные отчёты")));
        EXPECT_TRUE(report.setVariable(
            QStringLiteral("Memo_BuhDT"),
            QStringLiteral("Все отчёты, хранящиеся в базе данных  ( только для прикреплённых к "
                           "организации отчётностей )")));
        EXPECT_TRUE(report.setVariable(QStringLiteral("Memo_BuhCount"), QStringLiteral("4")));
        const PreparedReport prepared = report.prepare();
        const QString pdf = path(QStringLiteral("ops.pdf"));
        exportPdf(prepared, pdf);
        const QString text = squeeze(fixtures::pdfText(pdf));
        EXPECT_TRUE(text.contains(QStringLiteral("Только сданные отчёты")));
        EXPECT_TRUE(text.contains(QStringLiteral("Все отчёты, хранящиеся в базе данных")));
        EXPECT_TRUE(text.contains(QStringLiteral("Всего отфильтрованно отчётов : 4")));
        for (const QString& r : kReports)
            EXPECT_TRUE(text.contains(r));
    }
}
