#include "fb/error.h"
#include "fb/named_params.h"
#include "fb/script.h"
#include "fb/win1251.h"

#include <gtest/gtest.h>

TEST(NamedParams, ReplacesNamesKeepsRepeatsAndLeavesLiteralsAndCommentsAlone) {
    struct Case {
        const char* sql;
        const char* expected;
        QStringList names;
    } cases[] = {
        {"SELECT * FROM T WHERE ID = :ID", "SELECT * FROM T WHERE ID = ?", {"ID"}},
        {"EXECUTE PROCEDURE P (?A, ?b)", "EXECUTE PROCEDURE P (?, ?)", {"A", "B"}},
        {"WHERE (:X = -1) OR (C = :X)", "WHERE (? = -1) OR (C = ?)", {"X", "X"}},
        {"WHERE N = ':NAME' AND M = :M", "WHERE N = ':NAME' AND M = ?", {"M"}},
        {"WHERE N = 'it''s :A' AND \"Q:B\" = :C", "WHERE N = 'it''s :A' AND \"Q:B\" = ?", {"C"}},
        {"SELECT 1 -- :A\nFROM T /* :B */ WHERE X = :OLD_ID",
         "SELECT 1 -- :A\nFROM T /* :B */ WHERE X = ?",
         {"OLD_ID"}},
        {"WHERE DT > 'NOW'", "WHERE DT > 'NOW'", {}},
    };
    for (const Case& c : cases) {
        const fb::ParsedSql parsed = fb::parseNamedParams(QString::fromUtf8(c.sql));
        EXPECT_EQ(parsed.sql, QString::fromUtf8(c.expected)) << c.sql;
        EXPECT_EQ(parsed.paramNames, c.names) << c.sql;
    }
}

TEST(Win1251, RoundTripsCyrillicAndRefusesWhatTheCodePageCannotHold) {
    const QString text = QStringLiteral("Отчёт ЁЛКА № 5 «кавычки» — тире €");
    EXPECT_EQ(fb::fromWin1251(fb::toWin1251(text)), text);
    EXPECT_EQ(fb::toWin1251(QStringLiteral("Ё")), QByteArray("\xA8"));
    EXPECT_EQ(fb::toWin1251(QStringLiteral("№")), QByteArray("\xB9"));
    EXPECT_THROW(fb::toWin1251(QStringLiteral("ООО 😀")), fb::Error);
    EXPECT_THROW(fb::toWin1251(QStringLiteral("汉字")), fb::Error);
    try {
        fb::toWin1251(QStringLiteral("Имя 😀"));
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("😀")));
        EXPECT_TRUE(e.engineText().isEmpty()) << "a client-side error has no engine text";
    }
}

TEST(Script, SplitsOnTerminatorsAndSetTerm) {
    const QString script = QStringLiteral("SET SQL DIALECT 3;\n"
                                          "CREATE TABLE A (X INTEGER); -- comment; with semicolon\n"
                                          "INSERT INTO A VALUES (1); /* block; */\n"
                                          "INSERT INTO B VALUES ('a;b');\n"
                                          "SET TERM ^ ;\n"
                                          "CREATE PROCEDURE P AS BEGIN EXIT; END^\n"
                                          "SET TERM ; ^\n"
                                          "COMMIT;");
    const QStringList statements = fb::splitScript(script);
    ASSERT_EQ(statements.size(), 5);
    EXPECT_EQ(statements[0], QStringLiteral("CREATE TABLE A (X INTEGER)"));
    EXPECT_EQ(statements[2], QStringLiteral("INSERT INTO B VALUES ('a;b')"));
    EXPECT_EQ(statements[3], QStringLiteral("CREATE PROCEDURE P AS BEGIN EXIT; END"));
    EXPECT_EQ(statements[4], QStringLiteral("COMMIT"));
}
