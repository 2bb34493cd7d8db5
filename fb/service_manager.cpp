#include "fb/service_manager.h"

#include "fb/engine.h"
#include "fb/status.h"

#include <QByteArray>
#include <QThread>

#include <firebird/Interface.h>
#include <ibase.h>

#include <vector>

using namespace Firebird;

namespace fb {
namespace {

// A parameter block under construction; freed with the scope.
class Spb {
public:
    explicit Spb(unsigned kind) { m_builder = util()->getXpbBuilder(&m_status, kind, nullptr, 0); }
    ~Spb() { m_builder->dispose(); }
    Spb(const Spb&) = delete;
    Spb& operator=(const Spb&) = delete;

    Spb& tag(unsigned char tag) {
        m_builder->insertTag(&m_status, tag);
        return *this;
    }
    Spb& text(unsigned char tag, const QString& value) {
        const QByteArray bytes = value.toLocal8Bit();
        m_builder->insertString(&m_status, tag, bytes.constData());
        return *this;
    }
    Spb& integer(unsigned char tag, int value) {
        m_builder->insertInt(&m_status, tag, value);
        return *this;
    }
    Spb& bigInteger(unsigned char tag, qint64 value) {
        m_builder->insertBigInt(&m_status, tag, value);
        return *this;
    }
    QByteArray bytes() {
        const unsigned length = m_builder->getBufferLength(&m_status);
        return QByteArray(reinterpret_cast<const char*>(m_builder->getBuffer(&m_status)),
                          static_cast<qsizetype>(length));
    }

private:
    Status m_status;
    IXpbBuilder* m_builder = nullptr;
};

// The service answers carry little-endian integers of 1 to 8 bytes.
qint64 readLittleEndian(const unsigned char* p, int length) {
    quint64 value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return static_cast<qint64>(value);
}

unsigned readInt(const unsigned char* p, int length) {
    return static_cast<unsigned>(readLittleEndian(p, length));
}

} // namespace

ServiceManager::ServiceManager(const QStringList& params, const QString& server) {
    Status status;
    try {
        Spb spb(IXpbBuilder::SPB_ATTACH);
        for (const QString& param : params) {
            const qsizetype eq = param.indexOf(QLatin1Char('='));
            const QString key = param.left(eq).trimmed().toLower();
            const QString value = param.mid(eq + 1);
            if (key == QLatin1String("user_name"))
                spb.text(isc_spb_user_name, value);
            else if (key == QLatin1String("password"))
                spb.text(isc_spb_password, value);
            else
                throw Error(QStringLiteral("Неизвестный параметр сервиса: %1").arg(param));
        }
        const QByteArray name = (server.isEmpty() ? QStringLiteral("service_mgr")
                                                  : server + QStringLiteral(":service_mgr"))
                                    .toLocal8Bit();
        const QByteArray block = spb.bytes();
        m_handle = provider()->attachServiceManager(
            &status, name.constData(), static_cast<unsigned>(block.size()),
            reinterpret_cast<const unsigned char*>(block.constData()));
    } catch (const FbException& e) {
        raise(e);
    }
}

ServiceManager::~ServiceManager() {
    if (!m_handle)
        return;
    Status status;
    try {
        m_handle->detach(&status);
    } catch (const FbException&) {
        // The engine let go of the service already; only our reference is left.
        m_handle->release();
    }
}

void ServiceManager::raise(const FbException& e) {
    throw Error::fromStatus(e.getStatus());
}

void ServiceManager::start(const QByteArray& spb) {
    Status status;
    try {
        m_handle->start(&status, static_cast<unsigned>(spb.size()),
                        reinterpret_cast<const unsigned char*>(spb.constData()));
    } catch (const FbException& e) {
        raise(e);
    }
}

void ServiceManager::readLines(const LineHandler& onLine) {
    const unsigned char items[] = {isc_info_svc_line};
    std::vector<unsigned char> buffer(m_bufferSize);
    Status status;
    for (;;) {
        try {
            m_handle->query(&status, 0, nullptr, sizeof items, items,
                            static_cast<unsigned>(buffer.size()), buffer.data());
        } catch (const FbException& e) {
            raise(e);
        }
        const unsigned char* p = buffer.data();
        if (*p != isc_info_svc_line)
            return;
        ++p;
        const unsigned length = readInt(p, 2);
        p += 2;
        if (length == 0) {
            // An empty line with nothing after it ends the output; one flagged "not ready"
            // only means the service has not printed its next line yet.
            if (*p == isc_info_data_not_ready)
                continue;
            waitUntilStopped();
            return;
        }
        if (length > buffer.size() - 3)
            return;
        if (onLine)
            onLine(QString::fromLocal8Bit(reinterpret_cast<const char*>(p),
                                          static_cast<qsizetype>(length)));
    }
}

void ServiceManager::waitUntilStopped() {
    // The service's thread still closes its files and its own attachment after its last line;
    // whoever goes on (or ends the process) must find that done.
    for (int i = 0; i < 3000; ++i) {
        const QByteArray answer = queryRaw(isc_info_svc_running);
        const auto* p = reinterpret_cast<const unsigned char*>(answer.constData());
        if (*p != isc_info_svc_running || readInt(p + 1, 4) == 0)
            return;
        QThread::msleep(10);
    }
}

QByteArray ServiceManager::queryRaw(unsigned char item) {
    const unsigned char items[] = {item};
    std::vector<unsigned char> buffer(m_bufferSize);
    Status status;
    try {
        m_handle->query(&status, 0, nullptr, sizeof items, items,
                        static_cast<unsigned>(buffer.size()), buffer.data());
    } catch (const FbException& e) {
        raise(e);
    }
    return QByteArray(reinterpret_cast<const char*>(buffer.data()),
                      static_cast<qsizetype>(buffer.size()));
}

namespace {

// gbak's last verbose line of a backup or restore that ran to its end. The engine does not
// always report an incomplete run as an error (a restore from a truncated backup file ends
// quietly half way), so a run is complete only when it said so.
ServiceManager::LineHandler watchForEnd(const ServiceManager::LineHandler& onLine,
                                        const char* endText, bool forward, bool* seen) {
    return [=](const QString& line) {
        if (line.contains(QLatin1String(endText)))
            *seen = true;
        if (forward && onLine)
            onLine(line);
    };
}

} // namespace

void ServiceManager::backup(const QString& database, const QString& backupFile,
                            const LineHandler& onLine, bool verbose) {
    QByteArray block;
    {
        Spb spb(IXpbBuilder::SPB_START);
        spb.tag(isc_action_svc_backup)
            .text(isc_spb_dbname, database)
            .text(isc_spb_bkp_file, backupFile);
        spb.tag(isc_spb_verbose);
        block = spb.bytes();
    }
    start(block);
    bool finished = false;
    readLines(watchForEnd(onLine, "closing file, committing, and finishing", verbose, &finished));
    if (!finished)
        throw Error(QStringLiteral("Архивация не дошла до конца: архив неполон."));
}

void ServiceManager::restore(const QString& backupFile, const QString& database,
                             const RestoreOptions& options, const LineHandler& onLine) {
    QByteArray block;
    {
        Spb spb(IXpbBuilder::SPB_START);
        spb.tag(isc_action_svc_restore)
            .text(isc_spb_bkp_file, backupFile)
            .text(isc_spb_dbname, database)
            .integer(isc_spb_options, options.replace ? isc_spb_res_replace : isc_spb_res_create);
        if (options.pageSize > 0)
            spb.integer(isc_spb_res_page_size, options.pageSize);
        if (options.pageBuffers > 0)
            spb.integer(isc_spb_res_buffers, options.pageBuffers);
        spb.tag(isc_spb_verbose);
        block = spb.bytes();
    }
    start(block);
    bool finished = false;
    readLines(
        watchForEnd(onLine, "finishing, closing, and going home", options.verbose, &finished));
    if (!finished)
        throw Error(
            QStringLiteral("Восстановление не дошло до конца: файл архива неполон или повреждён."));
}

void ServiceManager::validate(const QString& database, const LineHandler& onLine) {
    QByteArray block;
    {
        Spb spb(IXpbBuilder::SPB_START);
        spb.tag(isc_action_svc_repair)
            .text(isc_spb_dbname, database)
            .integer(isc_spb_options,
                     isc_spb_rpr_check_db | isc_spb_rpr_validate_db | isc_spb_rpr_full);
        block = spb.bytes();
    }
    start(block);
    readLines(onLine);
}

QList<qint64> ServiceManager::limboTransactions(const QString& database) {
    QByteArray block;
    {
        Spb spb(IXpbBuilder::SPB_START);
        spb.tag(isc_action_svc_repair)
            .text(isc_spb_dbname, database)
            .integer(isc_spb_options, isc_spb_rpr_list_limbo_trans);
        block = spb.bytes();
    }
    start(block);
    QList<qint64> ids;
    for (;;) {
        const QByteArray answer = queryRaw(isc_info_svc_limbo_trans);
        const auto* p = reinterpret_cast<const unsigned char*>(answer.constData());
        const unsigned char* end = p + answer.size();
        if (*p != isc_info_svc_limbo_trans)
            break;
        ++p;
        const unsigned length = readInt(p, 2);
        p += 2;
        const unsigned char* stop = p + length;
        if (stop > end)
            break;
        bool truncated = false;
        while (p < stop) {
            const unsigned char tag = *p++;
            switch (tag) {
            case isc_spb_single_tra_id:
            case isc_spb_multi_tra_id:
                ids << readInt(p, 4);
                p += 4;
                break;
            case isc_spb_single_tra_id_64:
            case isc_spb_multi_tra_id_64:
                ids << readLittleEndian(p, 8);
                p += 8;
                break;
            case isc_spb_tra_id:
                p += 4;
                break;
            case isc_spb_tra_id_64:
                p += 8;
                break;
            case isc_spb_tra_state:
            case isc_spb_tra_advise:
                p += 1;
                break;
            case isc_spb_tra_host_site:
            case isc_spb_tra_remote_site:
            case isc_spb_tra_db_path:
                p += 2 + readInt(p, 2);
                break;
            case isc_info_truncated:
                truncated = true;
                p = stop;
                break;
            default:
                p = stop;
                break;
            }
        }
        // A full answer ends the list; a truncated one has more to come.
        if (!truncated)
            break;
    }
    return ids;
}

void ServiceManager::commitLimboTransaction(const QString& database, qint64 id) {
    QByteArray block;
    {
        Spb spb(IXpbBuilder::SPB_START);
        spb.tag(isc_action_svc_repair).text(isc_spb_dbname, database);
        if (id > 0x7fffffff)
            spb.bigInteger(isc_spb_rpr_commit_trans_64, id);
        else
            spb.integer(isc_spb_rpr_commit_trans, static_cast<int>(id));
        block = spb.bytes();
    }
    start(block);
    readLines({});
}

} // namespace fb
