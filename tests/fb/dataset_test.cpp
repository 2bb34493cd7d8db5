#include "fb/dataset.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "support/test_database.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

const char* kSelect = "SELECT ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK FROM BUH_HOLIDAY ORDER "
                      "BY MONTH_YEAR, DAY_MONTH";

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_db = std::make_unique<TestDatabase>();
        m_db->exec(QStringLiteral("INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                                  "HOLIDAY_WORK) VALUES (1, 'Новый год', 1, 1, 0);"
                                  "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                                  "HOLIDAY_WORK) VALUES (2, 'День Победы', 9, 5, 0);"
                                  "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                                  "HOLIDAY_WORK) VALUES (3, 'Рабочая суббота', 1, 11, 1);"
                                  "SET GENERATOR GEN_BUH_HOLIDAY_ID TO 100;"));
        m_att = m_db->connect();
        m_list = std::make_unique<fb::Dataset>(*m_att);
        m_list->setSelectSql(QString::fromUtf8(kSelect));
        m_list->setRefreshSql(QStringLiteral("SELECT ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK "
                                             "FROM BUH_HOLIDAY WHERE BUH_HOLIDAY.ID = :OLD_ID"));
        m_list->setInsertSql(QStringLiteral(
            "INSERT INTO BUH_HOLIDAY ( ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK ) VALUES ( "
            ":ID, :NAME, :DAY_MONTH, :MONTH_YEAR, :HOLIDAY_WORK )"));
        m_list->setUpdateSql(QStringLiteral(
            "UPDATE BUH_HOLIDAY SET NAME = :NAME, DAY_MONTH = :DAY_MONTH, MONTH_YEAR = "
            ":MONTH_YEAR, HOLIDAY_WORK = :HOLIDAY_WORK WHERE ID = :OLD_ID"));
        m_list->setDeleteSql(QStringLiteral("DELETE FROM BUH_HOLIDAY WHERE ID = :OLD_ID"));
        m_list->setGenerator(QStringLiteral("GEN_BUH_HOLIDAY_ID"));
        m_list->open();
    }
    int countInDb(const QString& where) {
        fb::Transaction tr(*m_att);
        fb::Statement st(tr, QStringLiteral("SELECT COUNT(*) FROM BUH_HOLIDAY WHERE ") + where);
        st.open();
        st.fetch();
        return st.value(0).toInt();
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<fb::Attachment> m_att;
    std::unique_ptr<fb::Dataset> m_list;
};

} // namespace

TEST_F(DatasetTest, InsertTakesTheKeyFromTheGeneratorCommitsAndRereadsTheRow) {
    m_list->setCurrentRow(1);
    QSignalSpy inserted(m_list.get(), &fb::Dataset::rowsAboutToBeInserted);
    m_list->append();
    m_list->setFieldValue(QStringLiteral("NAME"), QStringLiteral("День России"));
    m_list->setFieldValue(QStringLiteral("DAY_MONTH"), 12);
    m_list->setFieldValue(QStringLiteral("MONTH_YEAR"), 6);
    m_list->setFieldValue(QStringLiteral("HOLIDAY_WORK"), 0);
    m_list->post();
    EXPECT_EQ(m_list->state(), fb::Dataset::State::Browse);
    EXPECT_EQ(m_list->fieldValue(QStringLiteral("ID")).toInt(), 101);
    EXPECT_EQ(m_list->currentRow(), 2) << "the new row stands after the row that was current";
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(countInDb(QStringLiteral("ID = 101 AND NAME = 'День России'")), 1);
    // Another connection sees it: the post was committed.
    auto other = m_db->connect();
    fb::Transaction tr(*other);
    fb::Statement st(tr, QStringLiteral("SELECT NAME FROM BUH_HOLIDAY WHERE ID = 101"));
    st.open();
    ASSERT_TRUE(st.fetch());
}

TEST_F(DatasetTest, RefusedPostKeepsTheRowForCancelAndStoresNothing) {
    m_list->append();
    m_list->setFieldValue(QStringLiteral("NAME"), QStringLiteral("НОВЫЙ ГОД"));
    m_list->setFieldValue(QStringLiteral("DAY_MONTH"), 2);
    m_list->setFieldValue(QStringLiteral("MONTH_YEAR"), 1);
    try {
        m_list->post();
        FAIL() << "duplicate name accepted";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.isUniqueViolation());
    }
    EXPECT_EQ(m_list->state(), fb::Dataset::State::Insert);
    m_list->cancel();
    EXPECT_EQ(m_list->state(), fb::Dataset::State::Browse);
    EXPECT_EQ(m_list->rowCount(), 3);
    EXPECT_EQ(countInDb(QStringLiteral("1 = 1")), 3);
}

TEST_F(DatasetTest, EditUsesTheOldKeyAndDeleteRemovesTheRow) {
    ASSERT_TRUE(m_list->locate(QStringLiteral("NAME"), QStringLiteral("день победы"), true));
    m_list->edit();
    m_list->setFieldValue(QStringLiteral("NAME"), QStringLiteral("День Победы (9 мая)"));
    m_list->post();
    EXPECT_EQ(m_list->fieldValue(QStringLiteral("NAME")).toString(),
              QStringLiteral("День Победы (9 мая)"));
    EXPECT_EQ(countInDb(QStringLiteral("ID = 2 AND NAME = 'День Победы (9 мая)'")), 1);
    m_list->deleteCurrent();
    EXPECT_EQ(m_list->rowCount(), 2);
    EXPECT_EQ(m_list->currentRow(), 1);
    EXPECT_EQ(countInDb(QStringLiteral("ID = 2")), 0);
}

TEST_F(DatasetTest, LocalFilterAndSortKeepTheCurrentRowByKey) {
    m_list->setCurrentRow(2); // ID 3
    m_list->setFilter([](const fb::Dataset& d, int source) {
        return d.sourceValue(source, QStringLiteral("NAME"))
            .toString()
            .toLower()
            .contains(QStringLiteral("о"));
    });
    EXPECT_EQ(m_list->rowCount(), 3);
    m_list->setSort(QStringLiteral("NAME"), false);
    EXPECT_EQ(m_list->value(0, QStringLiteral("NAME")).toString(),
              QStringLiteral("Рабочая суббота"));
    EXPECT_EQ(m_list->fieldValue(QStringLiteral("ID")).toInt(), 3);
    m_list->clearSort();
    m_list->setFilter([](const fb::Dataset& d, int source) {
        return d.sourceValue(source, QStringLiteral("HOLIDAY_WORK")).toInt() == 0;
    });
    EXPECT_EQ(m_list->rowCount(), 2);
    EXPECT_NE(m_list->fieldValue(QStringLiteral("ID")).toInt(), 3)
        << "a hidden row cannot stay current";
    m_list->clearFilter();
    EXPECT_EQ(m_list->rowCount(), 3);
}

TEST(DatasetFetching, ReadsInStepsAndFollowsAMasterKey) {
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO ORGANIZATION (ID, NAME) VALUES (1, 'А'); INSERT INTO "
                           "ORGANIZATION (ID, NAME) VALUES (2, 'Б');"
                           "SET TERM ^ ;"
                           "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN"
                           "  WHILE (I < 1000) DO BEGIN"
                           "    INSERT INTO BUH_ACCOUNT (ID, NAME, DAY_ACTION, CYCLING, "
                           "DAY_WARNING) VALUES (:I + 1, 'Отчёт ' || :I, 25, 0, 3);"
                           "    INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, "
                           "ORGANIZATION_ID, ON_OFF) VALUES (:I + 1, 1 + MOD(:I, 2), 1);"
                           "    I = I + 1; END END^"));
    auto att = db.connect();
    fb::Dataset list(*att);
    list.setSelectSql(QStringLiteral("SELECT BUH_ACCOUNT_ORGANIZATION.ID, BUH_ACCOUNT.NAME FROM "
                                     "BUH_ACCOUNT_ORGANIZATION LEFT JOIN BUH_ACCOUNT"
                                     " ON BUH_ACCOUNT.ID = BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID "
                                     "WHERE BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID = :ID"));
    list.setFetchStep(100);
    list.setParam(QStringLiteral("ID"), 1);
    list.open();
    EXPECT_EQ(list.rowCount(), 100);
    EXPECT_TRUE(list.canFetchMore());
    list.fetchMore(100);
    EXPECT_EQ(list.rowCount(), 200);
    list.fetchAll();
    EXPECT_EQ(list.rowCount(), 500);
    EXPECT_FALSE(list.canFetchMore());
    list.setParam(QStringLiteral("ID"), 2);
    list.refresh();
    list.fetchAll();
    EXPECT_EQ(list.rowCount(), 500);
    EXPECT_EQ(list.value(0, QStringLiteral("NAME")).toString(), QStringLiteral("Отчёт 1"));
}

// A row that was written and committed but could not be read back is stored, and the error
// says so instead of looking like a refused write.
TEST_F(DatasetTest, ARowStoredButNotReadBackStaysInTheListAndSaysWhatFailed) {
    m_list->setRefreshSql(
        QStringLiteral("SELECT ID, NAME FROM BUH_HOLIDAY WHERE ID = :OLD_ID AND 1 / 0 = 1"));
    m_list->append();
    m_list->setFieldValue(QStringLiteral("NAME"), QStringLiteral("День России"));
    m_list->setFieldValue(QStringLiteral("DAY_MONTH"), 12);
    m_list->setFieldValue(QStringLiteral("MONTH_YEAR"), 6);
    m_list->setFieldValue(QStringLiteral("HOLIDAY_WORK"), 0);
    try {
        m_list->post();
        FAIL() << "the re-read cannot succeed";
    } catch (const fb::StoredButNotReread& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Запись сохранена в базе данных")))
            << e.message().toStdString();
        EXPECT_TRUE(e.cause().isEngineError());
    }
    EXPECT_EQ(countInDb(QStringLiteral("NAME = 'День России'")), 1);
    EXPECT_EQ(m_list->state(), fb::Dataset::State::Browse);
    EXPECT_EQ(m_list->rowCount(), 4);
    EXPECT_EQ(m_list->fieldValue(QStringLiteral("NAME")).toString(), QStringLiteral("День России"));
}

TEST(DatasetClearRows, ForgetsEveryRowAndStaysOpen) {
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                           "HOLIDAY_WORK) VALUES (1, 'Новый год', 1, 1, 0);"
                           "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                           "HOLIDAY_WORK) VALUES (2, 'День Победы', 9, 5, 0);"));
    auto att = db.connect();
    fb::Dataset list(*att);
    list.setSelectSql(QString::fromUtf8(kSelect));
    list.setFetchStep(1); // one row read, one still waiting in the cursor
    list.open();
    ASSERT_EQ(list.rowCount(), 1);
    ASSERT_TRUE(list.canFetchMore());
    QSignalSpy reset(&list, &fb::Dataset::resetDone);
    QSignalSpy moved(&list, &fb::Dataset::currentRowChanged);
    list.clearRows();
    EXPECT_TRUE(list.isOpen());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(list.canFetchMore());
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.currentRow(), -1);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(moved.count(), 1);
}

TEST(DatasetSharedTexts, RowsWithTheSameShortTextHoldOneCopy) {
    TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                           "HOLIDAY_WORK) VALUES (1, 'Новый год', 1, 1, 0);"
                           "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                           "HOLIDAY_WORK) VALUES (2, 'День Победы', 9, 5, 0);"));
    auto att = db.connect();
    fb::Dataset list(*att);
    list.setSelectSql(QStringLiteral("SELECT ID, NAME, CAST('Праздник' AS VARCHAR(20)) KIND FROM "
                                     "BUH_HOLIDAY ORDER BY ID"));
    list.open();
    ASSERT_EQ(list.rowCount(), 2);
    const QString first = list.value(0, QStringLiteral("KIND")).toString();
    const QString second = list.value(1, QStringLiteral("KIND")).toString();
    EXPECT_EQ(first, QStringLiteral("Праздник"));
    EXPECT_EQ(first.constData(), second.constData());
    EXPECT_EQ(list.value(1, QStringLiteral("NAME")).toString(), QStringLiteral("День Победы"));
}
