#include "books_fixture.h"

#include "books/buh_account_form.h"
#include "schedule/holiday_map.h"
#include "schedule/periods.h"
#include "tracking/buh_org_operations_form.h"
#include "widgets/data_grid.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <map>

namespace {

// Ромашка: НДС on, РСВ off, Баланс with an empty switch. Лютик has no assignments. The
// archived report may not be assigned.
constexpr char kSeed[] =
    "INSERT INTO ORGANIZATION (ID, NAME) VALUES (10, 'ООО Ромашка');"
    "INSERT INTO ORGANIZATION (ID, NAME) VALUES (20, 'ИП Лютик');"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (1, 'НДС', 25, NULL, 1, 5, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (2, 'Баланс', 90, NULL, 2, 10, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (3, 'РСВ', 20, 45, 0, 3, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (4, 'Архивный отчёт', 15, NULL, 0, 3, 1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES "
    "(101, 1, 10, 1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES "
    "(103, 3, 10, 0);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES "
    "(102, 2, 10, 0);"
    "UPDATE BUH_ACCOUNT_ORGANIZATION SET ON_OFF = NULL WHERE ID = 102;";

const QColor kOff(255, 200, 190);

std::map<QDate, QDate> planned(int cycling, int dayAction, int dayAction12, const QDate& today) {
    std::map<QDate, QDate> plan;
    const HolidayMap noHolidays;
    for (const PeriodPlan& p :
         planPeriods(cycling, dayAction, dayAction12, today.year(), today, noHolidays)) {
        if (p.scheduled)
            plan[p.periodEnd] = p.shifted;
    }
    return plan;
}

class AssignmentsTest : public BooksFixture {
protected:
    QString seedSql() const override { return QString::fromUtf8(kSeed); }

    void SetUp() override {
        BooksFixture::SetUp();
        ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 10));
    }
    bool onReport(int reportId) {
        return qBuhAccRep().locate(QStringLiteral("BUH_ACCOUNT_ID"), reportId);
    }
    QVariant onOff(int reportId) const {
        return scalar(QStringLiteral("SELECT ON_OFF FROM BUH_ACCOUNT_ORGANIZATION WHERE "
                                     "ORGANIZATION_ID = 10 AND BUH_ACCOUNT_ID = %1")
                          .arg(reportId));
    }
    std::map<QDate, QDate> stored(int reportId) const {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, QStringLiteral("SELECT DT_END_ACCOUNT, DT_ACTION FROM BUH_HISTORY "
                                               "WHERE ORGANIZATION_ID = 10 AND BUH_ACCOUNT_ID = %1")
                                    .arg(reportId));
        std::map<QDate, QDate> entries;
        query.open();
        while (query.fetch())
            entries[query.value(0).toDateTime().date()] = query.value(1).toDateTime().date();
        return entries;
    }
    void popup() { emit m_assignments->PM_BuhAccRep->aboutToShow(); }
    QList<bool> enabling() const {
        return {m_assignments->PM_BuhAcc_Add->isEnabled(),
                m_assignments->PM_BuhAcc_Del->isEnabled(),
                m_assignments->PM_BuhAcc_On->isEnabled(),
                m_assignments->PM_BuhAcc_Off->isEnabled(),
                m_assignments->PM_BuhAcc_OnAll->isEnabled(),
                m_assignments->PM_BuhAcc_OffAll->isEnabled(),
                m_assignments->PM_BuhAcc_Accounts->isEnabled()};
    }
};

class NoClientsTest : public BooksFixture {};

} // namespace

TEST_F(AssignmentsTest, TheMenuFollowsTheCurrentRowAndSwitchedOffRowsAreRed) {
    ASSERT_EQ(qBuhAccRep().rowCount(), 3);
    struct Case {
        int report;
        const char* status;
        bool red;
        QList<bool> menu; // add, del, on, off, on all, off all, operations window
    } cases[] = {
        {2, "", true, {true, true, true, false, true, true, true}}, // empty switch: off
        {1, "Используется", false, {true, true, false, true, true, true, true}},
        {3, "Отключена", true, {true, true, true, false, true, true, true}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(onReport(c.report));
        const int row = qBuhAccRep().currentRow();
        EXPECT_EQ(m_assignments->model->index(row, 5).data().toString(),
                  QString::fromUtf8(c.status));
        const QVariant background = m_assignments->model->index(row, 0).data(Qt::BackgroundRole);
        if (c.red) {
            EXPECT_EQ(background.value<QBrush>().color(), kOff) << c.report;
            EXPECT_EQ(m_assignments->model->index(row, 0)
                          .data(DatasetModel::HighlightedForegroundRole)
                          .value<QColor>(),
                      kOff);
        } else {
            EXPECT_FALSE(background.isValid()) << c.report;
        }
        popup();
        EXPECT_EQ(enabling(), c.menu) << c.report;
    }
    // A client without assignments: only add.
    ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 20));
    EXPECT_EQ(qBuhAccRep().rowCount(), 0);
    popup();
    EXPECT_EQ(enabling(), (QList<bool>{true, false, false, false, false, false, false}));

    ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 10));
    m_assignments->resize(1000, 260);
    shot(m_assignments.get(), QStringLiteral("assignments_tab"));
}

TEST_F(NoClientsTest, WithoutOrganisationsNothingCanBeAssigned) {
    // The Delete key works before the menu was ever opened.
    m_assignments->PM_BuhAcc_Del->trigger();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Список ссылок на отчётность для этой организации пуст."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Warning);
    emit m_assignments->PM_BuhAccRep->aboutToShow();
    EXPECT_FALSE(m_assignments->PM_BuhAcc_Add->isEnabled());
    EXPECT_FALSE(m_assignments->PM_BuhAcc_Del->isEnabled());
}

TEST_F(AssignmentsTest, AddingGoesThroughTheReportsPickerAndRefusesADuplicate) {
    ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 20));
    int chosen = 3;
    onExec<TBuhAccountForm>(QStringLiteral("TBuhAccountForm"), [&](TBuhAccountForm& picker) {
        EXPECT_EQ(picker.windowTitle(),
                  QStringLiteral("Бухгалтерская отчётность - присвоение организации"));
        EXPECT_EQ(picker.Label_Info2->text(),
                  QStringLiteral("После присвоения отчётности, не забудьте включить отчётность "
                                 "или она не попадёт в расписание"));
        EXPECT_TRUE(picker.Label_Info2->font().bold());
        EXPECT_EQ(picker.Label_Info2->palette().color(QPalette::WindowText), QColor(132, 254, 30));
        EXPECT_TRUE(picker.TBtn_CreateHistory_One->isHidden());
        EXPECT_TRUE(picker.TBtn_CreateHistory->isHidden());
        EXPECT_TRUE(picker.TBtn_Sep_02->isHidden());
        EXPECT_FALSE(picker.TBtn_Add->isHidden());
        EXPECT_FALSE(picker.RBtn_Any->isEnabled());
        EXPECT_FALSE(picker.RBtn_None->isEnabled());
        EXPECT_FALSE(picker.Btn_OK->isHidden());
        picker.show();
        if (chosen == 3)
            shot(&picker, QStringLiteral("buh_account_picker_assignment"));
        // The archived report is refused, the picker stays open.
        picker.preselectReport(4);
        picker.Btn_OK->click();
        EXPECT_TRUE(picker.isVisible());
        picker.preselectReport(chosen);
        picker.Btn_OK->click();
        return picker.result();
    });
    m_assignments->PM_BuhAcc_Add->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Отчётность выключена"));
    ASSERT_EQ(qBuhAccRep().rowCount(), 1);
    EXPECT_EQ(qBuhAccRep().fieldValue(QStringLiteral("NAME")).toString(), QStringLiteral("РСВ"));
    EXPECT_EQ(qBuhAccRep().fieldValue(QStringLiteral("ON_OFF")).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT ON_OFF FROM BUH_ACCOUNT_ORGANIZATION WHERE "
                                   "ORGANIZATION_ID = 20")),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")), 0); // added off

    // The same report again: the database refuses, the list keeps one row.
    m_dialogs.clear();
    m_assignments->PM_BuhAcc_Add->trigger();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Не могу добавить ссылку на эту бухгалтерскую отчётность, так как "
                             "такая отчётность уже имеется для данной организации."));
    EXPECT_EQ(m_dialogs.lastMessage().caption,
              QStringLiteral("Добавление ссылки на бухгалтерскую отчётность"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(qBuhAccRep().rowCount(), 1);
    EXPECT_EQ(qBuhAccRep().state(), fb::Dataset::State::Browse);
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE ORGANIZATION_ID = 20")),
              1);

    // A cancelled picker adds nothing and says nothing.
    m_dialogs.clear();
    onExec<TBuhAccountForm>(QStringLiteral("TBuhAccountForm"), [](TBuhAccountForm& picker) {
        picker.reject();
        return picker.result();
    });
    m_assignments->PM_BuhAcc_Add->trigger();
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
    EXPECT_EQ(qBuhAccRep().rowCount(), 1);
}

TEST_F(AssignmentsTest, SwitchingOnGeneratesAndSwitchingOffRemovesTheOpenFutureEntries) {
    const QDate today = m_clock.today();
    ASSERT_TRUE(onReport(3));
    m_dialogs.answer(MsgResult::No);
    m_assignments->PM_BuhAcc_On->trigger();
    EXPECT_EQ(onOff(3).toInt(), 0);
    EXPECT_TRUE(stored(3).empty());

    m_dialogs.answer(MsgResult::Yes);
    m_assignments->PM_BuhAcc_On->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 3);
    const MessageRequest question = m_dialogs.messages().at(1);
    EXPECT_EQ(question.caption, QStringLiteral("Включение отчётности"));
    EXPECT_EQ(question.icon, MsgIcon::Warning);
    EXPECT_EQ(question.text,
              QStringLiteral("Вы выбрали включение отчётности \"РСВ\".\n \nПри включении "
                             "отчётности, программа составит график её сдачи, внесёт эту "
                             "отчётность в расписание сдач отчётностей, а также, будет выводить "
                             "предупреждения о сроке сдачи этой отчётности.\nВременной промежуток "
                             "построения графика : до конца текущего года + первый квартал "
                             "следюущего года (для сдачи годовых отчётов).\n \nВключить эту "
                             "отчётность для данной организации?"));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по созданию расписания завершена."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Создание расписания отчётностей"));
    EXPECT_EQ(onOff(3).toInt(), 1);
    EXPECT_EQ(stored(3), planned(0, 20, 45, today));
    EXPECT_EQ(qBuhAccRep().fieldValue(QStringLiteral("ON_OFF")).toInt(), 1);
    EXPECT_FALSE(m_assignments->model->index(qBuhAccRep().currentRow(), 0)
                     .data(Qt::BackgroundRole)
                     .isValid());

    // A submitted entry ahead and a past one stay when the report is switched off.
    m_db->exec(QStringLiteral(
        "UPDATE BUH_HISTORY SET DT_ACTUAL = CURRENT_DATE WHERE ID = (SELECT MAX(ID) FROM "
        "BUH_HISTORY WHERE BUH_ACCOUNT_ID = 3);"
        "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
        "DT_ACTION) VALUES (10, 3, 0, '2020-01-31', '2020-02-20');"));
    m_dialogs.clear();
    m_dialogs.answer(MsgResult::Yes);
    m_assignments->PM_BuhAcc_Off->trigger();
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Выключение отчётности"));
    EXPECT_TRUE(m_dialogs.messages().at(0).text.startsWith(
        QStringLiteral("Вы выбрали выключение отчётности \"РСВ\".\n \nПри выключении")));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по удалению расписания завершена."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Удаление расписания отчётностей"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(onOff(3).toInt(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE BUH_ACCOUNT_ID = 3 AND "
                                   "DT_ACTUAL IS NULL AND DT_ACTION >= CURRENT_DATE")),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE BUH_ACCOUNT_ID = 3")),
              2);
}

TEST_F(AssignmentsTest, SwitchingAllOnTouchesOnlyTheRowsThatAreOff) {
    const QDate today = m_clock.today();
    m_dialogs.answer(MsgResult::Yes);
    m_assignments->PM_BuhAcc_OnAll->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 2);
    EXPECT_EQ(m_dialogs.messages().at(0).caption, QStringLiteral("Включение всех отчётностей"));
    EXPECT_TRUE(m_dialogs.messages().at(0).text.startsWith(QStringLiteral(
        "Вы выбрали включение всех отчётностей для организации :\nООО Ромашка\n \nПри включении")));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по созданию расписания завершена."));
    for (int report : {1, 2, 3})
        EXPECT_EQ(onOff(report).toInt(), 1) << report;
    // НДС was on already: no entries for it; the two switched on now got theirs.
    EXPECT_TRUE(stored(1).empty());
    EXPECT_EQ(stored(2), planned(2, 90, kDayAction12NotSet, today));
    EXPECT_EQ(stored(3), planned(0, 20, 45, today));
    EXPECT_EQ(qBuhAccRep().currentRow(), 0);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(m_assignments->model->index(row, 5).data().toString(),
                  QStringLiteral("Используется"));

    // All on already: nothing is generated, the message comes all the same.
    const int before = count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY"));
    m_dialogs.clear();
    m_dialogs.answer(MsgResult::Yes);
    m_assignments->PM_BuhAcc_OnAll->trigger();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по созданию расписания завершена."));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY")), before);
}

TEST_F(AssignmentsTest, SwitchingAllOffWritesEveryRow) {
    m_db->exec(QStringLiteral("CREATE SEQUENCE SWITCH_WRITES;"
                              "SET TERM ^ ;"
                              "CREATE TRIGGER COUNT_SWITCH_WRITES FOR BUH_ACCOUNT_ORGANIZATION "
                              "AFTER UPDATE AS DECLARE N BIGINT; BEGIN N = GEN_ID(SWITCH_WRITES, "
                              "1); END^"
                              "SET TERM ; ^"));
    m_dialogs.answer(MsgResult::No);
    m_assignments->PM_BuhAcc_OffAll->trigger();
    EXPECT_EQ(onOff(1).toInt(), 1);

    m_dialogs.answer(MsgResult::Yes);
    m_assignments->PM_BuhAcc_OffAll->trigger();
    EXPECT_EQ(m_dialogs.messages().at(1).caption, QStringLiteral("Выключение всех отчётностей"));
    EXPECT_TRUE(m_dialogs.messages().at(1).text.startsWith(QStringLiteral(
        "Вы выбрали выключение всех отчётностей для организции :\nООО Ромашка\n \n")));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по удалению расписания завершена."));
    for (int report : {1, 2, 3})
        EXPECT_EQ(onOff(report).toInt(), 0) << report;
    EXPECT_EQ(count(QStringLiteral("SELECT GEN_ID(SWITCH_WRITES, 0) FROM RDB$DATABASE")), 3);
    EXPECT_EQ(qBuhAccRep().currentRow(), 0);

    m_dialogs.clear();
    m_dialogs.answer(MsgResult::Yes);
    m_assignments->PM_BuhAcc_OffAll->trigger();
    EXPECT_EQ(count(QStringLiteral("SELECT GEN_ID(SWITCH_WRITES, 0) FROM RDB$DATABASE")), 6);
}

TEST_F(AssignmentsTest, DeletingAnAssignmentKeepsTheSubmissionHistory) {
    ASSERT_TRUE(onReport(1));
    m_db->exec(QStringLiteral(
        "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
        "DT_ACTION) VALUES (10, 1, 1, '2099-03-31', '2099-04-25');"
        "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
        "DT_ACTION, DT_ACTUAL) VALUES (10, 1, 1, '2099-06-30', '2099-07-25', '2099-07-01');"
        "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
        "DT_ACTION) VALUES (10, 1, 1, '2020-03-31', '2020-04-25');"));
    m_dialogs.answer({MsgResult::No, MsgResult::Yes});
    m_assignments->PM_BuhAcc_Del->trigger();
    EXPECT_EQ(qBuhAccRep().rowCount(), 3);
    m_assignments->PM_BuhAcc_Del->trigger();
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Удаление ссылки на отчётность"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Вы выбрали удаление ссылки на отчётность : \" НДС \".\n \nПри "
                             "удалении ссылки на отчётность, программа исключит эту отчётность из "
                             "расписания сдач отчётностей, а также, отменит предупреждения о сроке "
                             "сдачи этой отчётности.\nВся история сдачи данной отчётности для этой "
                             "организации сохранится в базе данных.\n \nУдалить ссылку на эту "
                             "отчётность для организации : ООО Ромашка\"?"));
    EXPECT_EQ(qBuhAccRep().rowCount(), 2);
    EXPECT_TRUE(onOff(1).isNull());
    // Only the open entry ahead went.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE BUH_ACCOUNT_ID = 1")),
              2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE DT_ACTUAL IS NULL AND "
                                   "DT_ACTION > CURRENT_DATE")),
              0);
}

TEST_F(AssignmentsTest, TheRefreshButtonReadsTheListAgain) {
    m_db->exec(QStringLiteral("INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, "
                              "ORGANIZATION_ID, ON_OFF) VALUES (4, 10, 1)"));
    EXPECT_EQ(qBuhAccRep().rowCount(), 3);
    m_assignments->TBtn_BuhAccRepRefresh->click();
    EXPECT_EQ(qBuhAccRep().rowCount(), 4);
}

TEST_F(AssignmentsTest, TheOperationsCommandOpensTheWindowOfTheCurrentOrganisation) {
    int opened = 0;
    m_dialogs.onExec(QStringLiteral("TBuhOrgOperationsForm"), [&](QDialog& dialog) {
        auto& form = static_cast<TBuhOrgOperationsForm&>(dialog);
        ++opened;
        EXPECT_EQ(form.organisationId(), 10);
        EXPECT_EQ(form.Label_Info2->text(), QStringLiteral("ООО Ромашка"));
        EXPECT_EQ(form.assignedReportIds().size(), 3);
        EXPECT_TRUE(form.qBuhHistory->isOpen()) << "the filters are applied at opening";
        return int(QDialog::Rejected);
    });
    m_assignments->setOperationsOpener([this](int organisationId, const QString& name) {
        TBuhOrgOperationsForm::open(*m_env, organisationId, name, m_assignments.get());
    });
    popup();
    ASSERT_TRUE(m_assignments->PM_BuhAcc_Accounts->isEnabled());
    m_assignments->PM_BuhAcc_Accounts->trigger();
    EXPECT_EQ(opened, 1);
}
