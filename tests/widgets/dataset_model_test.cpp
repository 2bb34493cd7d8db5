#include "grid_fixture.h"
#include "widgets/data_grid.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBrush>
#include <QDate>
#include <QDateTime>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

class DatasetModelTest : public ReportsDatabase {};

QColor brushColour(const QVariant& value) {
    return value.value<QBrush>().color();
}

} // namespace

TEST_F(DatasetModelTest, FetchesInSteps) {
    auto ds = reports(200);
    DatasetModel model(ds.get(), reportColumns());
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    ds->open();
    EXPECT_EQ(model.rowCount(), 200);
    EXPECT_TRUE(model.canFetchMore(QModelIndex()));
    model.setFetchStep(300);
    model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), 500);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.last().at(1).toInt(), 200);
    EXPECT_EQ(inserted.last().at(2).toInt(), 499);
    EXPECT_EQ(model.index(499, 0).data().toString(), QStringLiteral("Отчёт 00500"));
    while (model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), kReports);
    EXPECT_EQ(model.index(kReports - 1, 0).data().toString(), QStringLiteral("Отчёт 05000"));
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    // Cells have no children to fetch.
    EXPECT_FALSE(model.canFetchMore(model.index(0, 0)));
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST_F(DatasetModelTest, PassesTheModelTesterWhileFetching) {
    QtWarnings warnings;
    auto ds = reports(200);
    DatasetModel model(ds.get(), reportColumns());
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ds->open();
    while (model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), kReports);
    ds->refresh();
    EXPECT_EQ(model.rowCount(), kReports);
    EXPECT_EQ(warnings.messages(), QStringList());
}

TEST_F(DatasetModelTest, FollowsEveryChangeOfTheDataset) {
    QtWarnings warnings;
    auto ds = reports(200);
    DatasetModel model(ds.get(), reportColumns());
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    ds->open();
    EXPECT_EQ(resets.count(), 1);
    ds->fetchAll(); // the tester's own fetching must not mix with the changes below
    inserted.clear();

    // Local filter: archived reports only.
    ds->setFilter([](const fb::Dataset& d, int source) {
        return d.sourceValue(source, QStringLiteral("DEL")).toInt() == 1;
    });
    EXPECT_EQ(model.rowCount(), ds->rowCount());
    EXPECT_EQ(model.index(0, 4).data().toString(), QStringLiteral("В архиве"));
    ds->clearFilter();

    // Local sort reads the whole list.
    ds->setSort(QStringLiteral("NAME"), false);
    EXPECT_EQ(model.rowCount(), kReports);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Отчёт 05000"));
    ds->clearSort();
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Отчёт 00001"));

    // Insert lands after the current row.
    ds->setCurrentRow(2);
    ds->append();
    ds->setFieldValue(QStringLiteral("NAME"), QStringLiteral("Новая отчётность"));
    ds->setFieldValue(QStringLiteral("DAY_ACTION"), 10);
    ds->setFieldValue(QStringLiteral("CYCLING"), 1);
    ds->setFieldValue(QStringLiteral("DAY_WARNING"), 3);
    ds->post();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.last().at(1).toInt(), 3);
    EXPECT_EQ(model.rowCount(), kReports + 1);
    EXPECT_EQ(model.index(3, 0).data().toString(), QStringLiteral("Новая отчётность"));
    EXPECT_EQ(model.index(3, 2).data().toString(), QStringLiteral("-"));
    EXPECT_EQ(model.index(3, 3).data().toString(), QStringLiteral("Квартал"));

    // Edit of the current row changes that row only.
    ds->setCurrentRow(3);
    changed.clear();
    ds->edit();
    ds->setFieldValue(QStringLiteral("DEL"), 1);
    ds->post();
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.last().at(0).toModelIndex().row(), 3);
    EXPECT_EQ(changed.last().at(1).toModelIndex().row(), 3);
    EXPECT_EQ(model.index(3, 4).data().toString(), QStringLiteral("В архиве"));

    // Delete removes it again.
    ds->deleteCurrent();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.last().at(1).toInt(), 3);
    EXPECT_EQ(model.rowCount(), kReports);
    EXPECT_EQ(model.index(3, 0).data().toString(), QStringLiteral("Отчёт 00004"));

    // Refresh keeps what was fetched; close empties.
    ds->refresh();
    EXPECT_EQ(model.rowCount(), ds->rowCount());
    ds->close();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    EXPECT_EQ(warnings.messages(), QStringList());
}

TEST_F(DatasetModelTest, FrozenNoticesKeepTheAnnouncedRowsUntilTheDatasetResets) {
    QtWarnings warnings;
    auto ds = reports(100);
    DatasetModel model(ds.get(), reportColumns());
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ds->open();
    const int announced = model.rowCount();
    ASSERT_LT(announced, kReports);

    ds->disableControls();
    ds->fetchAll();
    EXPECT_EQ(ds->rowCount(), kReports);
    EXPECT_EQ(model.rowCount(), announced); // views have not been told yet
    ds->enableControls();
    EXPECT_EQ(model.rowCount(), kReports);
    EXPECT_EQ(warnings.messages(), QStringList());
}

TEST_F(DatasetModelTest, DisplayRulesAndAlignment) {
    auto ds = reports();
    QList<ColumnDef> columns = reportColumns();
    columns << ColumnDef{QStringLiteral("ID"), QStringLiteral("Код")}
            << ColumnDef{QStringLiteral("NO_SUCH_FIELD"), QStringLiteral("Нет поля")};
    DatasetModel model(ds.get(), columns);
    ds->open();

    struct Case {
        int row; // dataset row: report row + 1
        int column;
        QString text;
    };
    const Case cases[] = {
        {0, 0, QStringLiteral("Отчёт 00001")},
        {0, 1, QStringLiteral("1")},
        {0, 2, QStringLiteral("1")},        // DAY_ACTION_12 set
        {2, 2, QStringLiteral("-")},        // report 3: NULL shows "-"
        {0, 3, QStringLiteral("Квартал")},  // CYCLING 1
        {3, 3, QStringLiteral("Месяц")},    // CYCLING 0
        {2, 3, QString()},                  // CYCLING 3: no such periodicity
        {4, 4, QStringLiteral("В архиве")}, // DEL 1
        {0, 4, QStringLiteral("Активная")},
        {119, 1, QStringLiteral("120")},
        {120, 1, QStringLiteral("0")}, // MOD(121, 121)
        {0, 5, QStringLiteral("1")},
        {0, 6, QString()}, // unknown field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("row %1 column %2").arg(c.row).arg(c.column).toStdString());
        EXPECT_EQ(model.index(c.row, c.column).data().toString(), c.text);
    }
    EXPECT_EQ(model.index(2, 2).data(DatasetModel::FieldValueRole).isValid(), false);
    EXPECT_EQ(model.index(0, 1).data(DatasetModel::FieldValueRole).toInt(), 1);
    EXPECT_EQ(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(model.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(),
              QStringLiteral("Дней до сдачи последнего в году отчёта"));
    EXPECT_EQ(model.columnOf(QStringLiteral("day_action")), 1);
    EXPECT_EQ(model.fieldOf(3), QStringLiteral("CYCLING"));
    EXPECT_EQ(model.columnOf(QStringLiteral("COMMENTS")), -1);
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

TEST_F(DatasetModelTest, ReadyMadeDisplayRules) {
    auto ds = reports();
    auto call = [&](const ColumnDef::DisplayFn& fn, const QVariant& value) {
        return fn(value, *ds, 0);
    };
    const auto dateTime = display::dateTime(QStringLiteral("dd.MM.yyyy hh:mm "));
    EXPECT_EQ(call(dateTime, QDateTime(QDate(2024, 3, 9), QTime(7, 5))),
              QStringLiteral("09.03.2024 07:05 "));
    EXPECT_EQ(call(dateTime, QDate(2024, 12, 31)), QStringLiteral("31.12.2024 00:00 "));
    EXPECT_EQ(call(dateTime, QVariant()), QString());
    const auto codes =
        display::codes({{0, QStringLiteral("Отключена")}, {1, QStringLiteral("Используется")}});
    EXPECT_EQ(call(codes, 1), QStringLiteral("Используется"));
    EXPECT_EQ(call(codes, 7), QString());
    EXPECT_EQ(call(codes, QVariant()), QString());
    const auto dash = display::nullAs(QStringLiteral("-"));
    EXPECT_EQ(call(dash, QVariant()), QStringLiteral("-"));
    EXPECT_EQ(call(dash, 0), QStringLiteral("0"));
}

TEST_F(DatasetModelTest, RowColoursAndTitleColours) {
    auto ds = reports();
    DatasetModel model(ds.get(), reportColumns());
    ds->open();
    EXPECT_FALSE(model.index(4, 0).data(Qt::BackgroundRole).isValid());

    const QColor pink(255, 200, 190);
    const QColor yellow(244, 239, 152), brightYellow(253, 241, 41);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setRowColours([&](const fb::Dataset& d, int row) {
        if (d.value(row, QStringLiteral("DEL")).toInt() == 1)
            return GridRowColours::marked(pink);
        if (d.value(row, QStringLiteral("CYCLING")).toInt() == 2)
            return GridRowColours{yellow, QColor(Qt::darkBlue), brightYellow};
        return GridRowColours{};
    });
    EXPECT_EQ(changed.count(), 1); // everything repaints with the new rule

    // Report 5 is archived, report 2 yearly, report 1 neither.
    EXPECT_EQ(brushColour(model.index(4, 3).data(Qt::BackgroundRole)), pink);
    EXPECT_FALSE(model.index(4, 3).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(model.index(4, 3).data(DatasetModel::HighlightedForegroundRole).value<QColor>(),
              pink);
    EXPECT_EQ(brushColour(model.index(1, 0).data(Qt::BackgroundRole)), yellow);
    EXPECT_EQ(brushColour(model.index(1, 0).data(Qt::ForegroundRole)), QColor(Qt::darkBlue));
    EXPECT_EQ(model.index(1, 0).data(DatasetModel::HighlightedForegroundRole).value<QColor>(),
              brightYellow);
    for (int role : {int(Qt::BackgroundRole), int(Qt::ForegroundRole),
                     int(DatasetModel::HighlightedForegroundRole)})
        EXPECT_FALSE(model.index(0, 0).data(role).isValid()) << role;

    QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::ForegroundRole).isValid());
    model.setTitleColour(QStringLiteral("NAME"), Qt::blue);
    model.setTitleColour(QStringLiteral("NAME"), Qt::blue); // no change, no notice
    ASSERT_EQ(header.count(), 1);
    EXPECT_EQ(header.last().at(1).toInt(), 0);
    EXPECT_EQ(brushColour(model.headerData(0, Qt::Horizontal, Qt::ForegroundRole)),
              QColor(Qt::blue));
    model.setTitleColour(QStringLiteral("NAME"), QColor());
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::ForegroundRole).isValid());
}

TEST_F(DatasetModelTest, AGridOpensALongListWithoutReadingItAll) {
    auto ds = reports(200);
    DatasetModel model(ds.get(), reportColumns());
    DataGrid grid(&model, nullptr);
    grid.resize(600, 300);
    grid.show();
    ds->open();
    QApplication::processEvents();
    EXPECT_LT(ds->rowCount(), 1000);
    EXPECT_TRUE(ds->canFetchMore());

    // Scrolling to the end asks for the next step.
    const int before = model.rowCount();
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_GT(model.rowCount(), before);
    EXPECT_EQ(model.rowCount(), ds->rowCount());

    // Going to the last row reads the rest and selects it.
    ds->fetchAll();
    ds->setCurrentRow(kReports - 1);
    EXPECT_EQ(grid.selectedRow(), kReports - 1);
}

TEST_F(DatasetModelTest, ADatasetThatGoesFirstLeavesAnEmptyModel) {
    QtWarnings warnings;
    auto ds = reports(50);
    DatasetModel model(ds.get(), reportColumns());
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    ds->open();
    ASSERT_GT(model.rowCount(), 0);
    ds.reset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));
    EXPECT_EQ(model.dataset(), nullptr);
    EXPECT_EQ(warnings.messages(), QStringList());
}
