#include "service/service_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace service_paths {

ConnectTarget splitConnectString(const QString& connectString) {
    static const QRegularExpression pipes(QStringLiteral("^\\\\\\\\([^\\\\]+)\\\\(.+)$"));
    // A host of two or more characters: "C:\..." is a drive, not a server.
    static const QRegularExpression tcp(QStringLiteral("^([^:/\\\\@]{2,}):(.+)$"));
    static const QRegularExpression spx(QStringLiteral("^([^:/\\\\@]+)@(.+)$"));
    for (const QRegularExpression* form : {&pipes, &tcp, &spx}) {
        const QRegularExpressionMatch m = form->match(connectString);
        if (m.hasMatch())
            return {m.captured(1), m.captured(2)};
    }
    return {QString(), connectString};
}

QString databaseFolder(const QString& connectString) {
    qsizetype last = -1;
    for (const QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        last = std::max(last, connectString.lastIndexOf(c));
    return last < 0 ? QString() : connectString.left(last + 1);
}

QString manualBackupName(const QString& folder, const QDateTime& when) {
    return folder + when.toString(QStringLiteral("yyyy_MM_dd-HH_mm_ss")) + QStringLiteral("_m.FBK");
}

bool isManualBackupName(const QString& fileName) {
    static const QRegularExpression form(
        QStringLiteral("^\\d{4}_\\d{2}_\\d{2}-\\d{2}_\\d{2}_\\d{2}_m\\.FBK$"));
    return form.match(fileName).hasMatch();
}

QDateTime manualBackupTime(const QString& fileName) {
    if (!isManualBackupName(fileName))
        return QDateTime();
    return QDateTime::fromString(fileName.left(19), QStringLiteral("yyyy_MM_dd-HH_mm_ss"));
}

QString repairBackupName(const QString& folder, const QDateTime& when) {
    return folder + when.toString(QStringLiteral("HH_mm_ss_yyyy_MM_dd")) + QStringLiteral(".FBK");
}

QString restoredCopyName(const QString& target, const QDateTime& when) {
    const QFileInfo info(target);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("_restored_") +
                               when.toString(QStringLiteral("yyyy_MM_dd-HH_mm_ss")) +
                               QStringLiteral(".FDB"));
}

QString targetFromBackup(const QString& backupFile) {
    const QFileInfo info(backupFile);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString target;
    if (dot < 0)
        target = name + QStringLiteral(".FDB");
    else if (dot == name.size() - 1)
        target = name + QStringLiteral("FDB");
    else
        target = QString(name).replace(name.mid(dot), QStringLiteral(".FDB"), Qt::CaseSensitive);
    const qsizetype slash = backupFile.lastIndexOf(QLatin1Char('/'));
    return backupFile.left(slash + 1) + target;
}

QString canonicalPath(const QString& path) {
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    const QString existing = info.canonicalFilePath();
    if (!existing.isEmpty())
        return existing;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (!folder.isEmpty())
        return QDir(folder).filePath(info.fileName());
    return QDir::cleanPath(info.absoluteFilePath());
}

bool isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    return canonicalPath(a) == canonicalPath(b);
}

} // namespace service_paths
