#include "tracking/dataset_row_source.h"

#include "core/clock.h"
#include "fb/dataset.h"

namespace {

const QStringList& computedFields() {
    static const QStringList fields{QStringLiteral("PERIOD_TEXT"), QStringLiteral("CYCLING_TEXT"),
                                    QStringLiteral("STATUS_TEXT"), QStringLiteral("ROW_COLOR"),
                                    QStringLiteral("STATUS_MARK")};
    return fields;
}

} // namespace

DatasetRowSource::DatasetRowSource(const fb::Dataset& list, const Clock& clock,
                                   ScheduleWindow which)
    : m_list(list), m_clock(clock), m_which(which) {
    m_fields = m_list.isOpen() ? m_list.fieldNames() : QStringList();
    m_own = static_cast<int>(m_fields.size());
    for (const QString& name : computedFields())
        if (!m_fields.contains(name, Qt::CaseInsensitive))
            m_fields << name;
}

QStringList DatasetRowSource::fieldNames() const {
    return m_fields;
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
    const Computed& c = computed(row);
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

const DatasetRowSource::Computed& DatasetRowSource::computed(int row) const {
    if (m_cache.size() < rowCount())
        m_cache.resize(rowCount());
    std::optional<Computed>& slot = m_cache[row];
    if (!slot) {
        const BuhEntry entry =
            buhEntryFrom([&](const QString& name) { return m_list.value(row, name); });
        const QDateTime now = m_clock.now();
        const QDate today = m_clock.today();
        const auto status = entryStatus(entry, now, today);
        const RowColours colours = rowColours(entry, now, today, false, m_which);
        slot = Computed{periodText(entry.cycling, entry.dtEndAccount), cyclingText(entry.cycling),
                        statusText(status),
                        colours.background ? colours.background->name() : QString(),
                        statusMark(status)};
    }
    return *slot;
}

QString DatasetRowSource::statusMark(std::optional<BuhEntryStatus> status) {
    if (!status)
        return {};
    switch (*status) {
    case BuhEntryStatus::Sdan:
        return QStringLiteral("+");
    case BuhEntryStatus::AlarmSdan:
        return QStringLiteral("+!");
    case BuhEntryStatus::AlarmPodozrenue:
        return QStringLiteral("+?");
    case BuhEntryStatus::AlarmNeSdan:
        return QStringLiteral("!");
    case BuhEntryStatus::Warning:
        return QStringLiteral("*");
    case BuhEntryStatus::NeSdan:
        break;
    }
    return {};
}
