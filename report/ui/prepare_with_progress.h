#pragma once

#include "report/prepared_report.h"
#include "report/report.h"

#include <optional>

class QWidget;

namespace report {

// Prepares the report under a progress bar with a cancel button (shown only when preparing
// takes more than a moment). Empty when the user cancelled; other failures are thrown as
// prepare throws them.
std::optional<PreparedReport> prepareWithProgress(const Report& report, QWidget* parent);

} // namespace report
