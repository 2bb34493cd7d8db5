#include "report/ui/prepare_with_progress.h"

#include "report/ui/progress_runner.h"

namespace report {

std::optional<PreparedReport> prepareWithProgress(const Report& report, QWidget* parent) {
    ProgressRunner runner(parent, QStringLiteral("Подготовка отчёта ..."));
    PrepareOptions options;
    options.progress = runner.progress();
    try {
        return report.prepare(options);
    } catch (const Cancelled&) {
        return std::nullopt;
    }
}

} // namespace report
