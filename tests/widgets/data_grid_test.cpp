#include "core/form_state.h"
#include "core/ini_file.h"
#include "grid_fixture.h"
#include "support/scripted_dialogs.h"
#include "widgets/data_grid.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

class DataGridTest : public ReportsDatabase {
protected:
    void SetUp() override {
        ReportsDatabase::SetUp();
        m_ds = reports(200);
        m_model = std::make_unique<DatasetModel>(m_ds.get(), reportColumns());
        m_grid = std::make_unique<DataGrid>(m_model.get(), &m_dialogs);
        m_grid->resize(900, 400);
        m_grid->show();
        m_ds->open();
        QApplication::processEvents();
    }
    void TearDown() override {
        m_grid.reset();
        m_model.reset();
        m_ds.reset();
    }

    QPoint cellCentre(int row, int column) const {
        return m_grid->visualRect(m_model->index(row, column)).center();
    }
    QPoint titleCentre(int column) const {
        const QHeaderView* header = m_grid->horizontalHeader();
        return {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                header->height() / 2};
    }

    ScriptedDialogs m_dialogs;
    std::unique_ptr<fb::Dataset> m_ds;
    std::unique_ptr<DatasetModel> m_model;
    std::unique_ptr<DataGrid> m_grid;
};

using Layout = QMap<QString, ColumnState>;

// What the window system delivers for a double click: press, release, press, double click,
// release.
void doubleClick(QWidget* widget, const QPoint& at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mousePress(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

} // namespace

TEST_F(DataGridTest, SelectionAndCurrentRowFollowEachOther) {
    // Opening selects the first row.
    EXPECT_EQ(m_ds->currentRow(), 0);
    EXPECT_EQ(m_grid->selectedRow(), 0);

    // The dataset moves: the grid follows and shows the row.
    m_ds->setCurrentRow(150);
    EXPECT_EQ(m_grid->selectedRow(), 150);
    EXPECT_TRUE(m_grid->selectionModel()->isRowSelected(150, QModelIndex()));
    EXPECT_EQ(m_grid->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(m_grid->viewport()->rect().contains(cellCentre(150, 0)));

    // The user clicks a row, then walks with the keyboard.
    m_ds->setCurrentRow(0);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellCentre(3, 1));
    EXPECT_EQ(m_ds->currentRow(), 3);
    EXPECT_EQ(m_ds->fieldValue(QStringLiteral("NAME")).toString(), QStringLiteral("Отчёт 00004"));
    m_grid->setFocus();
    QTest::keyClick(m_grid.get(), Qt::Key_Down);
    EXPECT_EQ(m_ds->currentRow(), 4);
    EXPECT_EQ(m_grid->selectedRow(), 4);

    // Ctrl+click on the selected row keeps the selection.
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCentre(4, 0));
    EXPECT_EQ(m_grid->selectedRow(), 4);

    // A local sort and a filter keep the row; closing clears the selection.
    m_ds->setSort(QStringLiteral("NAME"), false);
    EXPECT_EQ(m_ds->fieldValue(QStringLiteral("NAME")).toString(), QStringLiteral("Отчёт 00005"));
    EXPECT_EQ(m_grid->selectedRow(), m_ds->currentRow());
    m_ds->close();
    EXPECT_EQ(m_grid->selectedRow(), -1);
    m_ds->clearSort();
    m_ds->open();
    EXPECT_EQ(m_grid->selectedRow(), 0);

    // With two rows left, a click below them keeps the selection too.
    m_ds->setFilter([](const fb::Dataset& d, int source) {
        return d.sourceValue(source, QStringLiteral("ID")).toInt() <= 2;
    });
    m_ds->setCurrentRow(1);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {},
                      QPoint(20, m_grid->viewport()->height() - 5));
    EXPECT_EQ(m_grid->selectedRow(), 1);
    EXPECT_EQ(m_ds->currentRow(), 1);
}

TEST_F(DataGridTest, LooksAndBehavesAsAReadOnlyRowGrid) {
    EXPECT_EQ(m_grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(m_grid->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(m_grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(m_grid->horizontalHeader()->sectionsMovable());
    EXPECT_EQ(m_grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    // The selection keeps its colours without the focus.
    const QPalette pal = m_grid->palette();
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::Highlight),
              pal.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(pal.color(QPalette::Inactive, QPalette::HighlightedText),
              pal.color(QPalette::Active, QPalette::HighlightedText));
    // The arrow sits in the top-left corner, left of the first title.
    const QRect arrow = m_grid->columnChooserButton()->geometry();
    EXPECT_TRUE(m_grid->columnChooserButton()->isVisible());
    EXPECT_LE(arrow.right(), m_grid->horizontalHeader()->geometry().left());
    EXPECT_EQ(arrow.height(), m_grid->horizontalHeader()->height());
}

TEST_F(DataGridTest, HighlightedRowTakesItsColourAsText) {
    const QColor pink(255, 200, 190);
    m_model->setRowColours([&](const fb::Dataset& d, int row) {
        return d.value(row, QStringLiteral("DEL")).toInt() == 1 ? GridRowColours::marked(pink)
                                                                : GridRowColours{};
    });
    auto* delegate = qobject_cast<RowColourDelegate*>(m_grid->itemDelegate());
    ASSERT_NE(delegate, nullptr);

    struct Case {
        int row;
        bool selected;
        QColor background; // invalid: none of its own
        QColor highlightedText;
    };
    const QColor normalHighlightedText = m_grid->palette().color(QPalette::HighlightedText);
    const Case cases[] = {
        {4, false, pink, normalHighlightedText}, // archived report 5, not selected
        {4, true, QColor(), pink},               // archived and selected: pink text
        {0, false, QColor(), normalHighlightedText},
        {0, true, QColor(), normalHighlightedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("row %1 selected %2").arg(c.row).arg(c.selected).toStdString());
        QStyleOptionViewItem base;
        base.initFrom(m_grid.get());
        base.palette = m_grid->palette();
        base.state |= QStyle::State_HasFocus;
        if (c.selected)
            base.state |= QStyle::State_Selected;
        const QStyleOptionViewItem option =
            delegate->styleOptionFor(m_model->index(c.row, 0), base);
        EXPECT_EQ(option.backgroundBrush.style() != Qt::NoBrush, c.background.isValid());
        if (c.background.isValid())
            EXPECT_EQ(option.backgroundBrush.color(), c.background);
        for (auto group : {QPalette::Active, QPalette::Inactive})
            EXPECT_EQ(option.palette.color(group, QPalette::HighlightedText), c.highlightedText);
        EXPECT_FALSE(option.state & QStyle::State_HasFocus);
    }

    // And on screen: row 5 unselected is pink; selected it keeps the selection colour with pink
    // letters, also after the grid lost the focus.
    auto pixelRight = [&](int row) {
        const QRect cell = m_grid->visualRect(m_model->index(row, 0));
        const QImage image = m_grid->viewport()->grab().toImage();
        return image.pixelColor(cell.right() - 4, cell.center().y());
    };
    EXPECT_EQ(pixelRight(4), pink);
    m_ds->setCurrentRow(4);
    m_grid->clearFocus();
    QApplication::processEvents();
    const QColor highlight = m_grid->palette().color(QPalette::Highlight);
    EXPECT_EQ(pixelRight(4), highlight);
    const QRect cell = m_grid->visualRect(m_model->index(4, 0));
    const QImage image = m_grid->viewport()->grab().toImage();
    int pinkish = 0;
    for (int x = cell.left(); x < cell.right(); ++x) {
        for (int y = cell.top(); y < cell.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - pink.red()) + std::abs(c.green() - pink.green()) +
                    std::abs(c.blue() - pink.blue()) <
                40)
                ++pinkish;
        }
    }
    EXPECT_GT(pinkish, 5) << "the letters of the selected archived row are pink";
}

TEST_F(DataGridTest, ColumnChooserRefusesToHideEveryColumn) {
    int rounds = 0;
    m_dialogs.onExec(QStringLiteral("ColumnChooserDialog"), [&](QDialog& dialog) {
        auto& chooser = static_cast<ColumnChooserDialog&>(dialog);
        EXPECT_EQ(chooser.windowTitle(), QStringLiteral("Настройка видимых колонок"));
        EXPECT_EQ(chooser.count(), 5);
        EXPECT_EQ(chooser.caption(0), QStringLiteral("Наименование отчётности"));
        EXPECT_EQ(chooser.checkedStates(), QList<bool>({true, true, true, true, true}));
        for (int i = 0; i < chooser.count(); ++i)
            chooser.setChecked(i, false);
        chooser.accept();
        ++rounds;
        EXPECT_NE(chooser.result(), QDialog::Accepted) << "it stays open";
        chooser.setChecked(3, true); // only the periodicity
        chooser.accept();
        EXPECT_EQ(chooser.result(), QDialog::Accepted);
        return chooser.result();
    });

    // The arrow in the corner opens the chooser.
    m_grid->columnChooserButton()->click();
    EXPECT_EQ(rounds, 1);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    const MessageRequest warning = m_dialogs.lastMessage();
    EXPECT_EQ(warning.text, QStringLiteral("Хотя бы одна колонка должна быть видимой"));
    EXPECT_EQ(warning.caption, QStringLiteral("Настройка видимых колонок"));
    EXPECT_EQ(warning.icon, MsgIcon::Warning);
    EXPECT_EQ(warning.buttons, MsgButtons::Ok);
    EXPECT_EQ(m_grid->visualFields(),
              QStringList({"NAME", "DAY_ACTION", "DAY_ACTION_12", "CYCLING", "DEL"}));
    for (const QString& field : {"NAME", "DAY_ACTION", "DAY_ACTION_12", "DEL"})
        EXPECT_FALSE(m_grid->isColumnVisible(field)) << field.toStdString();
    EXPECT_TRUE(m_grid->isColumnVisible(QStringLiteral("CYCLING")));

    // The chooser lists the columns as shown; ticking a hidden one back gives its design width.
    m_grid->horizontalHeader()->moveSection(4, 0); // DEL first
    m_dialogs.onExec(QStringLiteral("ColumnChooserDialog"), [&](QDialog& dialog) {
        auto& chooser = static_cast<ColumnChooserDialog&>(dialog);
        EXPECT_EQ(chooser.caption(0), QStringLiteral("Активность"));
        EXPECT_EQ(chooser.checkedStates(), QList<bool>({false, false, false, false, true}));
        chooser.setChecked(0, true);
        chooser.accept();
        return chooser.result();
    });
    EXPECT_TRUE(m_grid->chooseColumns());
    EXPECT_TRUE(m_grid->isColumnVisible(QStringLiteral("DEL")));
    EXPECT_GT(m_grid->columnWidth(4), 20);

    // Cancel changes nothing.
    m_dialogs.onExec(QStringLiteral("ColumnChooserDialog"), [](QDialog& dialog) {
        static_cast<ColumnChooserDialog&>(dialog).setChecked(0, false);
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(m_grid->chooseColumns());
    EXPECT_TRUE(m_grid->isColumnVisible(QStringLiteral("DEL")));
    EXPECT_EQ(m_dialogs.execs().size(), 3);
}

TEST_F(DataGridTest, ColumnLayoutRoundTrip) {
    const QHeaderView* header = m_grid->horizontalHeader();
    m_grid->horizontalHeader()->moveSection(header->visualIndex(3), 0); // CYCLING first
    m_grid->setColumnWidth(0, 321);
    m_grid->setColumnVisible(QStringLiteral("DAY_ACTION_12"), false);
    const Layout saved = m_grid->columnLayout();
    EXPECT_EQ(saved.value("CYCLING"), (ColumnState{0, m_grid->columnWidth(3)}));
    EXPECT_EQ(saved.value("NAME"), (ColumnState{1, 321}));
    EXPECT_EQ(saved.value("DAY_ACTION_12"), (ColumnState{3, -1}));

    // Through the settings file and into a fresh grid.
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("Sroko.ini")));
    FormState state;
    m_grid->saveTo(state, QStringLiteral("DBGrid_BuhAccount"));
    FormStateStorage(ini, QStringLiteral("BUH_ACCOUNT\\")).save(state);
    const FormState loaded = FormStateStorage(ini, QStringLiteral("BUH_ACCOUNT\\")).load();

    DatasetModel model(m_ds.get(), reportColumns());
    DataGrid fresh(&model, &m_dialogs);
    fresh.restoreFrom(loaded, QStringLiteral("DBGrid_BuhAccount"));
    EXPECT_EQ(fresh.columnLayout(), saved);
    EXPECT_EQ(fresh.visualFields(),
              QStringList({"CYCLING", "NAME", "DAY_ACTION", "DAY_ACTION_12", "DEL"}));
    EXPECT_FALSE(fresh.isColumnVisible(QStringLiteral("DAY_ACTION_12")));

    // Nothing stored for the grid: the design.
    DataGrid design(&model, &m_dialogs);
    const Layout designed = design.columnLayout();
    design.applyColumnLayout(m_grid->columnLayout());
    design.restoreFrom(FormState(), QStringLiteral("DBGrid_BuhAccount"));
    EXPECT_EQ(design.columnLayout(), designed);
}

TEST_F(DataGridTest, AppliedLayoutsKeepTheDesignOfColumnsNotStored) {
    const Layout design = m_grid->columnLayout();
    auto width = [&](const char* field) { return design.value(field).width; };

    struct Case {
        const char* name;
        Layout stored;
        QStringList order;
        QMap<QString, int> widths; // -1 hidden
    };
    const Case cases[] = {
        {"reversed order, all stored",
         {{"NAME", {4, 50}},
          {"DAY_ACTION", {3, 60}},
          {"DAY_ACTION_12", {2, 70}},
          {"CYCLING", {1, 80}},
          {"DEL", {0, 90}}},
         {"DEL", "CYCLING", "DAY_ACTION_12", "DAY_ACTION", "NAME"},
         {{"NAME", 50}, {"DEL", 90}}},
        {"a column added after the layout was stored keeps its designed place and width",
         {{"NAME", {0, 150}}, {"DAY_ACTION_12", {1, 70}}, {"CYCLING", {2, 80}}, {"DEL", {3, 90}}},
         {"NAME", "DAY_ACTION", "DAY_ACTION_12", "CYCLING", "DEL"},
         {{"NAME", 150}, {"DAY_ACTION", width("DAY_ACTION")}}},
        {"on a tie the column not stored keeps its designed place",
         {{"DEL", {0, 90}}, {"NAME", {2, -1}}},
         {"DEL", "DAY_ACTION", "DAY_ACTION_12", "NAME", "CYCLING"},
         {{"NAME", -1}, {"DEL", 90}, {"CYCLING", width("CYCLING")}}},
        {"unknown fields and positions beyond the end are harmless",
         {{"COMMENTS", {0, 40}}, {"NAME", {99, 120}}},
         {"DAY_ACTION", "DAY_ACTION_12", "CYCLING", "DEL", "NAME"},
         {{"NAME", 120}}},
        {"an empty layout is the design",
         {},
         {"NAME", "DAY_ACTION", "DAY_ACTION_12", "CYCLING", "DEL"},
         {{"NAME", width("NAME")}, {"DEL", width("DEL")}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Start from something else each time: the result must not depend on it.
        m_grid->horizontalHeader()->moveSection(0, 4);
        m_grid->setColumnHidden(1, true);
        m_grid->applyColumnLayout(c.stored);
        EXPECT_EQ(m_grid->visualFields(), c.order);
        for (auto it = c.widths.cbegin(); it != c.widths.cend(); ++it) {
            SCOPED_TRACE(it.key().toStdString());
            if (it.value() < 0) {
                EXPECT_FALSE(m_grid->isColumnVisible(it.key()));
            } else {
                EXPECT_TRUE(m_grid->isColumnVisible(it.key()));
                EXPECT_EQ(m_grid->columnWidth(m_grid->columnOf(it.key())), it.value());
            }
        }
        EXPECT_TRUE(m_grid->isColumnVisible(QStringLiteral("DAY_ACTION")));
    }
}

TEST_F(DataGridTest, TitleClicksRowDoubleClicksAndContextMenu) {
    QSignalSpy clicked(m_grid.get(), &DataGrid::titleClicked);
    QSignalSpy doubleClicked(m_grid.get(), &DataGrid::titleDoubleClicked);
    QSignalSpy rowDoubleClicked(m_grid.get(), &DataGrid::rowDoubleClicked);
    QWidget* titles = m_grid->horizontalHeader()->viewport();

    QTest::mouseClick(titles, Qt::LeftButton, {}, titleCentre(3));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.last().at(0).toString(), QStringLiteral("CYCLING"));
    EXPECT_EQ(m_ds->currentRow(), 0) << "a title click selects no column";

    // Titles follow their columns when they are moved.
    m_grid->horizontalHeader()->moveSection(3, 0);
    clicked.clear();
    doubleClick(titles, titleCentre(1));
    ASSERT_EQ(doubleClicked.count(), 1);
    EXPECT_EQ(doubleClicked.last().at(0).toString(), QStringLiteral("DAY_ACTION"));
    ASSERT_EQ(clicked.count(), 1) << "the second press of a double click is no click";
    EXPECT_EQ(clicked.last().at(0).toString(), QStringLiteral("DAY_ACTION"));

    doubleClick(m_grid->viewport(), cellCentre(7, 0));
    ASSERT_EQ(rowDoubleClicked.count(), 1);
    EXPECT_EQ(rowDoubleClicked.last().at(0).toInt(), 7);

    // A right click makes the row under the mouse current, then opens the menu.
    QMenu menu;
    menu.addAction(QStringLiteral("Сдать отчёт ..."));
    QSignalSpy aboutToShow(&menu, &QMenu::aboutToShow);
    m_grid->setContextMenu(&menu);
    const QPoint at = cellCentre(9, 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, m_grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(m_grid->viewport(), &event);
    EXPECT_EQ(m_ds->currentRow(), 9);
    EXPECT_EQ(aboutToShow.count(), 1);
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}
