#pragma once

#include "fb/dataset.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// One column of a grid over a dataset, as the window designs it.
struct ColumnDef {
    using DisplayFn = std::function<QString(const QVariant& value, const fb::Dataset&, int row)>;

    QString field;
    QString caption;
    Qt::Alignment alignment = Qt::AlignLeft;
    DisplayFn display;  // empty: the value as text (NULL empty, dates as dd.MM.yyyy)
    QColor titleColour; // invalid: the header's own text colour
    int width = 0;      // designed width in pixels; 0: the grid's default
};

// Colours of every cell of one row. A normal row takes background and font; the highlighted
// (selected) row keeps the selection background and takes highlightedFont as its text colour.
struct GridRowColours {
    std::optional<QColor> background;
    std::optional<QColor> font;
    std::optional<QColor> highlightedFont;

    // The usual marking of a row: its background, and as the text colour when highlighted.
    static GridRowColours marked(const QColor& colour) { return {colour, std::nullopt, colour}; }
    bool operator==(const GridRowColours&) const = default;
};

// Ready-made display rules for the common columns.
namespace display {
// Coded integer values: NULL and unknown codes show the empty text.
ColumnDef::DisplayFn codes(const QMap<int, QString>& texts);
// NULL shows nullText, anything else the value as text.
ColumnDef::DisplayFn nullAs(const QString& nullText);
// Dates and date-times in a Qt format, e.g. "dd.MM.yyyy hh:mm "; NULL shows the empty text.
ColumnDef::DisplayFn dateTime(const QString& format);
} // namespace display

// A table model over a live dataset: one row per visible dataset row, columns as designed.
// Rows come in steps as a view asks for them, so a long list opens at once. The row count is
// the one last announced by the dataset's signals, so a view never sees a row that the
// dataset has not reported yet (for instance while it walks a list with its notices frozen).
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        // Text colour of the row when it is the highlighted one (QColor, or nothing).
        HighlightedForegroundRole = Qt::UserRole + 1,
        // The field's value as the dataset holds it.
        FieldValueRole,
    };
    using RowColourFn = std::function<GridRowColours(const fb::Dataset&, int row)>;

    DatasetModel(fb::Dataset* dataset, QList<ColumnDef> columns, QObject* parent = nullptr);

    fb::Dataset* dataset() const { return m_dataset; }
    const QList<ColumnDef>& columns() const { return m_columns; }
    int columnOf(const QString& field) const; // -1 when the grid has no such column
    QString fieldOf(int column) const;

    void setRowColours(RowColourFn colours);
    // Title colours change at run time, e.g. to mark the sort column.
    void setTitleColour(const QString& field, const QColor& colour);
    QColor titleColour(const QString& field) const;

    // Rows read per step while a view scrolls towards the end.
    void setFetchStep(int rows) { m_fetchStep = rows > 0 ? rows : 1; }
    int fetchStep() const { return m_fetchStep; }

    // Repaints every row, e.g. when colours depend on the clock.
    void refreshDisplay();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The display text of a field value by the column's rule.
    QString displayText(int row, int column) const;

private:
    void onAboutToReset();
    void onResetDone();
    void onRowsAboutToBeInserted(int first, int last);
    void onRowsInserted();
    void onRowAboutToBeRemoved(int row);
    void onRowRemoved();
    void onRowChanged(int row);
    void resolveFields();
    int datasetRows() const;

    QPointer<fb::Dataset> m_dataset;
    QList<ColumnDef> m_columns;
    QList<int> m_fieldIndex; // per column; -1 until the dataset knows the field
    RowColourFn m_rowColours;
    int m_rowCount = 0;
    int m_fetchStep = 200;
    bool m_inReset = false;
    bool m_inInsert = false;
    bool m_inRemove = false;
};
