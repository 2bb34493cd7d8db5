// The program itself in a real window under a real window manager: a private X server
// (Xvfb) with openbox, the program started from a copy of its folder, closed by SIGTERM.

#include "core/ini_file.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace {

QString buildFolder() {
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).absolutePath();
}

// Waits until check() holds or the time is up.
bool waitFor(const std::function<bool()>& check, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (check())
            return true;
        QThread::msleep(100);
    }
    return check();
}

// An X server of its own with openbox on it; both stop with the object.
class PrivateDisplay {
public:
    PrivateDisplay() {
        m_name = QStringLiteral(":%1").arg(200 + getpid() % 500);
        m_server.start(QStringLiteral("Xvfb"),
                       {m_name, QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        const QString socket = QStringLiteral("/tmp/.X11-unix/X") + m_name.mid(1);
        m_ready = m_server.waitForStarted() && waitFor([&] { return QFileInfo::exists(socket); });
        if (!m_ready)
            return;
        m_wm.setProcessEnvironment(environment());
        m_wm.start(QStringLiteral("openbox"), {});
        m_ready = m_wm.waitForStarted();
        QThread::msleep(500); // openbox takes over the screen
    }
    ~PrivateDisplay() {
        for (QProcess* p : {&m_wm, &m_server}) {
            p->terminate();
            if (!p->waitForFinished(5000))
                p->kill();
        }
    }
    bool ready() const { return m_ready; }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_name);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

private:
    QString m_name;
    QProcess m_server;
    QProcess m_wm;
    bool m_ready = false;
};

QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
            int* exitCode = nullptr) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

class RealWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "openbox", "xdotool"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        m_display = std::make_unique<PrivateDisplay>();
        ASSERT_TRUE(m_display->ready());
        // The program folder, moved away from where it was built: the executable, the engine's
        // root beside it, the database at Base/Sroko.fdb.
        m_folder = m_dir.filePath(QStringLiteral("Программа"));
        ASSERT_TRUE(QDir().mkpath(m_folder + QStringLiteral("/Base")));
        int code = -1;
        run(QStringLiteral("cp"),
            {QStringLiteral("-a"), buildFolder() + QStringLiteral("/sroko"),
             buildFolder() + QStringLiteral("/sroko-cli"),
             buildFolder() + QStringLiteral("/firebird"), m_folder},
            QProcessEnvironment::systemEnvironment(), &code);
        ASSERT_EQ(code, 0);
        TestDatabase::createAt(database(), true);
    }

    // The program's single-instance lock lives in the temporary folder: a folder of the test's
    // own keeps other tests that take the lock from getting in the way.
    QProcessEnvironment programEnvironment() const {
        QProcessEnvironment env = m_display->environment();
        env.insert(QStringLiteral("TMPDIR"), m_dir.path());
        return env;
    }
    QString database() const { return m_folder + QStringLiteral("/Base/Sroko.fdb"); }
    QString settings() const { return m_folder + QStringLiteral("/Sroko.ini"); }
    int setting(const QString& key) const {
        return IniFile(settings()).readInteger(QStringLiteral("MAIN_WINDOW"), key, -1);
    }

    // The id of the program's main window once it is mapped (not the smaller splash), or an
    // empty text.
    QString waitForWindow() {
        QString id;
        waitFor(
            [&] {
                const QStringList ids =
                    run(QStringLiteral("xdotool"),
                        {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--class"), QStringLiteral("sroko")},
                        m_display->environment())
                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                for (const QString& candidate : ids) {
                    const QString geometry =
                        run(QStringLiteral("xdotool"),
                            {QStringLiteral("getwindowgeometry"), candidate.trimmed()},
                            m_display->environment());
                    const auto at = geometry.indexOf(QStringLiteral("Geometry: "));
                    if (at >= 0 &&
                        geometry.mid(at + 10).section(QLatin1Char('x'), 0, 0).toInt() > 800)
                        id = candidate.trimmed();
                }
                return !id.isEmpty();
            },
            60000);
        QThread::msleep(1500); // the window manager places and decorates it
        return id;
    }

    // Where the window manager shows the client area ("Position: x,y (screen: 0)").
    QString clientPosition(const QString& window) {
        QString position;
        waitFor(
            [&] {
                const QString out =
                    run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), window},
                        m_display->environment());
                for (const QString& line : out.split(QLatin1Char('\n'))) {
                    if (line.trimmed().startsWith(QStringLiteral("Position:")))
                        position = line.trimmed();
                }
                return !position.isEmpty();
            },
            5000);
        return position;
    }

    // Starts the program, lets the test act while it runs, then ends it with SIGTERM.
    void runProgram(const std::function<void(const QString& window)>& whileRunning) {
        QProcess program;
        program.setProcessEnvironment(programEnvironment());
        program.start(m_folder + QStringLiteral("/sroko"), {});
        ASSERT_TRUE(program.waitForStarted());
        const QString window = waitForWindow();
        ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
        whileRunning(window);
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    }

    QTemporaryDir m_dir;
    QString m_folder;
    std::unique_ptr<PrivateDisplay> m_display;
};

// One test, since the program runs as a single instance: from a folder it was copied to, it
// shares its database with the command-line tool, comes back where it was left, and closes
// cleanly on SIGTERM.
TEST_F(RealWindowTest, AMovedProgramComesBackWhereItWasLeftAndClosesCleanlyOnSigterm) {
    // Sizes of the schedule tab's panes that this run never lays out must survive it.
    {
        IniFile ini(settings());
        ini.writeInteger(QStringLiteral("MAIN_WINDOW"),
                         QStringLiteral("Prop.Panel_ReportBottom.Height"), 210);
        ini.writeInteger(QStringLiteral("MAIN_WINDOW"), QStringLiteral("Prop.Panel_Podrobno.Width"),
                         330);
    }
    QString firstPosition;
    runProgram([&](const QString& window) {
        firstPosition = clientPosition(window);
        // The program holds the file open; the tool from the same folder writes to it.
        int code = -1;
        const QString out = run(m_folder + QStringLiteral("/sroko-cli"),
                                {QStringLiteral("generate"), QStringLiteral("--db"), database()},
                                programEnvironment(), &code);
        EXPECT_EQ(code, 0) << out.toStdString();
        EXPECT_TRUE(out.startsWith(QStringLiteral("stored "))) << out.toStdString();
    });
    const int left = setting(QStringLiteral("Left"));
    const int top = setting(QStringLiteral("Top"));
    const int panel = setting(QStringLiteral("Prop.Panel_Organizations.Height"));
    ASSERT_GE(top, 0) << "SIGTERM saved the window state";
    EXPECT_GT(panel, 150);
    EXPECT_EQ(setting(QStringLiteral("Prop.Panel_ReportBottom.Height")), 210);
    EXPECT_EQ(setting(QStringLiteral("Prop.Panel_Podrobno.Width")), 330);

    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        runProgram(
            [&](const QString& window) { EXPECT_EQ(clientPosition(window), firstPosition); });
        EXPECT_EQ(setting(QStringLiteral("Left")), left);
        EXPECT_EQ(setting(QStringLiteral("Top")), top) << "the window crept";
        EXPECT_EQ(setting(QStringLiteral("Prop.Panel_Organizations.Height")), panel);
        EXPECT_EQ(setting(QStringLiteral("Prop.Panel_ReportBottom.Height")), 210);
    }
}

} // namespace
