#include "core/db_settings.h"

#include "core/ini_file.h"
#include "fb/win1251.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDate kToday(2024, 3, 5);

class DbSettingsTest : public ::testing::Test {
protected:
    void writeFile(const QString& content) {
        QFile file(m_ini.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(fb::toWin1251(content));
    }

    QByteArray fileBytes() const {
        QFile file(m_ini.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    IniFile m_ini{m_dir.filePath("Sroko.ini")};
};

TEST_F(DbSettingsTest, ConnectStringFollowsTheProtocolsLowByte) {
    struct Case {
        QString dbSection; // lines of section DB
        QString expected;
    };
    const QList<Case> cases = {
        {"ServerName=srv\nProtocol=0\nDBFile=D:\\Data\\base.fdb\n", "srv:D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=1\nDBFile=D:\\Data\\base.fdb\n", "\\\\srv\\D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=2\nDBFile=D:\\Data\\base.fdb\n", "srv@D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=5\nDBFile=D:\\Data\\base.fdb\n", "D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=256\nDBFile=D:\\Data\\base.fdb\n", "srv:D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=257\nDBFile=D:\\Data\\base.fdb\n",
         "\\\\srv\\D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=-1\nDBFile=D:\\Data\\base.fdb\n", "D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=-256\nDBFile=D:\\Data\\base.fdb\n", "srv:D:\\Data\\base.fdb"},
        // Missing or unreadable Protocol counts as -1, that is 255: the local form.
        {"ServerName=srv\nDBFile=D:\\Data\\base.fdb\n", "D:\\Data\\base.fdb"},
        {"ServerName=srv\nProtocol=tcp\nDBFile=D:\\Data\\base.fdb\n", "D:\\Data\\base.fdb"},
        // No server name: the forms are built all the same.
        {"Protocol=0\nDBFile=base.fdb\n", ":base.fdb"},
        {"ServerName=srv\nProtocol=0\nDBFile=\n", ""},
        {"ServerName=srv\nProtocol=1\n", ""},
        {"", ""},
        {QStringLiteral("ServerName=сервер\nProtocol=2\nDBFile=C:\\База\\Sroko.fdb\n"),
         QStringLiteral("сервер@C:\\База\\Sroko.fdb")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dbSection.toStdString());
        writeFile("[MAIN_WINDOW]\nWidth=1\n[DB]\n" + c.dbSection);
        EXPECT_EQ(readDbSettings(m_ini, kToday).serviceConnectString, c.expected);
    }
}

TEST_F(DbSettingsTest, MissingFileOrSectionGivesEmptyStringAndToday) {
    const DbSettings noFile = readDbSettings(m_ini, kToday);
    EXPECT_EQ(noFile.serviceConnectString, "");
    EXPECT_EQ(noFile.lastUpdateDate, "05.03.2024");

    writeFile("[MAIN_WINDOW]\nDBFile=elsewhere.fdb\nLastUpdate=01.01.2000\n");
    const DbSettings noSection = readDbSettings(m_ini, kToday);
    EXPECT_EQ(noSection.serviceConnectString, "");
    EXPECT_EQ(noSection.lastUpdateDate, "05.03.2024");
}

TEST_F(DbSettingsTest, LastUpdateIsTakenAsWrittenUnlessEmpty) {
    const QList<std::pair<QString, QString>> cases = {
        {"[DB]\nLastUpdate=17.01.2024\n", "17.01.2024"},
        {"[DB]\nLastUpdate=\n", "05.03.2024"},
        {"[DB]\nLastUpdate=   \n", "05.03.2024"},
        {"[DB]\n", "05.03.2024"},
        // Not a date: passed on as it is; the reminder decides what to make of it.
        {QStringLiteral("[DB]\nLastUpdate=вчера\n"), QStringLiteral("вчера")},
    };
    for (const auto& [content, expected] : cases) {
        writeFile(content);
        EXPECT_EQ(readDbSettings(m_ini, kToday).lastUpdateDate, expected) << content.toStdString();
    }
}

TEST_F(DbSettingsTest, ClearConnectionKeysWritesTheFiveKeysAndKeepsTheRest) {
    writeFile("[DB]\nServer=1\nServerName=srv\nProtocol=1\nDBFile=D:\\base.fdb\n"
              "Password=secret\nLastUpdate=17.01.2024\n\n[MAIN_WINDOW]\nWidth=800\n");
    clearConnectionKeys(m_ini);
    EXPECT_EQ(fileBytes(), "[DB]\nServer=0\nServerName=\nProtocol=0\nDBFile=\n"
                           "Password=\nLastUpdate=17.01.2024\n\n[MAIN_WINDOW]\nWidth=800\n");
    EXPECT_EQ(readDbSettings(m_ini, kToday).serviceConnectString, "");

    QFile::remove(m_ini.path());
    clearConnectionKeys(m_ini);
    EXPECT_EQ(fileBytes(), "[DB]\nServer=0\nServerName=\nProtocol=0\nDBFile=\nPassword=\n");
}

TEST_F(DbSettingsTest, WriteLastUpdateKeepsOtherKeysAndReadsBack) {
    writeFile("[DB]\nDBFile=base.fdb\n[MAIN_WINDOW]\nWidth=800\n");
    writeLastUpdate(m_ini, QDate(2024, 12, 31));
    EXPECT_EQ(fileBytes(),
              "[DB]\nDBFile=base.fdb\nLastUpdate=31.12.2024\n[MAIN_WINDOW]\nWidth=800\n");
    const DbSettings settings = readDbSettings(m_ini, kToday);
    EXPECT_EQ(settings.lastUpdateDate, "31.12.2024");
    EXPECT_EQ(parseLastUpdate(settings.lastUpdateDate), QDate(2024, 12, 31));
}

TEST(ParseLastUpdate, AcceptsDatesAndRejectsTheRest) {
    const QList<std::pair<QString, std::optional<QDate>>> cases = {
        {"05.03.2024", QDate(2024, 3, 5)},
        {"5.3.2024", QDate(2024, 3, 5)},
        {" 29.02.2024 ", QDate(2024, 2, 29)},
        {"31.12.1999", QDate(1999, 12, 31)},
        {"29.02.2023", std::nullopt},
        {"32.01.2024", std::nullopt},
        {"00.01.2024", std::nullopt},
        {"05.13.2024", std::nullopt},
        {"05.03.24", std::nullopt},
        {"2024-03-05", std::nullopt},
        {"05/03/2024", std::nullopt},
        {"05.03.2024x", std::nullopt},
        {"-5.03.2024", std::nullopt},
        {"", std::nullopt},
        {"вчера", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseLastUpdate(text), expected) << text.toStdString();
}

TEST(FormatLastUpdate, IsTheShortDateFormat) {
    EXPECT_EQ(formatLastUpdate(QDate(2024, 3, 5)), "05.03.2024");
    EXPECT_EQ(formatLastUpdate(QDate(987, 11, 22)), "22.11.0987");
}

} // namespace
