#include "store/history.h"

#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QSet>

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

// The rows of the list without the organisation's conditions: every entry has its report (the
// reference deletes an entry with its report), so the report is joined as a whole, by a hash
// join, instead of being looked up for each row.
QString listedRowsFrom(const ScheduleStatement& list) {
    return QStringLiteral(
               "FROM BUH_HISTORY\n"
               "JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID + 0 = BUH_HISTORY.BUH_ACCOUNT_ID + 0\n"
               "WHERE\n") +
           list.rowConditions;
}

// The organisations whose entries the list admits, among those with rows: their conditions are
// checked once per organisation. Selects ORGANIZATION_ID.
QString listedOrganisations(const ScheduleStatement& list) {
    return QStringLiteral("SELECT BUH_HISTORY.ORGANIZATION_ID FROM (\n"
                          "SELECT BUH_HISTORY.ORGANIZATION_ID\n") +
           listedRowsFrom(list) +
           QStringLiteral(
               "GROUP BY BUH_HISTORY.ORGANIZATION_ID\n"
               ") BUH_HISTORY\n"
               "LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = BUH_HISTORY.ORGANIZATION_ID\n"
               "WHERE (1 = 1)\n") +
           list.organisationConditions;
}

std::vector<int> readKeys(fb::Attachment& attachment, fb::Transaction& transaction,
                          const ScheduleStatement& list, const std::function<void()>& progress) {
    // The organisations first (a few hundred rows), then the entries with their
    // organisation, kept when it is one of those.
    QSet<int> organisations;
    {
        fb::Statement select(transaction, listedOrganisations(list));
        bindAll(attachment, select, list.params);
        select.open();
        while (select.fetch())
            organisations.insert(select.value(0).toInt());
    }
    std::vector<int> keys;
    fb::Statement select(transaction,
                         QStringLiteral("SELECT BUH_HISTORY.ID, BUH_HISTORY.ORGANIZATION_ID\n") +
                             listedRowsFrom(list));
    bindAll(attachment, select, list.params);
    select.open();
    int read = 0;
    while (select.fetch()) {
        if (organisations.contains(select.value(1).toInt()))
            keys.push_back(select.value(0).toInt());
        if (progress && ++read % 4096 == 0)
            progress();
    }
    return keys;
}

} // namespace

QList<int> listedKeys(fb::Attachment& attachment, const ScheduleStatement& list) {
    fb::Transaction transaction(attachment, fb::Transaction::Mode::ReadOnly);
    const std::vector<int> keys = readKeys(attachment, transaction, list, {});
    transaction.commit();
    return QList<int>(keys.begin(), keys.end());
}

ListCounts countListRows(fb::Attachment& attachment, const ScheduleStatement& list,
                         const QStringList& conditions,
                         const QHash<QString, QVariant>& extraParams) {
    // Counted per organisation in one pass over the entries, then summed over the
    // organisations the list admits.
    QString inner = QStringLiteral("SELECT BUH_HISTORY.ORGANIZATION_ID, COUNT(*) N_ROWS");
    QString outer = QStringLiteral("SELECT SUM(BUH_HISTORY.N_ROWS)");
    for (int i = 0; i < conditions.size(); ++i) {
        inner += QStringLiteral(",\n  SUM(IIF((%1), 1, 0)) N_%2").arg(conditions.at(i)).arg(i);
        outer += QStringLiteral(", SUM(BUH_HISTORY.N_%1)").arg(i);
    }
    const QString sql = outer + QStringLiteral("\nFROM (\n") + inner + QLatin1Char('\n') +
                        listedRowsFrom(list) +
                        QStringLiteral("GROUP BY BUH_HISTORY.ORGANIZATION_ID\n"
                                       ") BUH_HISTORY\n"
                                       "LEFT JOIN ORGANIZATION ON ORGANIZATION.ID = "
                                       "BUH_HISTORY.ORGANIZATION_ID\n"
                                       "WHERE (1 = 1)\n") +
                        list.organisationConditions;
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
