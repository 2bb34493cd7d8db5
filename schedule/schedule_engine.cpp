#include "schedule/schedule_engine.h"

#include <algorithm>

#include "core/clock.h"
#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schedule/periods.h"

#include <QDateTime>

#include <optional>

namespace {

// NULL report terms read as 0, the way the correction reads them.
int intOrZero(const QVariant& value) {
    return value.isNull() ? 0 : value.toInt();
}

} // namespace

void loadBuhHolidays(fb::Transaction& transaction, HolidayMap& map) {
    map.clear();
    fb::Statement query(transaction, QString::fromLatin1(store::kHolidaySql));
    query.open();
    while (query.fetch())
        map.addRow(query.value(0), query.value(1), query.value(2));
}

QString engineErrorText(const fb::Error& error) {
    return error.isEngineError() ? error.engineText() : error.message();
}

// The prepared procedure call and its batch of uncommitted entries.
class ScheduleEngine::Writer {
public:
    Writer(fb::Attachment& attachment, int batchSize, RunResult& result)
        : m_transaction(attachment, fb::Transaction::Mode::ReadWrite),
          m_call(m_transaction, QString::fromLatin1(store::kAddBuhHistorySql)),
          m_batchSize(batchSize), m_result(result) {
        m_call.prepare();
        try {
            m_historyRelation = attachment.relationId(QStringLiteral("BUH_HISTORY"));
        } catch (const fb::Error&) {
            // Without it only the count of changed entries is lost.
        }
        m_changedBefore = changedEntries();
    }

    // False when the run cannot go on: the connection is gone or a commit failed.
    bool store(const AssignmentTerms& terms, const QDate& periodEnd, const QDate& deadline) {
        try {
            m_call.setParam(QStringLiteral("BUH_ACCOUNT_ID"), terms.reportId);
            m_call.setParam(QStringLiteral("ORGANIZATION_ID"), terms.organisationId);
            m_call.setParam(QStringLiteral("CYCLING"), terms.cycling);
            m_call.setParam(QStringLiteral("DT_END_ACCOUNT"), periodEnd);
            m_call.setParam(QStringLiteral("DT_ACTION"), deadline);
            m_call.execute();
        } catch (const fb::Error& e) {
            // The engine has undone this call alone; the batch before it stays valid.
            ++m_result.failed;
            m_result.lastErrorText = engineErrorText(e);
            return !e.isConnectionLost();
        }
        if (++m_pending >= m_batchSize)
            return commit();
        return true;
    }

    // The engine's counters are read at the end of the run only: reading them costs about as
    // much as a batch of calls.
    bool commit(bool last = false) {
        try {
            m_transaction.commit();
            m_result.stored += m_pending;
            m_pending = 0;
            // A call that found a submitted entry, or one already right, changes nothing.
            if (last)
                m_result.changed += static_cast<int>(changedEntries() - m_changedBefore);
            return true;
        } catch (const fb::Error& e) {
            // Each call changes one entry at most, so without the undone batch at least this
            // many changes were kept.
            const qint64 kept = changedEntries() - m_changedBefore - m_pending;
            m_result.changed += static_cast<int>(std::max<qint64>(0, kept));
            m_result.failed += m_pending;
            m_pending = 0;
            m_result.lastErrorText = engineErrorText(e);
            m_changedBefore = changedEntries();
            try {
                m_transaction.rollback();
            } catch (const fb::Error&) {
                // Nothing left to undo on a transaction that could not commit.
            }
            return false;
        }
    }

private:
    qint64 changedEntries() {
        try {
            return m_historyRelation < 0
                       ? m_changedBefore
                       : m_transaction.attachment().changedRecords(m_historyRelation);
        } catch (const fb::Error&) {
            // Only the count suffers; the entries themselves are stored or not as they were.
            return m_changedBefore;
        }
    }

    fb::Transaction m_transaction;
    fb::Statement m_call;
    qint64 m_changedBefore = 0;
    int m_historyRelation = -1;
    int m_batchSize;
    int m_pending = 0;
    RunResult& m_result;
};

ScheduleEngine::ScheduleEngine(fb::Attachment& attachment, const Clock& clock)
    : m_attachment(attachment), m_clock(clock) {}

void ScheduleEngine::LoadBuhHolidays(HolidayMap& map) {
    fb::Transaction transaction(m_attachment, fb::Transaction::Mode::ReadOnly);
    loadBuhHolidays(transaction, map);
    transaction.commit();
}

bool ScheduleEngine::generate(const AssignmentTerms& terms, int year, Writer& writer) {
    // Today is asked again for each period, so a run across midnight tests later periods
    // against the new date.
    const QList<PeriodPlan> plans = planPeriods(
        terms.cycling, terms.dayAction, terms.dayAction12, year, [this] { return m_clock.today(); },
        m_holidays);
    for (const PeriodPlan& plan : plans) {
        if (plan.scheduled && !writer.store(terms, plan.periodEnd, plan.shifted))
            return false;
    }
    return true;
}

RunResult ScheduleEngine::CreateBuhHistory(int reportId, int organisationId, int cycling,
                                           int dayAction, int dayAction12) {
    LoadBuhHolidays(m_holidays);
    RunResult result;
    Writer writer(m_attachment, m_batchSize, result);
    const AssignmentTerms terms{reportId, organisationId, cycling, dayAction, dayAction12};
    const bool completed = generate(terms, m_clock.currentYear(), writer);
    // Whatever stopped the run, what was stored before it is kept.
    if (!writer.commit(true) || !completed)
        result.endedEarly = true;
    return result;
}

RunResult ScheduleEngine::CreateBuhHistoryForAccount(int reportId, const Progress& progress) {
    RunResult result;
    try {
        LoadBuhHolidays(m_holidays);
    } catch (const fb::Error& e) {
        result.lastErrorText = engineErrorText(e);
        result.endedEarly = true;
        return result;
    }

    // The assignments are read on a transaction of their own, so that the batch commits of the
    // writer leave the cursor open.
    fb::Transaction reading(m_attachment, fb::Transaction::Mode::ReadOnly);
    std::optional<Writer> writer;
    bool completed = true;
    try {
        writer.emplace(m_attachment, m_batchSize, result);
        fb::Statement assignments(reading, QString::fromLatin1(store::kSelAccountOrgSql));
        assignments.setParam(QStringLiteral("BUH_ACCOUNT_ID"), reportId);
        assignments.open();
        const int year = m_clock.currentYear();
        for (int done = 0; completed && assignments.fetch();) {
            AssignmentTerms terms;
            terms.reportId = assignments.value(0).toInt();
            terms.organisationId = assignments.value(1).toInt();
            terms.cycling = intOrZero(assignments.value(2));
            terms.dayAction = intOrZero(assignments.value(3));
            terms.dayAction12 = dayAction12FromDb(assignments.value(4));
            completed = generate(terms, year, *writer);
            if (completed && progress)
                completed = progress(++done);
        }
        assignments.close();
        reading.commit();
    } catch (const fb::Error& e) {
        // Preparing the call, the selection or one of its rows failed: the run ends here.
        result.lastErrorText = engineErrorText(e);
        completed = false;
    }
    // Whatever stopped the run, what was stored before it is kept.
    if ((writer && !writer->commit(true)) || !completed)
        result.endedEarly = true;
    return result;
}
