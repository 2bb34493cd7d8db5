#pragma once

#include "fb/service_manager.h"

#include <QStringList>
#include <functional>

class ServiceLog;

// The outcome of one service run.
struct ServiceRunResult {
    enum class Outcome { Succeeded, Failed, Unknown };
    Outcome outcome = Outcome::Unknown;
    // The cleaned lines that explain a failure (the engine's text or the service's verdict).
    QStringList lines;

    bool ok() const { return outcome == Outcome::Succeeded; }
};

// How a service tells its result.
enum class ServiceVerdict {
    // The engine reports failure; the output lines are only progress.
    EngineStatus,
    // The output itself is the verdict (validation): two or more cleaned lines mean failure.
    OutputLines,
};

// Runs one service: its output lines go to the log's progress as they come and into the
// capture list; afterwards the list is cleaned and judged. The engine's error text makes the
// run fail with the engine's lines; any other exception gives Outcome::Unknown. On failure the
// lines are added to the log.
ServiceRunResult runService(
    const std::function<void(fb::ServiceManager&, const fb::ServiceManager::LineHandler&)>& action,
    const QStringList& login, const QString& server, ServiceVerdict verdict, ServiceLog& log);
