#include "widgets/data_grid.h"

#include "fb/dataset.h"
#include "widgets/dialogs.h"

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kChooserCaption = "Настройка видимых колонок";
const char* const kNoColumnWarning = "Хотя бы одна колонка должна быть видимой";

// The narrow column left of the rows: it carries the column chooser's arrow in its title cell
// and marks the current row with a small triangle.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(DataGrid* grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid) {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(false);
        setHighlightSections(false);
    }

    static constexpr int kWidth = 14;

    QSize sizeHint() const override { return {kWidth, QHeaderView::sizeHint().height()}; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        // The style may leave a clip behind that would hide the marker.
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (logicalIndex != m_grid->selectedRow())
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QPointF centre = QRectF(rect).center();
        QPainterPath triangle;
        triangle.moveTo(centre.x() - 2.5, centre.y() - 4);
        triangle.lineTo(centre.x() + 2.5, centre.y());
        triangle.lineTo(centre.x() - 2.5, centre.y() + 4);
        triangle.closeSubpath();
        painter->fillPath(triangle, palette().color(QPalette::ButtonText));
        painter->restore();
    }

private:
    DataGrid* m_grid;
};

// Used when a window gave the grid no dialogs service.
Dialogs& fallbackDialogs() {
    static QtDialogs dialogs;
    return dialogs;
}

} // namespace

// --- RowColourDelegate ---

QStyleOptionViewItem RowColourDelegate::styleOptionFor(const QModelIndex& index,
                                                       const QStyleOptionViewItem& base) {
    QStyleOptionViewItem option = base;
    initStyleOption(&option, index);
    return option;
}

void RowColourDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~QStyle::State_HasFocus;
    if (!(option->state & QStyle::State_Selected))
        return;
    // The selection colour stays the background of the highlighted row; the row's own marking
    // moves to its text.
    option->backgroundBrush = QBrush();
    const QVariant font = index.data(DatasetModel::HighlightedForegroundRole);
    if (font.canConvert<QColor>() && font.value<QColor>().isValid()) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            option->palette.setColor(group, QPalette::HighlightedText, font.value<QColor>());
    }
}

// --- ColumnChooserDialog ---

ColumnChooserDialog::ColumnChooserDialog(const QStringList& captions, const QList<bool>& visible,
                                         Dialogs* dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setWindowTitle(QString::fromUtf8(kChooserCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    for (int i = 0; i < captions.size(); ++i) {
        auto* item = new QListWidgetItem(captions.at(i), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(visible.value(i, true) ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ColumnChooserDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ColumnChooserDialog::reject);
    layout->addWidget(buttons);
    const int rows = std::clamp(static_cast<int>(captions.size()), 4, 14);
    resize(340, rows * m_list->fontMetrics().height() * 3 / 2 + 90);
}

int ColumnChooserDialog::count() const {
    return m_list->count();
}

QString ColumnChooserDialog::caption(int item) const {
    return m_list->item(item) ? m_list->item(item)->text() : QString();
}

bool ColumnChooserDialog::isChecked(int item) const {
    return m_list->item(item) && m_list->item(item)->checkState() == Qt::Checked;
}

void ColumnChooserDialog::setChecked(int item, bool checked) {
    if (m_list->item(item))
        m_list->item(item)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QList<bool> ColumnChooserDialog::checkedStates() const {
    QList<bool> states;
    for (int i = 0; i < count(); ++i)
        states << isChecked(i);
    return states;
}

void ColumnChooserDialog::accept() {
    if (!checkedStates().contains(true)) {
        Dialogs& dialogs = m_dialogs ? *m_dialogs : fallbackDialogs();
        dialogs.warning(this, QString::fromUtf8(kNoColumnWarning),
                        QString::fromUtf8(kChooserCaption));
        return;
    }
    QDialog::accept();
}

// --- DataGrid ---

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setupView();
}

DataGrid::DataGrid(DatasetModel* model, Dialogs* dialogs, QWidget* parent)
    : QTableView(parent), m_dialogs(dialogs) {
    setupView();
    setDatasetModel(model);
}

void DataGrid::setupView() {
    setVerticalHeader(new IndicatorHeader(this));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setItemDelegate(new RowColourDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A double click on a title is one click and one double click, as the second press is the
    // double click: the release that follows it is not another click.
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_titleDoubleClicked) {
            m_titleDoubleClicked = false;
            return;
        }
        emit titleClicked(fieldAt(section));
    });
    connect(header, &QHeaderView::sectionDoubleClicked, this, [this](int section) {
        m_titleDoubleClicked = true;
        emit titleDoubleClicked(fieldAt(section));
    });
    connect(header, &QHeaderView::sectionPressed, this,
            [this](int) { m_titleDoubleClicked = false; });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit rowDoubleClicked(index.row());
    });

    // The selection stays in its colours when the grid loses the focus.
    QPalette pal = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);

    m_chooserButton = new QToolButton(this);
    m_chooserButton->setObjectName(QStringLiteral("columnChooserButton"));
    m_chooserButton->setArrowType(Qt::DownArrow);
    m_chooserButton->setAutoRaise(false);
    m_chooserButton->setFocusPolicy(Qt::NoFocus);
    m_chooserButton->setToolTip(QString::fromUtf8(kChooserCaption));
    connect(m_chooserButton, &QToolButton::clicked, this, [this] { chooseColumns(); });
}

void DataGrid::setDatasetModel(DatasetModel* model) {
    for (const auto& connection : m_modelConnections)
        disconnect(connection);
    m_modelConnections.clear();
    m_model = model;
    setModel(model);
    if (!model)
        return;
    m_modelConnections << connect(
        selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current, const QModelIndex&) { onCurrentIndexChanged(current); });
    m_modelConnections << connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_model && m_model->dataset())
            followDatasetRow(m_model->dataset()->currentRow());
    });
    if (fb::Dataset* dataset = model->dataset()) {
        m_modelConnections << connect(dataset, &fb::Dataset::currentRowChanged, this,
                                      &DataGrid::followDatasetRow);
    }
    resetColumnLayout();
    if (model->dataset())
        followDatasetRow(model->dataset()->currentRow());
}

QString DataGrid::fieldAt(int logicalColumn) const {
    return m_model ? m_model->fieldOf(logicalColumn) : QString();
}

int DataGrid::columnOf(const QString& field) const {
    return m_model ? m_model->columnOf(field) : -1;
}

bool DataGrid::isColumnVisible(const QString& field) const {
    const int column = columnOf(field);
    return column >= 0 && !isColumnHidden(column);
}

void DataGrid::setColumnVisible(const QString& field, bool visible) {
    const int column = columnOf(field);
    if (column < 0)
        return;
    setColumnHidden(column, !visible);
    if (visible && columnWidth(column) <= 0)
        setColumnWidth(column, designWidth(column));
}

QStringList DataGrid::visualFields() const {
    QStringList fields;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual)
        fields << fieldAt(header->logicalIndex(visual));
    return fields;
}

int DataGrid::selectedRow() const {
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    return current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex())
               ? current.row()
               : -1;
}

bool DataGrid::chooseColumns() {
    if (!m_model)
        return false;
    const QHeaderView* header = horizontalHeader();
    QStringList captions;
    QList<bool> visible;
    QList<int> logical;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        logical << column;
        captions << m_model->columns().at(column).caption;
        visible << !isColumnHidden(column);
    }
    ColumnChooserDialog dialog(captions, visible, m_dialogs, this);
    Dialogs& dialogs = m_dialogs ? *m_dialogs : fallbackDialogs();
    if (dialogs.exec(dialog) != QDialog::Accepted)
        return false;
    const QList<bool> checked = dialog.checkedStates();
    for (int i = 0; i < logical.size(); ++i)
        setColumnVisible(fieldAt(logical.at(i)), checked.value(i, true));
    return true;
}

QMap<QString, ColumnState> DataGrid::columnLayout() const {
    QMap<QString, ColumnState> layout;
    if (!m_model)
        return layout;
    const QHeaderView* header = horizontalHeader();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        ColumnState state;
        state.position = header->visualIndex(column);
        state.width = isColumnHidden(column) ? -1 : columnWidth(column);
        layout.insert(fieldAt(column), state);
    }
    return layout;
}

void DataGrid::resetColumnLayout() {
    if (!m_model)
        return;
    QHeaderView* header = horizontalHeader();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        header->moveSection(header->visualIndex(column), column);
        setColumnHidden(column, false);
        setColumnWidth(column, designWidth(column));
    }
}

void DataGrid::applyColumnLayout(const QMap<QString, ColumnState>& layout) {
    if (!m_model)
        return;
    resetColumnLayout();
    struct Place {
        int key;
        bool stored;
        int column;
    };
    QList<Place> places;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const auto found = layout.constFind(fieldAt(column));
        if (found == layout.constEnd()) {
            places << Place{column, false, column};
            continue;
        }
        places << Place{found->position, true, column};
        if (found->width < 0)
            setColumnHidden(column, true);
        else if (found->width > 0)
            setColumnWidth(column, found->width);
    }
    // A column without a stored value keeps its designed place; on a tie it goes first, so the
    // stored columns close up around it.
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return !a.stored && b.stored;
    });
    QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < places.size(); ++visual)
        header->moveSection(header->visualIndex(places.at(visual).column), visual);
}

void DataGrid::saveTo(FormState& state, const QString& gridName) const {
    state.grids.insert(gridName, columnLayout());
}

void DataGrid::restoreFrom(const FormState& state, const QString& gridName) {
    applyColumnLayout(state.grids.value(gridName));
}

int DataGrid::designWidth(int column) const {
    if (!m_model || column < 0 || column >= m_model->columnCount())
        return horizontalHeader()->defaultSectionSize();
    const ColumnDef& def = m_model->columns().at(column);
    if (def.width > 0)
        return def.width;
    return std::max(60, horizontalHeader()->fontMetrics().horizontalAdvance(def.caption) + 36);
}

int DataGrid::anchorColumn() const {
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    if (current.isValid() && !isColumnHidden(current.column()))
        return current.column();
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!isColumnHidden(column))
            return column;
    }
    return 0;
}

void DataGrid::followDatasetRow(int row) {
    if (m_syncing || !m_model || !selectionModel())
        return;
    m_syncing = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row, anchorColumn());
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        scrollTo(index);
    }
    m_syncing = false;
    verticalHeader()->viewport()->update();
}

void DataGrid::onCurrentIndexChanged(const QModelIndex& current) {
    verticalHeader()->viewport()->update();
    if (m_syncing || !current.isValid() || !m_model || !m_model->dataset())
        return;
    m_syncing = true;
    m_model->dataset()->setCurrentRow(current.row());
    m_syncing = false;
}

QItemSelectionModel::SelectionFlags DataGrid::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
    // One row is always selected: a click beside the rows or a Ctrl+click on the selected row
    // leaves the selection as it is.
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const auto flags = QTableView::selectionCommand(index, event);
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return flags;
}

void DataGrid::updateGeometries() {
    QTableView::updateGeometries();
    if (!m_chooserButton)
        return;
    const int frame = frameWidth();
    m_chooserButton->setGeometry(frame, frame, verticalHeader()->width(),
                                 horizontalHeader()->height());
    m_chooserButton->setVisible(horizontalHeader()->isVisible());
    m_chooserButton->raise();
}

void DataGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_contextMenu) {
        QTableView::contextMenuEvent(event);
        return;
    }
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    }
    m_contextMenu->popup(event->globalPos());
    event->accept();
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClickedAnywhere();
}
