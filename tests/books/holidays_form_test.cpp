#include "books_fixture.h"

#include "books/buh_holidays_ae_form.h"
#include "books/buh_holidays_form.h"
#include "schedule/holiday_map.h"
#include "widgets/data_grid.h"
#include "widgets/spin_edit.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <map>

namespace {

// Days entered in no particular order, one without a kind; a monthly report with a special
// term is on for one client.
constexpr char kSeed[] =
    "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES (1, 'День "
    "Победы', 9, 5, 0);"
    "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES (2, 'Новый "
    "год', 1, 1, 0);"
    "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES (3, 'Рабочая "
    "суббота', 1, 11, 1);"
    "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES (4, "
    "'Рождество', 7, 1, 0);"
    "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES (5, 'Без "
    "типа', 3, 3, NULL);"
    "INSERT INTO ORGANIZATION (ID, NAME) VALUES (10, 'ООО Ромашка');"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (3, 'РСВ', 20, 45, 0, 3, 0);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (3, 10, "
    "1);";

struct Day {
    int month;
    int day;
    QString name;
    QString kind;
    bool operator==(const Day&) const = default;
};

void PrintTo(const Day& d, std::ostream* out) {
    *out << d.month << "/" << d.day << " " << d.name.toStdString() << " " << d.kind.toStdString();
}

class HolidaysFormTest : public BooksFixture {
protected:
    QString seedSql() const override { return QString::fromUtf8(kSeed); }

    QList<Day> shownDays(const TBuhHolidaysForm& form) const {
        QList<Day> days;
        for (int r = 0; r < form.qBuhHolidays->rowCount(); ++r)
            days << Day{form.model->index(r, 0).data().toInt(),
                        form.model->index(r, 1).data().toInt(),
                        form.model->index(r, 2).data().toString(),
                        form.model->index(r, 3).data().toString()};
        return days;
    }
    std::map<int, QDate> deadlines() const {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, QStringLiteral("SELECT ID, DT_ACTION FROM BUH_HISTORY"));
        std::map<int, QDate> all;
        query.open();
        while (query.fetch())
            all[query.value(0).toInt()] = query.value(1).toDateTime().date();
        return all;
    }
    // The user adds a day through the dialog.
    void addDay(TBuhHolidaysForm& form, const QString& name, int day, int month, int kind) {
        onExec<TBuhHolidaysAEForm>(QStringLiteral("TBuhHolidaysAEForm"),
                                   [=](TBuhHolidaysAEForm& f) {
                                       f.show();
                                       typeText(f.Edit_Buh_Holidays_Name, name);
                                       f.SE_Day_Month->setValue(day);
                                       f.SE_Month_Year->setValue(month);
                                       f.holidayWorkButtons->button(kind)->click();
                                       f.Btn_OK->click();
                                       return f.result();
                                   });
        form.TBtn_Add->click();
    }
};

class EmptyCalendarTest : public HolidaysFormTest {
protected:
    QString seedSql() const override { return {}; }
};

} // namespace

TEST_F(HolidaysFormTest, ListsTheDaysInMonthAndDayOrderWithTheirKinds) {
    TBuhHolidaysForm form(*m_env);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Праздничные дни на текущий год"));
    EXPECT_EQ(form.Label_Header->text(), QStringLiteral("Справочник праздничных и рабочих дней"));
    const QStringList note = form.Label_Info2->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(note.size(), 7);
    EXPECT_EQ(note.at(2),
              QStringLiteral("[ 31 декабря предыдущего года - 31 декабря текущего года ],"));
    EXPECT_TRUE(note.at(3).isEmpty());
    EXPECT_EQ(note.at(4),
              QStringLiteral("необходимо нажать кнопку \"Откорректировать расписание...\"."));
    const QList<Day> expected{
        {1, 1, QStringLiteral("Новый год"), QStringLiteral("Праздничный день")},
        {1, 7, QStringLiteral("Рождество"), QStringLiteral("Праздничный день")},
        {3, 3, QStringLiteral("Без типа"), QString()},
        {5, 9, QStringLiteral("День Победы"), QStringLiteral("Праздничный день")},
        {11, 1, QStringLiteral("Рабочая суббота"), QStringLiteral("Работа в выходные")},
    };
    EXPECT_EQ(shownDays(form), expected);
    EXPECT_EQ(form.model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Месяц в году"));
    EXPECT_EQ(form.model->headerData(0, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
              QColor(0, 0, 255));
    EXPECT_TRUE(form.TBtn_Chng->isEnabled());
    EXPECT_TRUE(form.TBtn_Del->isEnabled());
    EXPECT_TRUE(form.TBtn_CorrectHistory->isEnabled());
    shot(&form, QStringLiteral("buh_holidays_form"));
}

TEST_F(EmptyCalendarTest, AnEmptyCalendarOffersAddAndNeverTheCorrectionWithoutClients) {
    TBuhHolidaysForm form(*m_env);
    EXPECT_FALSE(form.TBtn_Chng->isEnabled());
    EXPECT_FALSE(form.TBtn_Del->isEnabled());
    EXPECT_FALSE(form.TBtn_CorrectHistory->isEnabled());
    addDay(form, QStringLiteral("Первый"), 31, 4, 0); // the 31st of April can be stored
    EXPECT_TRUE(form.TBtn_Chng->isEnabled());
    EXPECT_TRUE(form.TBtn_Del->isEnabled());
    EXPECT_FALSE(form.TBtn_CorrectHistory->isEnabled());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE DAY_MONTH = 31 AND "
                                   "MONTH_YEAR = 4")),
              1);
}

TEST_F(HolidaysFormTest, ANewDayTakesItsPlaceAtOnceAndTheSameDateMayRepeat) {
    TBuhHolidaysForm form(*m_env);
    typeText(form.Edit_Search, QStringLiteral("год"));
    ASSERT_EQ(form.qBuhHolidays->rowCount(), 1);
    onExec<TBuhHolidaysAEForm>(QStringLiteral("TBuhHolidaysAEForm"), [&](TBuhHolidaysAEForm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Новый праздник"));
        EXPECT_EQ(f.editMode(), 0);
        f.show();
        EXPECT_EQ(f.SE_Day_Month->value(), 1);
        EXPECT_EQ(f.SE_Month_Year->value(), 1);
        EXPECT_EQ(f.holidayWork(), 0);
        EXPECT_FALSE(f.Btn_OK->isEnabled());
        // Names that differ only in letter case cannot both be saved.
        typeText(f.Edit_Buh_Holidays_Name, QStringLiteral("день  ПОБЕДЫ"));
        EXPECT_FALSE(f.Btn_OK->isEnabled());
        EXPECT_EQ(textColour(f.Edit_Buh_Holidays_Name), QColor(255, 0, 0));
        f.Edit_Buh_Holidays_Name->clear();
        typeText(f.Edit_Buh_Holidays_Name, QStringLiteral("  Второй  день Победы"));
        EXPECT_TRUE(f.Btn_OK->isEnabled());
        f.SE_Day_Month->setValue(40); // the spins keep to their ranges
        EXPECT_EQ(f.SE_Day_Month->value(), 31);
        f.SE_Day_Month->setValue(9);
        f.SE_Month_Year->setValue(5);
        f.holidayWorkButtons->button(1)->click();
        shot(&f, QStringLiteral("buh_holidays_ae_form"));
        f.Btn_OK->click();
        return f.result();
    });
    form.TBtn_Add->click();
    EXPECT_TRUE(form.Edit_Search->text().isEmpty());
    ASSERT_TRUE(m_dialogs.shown().isEmpty());
    const QList<Day> days = shownDays(form);
    ASSERT_EQ(days.size(), 6);
    EXPECT_EQ(days.at(3).month, 5);
    EXPECT_EQ(days.at(4), (Day{5, 9, QStringLiteral("Второй день Победы"),
                               QStringLiteral("Работа в выходные")}));
    EXPECT_EQ(form.qBuhHolidays->currentRow(), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE DAY_MONTH = 9 AND "
                                   "MONTH_YEAR = 5")),
              2);
}

TEST_F(HolidaysFormTest, ChangingKeepsTheSearchAndMovesTheDayToItsNewPlace) {
    TBuhHolidaysForm form(*m_env);
    typeText(form.Edit_Search, QStringLiteral("рожд"));
    ASSERT_EQ(form.qBuhHolidays->rowCount(), 1);
    onExec<TBuhHolidaysAEForm>(QStringLiteral("TBuhHolidaysAEForm"), [](TBuhHolidaysAEForm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Редактирование праздника"));
        EXPECT_EQ(f.editMode(), 1);
        f.show();
        EXPECT_EQ(f.Edit_Buh_Holidays_Name->text(), QStringLiteral("Рождество"));
        EXPECT_EQ(f.SE_Day_Month->value(), 7);
        EXPECT_EQ(f.SE_Month_Year->value(), 1);
        EXPECT_TRUE(f.Btn_OK->isEnabled()); // its own name
        f.Edit_Buh_Holidays_Name->selectAll();
        typeText(f.Edit_Buh_Holidays_Name, QStringLiteral("РОЖДЕСТВО Христово"));
        f.SE_Month_Year->setValue(12);
        f.SE_Day_Month->setValue(25);
        f.Btn_OK->click();
        return f.result();
    });
    emit form.DBGrid_BuhAccount->rowDoubleClicked(0);
    EXPECT_EQ(form.Edit_Search->text(), QStringLiteral("рожд"));
    EXPECT_EQ(form.qBuhHolidays->rowCount(), 1);
    form.Edit_Search->clear();
    EXPECT_EQ(shownDays(form).last(), (Day{12, 25, QStringLiteral("РОЖДЕСТВО Христово"),
                                           QStringLiteral("Праздничный день")}));
}

TEST_F(HolidaysFormTest, SearchFiltersByNameAndTheArrowsWalkTheList) {
    TBuhHolidaysForm form(*m_env);
    struct Case {
        const char* search;
        int shown;
        bool filtered;
    } cases[] = {{"ПОБЕД", 1, true}, {"о", 4, true}, {"zzz", 0, true}, {"", 5, false}};
    for (const Case& c : cases) {
        form.Edit_Search->clear();
        typeText(form.Edit_Search, QString::fromUtf8(c.search));
        EXPECT_EQ(form.qBuhHolidays->rowCount(), c.shown) << c.search;
        EXPECT_EQ(form.qBuhHolidays->isFiltered(), c.filtered) << c.search;
        EXPECT_EQ(form.TBtn_Chng->isEnabled(), c.shown > 0) << c.search;
    }
    form.qBuhHolidays->first();
    QTest::keyClick(form.Edit_Search, Qt::Key_Down);
    QTest::keyClick(form.Edit_Search, Qt::Key_Down);
    EXPECT_EQ(form.qBuhHolidays->fieldValue(QStringLiteral("ID")).toInt(), 5);
    QTest::keyClick(form.Edit_Search, Qt::Key_Up);
    EXPECT_EQ(form.qBuhHolidays->fieldValue(QStringLiteral("ID")).toInt(), 4);
}

TEST_F(HolidaysFormTest, DeletingAsksAndANameTheDatabaseHoldsIsRefused) {
    TBuhHolidaysForm form(*m_env);
    ASSERT_TRUE(form.qBuhHolidays->locate(QStringLiteral("ID"), 4));
    m_dialogs.answer({MsgResult::No, MsgResult::Yes});
    form.TBtn_Del->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY")), 5);
    form.TBtn_Del->click();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY")), 4);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Для удаления выбран праздничный день \"Рождество\".\n \nВы "
                             "действительно желаете удалить этот праздничный день из "
                             "справочника?"));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Удаление праздничного дня"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Warning);

    m_dialogs.clear();
    m_db->exec(QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, "
                              "HOLIDAY_WORK) VALUES ('Масленица', 1, 3, 0)"));
    addDay(form, QStringLiteral("масленица"), 2, 3, 0);
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Произошла ошибка записи в базу данных, возможно, праздник с таким "
                             "наименованием уже присутствует в базе данных."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Праздничный день"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    EXPECT_EQ(form.qBuhHolidays->rowCount(), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY")), 5);
}

TEST_F(HolidaysFormTest, TheCorrectionAfterAHolidayEditMovesTheDeadlines) {
    // Entries made with today's calendar; one of their deadlines becomes a holiday.
    ASSERT_TRUE(m_engine->CreateBuhHistoryForAccount(3).clean());
    const std::map<int, QDate> generated = deadlines();
    ASSERT_FALSE(generated.empty());
    const auto [targetId, target] = *generated.rbegin();
    int onTarget = 0;
    for (const auto& entry : generated)
        onTarget += entry.second == target ? 1 : 0;
    // A past entry whose deadline is out of date is recomputed as well.
    const int year = m_clock.currentYear();
    m_db->exec(QStringLiteral("INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, "
                              "DT_END_ACCOUNT, DT_ACTION) VALUES (10, 3, 0, '%1-03-31', "
                              "'%1-04-01')")
                   .arg(year));
    const std::map<int, QDate> before = deadlines();

    TBuhHolidaysForm form(*m_env);
    addDay(form, QStringLiteral("Новый праздник"), target.day(), target.month(), 0);
    ASSERT_TRUE(m_dialogs.shown().isEmpty());
    EXPECT_EQ(deadlines(), before); // editing the calendar alone moves nothing

    // No changes nothing.
    m_dialogs.answer(MsgResult::No);
    form.TBtn_CorrectHistory->click();
    EXPECT_EQ(m_dialogs.shown().size(), 1);
    const MessageRequest question = m_dialogs.lastMessage();
    EXPECT_EQ(question.text, TBuhHolidaysForm::correctionQuestion(year));
    EXPECT_TRUE(question.text.endsWith(
        QStringLiteral(":\n \n   c: 31 декабря %1 года\n  по: 31 декабря %2 года\n \nв "
                       "соответствии со списком праздничных дней ?")
            .arg(year - 1)
            .arg(year)));
    EXPECT_TRUE(question.text.startsWith(
        QStringLiteral("После изменения списка праздничных дней, необходимо откорректировать")));
    EXPECT_EQ(question.caption, QStringLiteral("Изменение расписания бухгалтерских отчётностей"));
    EXPECT_EQ(question.icon, MsgIcon::Warning);
    EXPECT_EQ(deadlines(), before);

    m_dialogs.clear();
    m_dialogs.answer(MsgResult::Yes);
    form.TBtn_CorrectHistory->click();
    const std::map<int, QDate> after = deadlines();
    int changed = 0;
    for (const auto& [id, deadline] : before)
        changed += after.at(id) != deadline ? 1 : 0;
    EXPECT_EQ(changed, onTarget + 1);
    EXPECT_EQ(after.at(targetId), form.holidays().ShiftToWorkDay(target));
    EXPECT_NE(after.at(targetId), target);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE DT_END_ACCOUNT = "
                             "'%1-03-31' AND DT_ACTION = '%2'")
                  .arg(year)
                  .arg(form.holidays().ShiftToWorkDay(QDate(year, 4, 20)).toString(Qt::ISODate))),
        1);
    ASSERT_EQ(m_dialogs.shown().size(), 2);
    EXPECT_EQ(
        m_dialogs.lastMessage().text,
        QStringLiteral("Расписание откорректировано. Изменено сроков сдачи: %1.").arg(changed));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Information);
    EXPECT_FALSE(m_busy.isShown());
    EXPECT_TRUE(form.isEnabled());

    // A second run finds nothing left to move.
    m_dialogs.clear();
    m_dialogs.answer(MsgResult::Yes);
    form.TBtn_CorrectHistory->click();
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Расписание откорректировано. Изменено сроков сдачи: 0."));
}

TEST_F(HolidaysFormTest, AFailedCorrectionSaysSoAndChangesNothing) {
    ASSERT_TRUE(m_engine->CreateBuhHistoryForAccount(3).clean());
    m_db->exec(QStringLiteral("INSERT INTO BUH_HISTORY (ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, "
                              "DT_END_ACCOUNT, DT_ACTION) VALUES (10, 3, 0, '%1-03-31', "
                              "'%1-04-01');"
                              "CREATE EXCEPTION E_FROZEN 'Расписание заморожено';"
                              "SET TERM ^ ;"
                              "CREATE TRIGGER FROZEN FOR BUH_HISTORY BEFORE UPDATE AS BEGIN "
                              "EXCEPTION E_FROZEN; END^"
                              "SET TERM ; ^")
                   .arg(m_clock.currentYear()));
    const std::map<int, QDate> before = deadlines();
    TBuhHolidaysForm form(*m_env);
    m_dialogs.answer(MsgResult::Yes);
    form.TBtn_CorrectHistory->click();
    EXPECT_EQ(deadlines(), before);
    const MessageRequest box = m_dialogs.lastMessage();
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_EQ(box.caption, QStringLiteral("Изменение расписания бухгалтерских отчётностей"));
    EXPECT_TRUE(box.text.startsWith(QStringLiteral(
        "Расписание не откорректировано: произошла ошибка, ни один срок сдачи не изменён.\n")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("Расписание заморожено")));
    EXPECT_FALSE(m_busy.isShown());
}

TEST_F(HolidaysFormTest, KeepsItsSizeAndColumnsBetweenOpenings) {
    {
        TBuhHolidaysForm form(*m_env);
        form.resize(700, 500);
        form.DBGrid_BuhAccount->setColumnVisible(QStringLiteral("HOLIDAY_WORK"), false);
        form.reject();
    }
    {
        TBuhHolidaysForm form(*m_env);
        EXPECT_EQ(form.size(), QSize(700, 500));
        EXPECT_FALSE(form.DBGrid_BuhAccount->isColumnVisible(QStringLiteral("HOLIDAY_WORK")));
        EXPECT_TRUE(form.DBGrid_BuhAccount->isColumnVisible(QStringLiteral("NAME")));
        form.reject();
    }
    EXPECT_TRUE(m_ini->hasSection(QStringLiteral("BUH_HOLIDAYS")));
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
}
