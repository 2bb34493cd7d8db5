#pragma once

#include "service/database_service.h"
#include "widgets/app_context.h"
#include "widgets/dialogs.h"

#include <QDialog>
#include <QElapsedTimer>
#include <memory>

class ButtonEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TDM;

// The database service window: backup, restore, repair and script execution, each tab with its
// log. The services run through the engine's service manager; a restore or a repair replaces
// the database file only with a validated copy and only while no connection uses it.
class TBaseServicesForm : public QDialog {
    Q_OBJECT
public:
    // connection: how the program's own connection is closed for a swap and opened again.
    TBaseServicesForm(TDM& dm, const AppContext& context, ProgramConnection connection,
                      QWidget* parent = nullptr);
    ~TBaseServicesForm() override;

    // Log operations of every tab.
    static void AppendLogLine(QPlainTextEdit* log, const QString& text);
    static void AppendToLastLine(QPlainTextEdit* log, const QString& text);
    static QStringList CleanServiceOutput(QStringList lines);

    // Commands.
    void btBackupNowClick();
    void btRestoreClick();
    void btRepairClick();
    void btRunSQLClick();
    void fnGBKButtonClick();
    void fnGDBButtonClick();
    void fnSQLButtonClick();
    void Btn_HelpClick();
    void Label_ScriptHelpClick();
    // Fills the version line from the database (only while the connection is open).
    void UpdateDBVersion();

    // Answers the close query; true when the window may close.
    bool FormCloseQuery();
    bool closeConfirmed() const { return m_closeConfirmed; }
    DatabaseService& service() { return *m_service; }

    QLabel* Label_DBPatch = nullptr;
    QTabWidget* PageControl = nullptr;
    QWidget* TS_Backup = nullptr;
    QWidget* TS_Restore = nullptr;
    QWidget* TS_Repair = nullptr;
    QWidget* TS_Script = nullptr;
    QPushButton* btClearBackupLog = nullptr;
    QPushButton* btBackupNow = nullptr;
    QPlainTextEdit* mmBackupLog = nullptr;
    QPushButton* btClearRestoreLog = nullptr;
    QPushButton* btRestore = nullptr;
    ButtonEdit* fnGBK = nullptr;
    ButtonEdit* fnGDB = nullptr;
    QPlainTextEdit* mmRestoreLog = nullptr;
    QPushButton* btRepair = nullptr;
    QLabel* Label_Warning = nullptr;
    QPlainTextEdit* mmRepairLog = nullptr;
    QPushButton* btRunSQL = nullptr;
    ButtonEdit* fnSQL = nullptr;
    QLabel* Label_DBVersion = nullptr;
    QLabel* Label_ScriptHelp = nullptr;
    QPlainTextEdit* mmSqlLog = nullptr;
    // The line the running service printed last: the window is not silent during long runs.
    QLabel* lbServiceLine = nullptr;
    QPushButton* Btn_Help = nullptr;
    QPushButton* Btn_Cancel = nullptr;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class MemoLog;

    QWidget* buildBackupTab();
    QWidget* buildRestoreTab();
    QWidget* buildRepairTab();
    QWidget* buildScriptTab();
    QPlainTextEdit* makeLog(const char* name);
    void setBusy(bool busy);
    void showServiceLine(const QString& line);
    // The program cannot go on without its connection.
    void emergencyEnd();
    bool ask(const QString& text, MsgIcon icon, MsgResult defaultButton,
             const QString& caption = QString());
    QString chooseFile(const char* name, bool save, const QString& title, const QString& filter,
                       const QString& folder);

    TDM& m_dm;
    AppContext m_context;
    std::unique_ptr<DatabaseService> m_service;
    bool m_closeConfirmed = false;
    QElapsedTimer m_repaint;
};

// The menu command of the main window: the window over the main window's connection.
