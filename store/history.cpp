#include "store/history.h"

#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <algorithm>
#include <vector>

namespace store {
namespace {

void bindAll(fb::Attachment& attachment, fb::Statement& statement,
             const QHash<QString, QVariant>& params) {
    for (const QString& name : statement.paramNames()) {
        const auto it = params.constFind(name);
        if (it == params.constEnd())
            attachment.raise(
                fb::Error(QStringLiteral("Не задано значение параметра %1.").arg(name)));
        statement.setParam(name, *it);
    }
}

qint64 countValue(const QVariant& value) {
    return value.isValid() && !value.isNull() ? value.toLongLong() : 0;
}

// The rows of the list, as one or two row sources that a UNION ALL puts together. Every entry
// has its report (the reference deletes an entry with its report), and the organisations are
// few: both are joined as a whole, by hash joins, instead of being looked up for each row.
QStringList listedRowSources(const ScheduleStatement& list) {
    const QString report =
        QStringLiteral("FROM BUH_HISTORY\n"
                       "JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID + 0 = BUH_HISTORY.BUH_ACCOUNT_ID + 0\n");
    const QString where = QStringLiteral("WHERE\n") + list.rowConditions + list.userCondition;
    if (!list.allOrganisations) {
        return {report +
                QStringLiteral("LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = "
                               "BUH_HISTORY.ORGANIZATION_ID\n") +
                where};
    }
    // The entries of the existing organisations, and those without one.
    return {report +
                QStringLiteral("JOIN ORGANIZATION ON ORGANIZATION.ID + 0 = "
                               "BUH_HISTORY.ORGANIZATION_ID + 0\n") +
                where + QStringLiteral("  AND (BUH_HISTORY.ORGANIZATION_ID <> -1)\n"),
            report +
                QStringLiteral("LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = "
                               "BUH_HISTORY.ORGANIZATION_ID\n") +
                where + QStringLiteral("  AND (BUH_HISTORY.ORGANIZATION_ID = -1)\n")};
}

std::vector<int> readKeys(fb::Attachment& attachment, fb::Transaction& transaction,
                          const ScheduleStatement& list, const std::function<void()>& progress) {
    QStringList selects;
    for (const QString& source : listedRowSources(list))
        selects << QStringLiteral("SELECT BUH_HISTORY.ID\n") + source;
    fb::Statement select(transaction, selects.join(QStringLiteral("UNION ALL\n")));
    bindAll(attachment, select, list.params);
    select.open();
    std::vector<int> keys;
    while (select.fetch()) {
        keys.push_back(select.value(0).toInt());
        if (progress && keys.size() % 4096 == 0)
            progress();
    }
    return keys;
}

} // namespace

bool scheduleEntryExists(fb::Attachment& attachment, const QVariant& id) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction, QStringLiteral("SELECT 1 FROM BUH_HISTORY WHERE ID = :ID"));
    query.setParam(QStringLiteral("ID"), id);
    query.open();
    const bool found = query.fetch();
    query.close();
    transaction.commit();
    return found;
}

QList<int> listedKeys(fb::Attachment& attachment, const ScheduleStatement& list) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    const std::vector<int> keys = readKeys(attachment, transaction, list, {});
    transaction.commit();
    return QList<int>(keys.begin(), keys.end());
}

ListCounts countListRows(fb::Attachment& attachment, const ScheduleStatement& list,
                         const QStringList& conditions,
                         const QHash<QString, QVariant>& extraParams) {
    // Each row source is counted in one pass; the sums add them up.
    QString part = QStringLiteral("SELECT COUNT(*) N_ROWS");
    QString outer = QStringLiteral("SELECT SUM(BUH_HISTORY.N_ROWS)");
    for (int i = 0; i < conditions.size(); ++i) {
        part += QStringLiteral(",\n  SUM(IIF((%1), 1, 0)) N_%2").arg(conditions.at(i)).arg(i);
        outer += QStringLiteral(", SUM(BUH_HISTORY.N_%1)").arg(i);
    }
    QStringList parts;
    for (const QString& source : listedRowSources(list))
        parts << part + QLatin1Char('\n') + source;
    const QString sql = outer + QStringLiteral("\nFROM (\n") +
                        parts.join(QStringLiteral("UNION ALL\n")) + QStringLiteral(") BUH_HISTORY");
    QHash<QString, QVariant> params = list.params;
    for (auto it = extraParams.constBegin(); it != extraParams.constEnd(); ++it)
        params.insert(it.key(), it.value());

    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    fb::Statement query(transaction, sql);
    bindAll(attachment, query, params);
    query.open();
    ListCounts counts;
    if (query.fetch()) {
        counts.total = countValue(query.value(0));
        for (int i = 0; i < conditions.size(); ++i)
            counts.matching << countValue(query.value(i + 1));
    }
    query.close();
    transaction.commit();
    return counts;
}

int deleteListRows(fb::Attachment& attachment, const ScheduleStatement& list,
                   const std::function<void()>& progress) {
    // Nothing is committed unless every batch went through; on an error the transaction is
    // rolled back as it goes out of scope.
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadWrite);
    // The keys first, read in the same transaction that deletes them.
    const std::vector<int> keys = readKeys(attachment, transaction, list, progress);
    if (progress)
        progress();
    // Keys that follow each other go in one range; no other row can hold a key inside a range
    // of listed keys, so each range deletes exactly its rows. A list in deadline order over the
    // whole schedule is a few ranges; a scattered one costs one execution per key.
    std::vector<int> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    fb::Statement remove(
        transaction, QStringLiteral("DELETE FROM BUH_HISTORY WHERE ID >= :LOW AND ID <= :HIGH"));
    size_t done = 0;
    while (done < sorted.size()) {
        size_t end = done + 1;
        while (end < sorted.size() && sorted[end] == sorted[end - 1] + 1)
            ++end;
        remove.setParam(0, sorted[done]);
        remove.setParam(1, sorted[end - 1]);
        remove.execute();
        done = end;
        if (progress && done % 1024 == 0)
            progress();
    }
    transaction.commit();
    return static_cast<int>(keys.size());
}

} // namespace store
