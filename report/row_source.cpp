#include "report/row_source.h"

namespace report {

int RowSource::fieldIndex(const QString& name) const {
    const QStringList fields = fieldNames();
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant TableRowSource::value(int row, int field) const {
    if (row < 0 || row >= m_rows.size())
        return {};
    const auto& values = m_rows[row];
    if (field < 0 || field >= values.size())
        return {};
    return values[field];
}

} // namespace report
