#include "books/name_check.h"
#include "fb/dataset.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

namespace {

class NameCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_db = new TestDatabase();
        s_db->exec(QStringLiteral("INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                                  "HOLIDAY_WORK) VALUES (1, 'День Победы', 9, 5, 0);"
                                  "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                                  "HOLIDAY_WORK) VALUES (2, 'Новый год', 1, 1, 0);"
                                  "INSERT INTO BUH_HOLIDAY (ID, NAME, DAY_MONTH, MONTH_YEAR, "
                                  "HOLIDAY_WORK) VALUES (3, 'Ёлка и ель', 2, 1, 0);"));
    }
    static void TearDownTestSuite() { delete s_db; }
    void SetUp() override {
        m_att = s_db->connect();
        m_list = std::make_unique<fb::Dataset>(*m_att);
        m_list->setSelectSql(
            QStringLiteral("SELECT ID, NAME FROM BUH_HOLIDAY ORDER BY MONTH_YEAR, DAY_MONTH"));
        m_list->open();
    }
    static TestDatabase* s_db;
    std::unique_ptr<fb::Attachment> m_att;
    std::unique_ptr<fb::Dataset> m_list;
};
TestDatabase* NameCheck::s_db = nullptr;

} // namespace

TEST_F(NameCheck, AddingRefusesTakenNamesWhateverTheCaseAndBlanks) {
    struct Case {
        const char* typed;
        bool unique;
    } cases[] = {
        {"Новый год", false},  {"НОВЫЙ   ГОД", false}, {"  новый год  ", false},
        {"ёЛКА И ЕЛЬ", false}, {"Новый годик", true},  {"", false},
        {"     ", false},      {"\t", false},          {"Рождество", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNameUnique(0, QStringLiteral("NAME"), *m_list, QString::fromUtf8(c.typed)),
                  c.unique)
            << c.typed;
}

TEST_F(NameCheck, EditingKeepsItsOwnNameButNotAnothersAndTheCurrentRowStays) {
    m_list->setCurrentRow(2); // День Победы (May) is the last row
    ASSERT_EQ(m_list->fieldValue(QStringLiteral("ID")).toInt(), 1);
    EXPECT_TRUE(IsNameUnique(1, QStringLiteral("NAME"), *m_list, QStringLiteral("день победы")));
    EXPECT_FALSE(IsNameUnique(1, QStringLiteral("NAME"), *m_list, QStringLiteral("Новый год")));
    EXPECT_FALSE(IsNameUnique(2, QStringLiteral("NAME"), *m_list, QStringLiteral("Новый год")));
    EXPECT_EQ(m_list->currentRow(), 2);
}

TEST(NameCheckEmpty, AnEmptyListAcceptsAnyNonBlankName) {
    TestDatabase db;
    auto att = db.connect();
    fb::Dataset list(*att);
    list.setSelectSql(QStringLiteral("SELECT ID, NAME FROM ORGANIZATION"));
    list.open();
    EXPECT_TRUE(IsNameUnique(0, QStringLiteral("NAME"), list, QStringLiteral(" Любое ")));
    EXPECT_FALSE(IsNameUnique(0, QStringLiteral("NAME"), list, QStringLiteral("   ")));
}

// What an edit dialog's failed save says: the likely cause for the engine's refusals, the
// client's own words for its refusals, and the truth for a row stored but not read back.
TEST(RefusedWriteText, NamesWhatFailed) {
    const QString likely = QStringLiteral("возможно, такое имя уже есть");
    EXPECT_EQ(refusedWriteText(
                  fb::Error(QStringLiteral("violation of UNIQUE KEY"), 335544665, false), likely),
              likely);
    EXPECT_EQ(refusedWriteText(fb::Error(QStringLiteral("символ не входит в кодировку")), likely),
              QStringLiteral("символ не входит в кодировку"));
    const fb::StoredButNotReread stored(
        fb::Error(QStringLiteral("Arithmetic exception"), 335544321, false));
    EXPECT_EQ(refusedWriteText(stored, likely), stored.message());
    EXPECT_TRUE(stored.message().contains(QStringLiteral("Arithmetic exception")));
}
