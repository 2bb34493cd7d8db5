#include "schedule_tab_fixture.h"

#include "books/buh_account_form.h"
#include "tracking/buh_account_check_form.h"
#include "tracking/buh_org_operations_form.h"
#include "widgets/button_edit.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Around 10 April 2025: Ромашка (10) has НДС, РСВ and the archived report assigned, Лютик (20)
// НДС only, so Лютик's РСВ entries stay on the schedule tab but not here.
constexpr char kOperationsSeed[] =
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, "
    "10, 1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (2, "
    "10, 0);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (3, "
    "10, 1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, "
    "20, 1);"
    // due today, overdue, the last day of the quarter, the day after it
    "INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
    "DT_ACTION) VALUES (21, 10, 2, 0, '2025-03-31', '2025-04-10');"
    "INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
    "DT_ACTION) VALUES (22, 10, 2, 0, '2025-03-15', '2025-04-05');"
    "INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
    "DT_ACTION) VALUES (23, 10, 1, 1, '2025-06-30', '2025-06-30');"
    "INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
    "DT_ACTION) VALUES (24, 10, 2, 0, '2025-05-31', '2025-07-01');"
    "INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
    "DT_ACTION) VALUES (25, 20, 2, 0, '2025-04-30', '2025-05-20');";

class OperationsFormTest : public ScheduleTabFixture {
protected:
    void SetUp() override {
        ScheduleTabFixture::SetUp();
        m_db->exec(QString::fromUtf8(kOperationsSeed));
        m_clock.set(QDateTime(QDate(2025, 4, 10), QTime(9, 0)));
    }
    void TearDown() override {
        m_form.reset();
        ScheduleTabFixture::TearDown();
    }
    // Opened as the assignments menu opens it.
    TBuhOrgOperationsForm& open(int organisationId, const QString& name) {
        m_form =
            std::make_unique<TBuhOrgOperationsForm>(*m_env, organisationId, name, m_window.get());
        m_form->LoadOrgAccountIds();
        m_form->SBtn_FilterClick();
        return *m_form;
    }
    QSet<int> ids() {
        fb::Dataset& d = *m_form->qBuhHistory;
        d.fetchAll();
        QSet<int> set;
        for (int row = 0; row < d.rowCount(); ++row)
            set.insert(d.value(row, QStringLiteral("ID")).toInt());
        return set;
    }
    QStringList counters() const {
        return {m_form->Label_Warning_MinDays->text(), m_form->Label_Warning_Alarm->text(),
                m_form->Label_BuhCount->text()};
    }

    std::unique_ptr<TBuhOrgOperationsForm> m_form;
};

TEST_F(OperationsFormTest, OpensOnTheCurrentQuarterWithItsCounters) {
    TBuhOrgOperationsForm& form = open(10, QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Операции над бухгалтерскими отчётами"));
    EXPECT_EQ(form.Label_Info2->text(), QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(form.minimumSize(), QSize(920, 630));
    EXPECT_EQ(form.CB_BuhMonth_Begin->currentIndex(), 3);
    EXPECT_EQ(form.CB_BuhMonth_End->currentIndex(), 5);
    EXPECT_EQ(form.SE_BuhYear_End->maximum(), 2026);
    EXPECT_EQ(form.SE_BuhYear_Begin->minimum(), 2017);
    EXPECT_EQ(form.SE_BuhYear_Begin->value(), 2025);
    // 1 April to 30 June: not 1 July.
    EXPECT_EQ(ids(), QSet<int>({1, 21, 22, 23}));
    // Due today is a warning, in time; 5 April is overdue.
    EXPECT_EQ(counters(),
              QStringList({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("4")}));
    // In deadline order; dates in the Russian form; only overdue and warning rows coloured.
    fb::Dataset& d = *form.qBuhHistory;
    EXPECT_EQ(d.value(0, QStringLiteral("ID")).toInt(), 22);
    EXPECT_EQ(form.model->displayText(0, 1), QStringLiteral("05 апр. 2025"));
    EXPECT_EQ(form.model->displayText(0, 6), QStringLiteral("Просрочен, не сдан"));
    EXPECT_EQ(form.model->data(form.model->index(0, 0), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 200, 190));
    EXPECT_EQ(form.model->displayText(1, 6), QStringLiteral("Предупреждение о скорой сдаче"));

    // Month lists take no keys; a filter change closes the list and clears the counters.
    QTest::keyClick(form.CB_BuhMonth_End, Qt::Key_Down);
    EXPECT_EQ(form.CB_BuhMonth_End->currentIndex(), 5);
    form.RBtn_Buh_Sdan->click();
    EXPECT_FALSE(d.isOpen());
    EXPECT_EQ(counters(),
              QStringList({QStringLiteral("---"), QStringLiteral("---"), QStringLiteral("---")}));
    // March to January: the date error, the list stays closed.
    form.RBtn_Buh_SdanNesdan->click();
    form.CB_BuhMonth_Begin->setCurrentIndex(2);
    form.CB_BuhMonth_End->setCurrentIndex(0);
    form.SBtn_Filter->click();
    EXPECT_FALSE(d.isOpen());
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Дата начала больше, чем дата окончания отчёта."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Неверно указаны даты отчёта"));
}

TEST_F(OperationsFormTest, ListsOnlyAssignedReportsAndTheChosenEventType) {
    open(20, QStringLiteral("ИП Лютик"));
    m_form->RBtn_BuhAllDB->click();
    m_form->SBtn_Filter->click();
    // Лютик's РСВ entries (3, 10, 11, 25) are not listed here...
    EXPECT_EQ(ids(), QSet<int>({4}));
    // ...but they are on the schedule tab.
    m_tab->RBtn_BuhAllDB->click();
    show();
    EXPECT_TRUE(shownIdSet().contains(25));

    open(10, QStringLiteral("ООО Ромашка"));
    m_form->RBtn_BuhAllDB->click();
    struct Case {
        QRadioButton* button;
        QSet<int> ids;
    } cases[] = {
        {m_form->RBtn_Buh_SdanNesdan, {1, 2, 5, 6, 9, 12, 21, 22, 23, 24}},
        {m_form->RBtn_Buh_Sdan, {5, 6, 12}},
        {m_form->RBtn_Buh_Nesdan, {1, 2, 9, 21, 22, 23, 24}},
    };
    for (const Case& c : cases) {
        c.button->click();
        m_form->SBtn_Filter->click();
        EXPECT_EQ(ids(), c.ids) << c.button->text().toStdString();
        EXPECT_EQ(m_form->Label_BuhCount->text(), QString::number(c.ids.size()));
    }
}

TEST_F(OperationsFormTest, MarkingKeepsTheUserAndTheCountersStay) {
    open(10, QStringLiteral("ООО Ромашка"));
    const QStringList before = counters();
    ASSERT_TRUE(m_form->qBuhHistory->locate(QStringLiteral("ID"), 22));
    onExec<TBuhAccountCheckForm>(QStringLiteral("TBuhAccountCheckForm"),
                                 [](TBuhAccountCheckForm& form) {
                                     EXPECT_EQ(form.Label_Info2->text(), QStringLiteral("РСВ"));
                                     form.Memo_AccPayComment->setPlainText(QStringLiteral("Сдано"));
                                     return int(QDialog::Accepted);
                                 });
    m_form->SBtn_Acc_Set->click();
    EXPECT_EQ(entryValue(22, "DT_ACTUAL").toDateTime().date(), QDate(2025, 4, 10));
    EXPECT_FALSE(entryValue(22, "USERS_ID").isValid()) << "this window leaves the user";
    EXPECT_EQ(m_form->Memo_BuhAccComments->toPlainText(), QStringLiteral("Сдано\n"));
    EXPECT_EQ(counters(), before) << "not recounted after a mark";
    EXPECT_EQ(m_form->model->displayText(m_form->qBuhHistory->currentRow(), 2),
              QStringLiteral("10 апр. 2025"));
    // Submitted rows keep the default colours here.
    EXPECT_FALSE(
        m_form->model
            ->data(m_form->model->index(m_form->qBuhHistory->currentRow(), 0), Qt::BackgroundRole)
            .isValid());

    // A row submitted from the main window: cancel clears the user, a new mark here leaves it
    // empty.
    m_form->RBtn_BuhAllDB->click();
    m_form->SBtn_Filter->click();
    ASSERT_TRUE(m_form->qBuhHistory->locate(QStringLiteral("ID"), 5));
    m_dialogs.answer(MsgResult::Yes);
    m_form->SBtn_Acc_Cancel->click();
    EXPECT_FALSE(entryValue(5, "DT_ACTUAL").isValid());
    EXPECT_FALSE(entryValue(5, "USERS_ID").isValid());
    m_form->SBtn_Acc_Set->click();
    EXPECT_TRUE(entryValue(5, "DT_ACTUAL").isValid());
    EXPECT_FALSE(entryValue(5, "USERS_ID").isValid());
    EXPECT_EQ(m_form->qBuhHistory->fieldValue(QStringLiteral("USERS_NAME")), QVariant());
}

TEST_F(OperationsFormTest, ThePickerShowsTheAssignedReportsAndRefusesArchivedOnes) {
    open(10, QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(QSet<QString>(m_form->assignedReportIds().begin(), m_form->assignedReportIds().end()),
              QSet<QString>({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    onExec<TBuhAccountForm>(QStringLiteral("TBuhAccountForm"), [this](TBuhAccountForm& picker) {
        EXPECT_EQ(picker.visibleReportIds(), m_form->assignedReportIds());
        EXPECT_FALSE(picker.allowArchived());
        EXPECT_TRUE(picker.ToolBar_Main->isHidden());
        picker.RBtn_Select->click();
        EXPECT_TRUE(picker.qBuhAccount->locate(QStringLiteral("ID"), 3));
        picker.Btn_OKClick();
        EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Отчётность выключена"));
        EXPECT_TRUE(picker.qBuhAccount->locate(QStringLiteral("ID"), 2));
        return int(QDialog::Accepted);
    });
    emit m_form->CE_BuhAccounts->buttonClicked();
    EXPECT_EQ(m_form->CE_BuhAccounts->text(), QStringLiteral("РСВ"));
    EXPECT_EQ(m_form->reportFilterValue(), 2);
    EXPECT_FALSE(m_form->qBuhHistory->isOpen());
    m_form->SBtn_Filter->click();
    EXPECT_EQ(ids(), QSet<int>({21, 22}));
}

TEST_F(OperationsFormTest, AnOrganisationDeletedMeanwhileIsSaidAndNothingBreaks) {
    open(10, QStringLiteral("ООО Ромашка"));
    ASSERT_TRUE(m_form->qBuhHistory->locate(QStringLiteral("ID"), 21));
    m_db->exec(QStringLiteral("DELETE FROM ORGANIZATION WHERE ID = 10"));
    onExec<TBuhAccountCheckForm>(QStringLiteral("TBuhAccountCheckForm"),
                                 [](TBuhAccountCheckForm&) { return int(QDialog::Accepted); });
    m_form->SBtn_Acc_Set->click();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_TRUE(m_dialogs.lastMessage().text.startsWith(
        QStringLiteral("Этого отчёта уже нет в расписании")));
    EXPECT_EQ(ids(), QSet<int>());
    m_form->SBtn_Filter->click();
    EXPECT_EQ(m_form->Label_BuhCount->text(), QStringLiteral("0"));
}

TEST_F(OperationsFormTest, WindowStateIsKeptUnderItsOwnSection) {
    open(10, QStringLiteral("ООО Ромашка"));
    m_form->resize(1010, 700);
    m_form->done(QDialog::Rejected);
    QFile ini(m_db->folder() + QStringLiteral("/Sroko.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("BUH_ORG_OPERATIONS"));
    open(10, QString());
    EXPECT_EQ(m_form->size(), QSize(1010, 700));
}

} // namespace
