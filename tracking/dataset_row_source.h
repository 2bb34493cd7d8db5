#pragma once

#include "report/row_source.h"
#include "status/entry_status.h"

#include <QVector>

class Clock;
namespace fb {
class Dataset;
}

// A schedule list as the report engine reads it: the list's own fields and, after them, the
// texts and marks the templates print (PERIOD_TEXT, CYCLING_TEXT, STATUS_TEXT, ROW_COLOR,
// STATUS_MARK), worked out from the row's dates on the window's clock. Rows are read by index,
// so the list's current row does not move and the window's row handling is not woken.
class DatasetRowSource : public report::RowSource {
public:
    DatasetRowSource(const fb::Dataset& list, const Clock& clock, ScheduleWindow which);

    QStringList fieldNames() const override;
    int rowCount() const override;
    QVariant value(int row, int field) const override;
    int currentRow() const override;

    // The text of a status as the table prints mark it: "+" in time, "+!" late, "+?"
    // suspicious, "!" overdue, "*" due soon, empty when planned.
    static QString statusMark(std::optional<BuhEntryStatus> status);

private:
    struct Computed {
        QString period, cycling, status, colour, mark;
    };
    const Computed& computed(int row) const;

    const fb::Dataset& m_list;
    const Clock& m_clock;
    ScheduleWindow m_which;
    QStringList m_fields;
    int m_own = 0; // fields of the list itself; the computed ones follow
    mutable QVector<std::optional<Computed>> m_cache;
};
