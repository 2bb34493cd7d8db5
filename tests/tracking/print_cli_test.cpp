#include "schedule_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

struct PrintRun {
    int exitCode = -1;
    QString err;
};

class PrintCliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_db = new TestDatabase;
        seedSchedule(*s_db);
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    static QString maket(const char* name) {
        return QStringLiteral(SROKO_SOURCE_DIR "/Makets/") + QString::fromLatin1(name);
    }
    QString out(const char* name) const { return m_tmp.filePath(QString::fromLatin1(name)); }

    PrintRun print(const QString& templatePath, const QString& format, const QString& outPath,
                   const QStringList& more = {}) {
        QStringList args{QStringLiteral("print"),
                         QStringLiteral("--db"),
                         s_db->path(),
                         QStringLiteral("--today"),
                         QStringLiteral("2025-03-10"),
                         QStringLiteral("--template"),
                         templatePath,
                         QStringLiteral("--format"),
                         format,
                         QStringLiteral("--out"),
                         outPath};
        args << more;
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../sroko-cli"),
                      args);
        PrintRun run;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "sroko-cli did not finish";
            return run;
        }
        run.exitCode = process.exitCode();
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    static QString read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        p.waitForFinished(-1);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // Lines of the text export that carry a flag caption and "Да" after it.
    static int yesFlags(const QString& text) {
        static const QRegularExpression yes(QStringLiteral(":\\s+Да(\\s|$)"));
        int n = 0;
        for (auto it = yes.globalMatch(text); it.hasNext(); it.next())
            ++n;
        return n;
    }

    QTemporaryDir m_tmp;
    static TestDatabase* s_db;
};

TestDatabase* PrintCliTest::s_db = nullptr;

TEST_F(PrintCliTest, ThePdfHoldsEveryRowOfTheFilteredListAndTheHeaderTexts) {
    const PrintRun run =
        print(maket("Buh_Account_list.fr3"), QStringLiteral("pdf"), out("list.pdf"),
              {QStringLiteral("--from"), QStringLiteral("2025-01"), QStringLiteral("--to"),
               QStringLiteral("2025-12"), QStringLiteral("--stats")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = pdfText(out("list.pdf"));
    for (const char* expected :
         {"ООО Ромашка", "ИП Лютик", "НДС", "РСВ", "25.04.2025", "12.03.2025", "20.02.2025",
          "Любая бухгалтерская отчётность", "Все организации", "Январь 2025", "Декабрь 2025"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(text.contains(QStringLiteral("---"))) << "the counters are filled";
    EXPECT_FALSE(text.contains(QStringLiteral("Архивный отчёт"))) << "its entry is of 2024";
}

TEST_F(PrintCliTest, TheFiltersReachTheListAndTheHeaderInEveryFormat) {
    const PrintRun run =
        print(maket("Buh_Account_list.fr3"), QStringLiteral("txt"), out("one.txt"),
              {QStringLiteral("--all-dates"), QStringLiteral("--org"), QStringLiteral("20"),
               QStringLiteral("--report"), QStringLiteral("2"), QStringLiteral("--status"),
               QStringLiteral("AlarmNeSdan,Sdan")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = read(out("one.txt"));
    EXPECT_TRUE(text.contains(QStringLiteral("Одна определённая организация - ИП Лютик")));
    EXPECT_TRUE(text.contains(QStringLiteral("Все отчёты, хранящиеся в базе данных")));
    EXPECT_TRUE(text.contains(QStringLiteral("РСВ")));
    EXPECT_FALSE(text.contains(QStringLiteral("ООО Ромашка")));
    EXPECT_TRUE(text.contains(QStringLiteral("---"))) << "no --stats: the counters stay unset";
    EXPECT_EQ(yesFlags(text), 2);

    for (const char* format : {"html", "xlsx"}) {
        const QString path = out(format);
        ASSERT_EQ(print(maket("Buh_Account_V.fr3"), QString::fromLatin1(format), path,
                        {QStringLiteral("--all-dates")})
                      .exitCode,
                  0)
            << format;
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << format;
        const QByteArray bytes = f.readAll();
        if (QLatin1String(format) == QLatin1String("xlsx"))
            EXPECT_TRUE(bytes.startsWith("PK")); // a zip package
        else
            EXPECT_TRUE(QString::fromUtf8(bytes).contains(QStringLiteral("ИП Лютик")));
    }
}

TEST_F(PrintCliTest, BadArgumentsTemplatesAndTargetsEndWithCodeTwoAndNoFile) {
    QFile broken(out("broken.fr3"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<?xml version=\"1.0\"?><SrokoReport version=\"1\"><Page");
    broken.close();
    const QString pdf = out("x.pdf");
    const struct {
        const char* what;
        QString templatePath;
        QString format;
        QString outPath;
        QStringList more;
        const char* message;
    } cases[] = {
        {"missing template", out("none.fr3"), "pdf", pdf, {}, "template not found"},
        {"broken template", out("broken.fr3"), "pdf", pdf, {}, "broken template"},
        {"unknown format", maket("Buh_Account_list.fr3"), "doc", pdf, {}, "--format"},
        {"folder missing",
         maket("Buh_Account_list.fr3"),
         "pdf",
         out("no/x.pdf"),
         {},
         "cannot write"},
        {"unknown status",
         maket("Buh_Account_list.fr3"),
         "pdf",
         pdf,
         {"--status", "Late"},
         "unknown status"},
        {"dates twice",
         maket("Buh_Account_list.fr3"),
         "pdf",
         pdf,
         {"--all-dates", "--from", "2025-01"},
         "--all-dates"},
    };
    for (const auto& c : cases) {
        const PrintRun run = print(c.templatePath, c.format, c.outPath, c.more);
        EXPECT_EQ(run.exitCode, 2) << c.what;
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message)))
            << c.what << ": " << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(c.outPath)) << c.what;
    }
    // An output folder that cannot be written.
    QDir().mkpath(out("ro"));
    QFile::setPermissions(out("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool root = QFile(out("ro/probe")).open(QIODevice::WriteOnly); // root writes anyway
    if (!root) {
        const PrintRun run =
            print(maket("Buh_Account_list.fr3"), QStringLiteral("pdf"), out("ro/x.pdf"));
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QStringLiteral("cannot write")));
    }
    QFile::setPermissions(out("ro"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
