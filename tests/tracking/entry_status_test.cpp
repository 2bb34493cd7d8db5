#include "status/entry_status.h"

#include <gtest/gtest.h>

#include <map>

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QVariant>

#include <optional>
#include <ostream>

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QDateTime at(const char* text) {
    const QString s = QString::fromLatin1(text);
    if (s.isEmpty())
        return QDateTime();
    const QDateTime moment = QDateTime::fromString(
        s, s.size() > 10 ? QStringLiteral("dd.MM.yyyy hh:mm") : QStringLiteral("dd.MM.yyyy"));
    if (!moment.isValid())
        ADD_FAILURE() << "not a date: " << text;
    return moment;
}

QDate day(const char* text) {
    return at(text).date();
}

// An entry due on 25.03.2025 with five days of warning.
BuhEntry dueOn25March(QVariant dayWarning = 5) {
    BuhEntry entry;
    entry.id = 42;
    entry.dtAction = at("25.03.2025");
    entry.dayWarning = dayWarning;
    entry.cycling = 0;
    entry.dtEndAccount = day("28.02.2025");
    return entry;
}

BuhEntry submittedEntry(const char* actual, const char* recorded) {
    BuhEntry entry = dueOn25March();
    entry.dtActual = at(actual);
    entry.dtAddRecord = recorded ? at(recorded) : QDateTime();
    return entry;
}

// The moment of the status check: the given day at 09:00.
std::optional<BuhEntryStatus> statusOn(const BuhEntry& entry, const char* today) {
    return entryStatus(entry, QDateTime(day(today), QTime(9, 0)), day(today));
}

const char* name(std::optional<BuhEntryStatus> status) {
    static QByteArray text;
    text = statusText(status).toUtf8();
    return text.constData();
}

struct OpenCase {
    QVariant dayWarning;
    const char* today;
    BuhEntryStatus status;
};

TEST(EntryStatusTest, NotSubmittedAroundTheWarningDays) {
    const OpenCase cases[] = {
        {5, "01.01.2025", BuhEntryStatus::NeSdan},
        {5, "19.03.2025", BuhEntryStatus::NeSdan},  // the day before the warning
        {5, "20.03.2025", BuhEntryStatus::Warning}, // the first warning day
        {5, "24.03.2025", BuhEntryStatus::Warning},
        {5, "26.03.2025", BuhEntryStatus::AlarmNeSdan}, // the day after the deadline
        {5, "01.01.2026", BuhEntryStatus::AlarmNeSdan},
        {0, "24.03.2025", BuhEntryStatus::NeSdan},
        {0, "26.03.2025", BuhEntryStatus::AlarmNeSdan},
        {QVariant(), "24.03.2025", BuhEntryStatus::NeSdan}, // no report row: 0 days
        {QVariant(), "26.03.2025", BuhEntryStatus::AlarmNeSdan},
        {-3, "24.03.2025", BuhEntryStatus::NeSdan},
        {-3, "26.03.2025", BuhEntryStatus::AlarmNeSdan},
    };
    for (const OpenCase& c : cases) {
        EXPECT_EQ(statusOn(dueOn25March(c.dayWarning), c.today), c.status)
            << c.today << ", warning " << c.dayWarning.toString().toStdString() << ": "
            << name(statusOn(dueOn25March(c.dayWarning), c.today));
    }
}

TEST(EntryStatusTest, DeadlineDay_WarningUnderDeadlineDayInTimeRule) {
    const OpenCase cases[] = {
        {5, "25.03.2025", BuhEntryStatus::Warning},
        {0, "25.03.2025", BuhEntryStatus::Warning},
        {QVariant(), "25.03.2025", BuhEntryStatus::Warning},
        {-3, "25.03.2025", BuhEntryStatus::NeSdan}, // a negative warning never warns
    };
    for (const OpenCase& c : cases) {
        EXPECT_EQ(statusOn(dueOn25March(c.dayWarning), c.today), c.status)
            << "warning " << c.dayWarning.toString().toStdString();
    }
    // The whole of the deadline day, up to its last minute.
    const BuhEntry entry = dueOn25March();
    EXPECT_EQ(entryStatus(entry, at("25.03.2025 23:59"), day("25.03.2025")),
              BuhEntryStatus::Warning);
    EXPECT_EQ(entryStatus(entry, at("26.03.2025 00:00"), day("26.03.2025")),
              BuhEntryStatus::AlarmNeSdan);
}

TEST(EntryStatusTest, DeadlineWithTimeOfDayCountsByDay) {
    BuhEntry entry = dueOn25March();
    entry.dtAction = at("25.03.2025 18:00");
    EXPECT_EQ(statusOn(entry, "19.03.2025"), BuhEntryStatus::NeSdan);
    EXPECT_EQ(statusOn(entry, "20.03.2025"), BuhEntryStatus::Warning);
    EXPECT_EQ(statusOn(entry, "25.03.2025"), BuhEntryStatus::Warning);
    EXPECT_EQ(statusOn(entry, "26.03.2025"), BuhEntryStatus::AlarmNeSdan);
}

TEST(EntryStatusTest, Submitted) {
    struct Case {
        const char* actual;
        const char* recorded; // nullptr: empty DT_ADD_RECORD
        BuhEntryStatus status;
    };
    const Case cases[] = {
        {"25.03.2025", "24.03.2025 15:00", BuhEntryStatus::Sdan},
        {"25.03.2025", "25.03.2025 14:00", BuhEntryStatus::Sdan}, // recorded on the deadline day
        {"25.03.2025", "25.03.2025 23:59", BuhEntryStatus::Sdan},
        {"25.03.2025", "26.03.2025 00:01", BuhEntryStatus::AlarmPodozrenue}, // the next day
        {"20.03.2025", "10.04.2025 10:00", BuhEntryStatus::AlarmPodozrenue},
        {"20.03.2025", nullptr, BuhEntryStatus::Sdan},
        {"25.03.2025", nullptr, BuhEntryStatus::Sdan},
        {"25.03.2025 18:00", "25.03.2025 18:05", BuhEntryStatus::Sdan},
        {"26.03.2025", "24.03.2025 10:00", BuhEntryStatus::AlarmSdan}, // late whatever the record
        {"26.03.2025", "26.03.2025 10:00", BuhEntryStatus::AlarmSdan},
        {"26.03.2025", nullptr, BuhEntryStatus::AlarmSdan},
    };
    for (const Case& c : cases) {
        const BuhEntry entry = submittedEntry(c.actual, c.recorded);
        // The clock does not matter once an entry is submitted.
        for (const char* today : {"01.03.2025", "25.03.2025", "01.01.2026"}) {
            EXPECT_EQ(statusOn(entry, today), c.status)
                << c.actual << " recorded " << (c.recorded ? c.recorded : "never") << ", on "
                << today << ": " << name(statusOn(entry, today));
        }
    }
}

TEST(EntryStatusTest, NoIdNoStatus) {
    BuhEntry entry = dueOn25March();
    entry.id = QVariant();
    EXPECT_EQ(statusOn(entry, "26.03.2025"), std::nullopt);
    entry.id = QVariant(QMetaType::fromType<int>()); // a NULL column
    EXPECT_EQ(statusOn(entry, "26.03.2025"), std::nullopt);
    EXPECT_EQ(statusText(std::nullopt), QString());
    const RowColours colours = rowColours(entry, at("26.03.2025 09:00"), day("26.03.2025"), false,
                                          ScheduleWindow::ScheduleTab);
    EXPECT_FALSE(colours.background.has_value());
    EXPECT_FALSE(colours.font.has_value());
}

TEST(EntryStatusTest, StatusTexts) {
    const std::pair<BuhEntryStatus, QString> cases[] = {
        {BuhEntryStatus::AlarmNeSdan, QStringLiteral("Просрочен, не сдан")},
        {BuhEntryStatus::Warning, QStringLiteral("Предупреждение о скорой сдаче")},
        {BuhEntryStatus::NeSdan, QStringLiteral("В плане")},
        {BuhEntryStatus::AlarmSdan, QStringLiteral("Сдан, но просрочен")},
        {BuhEntryStatus::AlarmPodozrenue, QStringLiteral("Сдан, но подозрителен")},
        {BuhEntryStatus::Sdan, QStringLiteral("Сдан вовремя")},
    };
    for (const auto& [status, text] : cases)
        EXPECT_EQ(statusText(status), text);
    EXPECT_EQ(suspiciousHintText(),
              QStringLiteral("Есть отметка о сдаче, но просрочена запись в базе"));
}

TEST(EntryStatusTest, PeriodTexts) {
    struct Case {
        QVariant cycling;
        const char* end;
        QString text;
    };
    const Case cases[] = {
        {0, "31.01.2025", QStringLiteral("янв. 2025")},
        {0, "28.02.2025", QStringLiteral("февр. 2025")},
        {0, "31.03.2025", QStringLiteral("март 2025")},
        {0, "30.04.2025", QStringLiteral("апр. 2025")},
        {0, "31.05.2025", QStringLiteral("май 2025")}, // not the genitive "мая"
        {0, "30.06.2025", QStringLiteral("июнь 2025")},
        {0, "31.07.2025", QStringLiteral("июль 2025")},
        {0, "31.08.2025", QStringLiteral("авг. 2025")},
        {0, "30.09.2025", QStringLiteral("сент. 2025")},
        {0, "31.10.2025", QStringLiteral("окт. 2025")},
        {0, "30.11.2025", QStringLiteral("нояб. 2025")},
        {0, "31.12.2024", QStringLiteral("дек. 2024")},
        {1, "31.03.2017", QStringLiteral("1 квартал 2017")},
        {1, "30.06.2017", QStringLiteral("2 квартал 2017")},
        {1, "30.09.2017", QStringLiteral("3 квартал 2017")},
        {1, "31.12.2016", QStringLiteral("4 квартал 2016")},
        {1, "31.05.2017", QString()}, // not a quarter end
        {2, "31.12.2017", QStringLiteral("2017")},
        {3, "31.12.2017", QString()},
        {-1, "31.12.2017", QString()},
        {QVariant(), "31.12.2017", QString()},
        {0, "", QString()}, // no period end
        {2, "", QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(periodText(c.cycling, day(c.end)), c.text)
            << "cycling " << c.cycling.toString().toStdString() << ", " << c.end;
    }
}

TEST(EntryStatusTest, CyclingTexts) {
    const std::pair<QVariant, QString> cases[] = {
        {0, QStringLiteral("Месяц")},
        {1, QStringLiteral("Квартал")},
        {2, QStringLiteral("Год")},
        {3, QString()},
        {-1, QString()},
        {QVariant(), QString()},
    };
    for (const auto& [cycling, text] : cases)
        EXPECT_EQ(cyclingText(cycling), text) << cycling.toString().toStdString();
}

TEST(EntryStatusTest, ActualDateTexts) {
    struct Case {
        const char* actual; // nullptr: not submitted
        const char* now;
        QString text;
    };
    const Case cases[] = {
        {nullptr, "24.03.2025 23:59", QString()},
        {nullptr, "25.03.2025 09:00", QString()}, // the deadline day is in time
        {nullptr, "25.03.2025 23:59", QString()},
        {nullptr, "26.03.2025 00:00", QStringLiteral("!")},
        {"25.03.2025", "26.03.2025 09:00", QStringLiteral("25.03.2025")},
        {"26.03.2025", "27.03.2025 09:00", QStringLiteral("26.03.2025")},
        {"05.03.2025 14:30", "27.03.2025 09:00", QStringLiteral("05.03.2025 14:30:00")},
    };
    for (const Case& c : cases) {
        BuhEntry entry = dueOn25March();
        if (c.actual)
            entry.dtActual = at(c.actual);
        EXPECT_EQ(actualDateText(entry, at(c.now)), c.text) << c.now;
    }
}

// The colours as they are quoted: a 0x00BBGGRR colour reference and its red, green, blue.
QColor colorRef(int value) {
    static const std::map<int, QColor> quoted = {{12503295, QColor(255, 200, 190)},
                                                 {10022900, QColor(244, 239, 152)},
                                                 {2748925, QColor(253, 241, 41)},
                                                 {13825237, QColor(213, 244, 210)},
                                                 {1179457, QColor(65, 255, 17)}};
    return quoted.at(value);
}

TEST(EntryStatusTest, RowColours) {
    const BuhEntry open = dueOn25March();
    const BuhEntry late = submittedEntry("26.03.2025", "26.03.2025 10:00");
    const BuhEntry suspicious = submittedEntry("25.03.2025", "27.03.2025 10:00");
    const BuhEntry inTime = submittedEntry("24.03.2025", "24.03.2025 10:00");
    constexpr int none = -1;
    struct Case {
        const char* what;
        const BuhEntry* entry;
        const char* today;
        ScheduleWindow window;
        int background, highlightedFont; // colour references, or none
    };
    const auto tab = ScheduleWindow::ScheduleTab;
    const auto ops = ScheduleWindow::Operations;
    const Case cases[] = {
        {"overdue", &open, "26.03.2025", tab, 12503295, 12503295},
        {"overdue", &open, "26.03.2025", ops, 12503295, 12503295},
        {"deadline day warns", &open, "25.03.2025", tab, 10022900, 2748925},
        {"first warning day", &open, "20.03.2025", ops, 10022900, 2748925},
        {"in plan", &open, "19.03.2025", tab, none, none},
        {"in plan", &open, "19.03.2025", ops, none, none},
        {"submitted late", &late, "27.03.2025", tab, 13825237, 1179457},
        {"submitted, suspicious", &suspicious, "27.03.2025", tab, 13825237, 1179457},
        {"submitted in time", &inTime, "27.03.2025", tab, 13825237, 1179457},
        {"submitted late", &late, "27.03.2025", ops, none, none},
        {"submitted, suspicious", &suspicious, "27.03.2025", ops, none, none},
        {"submitted in time", &inTime, "27.03.2025", ops, none, none},
    };
    const auto expected = [](int ref) {
        return ref == none ? std::optional<QColor>() : std::optional<QColor>(colorRef(ref));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " on " << c.today << " in "
                                        << (c.window == tab ? "schedule tab" : "operations"));
        const QDateTime now(day(c.today), QTime(9, 0));
        const RowColours normal = rowColours(*c.entry, now, day(c.today), false, c.window);
        EXPECT_EQ(normal.background, expected(c.background));
        EXPECT_FALSE(normal.font.has_value());
        const RowColours highlighted = rowColours(*c.entry, now, day(c.today), true, c.window);
        EXPECT_FALSE(highlighted.background.has_value());
        EXPECT_EQ(highlighted.font, expected(c.highlightedFont));
    }
}

// The filter lists the chosen statuses in a fixed order whatever order the set holds them in.
TEST(EntryStatusTest, StatusFilterSql) {
    EXPECT_EQ(statusFilterSql({}), QStringLiteral("(1=0)"));
    const QString one = statusPredicate(BuhEntryStatus::Warning);
    EXPECT_EQ(statusFilterSql({BuhEntryStatus::Warning}), "((" + one + "))");
    const QString two = statusPredicate(BuhEntryStatus::Sdan);
    const QString both = "((" + one + ") OR (" + two + "))";
    EXPECT_EQ(statusFilterSql({BuhEntryStatus::Sdan, BuhEntryStatus::Warning}), both);
    EXPECT_EQ(statusFilterSql({BuhEntryStatus::Warning, BuhEntryStatus::Sdan}), both);
    EXPECT_TRUE(statusPredicate(BuhEntryStatus::NeSdan, QStringLiteral(":TODAY"))
                    .contains(QStringLiteral("CAST(:TODAY AS DATE)")));
}

} // namespace
