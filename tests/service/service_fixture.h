#pragma once

#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "service/database_service.h"
#include "store/database_creator.h"
#include "support/test_database.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace service_test {

inline QByteArray digest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

inline QStringList column(fb::Attachment& attachment, const QString& sql) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction, sql);
    query.open();
    QStringList values;
    while (query.fetch())
        values << query.value(0).toString().trimmed();
    return values;
}

// Every user table's rows, every generator's value, the procedures' and triggers' source, the
// constraints: what a backup must carry over, as sorted text lines.
inline QStringList snapshot(const QString& path) {
    fb::Attachment attachment;
    attachment.attach(path, database_creator::connectionParams());
    QStringList lines;
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    for (const QString& table :
         column(attachment, QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE "
                                           "RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS NULL"))) {
        fb::Statement rows(transaction, QStringLiteral("SELECT * FROM %1").arg(table));
        rows.open();
        while (rows.fetch()) {
            QStringList values;
            for (int i = 0; i < rows.columnCount(); ++i)
                values << (rows.isNull(i) ? QStringLiteral("<null>") : rows.value(i).toString());
            lines << table + QLatin1Char('|') + values.join(QLatin1Char('|'));
        }
    }
    for (const QString& generator :
         column(attachment, QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS "
                                           "WHERE RDB$SYSTEM_FLAG = 0"))) {
        fb::Statement value(
            transaction, QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(generator));
        value.open();
        value.fetch();
        lines << QStringLiteral("GEN|%1|%2").arg(generator, value.value(0).toString());
    }
    for (const QString& sql :
         {QStringLiteral("SELECT RDB$PROCEDURE_NAME || ':' || RDB$PROCEDURE_SOURCE FROM "
                         "RDB$PROCEDURES WHERE RDB$SYSTEM_FLAG = 0"),
          QStringLiteral("SELECT RDB$TRIGGER_NAME || ':' || RDB$TRIGGER_SOURCE FROM "
                         "RDB$TRIGGERS WHERE RDB$SYSTEM_FLAG = 0"),
          QStringLiteral("SELECT RDB$CONSTRAINT_NAME || ':' || RDB$CONSTRAINT_TYPE || ':' || "
                         "RDB$RELATION_NAME FROM RDB$RELATION_CONSTRAINTS WHERE "
                         "RDB$CONSTRAINT_NAME NOT STARTING WITH 'INTEG_'")})
        for (const QString& line : column(attachment, sql))
            lines << QStringLiteral("META|") + line;
    transaction.commit();
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The program's own connection, as the service sees it, over a real attachment.
class ProgramAttachment {
public:
    explicit ProgramAttachment(const QString& path) : m_path(path) {
        m_attachment.attach(path, database_creator::connectionParams());
    }
    ProgramConnection connection() {
        ProgramConnection c;
        c.openFile = [this] { return m_attachment.isConnected() ? m_path : QString(); };
        c.close = [this] {
            ++m_closed;
            m_attachment.detach();
        };
        c.reopen = [this] {
            // Attaching writes the engine's header: what a run did to the file is read first.
            m_digestBeforeReopen = digest(m_path);
            if (m_failReopen)
                return false;
            try {
                m_attachment.attach(m_path, database_creator::connectionParams());
                ++m_reopened;
                return true;
            } catch (const fb::Error&) {
                return false;
            }
        };
        return c;
    }
    fb::Attachment& attachment() { return m_attachment; }
    int closed() const { return m_closed; }
    int reopened() const { return m_reopened; }
    void failReopen() { m_failReopen = true; }
    const QByteArray& digestBeforeReopen() const { return m_digestBeforeReopen; }

private:
    QString m_path;
    fb::Attachment m_attachment;
    int m_closed = 0;
    int m_reopened = 0;
    bool m_failReopen = false;
    QByteArray m_digestBeforeReopen;
};

// Another process with a connection to a database, held until the object goes.
class OtherProcessConnection {
public:
    explicit OtherProcessConnection(const QString& path) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SROKO_HOLD_DB"), path);
        m_process.setProcessEnvironment(env);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--gtest_filter=HoldDatabase.DISABLED_Child"),
                         QStringLiteral("--gtest_also_run_disabled_tests")});
        m_process.waitForStarted();
        while (!m_process.readAllStandardOutput().contains("attached") &&
               m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(1000);
    }
    ~OtherProcessConnection() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(30000))
            m_process.kill();
    }
    bool running() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
};

// A folder in which no file can be made while the object lives: read-only permissions, and for
// root (whom permissions do not stop) the immutable attribute.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& folder) : m_folder(folder) {
        m_permissions = QFile::permissions(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ExeGroup);
        if (!writable())
            return;
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
        m_immutable = true;
    }
    ~UnwritableFolder() {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_folder});
        QFile::setPermissions(m_folder, m_permissions);
    }
    bool writable() const {
        QFile probe(QDir(m_folder).filePath(QStringLiteral(".probe")));
        if (!probe.open(QIODevice::WriteOnly))
            return false;
        probe.close();
        probe.remove();
        return true;
    }

private:
    QString m_folder;
    QFileDevice::Permissions m_permissions;
    bool m_immutable = false;
};

// The command-line tool beside the test programs.
inline QString cliPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../sroko-cli"));
}

} // namespace service_test
