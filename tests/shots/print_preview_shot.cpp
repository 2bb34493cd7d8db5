// A picture of the preview as the schedule tab opens it, for a look by eye (run under
// xvfb-run); not a test. Usage: sroko-print-shots DATABASE PNG [YYYY-MM-DD]

#include "books/books_environment.h"
#include "core/clock.h"
#include "core/ini_file.h"
#include "fb/attachment.h"
#include "schedule/schedule_engine.h"
#include "store/database_creator.h"
#include "tracking/schedule_tab.h"
#include "widgets/busy_indicator.h"
#include "widgets/dialogs.h"
#include "widgets/spin_edit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPixmap>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

// Shows the modal window long enough to draw it, saves its picture and closes it.
class ShotDialogs : public Dialogs {
public:
    explicit ShotDialogs(QString png) : m_png(std::move(png)) {}
    MsgResult message(const MessageRequest& request) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return request.defaultButton;
    }
    int exec(QDialog& dialog) override {
        dialog.resize(1100, 900);
        dialog.show();
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
        m_saved = dialog.grab().save(m_png);
        return QDialog::Rejected;
    }
    bool saved() const { return m_saved; }

private:
    QString m_png;
    bool m_saved = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: sroko-print-shots DATABASE PNG [YYYY-MM-DD]\n");
        return 2;
    }
    const QString db = QString::fromLocal8Bit(argv[1]);
    const QDate today = argc > 3 ? QDate::fromString(QString::fromLatin1(argv[3]), Qt::ISODate)
                                 : QDate::currentDate();
    fb::Attachment attachment;
    attachment.attach(db, database_creator::connectionParams());
    FixedClock clock(QDateTime(today, QTime(9, 0)));
    QTemporaryDir folder;
    IniFile ini(folder.filePath(QStringLiteral("Sroko.ini")));
    BusyIndicator busy;
    ScheduleEngine engine(attachment, clock);
    ShotDialogs dialogs(QString::fromLocal8Bit(argv[2]));
    BooksEnvironment env{attachment, dialogs, clock, ini, busy, engine};

    ScheduleTab tab(attachment, &dialogs, clock);
    tab.setBooksEnvironment(&env);
    tab.resize(1200, 800);
    tab.show();
    tab.SE_BuhYear_Begin->setValue(today.year());
    tab.SE_BuhYear_End->setValue(today.year());
    tab.CB_BuhMonth_Begin->setCurrentIndex(0);
    tab.CB_BuhMonth_End->setCurrentIndex(11);
    tab.PM_BuhAcc_CreateClick();
    tab.findChild<QAction*>(QStringLiteral("PM_BuhAcc_Print_ListPrint"))->trigger();
    return dialogs.saved() ? 0 : 1;
}
