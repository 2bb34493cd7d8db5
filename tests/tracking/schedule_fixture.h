#pragma once

#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "store/schedule_list.h"
#include "support/test_database.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <gtest/gtest.h>

#include <memory>

// A small schedule around "today" 10 March 2025 with an entry in every status, an entry without
// organisation (-1), one of an organisation that no longer exists (999), entries on the bounds
// of January and February, and one of the previous year. The record dates are set by hand, so
// the triggers that stamp them are off while the rows go in.
inline constexpr char kScheduleSeed[] =
    "INSERT INTO ORGANIZATION (ID, NAME) VALUES (10, 'ООО Ромашка');"
    "INSERT INTO ORGANIZATION (ID, NAME) VALUES (20, 'ИП Лютик');"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) VALUES (1, 'НДС', "
    "25, 1, 5, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) VALUES (2, 'РСВ', "
    "20, 0, 3, 0);"
    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, DAY_WARNING, DEL) VALUES (3, "
    "'Архивный отчёт', 15, 2, 3, 1);"
    // id org report cycling end action actual record comments user
    "INSERT INTO BUH_HISTORY VALUES (1, 10, 1, 1, '2025-03-31', '2025-04-25', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (2, 10, 2, 0, '2025-02-28', '2025-03-12', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (3, 20, 2, 0, '2025-01-31', '2025-03-05', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (4, 20, 1, 1, '2024-12-31', '2025-01-27', '2025-01-20', "
    "'2025-01-20 10:00', 'Сдано через ЭДО', 1);"
    "INSERT INTO BUH_HISTORY VALUES (5, 10, 2, 0, '2025-01-31', '2025-02-20', '2025-02-21', "
    "'2025-02-21 11:00', NULL, 1);"
    "INSERT INTO BUH_HISTORY VALUES (6, 10, 1, 1, '2024-12-31', '2025-01-27', '2025-01-27', "
    "'2025-01-28 09:00', NULL, 1);"
    "INSERT INTO BUH_HISTORY VALUES (7, -1, 2, 0, '2025-02-28', '2025-03-31', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (8, 999, 2, 0, '2025-02-28', '2025-03-11', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (9, 10, 1, 1, '2024-09-30', '2025-03-10', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (10, 20, 2, 0, '2024-12-31', '2025-01-31', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (11, 20, 2, 0, '2024-11-30', '2025-02-01', NULL, "
    "'2025-01-01 08:00', NULL, NULL);"
    "INSERT INTO BUH_HISTORY VALUES (12, 10, 3, 2, '2023-12-31', '2024-12-31', '2024-12-20', "
    "'2024-12-20 12:00', NULL, 1);"
    "";

inline void seedSchedule(const TestDatabase& db) {
    db.exec(QStringLiteral("ALTER TRIGGER BUH_HISTORY_BI INACTIVE;"
                           "ALTER TRIGGER BUH_HISTORY_BU INACTIVE;"));
    db.exec(QString::fromUtf8(kScheduleSeed));
    db.exec(QStringLiteral("ALTER TRIGGER BUH_HISTORY_BI ACTIVE;"
                           "ALTER TRIGGER BUH_HISTORY_BU ACTIVE;"
                           "ALTER SEQUENCE GEN_BUH_HISTORY_ID RESTART WITH 100;"));
}

inline QDate kScheduleToday() {
    return QDate(2025, 3, 10);
}

// The whole year 2025, every status, every organisation.
inline store::ScheduleFilter year2025() {
    store::ScheduleFilter filter;
    filter.beginYear = 2025;
    filter.endYear = 2025;
    return filter;
}

inline QSet<int> listIds(fb::Attachment& att, const store::ScheduleStatement& statement) {
    fb::Transaction tr(att, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(tr, statement.sql);
    for (const QString& name : query.paramNames())
        query.setParam(name, statement.params.value(name));
    QSet<int> ids;
    query.open();
    while (query.fetch())
        ids.insert(query.value(QStringLiteral("ID")).toInt());
    return ids;
}

inline int countOf(fb::Attachment& att, const QString& sql) {
    fb::Transaction tr(att, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(tr, sql);
    query.open();
    return query.fetch() ? query.value(0).toInt() : -1;
}
