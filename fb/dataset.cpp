#include "fb/dataset.h"

#include <optional>

#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/statement.h"

#include <QDateTime>
#include <algorithm>

namespace fb {
namespace {

// Orders two field values for the local sort: empty values first, then by kind.
int compareValues(const QVariant& a, const QVariant& b) {
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    switch (a.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case QMetaType::QDateTime: {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case QMetaType::QDate: {
        const QDate x = a.toDate(), y = b.toDate();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default:
        return QString::localeAwareCompare(a.toString(), b.toString());
    }
}

bool sameValue(const QVariant& a, const QVariant& b, bool caseInsensitive) {
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull && bNull;
    if (caseInsensitive)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive) == 0;
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString() == b.toString();
    return compareValues(a, b) == 0;
}

} // namespace

Dataset::Dataset(Attachment& attachment, QObject* parent)
    : QObject(parent), m_attachment(attachment),
      m_readTransaction(attachment, Transaction::Mode::ReadOnly),
      m_writeTransaction(attachment, Transaction::Mode::ReadWrite) {}

Dataset::~Dataset() = default;

void Dataset::setParam(const QString& name, const QVariant& value) {
    m_params.insert(name.toUpper(), value);
}

int Dataset::fieldIndex(const QString& name) const {
    return m_fieldIndex.value(name.toUpper(), -1);
}

void Dataset::open() {
    if (isOpen())
        close();
    auto cursor = std::make_unique<Statement>(m_readTransaction, m_selectSql);
    bindParams(*cursor, false, Row(), Row());
    cursor->open();
    beginReset();
    m_fields.clear();
    m_fieldIndex.clear();
    for (int i = 0; i < cursor->columnCount(); ++i) {
        const QString name = cursor->columnName(i).toUpper();
        m_fields << name;
        if (!m_fieldIndex.contains(name))
            m_fieldIndex.insert(name, i);
    }
    m_cursor = std::move(cursor);
    m_rows.clear();
    m_sharedTexts.clear();
    m_state = State::Browse;
    fetchInto(m_rows, m_fetchStep > 0 ? m_fetchStep : -1);
    m_current = -1;
    rebuildVisible(QVariant());
    if (m_sortField >= 0)
        fetchAll();
    m_current = rowCount() > 0 ? 0 : -1;
    endReset();
    emit stateChanged();
    notifyScroll();
}

void Dataset::close() {
    if (m_state == State::Inactive)
        return;
    beginReset();
    m_cursor.reset();
    try {
        m_readTransaction.commit();
    } catch (const Error&) {
        // On a connection that is gone the read cannot end properly; the list closes anyway.
        try {
            m_readTransaction.rollback();
        } catch (const Error&) {
            // Nothing is left to undo there.
        }
    }
    m_rows.clear();
    m_sharedTexts.clear();
    m_visible.clear();
    m_current = -1;
    m_state = State::Inactive;
    endReset();
    emit stateChanged();
}

void Dataset::refresh() {
    if (!isOpen()) {
        open();
        return;
    }
    const QVariant key = currentKey();
    const int fetched = static_cast<int>(m_rows.size());
    const int keepRow = m_current;
    m_cursor.reset();
    m_readTransaction.commit();
    auto cursor = std::make_unique<Statement>(m_readTransaction, m_selectSql);
    bindParams(*cursor, false, Row(), Row());
    cursor->open();
    beginReset();
    m_cursor = std::move(cursor);
    m_rows.clear();
    m_state = State::Browse;
    fetchInto(m_rows, m_fetchStep > 0 ? std::max(fetched, m_fetchStep) : -1);
    m_current = keepRow;
    rebuildVisible(key);
    endReset();
    emit stateChanged();
    notifyScroll();
}

void Dataset::refreshCurrent() {
    if (m_current < 0 || m_refreshSql.isEmpty())
        return;
    const int source = m_visible.at(m_current);
    Row fresh;
    if (readRow(m_refreshSql, m_rows[source], m_rows[source], &fresh)) {
        m_rows[source] = fresh;
        if (!m_controlsDisabled)
            emit rowChanged(m_current);
    }
    notifyScroll();
}

void Dataset::clearRows() {
    if (!isOpen())
        return;
    beginReset();
    m_cursor.reset();
    m_rows.clear();
    m_visible.clear();
    m_current = -1;
    endReset();
    notifyScroll();
}

bool Dataset::canFetchMore() const {
    return m_cursor && m_cursor->isOpen();
}

int Dataset::fetchInto(std::vector<Row>& into, int limit) {
    int count = 0;
    while (m_cursor && (limit < 0 || count < limit) && m_cursor->fetch()) {
        into.push_back(m_cursor->row());
        shareTexts(into.back());
        ++count;
    }
    if (m_cursor && !m_cursor->isOpen())
        m_cursor.reset();
    return count;
}

void Dataset::shareTexts(Row& row) {
    // Long lists repeat a few names (reports, organisations, users) on every row: one copy of
    // each short text serves them all. The table is dropped with the rows.
    constexpr qsizetype kShortText = 64;
    constexpr qsizetype kMaxTexts = 20000;
    for (QVariant& value : row) {
        if (value.typeId() != QMetaType::QString)
            continue;
        const QString text = value.toString();
        if (text.isEmpty() || text.size() > kShortText)
            continue;
        const auto it = m_sharedTexts.constFind(text);
        if (it != m_sharedTexts.constEnd())
            value = *it;
        else if (m_sharedTexts.size() < kMaxTexts)
            m_sharedTexts.insert(text, value);
    }
}

void Dataset::fetchMore(int rows) {
    if (!canFetchMore())
        return;
    std::vector<Row> fresh;
    fetchInto(fresh, rows);
    QVector<int> shown;
    const int base = static_cast<int>(m_rows.size());
    for (int i = 0; i < static_cast<int>(fresh.size()); ++i) {
        m_rows.push_back(std::move(fresh[i]));
        if (rowPassesFilter(base + i))
            shown << base + i;
    }
    if (shown.isEmpty())
        return;
    const int first = rowCount();
    if (!m_controlsDisabled)
        emit rowsAboutToBeInserted(first, first + static_cast<int>(shown.size()) - 1);
    m_visible += shown;
    if (!m_controlsDisabled)
        emit rowsInserted();
    if (m_current < 0) {
        m_current = 0;
        notifyScroll();
    }
}

void Dataset::fetchAll() {
    while (canFetchMore())
        fetchMore(kDefaultFetchStep);
}

bool Dataset::isEmpty() const {
    auto* self = const_cast<Dataset*>(this);
    while (self->rowCount() == 0 && self->canFetchMore())
        self->fetchMore(fetchStep());
    return rowCount() == 0;
}

QVariant Dataset::value(int row, int field) const {
    if (row < 0 || row >= m_visible.size())
        return QVariant();
    return sourceValue(m_visible.at(row), field);
}

QVariant Dataset::value(int row, const QString& field) const {
    return value(row, fieldIndex(field));
}

QVariant Dataset::sourceValue(int sourceRow, int field) const {
    if (sourceRow < 0 || sourceRow >= static_cast<int>(m_rows.size()))
        return QVariant();
    return m_rows[sourceRow].value(field);
}

QVariant Dataset::sourceValue(int sourceRow, const QString& field) const {
    return sourceValue(sourceRow, fieldIndex(field));
}

void Dataset::setCurrentRow(int row) {
    if (row < -1 || row >= rowCount())
        row = rowCount() > 0 ? std::clamp(row, 0, rowCount() - 1) : -1;
    if (row == m_current)
        return;
    m_current = row;
    notifyScroll();
}

void Dataset::next() {
    if (m_current + 1 >= rowCount() && canFetchMore())
        fetchMore(fetchStep());
    if (m_current + 1 < rowCount())
        setCurrentRow(m_current + 1);
}

void Dataset::prior() {
    if (m_current > 0)
        setCurrentRow(m_current - 1);
}

QVariant Dataset::fieldValue(const QString& field) const {
    const int index = fieldIndex(field);
    if (m_state == State::Insert || m_state == State::Edit)
        return m_editRow.value(index);
    return value(m_current, index);
}

bool Dataset::locate(const QString& field, const QVariant& wanted, bool caseInsensitive) {
    const int index = fieldIndex(field);
    if (index < 0)
        return false;
    fetchAll();
    for (int row = 0; row < rowCount(); ++row) {
        if (sameValue(value(row, index), wanted, caseInsensitive)) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

QVariant Dataset::keyOf(int sourceRow) const {
    return sourceValue(sourceRow, m_keyField);
}

bool Dataset::rowPassesFilter(int sourceRow) const {
    return !m_filter || m_filter(*this, sourceRow);
}

void Dataset::rebuildVisible(const QVariant& keepKey) {
    m_visible.clear();
    m_visible.reserve(static_cast<qsizetype>(m_rows.size()));
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        if (rowPassesFilter(i))
            m_visible << i;
    }
    if (m_sortField >= 0) {
        const int field = m_sortField;
        const bool ascending = m_sortAscending;
        std::stable_sort(m_visible.begin(), m_visible.end(), [&](int a, int b) {
            const int c = compareValues(m_rows[a].value(field), m_rows[b].value(field));
            return ascending ? c < 0 : c > 0;
        });
    }
    int found = -1;
    if (keepKey.isValid() && !keepKey.isNull()) {
        for (int row = 0; row < m_visible.size(); ++row) {
            if (sameValue(keyOf(m_visible.at(row)), keepKey, false)) {
                found = row;
                break;
            }
        }
    }
    if (found >= 0)
        m_current = found;
    else if (m_visible.isEmpty())
        m_current = -1;
    else
        m_current = std::clamp(m_current, 0, static_cast<int>(m_visible.size()) - 1);
}

void Dataset::setFilter(Filter filter) {
    const QVariant key = currentKey();
    m_filter = std::move(filter);
    showAgain(key);
}

void Dataset::setSort(const QString& field, bool ascending) {
    const QVariant key = currentKey();
    m_sortField = fieldIndex(field);
    m_sortAscending = ascending;
    if (!isOpen())
        return;
    // Sorting needs every row; a list that is sorted locally is read completely.
    beginReset();
    std::vector<Row> rest;
    fetchInto(rest, -1);
    for (auto& row : rest)
        m_rows.push_back(std::move(row));
    rebuildVisible(key);
    endReset();
    notifyScroll();
}

void Dataset::clearSort() {
    const QVariant key = currentKey();
    m_sortField = -1;
    showAgain(key);
}

QVariant Dataset::currentKey() const {
    return m_current >= 0 ? keyOf(m_visible.at(m_current)) : QVariant();
}

void Dataset::showAgain(const QVariant& key) {
    if (!isOpen())
        return;
    beginReset();
    rebuildVisible(key);
    endReset();
    notifyScroll();
}

void Dataset::append() {
    if (!isOpen())
        m_attachment.raise(Error(QStringLiteral("Список не открыт.")));
    // A row added while the cursor is still reading could come back from it a second time.
    fetchAll();
    m_editRow = Row(m_fields.size());
    m_originalRow = Row(m_fields.size());
    m_state = State::Insert;
    emit stateChanged();
}

void Dataset::edit() {
    if (m_current < 0)
        m_attachment.raise(Error(QStringLiteral("Нет текущей строки для изменения.")));
    m_editRow = m_rows[m_visible.at(m_current)];
    m_originalRow = m_editRow;
    m_state = State::Edit;
    emit stateChanged();
}

void Dataset::setFieldValue(const QString& field, const QVariant& value) {
    if (m_state != State::Insert && m_state != State::Edit)
        m_attachment.raise(Error(QStringLiteral("Список не в режиме изменения.")));
    const int index = fieldIndex(field);
    if (index < 0)
        m_attachment.raise(Error(QStringLiteral("В списке нет поля %1.").arg(field)));
    m_editRow[index] = value;
}

void Dataset::cancel() {
    if (m_state != State::Insert && m_state != State::Edit)
        return;
    m_state = State::Browse;
    m_editRow.clear();
    m_originalRow.clear();
    emit stateChanged();
}

void Dataset::post() {
    if (m_state != State::Insert && m_state != State::Edit)
        return;
    const bool inserting = m_state == State::Insert;
    Row values = m_editRow;
    try {
        const int keyIndex = fieldIndex(m_keyField);
        if (inserting && !m_generator.isEmpty() && keyIndex >= 0 &&
            (values[keyIndex].isNull() || !values[keyIndex].isValid()))
            values[keyIndex] = m_attachment.nextGeneratorValue(m_writeTransaction, m_generator);
        Statement write(m_writeTransaction, inserting ? m_insertSql : m_updateSql);
        bindParams(write, true, values, m_originalRow);
        write.execute();
        m_writeTransaction.commit();
    } catch (const Error&) {
        m_writeTransaction.rollback();
        throw;
    }
    m_editRow = values;
    // The row is stored from here on: a failing re-read must not look like a refused write.
    Row fresh;
    std::optional<Error> rereadFailure;
    try {
        if (!readRow(m_refreshSql, values, values, &fresh))
            fresh = values;
    } catch (const Error& e) {
        fresh = values;
        rereadFailure = e;
    }
    m_state = State::Browse;
    m_editRow.clear();
    m_originalRow.clear();
    if (inserting) {
        m_rows.push_back(fresh);
        const int source = static_cast<int>(m_rows.size()) - 1;
        if (m_sortField >= 0 || !rowPassesFilter(source)) {
            beginReset();
            rebuildVisible(keyOf(source));
            endReset();
        } else {
            const int at = m_current < 0 ? rowCount() : m_current + 1;
            if (!m_controlsDisabled)
                emit rowsAboutToBeInserted(at, at);
            m_visible.insert(at, source);
            if (!m_controlsDisabled)
                emit rowsInserted();
            m_current = at;
        }
    } else {
        m_rows[m_visible.at(m_current)] = fresh;
        if (!m_controlsDisabled)
            emit rowChanged(m_current);
    }
    emit stateChanged();
    emit afterPost();
    notifyScroll();
    if (rereadFailure)
        throw StoredButNotReread(*rereadFailure);
}

void Dataset::deleteCurrent() {
    if (m_current < 0)
        m_attachment.raise(Error(QStringLiteral("Нет текущей строки для удаления.")));
    const int source = m_visible.at(m_current);
    try {
        Statement remove(m_writeTransaction, m_deleteSql);
        bindParams(remove, true, m_rows[source], m_rows[source]);
        remove.execute();
        m_writeTransaction.commit();
    } catch (const Error&) {
        m_writeTransaction.rollback();
        throw;
    }
    const int row = m_current;
    if (!m_controlsDisabled)
        emit rowAboutToBeRemoved(row);
    m_rows.erase(m_rows.begin() + source);
    m_visible.removeAt(row);
    for (int& index : m_visible) {
        if (index > source)
            --index;
    }
    if (!m_controlsDisabled)
        emit rowRemoved();
    m_current = m_visible.isEmpty() ? -1 : std::min(row, static_cast<int>(m_visible.size()) - 1);
    notifyScroll();
}

void Dataset::bindParams(Statement& statement, bool fieldsFirst, const Row& values,
                         const Row& oldValues) const {
    QStringList done;
    for (const QString& name : statement.paramNames()) {
        if (done.contains(name))
            continue;
        done << name;
        const int field = values.isEmpty() ? -1 : fieldIndex(name);
        const bool isOld = name.startsWith(QLatin1String("OLD_"));
        const int oldField = (isOld && !oldValues.isEmpty()) ? fieldIndex(name.mid(4)) : -1;
        const bool isParam = m_params.contains(name);
        QVariant value;
        if (fieldsFirst && field >= 0)
            value = values.value(field);
        else if (fieldsFirst && oldField >= 0)
            value = oldValues.value(oldField);
        else if (isParam)
            value = m_params.value(name);
        else if (oldField >= 0)
            value = oldValues.value(oldField);
        else if (field >= 0)
            value = values.value(field);
        else
            m_attachment.raise(Error(QStringLiteral("Не задано значение параметра %1.").arg(name)));
        statement.setParam(name, value);
    }
}

bool Dataset::readRow(const QString& sql, const Row& values, const Row& oldValues, Row* into) {
    if (sql.isEmpty())
        return false;
    Statement reader(m_readTransaction, sql);
    bindParams(reader, false, values, oldValues);
    reader.open();
    if (!reader.fetch())
        return false;
    // The refresh statement has the select's columns; map them by name in case the order
    // differs.
    Row row(m_fields.size());
    for (int i = 0; i < reader.columnCount(); ++i) {
        const int target = fieldIndex(reader.columnName(i));
        if (target >= 0)
            row[target] = reader.value(i);
    }
    reader.close();
    *into = row;
    return true;
}

void Dataset::disableControls() {
    ++m_controlsDisabled;
}

void Dataset::enableControls() {
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0) {
        beginReset();
        endReset();
        notifyScroll();
    }
}

void Dataset::beginReset() {
    if (!m_controlsDisabled)
        emit aboutToReset();
}

void Dataset::endReset() {
    if (!m_controlsDisabled)
        emit resetDone();
}

void Dataset::notifyScroll() {
    if (!m_controlsDisabled)
        emit currentRowChanged(m_current);
    emit afterScroll();
}

} // namespace fb
