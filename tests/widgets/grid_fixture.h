#pragma once

#include "fb/attachment.h"
#include "fb/dataset.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_database.h"
#include "widgets/dataset_model.h"

#include <QList>
#include <QString>
#include <QtMessageHandler>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// The widgets tests work on one database per suite holding kReports reports "Отчёт 00001" ...
// with known values: DAY_ACTION_12 NULL on every third row, DEL 1 on every fifth, CYCLING n % 4
// (3 is no periodicity at all).
class ReportsDatabase : public ::testing::Test {
protected:
    static constexpr int kReports = 5000;

    static void SetUpTestSuite() {
        s_db = new TestDatabase();
        auto att = s_db->connect();
        fb::Transaction tr(*att);
        // One statement: numbers 1..10000 from a small recursive list crossed with itself.
        fb::Statement fill(
            tr, QStringLiteral(
                    "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
                    "DAY_WARNING, DEL) "
                    "WITH RECURSIVE R AS (SELECT 1 AS K FROM RDB$DATABASE UNION ALL "
                    "SELECT K + 1 FROM R WHERE K < 100), "
                    "N AS (SELECT (A.K - 1) * 100 + B.K AS I FROM R A CROSS JOIN R B) "
                    "SELECT I, 'Отчёт ' || LPAD(CAST(I AS VARCHAR(5)), 5, '0'), MOD(I, 121), "
                    "IIF(MOD(I, 3) = 0, NULL, MOD(I, 50)), MOD(I, 4), 3, "
                    "IIF(MOD(I, 5) = 0, 1, 0) FROM N WHERE I <= %1")
                    .arg(kReports));
        fill.execute();
        tr.commit();
        s_db->exec(QStringLiteral("ALTER SEQUENCE GEN_BUH_ACCOUNT_ID RESTART WITH 100000"));
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override { m_att = s_db->connect(); }

    // A live list of the reports ordered by ID, with its row statements.
    std::unique_ptr<fb::Dataset> reports(int fetchStep = 0) {
        auto ds = std::make_unique<fb::Dataset>(*m_att);
        const QString columns = QStringLiteral(
            "SELECT ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, DAY_WARNING, DEL FROM "
            "BUH_ACCOUNT");
        ds->setSelectSql(columns + QStringLiteral(" ORDER BY ID"));
        ds->setRefreshSql(columns + QStringLiteral(" WHERE ID = :OLD_ID"));
        ds->setInsertSql(QStringLiteral(
            "INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, DAY_ACTION_12, CYCLING, "
            "DAY_WARNING, DEL) VALUES (:ID, :NAME, :DAY_ACTION, :DAY_ACTION_12, :CYCLING, "
            ":DAY_WARNING, 0)"));
        ds->setUpdateSql(QStringLiteral("UPDATE BUH_ACCOUNT SET NAME = :NAME, DEL = :DEL "
                                        "WHERE ID = :OLD_ID"));
        ds->setDeleteSql(QStringLiteral("DELETE FROM BUH_ACCOUNT WHERE ID = :OLD_ID"));
        ds->setGenerator(QStringLiteral("GEN_BUH_ACCOUNT_ID"));
        ds->setFetchStep(fetchStep);
        return ds;
    }

    static QList<ColumnDef> reportColumns() {
        return {
            {QStringLiteral("NAME"), QStringLiteral("Наименование отчётности")},
            {QStringLiteral("DAY_ACTION"), QStringLiteral("Дней до крайней сдачи"),
             Qt::AlignHCenter},
            {QStringLiteral("DAY_ACTION_12"),
             QStringLiteral("Дней до сдачи последнего в году "
                            "отчёта"),
             Qt::AlignHCenter, display::nullAs(QStringLiteral("-"))},
            {QStringLiteral("CYCLING"), QStringLiteral("Цикличность"), Qt::AlignLeft,
             display::codes({{0, QStringLiteral("Месяц")},
                             {1, QStringLiteral("Квартал")},
                             {2, QStringLiteral("Год")}})},
            {QStringLiteral("DEL"), QStringLiteral("Активность"), Qt::AlignLeft,
             display::codes({{0, QStringLiteral("Активная")}, {1, QStringLiteral("В архиве")}})},
        };
    }

    static TestDatabase* s_db;
    std::unique_ptr<fb::Attachment> m_att;
};

// Collects the warnings Qt prints (QAbstractItemModelTester reports through them) while alive.
class QtWarnings {
public:
    QtWarnings() {
        s_messages.clear();
        m_previous = qInstallMessageHandler(&QtWarnings::handle);
    }
    ~QtWarnings() { qInstallMessageHandler(m_previous); }
    static const QStringList& messages() { return s_messages; }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            s_messages << message;
    }
    QtMessageHandler m_previous;
    static inline QStringList s_messages;
};
