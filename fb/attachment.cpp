#include "fb/attachment.h"

#include "fb/statement.h"
#include "fb/status.h"
#include "fb/transaction.h"
#include "fb/win1251.h"

#include <firebird/Interface.h>
#include <ibase.h>

using namespace Firebird;

namespace fb {

Attachment::Attachment() = default;

Attachment::~Attachment() {
    try {
        detach();
    } catch (const Error&) {
        // A connection that is already gone cannot be detached any further.
    }
}

void Attachment::attach(const QString& path, const QStringList& params) {
    open(path, params, false, 0);
}

void Attachment::create(const QString& path, const QStringList& params, int pageSize) {
    open(path, params, true, pageSize);
}

void Attachment::open(const QString& path, const QStringList& params, bool createNew,
                      int pageSize) {
    if (m_handle)
        detach();
    Status status;
    IXpbBuilder* dpb = nullptr;
    try {
        dpb = util()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        QString charset;
        for (const QString& param : params) {
            const qsizetype eq = param.indexOf(QLatin1Char('='));
            const QString key = param.left(eq).trimmed().toLower();
            const QByteArray value = param.mid(eq + 1).toUtf8();
            if (key == QLatin1String("user_name"))
                dpb->insertString(&status, isc_dpb_user_name, value.constData());
            else if (key == QLatin1String("password"))
                dpb->insertString(&status, isc_dpb_password, value.constData());
            else if (key == QLatin1String("lc_ctype")) {
                dpb->insertString(&status, isc_dpb_lc_ctype, value.constData());
                charset = QString::fromUtf8(value);
            } else if (key == QLatin1String("sql_role_name"))
                dpb->insertString(&status, isc_dpb_sql_role_name, value.constData());
            else
                raise(Error(QStringLiteral("Неизвестный параметр подключения: %1").arg(param)));
        }
        if (createNew) {
            dpb->insertInt(&status, isc_dpb_sql_dialect, 3);
            if (pageSize > 0)
                dpb->insertInt(&status, isc_dpb_page_size, pageSize);
            if (!charset.isEmpty())
                dpb->insertString(&status, isc_dpb_set_db_charset, charset.toUtf8().constData());
        }
        const QByteArray file = path.toLocal8Bit();
        const unsigned length = dpb->getBufferLength(&status);
        const unsigned char* buffer = dpb->getBuffer(&status);
        m_handle = createNew
                       ? provider()->createDatabase(&status, file.constData(), length, buffer)
                       : provider()->attachDatabase(&status, file.constData(), length, buffer);
        dpb->dispose();
        dpb = nullptr;
    } catch (const FbException& e) {
        if (dpb)
            dpb->dispose();
        raise(e);
    }
    m_path = path;
    m_lostReported = false;
}

void Attachment::detach() {
    if (!m_handle)
        return;
    IAttachment* handle = m_handle;
    m_handle = nullptr;
    Status status;
    try {
        handle->detach(&status);
    } catch (const FbException&) {
        // A dead connection: let go of the handle without asking the engine again.
        handle->release();
    }
}

void Attachment::executeImmediate(Transaction& transaction, const QString& sql) {
    transaction.startIfNeeded();
    Status status;
    try {
        const QByteArray text = toWin1251(sql);
        m_handle->execute(&status, transaction.handle(), 0, text.constData(), SQL_DIALECT_V6,
                          nullptr, nullptr, nullptr, nullptr);
    } catch (const FbException& e) {
        raise(e);
    }
}

qint64 Attachment::nextGeneratorValue(Transaction& transaction, const QString& generator) {
    Statement statement(
        transaction, QStringLiteral("SELECT NEXT VALUE FOR %1 FROM RDB$DATABASE").arg(generator));
    statement.open();
    statement.fetch();
    return statement.value(0).toLongLong();
}

int Attachment::relationId(const QString& table) {
    Transaction transaction(*this, Transaction::Mode::ReadOnly);
    Statement query(transaction, QStringLiteral("SELECT RDB$RELATION_ID FROM RDB$RELATIONS WHERE "
                                                "RDB$RELATION_NAME = :NAME"));
    query.setParam(QStringLiteral("NAME"), table.toUpper());
    query.open();
    const int id = query.fetch() ? query.value(0).toInt() : -1;
    query.close();
    transaction.commit();
    return id;
}

qint64 Attachment::changedRecords(int relationId) {
    if (!m_handle)
        raise(Error(QStringLiteral("Нет подключения к базе данных.")));
    Status status;
    const unsigned char items[] = {isc_info_insert_count, isc_info_update_count, isc_info_end};
    // Two counters of (relation, count) pairs; a few tables of this database are ever written.
    unsigned char buffer[8192] = {};
    try {
        m_handle->getInfo(&status, sizeof items, items, sizeof buffer, buffer);
    } catch (const FbException& e) {
        raise(e);
    }
    qint64 total = 0;
    for (const unsigned char* p = buffer; p < buffer + sizeof buffer && *p != isc_info_end;) {
        const unsigned char item = *p++;
        const int length = isc_vax_integer(reinterpret_cast<const char*>(p), 2);
        p += 2;
        if (item == isc_info_insert_count || item == isc_info_update_count) {
            for (const unsigned char* pair = p; pair + 6 <= p + length; pair += 6) {
                const int relation = isc_vax_integer(reinterpret_cast<const char*>(pair), 2);
                if (relation == relationId)
                    total += isc_vax_integer(reinterpret_cast<const char*>(pair + 2), 4);
            }
        }
        p += length;
    }
    return total;
}

void Attachment::raise(const FbException& e) {
    raise(Error::fromStatus(e.getStatus()));
}

void Attachment::raise(const Error& e) {
    if (m_errorHook)
        m_errorHook(e);
    if (e.isConnectionLost() && !m_lostReported) {
        m_lostReported = true;
        if (m_lostHook)
            m_lostHook();
    }
    throw e;
}

} // namespace fb
