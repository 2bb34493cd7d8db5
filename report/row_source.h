#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace report {

// What a report reads from a list: named fields, a number of rows and a value per row and
// field. The engine reads rows by index and never moves the source's current row, so a window
// whose list is printed stays where it was.
class RowSource {
public:
    virtual ~RowSource() = default;

    virtual QStringList fieldNames() const = 0;
    virtual int rowCount() const = 0;
    virtual QVariant value(int row, int field) const = 0;
    // The row the list shows as current (-1: none); informational for the engine.
    virtual int currentRow() const { return -1; }

    // Field names are compared without regard to case; -1 when the source lacks the field.
    int fieldIndex(const QString& name) const;
};

// Rows held in memory: for tests, benchmarks and lists built without a database.
class TableRowSource : public RowSource {
public:
    explicit TableRowSource(QStringList fields = {}) : m_fields(std::move(fields)) {}

    void setFields(const QStringList& fields) { m_fields = fields; }
    void addRow(QVector<QVariant> row) { m_rows.push_back(std::move(row)); }
    void reserve(int rows) { m_rows.reserve(rows); }
    void setCurrentRow(int row) { m_current = row; }

    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    QVariant value(int row, int field) const override;
    int currentRow() const override { return m_current; }

private:
    QStringList m_fields;
    QVector<QVector<QVariant>> m_rows;
    int m_current = -1;
};

} // namespace report
