#pragma once

#include "fb/attachment.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real database made from the project's schema in a temporary folder, removed afterwards.
// Creating one takes a fraction of a second, so fixtures make one per test suite where they can.
class TestDatabase {
public:
    explicit TestDatabase(bool withDemo = false);
    ~TestDatabase();

    const QString& path() const { return m_path; }
    const QString& folder() const { return m_folderPath; }
    // Makes a database from the schema at a path of the caller's choosing.
    static void createAt(const QString& path, bool withDemo = false);
    // A fresh connection with the program's parameters.
    std::unique_ptr<fb::Attachment> connect() const;
    // Runs statements (separated by ';') in one transaction and commits.
    void exec(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_folderPath;
    QString m_path;
};
