#pragma once

#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <ostream>
#include <tuple>
#include <vector>

// Schedule entries as the database holds them, for comparing whole schedules in the engine and
// correction tests.
struct StoredEntry {
    int organisationId = 0;
    int reportId = 0;
    int cycling = 0;
    QDate periodEnd;
    QDate deadline;

    bool operator==(const StoredEntry&) const = default;
};

inline void PrintTo(const StoredEntry& e, std::ostream* os) {
    *os << "{org " << e.organisationId << ", report " << e.reportId << ", cycling " << e.cycling
        << ", " << e.periodEnd.toString(QStringLiteral("dd.MM.yyyy")).toStdString() << " -> "
        << e.deadline.toString(QStringLiteral("dd.MM.yyyy ddd")).toStdString() << "}";
}

inline QDate dmy(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd.MM.yyyy"));
}

inline std::vector<StoredEntry> readEntries(fb::Attachment& att) {
    fb::Transaction tr(att, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(tr, QStringLiteral("SELECT ORGANIZATION_ID, BUH_ACCOUNT_ID, CYCLING, "
                                           "DT_END_ACCOUNT, DT_ACTION FROM BUH_HISTORY ORDER BY "
                                           "ORGANIZATION_ID, BUH_ACCOUNT_ID, DT_END_ACCOUNT"));
    std::vector<StoredEntry> entries;
    query.open();
    while (query.fetch()) {
        entries.push_back({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt(),
                           query.value(3).toDateTime().date(), query.value(4).toDateTime().date()});
    }
    return entries;
}

inline QVariant scalar(fb::Attachment& att, const QString& sql) {
    fb::Transaction tr(att, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(tr, sql);
    query.open();
    return query.fetch() ? query.value(0) : QVariant();
}

// A Russian calendar as accountants enter it, with two marks of our own that the test schedules
// run into: Friday 25 July 2025 off, Saturday 25 October 2025 a working day.
inline constexpr char kTestCalendarSql[] =
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('1 января', 1, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('2 января', 2, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('3 января', 3, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('4 января', 4, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('5 января', 5, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('6 января', 6, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('Рождество', 7, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('8 января', 8, "
    "1, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('23 февраля', "
    "23, 2, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('8 марта', 8, 3, "
    "0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('1 мая', 1, 5, "
    "0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('9 мая', 9, 5, "
    "0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('12 июня', 12, "
    "6, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('Свой праздник', "
    "25, 7, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('Рабочая "
    "суббота', 25, 10, 1);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('4 ноября', 4, "
    "11, 0);"
    "INSERT INTO BUH_HOLIDAY (NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK) VALUES ('31 декабря', "
    "31, 12, 0);";

// Two organisations; a quarterly, a yearly (its special term is ignored) and a monthly report
// with a special term, all switched on for organisation 10; an archived report and one with an
// unknown periodicity, also switched on; organisation 20 has the quarterly report on and the
// monthly one off.
inline constexpr char kBooksSql[] =
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, USERS_ID) "
    "VALUES (10, 'ООО Ромашка', 0, 2, 0);"
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, USERS_ID) "
    "VALUES (20, 'ИП Лютик', 1, 2, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (1, 'НДС', 25, NULL, 1, 5, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (2, 'Баланс', 90, 30, 2, 10, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (3, 'РСВ', 20, 90, 0, 3, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (4, 'Архивный отчёт', 15, NULL, 0, 3, 1);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL) "
    "VALUES (5, 'Без периода', 10, NULL, 3, 3, 0);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (2, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (3, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (4, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (5, 10, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (1, 20, "
    "1);"
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES (3, 20, "
    "0);";
