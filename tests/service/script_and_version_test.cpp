#include "fb/transaction.h"
#include "service/database_version.h"
#include "service/sql_script.h"
#include "service_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace service_test;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

} // namespace

TEST(ScriptFiles, LoadingTellsTextFromNothing) {
    QTemporaryDir dir;
    EXPECT_FALSE(sql_script::loadFile(QString()));
    EXPECT_FALSE(sql_script::loadFile(dir.filePath(QStringLiteral("missing.sql"))));
    EXPECT_FALSE(sql_script::loadFile(
        writeFile(dir, QStringLiteral("binary.sql"), QByteArray("SEL\0ECT", 7))));
    const auto empty = sql_script::loadFile(writeFile(dir, QStringLiteral("e.sql"), " \n\t\n"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(sql_script::isEmpty(*empty));
    const auto utf8 = sql_script::loadFile(
        writeFile(dir, QStringLiteral("u.sql"), QStringLiteral("-- Ёлка\n").toUtf8()));
    EXPECT_EQ(*utf8, QStringLiteral("-- Ёлка\n"));
    const auto cp1251 = sql_script::loadFile(
        writeFile(dir, QStringLiteral("w.sql"), QByteArray("-- \xC5\xEB\xEA\xE0\n")));
    EXPECT_EQ(*cp1251, QStringLiteral("-- Елка\n"));
}

TEST(ScriptRun, StopsAtTheFailingStatementAndKeepsTheEarlierOnes) {
    TestDatabase db;
    auto attachment = db.connect();
    fb::Transaction transaction(*attachment);
    const QString script =
        QStringLiteral("/* an update; ; */\n"
                       "CREATE TABLE T_NEW (ID INTEGER NOT NULL, NOTE VARCHAR(20));\n"
                       "INSERT INTO T_NEW VALUES (1, 'one; still one');\n"
                       "SET TERM ^ ;\n"
                       "CREATE PROCEDURE P_NEW RETURNS (N INTEGER) AS BEGIN N = 1; SUSPEND; END^\n"
                       "SET TERM ; ^\n"
                       "INSERT INTO NO_SUCH_TABLE VALUES (2);\n"
                       "INSERT INTO T_NEW VALUES (3, 'never');\n");
    const sql_script::RunResult result = sql_script::run(*attachment, transaction, script);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.executed, 3);
    EXPECT_EQ(result.failedStatement, QStringLiteral("INSERT INTO NO_SUCH_TABLE VALUES (2)"));
    EXPECT_TRUE(result.errorText.contains(QStringLiteral("NO_SUCH_TABLE")))
        << result.errorText.toStdString();
    EXPECT_FALSE(transaction.isActive());
    attachment->detach();

    auto other = db.connect();
    EXPECT_EQ(column(*other, QStringLiteral("SELECT NOTE FROM T_NEW ORDER BY ID")),
              QStringList({QStringLiteral("one; still one")}));
    EXPECT_EQ(column(*other, QStringLiteral("SELECT N FROM P_NEW")),
              QStringList({QStringLiteral("1")}));
}

TEST(DatabaseVersion, ReadsTheRowOrSaysItCannotTell) {
    TestDatabase db;
    auto attachment = db.connect();
    const auto version = database_version::read(*attachment);
    ASSERT_TRUE(version);
    EXPECT_EQ(database_version::line(version),
              QStringLiteral("Текущая версия базы данных : ") + *version);
    db.exec(QStringLiteral("DELETE FROM USERS_SETTINGS WHERE USERS_ID = 2"));
    EXPECT_FALSE(database_version::read(*attachment));
    EXPECT_EQ(database_version::line(std::nullopt),
              QStringLiteral("Текущая версия базы данных : ошибка определения"));
}
