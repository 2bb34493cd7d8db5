#include "status/entry_status.h"

#include <QLocale>
#include <QStringList>
#include <QTime>

#include <array>

namespace {

int warningDays(const QVariant& dayWarning) {
    bool ok = false;
    const int days = dayWarning.toInt(&ok);
    return ok ? days : 0;
}

bool submitted(const BuhEntry& entry) {
    return !entry.dtActual.isNull();
}

// The decision itself, also for a row without an ID. Everything is compared by whole days, as
// a difference rather than by moving a date, so that any DAY_WARNING gives a defined answer
// (the SQL form computes the same difference).
BuhEntryStatus decide(const BuhEntry& entry, const QDate& today) {
    const QDate deadline = entry.dtAction.date();
    if (!submitted(entry)) {
        const qint64 daysLeft = today.daysTo(deadline);
        if (daysLeft < 0)
            return BuhEntryStatus::AlarmNeSdan;
        if (daysLeft <= warningDays(entry.dayWarning))
            return BuhEntryStatus::Warning;
        return BuhEntryStatus::NeSdan;
    }
    if (entry.dtActual.date() > deadline)
        return BuhEntryStatus::AlarmSdan;
    if (!entry.dtAddRecord.isNull() && entry.dtAddRecord.date() > deadline)
        return BuhEntryStatus::AlarmPodozrenue;
    return BuhEntryStatus::Sdan;
}

std::optional<int> cyclingValue(const QVariant& cycling) {
    if (cycling.isNull())
        return std::nullopt;
    bool ok = false;
    const int value = cycling.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

constexpr std::array kAllStatuses = {
    BuhEntryStatus::AlarmNeSdan, BuhEntryStatus::Warning,         BuhEntryStatus::NeSdan,
    BuhEntryStatus::AlarmSdan,   BuhEntryStatus::AlarmPodozrenue, BuhEntryStatus::Sdan,
};

} // namespace

std::optional<BuhEntryStatus> entryStatus(const BuhEntry& entry, const QDateTime& now,
                                          const QDate& today) {
    Q_UNUSED(now);
    if (entry.id.isNull())
        return std::nullopt;
    return decide(entry, today);
}

QString statusText(std::optional<BuhEntryStatus> status) {
    if (!status)
        return QString();
    switch (*status) {
    case BuhEntryStatus::AlarmNeSdan:
        return QStringLiteral("Просрочен, не сдан");
    case BuhEntryStatus::Warning:
        return QStringLiteral("Предупреждение о скорой сдаче");
    case BuhEntryStatus::NeSdan:
        return QStringLiteral("В плане");
    case BuhEntryStatus::AlarmSdan:
        return QStringLiteral("Сдан, но просрочен");
    case BuhEntryStatus::AlarmPodozrenue:
        return QStringLiteral("Сдан, но подозрителен");
    case BuhEntryStatus::Sdan:
        return QStringLiteral("Сдан вовремя");
    }
    return QString();
}

QString suspiciousHintText() {
    return QStringLiteral("Есть отметка о сдаче, но просрочена запись в базе");
}

QString periodText(const QVariant& cycling, const QDate& dtEndAccount) {
    const std::optional<int> kind = cyclingValue(cycling);
    if (!dtEndAccount.isValid() || !kind)
        return QString();
    const QString year = QString::number(dtEndAccount.year());
    switch (*kind) {
    case 0: {
        // The stand-alone form: the format form of "MMM" is genitive ("мая 2025").
        static const QLocale russian(QLocale::Russian);
        return russian.standaloneMonthName(dtEndAccount.month(), QLocale::ShortFormat) +
               QLatin1Char(' ') + year;
    }
    case 1:
        switch (dtEndAccount.month()) {
        case 3:
            return QStringLiteral("1 квартал ") + year;
        case 6:
            return QStringLiteral("2 квартал ") + year;
        case 9:
            return QStringLiteral("3 квартал ") + year;
        case 12:
            return QStringLiteral("4 квартал ") + year;
        default:
            return QString();
        }
    case 2:
        return year;
    default:
        return QString();
    }
}

QString cyclingText(const QVariant& cycling) {
    const std::optional<int> kind = cyclingValue(cycling);
    if (!kind)
        return QString();
    switch (*kind) {
    case 0:
        return QStringLiteral("Месяц");
    case 1:
        return QStringLiteral("Квартал");
    case 2:
        return QStringLiteral("Год");
    default:
        return QString();
    }
}

QString actualDateText(const BuhEntry& entry, const QDateTime& now) {
    if (!submitted(entry))
        return now.date() > entry.dtAction.date() ? QStringLiteral("!") : QString();
    const QDateTime& actual = entry.dtActual;
    QString text = actual.date().toString(QStringLiteral("dd.MM.yyyy"));
    if (actual.time().isValid() && actual.time() != QTime(0, 0))
        text += QLatin1Char(' ') + actual.time().toString(QStringLiteral("hh:mm:ss"));
    return text;
}

RowColours rowColours(const BuhEntry& entry, const QDateTime& now, const QDate& today,
                      bool highlighted, ScheduleWindow which) {
    const std::optional<BuhEntryStatus> status = entryStatus(entry, now, today);
    if (!status)
        return {};

    std::optional<QColor> normal;
    std::optional<QColor> selected;
    switch (*status) {
    case BuhEntryStatus::AlarmNeSdan:
        normal = QColor(255, 200, 190);
        selected = QColor(255, 200, 190);
        break;
    case BuhEntryStatus::Warning:
        normal = QColor(244, 239, 152);
        selected = QColor(253, 241, 41);
        break;
    case BuhEntryStatus::NeSdan:
        break;
    case BuhEntryStatus::AlarmSdan:
    case BuhEntryStatus::AlarmPodozrenue:
    case BuhEntryStatus::Sdan:
        if (which == ScheduleWindow::ScheduleTab) {
            normal = QColor(213, 244, 210);
            selected = QColor(65, 255, 17);
        }
        break;
    }

    RowColours colours;
    if (highlighted)
        colours.font = selected;
    else
        colours.background = normal;
    return colours;
}

QString statusPredicate(BuhEntryStatus status, const QString& todayExpr) {
    // Whole days on both sides, so that a time of day in any column or in todayExpr changes
    // nothing. Days left until the deadline are a difference of two dates, compared with the
    // warning days; a missing report row (left join) warns 0 days, like the client.
    const QString deadline = QStringLiteral("CAST(BUH_HISTORY.DT_ACTION AS DATE)");
    const QString actual = QStringLiteral("CAST(BUH_HISTORY.DT_ACTUAL AS DATE)");
    const QString recorded = QStringLiteral("CAST(BUH_HISTORY.DT_ADD_RECORD AS DATE)");
    const QString today = QStringLiteral("CAST(%1 AS DATE)").arg(todayExpr);
    const QString warning = QStringLiteral("COALESCE(BUH_ACCOUNT.DAY_WARNING, 0)");
    const QString open = QStringLiteral("(BUH_HISTORY.DT_ACTUAL IS NULL)");
    const QString done = QStringLiteral("(BUH_HISTORY.DT_ACTUAL IS NOT NULL)");
    const QString daysLeft = QStringLiteral("(%1 - %2)").arg(deadline, today);

    switch (status) {
    case BuhEntryStatus::AlarmNeSdan:
        return QStringLiteral("%1 AND (%2 < %3)").arg(open, deadline, today);
    case BuhEntryStatus::Warning:
        return QStringLiteral("%1 AND (%2 >= %3) AND (%4 <= %5)")
            .arg(open, deadline, today, daysLeft, warning);
    case BuhEntryStatus::NeSdan:
        return QStringLiteral("%1 AND (%2 >= %3) AND (%4 > %5)")
            .arg(open, deadline, today, daysLeft, warning);
    case BuhEntryStatus::AlarmSdan:
        return QStringLiteral("%1 AND (%2 > %3)").arg(done, actual, deadline);
    case BuhEntryStatus::AlarmPodozrenue:
        return QStringLiteral("%1 AND (%2 <= %3) AND (BUH_HISTORY.DT_ADD_RECORD IS NOT NULL) "
                              "AND (%4 > %3)")
            .arg(done, actual, deadline, recorded);
    case BuhEntryStatus::Sdan:
        return QStringLiteral("%1 AND (%2 <= %3) AND ((BUH_HISTORY.DT_ADD_RECORD IS NULL) OR "
                              "(%4 <= %3))")
            .arg(done, actual, deadline, recorded);
    }
    return QStringLiteral("1=0");
}

QString statusFilterSql(const QSet<BuhEntryStatus>& statuses, const QString& todayExpr) {
    QStringList parts;
    for (BuhEntryStatus status : kAllStatuses) {
        if (statuses.contains(status))
            parts.append(QLatin1Char('(') + statusPredicate(status, todayExpr) + QLatin1Char(')'));
    }
    if (parts.isEmpty())
        return QStringLiteral("(1=0)");
    return QLatin1Char('(') + parts.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

BuhEntry buhEntryFrom(const std::function<QVariant(const QString& field)>& field) {
    BuhEntry e;
    e.id = field(QStringLiteral("ID"));
    e.dtAction = field(QStringLiteral("DT_ACTION")).toDateTime();
    e.dtActual = field(QStringLiteral("DT_ACTUAL")).toDateTime();
    e.dtAddRecord = field(QStringLiteral("DT_ADD_RECORD")).toDateTime();
    e.dayWarning = field(QStringLiteral("DAY_WARNING"));
    e.cycling = field(QStringLiteral("CYCLING"));
    e.dtEndAccount = field(QStringLiteral("DT_END_ACCOUNT")).toDateTime().date();
    return e;
}
