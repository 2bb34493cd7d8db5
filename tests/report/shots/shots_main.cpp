// sroko-report-shots OUT_DIR: pictures of the report windows for a look by eye. Opens the
// preview of the list and of the table print and the designer with a selected object over the
// shipped templates and a sample list, and writes each window as a PNG, with the PDF of each
// print beside it.

#include "../report_fixtures.h"
#include "report/exports.h"
#include "report/report.h"
#include "report/ui/designer_canvas.h"
#include "report/ui/designer_window.h"
#include "report/ui/preview_window.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <cstdio>

using namespace report;

namespace {

void shoot(QWidget& window, const QString& file) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not shown: %s\n", qPrintable(file));
    QTest::qWait(300);
    window.grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

void setVariables(Report& report, const QString& organisations) {
    report.setVariable(QStringLiteral("Memo_BuhAccounts"),
                       QStringLiteral("Любая бухгалтерская отчётность"));
    report.setVariable(QStringLiteral("Memo_BuhDT"),
                       QStringLiteral("C :  01 - Январь 2018       По :  06 - Июнь 2018"));
    report.setVariable(QStringLiteral("Memo_BuhOrg"), organisations);
    for (const char* flag : {"Memo_Buh_NeSdan", "Memo_Buh_Warning", "Memo_Buh_Alarm_NeSdan",
                             "Memo_Buh_Sdan", "Memo_Buh_Alarm_Sdan"})
        report.setVariable(QString::fromLatin1(flag), QStringLiteral("Да"));
    report.setVariable(QStringLiteral("Memo_Warning_MinDays"), QStringLiteral("5"));
    report.setVariable(QStringLiteral("Memo_AlarmNeSdan"), QStringLiteral("12"));
    report.setVariable(QStringLiteral("Memo_AlarmSdan"), QStringLiteral("0"));
    report.setVariable(QStringLiteral("Memo_AlarmSdanPodozrit"), QStringLiteral("1"));
    report.setVariable(QStringLiteral("Memo_BuhCount"), QStringLiteral("120"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    const QString makets = QStringLiteral(SROKO_MAKETS_DIR);
    const TableRowSource rows = fixtures::scheduleRows(30, false);

    for (const auto& [file, organisations] :
         {std::pair{QStringLiteral("Buh_Account_list"), QStringLiteral("Все организации")},
          std::pair{QStringLiteral("Buh_Account_V"),
                    QStringLiteral("Отфильтрованные организации")}}) {
        Report report;
        report.load(makets + QLatin1Char('/') + file + QStringLiteral(".fr3"));
        report.setDataSet(QStringLiteral("frxDBD_BuhAcc"), &rows);
        setVariables(report, organisations);
        PreparedReport prepared = report.prepare();
        exportPdf(prepared, out + QLatin1Char('/') + file + QStringLiteral(".pdf"));
        PreviewWindow preview(std::move(prepared));
        preview.resize(1100, 850);
        shoot(preview, out + QStringLiteral("/preview_") + file + QStringLiteral(".png"));
    }

    Report report;
    report.load(makets + QStringLiteral("/Buh_Account_list.fr3"));
    report.setDataSet(QStringLiteral("frxDBD_BuhAcc"), &rows);
    DesignerWindow designer(report, makets + QStringLiteral("/Buh_Account_list.fr3"));
    designer.resize(1300, 900);
    designer.canvas()->select(3, 4); // the report name of the data band
    shoot(designer, out + QStringLiteral("/designer.png"));
    return 0;
}
