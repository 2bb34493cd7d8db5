#include "data/tdm.h"

#include "core/clock.h"
#include "fb/error.h"
#include "store/database_creator.h"
#include "store/engine_sql.h"

#include <QDir>

namespace {
TDM* g_instance = nullptr;
}

TDM::TDM(DataModuleContext context, QObject* owner)
    : QObject(owner), IBTransaction(SHCDataBase), m_context(std::move(context)) {
    SHCDataBase.setErrorHook([this](const fb::Error& e) { LastDbErrorText = e.engineText(); });
    SHCDataBase.setConnectionLostHook([this] { onConnectionLost(); });
    g_instance = this;
}

TDM::~TDM() {
    CloseConnection();
    if (g_instance == this)
        g_instance = nullptr;
}

TDM* TDM::instance() {
    return g_instance;
}

QString TDM::databasePath() const {
    return QDir(m_context.programFolder).filePath(QStringLiteral("Base/Sroko.fdb"));
}

QString TDM::settingsFilePath() const {
    return QDir(m_context.programFolder).filePath(QStringLiteral("Sroko.ini"));
}

void TDM::setSettingsFileName(const QString& fileName) {
    m_settings = std::make_unique<IniFile>(QDir(m_context.programFolder).filePath(fileName));
}

IniFile& TDM::AppIniFileStorage() {
    if (!m_settings)
        setSettingsFileName(QStringLiteral("Sroko.ini"));
    return *m_settings;
}

DbSettings TDM::ReadDbSettings() const {
    const QDate today = m_context.clock ? m_context.clock->today() : QDate::currentDate();
    try {
        return readDbSettings(IniFile(settingsFilePath()), today);
    } catch (const IniError&) {
        // An unreadable settings file leaves every value at its default.
        return DbSettings{QString(), formatLastUpdate(today)};
    }
}

void TDM::ConnectDatabase() {
    const DbSettings settings = ReadDbSettings();
    ServiceConnectString = settings.serviceConnectString;
    LastUpdateDate = settings.lastUpdateDate;
    CloseConnection();
    m_lostHandled = false;
    SHCDataBase.attach(databasePath(), database_creator::connectionParams());
    if (m_statusText)
        m_statusText(QStringLiteral("База данных: %1").arg(databasePath()));
}

QString TDM::connectErrorText(const fb::Error& e) const {
    // A client-side failure (no engine installed) has no engine text to show.
    return e.isEngineError() ? e.engineText() : e.message();
}

void TDM::CloseConnection() {
    m_qHoliday.reset();
    m_pAddBuhHistory.reset();
    try {
        IBTransaction.rollback();
    } catch (const fb::Error&) {
        // Nothing left to undo on a connection that is gone.
    }
    try {
        SHCDataBase.detach();
    } catch (const fb::Error&) {
        // A connection the engine already dropped detaches with an error; it is gone either way.
    }
}

fb::Statement& TDM::qHoliday() {
    if (!m_qHoliday)
        m_qHoliday =
            std::make_unique<fb::Statement>(IBTransaction, QLatin1String(store::kHolidaySql));
    return *m_qHoliday;
}

fb::Statement& TDM::pAddBuhHistory() {
    if (!m_pAddBuhHistory)
        m_pAddBuhHistory =
            std::make_unique<fb::Statement>(IBTransaction, QLatin1String(store::kAddBuhHistorySql));
    return *m_pAddBuhHistory;
}

void TDM::onConnectionLost() {
    if (m_lostHandled)
        return;
    m_lostHandled = true;
    m_qHoliday.reset();
    m_pAddBuhHistory.reset();
    try {
        IBTransaction.rollback();
    } catch (const fb::Error&) {
        // The connection is gone; its transactions went with it.
    }
    if (m_connectionLost)
        m_connectionLost();
}
