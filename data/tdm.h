#pragma once

#include "data/app_context.h"
#include "data/db_settings.h"
#include "data/ini_file.h"
#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class ScheduleEngine;

// The data module: owns the one connection to the database and what several windows share
// (the last database error text, the settings file, the schedule engine's statements).
// Exactly one exists per run; TDM::instance() reaches it and is cleared when it goes.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(const AppContext& context, QObject* owner = nullptr);
    ~TDM() override;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    static TDM* instance();

    // Reads the DB section, then opens the database at its fixed place with the fixed
    // parameters. On failure shows the engine's text ("Ошибка подключения") and returns false.
    bool ConnectDatabase();
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
    const AppContext& context() const { return m_context; }

    // Connection, default transaction and shared statements.
    fb::Attachment SHCDataBase;
    fb::Transaction IBTransaction;
    fb::Statement& qHoliday();
    fb::Statement& pAddBuhHistory();
    ScheduleEngine& engine();

    // Read by the windows that report a database failure; the engine's own words of the most
    // recent database error, empty for errors raised on the client side.
    QString LastDbErrorText;
    QString ServiceConnectString;
    QString LastUpdateDate;

private:
    void onConnectionLost();

    AppContext m_context;
    std::unique_ptr<IniFile> m_settings;
    std::unique_ptr<fb::Statement> m_qHoliday;
    std::unique_ptr<fb::Statement> m_pAddBuhHistory;
    std::unique_ptr<ScheduleEngine> m_engine;
    std::function<void(const QString&)> m_statusText;
    bool m_lostHandled = false;
};
