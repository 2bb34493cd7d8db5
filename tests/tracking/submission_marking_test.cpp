#include "schedule_tab_fixture.h"

#include "tracking/buh_account_check_form.h"
#include "tracking/statistics_panel.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

namespace {

class SubmissionMarkingTest : public ScheduleTabFixture {
protected:
    // Answers the submission dialog: the check sees it as it opens, then it is saved or not.
    void answerDialog(std::function<int(TBuhAccountCheckForm&)> handler) {
        onExec<TBuhAccountCheckForm>(QStringLiteral("TBuhAccountCheckForm"), std::move(handler));
    }
    QDateTime recordDate(int id) const { return entryValue(id, "DT_ADD_RECORD").toDateTime(); }
};

TEST_F(SubmissionMarkingTest, SetMarkWritesDateCommentUserAndTheDatabasesStamp) {
    show();
    ASSERT_TRUE(goTo(2));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    answerDialog([](TBuhAccountCheckForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Параметры сдачи отчёта"));
        EXPECT_EQ(form.Label_Info1->text(),
                  QStringLiteral("Укажите необходимые параметры для отчёта :"));
        EXPECT_EQ(form.Label_Info2->text(), QStringLiteral("РСВ"));
        EXPECT_EQ(form.Label_Info3->text(),
                  QStringLiteral("Отчёт должен быть сдан до  ( включительно ) : 12 мар. 2025"));
        EXPECT_EQ(form.Label_Info3->palette().color(QPalette::WindowText), QColor(253, 241, 41));
        EXPECT_EQ(form.DT_Date->date(), QDate(2025, 3, 10)) << "today, by the clock";
        EXPECT_TRUE(form.Memo_AccPayComment->toPlainText().isEmpty());
        EXPECT_TRUE(form.Btn_Save->isDefault());
        EXPECT_EQ(form.Btn_Cancel->text(), QStringLiteral("Отмена"));
        form.Memo_AccPayComment->setFocus();
        typeText(form.Memo_AccPayComment, QStringLiteral("Сдано лично"));
        QTest::keyClick(form.Memo_AccPayComment, Qt::Key_Return);
        typeText(form.Memo_AccPayComment, QStringLiteral("в налоговую"));
        QTest::mouseClick(form.Btn_Save, Qt::LeftButton);
        return form.result();
    });
    m_tab->PM_BuhAcc_Set->trigger();
    EXPECT_EQ(m_dialogs.execs(), QStringList({QStringLiteral("TBuhAccountCheckForm")}));
    EXPECT_TRUE(m_dialogs.shown().isEmpty());

    EXPECT_EQ(entryValue(2, "DT_ACTUAL").toDateTime(), QDateTime(QDate(2025, 3, 10), QTime(0, 0)));
    EXPECT_EQ(entryValue(2, "COMMENTS").toString(),
              QStringLiteral("Сдано лично\r\nв налоговую\r\n"));
    EXPECT_EQ(entryValue(2, "USERS_ID").toInt(), 1);
    // The database stamped the row, and the list shows the stamp it holds.
    const QDateTime stamp = recordDate(2);
    EXPECT_GE(stamp, before);
    EXPECT_EQ(list().fieldValue(QStringLiteral("ID")).toInt(), 2);
    EXPECT_EQ(list().fieldValue(QStringLiteral("DT_ADD_RECORD")).toDateTime(), stamp);
    EXPECT_EQ(detail("Label_Users_Sdal_Name"), QStringLiteral("admin ( Администратор )"));
    EXPECT_EQ(detail("Label_DT_Actual"), QStringLiteral("10.03.2025"));
    EXPECT_EQ(m_tab->Memo_BuhAccComments->toPlainText(),
              QStringLiteral("Сдано лично\r\nв налоговую\r\n")
                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // Recorded after its deadline day (the clock of the database is today's): suspicious.
    EXPECT_EQ(detail("Label_Status"), QStringLiteral("Сдан, но подозрителен"));
    EXPECT_EQ(cell(list().currentRow(), "DT_ACTUAL"), QStringLiteral("10.03.2025"));
}

TEST_F(SubmissionMarkingTest, ChangingASubmittedEntryShowsItsDateAndComment) {
    show();
    ASSERT_TRUE(goTo(4));
    const QDateTime oldStamp = recordDate(4);
    answerDialog([](TBuhAccountCheckForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Изменение параметров уже сданного отчёта"));
        EXPECT_EQ(form.DT_Date->date(), QDate(2025, 1, 20));
        EXPECT_EQ(form.Memo_AccPayComment->toPlainText(), QStringLiteral("Сдано через ЭДО"));
        form.DT_Date->setDate(QDate(2025, 1, 22));
        return int(QDialog::Accepted);
    });
    m_tab->PM_BuhAcc_Set->trigger();
    EXPECT_EQ(entryValue(4, "DT_ACTUAL").toDateTime().date(), QDate(2025, 1, 22));
    EXPECT_EQ(entryValue(4, "COMMENTS").toString(), QStringLiteral("Сдано через ЭДО\r\n"));
    EXPECT_GT(recordDate(4), oldStamp) << "a new mark renews the record date";

    // Closing the dialog any other way changes nothing.
    const QDateTime stamp = recordDate(4);
    answerDialog([](TBuhAccountCheckForm& form) {
        form.DT_Date->setDate(QDate(2025, 2, 1));
        QTest::mouseClick(form.Btn_Cancel, Qt::LeftButton);
        return form.result();
    });
    m_tab->PM_BuhAcc_Set->trigger();
    EXPECT_EQ(entryValue(4, "DT_ACTUAL").toDateTime().date(), QDate(2025, 1, 22));
    EXPECT_EQ(recordDate(4), stamp);
}

TEST_F(SubmissionMarkingTest, CancelAsksThenClearsTheMarkAndRestampsTheRow) {
    show();
    ASSERT_TRUE(goTo(1));
    m_tab->PM_BuhAcc_Cancel->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Этот отчёт ещё не сдан, его невозможно отменить."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Отмена сдачи отчёта"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);

    ASSERT_TRUE(goTo(5));
    const QDateTime stamp = recordDate(5);
    m_dialogs.clear();
    m_dialogs.answer(MsgResult::No);
    m_tab->PM_BuhAcc_Cancel->trigger();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    const MessageRequest question = m_dialogs.lastMessage();
    EXPECT_EQ(question.text,
              QStringLiteral("Вы выбрали отмену сдачи отчёта : \n\"РСВ\".\n \nВы в любой момент "
                             "сможете снова установить пометку о том, что данный отчёт сдан, но "
                             "дата записи изменений (!) по данному отчёту в базе данных будет "
                             "так-же обновлена.\n \nВы действительно хотите снять отметку о "
                             "сдаче этого отчёта?"));
    EXPECT_EQ(question.caption, QStringLiteral("Отмена сдачи отчёта"));
    EXPECT_EQ(question.icon, MsgIcon::Warning);
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_TRUE(entryValue(5, "DT_ACTUAL").isValid());

    m_dialogs.answer(MsgResult::Yes);
    m_tab->PM_BuhAcc_Cancel->trigger();
    EXPECT_FALSE(entryValue(5, "DT_ACTUAL").isValid());
    EXPECT_FALSE(entryValue(5, "COMMENTS").isValid());
    EXPECT_FALSE(entryValue(5, "USERS_ID").isValid());
    EXPECT_GT(recordDate(5), stamp);
    EXPECT_EQ(detail("Label_Status"), QStringLiteral("Просрочен, не сдан"));
    EXPECT_EQ(cell(list().currentRow(), "DT_ACTUAL"), QStringLiteral("!"));
    EXPECT_EQ(detail("Label_Users_Sdal_Name"), QString());

    // A new mark brings the user back.
    answerDialog([](TBuhAccountCheckForm&) { return int(QDialog::Accepted); });
    m_tab->PM_BuhAcc_Set->trigger();
    EXPECT_EQ(detail("Label_Users_Sdal_Name"), QStringLiteral("admin ( Администратор )"));
}

TEST_F(SubmissionMarkingTest, BothCommandsSayWhenTheListIsEmpty) {
    for (bool set : {true, false}) {
        m_dialogs.clear();
        if (set)
            m_tab->PM_BuhAcc_SetClick();
        else
            m_tab->PM_BuhAcc_CancelClick();
        ASSERT_EQ(m_dialogs.shown().size(), 1);
        EXPECT_EQ(m_dialogs.lastMessage().text,
                  QStringLiteral("Список отчётов пуст. Для вывода отчётов в таблицу этого окна, "
                                 "можно попробовать поменять параметры фильтров."));
        EXPECT_EQ(m_dialogs.lastMessage().caption,
                  set ? QStringLiteral("Сдача отчёта") : QStringLiteral("Отмена сдачи отчёта"));
        EXPECT_TRUE(m_dialogs.execs().isEmpty());
    }
}

TEST_F(SubmissionMarkingTest, MarkOnTheDeadlineDayIsInTime) {
    // The database stamps the record with its own clock: the entry is due on the real today.
    const QDate today = QDate::currentDate();
    m_clock.set(QDateTime::currentDateTime());
    m_db->exec(QStringLiteral("INSERT INTO BUH_HISTORY (ID, ORGANIZATION_ID, BUH_ACCOUNT_ID, "
                              "CYCLING, DT_END_ACCOUNT, DT_ACTION) VALUES (50, 10, 2, 0, '%1', "
                              "'%2')")
                   .arg(today.addDays(-20).toString(Qt::ISODate), today.toString(Qt::ISODate)));
    m_tab->RBtn_BuhAllDB->click();
    show();
    ASSERT_TRUE(goTo(50));
    EXPECT_EQ(detail("Label_Status"), QStringLiteral("Предупреждение о скорой сдаче"));
    answerDialog([](TBuhAccountCheckForm&) { return int(QDialog::Accepted); });
    m_tab->PM_BuhAcc_Set->trigger();
    EXPECT_EQ(entryValue(50, "DT_ACTUAL").toDateTime(), today.startOfDay());
    EXPECT_EQ(recordDate(50).date(), today);
    EXPECT_EQ(detail("Label_Status"), QStringLiteral("Сдан вовремя"));
}

TEST_F(SubmissionMarkingTest, ARefusedMarkSaysWhyAndTheRowShowsWhatTheDatabaseHolds) {
    m_db->exec(QStringLiteral("CREATE EXCEPTION E_CLOSED 'Период закрыт для изменений';"));
    m_db->exec(QStringLiteral("SET TERM ^ ;"
                              "CREATE TRIGGER CLOSED_1 FOR BUH_HISTORY BEFORE UPDATE AS BEGIN IF "
                              "(OLD.ID = 1) THEN EXCEPTION E_CLOSED; END^"
                              "SET TERM ; ^"));
    struct Case {
        int id;
        const char* comment;
        const char* says;
    } cases[] = {
        // Text that the database's code page cannot hold is refused, never stored altered.
        {2, "Сдано 中文", "中"},
        // The engine refuses the row: its own words.
        {1, "Сдано", "Период закрыт для изменений"},
    };
    show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        m_dialogs.clear();
        ASSERT_TRUE(goTo(c.id));
        const QDateTime stamp = recordDate(c.id);
        const QString comment = QString::fromUtf8(c.comment);
        answerDialog([comment](TBuhAccountCheckForm& form) {
            form.Memo_AccPayComment->setPlainText(comment);
            return int(QDialog::Accepted);
        });
        m_tab->PM_BuhAcc_Set->trigger();
        ASSERT_EQ(m_dialogs.shown().size(), 1);
        EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Сдача отчёта"));
        EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
        EXPECT_TRUE(m_dialogs.lastMessage().text.contains(QString::fromUtf8(c.says)))
            << m_dialogs.lastMessage().text.toStdString();
        EXPECT_FALSE(entryValue(c.id, "DT_ACTUAL").isValid());
        EXPECT_EQ(recordDate(c.id), stamp);
        EXPECT_EQ(list().state(), fb::Dataset::State::Browse);
        EXPECT_FALSE(list().fieldValue(QStringLiteral("DT_ACTUAL")).isValid());
        EXPECT_EQ(cell(list().currentRow(), "DT_ACTUAL"), QString());
    }
}

TEST_F(SubmissionMarkingTest, ACommentOfMoreThan1024CharactersCannotBeTyped) {
    TBuhAccountCheckForm form(QDate(2025, 3, 10));
    form.show();
    const QString full(1024, QLatin1Char('a'));
    form.Memo_AccPayComment->setFocus();
    typeText(form.Memo_AccPayComment, QString(1000, QLatin1Char('a')));
    typeText(form.Memo_AccPayComment, QString(25, QLatin1Char('b')));
    EXPECT_EQ(form.Memo_AccPayComment->toPlainText().size(), 1024);
    EXPECT_EQ(form.Memo_AccPayComment->toPlainText(),
              QString(1000, QLatin1Char('a')) + QString(24, QLatin1Char('b')));
    // Typed in the middle of a full box: nothing is taken.
    QTextCursor cursor = form.Memo_AccPayComment->textCursor();
    cursor.setPosition(10);
    form.Memo_AccPayComment->setTextCursor(cursor);
    typeText(form.Memo_AccPayComment, QStringLiteral("x"));
    EXPECT_FALSE(form.Memo_AccPayComment->toPlainText().contains(QLatin1Char('x')));
    // A long paste takes what fits.
    form.Memo_AccPayComment->clear();
    form.Memo_AccPayComment->insertPlainText(QString(2000, QLatin1Char('c')));
    EXPECT_EQ(form.Memo_AccPayComment->toPlainText(), QString(1024, QLatin1Char('c')));
    EXPECT_EQ(form.storedComment(), QString(1024, QLatin1Char('c')) + QStringLiteral("\r\n"));
}

TEST_F(SubmissionMarkingTest, InsShiftInsAndADoubleClickOnARowRunTheCommands) {
    show();
    ASSERT_TRUE(goTo(5));
    m_window->activateWindow();
    m_tab->DBGrid_BuhHistory->setFocus();
    QApplication::processEvents();
    answerDialog([](TBuhAccountCheckForm&) { return int(QDialog::Rejected); });
    QTest::keyClick(m_tab->DBGrid_BuhHistory, Qt::Key_Insert);
    EXPECT_EQ(m_dialogs.execs().size(), 1);
    m_dialogs.answer(MsgResult::No);
    QTest::keyClick(m_tab->DBGrid_BuhHistory, Qt::Key_Insert, Qt::ShiftModifier);
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Отмена сдачи отчёта"));

    const int row = list().currentRow();
    const QPoint at = m_tab->DBGrid_BuhHistory->visualRect(m_tab->model->index(row, 2)).center();
    QWidget* viewport = m_tab->DBGrid_BuhHistory->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    EXPECT_EQ(m_dialogs.execs().size(), 2);
}

} // namespace
