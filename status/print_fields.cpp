#include "status/print_fields.h"

const QStringList& printFieldNames() {
    static const QStringList names{QStringLiteral("PERIOD_TEXT"), QStringLiteral("CYCLING_TEXT"),
                                   QStringLiteral("STATUS_TEXT"), QStringLiteral("ROW_COLOR"),
                                   QStringLiteral("STATUS_MARK")};
    return names;
}

PrintFields printFields(const BuhEntry& entry, const QDateTime& now, const QDate& today,
                        ScheduleWindow which) {
    const auto status = entryStatus(entry, now, today);
    const RowColours colours = rowColours(entry, now, today, false, which);
    return PrintFields{periodText(entry.cycling, entry.dtEndAccount), cyclingText(entry.cycling),
                       statusText(status),
                       colours.background ? colours.background->name() : QString(),
                       statusMark(status)};
}

QString statusMark(std::optional<BuhEntryStatus> status) {
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
