#include "report/engine.h"
#include "report/exports.h"
#include "report_fixtures.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        m_source = fixtures::rows(120);
        ReportTemplate t = fixtures::listTemplate();
        t.setVariable(QStringLiteral("Memo_Title"),
                      QStringLiteral("C :  01 - Январь 2018       По :  03 - Март 2018"));
        m_report = prepareReport(t, {{fixtures::kDataSet, &m_source}});
        ASSERT_GT(m_report.pageCount(), 2);
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    TableRowSource m_source;
    PreparedReport m_report;
};

// pdftotext -layout splits a long text into columns; compare without the runs of blanks.
QString squeeze(const QString& s) {
    QString out = s;
    out.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    return out;
}

} // namespace

TEST_F(Exports, PdfHoldsEveryRowAndTheVariableTexts) {
    const QString file = path(QStringLiteral("list.pdf"));
    exportPdf(m_report, file);
    const QString text = squeeze(fixtures::pdfText(file));
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    EXPECT_EQ(pages.size(), m_report.pageCount());
    EXPECT_TRUE(text.contains(QStringLiteral("C : 01 - Январь 2018 По : 03 - Март 2018")));
    EXPECT_TRUE(text.contains(QStringLiteral("вторая строка")));
    for (int i = 1; i <= 120; ++i) {
        const QString row = QStringLiteral("Организация %1 %2 %3")
                                .arg(i)
                                .arg(QDate(2018, 3, 1).addDays(i).toString("dd.MM.yyyy"))
                                .arg(i);
        EXPECT_TRUE(text.contains(row)) << row.toStdString();
    }
    for (int p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(
            QStringLiteral("Страница %1 из %2").arg(p + 1).arg(m_report.pageCount())));
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Организация Срок Сумма")));
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Всего строк: 120, сумма: 7260")));
}

TEST_F(Exports, PdfEmbedsItsFonts) {
    const QString file = path(QStringLiteral("fonts.pdf"));
    exportPdf(m_report, file);
    QProcess p;
    p.start(QStringLiteral("pdffonts"), {file});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList lines =
        QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 2);
    for (const QString& line : lines.mid(2)) {
        EXPECT_TRUE(line.contains(QStringLiteral("Liberation"))) << line.toStdString();
        EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << line.toStdString();
    }
}

TEST_F(Exports, PrinterGetsTheSamePagesAndItsPageRange) {
    const QString file = path(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    printReport(m_report, printer);
    const QString text = squeeze(fixtures::pdfText(file));
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Страница 2 из")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Страница 3 из")));
}

TEST_F(Exports, XlsxHasOneRowPerDataRowWithCaptionsAndRealDates) {
    const QString file = path(QStringLiteral("list.xlsx"));
    exportXlsx(m_report, file);
    const QString sheet =
        QString::fromUtf8(fixtures::zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    ASSERT_FALSE(sheet.isEmpty());
    // Header texts, then a blank row, then the captions, then the data rows.
    const QRegularExpression rowRe(QStringLiteral("<row r=\"(\\d+)\"[^>]*>(.*?)</row>"),
                                   QRegularExpression::DotMatchesEverythingOption);
    QMap<int, QString> rows;
    for (auto it = rowRe.globalMatch(sheet); it.hasNext();) {
        const auto m = it.next();
        rows.insert(m.captured(1).toInt(), m.captured(2));
    }
    ASSERT_TRUE(rows.contains(1)) << sheet.left(1500).toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("C :  01 - Январь 2018")));
    const int captions = rows.lastKey() - 120;
    EXPECT_TRUE(rows[captions].contains(QStringLiteral("Организация</t>")));
    EXPECT_TRUE(rows[captions].contains(QStringLiteral("Срок")));
    EXPECT_EQ(rows.size() - rows.keys().indexOf(captions) - 1, 120);
    for (int i = 1; i <= 120; ++i) {
        const QString row = rows.value(captions + i);
        SCOPED_TRACE(i);
        EXPECT_TRUE(row.contains(QStringLiteral("<t>Организация %1</t>").arg(i)));
        // The deadline as an Excel date serial with a date format, the amount as a number.
        const int serial =
            static_cast<int>(QDate(1899, 12, 30).daysTo(QDate(2018, 3, 1).addDays(i)));
        EXPECT_TRUE(QRegularExpression(QStringLiteral("<c r=\"B%1\" s=\"\\d+\"><v>%2</v></c>")
                                           .arg(captions + i)
                                           .arg(serial))
                        .match(row)
                        .hasMatch())
            << row.toStdString();
        EXPECT_TRUE(
            row.contains(QStringLiteral("<c r=\"C%1\"><v>%2</v></c>").arg(captions + i).arg(i)))
            << row.toStdString();
    }
    const QString styles =
        QString::fromUtf8(fixtures::zipEntry(file, QStringLiteral("xl/styles.xml")));
    EXPECT_TRUE(styles.contains(QStringLiteral("dd.mm.yyyy")));
}

TEST_F(Exports, TextAndHtmlHoldEveryRow) {
    const QString txt = path(QStringLiteral("list.txt"));
    const QString htm = path(QStringLiteral("list.html"));
    exportText(m_report, txt);
    exportHtml(m_report, htm);
    const QString text = QString::fromUtf8(fixtures::readFile(txt));
    const QString html = QString::fromUtf8(fixtures::readFile(htm));
    EXPECT_EQ(text.count(QLatin1Char('\f')), m_report.pageCount() - 1);
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_EQ(html.count(QStringLiteral("<div class=\"page\"")), m_report.pageCount());
    for (int i = 1; i <= 120; ++i) {
        const QString date = QDate(2018, 3, 1).addDays(i).toString("dd.MM.yyyy");
        EXPECT_TRUE(
            squeeze(text).contains(QStringLiteral("Организация %1 %2 %1").arg(i).arg(date)));
        EXPECT_TRUE(html.contains(QStringLiteral(">Организация %1</div>").arg(i)));
        EXPECT_TRUE(html.contains(QStringLiteral(">%1</div>").arg(date)));
    }
    // Columns line up: the deadline column starts at the same place on every row.
    const QStringList lines = text.split(QLatin1Char('\n'));
    QSet<qsizetype> dateColumns;
    for (const QString& line : lines) {
        const auto m = QRegularExpression(QStringLiteral("\\d\\d\\.\\d\\d\\.2018")).match(line);
        if (m.hasMatch())
            dateColumns.insert(m.capturedStart());
    }
    EXPECT_EQ(dateColumns.size(), 1);
}

TEST_F(Exports, HtmlEscapesTexts) {
    TableRowSource source = fixtures::rows(0);
    source.addRow({QStringLiteral("<b>ООО & «Ко»</b>"), QDate(2018, 1, 1), 1, QString()});
    const PreparedReport r =
        prepareReport(fixtures::listTemplate(), {{fixtures::kDataSet, &source}});
    const QString htm = path(QStringLiteral("escaped.html"));
    exportHtml(r, htm);
    const QString html = QString::fromUtf8(fixtures::readFile(htm));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;b&gt;ООО &amp; «Ко»&lt;/b&gt;")));
    EXPECT_FALSE(html.contains(QStringLiteral("<b>ООО")));
}

TEST_F(Exports, UnwritableTargetsFailAndLeaveNothingBehind) {
    const QString missing = path(QStringLiteral("no/such/dir/out"));
    using Fn = void (*)(const PreparedReport&, const QString&, const ProgressFn&);
    const struct {
        const char* what;
        Fn fn;
    } exports[] = {
        {"pdf", exportPdf}, {"xlsx", exportXlsx}, {"txt", exportText}, {"html", exportHtml}};
    for (const auto& e : exports) {
        SCOPED_TRACE(e.what);
        try {
            e.fn(m_report, missing, {});
            ADD_FAILURE() << "written";
        } catch (const ExportError& error) {
            EXPECT_TRUE(error.message().contains(missing)) << error.message().toStdString();
        }
    }
    // A target in a read-only folder stays as it was.
    const QString locked = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    const QString existing = locked + QStringLiteral("/old.xlsx");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(locked).isWritable()) { // running as root ignores permissions
        for (const auto& e : exports) {
            SCOPED_TRACE(e.what);
            EXPECT_THROW(e.fn(m_report, existing, {}), ExportError);
            EXPECT_EQ(fixtures::readFile(existing), QByteArray("old"));
        }
    }
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(Exports, CancelledExportKeepsTheOldFile) {
    const QString file = path(QStringLiteral("keep.pdf"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    const ProgressFn cancelAtOnce = [](int, int) { return false; };
    EXPECT_THROW(exportPdf(m_report, file, cancelAtOnce), Cancelled);
    EXPECT_THROW(exportXlsx(m_report, file, cancelAtOnce), Cancelled);
    EXPECT_THROW(exportText(m_report, file, cancelAtOnce), Cancelled);
    EXPECT_THROW(exportHtml(m_report, file, cancelAtOnce), Cancelled);
    EXPECT_EQ(fixtures::readFile(file), QByteArray("old"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(Exports, PrinterKeepsThePaperChosenAndFitsThePageOnIt) {
    const QString file = path(QStringLiteral("a5.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printReport(m_report, printer);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {file});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    // A5 is 420 x 595 points.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Page size:\\s+4(19|20)(\\.\\d+)? x 595"))
                    .match(out)
                    .hasMatch())
        << out.toStdString();
    const QString text = squeeze(fixtures::pdfText(file));
    EXPECT_TRUE(text.contains(QStringLiteral("Организация 120")));
    EXPECT_TRUE(text.contains(QStringLiteral("Страница 1 из")));
}
