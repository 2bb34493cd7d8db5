#pragma once

#include <QStringList>
#include <optional>

// The database service commands of sroko-cli: backup, restore, validate. Returns the exit code,
// or nothing when args do not name one of them.
std::optional<int> runServiceCommand(const QStringList& args);

// Their part of the usage text.
extern const char kServiceUsage[];
