#include "books/organization_form.h"

#include "store/organizations.h"

#include "books/books_environment.h"
#include "books/grid_columns.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/form_parts.h"
#include "widgets/window_state.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString kStatePath = QStringLiteral("CASH\\");

} // namespace

TOrganization_Form::TOrganization_Form(BooksEnvironment& env, QWidget* parent)
    : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("TOrganization_Form"));
    setWindowTitle(QStringLiteral("Организации"));

    DataSet_O = new fb::Dataset(env.attachment, this);
    DataSet_O->setObjectName(QStringLiteral("DataSet_O"));
    DataSet_O->setSelectSql(store::organizations::pickerSelect());
    QList<ColumnDef> columns{{QStringLiteral("NAME"),
                              QStringLiteral("Наименовние организации"),
                              Qt::AlignLeft,
                              {},
                              {},
                              320}};
    columns.append(grid_columns::taxSystems());
    model = new DatasetModel(DataSet_O, columns, this);
    // ID 0 is the database's service record; it stands out from the clients.
    model->setRowColours([](const fb::Dataset& d, int row) {
        const QVariant id = d.value(row, QStringLiteral("ID"));
        if (!id.isNull() && id.toInt() == 0)
            return GridRowColours{QColor(198, 244, 216), std::nullopt, QColor(192, 243, 187)};
        return GridRowColours{};
    });

    auto* layout = new QVBoxLayout(this);
    ToolBar_Main = new QToolBar(this);
    ToolBar_Main->setObjectName(QStringLiteral("ToolBar_Main"));
    layout->addWidget(ToolBar_Main);

    auto* header = new QHBoxLayout;
    Label_Header = form_parts::headerLabel(QStringLiteral("Обслуживаемые организации"), this);
    header->addWidget(Label_Header, 1);
    Label_Count = new QLabel(this);
    Label_Count->setObjectName(QStringLiteral("Label_Count"));
    QFont bold = Label_Count->font();
    bold.setBold(true);
    Label_Count->setFont(bold);
    QPalette countPalette = Label_Count->palette();
    countPalette.setColor(QPalette::WindowText, QColor(91, 249, 134));
    Label_Count->setPalette(countPalette);
    header->addWidget(Label_Count);
    layout->addLayout(header);

    GB_Filter =
        new QGroupBox(QStringLiteral("  Как отфильтровать отчётность в главном окне ?"), this);
    GB_Filter->setObjectName(QStringLiteral("GB_Filter"));
    auto* filterLayout = new QVBoxLayout(GB_Filter);
    RBtn_Any = new QRadioButton(QStringLiteral("Любая организация"), GB_Filter);
    RBtn_Any->setObjectName(QStringLiteral("RBtn_Any"));
    RBtn_None = new QRadioButton(QStringLiteral("Без организации"), GB_Filter);
    RBtn_None->setObjectName(QStringLiteral("RBtn_None"));
    RBtn_Select = new QRadioButton(QStringLiteral("Выбранная организация"), GB_Filter);
    RBtn_Select->setObjectName(QStringLiteral("RBtn_Select"));
    RBtn_Select->setChecked(true);
    filterLayout->addWidget(RBtn_Any);
    filterLayout->addWidget(RBtn_None);
    filterLayout->addWidget(RBtn_Select);
    layout->addWidget(GB_Filter);

    layout->addWidget(new QLabel(QStringLiteral("Поиск по наименованию :"), this));
    Edit_Search = new QLineEdit(this);
    Edit_Search->setObjectName(QStringLiteral("Edit_Search"));
    Edit_Search->setMaxLength(64);
    layout->addWidget(Edit_Search);

    DBGrid_Org = new DataGrid(model, &env.dialogs, this);
    DBGrid_Org->setObjectName(QStringLiteral("DBGrid_Org"));
    layout->addWidget(DBGrid_Org, 1);

    const auto row =
        form_parts::addButtonRow(layout, this, QStringLiteral("Выбор"), QStringLiteral("Закрыть"));
    Btn_OK = row.ok;
    Btn_Cancel = row.cancel;
    resize(820, 560);

    connect(RBtn_Any, &QRadioButton::clicked, this, &TOrganization_Form::RBtn_AnyClick);
    connect(RBtn_None, &QRadioButton::clicked, this, &TOrganization_Form::RBtn_AnyClick);
    connect(RBtn_Select, &QRadioButton::clicked, this, &TOrganization_Form::RBtn_SelectClick);
    connect(Edit_Search, &QLineEdit::textChanged, this, &TOrganization_Form::Edit_SearchChange);
    Edit_Search->installEventFilter(this);
    connect(Btn_OK, &QPushButton::clicked, this, &TOrganization_Form::Btn_OKClick);
    // A double click reaches the refusal of an empty list even while Btn_OK is disabled.
    connect(DBGrid_Org, &DataGrid::doubleClickedAnywhere, this, [this] {
        if (!Btn_OK->isHidden())
            Btn_OKClick();
    });
    connect(DataSet_O, &fb::Dataset::afterScroll, this, &TOrganization_Form::DataSet_OAfterScroll);

    // This picker keeps no layout; its section only carries the storage's mark.
    window_state::restore(env.settings, kStatePath, env.dialogs, this, {});
    DataSet_O->open();
}

TOrganization_Form::~TOrganization_Form() = default;

QVariant TOrganization_Form::selectedId() const {
    return DataSet_O->currentRow() >= 0 ? DataSet_O->fieldValue(QStringLiteral("ID")) : QVariant();
}

QString TOrganization_Form::selectedName() const {
    return DataSet_O->fieldValue(QStringLiteral("NAME")).toString();
}

void TOrganization_Form::RBtn_AnyClick() {
    form_parts::enableSearch(Edit_Search, DBGrid_Org, false);
}

void TOrganization_Form::RBtn_SelectClick() {
    form_parts::enableSearch(Edit_Search, DBGrid_Org, true);
}

void TOrganization_Form::Edit_SearchChange() {
    const QString search = Edit_Search->text().toLower();
    if (search.isEmpty()) {
        DataSet_O->clearFilter();
        return;
    }
    const int nameField = DataSet_O->fieldIndex(QStringLiteral("NAME"));
    DataSet_O->setFilter([search, nameField](const fb::Dataset& d, int sourceRow) {
        return d.sourceValue(sourceRow, nameField).toString().toLower().contains(search);
    });
}

void TOrganization_Form::DataSet_OAfterScroll() {
    Btn_OK->setEnabled(DataSet_O->rowCount() > 0);
    Label_Count->setText(QStringLiteral("Всего организаций ( %1 )  ").arg(DataSet_O->rowCount()));
}

void TOrganization_Form::Btn_OKClick() {
    if (RBtn_Select->isChecked() && DataSet_O->isEmpty()) {
        m_env.dialogs.warning(this, QStringLiteral("Нет такой организации для фильтрации."),
                              windowTitle());
        return;
    }
    accept();
}

void TOrganization_Form::done(int result) {
    window_state::save(m_env.settings, kStatePath, m_env.dialogs, this, {});
    QDialog::done(result);
}

void TOrganization_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (RBtn_Any->isChecked() && !GB_Filter->isHidden())
        RBtn_AnyClick();
}

bool TOrganization_Form::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_Search && form_parts::stepOnArrowKey(event, *DataSet_O))
        return true;
    return QDialog::eventFilter(watched, event);
}
