#include "schedule_tab_fixture.h"

#include "books/buh_account_form.h"
#include "books/organization_form.h"
#include "tracking/statistics_panel.h"
#include "widgets/button_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

namespace {

using ScheduleTabTest = ScheduleTabFixture;

const QColor kOverdue(255, 200, 190);
const QColor kWarning(244, 239, 152);
const QColor kSubmitted(213, 244, 210);

QColor background(DatasetModel* model, int row) {
    return model->data(model->index(row, 0), Qt::BackgroundRole).value<QBrush>().color();
}

TEST_F(ScheduleTabTest, StartsClosedWithTheStatisticsBoxAndTheMenuDisabled) {
    EXPECT_FALSE(list().isOpen());
    EXPECT_EQ(m_tab->model->rowCount(), 0);
    EXPECT_EQ(m_tab->findChild<QLineEdit*>(QStringLiteral("Edit_Search")), nullptr);
    popup();
    EXPECT_TRUE(m_tab->PM_BuhAcc_Create->isEnabled());
    for (QAction* a :
         {m_tab->PM_BuhAcc_Set, m_tab->PM_BuhAcc_Cancel, m_tab->MenuItem1, m_tab->PM_BuhAcc_DelAll})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();

    StatisticsPanel* stats = m_tab->Panel_Statistc;
    const struct {
        QLabel* value;
        const char* caption;
        QColor colour;
    } rows[] = {
        {stats->Label_Warning_MinDays, "Предупреждений о скорой сдаче :", QColor(178, 125, 4)},
        {stats->Label_AlarmNeSdan, "Просроченных, не сданных :", QColor(189, 26, 3)},
        {stats->Label_AlarmSdan, "Просроченных, сданных :", QColor(189, 26, 3)},
        {stats->Label_AlarmSdanPodozrit, "Сданных, подозрительных :", QColor(189, 26, 3)},
        {stats->Label_BuhCount, "Всего отфильтрованно отчётов :", QColor(Qt::black)},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.value->text(), QStringLiteral("---"));
        EXPECT_EQ(stats->captionOf(r.value)->text(), QString::fromUtf8(r.caption));
        EXPECT_EQ(r.value->palette().color(QPalette::WindowText), r.colour);
        EXPECT_TRUE(r.value->font().bold());
    }
    EXPECT_EQ(stats->captionOf(stats->Label_AlarmSdanPodozrit)->toolTip(),
              QStringLiteral("Есть отметка о сдаче, но просрочена запись в базе"));
    EXPECT_EQ(stats->palette().color(QPalette::Window), QColor(243, 242, 187));
    EXPECT_EQ(stats->Btn_GetStatisic->text(), QStringLiteral("Получить статистику"));
    EXPECT_EQ(m_tab->model->titleColour(QStringLiteral("DT_ACTION")), QColor(Qt::blue));

    // Statistics before any list.
    QTest::mouseClick(stats->Btn_GetStatisic, Qt::LeftButton);
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Сначала необходимо получить список отчётов - перед получением "
                             "списка, установите необходимые фильтры."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Список отчётов пуст"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
}

TEST_F(ScheduleTabTest, ShowListsTheRowsWithTheirStatusColoursAndDetails) {
    m_tab->PM_BuhAcc_Create->trigger();
    ASSERT_TRUE(list().isOpen());
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
    EXPECT_EQ(shownIdSet(), QSet<int>({1, 2, 3, 4, 5, 6, 7, 9, 10, 11}));
    popup();
    for (QAction* a :
         {m_tab->PM_BuhAcc_Set, m_tab->PM_BuhAcc_Cancel, m_tab->MenuItem1, m_tab->PM_BuhAcc_DelAll})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();

    struct Expect {
        int id;
        const char* status;
        const char* actual;
        QColor colour; // invalid: default
    } rows[] = {
        {1, "В плане", "", QColor()},
        {2, "Предупреждение о скорой сдаче", "", kWarning},
        {3, "Просрочен, не сдан", "!", kOverdue},
        {4, "Сдан вовремя", "20.01.2025", kSubmitted},
        {5, "Сдан, но просрочен", "21.02.2025", kSubmitted},
        {6, "Сдан, но подозрителен", "27.01.2025", kSubmitted},
        {7, "В плане", "", QColor()},
        // Due today: still in time.
        {9, "Предупреждение о скорой сдаче", "", kWarning},
    };
    for (const Expect& e : rows) {
        SCOPED_TRACE(e.id);
        ASSERT_TRUE(goTo(e.id));
        const int row = list().currentRow();
        EXPECT_EQ(cell(row, "ID"), QString::fromUtf8(e.status));
        EXPECT_EQ(cell(row, "DT_ACTUAL"), QString::fromUtf8(e.actual));
        const QVariant bg = m_tab->model->data(m_tab->model->index(row, 0), Qt::BackgroundRole);
        if (e.colour.isValid())
            EXPECT_EQ(background(m_tab->model, row), e.colour);
        else
            EXPECT_FALSE(bg.isValid());
        EXPECT_EQ(detail("Label_Status"), QString::fromUtf8(e.status));
    }

    // The detail panel and the comment follow the current row.
    ASSERT_TRUE(goTo(4));
    EXPECT_EQ(detail("Label_DT_End_Account"), QStringLiteral("4 квартал 2024"));
    EXPECT_EQ(detail("Label_DT_Action"), QStringLiteral("27.01.2025"));
    EXPECT_EQ(detail("Label_DT_Actual"), QStringLiteral("20.01.2025"));
    EXPECT_EQ(detail("Label_Add_Record"), QStringLiteral("20.01.2025 10:00:00"));
    EXPECT_EQ(detail("Label_Cycling"), QStringLiteral("Квартал"));
    EXPECT_EQ(detail("Label_Buh_Account_Name"), QStringLiteral("НДС"));
    EXPECT_EQ(detail("Label_Users_Sdal_Name"), QStringLiteral("admin ( Администратор )"));
    EXPECT_EQ(detail("Label_Organization_Name"), QStringLiteral("ИП Лютик"));
    EXPECT_EQ(m_tab->Memo_BuhAccComments->toPlainText(), QStringLiteral("Сдано через ЭДО"));
    ASSERT_TRUE(goTo(7));
    EXPECT_EQ(detail("Label_Organization_Name"), QString());
    EXPECT_EQ(detail("Label_Users_Sdal_Name"), QString());
    EXPECT_EQ(detail("Label_DT_Actual"), QString());
    EXPECT_EQ(m_tab->Memo_BuhAccComments->toPlainText(), QString());
    EXPECT_EQ(cell(list().currentRow(), "DT_END_ACCOUNT"), QStringLiteral("февр. 2025"));

    // Closing empties the panel.
    m_tab->CB_BuhMonth_End->setCurrentIndex(10);
    EXPECT_FALSE(list().isOpen());
    EXPECT_EQ(detail("Label_Status"), QStringLiteral("-"));
    EXPECT_EQ(m_tab->Memo_BuhAccComments->toPlainText(), QString());
}

TEST_F(ScheduleTabTest, FiltersAndTheirValidationMessages) {
    struct Case {
        const char* name;
        std::function<void()> set;
        const char* text;
        const char* caption;
    };
    const Case cases[] = {
        {"no status",
         [&] {
             for (QCheckBox* box :
                  {m_tab->CB_Buh_NeSdan, m_tab->CB_Buh_Warning, m_tab->CB_Buh_Alarm_NeSdan,
                   m_tab->CB_Buh_Sdan, m_tab->CB_Buh_Alarm_Sdan, m_tab->CB_Buh_Alarm_Podozrenue})
                 box->setChecked(false);
         },
         "Необходимо указать хотя бы один статус требуемых отчётов (сдан, не сдан, просрочен и "
         "тому подобное).",
         "Ошибка выбора параметров"},
        {"no organisation", [&] { m_tab->RBtn_BuhOrg_One->click(); },
         "Не указана организация, для которой необходимо вывести бухгалтерские отчёты.",
         "Ошибка выбора организации"},
        {"March to January",
         [&] {
             m_tab->CB_BuhMonth_Begin->setCurrentIndex(2);
             m_tab->CB_BuhMonth_End->setCurrentIndex(0);
         },
         "Дата начала больше, чем дата окончания отчёта.", "Неверно указаны даты отчёта"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.set();
        show();
        EXPECT_FALSE(list().isOpen());
        ASSERT_EQ(m_dialogs.shown().size(), 1);
        EXPECT_EQ(m_dialogs.lastMessage().text, QString::fromUtf8(c.text));
        EXPECT_EQ(m_dialogs.lastMessage().caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    }
    TearDown();
    SetUp();

    // January to January lists the whole of January.
    m_tab->CB_BuhMonth_End->setCurrentIndex(0);
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({4, 6, 10}));

    // All dates disables the period and lists the previous year too.
    m_tab->RBtn_BuhAllDB->click();
    EXPECT_FALSE(list().isOpen());
    EXPECT_FALSE(m_tab->CB_BuhMonth_Begin->isEnabled());
    EXPECT_FALSE(m_tab->SE_BuhYear_End->isEnabled());
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12}));
    m_tab->RBtn_BuhDT->click();
    EXPECT_TRUE(m_tab->CB_BuhMonth_Begin->isEnabled());
    EXPECT_FALSE(list().isOpen());
}

TEST_F(ScheduleTabTest, OnlyTheFirstStatusBoxAndTheOtherFiltersCloseTheList) {
    show();
    // The other five boxes apply at the next show.
    m_tab->CB_Buh_Warning->click();
    m_tab->CB_Buh_Sdan->click();
    EXPECT_FALSE(m_tab->CB_Buh_Warning->isChecked());
    EXPECT_FALSE(m_tab->CB_Buh_Sdan->isChecked());
    EXPECT_TRUE(list().isOpen());
    EXPECT_EQ(shownIds().size(), 10);
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({1, 3, 5, 6, 7, 10, 11}));
    m_tab->CB_Buh_NeSdan->click();
    EXPECT_FALSE(list().isOpen());
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({3, 5, 6, 10, 11}));

    // Each of these closes the list.
    const std::function<void()> closers[] = {
        [&] { m_tab->SE_BuhYear_Begin->setValue(2024); },
        [&] { m_tab->CB_BuhMonth_Begin->setCurrentIndex(1); },
        [&] { m_tab->RBtn_BuhOrg_One->click(); },
    };
    for (const auto& close : closers) {
        show();
        ASSERT_TRUE(list().isOpen());
        close();
        EXPECT_FALSE(list().isOpen());
    }
    m_tab->RBtn_BuhOrg_All->click();
    EXPECT_FALSE(m_tab->CB_BuhOrg->isEnabled());
}

TEST_F(ScheduleTabTest, PickersChooseTheReportAndTheOrganisation) {
    show();
    // The report picker allows archived reports; a new report closes the list.
    onExec<TBuhAccountForm>(QStringLiteral("TBuhAccountForm"), [](TBuhAccountForm& picker) {
        EXPECT_TRUE(picker.ToolBar_Main->isHidden());
        EXPECT_FALSE(picker.RBtn_None->isEnabled());
        EXPECT_TRUE(picker.RBtn_Any->isChecked());
        EXPECT_TRUE(picker.allowArchived());
        picker.RBtn_Select->click();
        EXPECT_TRUE(picker.qBuhAccount->locate(QStringLiteral("ID"), 3));
        return QDialog::Accepted;
    });
    emit m_tab->CE_BuhAccounts->buttonClicked();
    EXPECT_EQ(m_tab->CE_BuhAccounts->text(), QStringLiteral("Архивный отчёт"));
    EXPECT_EQ(m_tab->reportFilterValue(), 3);
    EXPECT_FALSE(list().isOpen());
    m_tab->RBtn_BuhAllDB->click();
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({12}));

    // Back to any report: the picker preselects the chosen one.
    onExec<TBuhAccountForm>(QStringLiteral("TBuhAccountForm"), [](TBuhAccountForm& picker) {
        EXPECT_TRUE(picker.RBtn_Select->isChecked());
        EXPECT_EQ(picker.selectedId().toInt(), 3);
        picker.RBtn_Any->click();
        return QDialog::Accepted;
    });
    emit m_tab->CE_BuhAccounts->doubleClicked();
    EXPECT_EQ(m_tab->CE_BuhAccounts->text(), QStringLiteral("Любая бухгалтерская отчётность"));
    EXPECT_EQ(m_tab->reportFilterValue(), -1);

    // One organisation: the choice applies at the next show.
    m_tab->RBtn_BuhDT->click();
    m_tab->RBtn_BuhOrg_One->click();
    EXPECT_TRUE(m_tab->CB_BuhOrg->isEnabled());
    EXPECT_EQ(m_tab->CB_BuhOrg->text(), QStringLiteral("Организация не указана"));
    show();
    ASSERT_EQ(m_dialogs.shown().size(), 1); // no organisation yet
    onExec<TOrganization_Form>(QStringLiteral("TOrganization_Form"), [](TOrganization_Form& p) {
        EXPECT_TRUE(p.ToolBar_Main->isHidden());
        EXPECT_FALSE(p.RBtn_Any->isEnabled());
        EXPECT_FALSE(p.RBtn_None->isEnabled());
        EXPECT_TRUE(p.RBtn_Select->isChecked());
        EXPECT_TRUE(p.DataSet_O->locate(QStringLiteral("ID"), 20));
        return QDialog::Accepted;
    });
    emit m_tab->CB_BuhOrg->buttonClicked();
    EXPECT_EQ(m_tab->CB_BuhOrg->text(), QStringLiteral("ИП Лютик"));
    EXPECT_EQ(m_tab->organisationFilterValue(), 20);
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({3, 4, 10, 11}));
    onExec<TOrganization_Form>(QStringLiteral("TOrganization_Form"), [](TOrganization_Form& p) {
        EXPECT_TRUE(p.DataSet_O->locate(QStringLiteral("ID"), 10));
        return QDialog::Accepted;
    });
    emit m_tab->CB_BuhOrg->doubleClicked();
    EXPECT_TRUE(list().isOpen()) << "a new organisation keeps the list until the next show";
    EXPECT_EQ(shownIdSet(), QSet<int>({3, 4, 10, 11}));
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({1, 2, 5, 6, 9}));
}

TEST_F(ScheduleTabTest, TitleClicksSortTheListBothWaysAndANewListKeepsTheSort) {
    show();
    const QString org = QStringLiteral("ORGANIZATION_NAME");
    clickTitle(org);
    EXPECT_EQ(m_tab->model->titleColour(org), QColor(Qt::blue));
    EXPECT_FALSE(m_tab->model->titleColour(QStringLiteral("DT_ACTION")).isValid());
    EXPECT_TRUE(m_tab->sortAscending());
    EXPECT_EQ(shownIds(), QList<int>({7, 4, 10, 11, 3, 6, 5, 9, 2, 1}));
    clickTitle(org);
    EXPECT_FALSE(m_tab->sortAscending());
    EXPECT_EQ(shownIds(), QList<int>({6, 5, 9, 2, 1, 4, 10, 11, 3, 7}));
    // A double click is one more click than the click before it.
    doubleClickTitle(org);
    EXPECT_FALSE(m_tab->sortAscending());
    EXPECT_EQ(shownIds().first(), 6);

    // The first click on the deadline title sorts ascending.
    clickTitle(QStringLiteral("DT_ACTION"));
    EXPECT_TRUE(m_tab->sortAscending());
    EXPECT_FALSE(m_tab->model->titleColour(org).isValid());
    QList<int> ids = shownIds();
    EXPECT_EQ(ids.last(), 1);
    clickTitle(QStringLiteral("DT_ACTION"));
    ids = shownIds();
    EXPECT_EQ(ids.first(), 1);

    // A new list comes in the chosen order.
    clickTitle(QStringLiteral("BUH_ACCOUNT_NAME"));
    show();
    ids = shownIds();
    EXPECT_EQ(ids.mid(0, 4), QList<int>({4, 6, 9, 1})); // НДС before РСВ
    EXPECT_EQ(ids.size(), 10);
}

TEST_F(ScheduleTabTest, DeleteOneAndDeleteAllListedEntries) {
    show();
    ASSERT_TRUE(goTo(5));
    m_dialogs.answer(MsgResult::No);
    EXPECT_TRUE(m_tab->MenuItem1->isEnabled());
    m_tab->MenuItem1->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Вы выбрали удаление отчёта : \n\"РСВ\".\n \nПри удалении отчёта из "
                             "базы данных, восстановить его будет невозможно.\n \nВы "
                             "действительно хотите удалить из базы данных этот отчёт ?"));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Безвозвратное удаление отчёта"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(entryValue(5, "COUNT(*)").toInt(), 1);
    m_dialogs.answer(MsgResult::Yes);
    m_tab->MenuItem1->trigger();
    EXPECT_EQ(entryValue(5, "COUNT(*)").toInt(), 0);
    EXPECT_EQ(shownIds().size(), 9);
    EXPECT_GE(list().currentRow(), 0);

    // Submitted entries only: all of them go, and only they.
    for (QCheckBox* box : {m_tab->CB_Buh_NeSdan, m_tab->CB_Buh_Warning, m_tab->CB_Buh_Alarm_NeSdan})
        box->setChecked(false);
    show();
    EXPECT_EQ(shownIdSet(), QSet<int>({4, 6}));
    m_dialogs.clear();
    m_dialogs.answer(MsgResult::No);
    m_tab->PM_BuhAcc_DelAll->trigger();
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Безвозвратное удаление отчётов"));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Вы выбрали удаление ВСЕХ отфильтрованных сейчас отчётов.\n \nПри "
                             "удалении отчётов из базы данных, восстановить их будет "
                             "невозможно.\n \nВы действительно хотите удалить из базы данных ВСЕ "
                             "отфильтрованные отчёты ?"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")).toInt(), 11);
    // A box ticked after the show does not change what the list holds.
    m_tab->CB_Buh_Warning->setChecked(true);
    m_dialogs.answer(MsgResult::Yes);
    m_tab->PM_BuhAcc_DelAll->trigger();
    EXPECT_EQ(m_dialogs.shown().size(), 2) << "no completion message";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE ID IN (4, 6)")).toInt(),
              0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")).toInt(), 9);
    EXPECT_TRUE(list().isOpen());
    EXPECT_EQ(shownIds().size(), 0);

    // Nothing listed: the item is disabled, and the command itself only says so.
    m_dialogs.clear();
    popup();
    EXPECT_FALSE(m_tab->PM_BuhAcc_DelAll->isEnabled());
    m_tab->PM_BuhAcc_DelAllClick();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Список отчётов пуст. Для вывод отчётов в таблицу этого окна, можно "
                             "попробовать поменять параметры фильтров"));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Сдача отчёта"));
    popup();
    EXPECT_FALSE(m_tab->PM_BuhAcc_DelAll->isEnabled());
}

TEST_F(ScheduleTabTest, FailedDeleteAllSaysTheEnginesTextAndKeepsEveryRow) {
    m_db->exec(QStringLiteral("CREATE EXCEPTION E_KEEP 'Эту запись удалять нельзя';"));
    m_db->exec(QStringLiteral("SET TERM ^ ;"
                              "CREATE TRIGGER KEEP_9 FOR BUH_HISTORY BEFORE DELETE AS BEGIN IF "
                              "(OLD.ID = 9) THEN EXCEPTION E_KEEP; END^"
                              "SET TERM ; ^"));
    show();
    m_dialogs.answer(MsgResult::Yes);
    m_tab->PM_BuhAcc_DelAll->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 2);
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_TRUE(m_dialogs.lastMessage().text.contains(QStringLiteral("Эту запись удалять нельзя")))
        << m_dialogs.lastMessage().text.toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")).toInt(), 12);
    EXPECT_EQ(shownIds().size(), 10);
}

TEST_F(ScheduleTabTest, StatisticsCountTheListWithoutMovingTheCurrentRow) {
    show();
    ASSERT_TRUE(goTo(3));
    const int row = list().currentRow();
    QTest::mouseClick(m_tab->Panel_Statistc->Btn_GetStatisic, Qt::LeftButton);
    StatisticsPanel* s = m_tab->Panel_Statistc;
    EXPECT_EQ(s->Label_Warning_MinDays->text(), QStringLiteral("2"));
    EXPECT_EQ(s->Label_AlarmNeSdan->text(), QStringLiteral("3"));
    EXPECT_EQ(s->Label_AlarmSdan->text(), QStringLiteral("1"));
    EXPECT_EQ(s->Label_AlarmSdanPodozrit->text(), QStringLiteral("1"));
    EXPECT_EQ(s->Label_BuhCount->text(), QStringLiteral("10"));
    EXPECT_EQ(list().currentRow(), row);
    EXPECT_FALSE(m_busy.isShown());

    // Marking the overdue entry leaves the counters until the next count.
    onExec<QDialog>(QStringLiteral("TBuhAccountCheckForm"),
                    [](QDialog&) { return QDialog::Accepted; });
    m_tab->PM_BuhAcc_Set->trigger();
    EXPECT_TRUE(entryValue(3, "DT_ACTUAL").isValid());
    EXPECT_EQ(s->Label_AlarmNeSdan->text(), QStringLiteral("3"));
    QTest::mouseClick(s->Btn_GetStatisic, Qt::LeftButton);
    EXPECT_EQ(s->Label_AlarmNeSdan->text(), QStringLiteral("2"));
    // Submitted today, after its deadline: late.
    EXPECT_EQ(s->Label_AlarmSdan->text(), QStringLiteral("2"));
    EXPECT_EQ(s->Label_AlarmSdanPodozrit->text(), QStringLiteral("1"));
    EXPECT_EQ(s->Label_BuhCount->text(), QStringLiteral("10"));

    // Submitted only: both open counters are 0. A new show resets to "---".
    for (QCheckBox* box : {m_tab->CB_Buh_NeSdan, m_tab->CB_Buh_Warning, m_tab->CB_Buh_Alarm_NeSdan})
        box->setChecked(false);
    show();
    EXPECT_EQ(s->Label_BuhCount->text(), QStringLiteral("---"));
    QTest::mouseClick(s->Btn_GetStatisic, Qt::LeftButton);
    EXPECT_EQ(s->Label_Warning_MinDays->text(), QStringLiteral("0"));
    EXPECT_EQ(s->Label_AlarmNeSdan->text(), QStringLiteral("0"));
    EXPECT_EQ(s->Label_BuhCount->text(), QStringLiteral("4"));
}

TEST_F(ScheduleTabTest, AListOpenedAfterTheConnectionWentAwayTakesTheLostConnectionPath) {
    const qint64 id =
        scalar(QStringLiteral("SELECT CURRENT_CONNECTION FROM RDB$DATABASE")).toLongLong();
    {
        auto killer = m_db->connect();
        fb::Transaction tr(*killer);
        killer->executeImmediate(
            tr, QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1").arg(id));
        tr.commit();
    }
    show();
    EXPECT_FALSE(list().isOpen());
    EXPECT_EQ(m_lostHook, 1);
    EXPECT_TRUE(m_dialogs.shown().isEmpty()) << "the data module tells the user";
}

} // namespace
