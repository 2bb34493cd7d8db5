// The rules the database keeps on its own: the program relies on each of them.
#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_database.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

class SchemaRules : public ::testing::Test {
protected:
    void SetUp() override {
        m_db = std::make_unique<TestDatabase>();
        m_att = m_db->connect();
        m_db->exec(QStringLiteral(
            "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, "
            "USERS_ID) VALUES (1, 'Орг 1', 0, 2, 0);"
            "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT, "
            "USERS_ID) VALUES (2, 'Орг 2', 0, 2, 0);"
            "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, "
            "DEL) VALUES (10, 'НДС', 25, NULL, 1, 5, 0);"
            "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, "
            "DEL) VALUES (11, 'Баланс', 90, NULL, 2, 10, 0);"
            "INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) "
            "VALUES (100, 10, 1, 1);"
            "INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) "
            "VALUES (101, 11, 1, 1);"
            "INSERT INTO BUH_ACCOUNT_ORGANIZATION (ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) "
            "VALUES (102, 10, 2, 1);"
            "SET GENERATOR GEN_ORGANIZATION_ID TO 1000; SET GENERATOR GEN_BUH_ACCOUNT_ID TO 1000;"
            "SET GENERATOR GEN_BUH_ACCOUNT_ORGANIZATION_ID TO 1000;"));
    }

    QVariant scalar(const QString& sql) {
        fb::Transaction tr(*m_att);
        fb::Statement st(tr, sql);
        st.open();
        return st.fetch() ? st.value(0) : QVariant();
    }
    int count(const QString& where) {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_HISTORY WHERE ") + where).toInt();
    }
    void addEntry(int report, int org, const QDate& end, const QDate& deadline) {
        fb::Transaction tr(*m_att);
        fb::Statement call(
            tr, QStringLiteral("EXECUTE PROCEDURE ADD_BUH_HISTORY (?BUH_ACCOUNT_ID, "
                               "?ORGANIZATION_ID, ?CYCLING, ?DT_END_ACCOUNT, ?DT_ACTION)"));
        call.setParam(QStringLiteral("BUH_ACCOUNT_ID"), report);
        call.setParam(QStringLiteral("ORGANIZATION_ID"), org);
        call.setParam(QStringLiteral("CYCLING"), 1);
        call.setParam(QStringLiteral("DT_END_ACCOUNT"), end);
        call.setParam(QStringLiteral("DT_ACTION"), deadline);
        call.execute();
        tr.commit();
    }
    void exec(const QString& sql) { m_db->exec(sql); }
    void submit(const QDate& end, int report = 10, int org = 1) {
        exec(
            QStringLiteral("UPDATE BUH_HISTORY SET DT_ACTUAL = '%1', USERS_ID = 1 WHERE "
                           "BUH_ACCOUNT_ID = %2 AND ORGANIZATION_ID = %3 AND DT_END_ACCOUNT = '%4'")
                .arg(end.addDays(1).toString(Qt::ISODate))
                .arg(report)
                .arg(org)
                .arg(end.toString(Qt::ISODate)));
    }

    // Entries around today: one past, one ahead, one ahead already submitted.
    void addPastAndFuture(int report, int org) {
        addEntry(report, org, m_today.addDays(-60), m_today.addDays(-30));
        addEntry(report, org, m_today.addDays(-10), m_today.addDays(20));
        addEntry(report, org, m_today.addDays(-5), m_today.addDays(25));
        submit(m_today.addDays(-5), report, org);
    }

    QDate m_today = QDate::currentDate();
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<fb::Attachment> m_att;
};

} // namespace

TEST_F(SchemaRules, Rule1_OneEntryPerPeriodAndSubmittedEntriesStayAsTheyAre) {
    const QDate end(2024, 3, 31);
    addEntry(10, 1, end, QDate(2024, 4, 25));
    addEntry(10, 1, end, QDate(2024, 4, 25));
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10 AND ORGANIZATION_ID = 1")), 1);
    addEntry(10, 1, end, QDate(2024, 4, 26));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DT_ACTION FROM BUH_HISTORY")).toDate(),
              QDate(2024, 4, 26))
        << "an unsubmitted entry takes the new deadline";
    exec(QStringLiteral(
        "UPDATE BUH_HISTORY SET DT_ACTUAL = '2024-04-20', COMMENTS = 'сдан', USERS_ID = 1"));
    addEntry(10, 1, end, QDate(2024, 5, 5));
    EXPECT_EQ(count(QStringLiteral("1 = 1")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT DT_ACTION FROM BUH_HISTORY")).toDate(),
              QDate(2024, 4, 26));
    EXPECT_EQ(scalar(QStringLiteral("SELECT DT_ACTUAL FROM BUH_HISTORY")).toDate(),
              QDate(2024, 4, 20));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COMMENTS FROM BUH_HISTORY")).toString(),
              QStringLiteral("сдан"));
}

TEST_F(SchemaRules, Rule2_DeletingAReportDeletesItsAssignmentsAndAllItsEntries) {
    addPastAndFuture(10, 1);
    exec(QStringLiteral("DELETE FROM BUH_ACCOUNT WHERE ID = 10"));
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10")), 0);
    EXPECT_EQ(scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE BUH_ACCOUNT_ID = 10"))
                  .toInt(),
              0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION")).toInt(), 1);
}

TEST_F(SchemaRules, Rule3_DeletingAnOrganisationLeavesNoRowOfIt) {
    addPastAndFuture(10, 1);
    addPastAndFuture(10, 2);
    exec(QStringLiteral("DELETE FROM ORGANIZATION WHERE ID = 1"));
    EXPECT_EQ(count(QStringLiteral("ORGANIZATION_ID = 1")), 0);
    EXPECT_EQ(scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE ORGANIZATION_ID = 1"))
                  .toInt(),
              0);
    EXPECT_EQ(count(QStringLiteral("ORGANIZATION_ID = 2")), 3) << "other organisations keep theirs";
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM BUH_ACCOUNT")).toInt(), 2);
}

TEST_F(SchemaRules, Rule4_ArchivingKeepsPastAndSubmittedEntriesOnly) {
    addPastAndFuture(10, 1);
    addPastAndFuture(10, 2);
    addEntry(10, 1, m_today.addDays(-25), m_today); // due today: still ahead
    exec(QStringLiteral("UPDATE BUH_ACCOUNT SET DEL = 1 WHERE ID = 10"));
    EXPECT_EQ(scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE BUH_ACCOUNT_ID = 10"))
                  .toInt(),
              0);
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10")), 4)
        << "per organisation: the past one and the one submitted ahead";
    EXPECT_EQ(count(QStringLiteral(
                  "BUH_ACCOUNT_ID = 10 AND DT_ACTUAL IS NULL AND DT_ACTION >= CURRENT_DATE")),
              0);
    EXPECT_EQ(scalar(QStringLiteral(
                         "SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE BUH_ACCOUNT_ID = 11"))
                  .toInt(),
              1);
}

TEST_F(SchemaRules, Rule5_SwitchingOffClearsOnlyThatAssignmentsFutureUnsubmittedEntries) {
    addPastAndFuture(10, 1);
    addPastAndFuture(11, 1);
    addPastAndFuture(10, 2);
    exec(QStringLiteral("UPDATE BUH_ACCOUNT_ORGANIZATION SET ON_OFF = 0 WHERE ID = 100"));
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10 AND ORGANIZATION_ID = 1")), 2);
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 11 AND ORGANIZATION_ID = 1")), 3);
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10 AND ORGANIZATION_ID = 2")), 3);
    // Writing 0 again over an assignment that is off removes nothing more.
    addEntry(10, 1, m_today.addDays(-3), m_today.addDays(30));
    exec(QStringLiteral("UPDATE BUH_ACCOUNT_ORGANIZATION SET ON_OFF = 0 WHERE ID = 100"));
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10 AND ORGANIZATION_ID = 1")), 3);
}

TEST_F(SchemaRules, Rule6_DeletingAnAssignmentKeepsTheSubmissionHistory) {
    addPastAndFuture(10, 1);
    exec(QStringLiteral("DELETE FROM BUH_ACCOUNT_ORGANIZATION WHERE ID = 100"));
    EXPECT_EQ(count(QStringLiteral("BUH_ACCOUNT_ID = 10 AND ORGANIZATION_ID = 1")), 2);
    EXPECT_EQ(count(QStringLiteral(
                  "BUH_ACCOUNT_ID = 10 AND ORGANIZATION_ID = 1 AND DT_ACTUAL IS NOT NULL")),
              1);
}

TEST_F(SchemaRules, Rule7_RecordDateIsStampedByTheDatabaseWhenTheMarkChanges) {
    addEntry(10, 1, QDate(2024, 3, 31), QDate(2024, 4, 25));
    exec(QStringLiteral("UPDATE BUH_HISTORY SET DT_ADD_RECORD = '2000-01-01'"));
    EXPECT_NE(scalar(QStringLiteral("SELECT DT_ADD_RECORD FROM BUH_HISTORY")).toDate(),
              QDate(2000, 1, 1))
        << "a supplied record date is ignored";
    const QDateTime before =
        scalar(QStringLiteral("SELECT DT_ADD_RECORD FROM BUH_HISTORY")).toDateTime();
    struct Case {
        const char* set;
        bool stamps;
    } cases[] = {
        {"DT_ACTUAL = '2024-04-20'", true},
        {"COMMENTS = 'комментарий'", true},
        {"USERS_ID = 1", true},
        {"DT_ACTION = '2024-04-26'", false},
        {"DT_ACTUAL = '2024-04-20'", false},
        {"DT_ACTUAL = NULL, USERS_ID = NULL", true},
    };
    QDateTime last = before;
    for (const Case& c : cases) {
        exec(QStringLiteral("UPDATE BUH_HISTORY SET %1, DT_ADD_RECORD = '2001-01-01'")
                 .arg(QString::fromUtf8(c.set)));
        const QDateTime now =
            scalar(QStringLiteral("SELECT DT_ADD_RECORD FROM BUH_HISTORY")).toDateTime();
        EXPECT_GE(now.date(), QDate::currentDate().addDays(-1)) << c.set;
        if (!c.stamps)
            EXPECT_EQ(now, last) << c.set;
        else
            EXPECT_GE(now, last) << c.set;
        last = now;
    }
}

TEST_F(SchemaRules, Rule8_NamesAreUniqueWhateverTheLetterCaseCyrillicIncluded) {
    struct Case {
        const char* table;
        const char* first;
        const char* second;
    } cases[] = {
        {"BUH_ACCOUNT", "Отчёт", "ОТЧЁТ"},
        {"BUH_ACCOUNT", "ёлка", "Ёлка"},
        {"ORGANIZATION", "ООО «Альфа»", "ооо «альфа»"},
        {"BUH_HOLIDAY", "День труда", "ДЕНЬ ТРУДА"},
    };
    for (const Case& c : cases) {
        const QString insert =
            QStringLiteral("INSERT INTO %1 (NAME) VALUES ('%2')").arg(QLatin1String(c.table));
        exec(insert.arg(QString::fromUtf8(c.first)));
        try {
            exec(insert.arg(QString::fromUtf8(c.second)));
            ADD_FAILURE() << c.second << " was accepted beside " << c.first;
        } catch (const fb::Error& e) {
            EXPECT_TRUE(e.isUniqueViolation()) << e.message().toStdString();
        }
    }
    // Empty names are NULL and may repeat.
    exec(QStringLiteral("INSERT INTO BUH_HOLIDAY (NAME) VALUES (NULL); INSERT INTO BUH_HOLIDAY "
                        "(NAME) VALUES (NULL)"));
}

TEST_F(SchemaRules, Rule9_AReportIsAssignedToAnOrganisationOnce) {
    try {
        exec(QStringLiteral("INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, "
                            "ORGANIZATION_ID) VALUES (10, 1)"));
        FAIL() << "second assignment accepted";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.isUniqueViolation()) << e.message().toStdString();
    }
    exec(QStringLiteral(
        "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID) VALUES (11, 2)"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT ON_OFF FROM BUH_ACCOUNT_ORGANIZATION WHERE "
                                    "BUH_ACCOUNT_ID = 11 AND ORGANIZATION_ID = 2"))
                  .toInt(),
              0)
        << "a new assignment starts switched off";
}

TEST_F(SchemaRules, InitialRowsAndVersion) {
    EXPECT_EQ(scalar(QStringLiteral("SELECT LOGIN || ' ( ' || FIO || ' )' FROM USERS WHERE ID = 1"))
                  .toString(),
              QStringLiteral("admin ( Администратор )"));
    EXPECT_FALSE(scalar(QStringLiteral("SELECT SETTINGS FROM USERS_SETTINGS WHERE USERS_ID = 2"))
                     .toString()
                     .isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT DEL FROM BUH_ACCOUNT WHERE ID = 10")).toInt(), 0);
}

TEST(DemoData, LoadsRealReportsHolidaysAndSwitchedOnAssignments) {
    TestDatabase db(true);
    auto att = db.connect();
    fb::Transaction tr(*att);
    auto scalar = [&](const char* sql) {
        fb::Statement st(tr, QString::fromUtf8(sql));
        st.open();
        st.fetch();
        return st.value(0).toInt();
    };
    EXPECT_GE(scalar("SELECT COUNT(*) FROM ORGANIZATION"), 3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE HOLIDAY_WORK = 0"), 14);
    EXPECT_EQ(scalar("SELECT DAY_ACTION FROM BUH_ACCOUNT WHERE NAME = 'Декларация по НДС'"), 25);
    EXPECT_GE(scalar("SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE ON_OFF = 1"), 5);
    EXPECT_GE(scalar("SELECT COUNT(*) FROM BUH_ACCOUNT_ORGANIZATION WHERE ON_OFF = 0"), 1);
}
