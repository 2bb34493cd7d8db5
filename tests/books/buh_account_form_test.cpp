#include "books_fixture.h"

#include "books/buh_account_ae_form.h"
#include "books/buh_account_form.h"
#include "books/scheduler_params_form.h"
#include "schedule/holiday_map.h"
#include "schedule/periods.h"
#include "widgets/balloon_hint.h"
#include "widgets/data_grid.h"
#include "widgets/spin_edit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QToolButton>

#include <map>

namespace {

// Two clients. НДС (quarterly) and РСВ (monthly with a special term) are on for Ромашка;
// for Лютик НДС is off and РСВ on. Баланс (yearly) is assigned to nobody, the archived report
// is kept for its history.
constexpr char kSeed[] =
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT) VALUES (10, "
    "'ООО Ромашка', 0, 2);"
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT) VALUES (20, "
    "'ИП Лютик', 1, 1);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL, "
    "COMMENTS) VALUES (1, 'Декларация по НДС', 25, NULL, 1, 5, 0, 'Ежеквартально');"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (2, 'Баланс', 90, NULL, 2, 10, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (3, 'РСВ', 20, 45, 0, 3, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (4, 'Архивный отчёт', 15, NULL, 0, 3, 1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (3, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, 20, "
    "0);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (3, 20, "
    "1);"
    "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, DT_ACTION) "
    "VALUES (10, 4, 0, '2020-01-31', '2020-02-15');";

const QColor kArchived(255, 200, 190);

std::map<QDate, QDate> plannedDeadlines(int cycling, int dayAction, int dayAction12,
                                        const QDate& today) {
    std::map<QDate, QDate> planned;
    const HolidayMap noHolidays;
    for (const PeriodPlan& plan :
         planPeriods(cycling, dayAction, dayAction12, today.year(), today, noHolidays)) {
        if (plan.scheduled)
            planned[plan.periodEnd] = plan.shifted;
    }
    return planned;
}

class BuhAccountFormTest : public BooksFixture {
protected:
    QString seedSql() const override { return QString::fromUtf8(kSeed); }

    std::unique_ptr<TBuhAccountForm> openDirectory() {
        auto form = std::make_unique<TBuhAccountForm>(*m_env);
        // The management mode of the main menu.
        form->Btn_OK->hide();
        form->RBtn_Any->setEnabled(false);
        form->RBtn_None->setEnabled(false);
        return form;
    }
    bool locate(TBuhAccountForm& form, int id) {
        return form.qBuhAccount->locate(QStringLiteral("ID"), id);
    }
    std::map<QDate, QDate> storedDeadlines(int organisation, int report) const {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, QStringLiteral("SELECT DT_END_ACCOUNT, DT_ACTION FROM BUH_HISTORY "
                                               "WHERE ORGANIZATION_ID = %1 AND BUH_ACCOUNT_ID = %2")
                                    .arg(organisation)
                                    .arg(report));
        std::map<QDate, QDate> stored;
        query.open();
        while (query.fetch())
            stored[query.value(0).toDateTime().date()] = query.value(1).toDateTime().date();
        return stored;
    }
    int entries(const QString& where = QStringLiteral("1 = 1")) const {
        return count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE ") + where);
    }
    // The user's path through the two schedule boxes and the parameters dialog.
    void answerScheduleRun(MsgResult question, bool create) {
        m_dialogs.answer(question);
        onExec<TBuhShedulerParamsForm>(QStringLiteral("TBuhShedulerParamsForm"),
                                       [create](TBuhShedulerParamsForm& f) {
                                           (create ? f.Btn_OK : f.Btn_Cancel)->click();
                                           return f.result();
                                       });
    }
};

class EmptyDirectoryTest : public BooksFixture {};

class NoOrganizationsDirectoryTest : public BooksFixture {
protected:
    QString seedSql() const override {
        return QStringLiteral("INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, "
                              "DAY_WARNING, DEL) VALUES (1, 'НДС', 25, 1, 5, 0);"
                              "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, "
                              "DAY_WARNING, DEL) VALUES (2, 'РСВ', 20, 0, 5, 0);");
    }
};

} // namespace

TEST_F(BuhAccountFormTest, ShowsTheReportsWithTheirTextsAndPaintsTheArchivedOnes) {
    auto form = openDirectory();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Бухгалтерская отчётность"));
    EXPECT_EQ(form->Label_Header->text(), QStringLiteral("Справочник бухгалтерской отчётности"));
    EXPECT_EQ(form->Label_Info2->text(),
              QStringLiteral("Внесите в справочник необходимую отчётность"));
    EXPECT_TRUE(form->RBtn_Select->isChecked());
    ASSERT_EQ(form->qBuhAccount->rowCount(), 4);

    struct Row {
        int id;
        QStringList texts; // NAME .. DEL as the grid shows them
        bool archived;
    } rows[] = {
        {4, {"Архивный отчёт", "15", "-", "Месяц", "3", "В архиве"}, true},
        {2, {"Баланс", "90", "-", "Год", "10", "Активная"}, false},
        {1, {"Декларация по НДС", "25", "-", "Квартал", "5", "Активная"}, false},
        {3, {"РСВ", "20", "45", "Месяц", "3", "Активная"}, false},
    };
    for (int r = 0; r < 4; ++r) {
        const Row& expected = rows[r];
        EXPECT_EQ(form->qBuhAccount->value(r, QStringLiteral("ID")).toInt(), expected.id);
        for (int c = 0; c < expected.texts.size(); ++c)
            EXPECT_EQ(form->model->index(r, c).data().toString(), expected.texts.at(c))
                << r << "," << c;
        const QVariant background = form->model->index(r, 0).data(Qt::BackgroundRole);
        const QVariant highlighted =
            form->model->index(r, 0).data(DatasetModel::HighlightedForegroundRole);
        if (expected.archived) {
            EXPECT_EQ(background.value<QBrush>().color(), kArchived);
            EXPECT_EQ(highlighted.value<QColor>(), kArchived);
        } else {
            EXPECT_FALSE(background.isValid());
        }
    }
    EXPECT_EQ(
        form->model->headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
        QColor(0, 0, 255));

    // An archived row cannot be changed, archived or scheduled; it can be deleted.
    struct Enabling {
        int id;
        bool change;
        const char* comments;
    } enabling[] = {{4, false, ""}, {1, true, "Ежеквартально"}, {2, true, ""}};
    for (const Enabling& e : enabling) {
        ASSERT_TRUE(locate(*form, e.id));
        EXPECT_EQ(form->TBtn_Chng->isEnabled(), e.change) << e.id;
        EXPECT_EQ(form->TBtn_Off->isEnabled(), e.change) << e.id;
        EXPECT_EQ(form->TBtn_CreateHistory_One->isEnabled(), e.change) << e.id;
        EXPECT_TRUE(form->TBtn_Del->isEnabled()) << e.id;
        EXPECT_TRUE(form->TBtn_CreateHistory->isEnabled()) << e.id;
        EXPECT_EQ(form->Memo_Comments->toPlainText(), QString::fromUtf8(e.comments)) << e.id;
    }
    ASSERT_TRUE(locate(*form, 1));
    shot(form.get(), QStringLiteral("buh_account_form"));
}

TEST_F(EmptyDirectoryTest, AnEmptyDirectoryOffersOnlyAdd) {
    TBuhAccountForm form(*m_env);
    EXPECT_TRUE(form.TBtn_Add->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{form.TBtn_Chng, form.TBtn_Off, form.TBtn_Del,
                                                      form.TBtn_CreateHistory_One,
                                                      form.TBtn_CreateHistory, form.Btn_OK})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    form.DBGrid_BuhAccountDblClick();
    EXPECT_TRUE(m_dialogs.execs().isEmpty());
}

TEST_F(NoOrganizationsDirectoryTest, ScheduleButtonsStartDisabledUntilTheFirstMove) {
    TBuhAccountForm form(*m_env);
    EXPECT_TRUE(form.TBtn_Chng->isEnabled());
    EXPECT_FALSE(form.TBtn_CreateHistory_One->isEnabled());
    EXPECT_FALSE(form.TBtn_CreateHistory->isEnabled());
    form.qBuhAccount->next();
    EXPECT_TRUE(form.TBtn_CreateHistory_One->isEnabled());
    EXPECT_TRUE(form.TBtn_CreateHistory->isEnabled());
}

TEST_F(BuhAccountFormTest, SearchMatchesAnywhereIgnoringCaseWithinTheVisibleReports) {
    auto form = openDirectory();
    struct Case {
        QStringList visible;
        const char* search;
        QList<int> ids;
    } cases[] = {
        {{}, "", {4, 2, 1, 3}},    {{}, "НДС", {1}},         {{}, "нДс", {1}},
        {{}, "от", {4}},           {{"1", "3"}, "", {1, 3}}, {{"1", "3"}, "с", {1, 3}},
        {{"1", "3"}, "архив", {}}, {{}, "zzz", {}},
    };
    for (const Case& c : cases) {
        form->SetVisibleReportIds(c.visible);
        form->Edit_Search->clear();
        typeText(form->Edit_Search, QString::fromUtf8(c.search));
        QList<int> shown;
        for (int r = 0; r < form->qBuhAccount->rowCount(); ++r)
            shown << form->qBuhAccount->value(r, QStringLiteral("ID")).toInt();
        EXPECT_EQ(shown, c.ids) << c.search << " / " << c.visible.join(',').toStdString();
    }
    form->SetVisibleReportIds({});
    form->Edit_Search->clear();
    EXPECT_EQ(form->qBuhAccount->rowCount(), 4);
    // The arrow keys in the search box walk the list.
    form->qBuhAccount->first();
    QTest::keyClick(form->Edit_Search, Qt::Key_Down);
    QTest::keyClick(form->Edit_Search, Qt::Key_Down);
    EXPECT_EQ(form->selectedId().toInt(), 1);
    QTest::keyClick(form->Edit_Search, Qt::Key_Up);
    EXPECT_EQ(form->selectedId().toInt(), 2);
}

TEST_F(BuhAccountFormTest, PickerModesAndTheArchivedRefusal) {
    // The schedule tab's picker: no tool bar, "none" disabled, archived reports allowed.
    {
        TBuhAccountForm picker(*m_env);
        picker.ToolBar_Main->hide();
        picker.RBtn_None->setEnabled(false);
        picker.setAllowArchived(true);
        picker.preselectReport(4);
        EXPECT_TRUE(picker.RBtn_Select->isChecked());
        EXPECT_EQ(picker.selectedId().toInt(), 4);
        picker.show();
        picker.DBGrid_BuhAccountDblClick(); // Btn_OK is visible: the double click chooses
        EXPECT_EQ(picker.result(), QDialog::Accepted);
        EXPECT_EQ(picker.selectedName(), QStringLiteral("Архивный отчёт"));
        EXPECT_TRUE(m_dialogs.shown().isEmpty());
    }
    {
        TBuhAccountForm picker(*m_env);
        picker.preselectAny();
        EXPECT_TRUE(picker.RBtn_Any->isChecked());
        EXPECT_FALSE(picker.Edit_Search->isEnabled());
        EXPECT_FALSE(picker.DBGrid_BuhAccount->isEnabled());
        EXPECT_EQ(picker.Edit_Search->palette().color(QPalette::Base),
                  QApplication::palette(picker.Edit_Search).color(QPalette::Button));
        picker.RBtn_Select->click();
        EXPECT_TRUE(picker.Edit_Search->isEnabled());
        EXPECT_TRUE(picker.DBGrid_BuhAccount->isEnabled());
    }
    // The operations window's picker does not take an archived report, whatever is checked.
    {
        TBuhAccountForm picker(*m_env);
        picker.SetVisibleReportIds({QStringLiteral("4"), QStringLiteral("3")});
        ASSERT_EQ(picker.qBuhAccount->rowCount(), 2);
        picker.preselectReport(4);
        picker.show();
        picker.Btn_OK->click();
        EXPECT_TRUE(picker.isVisible());
        ASSERT_EQ(m_dialogs.shown().size(), 1);
        const MessageRequest box = m_dialogs.lastMessage();
        EXPECT_EQ(box.caption, QStringLiteral("Отчётность выключена"));
        EXPECT_EQ(box.icon, MsgIcon::Error);
        EXPECT_EQ(box.text,
                  QStringLiteral("Данная отчётность выключена - это означает, что для этой "
                                 "отчётности нельзя создать расписание. В то же время, для "
                                 "выключенной отчётности можно получать отчёты о прошлых её "
                                 "сдачах."));
        picker.preselectReport(3);
        picker.Btn_OK->click();
        EXPECT_EQ(picker.result(), QDialog::Accepted);
    }
}

TEST_F(BuhAccountFormTest, TheHelpLabelsOpenBalloons) {
    auto form = openDirectory();
    form->show();
    QTest::mouseClick(form->Label_Help, Qt::LeftButton);
    BalloonHint* balloon = BalloonHint::forWindow(form.get());
    EXPECT_EQ(balloon->anchor(), form->Label_Help);
    EXPECT_EQ(balloon->header(), QStringLiteral("Краткая справка"));
    EXPECT_EQ(balloon->timeout(), 30000);
    // The balloon shows the carriage-return and line-feed pairs as line breaks.
    EXPECT_EQ(balloon->text(),
              TBuhAccountForm::helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const QStringList lines = TBuhAccountForm::helpText().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines.at(0), QStringLiteral("Расписание СОЗДАЁТСЯ в базе данных :"));
    EXPECT_EQ(lines.at(7), QStringLiteral("- при \"Включении\" отчётности - для одной или всех "
                                          "отчётностей одной организации"));
    shot(form.get(), QStringLiteral("buh_account_help_balloon"));
    balloon->grab().save(QStringLiteral("/tmp/shot_buh_account_balloon.png"));

    QTest::mouseClick(form->Label_Help_2, Qt::LeftButton);
    EXPECT_EQ(balloon->anchor(), form->Label_Help_2);
    const QStringList lines2 = balloon->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines2.size(), 9);
    EXPECT_EQ(lines2.last(), QStringLiteral("- Закладка \"Организации\" - \"Бухгалтерская "
                                            "отчётность\" "));
}

TEST_F(BuhAccountFormTest, AddingFollowsThePeriodicityAndCheckBoxRules) {
    auto form = openDirectory();
    typeText(form->Edit_Search, QStringLiteral("НДС"));
    struct Rule {
        int cycling;
        const char* dayLabel;
        const char* label12;
        bool boxEnabled;
    } rules[] = {
        {0,
         "Количество дней, до крайней даты сдачи отчётности, по окончании месяца ( включительно "
         ") : ",
         "Количество дней, до крайней даты сдачи отчётности, по окончании 12 месяца ( "
         "включительно ) : ",
         true},
        {1,
         "Количество дней, до крайней даты сдачи отчётности, по окончании квартала ( "
         "включительно ) : ",
         "Количество дней, до крайней даты сдачи отчётности, по окончании 4 квартала ( "
         "включительно ) : ",
         true},
        {2,
         "Количество дней, до крайней даты сдачи отчётности, по окончании года ( включительно ) "
         ": ",
         "Для годовых отчётов данная функция не работает...", false},
    };
    onExec<TBuhAccountAEForm>(QStringLiteral("TBuhAccountAEForm"), [&](TBuhAccountAEForm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Новая отчётность"));
        EXPECT_EQ(f.Label_Info2->text(), QStringLiteral("Укажите параметры для отчётности ..."));
        f.show();
        // Defaults, and the name check covers every report: the search was emptied.
        EXPECT_FALSE(f.Btn_OK->isEnabled());
        EXPECT_EQ(f.cycling(), 0);
        EXPECT_EQ(f.SE_Day_Action->value(), 15);
        EXPECT_EQ(f.SE_Day_Action_12->value(), 15);
        EXPECT_EQ(f.SE_Day_Warning->value(), 3);
        EXPECT_FALSE(f.CB_Day_Action_12->isChecked());
        EXPECT_FALSE(f.SE_Day_Action_12->isEnabled());
        typeText(f.Edit_Buh_Account, QStringLiteral("рсв"));
        EXPECT_FALSE(f.Btn_OK->isEnabled());
        EXPECT_EQ(textColour(f.Edit_Buh_Account), QColor(255, 0, 0));
        f.Edit_Buh_Account->clear();
        typeText(f.Edit_Buh_Account, QStringLiteral(" Новая   отчётность"));
        EXPECT_EQ(f.Edit_Buh_Account->text(), QStringLiteral("Новая   отчётность"));
        EXPECT_TRUE(f.Btn_OK->isEnabled());
        EXPECT_EQ(textColour(f.Edit_Buh_Account), QColor(0, 0, 0));

        const QPalette system = QApplication::palette(&f);
        for (const Rule& r : rules) {
            f.CB_Day_Action_12->setChecked(true);
            f.cyclingButtons->button(r.cycling)->click();
            EXPECT_EQ(f.Label_Day_Action->text(), QString::fromUtf8(r.dayLabel));
            EXPECT_EQ(f.Label_Action_12->text(), QString::fromUtf8(r.label12));
            EXPECT_EQ(f.CB_Day_Action_12->isEnabled(), r.boxEnabled);
            EXPECT_EQ(f.CB_Day_Action_12->isChecked(), r.boxEnabled);
            EXPECT_EQ(f.SE_Day_Action_12->isEnabled(), r.boxEnabled);
            const QColor labels = r.boxEnabled
                                      ? system.color(QPalette::Active, QPalette::WindowText)
                                      : system.color(QPalette::Disabled, QPalette::Text);
            EXPECT_EQ(f.Label_Action_12->palette().color(QPalette::WindowText), labels);
            EXPECT_EQ(f.Label_Help_Days_2->palette().color(QPalette::WindowText), labels);
        }
        // The check-box rule on its own; the yearly rule left the box unchecked.
        f.cyclingButtons->button(1)->click();
        EXPECT_FALSE(f.CB_Day_Action_12->isChecked());
        EXPECT_FALSE(f.SE_Day_Action_12->isEnabled());
        EXPECT_EQ(f.SE_Day_Action_12->palette().color(QPalette::Base),
                  system.color(QPalette::Button));
        f.CB_Day_Action_12->click();
        EXPECT_TRUE(f.SE_Day_Action_12->isEnabled());
        EXPECT_EQ(f.SE_Day_Action_12->palette().color(QPalette::Base),
                  system.color(QPalette::Base));
        f.CB_Day_Action_12->click();
        EXPECT_FALSE(f.SE_Day_Action_12->isEnabled());
        f.CB_Day_Action_12->click();
        f.SE_Day_Action->setValue(200); // spins stay in range
        EXPECT_EQ(f.SE_Day_Action->value(), 120);
        f.SE_Day_Action->setValue(28);
        f.SE_Day_Action_12->setValue(60);
        f.SE_Day_Warning->setValue(7);
        f.Memo_Comments->setPlainText(QStringLiteral("Новая"));
        shot(&f, QStringLiteral("buh_account_ae_form"));
        f.Btn_OK->click();
        return f.result();
    });
    form->TBtn_Add->click();
    EXPECT_TRUE(form->Edit_Search->text().isEmpty());
    ASSERT_TRUE(m_dialogs.shown().isEmpty()) << texts().join(QLatin1Char('|')).toStdString();

    fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
    fb::Statement row(tr,
                      QStringLiteral("SELECT NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
                                     "DAY_WARNING, DEL, COMMENTS FROM BUH_ACCOUNT WHERE ID > 4"));
    row.open();
    ASSERT_TRUE(row.fetch());
    EXPECT_EQ(row.value(0).toString(), QStringLiteral("Новая отчётность"));
    EXPECT_EQ(row.value(1).toInt(), 28);
    EXPECT_EQ(row.value(2).toInt(), 60);
    EXPECT_EQ(row.value(3).toInt(), 1);
    EXPECT_EQ(row.value(4).toInt(), 7);
    EXPECT_EQ(row.value(5).toInt(), 0);
    EXPECT_EQ(row.value(6).toString(), QStringLiteral("Новая"));
    EXPECT_EQ(form->Memo_Comments->toPlainText(), QStringLiteral("Новая"));
}

TEST_F(BuhAccountFormTest, AYearlyReportIsSavedWithoutASpecialTerm) {
    auto form = openDirectory();
    onExec<TBuhAccountAEForm>(QStringLiteral("TBuhAccountAEForm"), [](TBuhAccountAEForm& f) {
        f.show();
        typeText(f.Edit_Buh_Account, QStringLiteral("Годовой"));
        f.CB_Day_Action_12->click();
        f.cyclingButtons->button(2)->click();
        f.Btn_OK->click();
        return f.result();
    });
    form->TBtn_Add->click();
    EXPECT_TRUE(scalar(QStringLiteral("SELECT DAY_ACTION_12 FROM BUH_ACCOUNT WHERE NAME = "
                                      "'Годовой'"))
                    .isNull());
    EXPECT_EQ(count(QStringLiteral("SELECT CYCLING FROM BUH_ACCOUNT WHERE NAME = 'Годовой'")), 2);
}

TEST_F(BuhAccountFormTest, ANameTheDatabaseHoldsIsRefusedWithTheDirectorysMessage) {
    auto form = openDirectory();
    m_db->exec(QStringLiteral("INSERT INTO BUH_ACCOUNT (ID, NAME, DEL) VALUES (50, 'УСН', 0)"));
    onExec<TBuhAccountAEForm>(QStringLiteral("TBuhAccountAEForm"), [](TBuhAccountAEForm& f) {
        f.show();
        typeText(f.Edit_Buh_Account, QStringLiteral("усн"));
        f.Btn_OK->click();
        return f.result();
    });
    form->TBtn_Add->click();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Произошла ошибка записи в базу данных, возможно, отчётность с таким "
                             "наименованием уже присутствует в базе данных."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Бухгалтерская отчётность"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_ACCOUNT")), 5);
    EXPECT_EQ(form->qBuhAccount->rowCount(), 4);
    EXPECT_EQ(form->qBuhAccount->state(), fb::Dataset::State::Browse);
}

TEST_F(BuhAccountFormTest, ChangingRegeneratesOnlyWhenTheDeadlineTermsChange) {
    ASSERT_TRUE(m_engine->CreateBuhHistoryForAccount(3).clean());
    const QDate today = m_clock.today();
    ASSERT_EQ(storedDeadlines(10, 3), plannedDeadlines(0, 20, 45, today));
    ASSERT_EQ(storedDeadlines(20, 3), plannedDeadlines(0, 20, 45, today));
    // The main window shows Ромашка's assignments.
    ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 10));
    ASSERT_TRUE(qBuhAccRep().locate(QStringLiteral("BUH_ACCOUNT_ID"), 3));

    struct Case {
        const char* what;
        std::function<void(TBuhAccountAEForm&)> edit;
        bool accept;
        int dayAction;
        int dayAction12;
        bool regenerated;
    } cases[] = {
        {"name, warning days and comments",
         [](TBuhAccountAEForm& f) {
             f.Edit_Buh_Account->setText(QStringLiteral("РСВ  ежемесячный"));
             f.SE_Day_Warning->setValue(9);
             f.Memo_Comments->setPlainText(QStringLiteral("Комментарий"));
         },
         true, 20, 45, false},
        {"days, but cancelled", [](TBuhAccountAEForm& f) { f.SE_Day_Action->setValue(5); }, false,
         20, 45, false},
        {"deadline days", [](TBuhAccountAEForm& f) { f.SE_Day_Action->setValue(22); }, true, 22, 45,
         true},
        {"special term off", [](TBuhAccountAEForm& f) { f.CB_Day_Action_12->click(); }, true, 22,
         kDayAction12NotSet, true},
        {"special term on again",
         [](TBuhAccountAEForm& f) {
             f.CB_Day_Action_12->click();
             f.SE_Day_Action_12->setValue(50);
         },
         true, 22, 50, true},
    };
    auto form = openDirectory();
    for (const Case& c : cases) {
        m_dialogs.clear();
        ASSERT_TRUE(locate(*form, 3));
        onExec<TBuhAccountAEForm>(QStringLiteral("TBuhAccountAEForm"), [&](TBuhAccountAEForm& f) {
            EXPECT_EQ(f.windowTitle(), QStringLiteral("Редактирование отчётности"));
            EXPECT_FALSE(f.RG_Cycling->isEnabled());
            EXPECT_EQ(f.Label_Info2->text(), QStringLiteral("При редактировании отчётности, "
                                                            "нельзя поменять цикличность её "
                                                            "сдачи"));
            EXPECT_EQ(f.Label_Info2->palette().color(QPalette::WindowText), QColor(245, 244, 129));
            f.show();
            EXPECT_TRUE(f.Btn_OK->isEnabled()) << c.what;
            c.edit(f);
            (c.accept ? f.Btn_OK : f.Btn_Cancel)->click();
            return f.result();
        });
        form->TBtn_ChngClick();

        EXPECT_EQ(count(QStringLiteral("SELECT DAY_ACTION FROM BUH_ACCOUNT WHERE ID = 3")),
                  c.dayAction)
            << c.what;
        EXPECT_EQ(dayAction12FromDb(
                      scalar(QStringLiteral("SELECT DAY_ACTION_12 FROM BUH_ACCOUNT WHERE ID = 3"))),
                  c.dayAction12)
            << c.what;
        if (c.regenerated) {
            ASSERT_EQ(m_dialogs.shown().size(), 1) << c.what;
            EXPECT_EQ(m_dialogs.lastMessage().caption,
                      QStringLiteral("Создание расписания отчётностей"));
            EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Information);
            EXPECT_EQ(m_dialogs.lastMessage().text,
                      QStringLiteral("Вы изменили в бухгалтерской отчётности параметр "
                                     "\"Количество дней, до крайней даты сдачи отчётности ... "
                                     "\".\nПри изменении данного параметра, необходимо "
                                     "пересоздать расписание для этой отчётности на остаток "
                                     "текущего года.\n \nПожалуйста, нажмите \"Ок\" и дождитесь "
                                     "окончания этой операции."));
        } else {
            EXPECT_TRUE(m_dialogs.shown().isEmpty()) << c.what;
        }
        // The open entries carry the report's terms as they now are.
        const auto planned = plannedDeadlines(0, c.dayAction, c.dayAction12, today);
        for (int org : {10, 20}) {
            for (const auto& [periodEnd, deadline] : planned)
                EXPECT_EQ(storedDeadlines(org, 3)[periodEnd], deadline)
                    << c.what << " " << org
                    << periodEnd.toString(QStringLiteral(" dd.MM.yyyy")).toStdString();
        }
        // The main window's list was read again.
        EXPECT_EQ(qBuhAccRep().fieldValue(QStringLiteral("DAY_ACTION")).toInt(), c.dayAction)
            << c.what;
        EXPECT_FALSE(m_busy.isShown());
        EXPECT_TRUE(form->isEnabled());
    }
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAME FROM BUH_ACCOUNT WHERE ID = 3")).toString(),
              QStringLiteral("РСВ ежемесячный"));
}

TEST_F(BuhAccountFormTest, DeletingAsksOnceWithoutEntriesAndTwiceWithTheirCount) {
    auto form = openDirectory();
    // Баланс has no entries: one question.
    ASSERT_TRUE(locate(*form, 2));
    m_dialogs.answer(MsgResult::Yes);
    form->TBtn_Del->click();
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().caption,
              QStringLiteral("Удаление отчётности из базы данных"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Question);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Вы выбрали удаление из справочника бухгалтерской отчётности "
                             "\"Баланс\".\nЕсли эта отчёность назначена сейчас какой-то "
                             "организации, то ссылка на эту отчётность будет удалена у "
                             "организации (-ий).\n \nУдалить эту отчётность из справочника?"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_ACCOUNT WHERE ID = 2")), 0);

    // РСВ has entries: the second box gives their number; No there keeps everything.
    ASSERT_TRUE(m_engine->CreateBuhHistoryForAccount(3).clean());
    const int rsvEntries = entries(QStringLiteral("BUH_ACCOUNT_ID = 3"));
    ASSERT_GT(rsvEntries, 0);
    ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 10));
    ASSERT_EQ(qBuhAccRep().rowCount(), 2);
    ASSERT_TRUE(locate(*form, 3));
    m_dialogs.clear();
    m_dialogs.answer({MsgResult::Yes, MsgResult::No});
    form->TBtn_Del->click();
    ASSERT_EQ(m_dialogs.shown().size(), 2);
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(
        m_dialogs.lastMessage().text,
        QStringLiteral("При удалении данной отчётности из справочника, так же, из базы данных "
                       "будут удалены все записи, связанные с этой отчётностью, а именно :\n- "
                       "связующие записи \"Организция - отчётность\" для каждой организации\n- "
                       "записи из истории обслуживания организаций (выполненные отчётности)\n "
                       "\nКоличество записей в истории, связанных с этой отчётностью : %1\n \nДля "
                       "того, чтобы сохранить в базе данных историю уже выполненных отчётностей, "
                       "вы можете не удалять данную отчётность, а отключить её (отдельная кнопка "
                       "в этом справочнике).\nСвязующие же записи \"Организция - отчётность\" "
                       "будут удалены и в случае отключения отчётности.\n \nВы действительно "
                       "желаете удалить отчётность \"РСВ\" из справочника?")
            .arg(rsvEntries));
    EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 3")), rsvEntries);

    m_dialogs.answer({MsgResult::Yes, MsgResult::Yes});
    form->TBtn_Del->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_ACCOUNT WHERE ID = 3")), 0);
    EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 3")), 0);
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE BUH_ACCOUNT_ID = 3")),
              0);
    EXPECT_EQ(form->qBuhAccount->rowCount(), 2);
    EXPECT_EQ(qBuhAccRep().rowCount(), 1); // the main window's list was read again
}

TEST_F(BuhAccountFormTest, ArchivingAsksTwiceAndTheDatabaseKeepsThePastAndTheSubmitted) {
    ASSERT_TRUE(m_engine->CreateBuhHistoryForAccount(1).clean());
    const int open = entries(QStringLiteral("BUH_ACCOUNT_ID = 1"));
    ASSERT_GT(open, 0);
    // A past entry and a future one submitted ahead of time.
    m_db->exec(QStringLiteral(
        "INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, DT_END_ACCOUNT, "
        "DT_ACTION) VALUES (10, 1, 1, '2019-03-31', '2019-04-25');"
        "UPDATE BUH_HISTORY SET DT_ACTUAL = CURRENT_DATE WHERE ID = (SELECT MAX(ID) FROM "
        "BUH_HISTORY WHERE BUH_ACCOUNT_ID = 1 AND DT_ACTION >= CURRENT_DATE)"));
    ASSERT_TRUE(qOrgan().locate(QStringLiteral("ID"), 10));
    ASSERT_EQ(qBuhAccRep().rowCount(), 2);

    auto form = openDirectory();
    ASSERT_TRUE(locate(*form, 1));
    struct Answers {
        QList<MsgResult> answers;
        int boxes;
        bool archived;
    } steps[] = {{{MsgResult::No}, 1, false},
                 {{MsgResult::Yes, MsgResult::No}, 2, false},
                 {{MsgResult::Yes, MsgResult::Yes}, 2, true}};
    for (const Answers& step : steps) {
        m_dialogs.clear();
        for (MsgResult a : step.answers)
            m_dialogs.answer(a);
        form->TBtn_Off->click();
        EXPECT_EQ(m_dialogs.shown().size(), step.boxes);
        EXPECT_EQ(count(QStringLiteral("SELECT DEL FROM BUH_ACCOUNT WHERE ID = 1")),
                  step.archived ? 1 : 0);
    }
    const QList<MessageRequest> boxes = m_dialogs.messages();
    EXPECT_EQ(boxes.at(0).caption, QStringLiteral("Бухгалтерская отчётность - в архив"));
    EXPECT_EQ(boxes.at(0).icon, MsgIcon::Warning);
    EXPECT_TRUE(boxes.at(0).text.startsWith(
        QStringLiteral("При помещении отчётности в архив, будет выполнено следующее : \n \n- Весь "
                       "график сдачи")));
    EXPECT_TRUE(boxes.at(0).text.endsWith(
        QStringLiteral("\n \nПоместить в архив отчётность \"Декларация по НДС\" ?")));
    EXPECT_EQ(boxes.at(0).text.count(QLatin1Char('\n')), 11);
    EXPECT_EQ(boxes.at(1).icon, MsgIcon::Question);
    EXPECT_EQ(boxes.at(1).text,
              QStringLiteral("Вы выбрали помещение бухгалтерской отчётности \"Декларация по НДС\" "
                             "в архив.\n \nВы уверены, что хотите поместить эту отчётность в "
                             "архив?"));

    // The database removed the assignments and the open future entries; the rest stays.
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE BUH_ACCOUNT_ID = 1")),
              0);
    EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 1 AND DT_ACTUAL IS NULL AND DT_ACTION >= "
                                     "CURRENT_DATE")),
              0);
    EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 1 AND DT_ACTUAL IS NOT NULL")), 1);
    EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 1 AND DT_ACTION < CURRENT_DATE")), 1);
    // The row now reads as archived and offers only delete.
    EXPECT_EQ(form->model->index(form->qBuhAccount->currentRow(), 5).data().toString(),
              QStringLiteral("В архиве"));
    EXPECT_FALSE(form->TBtn_Chng->isEnabled());
    EXPECT_FALSE(form->TBtn_Off->isEnabled());
    EXPECT_TRUE(form->TBtn_Del->isEnabled());
    EXPECT_EQ(qBuhAccRep().rowCount(), 1);
}

TEST_F(BuhAccountFormTest, ScheduleButtonsAskShowTheParametersAndRunTheEngine) {
    auto form = openDirectory();
    const QDate today = m_clock.today();

    // No at the question, then Cancel in the parameters dialog: nothing runs.
    answerScheduleRun(MsgResult::No, true);
    form->TBtn_CreateHistory->click();
    EXPECT_TRUE(m_dialogs.execs().isEmpty());
    answerScheduleRun(MsgResult::Yes, false);
    form->TBtn_CreateHistory->click();
    EXPECT_EQ(m_dialogs.execs(), QStringList{QStringLiteral("TBuhShedulerParamsForm")});
    EXPECT_EQ(entries(), 1);
    ASSERT_EQ(m_dialogs.shown().size(), 2);
    const MessageRequest question = m_dialogs.messages().at(0);
    EXPECT_EQ(question.caption, QStringLiteral("Создание расписания бухгалтерских отчётностей"));
    EXPECT_EQ(question.icon, MsgIcon::Warning);
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_TRUE(question.text.startsWith(QStringLiteral(
        "Расписание сдачи бухгалтерской отчётности создается на срок \"текущий год + первый "
        "квартал следующего года  ( для отчёта за предыдущий год )\" и выполняется "
        "администратором раз в год, в начале каждого года.\n \nВ первый квартал")));
    EXPECT_TRUE(question.text.contains(QStringLiteral("создано не будет.\n \n \n \nЕсли при уже")));

    // One report: its switched-on assignments only.
    m_dialogs.clear();
    ASSERT_TRUE(locate(*form, 1));
    answerScheduleRun(MsgResult::Yes, true);
    form->TBtn_CreateHistory_One->click();
    EXPECT_TRUE(m_dialogs.messages().at(0).text.contains(
        QStringLiteral("создано не будет.\n \n \nПри наступлении нового года")));
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Операция по созданию расписания завершена."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Создание расписания отчётностей"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_EQ(storedDeadlines(10, 1), plannedDeadlines(1, 25, kDayAction12NotSet, today));
    EXPECT_TRUE(storedDeadlines(20, 1).empty()); // switched off there
    EXPECT_TRUE(storedDeadlines(10, 3).empty());

    // All reports, twice: the same entries, no second copy; the archived report gets none.
    for (int run = 0; run < 2; ++run) {
        m_dialogs.clear();
        answerScheduleRun(MsgResult::Yes, true);
        form->TBtn_CreateHistory->click();
        EXPECT_EQ(m_dialogs.lastMessage().text,
                  QStringLiteral("Операция по созданию расписания завершена."));
        EXPECT_EQ(storedDeadlines(10, 3), plannedDeadlines(0, 20, 45, today));
        EXPECT_EQ(storedDeadlines(20, 3), plannedDeadlines(0, 20, 45, today));
        EXPECT_EQ(storedDeadlines(10, 1), plannedDeadlines(1, 25, kDayAction12NotSet, today));
        EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 4")), 1);
    }
    EXPECT_FALSE(m_busy.isShown());
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(BuhAccountFormTest, TheCompletionMessageSaysWhatTheDatabaseRefused) {
    // The database refuses every entry of РСВ.
    m_db->exec(QStringLiteral("CREATE EXCEPTION E_NO_RSV 'РСВ не принимается';"
                              "SET TERM ^ ;"
                              "CREATE TRIGGER NO_RSV FOR BUH_HISTORY BEFORE INSERT AS BEGIN "
                              "IF (NEW.BUH_ACCOUNT_ID = 3) THEN EXCEPTION E_NO_RSV; END^"
                              "SET TERM ; ^"));
    const int refused = 2 * static_cast<int>(plannedDeadlines(0, 20, 45, m_clock.today()).size());
    auto form = openDirectory();
    answerScheduleRun(MsgResult::Yes, true);
    form->TBtn_CreateHistory->click();
    const MessageRequest box = m_dialogs.lastMessage();
    EXPECT_EQ(box.caption, QStringLiteral("Создание расписания отчётностей"));
    EXPECT_EQ(box.icon, MsgIcon::Warning);
    const QStringList lines = box.text.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4) << box.text.toStdString();
    EXPECT_EQ(lines.at(0), QStringLiteral("Операция по созданию расписания завершена с ошибками."));
    EXPECT_EQ(lines.at(1), QStringLiteral("Записано новых или перенесённых сроков сдачи: %1.")
                               .arg(entries(QStringLiteral("BUH_ACCOUNT_ID = 1"))));
    EXPECT_EQ(lines.at(2), QStringLiteral("Не удалось записать сроков сдачи: %1.").arg(refused));
    EXPECT_TRUE(lines.at(3).startsWith(QStringLiteral("Последняя ошибка базы данных: ")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("РСВ не принимается")));
    EXPECT_EQ(entries(QStringLiteral("BUH_ACCOUNT_ID = 3")), 0);
}

TEST_F(BuhAccountFormTest, TheParametersDialogNamesTheClocksYear) {
    m_clock.setToday(QDate(2031, 2, 3));
    TBuhShedulerParamsForm params(m_clock);
    EXPECT_EQ(params.windowTitle(), QStringLiteral("Создание расписания"));
    EXPECT_EQ(params.Label_Info->text(),
              QStringLiteral("Создание расписания на текущий год  ( 2031 )"));
    const QStringList paragraphs = params.Label_Info2->text().split(QStringLiteral("\n\n"));
    ASSERT_EQ(paragraphs.size(), 4);
    EXPECT_EQ(paragraphs.at(1),
              QStringLiteral("Отчётности со статусом \" Выключена \" в расписании участвовать не "
                             "будут."));
    EXPECT_EQ(params.Btn_OK->text(), QStringLiteral("Создать"));
    EXPECT_TRUE(params.Btn_OK->isDefault());
    EXPECT_EQ(params.Btn_Cancel->text(), QStringLiteral("Отмена"));
    shot(&params, QStringLiteral("scheduler_params_form"));
}

TEST_F(BuhAccountFormTest, KeepsItsSizeCommentsHeightAndColumnsBetweenOpenings) {
    {
        auto form = openDirectory();
        form->show();
        form->resize(900, 600);
        form->Splitter_Comments->setSizes({300, 150});
        QApplication::processEvents();
        form->DBGrid_BuhAccount->setColumnVisible(QStringLiteral("DAY_WARNING"), false);
        form->reject();
    }
    EXPECT_EQ(m_ini->readInteger(QStringLiteral("BUH_ACCOUNT"), QStringLiteral("Width"), 0), 900);
    EXPECT_FALSE(m_ini->hasKey(QStringLiteral("BUH_ACCOUNT"), QStringLiteral("Left")));
    const int height = m_ini->readInteger(QStringLiteral("BUH_ACCOUNT"),
                                          QStringLiteral("Prop.Panel_Comments.Height"), -1);
    EXPECT_GT(height, 100);
    {
        auto form = openDirectory();
        EXPECT_EQ(form->size(), QSize(900, 600));
        EXPECT_FALSE(form->DBGrid_BuhAccount->isColumnVisible(QStringLiteral("DAY_WARNING")));
        form->show();
        QApplication::processEvents();
        EXPECT_EQ(form->Panel_Comments->height(), height);
        form->reject();
    }
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
}

// Values the controls cannot show (empty or out of range) are kept when the user changes
// something else; a value the user sets is written.
TEST_F(BuhAccountFormTest, EditingKeepsStoredValuesTheUserDidNotTouch) {
    m_db->exec(QStringLiteral("INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, "
                              "DAY_WARNING, DEL) VALUES (60, 'Старый отчёт', 15, NULL, NULL, 0);"
                              "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, "
                              "DAY_WARNING, DEL) VALUES (61, 'Чужой отчёт', 15, 7, 40, 0)"));
    auto form = openDirectory();
    const auto editName = [&](int id, const QString& name, int warning) {
        ASSERT_TRUE(locate(*form, id));
        onExec<TBuhAccountAEForm>(QStringLiteral("TBuhAccountAEForm"), [&](TBuhAccountAEForm& f) {
            f.show();
            f.Edit_Buh_Account->setText(name);
            if (warning > 0)
                f.SE_Day_Warning->setValue(warning);
            f.Btn_OK->click();
            return f.result();
        });
        form->TBtn_ChngClick();
    };
    editName(60, QStringLiteral("Старый отчёт 2"), 0);
    EXPECT_TRUE(scalar(QStringLiteral("SELECT CYCLING FROM BUH_ACCOUNT WHERE ID = 60")).isNull());
    EXPECT_TRUE(
        scalar(QStringLiteral("SELECT DAY_WARNING FROM BUH_ACCOUNT WHERE ID = 60")).isNull());
    editName(61, QStringLiteral("Чужой отчёт 2"), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT CYCLING FROM BUH_ACCOUNT WHERE ID = 61")), 7);
    EXPECT_EQ(count(QStringLiteral("SELECT DAY_WARNING FROM BUH_ACCOUNT WHERE ID = 61")), 40);
    editName(61, QStringLiteral("Чужой отчёт 3"), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT DAY_WARNING FROM BUH_ACCOUNT WHERE ID = 61")), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT CYCLING FROM BUH_ACCOUNT WHERE ID = 61")), 7);
}
