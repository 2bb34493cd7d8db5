#pragma once

#include "report/row_source.h"
#include "status/print_fields.h"

#include <QVector>

#include <optional>

class Clock;
namespace fb {
class Dataset;
}

// A schedule list as the report engine reads it: the list's own fields and, after them, the
// texts and marks the templates print (see PrintFields), worked out from the row's dates on
// the window's clock. Rows are read by index, so the list's current row does not move and the
// window's row handling is not woken.
class DatasetRowSource : public report::RowSource {
public:
    DatasetRowSource(const fb::Dataset& list, const Clock& clock, ScheduleWindow which);

    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override;
    QVariant value(int row, int field) const override;
    int currentRow() const override;

private:
    const PrintFields& computed(int row) const;

    const fb::Dataset& m_list;
    const Clock& m_clock;
    ScheduleWindow m_which;
    QStringList m_fields;
    int m_own = 0; // fields of the list itself; the computed ones follow
    mutable QVector<std::optional<PrintFields>> m_cache;
};
