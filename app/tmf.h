#pragma once

#include "core/form_state.h"
#include "widgets/app_context.h"

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QSet>
#include <QUrl>
#include <functional>
#include <memory>

class AssignmentsPanel;
struct BooksEnvironment;
class HolidayMap;
class OrganizationsPanel;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class ScheduleEngine;
class ScheduleTab;
class TIntroForm;
class BusyIndicator;
class TDM;
class TMF;

// What the main window needs from the world besides the context; tests replace these.
struct TMFServices {
    std::function<std::unique_ptr<TDM>(const AppContext&)> createDataModule;
    std::function<void(const QUrl&)> openUrl;
    // Starts a program of the program folder; false when it is not there.
    std::function<bool(const QString& program, const QString& folder)> startProgram;
    // Lets a new instance start (the reconnect command changes the title).
    std::function<void()> releaseInstanceLock;
    // Opens the database service window modally over this window (absent: the item is off).
    std::function<void(TMF&)> openDatabaseService;
};

// The main window: start-up, the frame with its three tabs, the menus, the status bar, and the
// close sequence.
class TMF : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kProgramWebPage = "https://sroko.ru/";

    explicit TMF(AppContext context, TMFServices services = {}, QWidget* parent = nullptr);
    ~TMF() override;

    // The start-up sequence. False when the program must end without showing this window
    // (the data module or the connection failed); the caller then exits with a non-zero status.
    bool FormCreate();

    TDM* dataModule() const { return m_dm.get(); }
    BusyIndicator& busy();
    HolidayMap& holidayMap();
    const AppContext& context() const { return m_context; }

    // Window state under "MAIN_WINDOW\".
    FormState captureState() const;
    void applyState(const FormState& state);

    // Menu commands.
    void MM_NewDBClick();
    void MM_HelpFileClick();
    void MM_AboutClick();
    void MM_HB_BuhReportsClick();
    void MM_HB_BuhHolidaysClick();
    void MM_ExitClick() { close(); }
    void MM_DBServiceClick();

    // The database service replaces the file under the connection: the lists let go of it and
    // the connection closes; afterwards the connection opens with its settings unchanged and
    // the lists are read again. False when the connection could not be opened.
    void closeConnectionForService();
    bool reopenConnectionAfterService();

    // SIGTERM/SIGINT: closes as at a system shutdown (no question, state saved, exit 0).
    void closeForShutdown();

    // The frame (names as the users' manuals and the tests know them).
    QWidget* Panel_Info = nullptr;
    QTabWidget* PC_Main = nullptr;
    QWidget* TS_BuhReports = nullptr;
    QWidget* TS_BuhShedule = nullptr;
    QWidget* TS_Help = nullptr;
    QSplitter* orgSplitter = nullptr;
    QTabWidget* PC_Buh = nullptr;
    OrganizationsPanel* organizations = nullptr;
    AssignmentsPanel* assignments = nullptr;
    ScheduleTab* schedule = nullptr;
    QLabel* SB_Main[3] = {nullptr, nullptr, nullptr};
    QMenu* menuMain = nullptr;
    QMenu* menuBooks = nullptr;
    QMenu* menuHelp = nullptr;
    QAction* MM_NewDB = nullptr;
    QAction* MM_DBService = nullptr;
    QAction* MM_Exit = nullptr;
    QAction* MM_HB_BuhReports = nullptr;
    QAction* MM_HB_BuhHolidays = nullptr;
    QAction* MM_HelpFile = nullptr;
    QAction* MM_About = nullptr;

    void ShowIntroInfo(const QString& text);
    void CloseIntro();

signals:
    // The start-up step that is running, for the splash and for tests.
    void startupStep(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // A splitter pane whose extent the settings keep.
    struct Pane {
        QString name;
        QSplitter* splitter;
        int index;
        QWidget* tab;
    };
    QList<Pane> panes() const;
    void schedulePendingPanes();
    void applyPendingPanes();
    void buildFrame();
    void buildMenus();
    QWidget* buildHelpTab();
    void buildDataPanels();
    void makeBooksEnvironment();
    bool FormCloseQuery();
    void FormClose();
    void restoreWindowState();
    void saveWindowState();
    void remindAboutUpdates();
    void endAtOnce();
    void onConnectionLost();
    // Closes the lists of every window, drops the engine's statements and detaches.
    void closeAllDatasets();

    AppContext m_context;
    TMFServices m_services;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TIntroForm> m_splash;
    std::unique_ptr<BusyIndicator> m_busy;
    std::unique_ptr<HolidayMap> m_holidayMap;
    // What the directories and the assignments tab are given; made once the settings storage
    // is set.
    std::unique_ptr<ScheduleEngine> m_engine;
    std::unique_ptr<BooksEnvironment> m_books;
    bool m_endingNow = false;
    bool m_systemShutdown = false;
    // Stored pane extents not yet applied, and the tabs that were laid out on the screen.
    QMap<QString, int> m_pendingPanes;
    QSet<const QWidget*> m_laidOutTabs;
};

// The database service window over the main window, its connection handed over for a swap.
void openBaseServicesForm(TMF& main);
