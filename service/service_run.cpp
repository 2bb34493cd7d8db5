#include "service/service_run.h"

#include "service/service_log.h"

#include <exception>

ServiceRunResult runService(
    const std::function<void(fb::ServiceManager&, const fb::ServiceManager::LineHandler&)>& action,
    const QStringList& login, const QString& server, ServiceVerdict verdict, ServiceLog& log) {
    ServiceRunResult result;
    QStringList capture;
    try {
        fb::ServiceManager service(login, server);
        action(service, [&](const QString& line) {
            capture << line;
            log.serviceLine(line);
        });
        service_log::cleanServiceOutput(capture);
        if (verdict == ServiceVerdict::EngineStatus || capture.size() < 2) {
            result.outcome = ServiceRunResult::Outcome::Succeeded;
            return result;
        }
        result.outcome = ServiceRunResult::Outcome::Failed;
        result.lines = capture;
    } catch (const fb::Error& e) {
        result.outcome = ServiceRunResult::Outcome::Failed;
        // A verdict's own lines say what is wrong; progress lines would only bury the error.
        QStringList lines = verdict == ServiceVerdict::OutputLines ? capture : QStringList();
        lines << e.message().split(QLatin1Char('\n'));
        service_log::cleanServiceOutput(lines);
        result.lines = lines;
    } catch (const std::exception&) {
        // Not the engine's word: the caller adds its own line for an unknown error.
        result.outcome = ServiceRunResult::Outcome::Unknown;
        return result;
    }
    for (const QString& line : result.lines)
        log.appendLine(line);
    return result;
}
