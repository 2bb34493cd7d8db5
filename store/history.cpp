#include "store/history.h"

#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <vector>

namespace store {
namespace {

// Keys per delete statement: few enough for the engine's limit on an IN list, many enough that
// a hundred thousand rows take a few hundred executions of one prepared statement.
constexpr int kDeleteBatch = 500;

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

} // namespace

ListCounts countListRows(fb::Attachment& attachment, const ScheduleStatement& list,
                         const QStringList& conditions,
                         const QHash<QString, QVariant>& extraParams) {
    QString sql = QStringLiteral("SELECT COUNT(*)");
    for (const QString& condition : conditions)
        sql += QStringLiteral(",\n  SUM(IIF((%1), 1, 0))").arg(condition);
    sql += QLatin1Char('\n') + list.conditions;
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
    std::vector<int> keys;
    {
        fb::Statement select(transaction,
                             QStringLiteral("SELECT BUH_HISTORY.ID\n") + list.conditions);
        bindAll(attachment, select, list.params);
        select.open();
        while (select.fetch()) {
            keys.push_back(select.value(0).toInt());
            if (progress && keys.size() % 4096 == 0)
                progress();
        }
    }
    QStringList places;
    for (int i = 0; i < kDeleteBatch; ++i)
        places << QStringLiteral(":K%1").arg(i);
    fb::Statement remove(transaction, QStringLiteral("DELETE FROM BUH_HISTORY WHERE ID IN (") +
                                          places.join(QLatin1Char(',')) + QLatin1Char(')'));
    for (size_t done = 0; done < keys.size(); done += kDeleteBatch) {
        for (int i = 0; i < kDeleteBatch; ++i) {
            const size_t at = done + static_cast<size_t>(i);
            // Unused places of the last batch match nothing.
            remove.setParam(i, at < keys.size() ? QVariant(keys[at]) : QVariant());
        }
        remove.execute();
        if (progress)
            progress();
    }
    transaction.commit();
    return static_cast<int>(keys.size());
}

} // namespace store
