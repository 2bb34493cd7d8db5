#pragma once

#include <QDateTime>
#include <QString>

// File names and paths of the database service.
namespace service_paths {

// A connection string split into the server part and the database file (both forms of the
// settings: "srv:file", "\\srv\file", "srv@file", or a local file alone).
struct ConnectTarget {
    QString server; // empty: the local engine
    QString file;
};
ConnectTarget splitConnectString(const QString& connectString);

// The connection string up to and including its last path separator or colon; empty when it
// has neither.
QString databaseFolder(const QString& connectString);

// <folder>yyyy_MM_dd-HH_mm_ss_m.FBK, the manual backup.
QString manualBackupName(const QString& folder, const QDateTime& when);
// True for a file name that manualBackupName makes (without its folder).
bool isManualBackupName(const QString& fileName);
// The time in such a name; invalid for any other name.
QDateTime manualBackupTime(const QString& fileName);
// <folder>HH_mm_ss_yyyy_MM_dd.FBK, the temporary backup of a repair.
QString repairBackupName(const QString& folder, const QDateTime& when);
// The file a restore writes before it takes the target's place: beside the target, named after
// it and the time.
QString restoredCopyName(const QString& target, const QDateTime& when);

// The target box's file made from a chosen backup file: its folder and its name with the
// extension turned into ".FDB" (every occurrence of the extension text, in its own case).
QString targetFromBackup(const QString& backupFile);

// Absolute, with links and "." / ".." resolved as far as the file or its folder exists; letter
// case is kept.
QString canonicalPath(const QString& path);
bool isSameFile(const QString& a, const QString& b);

} // namespace service_paths
