#include "report/engine.h"
#include "report/report.h"
#include "report_fixtures.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

QList<DataSetBinding> bind(const RowSource& source) {
    return {{fixtures::kDataSet, &source}};
}

// The texts of the items made from one template object name's style, page by page.
QStringList textsOf(const PreparedReport& r, const QString& objectName, int page = -1) {
    QStringList out;
    for (int p = 0; p < r.pageCount(); ++p) {
        if (page >= 0 && p != page)
            continue;
        for (const PreparedItem& item : r.pages[p].items) {
            if (item.style->name == objectName)
                out.push_back(item.text());
        }
    }
    return out;
}

double bodyBottom(const PreparedReport& r) {
    const auto& t = *r.source;
    return t.page.sizeMm().height() - t.page.marginsMm.bottom();
}

} // namespace

TEST(Engine, RowsFlowOverPagesWithHeadersOnEachPage) {
    const TableRowSource source = fixtures::rows(200);
    const PreparedReport r = prepareReport(fixtures::listTemplate(), bind(source));
    ASSERT_GT(r.pageCount(), 3);
    // Every row once, in order.
    const QStringList names = textsOf(r, QStringLiteral("Memo_Name"));
    ASSERT_EQ(names.size(), 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(names[i], QStringLiteral("Организация %1").arg(i + 1));
    for (int p = 0; p < r.pageCount(); ++p) {
        SCOPED_TRACE(p);
        // The page header with the final page count and the column captions on every page.
        EXPECT_EQ(textsOf(r, QStringLiteral("Memo_Head"), p),
                  QStringList{QStringLiteral("Страница %1 из %2").arg(p + 1).arg(r.pageCount())});
        EXPECT_EQ(textsOf(r, QStringLiteral("Cap1"), p).size(), 1);
        double headerBottom = 0;
        for (const PreparedItem& item : r.pages[p].items) {
            if (item.style->name == QLatin1String("Cap1"))
                headerBottom = item.rect.bottom();
        }
        // Rows lie whole inside the page body, below the captions.
        for (const PreparedItem& item : r.pages[p].items) {
            if (item.style->name != QLatin1String("Memo_Name"))
                continue;
            EXPECT_GE(item.rect.top(), headerBottom - 0.01);
            EXPECT_LE(item.rect.bottom(), bodyBottom(r) + 0.01);
        }
    }
    EXPECT_EQ(textsOf(r, QStringLiteral("Memo_Title")).size(), 1);
    EXPECT_EQ(textsOf(r, QStringLiteral("Memo_Total")),
              QStringList{QStringLiteral("Всего строк: 200, сумма: 20100")});
}

TEST(Engine, LongTextsStretchTheirRowAndTheRowStaysAGrid) {
    TableRowSource source = fixtures::rows(0);
    const QString longName = QStringLiteral("Общество с ограниченной ответственностью ") +
                             QStringLiteral("«Очень длинное название организации» ").repeated(6);
    source.addRow({longName, QDate(2018, 1, 1), 1, QString()});
    source.addRow({QStringLiteral("Короткое"), QDate(2018, 1, 2), 2, QString()});
    const PreparedReport r = prepareReport(fixtures::listTemplate(), bind(source));
    const PreparedItem* name = nullptr;
    const PreparedItem* date = nullptr;
    const PreparedItem* next = nullptr;
    for (const PreparedItem& item : r.pages[0].items) {
        if (item.style->name == QLatin1String("Memo_Name") && !name)
            name = &item;
        else if (item.style->name == QLatin1String("Memo_Name"))
            next = &item;
        if (item.style->name == QLatin1String("Memo_Date") && !date)
            date = &item;
    }
    ASSERT_TRUE(name && date && next);
    EXPECT_GT(name->lines.size(), 2);
    EXPECT_FALSE(name->clip);
    // Wrapped, nothing lost.
    EXPECT_EQ(name->lines.join(QLatin1Char(' ')).simplified(), longName.simplified());
    EXPECT_GT(name->rect.height(), 5.0 * 2);
    EXPECT_DOUBLE_EQ(date->rect.height(), name->rect.height());
    EXPECT_NEAR(next->rect.top(), name->rect.bottom(), 0.01);
}

TEST(Engine, ARowTallerThanAPageContinuesOnTheNextPage) {
    TableRowSource source = fixtures::rows(0);
    QStringList words;
    for (int i = 0; i < 400; ++i)
        words.push_back(QStringLiteral("слово%1").arg(i));
    source.addRow({words.join(QLatin1Char(' ')), QDate(2018, 1, 1), 1, QString()});
    const PreparedReport r = prepareReport(fixtures::listTemplate(), bind(source));
    ASSERT_GE(r.pageCount(), 2);
    QString all;
    for (const QString& part : textsOf(r, QStringLiteral("Memo_Name"))) {
        all += part + QLatin1Char(' ');
    }
    EXPECT_EQ(all.simplified(), words.join(QLatin1Char(' ')));
    for (const PreparedPage& page : r.pages) {
        for (const PreparedItem& item : page.items)
            EXPECT_LE(item.rect.bottom(), bodyBottom(r) + 0.01);
    }
}

TEST(Engine, GroupBandsOpenAndCloseWhereTheValueChanges) {
    ReportTemplate t = fixtures::listTemplate();
    Band header{BandKind::GroupHeader, QStringLiteral("GroupHeader1"), 5};
    header.groupCondition = QStringLiteral("[frxDBD_List.\"GRP\"]");
    header.objects.push_back(fixtures::text(QStringLiteral("Memo_Group"), {0, 0, 190, 5},
                                            QStringLiteral("[frxDBD_List.\"GRP\"]")));
    Band footer{BandKind::GroupFooter, QStringLiteral("GroupFooter1"), 5};
    footer.objects.push_back(fixtures::text(
        QStringLiteral("Memo_GroupTotal"), {0, 0, 190, 5},
        QStringLiteral("Итого [frxDBD_List.\"GRP\"]: [Count] / [Sum(frxDBD_List.\"AMOUNT\")]")));
    t.bands.insert(3, header);
    t.bands.insert(5, footer);
    const TableRowSource source = fixtures::rows(25);
    const PreparedReport r = prepareReport(t, bind(source));
    EXPECT_EQ(textsOf(r, QStringLiteral("Memo_Group")),
              (QStringList{QStringLiteral("Группа 1"), QStringLiteral("Группа 2"),
                           QStringLiteral("Группа 3")}));
    EXPECT_EQ(textsOf(r, QStringLiteral("Memo_GroupTotal")),
              (QStringList{QStringLiteral("Итого Группа 1: 10 / 55"),
                           QStringLiteral("Итого Группа 2: 10 / 155"),
                           QStringLiteral("Итого Группа 3: 5 / 115")}));
    // Order on the page: header, its rows, footer.
    QStringList order;
    for (const PreparedItem& item : r.pages[0].items) {
        if (item.style->name == QLatin1String("Memo_Group") ||
            item.style->name == QLatin1String("Memo_GroupTotal") ||
            item.style->name == QLatin1String("Memo_Name"))
            order.push_back(item.text());
    }
    EXPECT_EQ(order.indexOf(QStringLiteral("Группа 2")), 1 + 10 + 1);
    EXPECT_EQ(order.indexOf(QStringLiteral("Организация 11")), 1 + 10 + 1 + 1);
}

TEST(Engine, FieldsTheDataSetLacksPrintEmpty) {
    ReportTemplate t = fixtures::listTemplate();
    t.findObject(QStringLiteral("Memo_Name"))->text =
        QStringLiteral("<[frxDBD_List.\"NO_SUCH\"]>[frxDBD_Other.\"NAME\"]");
    const TableRowSource source = fixtures::rows(3);
    const PreparedReport r = prepareReport(t, bind(source));
    EXPECT_EQ(textsOf(r, QStringLiteral("Memo_Name")),
              (QStringList{QStringLiteral("<>"), QStringLiteral("<>"), QStringLiteral("<>")}));
}

TEST(Engine, UnboundDataSetGivesNoRowsAndEmptyTemplateOnePage) {
    const TableRowSource source = fixtures::rows(3);
    const PreparedReport unbound =
        prepareReport(fixtures::listTemplate(), {{QStringLiteral("other"), &source}});
    EXPECT_TRUE(textsOf(unbound, QStringLiteral("Memo_Name")).isEmpty());
    const PreparedReport empty = prepareReport(ReportTemplate(), bind(source));
    EXPECT_EQ(empty.pageCount(), 1);
    EXPECT_TRUE(empty.pages[0].items.isEmpty());
}

TEST(Engine, ProgressCanCancel) {
    const TableRowSource source = fixtures::rows(3000);
    int calls = 0;
    PrepareOptions options;
    options.progress = [&](int done, int total) {
        EXPECT_EQ(total, 3000);
        EXPECT_LE(done, total);
        return ++calls < 3;
    };
    EXPECT_THROW(prepareReport(fixtures::listTemplate(), bind(source), options), Cancelled);
    EXPECT_EQ(calls, 3);
}

TEST(Engine, PageFooterAndColumnFooterOnEveryPage) {
    ReportTemplate t = fixtures::listTemplate();
    Band columnFooter{BandKind::ColumnFooter, QStringLiteral("ColumnFooter1"), 5};
    columnFooter.objects.push_back(
        fixtures::text(QStringLiteral("Memo_ColFoot"), {0, 0, 190, 5}, QStringLiteral("…")));
    Band pageFooter{BandKind::PageFooter, QStringLiteral("PageFooter1"), 5};
    pageFooter.objects.push_back(fixtures::text(QStringLiteral("Memo_PageFoot"), {0, 0, 190, 5},
                                                QStringLiteral("[Page] / [TotalPages]")));
    t.bands.push_back(columnFooter);
    t.bands.push_back(pageFooter);
    const TableRowSource source = fixtures::rows(150);
    const PreparedReport r = prepareReport(t, bind(source));
    ASSERT_GT(r.pageCount(), 2);
    for (int p = 0; p < r.pageCount(); ++p) {
        SCOPED_TRACE(p);
        const QStringList foot = textsOf(r, QStringLiteral("Memo_PageFoot"), p);
        EXPECT_EQ(foot, QStringList{QStringLiteral("%1 / %2").arg(p + 1).arg(r.pageCount())});
        double footTop = 1e9, lastRowBottom = 0;
        for (const PreparedItem& item : r.pages[p].items) {
            if (item.style->name == QLatin1String("Memo_PageFoot"))
                footTop = item.rect.top();
            if (item.style->name == QLatin1String("Memo_Name"))
                lastRowBottom = std::max(lastRowBottom, item.rect.bottom());
        }
        EXPECT_NEAR(footTop + 5, bodyBottom(r), 0.01);
        EXPECT_LE(lastRowBottom, footTop + 0.01);
        // The column footer closes the rows of each page that has rows, right below them.
        const bool hasRows = !textsOf(r, QStringLiteral("Memo_Name"), p).isEmpty();
        double colFootTop = -1;
        for (const PreparedItem& item : r.pages[p].items) {
            if (item.style->name == QLatin1String("Memo_ColFoot"))
                colFootTop = item.rect.top();
        }
        EXPECT_EQ(colFootTop >= 0, hasRows);
        if (hasRows)
            EXPECT_NEAR(colFootTop, lastRowBottom, 0.01);
    }
}

TEST(Engine, CrossTableSetsRowsAgainstColumns) {
    ReportTemplate t;
    Band summary{BandKind::ReportSummary, QStringLiteral("ReportSummary1"), 20};
    ReportObject cross;
    cross.kind = ObjectKind::CrossTab;
    cross.name = QStringLiteral("Cross");
    cross.rect = {0, 0, 190, 20};
    cross.crossTab.rowExpr = QStringLiteral("[ds.\"ORG\"]");
    cross.crossTab.columnExpr = QStringLiteral("[ds.\"REP\"]");
    cross.crossTab.cellExpr = QStringLiteral("[ds.\"DT\"] [ds.\"MARK\"]");
    cross.crossTab.cornerText = QStringLiteral("Организации");
    summary.objects.push_back(cross);
    t.bands.push_back(summary);
    TableRowSource source({QStringLiteral("ORG"), QStringLiteral("REP"), QStringLiteral("DT"),
                           QStringLiteral("MARK")});
    source.addRow({QStringLiteral("Бета"), QStringLiteral("НДС"), QDate(2018, 4, 25), "!"});
    source.addRow({QStringLiteral("Альфа"), QStringLiteral("НДС"), QDate(2018, 4, 25), "+"});
    source.addRow({QStringLiteral("Альфа"), QStringLiteral("Баланс"), QDate(2018, 3, 31), ""});
    source.addRow({QStringLiteral("Альфа"), QStringLiteral("НДС"), QDate(2018, 7, 25), ""});
    const PreparedReport r = prepareReport(t, {{QStringLiteral("ds"), &source}});
    ASSERT_EQ(r.pageCount(), 1);
    QStringList cells;
    for (const PreparedItem& item : r.pages[0].items)
        cells.push_back(item.text());
    EXPECT_EQ(cells,
              (QStringList{QStringLiteral("Организации"), QStringLiteral("Баланс"),
                           QStringLiteral("НДС"), QStringLiteral("Альфа"),
                           QStringLiteral("31.03.2018"), QStringLiteral("25.04.2018 +\n25.07.2018"),
                           QStringLiteral("Бета"), QString(), QStringLiteral("25.04.2018 !")}))
        << cells.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(r.table.columns.size(), 3);
    EXPECT_EQ(r.table.rows.size(), 2);
}

TEST(Engine, ExportTableHasColumnsByPositionAndTypedValues) {
    const TableRowSource source = fixtures::rows(3);
    const PreparedReport r = prepareReport(fixtures::listTemplate(), bind(source));
    const ExportTable& table = r.table;
    ASSERT_EQ(table.columns.size(), 3);
    EXPECT_EQ(table.columns[0].caption, QStringLiteral("Организация"));
    EXPECT_EQ(table.columns[1].caption, QStringLiteral("Срок"));
    EXPECT_EQ(table.columns[2].caption, QStringLiteral("Сумма"));
    ASSERT_EQ(table.rows.size(), 3);
    EXPECT_EQ(table.rows[1][0].toString(), QStringLiteral("Организация 2"));
    EXPECT_EQ(table.rows[1][1].toDate(), QDate(2018, 3, 3));
    EXPECT_EQ(table.rows[1][2].toInt(), 2);
    EXPECT_TRUE(table.headerTexts.contains(QStringLiteral("Заголовок\nвторая строка")));
}

TEST(Engine, PrintingDoesNotMoveTheCurrentRow) {
    TableRowSource source = fixtures::rows(30);
    source.setCurrentRow(17);
    Report report;
    report.setTemplate(fixtures::listTemplate());
    report.setDataSet(fixtures::kDataSet, &source);
    EXPECT_EQ(report.prepare().table.rows.size(), 30);
    EXPECT_EQ(source.currentRow(), 17);
}

TEST(Engine, HeadersThatLeaveNoRoomForALineStillEnd) {
    ReportTemplate t = fixtures::listTemplate();
    t.page.paperMm = QSizeF(210, 60); // 40 mm of body, 37.5 mm of them headers
    t.bands[1].heightMm = 31.5;
    TableRowSource source = fixtures::rows(0);
    source.addRow(
        {QStringLiteral("длинное название ").repeated(20), QDate(2018, 1, 1), 1, QString()});
    source.addRow({QStringLiteral("второе"), QDate(2018, 1, 2), 2, QString()});
    const PreparedReport r = prepareReport(t, {{fixtures::kDataSet, &source}});
    EXPECT_LT(r.pageCount(), 10);
    EXPECT_EQ(textsOf(r, QStringLiteral("Memo_Name")).filter(QStringLiteral("второе")).size(), 1);
}
