#include "widgets/dataset_model.h"

#include "fb/dataset.h"

#include <QBrush>
#include <QDate>
#include <QDateTime>

namespace {

bool isNullValue(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

QString defaultText(const QVariant& value) {
    if (isNullValue(value))
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    default:
        return value.toString();
    }
}

} // namespace

namespace display {

ColumnDef::DisplayFn codes(const QMap<int, QString>& texts) {
    return [texts](const QVariant& value, const fb::Dataset&, int) {
        if (isNullValue(value))
            return QString();
        bool ok = false;
        const int code = value.toInt(&ok);
        return ok ? texts.value(code) : QString();
    };
}

ColumnDef::DisplayFn nullAs(const QString& nullText) {
    return [nullText](const QVariant& value, const fb::Dataset&, int) {
        return isNullValue(value) ? nullText : defaultText(value);
    };
}

ColumnDef::DisplayFn dateTime(const QString& format) {
    return [format](const QVariant& value, const fb::Dataset&, int) {
        if (isNullValue(value))
            return QString();
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().startOfDay().toString(format);
        return value.toDateTime().toString(format);
    };
}

} // namespace display

DatasetModel::DatasetModel(fb::Dataset* dataset, QList<ColumnDef> columns, QObject* parent)
    : QAbstractTableModel(parent), m_dataset(dataset), m_columns(std::move(columns)) {
    resolveFields();
    m_rowCount = datasetRows();
    if (!dataset)
        return;
    connect(dataset, &fb::Dataset::aboutToReset, this, &DatasetModel::onAboutToReset);
    connect(dataset, &fb::Dataset::resetDone, this, &DatasetModel::onResetDone);
    connect(dataset, &fb::Dataset::rowsAboutToBeInserted, this,
            &DatasetModel::onRowsAboutToBeInserted);
    connect(dataset, &fb::Dataset::rowsInserted, this, &DatasetModel::onRowsInserted);
    connect(dataset, &fb::Dataset::rowAboutToBeRemoved, this, &DatasetModel::onRowAboutToBeRemoved);
    connect(dataset, &fb::Dataset::rowRemoved, this, &DatasetModel::onRowRemoved);
    connect(dataset, &fb::Dataset::rowChanged, this, &DatasetModel::onRowChanged);
    // A dataset that goes first leaves an empty grid behind, not dangling rows.
    connect(dataset, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_rowCount = 0;
        endResetModel();
    });
}

int DatasetModel::columnOf(const QString& field) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString DatasetModel::fieldOf(int column) const {
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).field : QString();
}

void DatasetModel::setRowColours(RowColourFn colours) {
    m_rowColours = std::move(colours);
    refreshDisplay();
}

void DatasetModel::setTitleColour(const QString& field, const QColor& colour) {
    const int column = columnOf(field);
    if (column < 0 || m_columns.at(column).titleColour == colour)
        return;
    m_columns[column].titleColour = colour;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QColor DatasetModel::titleColour(const QString& field) const {
    const int column = columnOf(field);
    return column >= 0 ? m_columns.at(column).titleColour : QColor();
}

void DatasetModel::refreshDisplay() {
    if (m_rowCount > 0 && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(m_rowCount - 1, columnCount() - 1));
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString DatasetModel::displayText(int row, int column) const {
    if (!m_dataset || column < 0 || column >= m_columns.size())
        return QString();
    const QVariant value = m_dataset->value(row, m_fieldIndex.at(column));
    const ColumnDef& def = m_columns.at(column);
    return def.display ? def.display(value, *m_dataset, row) : defaultText(value);
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const int row = index.row();
    const int column = index.column();
    if (!m_dataset || row >= m_dataset->rowCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(row, column);
    case FieldValueRole:
        return m_dataset->value(row, m_fieldIndex.at(column));
    case Qt::TextAlignmentRole: {
        Qt::Alignment alignment = m_columns.at(column).alignment;
        if (!(alignment & Qt::AlignVertical_Mask))
            alignment |= Qt::AlignVCenter;
        return QVariant::fromValue(alignment);
    }
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case HighlightedForegroundRole: {
        if (!m_rowColours)
            return QVariant();
        const GridRowColours colours = m_rowColours(*m_dataset, row);
        const std::optional<QColor>& colour = role == Qt::BackgroundRole ? colours.background
                                              : role == Qt::ForegroundRole
                                                  ? colours.font
                                                  : colours.highlightedFont;
        if (!colour)
            return QVariant();
        if (role == HighlightedForegroundRole)
            return *colour;
        return QBrush(*colour);
    }
    default:
        return QVariant();
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QVariant();
    const ColumnDef& def = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole:
        return def.caption;
    case Qt::ForegroundRole:
        return def.titleColour.isValid() ? QVariant(QBrush(def.titleColour)) : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool DatasetModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_dataset && !m_inReset && !m_inInsert && !m_inRemove &&
           m_dataset->canFetchMore();
}

void DatasetModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        m_dataset->fetchMore(m_fetchStep);
}

void DatasetModel::onAboutToReset() {
    if (m_inReset)
        return;
    m_inReset = true;
    beginResetModel();
}

void DatasetModel::onResetDone() {
    if (!m_inReset)
        beginResetModel();
    resolveFields();
    m_rowCount = datasetRows();
    // Views told of the change may ask for more rows at once; they get them after this change.
    endResetModel();
    m_inReset = false;
}

void DatasetModel::onRowsAboutToBeInserted(int first, int last) {
    // Rows announced out of step with what the views know are taken as a reset.
    if (first < 0 || first > m_rowCount || last < first) {
        onAboutToReset();
        return;
    }
    m_inInsert = true;
    beginInsertRows(QModelIndex(), first, last);
}

void DatasetModel::onRowsInserted() {
    if (!m_inInsert) {
        onResetDone();
        return;
    }
    m_rowCount = datasetRows();
    endInsertRows();
    m_inInsert = false;
}

void DatasetModel::onRowAboutToBeRemoved(int row) {
    if (row < 0 || row >= m_rowCount) {
        onAboutToReset();
        return;
    }
    m_inRemove = true;
    beginRemoveRows(QModelIndex(), row, row);
}

void DatasetModel::onRowRemoved() {
    if (!m_inRemove) {
        onResetDone();
        return;
    }
    m_rowCount = datasetRows();
    endRemoveRows();
    m_inRemove = false;
}

void DatasetModel::onRowChanged(int row) {
    if (row >= 0 && row < m_rowCount && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DatasetModel::resolveFields() {
    m_fieldIndex.clear();
    for (const ColumnDef& def : m_columns)
        m_fieldIndex << (m_dataset ? m_dataset->fieldIndex(def.field) : -1);
}

int DatasetModel::datasetRows() const {
    return m_dataset ? m_dataset->rowCount() : 0;
}
