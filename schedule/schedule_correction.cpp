#include "schedule/schedule_correction.h"

#include "core/clock.h"
#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schedule/holiday_map.h"
#include "schedule/periods.h"
#include "schedule/schedule_engine.h"

#include <QDate>
#include <QDateTime>

namespace {

int intOrZero(const QVariant& value) {
    return value.isNull() ? 0 : value.toInt();
}

} // namespace

CorrectionResult correctSchedule(fb::Attachment& attachment, const Clock& clock, HolidayMap& map,
                                 const std::function<void(int done)>& progress) {
    CorrectionResult result;
    const int year = clock.currentYear();
    const QDate begin(year - 1, 12, 31);
    const QDate end(year, 12, 31);

    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadWrite);
    int changed = 0;
    try {
        loadBuhHolidays(transaction, map);
        fb::Statement entries(transaction, QString::fromLatin1(store::kBuhHistorySql));
        fb::Statement update(transaction, QString::fromLatin1(store::kUpdateHistorySql));
        entries.setParam(QStringLiteral("DT_BEGIN"), begin);
        entries.setParam(QStringLiteral("DT_END"), end);
        entries.open();
        for (int done = 0; entries.fetch();) {
            const QVariant id = entries.value(0);
            const QDate periodEnd = entries.value(1).toDateTime().date();
            const QDateTime stored = entries.value(2).toDateTime();
            const int offset =
                correctionOffset(intOrZero(entries.value(3)), intOrZero(entries.value(4)),
                                 dayAction12FromDb(entries.value(5)), periodEnd, begin, end);
            const QDate deadline = map.ShiftToWorkDay(periodEnd.addDays(offset));
            // Equal deadlines cost no write.
            if (stored.date() != deadline || stored.time() != QTime(0, 0)) {
                update.setParam(QStringLiteral("DT_ACTION"), deadline);
                update.setParam(QStringLiteral("ID"), id);
                update.execute();
                ++changed;
            }
            if (progress)
                progress(++done);
        }
        transaction.commit();
    } catch (const fb::Error& e) {
        // All or nothing: the transaction takes every deadline of this run back with it.
        result.errorText = engineErrorText(e);
        try {
            transaction.rollback();
        } catch (const fb::Error&) {
            // A connection that failed the run may fail the rollback too; the engine undoes the
            // transaction when the connection goes.
        }
        return result;
    }
    result.changed = changed;
    result.ok = true;
    return result;
}
