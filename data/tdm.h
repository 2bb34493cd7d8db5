#pragma once

#include "core/db_settings.h"
#include "core/ini_file.h"
#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class Clock;

// What the data module is given: the program folder and the clock.
struct DataModuleContext {
    QString programFolder;
    const Clock* clock = nullptr;
};

// The data module: owns the one connection to the database and what several windows share
// (the last database error text, the settings file, the shared statements). It shows nothing
// itself: failures come back to the caller, which tells the user.
// Exactly one exists per run; TDM::instance() reaches it and is cleared when it goes.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(DataModuleContext context, QObject* owner = nullptr);
    ~TDM() override;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    static TDM* instance();

    // Reads the DB section, then opens the database at its fixed place with the fixed
    // parameters. Throws fb::Error when it cannot; connectErrorText() says it in the engine's
    // words where the engine gave any.
    void ConnectDatabase();
    QString connectErrorText(const fb::Error& e) const;
    // Rolls back the default transaction, drops the shared statements and detaches. Safe to
    // call on a connection that is gone.
    void CloseConnection();
    DbSettings ReadDbSettings() const;

    // <program folder>/Base/Sroko.fdb and <program folder>/Sroko.ini.
    QString databasePath() const;
    QString settingsFilePath() const;
    // The settings storage every window keeps its state in (file name relative to the program
    // folder; "Sroko.ini" at start-up).
    void setSettingsFileName(const QString& fileName);
    IniFile& AppIniFileStorage();

    // Where the status-bar text goes until the main window exists.
    void setStatusTextHandler(std::function<void(const QString&)> handler) {
        m_statusText = std::move(handler);
    }
    // Runs once when the engine says the connection is gone, after the data module has let go
    // of its own statements and transaction. The program tells the user and ends.
    void setConnectionLostHandler(std::function<void()> handler) {
        m_connectionLost = std::move(handler);
    }
    bool connectionLost() const { return m_lostHandled; }

    // Connection, default transaction and shared statements.
    fb::Attachment SHCDataBase;
    fb::Transaction IBTransaction;
    fb::Statement& qHoliday();
    fb::Statement& pAddBuhHistory();

    // Read by the windows that report a database failure; the engine's own words of the most
    // recent database error, empty for errors raised on the client side.
    QString LastDbErrorText;
    QString ServiceConnectString;
    QString LastUpdateDate;

private:
    void onConnectionLost();

    DataModuleContext m_context;
    std::unique_ptr<IniFile> m_settings;
    std::unique_ptr<fb::Statement> m_qHoliday;
    std::unique_ptr<fb::Statement> m_pAddBuhHistory;
    std::function<void(const QString&)> m_statusText;
    std::function<void()> m_connectionLost;
    bool m_lostHandled = false;
};
