#include "books/name_check.h"

#include "books/text_helpers.h"
#include "fb/dataset.h"
#include "fb/error.h"

bool IsNameUnique(int mode, const QString& fieldName, fb::Dataset& dataset, const QString& value) {
    const QString name = trimBlanksAndControls(CollapseCharRuns(value, QLatin1Char(' ')));
    if (name.isEmpty())
        return false;
    if (dataset.isEmpty())
        return true;
    const QVariant currentId = dataset.fieldValue(QStringLiteral("ID"));
    // Walks the rows without moving the current one, so the window's list stays where it is.
    dataset.fetchAll();
    const int field = dataset.fieldIndex(fieldName);
    for (int row = 0; row < dataset.rowCount(); ++row) {
        if (dataset.value(row, field).toString().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (mode == 1)
            return dataset.value(row, QStringLiteral("ID")) == currentId;
        return false;
    }
    return true;
}

QString refusedWriteText(const fb::Error& error, const QString& likelyCause) {
    // A row that is stored but could not be read back is no refused write.
    if (dynamic_cast<const fb::StoredButNotReread*>(&error))
        return error.message();
    return error.isEngineError() ? likelyCause : error.message();
}
