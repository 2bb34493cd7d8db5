#pragma once

#include "core/form_state.h"
#include "widgets/dataset_model.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableView>

class Dialogs;
class QListWidget;
class QToolButton;

// Paints the row colours of a DatasetModel: a normal row takes its background and font colour;
// the highlighted row keeps the selection background and takes the row's highlighted font
// colour. The current cell gets no focus frame of its own, so the row reads as one line.
class RowColourDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // The option a cell is painted with (for checks of the colour rule).
    QStyleOptionViewItem styleOptionFor(const QModelIndex& index, const QStyleOptionViewItem& base);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// Lets the user tick the columns a grid shows. OK refuses to close with nothing ticked.
class ColumnChooserDialog : public QDialog {
    Q_OBJECT
public:
    // Captions in the order the grid shows them; dialogs: where the refusal is said.
    ColumnChooserDialog(const QStringList& captions, const QList<bool>& visible, Dialogs* dialogs,
                        QWidget* parent = nullptr);

    int count() const;
    QString caption(int item) const;
    bool isChecked(int item) const;
    void setChecked(int item, bool checked);
    QList<bool> checkedStates() const;
    QListWidget* list() const { return m_list; }

    void accept() override;

private:
    QListWidget* m_list = nullptr;
    Dialogs* m_dialogs = nullptr;
};

// The program's data grid: a read-only view of a DatasetModel with whole-row single selection
// that follows the dataset's current row (and moves it), the selection kept visible without
// focus, resizable and movable columns, a column chooser behind the arrow in the top-left
// corner, title clicks for sorting, and a column layout that windows store with their state.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    DataGrid(DatasetModel* model, Dialogs* dialogs, QWidget* parent = nullptr);

    // Binds the grid to a model; the columns take their designed order and widths.
    void setDatasetModel(DatasetModel* model);
    DatasetModel* datasetModel() const { return m_model; }
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }
    Dialogs* dialogs() const { return m_dialogs; }

    // The popup shown on a right click (after the row under the mouse became current).
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    QMenu* contextMenu() const { return m_contextMenu; }

    QToolButton* columnChooserButton() const { return m_chooserButton; }
    // Opens the column chooser; true when the user confirmed a choice.
    bool chooseColumns();

    // Columns by field name.
    QString fieldAt(int logicalColumn) const;
    int columnOf(const QString& field) const;
    bool isColumnVisible(const QString& field) const;
    void setColumnVisible(const QString& field, bool visible);
    QStringList visualFields() const; // fields in the order shown, hidden ones included

    // The layout per field: its position among the columns and its width (-1: hidden).
    QMap<QString, ColumnState> columnLayout() const;
    // The designed layout, overridden by the stored values: a column without a stored value
    // keeps its designed width and position, the stored columns go to their stored places.
    void applyColumnLayout(const QMap<QString, ColumnState>& layout);
    void resetColumnLayout();
    void saveTo(FormState& state, const QString& gridName) const;
    void restoreFrom(const FormState& state, const QString& gridName);

    // The dataset row shown as selected (-1: none).
    int selectedRow() const;

signals:
    // A double click with the left button anywhere in the grid, on a row or on the empty
    // space below the rows (the view itself signals only clicks on a cell).
    void doubleClickedAnywhere();
    // A double click on a title gives titleClicked for its first click, then titleDoubleClicked.
    void titleClicked(const QString& field);
    void titleDoubleClicked(const QString& field);
    void rowDoubleClicked(int row);

protected:
    void updateGeometries() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void setupView();
    void followDatasetRow(int row);
    void onCurrentIndexChanged(const QModelIndex& current);
    int designWidth(int column) const;
    int anchorColumn() const;

    QPointer<DatasetModel> m_model;
    Dialogs* m_dialogs = nullptr;
    QPointer<QMenu> m_contextMenu;
    QToolButton* m_chooserButton = nullptr;
    QList<QMetaObject::Connection> m_modelConnections;
    bool m_syncing = false;
    bool m_titleDoubleClicked = false;
};
