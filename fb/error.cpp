#include "fb/error.h"

#include "fb/engine.h"
#include "fb/win1251.h"

#include <QStringList>

#include <firebird/Interface.h>
#include <ibase.h>

namespace fb {

Error::Error(const QString& clientMessage)
    : std::runtime_error(clientMessage.toStdString()), m_message(clientMessage) {}

Error::Error(const QString& engineText, long gdsCode, bool connectionLost)
    : std::runtime_error(engineText.toStdString()), m_message(engineText), m_engineText(engineText),
      m_gdsCode(gdsCode), m_connectionLost(connectionLost) {}

StoredButNotReread::StoredButNotReread(const Error& cause)
    : Error(QStringLiteral("Запись сохранена в базе данных, но прочитать её заново не удалось: %1")
                .arg(cause.message().trimmed())),
      m_cause(cause) {}

Error Error::fromStatus(const Firebird::IStatus* status) {
    char buffer[2048] = {};
    util()->formatStatus(buffer, sizeof buffer - 1, const_cast<Firebird::IStatus*>(status));
    // The engine's lines, each ending with a full stop and a line break.
    QString text;
    for (const QString& line : fromWin1251(QByteArray(buffer)).split(QLatin1Char('\n'))) {
        QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('-')))
            trimmed.remove(0, 1);
        if (trimmed.isEmpty())
            continue;
        if (!trimmed.endsWith(QLatin1Char('.')))
            trimmed += QLatin1Char('.');
        text += trimmed + QLatin1Char('\n');
    }
    const ISC_STATUS* vector = const_cast<Firebird::IStatus*>(status)->getErrors();
    const long code = (vector && vector[0] == isc_arg_gds) ? static_cast<long>(vector[1]) : 0;
    bool lost = false;
    for (const ISC_STATUS* p = vector; p && *p != isc_arg_end; p += 2) {
        if (*p != isc_arg_gds)
            continue;
        switch (p[1]) {
        case isc_network_error:
        case isc_net_read_err:
        case isc_net_write_err:
        case isc_lost_db_connection:
        case isc_att_shutdown:
        case isc_shutdown:
        case isc_conn_lost:
        case isc_bad_db_handle:
            lost = true;
            break;
        default:
            break;
        }
    }
    if (text.isEmpty())
        text = QStringLiteral("Ошибка базы данных (код %1).\n").arg(code);
    return Error(text, code, lost);
}

bool Error::isUniqueViolation() const {
    return m_gdsCode == isc_unique_key_violation || m_gdsCode == isc_no_dup;
}

} // namespace fb
