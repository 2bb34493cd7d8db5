#include "tracking/dataset_row_source.h"

#include "core/clock.h"
#include "fb/dataset.h"

DatasetRowSource::DatasetRowSource(const fb::Dataset& list, const Clock& clock,
                                   ScheduleWindow which)
    : m_list(list), m_clock(clock), m_which(which) {
    m_fields = m_list.isOpen() ? m_list.fieldNames() : QStringList();
    m_own = static_cast<int>(m_fields.size());
    m_fields << printFieldNames();
}

int DatasetRowSource::rowCount() const {
    return m_list.isOpen() ? m_list.rowCount() : 0;
}

int DatasetRowSource::currentRow() const {
    return m_list.isOpen() ? m_list.currentRow() : -1;
}

QVariant DatasetRowSource::value(int row, int field) const {
    if (row < 0 || row >= rowCount() || field < 0 || field >= m_fields.size())
        return {};
    if (field < m_own)
        return m_list.value(row, field);
    const PrintFields& c = computed(row);
    switch (field - m_own) {
    case 0:
        return c.period;
    case 1:
        return c.cycling;
    case 2:
        return c.status;
    case 3:
        return c.colour;
    default:
        return c.mark;
    }
}

const PrintFields& DatasetRowSource::computed(int row) const {
    if (m_cache.size() < rowCount())
        m_cache.resize(rowCount());
    std::optional<PrintFields>& slot = m_cache[row];
    if (!slot) {
        const BuhEntry entry =
            buhEntryFrom([&](const QString& name) { return m_list.value(row, name); });
        slot = printFields(entry, m_clock.now(), m_clock.today(), m_which);
    }
    return *slot;
}
