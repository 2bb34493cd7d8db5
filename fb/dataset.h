#pragma once

#include "fb/transaction.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

namespace fb {

class Attachment;
class Statement;

// A live list over one select statement: rows are fetched on demand, one row is current, a
// local filter and sort may hide and order rows, and rows are inserted, edited and deleted
// through the given statements, each change committed at once and the changed row re-read.
//
// Parameters of the statements are resolved by name. In the select and refresh statements a
// name is first a parameter set with setParam (a master's key), then OLD_<field>, then a field
// of the current row. In insert, update and delete statements a field comes first, then
// OLD_<field> (the value as read before editing), then a parameter set with setParam.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Insert, Edit };
    using Filter = std::function<bool(const Dataset&, int sourceRow)>;

    explicit Dataset(Attachment& attachment, QObject* parent = nullptr);
    ~Dataset() override;

    void setSelectSql(const QString& sql) { m_selectSql = sql; }
    void setRefreshSql(const QString& sql) { m_refreshSql = sql; }
    void setInsertSql(const QString& sql) { m_insertSql = sql; }
    void setUpdateSql(const QString& sql) { m_updateSql = sql; }
    void setDeleteSql(const QString& sql) { m_deleteSql = sql; }
    void setKeyField(const QString& field) { m_keyField = field.toUpper(); }
    void setGenerator(const QString& generator) { m_generator = generator; }
    // Rows fetched per step while a view asks for more (0: fetch everything on open).
    void setFetchStep(int rows) { m_fetchStep = rows; }
    // What one step reads when no step was set: enough for a screen many times over.
    static constexpr int kDefaultFetchStep = 1000;
    int fetchStep() const { return m_fetchStep > 0 ? m_fetchStep : kDefaultFetchStep; }
    const QString& selectSql() const { return m_selectSql; }

    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const { return m_params.value(name.toUpper()); }

    void open();
    void close();
    // Reads the whole list again, keeping the current row (by key) where it can.
    void refresh();
    // Reads the current row again.
    void refreshCurrent();
    // Forgets every row, those still to be read included, and stays open with none: for a list
    // whose rows were all deleted by one statement of their own.
    void clearRows();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    bool canFetchMore() const;
    void fetchMore(int rows);
    void fetchAll();

    // Fields.
    const QStringList& fieldNames() const { return m_fields; }
    int fieldIndex(const QString& name) const; // -1 when absent

    // Visible rows (after filter and sort). rowCount counts the rows fetched so far.
    int rowCount() const { return static_cast<int>(m_visible.size()); }
    bool isEmpty() const; // fetches the first row if needed
    QVariant value(int row, int field) const;
    QVariant value(int row, const QString& field) const;
    int sourceRow(int row) const { return m_visible.value(row, -1); }
    QVariant sourceValue(int sourceRow, int field) const;
    QVariant sourceValue(int sourceRow, const QString& field) const;

    // The current row (-1 when the list shows no rows).
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    void first() { setCurrentRow(rowCount() > 0 ? 0 : -1); }
    void next();
    void prior();
    QVariant fieldValue(const QString& field) const; // current row (or the row being edited)
    // Moves to the first visible row whose field equals value; false (and no move) if none.
    bool locate(const QString& field, const QVariant& value, bool caseInsensitive = false);

    // Local filter and sort; both keep the current row by key where they can.
    void setFilter(Filter filter);
    void clearFilter() { setFilter(Filter()); }
    bool isFiltered() const { return static_cast<bool>(m_filter); }
    void setSort(const QString& field, bool ascending = true);
    void clearSort();

    // Editing. post() writes, commits and re-reads the row; on failure the dataset stays in
    // Insert/Edit state with the values set, so the caller can cancel() or correct them.
    void append();
    void edit();
    void setFieldValue(const QString& field, const QVariant& value);
    void post();
    void cancel();
    void deleteCurrent();

    // Freezes change notices during a long walk (the views reset once afterwards).
    void disableControls();
    void enableControls();

signals:
    void aboutToReset();
    void resetDone();
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted();
    void rowAboutToBeRemoved(int row);
    void rowRemoved();
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged();
    void afterScroll();
    void afterPost();

private:
    using Row = QVector<QVariant>;

    int fetchInto(std::vector<Row>& into, int limit);
    void shareTexts(Row& row);
    void rebuildVisible(const QVariant& keepKey);
    bool rowPassesFilter(int sourceRow) const;
    QVariant keyOf(int sourceRow) const;
    QVariant currentKey() const; // empty when no row is current
    // The visible rows laid out again after the filter or the order changed, on the row with
    // that key if it is still visible.
    void showAgain(const QVariant& key);
    void bindParams(Statement& statement, bool fieldsFirst, const Row& values,
                    const Row& oldValues) const;
    bool readRow(const QString& sql, const Row& values, const Row& oldValues, Row* into);
    void beginReset();
    void endReset();
    void notifyScroll();

    Attachment& m_attachment;
    Transaction m_readTransaction;
    Transaction m_writeTransaction;
    std::unique_ptr<Statement> m_cursor;
    QString m_selectSql, m_refreshSql, m_insertSql, m_updateSql, m_deleteSql;
    QString m_keyField = QStringLiteral("ID");
    QString m_generator;
    int m_fetchStep = 0;
    QHash<QString, QVariant> m_params;
    QStringList m_fields;
    QHash<QString, int> m_fieldIndex;
    std::vector<Row> m_rows;
    QHash<QString, QVariant> m_sharedTexts; // one copy of each short text of the rows read
    QVector<int> m_visible;
    int m_current = -1;
    State m_state = State::Inactive;
    Row m_editRow;     // values while inserting or editing
    Row m_originalRow; // values as read, for OLD_ parameters
    Filter m_filter;
    int m_sortField = -1;
    bool m_sortAscending = true;
    int m_controlsDisabled = 0;
};

} // namespace fb
