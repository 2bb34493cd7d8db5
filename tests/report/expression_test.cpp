#include "report/expression.h"
#include "report/row_source.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace report;

TEST(Expression, TextsOfFieldsPagesAndDates) {
    TableRowSource source({QStringLiteral("NAME"), QStringLiteral("DT_ACTION"),
                           QStringLiteral("DT_ADD"), QStringLiteral("N"), QStringLiteral("X")});
    source.addRow({QStringLiteral("ООО «Ромашка»"), QDate(2018, 3, 31),
                   QDateTime(QDate(2018, 4, 2), QTime(13, 5)), 2.0, 2.5});
    const struct {
        QString text;
        QString dateFormat;
        QString expected;
    } cases[] = {
        {QStringLiteral("Имя: [ds.\"NAME\"]"), {}, QStringLiteral("Имя: ООО «Ромашка»")},
        {QStringLiteral("[DS.\"name\"]"), {}, QStringLiteral("ООО «Ромашка»")},
        {QStringLiteral("[ds.\"DT_ACTION\"]"), {}, QStringLiteral("31.03.2018")},
        {QStringLiteral("[ds.\"DT_ACTION\"]"), QStringLiteral("d MMM yy"),
         QStringLiteral("31 Mar 18")},
        {QStringLiteral("[ds.\"DT_ADD\"]"), {}, QStringLiteral("02.04.2018 13:05")},
        {QStringLiteral("[ds.\"DT_ADD\"]"), QStringLiteral("dd.MM"), QStringLiteral("02.04")},
        {QStringLiteral("[ds.\"N\"] [ds.\"X\"]"), {}, QStringLiteral("2 2.50")},
        {QStringLiteral("[ds.\"NO_SUCH_FIELD\"]!"), {}, QStringLiteral("!")},
        {QStringLiteral("[other.\"NAME\"]"), {}, QStringLiteral("")},
        {QStringLiteral("Стр. [Page] из [TotalPages]"), {}, QStringLiteral("Стр. 3 из 7")},
        {QStringLiteral("[Date]"), {}, QStringLiteral("05.06.2019")},
        {QStringLiteral("[Date]"), QStringLiteral("yyyy-MM-dd"), QStringLiteral("2019-06-05")},
        {QStringLiteral("[Line] [Count]"), {}, QStringLiteral("4 9")},
        {QStringLiteral("[1] [не выражение] [ds.\"NAME\""),
         {},
         QStringLiteral("[1] [не выражение] [ds.\"NAME\"")},
        {QStringLiteral("[ds.\"A]B\"]"), {}, QStringLiteral("")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Expression e(c.text);
        e.bind(QStringLiteral("ds"), &source);
        Expression::Context ctx;
        ctx.source = &source;
        ctx.row = 0;
        ctx.page = 3;
        ctx.totalPages = 7;
        ctx.date = QDate(2019, 6, 5);
        ctx.line = 4;
        ctx.count = 9;
        ctx.dateFormat = c.dateFormat;
        EXPECT_EQ(e.evaluate(ctx), c.expected);
    }
}

TEST(Expression, KnowsWhatItNeeds) {
    TableRowSource source({QStringLiteral("A"), QStringLiteral("B")});
    Expression single(QStringLiteral("[ds.\"b\"]"));
    single.bind(QStringLiteral("DS"), &source);
    EXPECT_EQ(single.singleFieldIndex(), 1);
    EXPECT_FALSE(single.isConstant());

    Expression constant(QStringLiteral("Организация"));
    EXPECT_TRUE(constant.isConstant());
    EXPECT_EQ(constant.singleFieldIndex(), -1);

    Expression pages(QStringLiteral("[Page]/[TotalPages]"));
    EXPECT_TRUE(pages.hasPageTokens());
    EXPECT_EQ(pages.evaluate({}), kTotalPagesMark.mid(0).prepend(QStringLiteral("/")));

    Expression sums(QStringLiteral("[Sum(<ds.\"A\">, MasterData1)] [SUM(ds.\"B\")]"));
    sums.bind(QStringLiteral("ds"), &source);
    EXPECT_EQ(sums.sumFields(), (QVector<int>{0, 1}));
    const QVector<double> values{3, 4.25};
    Expression::Context ctx;
    ctx.sums = &values;
    EXPECT_EQ(sums.evaluate(ctx), QStringLiteral("3 4.25"));
}
