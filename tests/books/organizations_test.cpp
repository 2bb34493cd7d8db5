#include "books_fixture.h"

#include "books/organization_ae_form.h"
#include "widgets/data_grid.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

// Two clients; Ромашка files a report that has schedule entries, one of them submitted.
constexpr char kSeed[] =
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, USERS_ID, "
    "REQ_INN, REQ_KPP, COMMENTS) VALUES (10, 'ООО Ромашка', 1, 0, 7, '7701234567', '770101001', "
    "'Оптовая торговля');"
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, USERS_ID) "
    "VALUES (20, 'ИП Лютик', 2, 1, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) VALUES (1, 'НДС', "
    "25, 1, 5, 0);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, 20, "
    "1);"
    "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, DT_ACTION, "
    "DT_ACTUAL) VALUES (10, 1, 1, '2020-03-31', '2020-04-25', '2020-04-20');"
    "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, DT_ACTION) "
    "VALUES (10, 1, 1, '2030-03-31', '2030-04-25');"
    "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, DT_ACTION) "
    "VALUES (20, 1, 1, '2030-03-31', '2030-04-25');";

class OrganizationsTest : public BooksFixture {
protected:
    QString seedSql() const override { return QString::fromUtf8(kSeed); }

    bool locate(int id) { return qOrgan().locate(QStringLiteral("ID"), id); }
    int organisations() const { return count(QStringLiteral("SELECT COUNT(*) FROM ORGANIZATION")); }
};

class NoOrganizationsTest : public BooksFixture {};

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

} // namespace

TEST_F(NoOrganizationsTest, AnEmptyListOffersOnlyAddAndADoubleClickDoesNothing) {
    m_organizations->resize(600, 400);
    m_organizations->show();
    m_organizations->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_organizations.get()));
    emit m_organizations->PM_Org->aboutToShow();
    EXPECT_TRUE(m_organizations->PM_Org_Add->isEnabled());
    EXPECT_FALSE(m_organizations->PM_Org_Edit->isEnabled());
    EXPECT_FALSE(m_organizations->PM_Org_Del->isEnabled());

    QWidget* viewport = m_organizations->DBGrid_Organs->viewport();
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(40, 40));
    // The shortcuts work while the menu is closed, and do nothing on an empty list.
    m_organizations->DBGrid_Organs->setFocus();
    QTest::keyClick(m_organizations->DBGrid_Organs, Qt::Key_Delete);
    QTest::keyClick(m_organizations->DBGrid_Organs, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_TRUE(m_dialogs.execs().isEmpty());
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
}

TEST_F(NoOrganizationsTest, TheFirstOrganizationEnablesEditAndDeleteWithoutThePopup) {
    emit m_organizations->PM_Org->aboutToShow();
    ASSERT_FALSE(m_organizations->PM_Org_Edit->isEnabled());
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      typeText(f.Edit_Name, QStringLiteral("Первая"));
                                      f.Btn_OK->click();
                                      return f.result();
                                  });
    m_organizations->PM_Org_Add->trigger();
    ASSERT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ORGANIZATION")), 1);
    EXPECT_TRUE(m_organizations->PM_Org_Edit->isEnabled());
    EXPECT_TRUE(m_organizations->PM_Org_Del->isEnabled());
}

TEST_F(NoOrganizationsTest, AnEmptyListAcceptsAnyNameThatIsNotBlank) {
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      f.show();
                                      EXPECT_FALSE(f.Btn_OK->isEnabled());
                                      typeText(f.Edit_Name, QStringLiteral("Первая"));
                                      EXPECT_TRUE(f.Btn_OK->isEnabled());
                                      f.Btn_OK->click();
                                      return f.result();
                                  });
    m_organizations->PM_Org_Add->trigger();
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAME FROM ORGANIZATION")).toString(),
              QStringLiteral("Первая"));
    emit m_organizations->PM_Org->aboutToShow();
    EXPECT_TRUE(m_organizations->PM_Org_Edit->isEnabled());
}

TEST_F(OrganizationsTest, TheLiveNameCheckFollowsEveryKeystroke) {
    struct Case {
        const char* typed;
        const char* boxShows;
        bool usable;
    } cases[] = {
        {"", "", false},                           // the dialog opens for a new row
        {"ооо ромашка", "ооо ромашка", false},     // taken, other letter case
        {"ООО   Ромашка", "ООО   Ромашка", false}, // taken, runs of blanks
        {" ", "", false},                          // a leading blank vanishes at once
        {"   ", "", false},                        // so does a name of blanks only
        {" Новая  фирма  ", "Новая  фирма  ", true},
        {"ИП Лютик2", "ИП Лютик2", true},
    };
    onExec<TOrganization_AE_Form>(
        QStringLiteral("TOrganization_AE_Form"), [&](TOrganization_AE_Form& f) {
            EXPECT_EQ(f.windowTitle(), QStringLiteral("Новая организация"));
            EXPECT_EQ(f.editMode(), 0);
            f.show();
            for (const Case& c : cases) {
                f.Edit_Name->clear();
                typeText(f.Edit_Name, QString::fromUtf8(c.typed));
                EXPECT_EQ(f.Edit_Name->text(), QString::fromUtf8(c.boxShows)) << c.typed;
                EXPECT_EQ(f.Btn_OK->isEnabled(), c.usable) << c.typed;
                EXPECT_EQ(textColour(f.Edit_Name), c.usable ? kBlack : kRed) << c.typed;
            }
            f.Edit_Name->clear();
            typeText(f.Edit_Name, QStringLiteral("Новая  фирма  "));
            typeText(f.Edit_ReqINN, QStringLiteral("500100732259"));
            f.CB_Buh_Tax_System_Main->setCurrentIndex(3);
            f.CB_Buh_Tax_System_Addit->setCurrentIndex(1);
            f.Memo_Comments->setPlainText(QStringLiteral("Новый клиент"));
            shot(&f, QStringLiteral("organization_ae_form"));
            f.Btn_OK->click();
            return f.result();
        });
    m_organizations->PM_Org_Add->trigger();

    ASSERT_TRUE(m_dialogs.shown().isEmpty()) << texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(organisations(), 3);
    // Runs of blanks become one, a trailing blank stays one blank.
    fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
    fb::Statement row(tr, QStringLiteral("SELECT NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, "
                                         "USERS_ID, REQ_INN, REQ_KPP, COMMENTS FROM ORGANIZATION "
                                         "WHERE NAME STARTING WITH 'Новая'"));
    row.open();
    ASSERT_TRUE(row.fetch());
    EXPECT_EQ(row.value(0).toString(), QStringLiteral("Новая фирма "));
    EXPECT_EQ(row.value(1).toInt(), 3);
    EXPECT_EQ(row.value(2).toInt(), 1);
    EXPECT_EQ(row.value(3).toInt(), 0);
    EXPECT_EQ(row.value(4).toString(), QStringLiteral("500100732259"));
    EXPECT_TRUE(row.value(5).isNull()); // an empty KPP is stored as NULL
    EXPECT_EQ(row.value(6).toString(), QStringLiteral("Новый клиент"));
    // The new row is current and its comments show beside the list.
    EXPECT_EQ(m_organizations->Memo_Comments->toPlainText(), QStringLiteral("Новый клиент"));
}

TEST_F(OrganizationsTest, ANameLongerThanTheColumnIsRefusedByTheCheck) {
    onExec<TOrganization_AE_Form>(
        QStringLiteral("TOrganization_AE_Form"), [](TOrganization_AE_Form& f) {
            f.show();
            f.Edit_Name->setText(QString(128, QChar(u'Я')));
            EXPECT_TRUE(f.Btn_OK->isEnabled());
            f.Edit_Name->setText(QString(129, QChar(u'Я')));
            EXPECT_FALSE(f.Btn_OK->isEnabled());
            EXPECT_EQ(textColour(f.Edit_Name), kRed);
            // Blanks that collapse do not count.
            f.Edit_Name->setText(QString(127, QChar(u'Я')) + QStringLiteral("   "));
            EXPECT_TRUE(f.Btn_OK->isEnabled());
            return int(QDialog::Rejected);
        });
    m_organizations->PM_Org_Add->trigger();
    EXPECT_EQ(m_dialogs.execs(), QStringList{QStringLiteral("TOrganization_AE_Form")});
}

TEST_F(OrganizationsTest, ChangingKeepsItsOwnNameAndStoresUsersIdZero) {
    ASSERT_TRUE(locate(10));
    onExec<TOrganization_AE_Form>(
        QStringLiteral("TOrganization_AE_Form"), [&](TOrganization_AE_Form& f) {
            EXPECT_EQ(f.windowTitle(), QStringLiteral("Редактирование параметров организации"));
            EXPECT_EQ(f.editMode(), 1);
            f.show();
            // Filled from the row, and its own name is usable at once.
            EXPECT_EQ(f.Edit_Name->text(), QStringLiteral("ООО Ромашка"));
            EXPECT_EQ(f.Edit_ReqINN->text(), QStringLiteral("7701234567"));
            EXPECT_EQ(f.Label_CountINN->text(), QStringLiteral("10"));
            EXPECT_EQ(f.Label_CountKPP->text(), QStringLiteral("9"));
            EXPECT_EQ(f.CB_Buh_Tax_System_Main->currentText(), QStringLiteral("УСНО - 6%"));
            EXPECT_EQ(f.CB_Buh_Tax_System_Addit->currentText(), QStringLiteral("ЕНВД"));
            EXPECT_EQ(f.Memo_Comments->toPlainText(), QStringLiteral("Оптовая торговля"));
            EXPECT_TRUE(f.Btn_OK->isEnabled());
            f.Edit_Name->selectAll();
            typeText(f.Edit_Name, QStringLiteral("ип лютик"));
            EXPECT_FALSE(f.Btn_OK->isEnabled());
            f.Edit_Name->selectAll();
            typeText(f.Edit_Name, QStringLiteral("ооо  РОМАШКА"));
            EXPECT_TRUE(f.Btn_OK->isEnabled());
            f.CB_Buh_Tax_System_Main->setCurrentIndex(2);
            f.Btn_OK->click();
            return f.result();
        });
    m_organizations->PM_Org_Edit->trigger();

    EXPECT_EQ(scalar(QStringLiteral("SELECT NAME FROM ORGANIZATION WHERE ID = 10")).toString(),
              QStringLiteral("ооо РОМАШКА"));
    EXPECT_EQ(count(QStringLiteral("SELECT USERS_ID FROM ORGANIZATION WHERE ID = 10")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT BUH_TAX_SYSTEM_MAIN FROM ORGANIZATION WHERE ID = 10")),
              2);
    // The list shows the row as stored, with the list text of the tax system.
    const int row = qOrgan().currentRow();
    EXPECT_EQ(m_organizations->model->index(row, 0).data().toString(),
              QStringLiteral("ооо РОМАШКА"));
    EXPECT_EQ(m_organizations->model->index(row, 1).data().toString(), QStringLiteral("УСНО-15%"));
}

TEST_F(OrganizationsTest, ADoubleClickChangesTheRowUnderIt) {
    ASSERT_TRUE(locate(20));
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      EXPECT_EQ(f.editMode(), 1);
                                      EXPECT_EQ(f.Edit_Name->text(), QStringLiteral("ИП Лютик"));
                                      return int(QDialog::Rejected);
                                  });
    emit m_organizations->DBGrid_Organs->rowDoubleClicked(qOrgan().currentRow());
    EXPECT_EQ(m_dialogs.execs().size(), 1);
}

TEST_F(OrganizationsTest, ANameTheDatabaseHoldsAlreadyIsRefusedAndNothingIsStored) {
    // Another workstation stores the name after this list was read, so the live check lets it
    // pass and the database refuses it.
    m_db->exec(QStringLiteral("INSERT INTO ORGANIZATION (ID, NAME) VALUES (30, 'ЗАО Василёк')"));
    const int rowsBefore = qOrgan().rowCount();
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      f.show();
                                      typeText(f.Edit_Name, QStringLiteral("зао василёк"));
                                      EXPECT_TRUE(f.Btn_OK->isEnabled());
                                      f.Btn_OK->click();
                                      return f.result();
                                  });
    m_organizations->PM_Org_Add->trigger();

    ASSERT_EQ(m_dialogs.shown().size(), 1);
    const MessageRequest box = m_dialogs.lastMessage();
    EXPECT_EQ(box.text, QStringLiteral("Ошибка записи в базу данных - возможно, организция с таким "
                                       "именем, уже существует в базе данных."));
    EXPECT_EQ(box.caption, QStringLiteral("Сроковед"));
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_EQ(organisations(), 3);
    EXPECT_EQ(qOrgan().rowCount(), rowsBefore);
    EXPECT_EQ(qOrgan().state(), fb::Dataset::State::Browse);
}

TEST_F(OrganizationsTest, TextTheCodePageCannotHoldIsRefusedWithThatReason) {
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      f.show();
                                      f.Edit_Name->setText(QStringLiteral("ООО «Улыбка» 😀"));
                                      f.Btn_OK->click();
                                      return f.result();
                                  });
    m_organizations->PM_Org_Add->trigger();

    ASSERT_EQ(m_dialogs.shown().size(), 1);
    const MessageRequest box = m_dialogs.lastMessage();
    EXPECT_TRUE(box.text.contains(QStringLiteral("😀"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("Windows-1251")));
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_EQ(organisations(), 2);
    EXPECT_EQ(qOrgan().state(), fb::Dataset::State::Browse);
}

TEST_F(OrganizationsTest, TaxpayerNumbersTakeDigitsBackspaceCopyAndPasteOnly) {
    onExec<TOrganization_AE_Form>(
        QStringLiteral("TOrganization_AE_Form"), [&](TOrganization_AE_Form& f) {
            f.show();
            struct Step {
                std::function<void()> keys;
                const char* inn;
            } steps[] = {
                {[&] { typeText(f.Edit_ReqINN, QStringLiteral("12ab3 4-Ж5")); }, "12345"},
                {[&] { QTest::keyClick(f.Edit_ReqINN, Qt::Key_Backspace); }, "1234"},
                {[&] { QTest::keyClick(f.Edit_ReqINN, Qt::Key_Home); }, "1234"},
                {[&] { QTest::keyClick(f.Edit_ReqINN, Qt::Key_Delete); }, "234"},
                {[&] { QTest::keyClick(f.Edit_ReqINN, Qt::Key_X, Qt::ControlModifier); }, "234"},
                {[&] { QTest::keyClick(f.Edit_ReqINN, Qt::Key_End); }, "234"},
                // Pasted text is taken as it is, within the box's twelve characters.
                {[&] {
                     QApplication::clipboard()->setText(QStringLiteral("9 8-7abcdefghij"));
                     QTest::keyClick(f.Edit_ReqINN, Qt::Key_V, Qt::ControlModifier);
                 },
                 "2349 8-7abcd"},
            };
            for (const Step& step : steps) {
                step.keys();
                EXPECT_EQ(f.Edit_ReqINN->text(), QString::fromUtf8(step.inn));
                EXPECT_EQ(f.Label_CountINN->text(), QString::number(f.Edit_ReqINN->text().size()));
            }
            // Copy works.
            f.Edit_ReqINN->setSelection(0, 3);
            QApplication::clipboard()->clear();
            QTest::keyClick(f.Edit_ReqINN, Qt::Key_C, Qt::ControlModifier);
            EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("234"));

            typeText(f.Edit_ReqKPP, QStringLiteral("77О10100Z1 0123456789"));
            EXPECT_EQ(f.Edit_ReqKPP->text(), QStringLiteral("7710100101234567"));
            EXPECT_EQ(f.Label_CountKPP->text(), QStringLiteral("16"));

            // Typed letters do not move the drop-down lists; the arrows do.
            typeText(f.CB_Buh_Tax_System_Main, QStringLiteral("УЕ"));
            EXPECT_EQ(f.CB_Buh_Tax_System_Main->currentIndex(), 0);
            QTest::keyClick(f.CB_Buh_Tax_System_Main, Qt::Key_Down);
            EXPECT_EQ(f.CB_Buh_Tax_System_Main->currentIndex(), 1);
            typeText(f.CB_Buh_Tax_System_Addit, QStringLiteral("П"));
            EXPECT_EQ(f.CB_Buh_Tax_System_Addit->currentIndex(), 0);

            // Clearing asks first; No keeps the numbers.
            m_dialogs.answer({MsgResult::No, MsgResult::Yes});
            f.SBtn_ClearReq->click();
            EXPECT_EQ(f.Edit_ReqKPP->text().size(), 16);
            f.SBtn_ClearReq->click();
            EXPECT_TRUE(f.Edit_ReqINN->text().isEmpty());
            EXPECT_TRUE(f.Edit_ReqKPP->text().isEmpty());
            EXPECT_EQ(f.Label_CountINN->text(), QStringLiteral("0"));
            EXPECT_EQ(f.Label_CountKPP->text(), QStringLiteral("0"));
            return int(QDialog::Rejected);
        });
    m_organizations->PM_Org_Add->trigger();

    ASSERT_EQ(m_dialogs.shown().size(), 2);
    for (const MessageRequest& box : m_dialogs.messages()) {
        EXPECT_EQ(box.text, QStringLiteral(" \nОчистить все реквизиты организации?"));
        EXPECT_EQ(box.caption, QStringLiteral("Очистка реквизитов организации"));
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    }
    EXPECT_EQ(organisations(), 2); // cancelled: nothing stored
}

TEST_F(OrganizationsTest, StoredNumbersHaveTheirBlankRunsCollapsed) {
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      f.show();
                                      typeText(f.Edit_Name, QStringLiteral("Пробелы"));
                                      // Pasted numbers may bring blanks along.
                                      f.Edit_ReqINN->setText(QStringLiteral("77  01   2"));
                                      f.Edit_ReqKPP->setText(QStringLiteral("  7701"));
                                      f.Btn_OK->click();
                                      return f.result();
                                  });
    m_organizations->PM_Org_Add->trigger();
    EXPECT_EQ(scalar(QStringLiteral("SELECT REQ_INN FROM ORGANIZATION WHERE NAME = 'Пробелы'"))
                  .toString(),
              QStringLiteral("77 01 2"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT REQ_KPP FROM ORGANIZATION WHERE NAME = 'Пробелы'"))
                  .toString(),
              QStringLiteral(" 7701"));
}

TEST_F(OrganizationsTest, DeletingAsksAndTheDatabaseTakesTheAssignmentsAndHistoryAlong) {
    ASSERT_TRUE(locate(10));
    m_dialogs.answer(MsgResult::No);
    m_organizations->PM_Org_Del->trigger();
    EXPECT_EQ(organisations(), 2);

    m_dialogs.answer(MsgResult::Yes);
    m_organizations->PM_Org_Del->trigger();

    ASSERT_EQ(m_dialogs.shown().size(), 2);
    const MessageRequest box = m_dialogs.lastMessage();
    EXPECT_EQ(box.caption, QStringLiteral("Безвозвратное удаление организации"));
    EXPECT_EQ(box.icon, MsgIcon::Warning);
    EXPECT_EQ(box.buttons, MsgButtons::YesNo);
    EXPECT_EQ(box.text,
              QStringLiteral("Вместе с этой организацией, из базы данных, так же будут удалены все "
                             "ссылки на отчётности, связанные с ней, а именно :\n \n- ссылки в "
                             "таблице \"Отчётности для организации\"\n- вся история сдач "
                             "отчётностей для данной организации\n \nСправочники отчётностей и "
                             "праздничных дней при этой операции не изменятся.\n \nВы "
                             "действительно хотите удалить эту организацию из базы данных?"));
    EXPECT_EQ(organisations(), 1);
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE ORGANIZATION_ID = 10")),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE ORGANIZATION_ID = 10")),
              0);
    // The other client and the reports directory are untouched.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE ORGANIZATION_ID = 20")),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_ACCOUNT")), 1);
    EXPECT_EQ(qOrgan().rowCount(), 1);
    EXPECT_EQ(qOrgan().fieldValue(QStringLiteral("ID")).toInt(), 20);
}

TEST_F(OrganizationsTest, TheCommentsFollowTheCurrentRowAndTheListShowsTheCodesAsTexts) {
    ASSERT_TRUE(locate(10));
    EXPECT_EQ(m_organizations->Memo_Comments->toPlainText(), QStringLiteral("Оптовая торговля"));
    ASSERT_TRUE(locate(20));
    EXPECT_TRUE(m_organizations->Memo_Comments->toPlainText().isEmpty());
    const int row = qOrgan().currentRow();
    EXPECT_EQ(m_organizations->model->index(row, 1).data().toString(), QStringLiteral("УСНО-15%"));
    EXPECT_EQ(m_organizations->model->index(row, 2).data().toString(), QStringLiteral("Патент"));
    m_organizations->resize(1000, 300);
    shot(m_organizations.get(), QStringLiteral("organizations_panel"));
}

TEST_F(OrganizationsTest, EditingKeepsTaxSystemCodesTheListsCannotShow) {
    m_db->exec(QStringLiteral("UPDATE ORGANIZATION SET BUH_TAX_SYSTEM_MAIN = NULL, "
                              "BUH_TAX_SYSTEM_ADDIT = 9 WHERE ID = 20"));
    qOrgan().refresh();
    ASSERT_TRUE(locate(20));
    onExec<TOrganization_AE_Form>(QStringLiteral("TOrganization_AE_Form"),
                                  [](TOrganization_AE_Form& f) {
                                      f.Memo_Comments->setPlainText(QStringLiteral("Новый текст"));
                                      f.Btn_OK->click();
                                      return f.result();
                                  });
    m_organizations->PM_Org_Edit->trigger();
    ASSERT_TRUE(m_dialogs.shown().isEmpty()) << texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COMMENTS FROM ORGANIZATION WHERE ID = 20")).toString(),
              QStringLiteral("Новый текст"));
    EXPECT_TRUE(scalar(QStringLiteral("SELECT BUH_TAX_SYSTEM_MAIN FROM ORGANIZATION WHERE ID = 20"))
                    .isNull());
    EXPECT_EQ(count(QStringLiteral("SELECT BUH_TAX_SYSTEM_ADDIT FROM ORGANIZATION WHERE ID = 20")),
              9);
}
