#pragma once

#include "widgets/dataset_model.h"

#include <QColor>
#include <QList>

// Columns that more than one directory grid shows alike.
namespace grid_columns {

// A report's terms: NAME, DAY_ACTION, DAY_ACTION_12 ("-" when not set), CYCLING and
// DAY_WARNING, as the reports directory and an organisation's report list both show them.
QList<ColumnDef> reportTerms(const QColor& nameTitleColour = QColor());

// An organisation's BUH_TAX_SYSTEM_MAIN and BUH_TAX_SYSTEM_ADDIT, as their texts.
QList<ColumnDef> taxSystems();

} // namespace grid_columns
