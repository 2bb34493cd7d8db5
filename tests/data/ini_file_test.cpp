#include "core/ini_file.h"

#include "fb/win1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("Sroko.ini")) const {
        return m_dir.filePath(name);
    }

    void writeBytes(const QByteArray& bytes, const QString& name = QStringLiteral("Sroko.ini")) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray bytes(const QString& name = QStringLiteral("Sroko.ini")) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsNotCreatedByReads) {
    IniFile ini(path());
    EXPECT_EQ(ini.readString("DB", "DBFile", "def"), "def");
    EXPECT_EQ(ini.readInteger("DB", "Protocol", -1), -1);
    EXPECT_FALSE(ini.hasKey("DB", "DBFile"));
    EXPECT_FALSE(ini.hasSection("DB"));
    EXPECT_TRUE(ini.keys("DB").isEmpty());
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, ErasingFromMissingFileCreatesNothing) {
    IniFile ini(path());
    ini.eraseKey("DB", "DBFile");
    ini.eraseSection("DB");
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, WriteCreatesMissingFile) {
    IniFile ini(path());
    ini.writeString("DB", "DBFile", "base.fdb");
    EXPECT_EQ(bytes(), "[DB]\nDBFile=base.fdb\n");
    EXPECT_EQ(ini.readString("DB", "DBFile"), "base.fdb");
}

// Files the program did not write: whatever they hold, reading gives what can be understood
// and writing keeps the rest byte for byte.
TEST_F(IniFileTest, OddFilesAreReadAndKeptByteForByte) {
    struct Case {
        const char* name;
        QByteArray content;
        QStringList sections;
    };
    const QByteArray garbage("\x00\xff\x98\x01[\x00=\x7f\xfe\r\x00\x00zz", 16);
    const QList<Case> cases = {
        {"empty", QByteArray(), {}},
        {"only blanks", QByteArray("\n\n   \n"), {}},
        {"binary garbage", garbage, {}},
        {"garbage then section", garbage + "\n[Sec]\nk=v\n", {"Sec"}},
        {"broken lines",
         "no equals sign here\n[unclosed\n=value without key\nkey outside=any section\n[Sec]\n"
         "also broken\nk=v\n",
         {"Sec"}},
        {"no final line break", "[Sec]\nk=v", {"Sec"}},
        {"CRLF endings", "[Sec]\r\nk=v\r\n", {"Sec"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(c.content);
        IniFile ini(path());
        EXPECT_EQ(ini.sections(), c.sections);
        EXPECT_EQ(ini.readString("Sec", "missing", "def"), "def");
        EXPECT_FALSE(ini.hasKey("", "key outside"));

        ini.writeString("New", "x", "1");
        const QByteArray after = bytes();
        EXPECT_TRUE(after.startsWith(c.content)) << after.toHex().constData();
        EXPECT_EQ(ini.readString("New", "x"), "1");
        if (c.sections.contains("Sec")) {
            EXPECT_EQ(ini.readString("Sec", "k"), "v");
        }
        ini.eraseSection("New");
        // Back to the original bytes, up to the line break and blank line that separated the
        // new section.
        EXPECT_TRUE(bytes().startsWith(c.content));
        EXPECT_LE(bytes().size(), c.content.size() + 3);
    }
}

TEST_F(IniFileTest, ParsesNamesValuesCommentsAndQuotesAsWindowsDoes) {
    writeBytes("; comment=not a key\n"
               "# another=comment\n"
               "  [ Main ]  trailing text\n"
               "  Key1  =  spaced value  \n"
               "Quoted=\"  inner blanks  \"\n"
               "Single='x'\n"
               "Lonely=\"\n"
               "Empty=\n"
               "Eq=a=b\n"
               "Semi=a;b\n"
               "Dup=first\n"
               "dup=second\n"
               "[main]\n"
               "Later=from second block\n");
    IniFile ini(path());
    EXPECT_EQ(ini.sections(), QStringList{"Main"});
    EXPECT_EQ(ini.readString("MAIN", "key1"), "spaced value");
    EXPECT_EQ(ini.readString("Main", "Quoted"), "  inner blanks  ");
    EXPECT_EQ(ini.readString("Main", "Single"), "x");
    EXPECT_EQ(ini.readString("Main", "Lonely"), "\"");
    EXPECT_EQ(ini.readString("Main", "Empty", "def"), "");
    EXPECT_TRUE(ini.hasKey("Main", "Empty"));
    EXPECT_EQ(ini.readString("Main", "Eq"), "a=b");
    EXPECT_EQ(ini.readString("Main", "Semi"), "a;b");
    EXPECT_EQ(ini.readString("Main", "Dup"), "first");
    EXPECT_EQ(ini.readString("Main", "Later"), "from second block");
    EXPECT_FALSE(ini.hasKey("Main", "; comment"));
    EXPECT_FALSE(ini.hasKey("Main", "# another"));
    EXPECT_EQ(ini.keys("main"), (QStringList{"Key1", "Quoted", "Single", "Lonely", "Empty", "Eq",
                                             "Semi", "Dup", "Later"}));
}

TEST_F(IniFileTest, ReadIntegerGivesDefaultForNonNumbers) {
    writeBytes("[S]\na=42\nb=-7\nc= 12 \nd=abc\ne=\nf=12abc\ng=99999999999\nh=1.5\ni=+3\n");
    IniFile ini(path());
    const QList<std::pair<const char*, int>> cases = {
        {"a", 42},   {"b", -7},   {"c", 12},   {"d", -100}, {"e", -100},
        {"f", -100}, {"g", -100}, {"h", -100}, {"i", 3},    {"missing", -100},
    };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(ini.readInteger("S", key, -100), expected) << key;
}

TEST_F(IniFileTest, KeyWritesTouchNothingElse) {
    const QByteArray original = "; settings of the program\n"
                                "[DB]\n"
                                "ServerName=srv\n"
                                "garbage line\n"
                                "DBFile=D:\\base.fdb\n"
                                "\n"
                                "[MAIN_WINDOW]\n"
                                "# window\n"
                                "Width=800\n";
    writeBytes(original);
    IniFile ini(path());

    ini.writeString("db", "dbfile", "E:\\other.fdb"); // existing key: in place, spelling kept
    ini.writeInteger("DB", "Protocol", 1);            // new key: after the section's last key
    ini.writeString("MAIN_WINDOW", "Height", "600");
    ini.writeString("Extra", "Key", "v"); // new section: at the end
    EXPECT_EQ(bytes(), "; settings of the program\n"
                       "[DB]\n"
                       "ServerName=srv\n"
                       "garbage line\n"
                       "DBFile=E:\\other.fdb\n"
                       "Protocol=1\n"
                       "\n"
                       "[MAIN_WINDOW]\n"
                       "# window\n"
                       "Width=800\n"
                       "Height=600\n"
                       "\n"
                       "[Extra]\n"
                       "Key=v\n");

    ini.eraseKey("DB", "Protocol");
    ini.eraseSection("extra");
    ini.writeString("DB", "DBFile", "D:\\base.fdb");
    ini.eraseKey("MAIN_WINDOW", "Height");
    EXPECT_EQ(bytes(), original + "\n");
}

TEST_F(IniFileTest, CrLfFileKeepsCrLf) {
    writeBytes("[A]\r\nx=1\r\n");
    IniFile ini(path());
    ini.writeString("A", "y", "2");
    ini.writeString("A", "x", "3");
    ini.writeString("B", "z", "4");
    EXPECT_EQ(bytes(), "[A]\r\nx=3\r\ny=2\r\n\r\n[B]\r\nz=4\r\n");
}

TEST_F(IniFileTest, ValuesReadBackExactly) {
    IniFile ini(path());
    const QStringList values = {"",   " leading", "trailing ", "\"quoted\"",     "'single'",
                                "\"", "a=b;c#d",  "\tTab",     "[not a section]"};
    for (int i = 0; i < values.size(); ++i)
        ini.writeString("S", QStringLiteral("k%1").arg(i), values.at(i));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(ini.readString("S", QStringLiteral("k%1").arg(i), "def"), values.at(i)) << i;
}

TEST_F(IniFileTest, SectionAndKeyNamesIgnoreCaseAndKeepTheirSpelling) {
    IniFile ini(path());
    ini.writeString("Раздел", "Ключ", "1");
    ini.writeString("РАЗДЕЛ", "КЛЮЧ", "2");
    EXPECT_EQ(ini.readString("раздел", "ключ"), "2");
    EXPECT_EQ(ini.sections(), QStringList{"Раздел"});
    EXPECT_EQ(ini.keys("раздел"), QStringList{"Ключ"});
}

TEST_F(IniFileTest, CyrillicIsStoredAsWindows1251) {
    IniFile ini(path());
    const QString value = QStringLiteral("Ёлки-палки №5 «ООО Ромашка»");
    ini.writeString("Раздел", "Путь", value);
    const QByteArray expected = fb::toWin1251(QStringLiteral("[Раздел]\nПуть=") + value + "\n");
    EXPECT_EQ(bytes(), expected);
    EXPECT_EQ(bytes().at(1), '\xD0'); // "Р" in Windows-1251
    EXPECT_EQ(ini.readString("раздел", "путь"), value);
}

TEST_F(IniFileTest, TextOutsideWindows1251IsRefusedAndFileUntouched) {
    writeBytes("[DB]\nDBFile=a.fdb\n");
    IniFile ini(path());
    const QString emoji = QStringLiteral("база 😀");
    try {
        ini.writeString("DB", "DBFile", emoji);
        FAIL() << "no error";
    } catch (const IniError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Windows-1251"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("😀"))) << e.what();
    }
    EXPECT_THROW(ini.writeString("DB", QStringLiteral("Ключ😀"), "x"), IniError);
    EXPECT_THROW(ini.writeString(QStringLiteral("中文"), "k", "x"), IniError);

    // In a batch the writes before the refused one are not written either.
    {
        IniFile::Batch batch(ini);
        ini.writeString("DB", "ServerName", "srv");
        EXPECT_THROW(ini.writeString("DB", "DBFile", emoji), IniError);
    }
    EXPECT_EQ(bytes(), "[DB]\nDBFile=a.fdb\n");
}

TEST_F(IniFileTest, InvalidNamesAndLineBreaksAreRefused) {
    IniFile ini(path());
    const QList<std::pair<QString, QString>> badNames = {
        {"", "k"},   {" S", "k"}, {"S]", "k"}, {"S\n", "k"}, {"S", ""},    {"S", "a=b"},
        {"S", " k"}, {"S", "[k"}, {"S", ";k"}, {"S", "#k"},  {"S", "k\r"},
    };
    for (const auto& [section, key] : badNames)
        EXPECT_THROW(ini.writeString(section, key, "v"), IniError)
            << (section + u'/' + key).toStdString();
    EXPECT_THROW(ini.writeString("S", "k", "line\nbreak"), IniError);
    EXPECT_FALSE(QFile::exists(path()));
}

// The update reminder writes LastUpdate while the main window is open; the window's state,
// read at start-up and saved at close, must not bring back the older DB section.
TEST_F(IniFileTest, KeyWrittenByAnotherWriterSurvivesLaterBatch) {
    writeBytes("[DB]\nLastUpdate=01.01.2024\n[MAIN_WINDOW]\nWidth=800\n");
    IniFile windowStorage(path());
    IniFile reminder(path());

    EXPECT_EQ(windowStorage.readInteger("MAIN_WINDOW", "Width", 0), 800);
    reminder.writeString("DB", "LastUpdate", "15.03.2024");

    IniFile::Batch batch(windowStorage);
    windowStorage.writeInteger("MAIN_WINDOW", "Width", 1024);
    windowStorage.writeInteger("MAIN_WINDOW", "Height", 700);
    // Written by the other writer in the middle of the batch.
    reminder.writeString("DB", "Server", "0");
    batch.commit();

    IniFile check(path());
    EXPECT_EQ(check.readString("DB", "LastUpdate"), "15.03.2024");
    EXPECT_EQ(check.readString("DB", "Server"), "0");
    EXPECT_EQ(check.readInteger("MAIN_WINDOW", "Width", 0), 1024);
    EXPECT_EQ(check.readInteger("MAIN_WINDOW", "Height", 0), 700);
}

TEST_F(IniFileTest, BatchWritesOnceAtCommitAndReadsItsOwnWrites) {
    IniFile ini(path());
    ini.beginBatch();
    EXPECT_TRUE(ini.inBatch());
    ini.writeInteger("W", "a", 1);
    ini.writeInteger("W", "b", 2);
    ini.eraseKey("W", "a");
    EXPECT_FALSE(QFile::exists(path())); // nothing on disk yet
    EXPECT_EQ(ini.readInteger("W", "b", 0), 2);
    EXPECT_FALSE(ini.hasKey("W", "a"));
    EXPECT_THROW(ini.beginBatch(), std::logic_error);
    ini.endBatch();
    EXPECT_FALSE(ini.inBatch());
    EXPECT_EQ(bytes(), "[W]\nb=2\n");

    ini.beginBatch();
    ini.writeInteger("W", "c", 3);
    ini.cancelBatch();
    EXPECT_EQ(bytes(), "[W]\nb=2\n");
    EXPECT_FALSE(ini.hasKey("W", "c"));

    {
        IniFile::Batch dropped(ini); // left without commit
        ini.writeInteger("W", "d", 4);
    }
    EXPECT_FALSE(ini.inBatch());
    EXPECT_EQ(bytes(), "[W]\nb=2\n");
}

TEST_F(IniFileTest, WriteReplacesTheFileInsteadOfRewritingIt) {
    writeBytes("[A]\nx=1\n");
    const QString hardCopy = path("hard");
    ASSERT_EQ(
        ::link(QFile::encodeName(path()).constData(), QFile::encodeName(hardCopy).constData()), 0);
    IniFile ini(path());
    ini.writeString("A", "x", "2");
    // The old inode (reached through the hard link) still holds the old content: the new file
    // was renamed into place, so a reader never sees half a file.
    EXPECT_EQ(bytes("hard"), "[A]\nx=1\n");
    EXPECT_EQ(bytes(), "[A]\nx=2\n");
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

TEST_F(IniFileTest, UnwritableTargetIsReportedAndFileUntouched) {
    // The tests may run as root, for whom a read-only folder is still writable; a folder that
    // does not exist or is a file cannot be written by anybody.
    writeBytes("x", "plain-file");
    QList<QString> paths = {path("no-such-folder/Sroko.ini"), path("plain-file/Sroko.ini")};
    if (::geteuid() != 0) {
        ASSERT_TRUE(QDir(m_dir.path()).mkdir("read-only"));
        ASSERT_EQ(::chmod(QFile::encodeName(path("read-only")).constData(), 0555), 0);
        paths.append(path("read-only/Sroko.ini"));
    }
    for (const QString& target : paths) {
        SCOPED_TRACE(target.toStdString());
        IniFile ini(target);
        try {
            ini.writeString("DB", "LastUpdate", "01.01.2024");
            FAIL() << "no error";
        } catch (const IniError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не удалось записать файл настроек")))
                << e.what();
            EXPECT_TRUE(e.message().contains(target));
        }
        IniFile::Batch batch(ini);
        ini.writeString("DB", "LastUpdate", "01.01.2024");
        EXPECT_THROW(batch.commit(), IniError);
        EXPECT_FALSE(ini.inBatch());
    }
    EXPECT_EQ(bytes("plain-file"), "x");
}

TEST_F(IniFileTest, ExistingButUnreadablePathIsAnError) {
    // A folder where the file should be: reads must not pretend it is empty, and writes must
    // not replace it.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Sroko.ini"));
    IniFile ini(path());
    EXPECT_THROW(ini.readString("DB", "DBFile"), IniError);
    EXPECT_THROW(ini.writeString("DB", "DBFile", "x"), IniError);
}

} // namespace
