#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Makes a new database file from the schema compiled into the program (optionally with the
// demo data). The program itself never creates its database; this serves sroko-createdb, the
// tests and the benchmarks.
namespace database_creator {

// The connection parameters every part of the program uses.
QStringList connectionParams();

QString schemaScript();
QString demoScript();

// Throws fb::Error (engine text) or std::runtime_error (file problems) on failure and then
// leaves no file behind. Refuses an existing file.
void createDatabase(const QString& path, bool withDemo,
                    const std::function<void(const QString&)>& onStatement = {});

} // namespace database_creator
