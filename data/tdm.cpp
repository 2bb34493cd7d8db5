#include "data/tdm.h"

#include "data/clock.h"
#include "data/database_creator.h"
#include "schedule/schedule_engine.h"
#include "widgets/dialogs.h"

#include <QDir>

namespace {
TDM* g_instance = nullptr;
}

TDM::TDM(const AppContext& context, QObject* owner)
    : QObject(owner), IBTransaction(SHCDataBase), m_context(context) {
    SHCDataBase.setErrorHook([this](const fb::Error& e) { LastDbErrorText = e.engineText(); });
    SHCDataBase.setConnectionLostHook([this] { onConnectionLost(); });
    g_instance = this;
}

TDM::~TDM() {
    m_engine.reset();
    m_pAddBuhHistory.reset();
    m_qHoliday.reset();
    try {
        IBTransaction.rollback();
    } catch (const fb::Error&) {
        // Nothing left to undo on a connection that is gone.
    }
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

bool TDM::ConnectDatabase() {
    const DbSettings settings = ReadDbSettings();
    ServiceConnectString = settings.serviceConnectString;
    LastUpdateDate = settings.lastUpdateDate;
    m_qHoliday.reset();
    m_pAddBuhHistory.reset();
    m_engine.reset();
    try {
        IBTransaction.rollback();
        SHCDataBase.detach();
        SHCDataBase.attach(databasePath(), database_creator::connectionParams());
        if (m_statusText)
            m_statusText(QStringLiteral("База данных: %1").arg(databasePath()));
        return true;
    } catch (const fb::Error& e) {
        // The engine's words when it gave any; a client-side failure (no engine installed)
        // would otherwise leave the box empty.
        const QString text = LastDbErrorText.isEmpty() ? e.message() : LastDbErrorText;
        if (m_context.dialogs)
            m_context.dialogs->error(nullptr, text, QStringLiteral("Ошибка подключения"));
        return false;
    }
}

fb::Statement& TDM::qHoliday() {
    if (!m_qHoliday)
        m_qHoliday = std::make_unique<fb::Statement>(IBTransaction, QLatin1String(kHolidaySql));
    return *m_qHoliday;
}

fb::Statement& TDM::pAddBuhHistory() {
    if (!m_pAddBuhHistory)
        m_pAddBuhHistory =
            std::make_unique<fb::Statement>(IBTransaction, QLatin1String(kAddBuhHistorySql));
    return *m_pAddBuhHistory;
}

ScheduleEngine& TDM::engine() {
    if (!m_engine) {
        static SystemClock systemClock;
        const Clock& clock = m_context.clock ? *m_context.clock : systemClock;
        m_engine = std::make_unique<ScheduleEngine>(SHCDataBase, clock);
    }
    return *m_engine;
}

void TDM::onConnectionLost() {
    if (m_lostHandled)
        return;
    m_lostHandled = true;
    if (m_context.dialogs)
        m_context.dialogs->error(
            nullptr,
            QStringLiteral("Программа будет закрыта, так как потеряна связь с базой данных."),
            QStringLiteral("Ошибка InterBase"));
    m_qHoliday.reset();
    m_pAddBuhHistory.reset();
    try {
        IBTransaction.rollback();
    } catch (const fb::Error&) {
        // The connection is gone; its transactions went with it.
    }
    if (m_context.endProgramNow)
        m_context.endProgramNow();
}
