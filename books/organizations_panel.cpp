#include "books/organizations_panel.h"

#include "books/name_check.h"
#include "store/organizations.h"

#include "books/grid_columns.h"
#include "books/organization_ae_form.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "widgets/caption_strip.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/form_parts.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStringList>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {} // namespace

OrganizationsPanel::OrganizationsPanel(fb::Attachment& attachment, Dialogs* dialogs,
                                       QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Panel_Organizations"));
    qOrgan = new fb::Dataset(attachment, this);
    qOrgan->setObjectName(QStringLiteral("qOrgan"));
    store::bind(*qOrgan, store::organizations::list());

    QList<ColumnDef> columns{{QStringLiteral("NAME"),
                              QStringLiteral("Наименование организации"),
                              Qt::AlignLeft,
                              {},
                              {},
                              300}};
    columns.append(grid_columns::taxSystems());
    columns.append({QStringLiteral("REQ_INN"), QStringLiteral("ИНН"), Qt::AlignLeft, {}, {}, 110});
    columns.append({QStringLiteral("REQ_KPP"), QStringLiteral("КПП"), Qt::AlignLeft, {}, {}, 100});
    model = new DatasetModel(qOrgan, columns, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new CaptionStrip(QStringLiteral(
        "  Список обслуживаемых организаций - щёлкните по организации, чтобы посмотреть "
        "привязанные к ней отчёты")));

    PM_Org = new QMenu(this);
    PM_Org->setObjectName(QStringLiteral("PM_Org"));
    PM_Org_Add = PM_Org->addAction(style()->standardIcon(QStyle::SP_FileDialogNewFolder),
                                   QStringLiteral("Добавить новую организацию ..."));
    PM_Org_Add->setObjectName(QStringLiteral("PM_Org_Add"));
    PM_Org_Add->setShortcut(QKeySequence(Qt::Key_Insert));
    PM_Org_Edit = PM_Org->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                    QStringLiteral("Отредактировать организацию ..."));
    PM_Org_Edit->setObjectName(QStringLiteral("PM_Org_Edit"));
    PM_Org_Edit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    PM_Org->addSeparator();
    PM_Org_Del = PM_Org->addAction(style()->standardIcon(QStyle::SP_TrashIcon),
                                   QStringLiteral("Удалить организацию ..."));
    PM_Org_Del->setObjectName(QStringLiteral("PM_Org_Del"));
    PM_Org_Del->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction* action : PM_Org->actions())
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(PM_Org, &QMenu::aboutToShow, this, &OrganizationsPanel::PM_OrgPopup);
    connect(PM_Org_Add, &QAction::triggered, this, &OrganizationsPanel::PM_Org_AddClick);
    connect(PM_Org_Edit, &QAction::triggered, this, &OrganizationsPanel::PM_Org_EditClick);
    connect(PM_Org_Del, &QAction::triggered, this, &OrganizationsPanel::PM_Org_DelClick);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    const auto tools = form_parts::panelToolBar(this, "TB_Organization", "TBtn_OrgAction",
                                                QStringLiteral("Действия над организациями"),
                                                PM_Org, "TBtn_OrganRefresh");
    TBtn_OrgAction = tools.action;
    TBtn_OrganRefresh = tools.refresh;
    connect(TBtn_OrganRefresh, &QToolButton::clicked, this, [this] { qOrgan->refresh(); });
    auto* toolbar = tools.bar;
    body->addWidget(toolbar);

    splitter = new QSplitter(Qt::Horizontal, this);
    DBGrid_Organs = new DataGrid(model, dialogs, splitter);
    DBGrid_Organs->setObjectName(QStringLiteral("DBGrid_Organs"));
    DBGrid_Organs->setContextMenu(PM_Org);
    DBGrid_Organs->addActions(PM_Org->actions());
    Panel_OrgComments = new QWidget(splitter);
    Panel_OrgComments->setObjectName(QStringLiteral("Panel_OrgComments"));
    auto* commentsLayout = new QVBoxLayout(Panel_OrgComments);
    commentsLayout->setContentsMargins(0, 0, 0, 0);
    Memo_Comments = new QPlainTextEdit(Panel_OrgComments);
    Memo_Comments->setObjectName(QStringLiteral("Memo_Comments"));
    Memo_Comments->setReadOnly(true);
    commentsLayout->addWidget(Memo_Comments);
    splitter->addWidget(DBGrid_Organs);
    splitter->addWidget(Panel_OrgComments);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({700, 250});
    body->addWidget(splitter, 1);
    layout->addLayout(body, 1);

    connect(DBGrid_Organs, &DataGrid::rowDoubleClicked, this, [this] {
        if (hasRows())
            PM_Org_EditClick();
    });
    connect(qOrgan, &fb::Dataset::afterScroll, this, &OrganizationsPanel::showComments);
    // The shortcuts of the popup work outside it: their state follows the list.
    for (auto signal : {&fb::Dataset::afterScroll, &fb::Dataset::resetDone,
                        &fb::Dataset::rowRemoved, &fb::Dataset::rowsInserted})
        connect(qOrgan, signal, this, &OrganizationsPanel::PM_OrgPopup);
    connect(qOrgan, &fb::Dataset::afterPost, this, &OrganizationsPanel::showComments);
}

OrganizationsPanel::~OrganizationsPanel() = default;

void OrganizationsPanel::open() {
    qOrgan->open();
    showComments();
}

void OrganizationsPanel::showComments() {
    Memo_Comments->setPlainText(
        qOrgan->isOpen() ? qOrgan->fieldValue(QStringLiteral("COMMENTS")).toString() : QString());
}

QString OrganizationsPanel::windowCaption() const {
    return window()->windowTitle();
}

bool OrganizationsPanel::hasRows() const {
    return qOrgan->isOpen() && !qOrgan->isEmpty();
}

void OrganizationsPanel::PM_OrgPopup() {
    PM_Org_Edit->setEnabled(hasRows());
    PM_Org_Del->setEnabled(hasRows());
}

void OrganizationsPanel::PM_Org_AddClick() {
    editOrganization(0);
}

void OrganizationsPanel::PM_Org_EditClick() {
    // The shortcut reaches here even while the menu would offer no change.
    if (!hasRows())
        return;
    editOrganization(1);
}

void OrganizationsPanel::editOrganization(int mode) {
    TOrganization_AE_Form form(*m_dialogs, *qOrgan, window());
    form.setEditMode(mode);
    if (mode == 0) {
        form.setWindowTitle(QStringLiteral("Новая организация"));
    } else {
        form.setWindowTitle(QStringLiteral("Редактирование параметров организации"));
        form.Edit_Name->setText(qOrgan->fieldValue(QStringLiteral("NAME")).toString());
        form.Edit_ReqINN->setText(qOrgan->fieldValue(QStringLiteral("REQ_INN")).toString());
        form.Edit_ReqKPP->setText(qOrgan->fieldValue(QStringLiteral("REQ_KPP")).toString());
        form.Memo_Comments->setPlainText(qOrgan->fieldValue(QStringLiteral("COMMENTS")).toString());
        form.CB_Buh_Tax_System_Main->setCurrentIndex(
            qOrgan->fieldValue(QStringLiteral("BUH_TAX_SYSTEM_MAIN")).toInt());
        form.CB_Buh_Tax_System_Addit->setCurrentIndex(
            qOrgan->fieldValue(QStringLiteral("BUH_TAX_SYSTEM_ADDIT")).toInt());
    }
    // A tax system left as it was shown keeps the stored code, even one the lists cannot show.
    const int shownMain = form.CB_Buh_Tax_System_Main->currentIndex();
    const int shownAddit = form.CB_Buh_Tax_System_Addit->currentIndex();
    if (m_dialogs->exec(form) != QDialog::Accepted)
        return;
    try {
        if (mode == 0)
            qOrgan->append();
        else
            qOrgan->edit();
        qOrgan->setFieldValue(QStringLiteral("NAME"), form.nameValue());
        qOrgan->setFieldValue(QStringLiteral("USERS_ID"), 0);
        qOrgan->setFieldValue(QStringLiteral("REQ_INN"), form.innValue());
        qOrgan->setFieldValue(QStringLiteral("REQ_KPP"), form.kppValue());
        qOrgan->setFieldValue(QStringLiteral("COMMENTS"), form.commentsValue());
        if (mode == 0 || form.CB_Buh_Tax_System_Main->currentIndex() != shownMain)
            qOrgan->setFieldValue(QStringLiteral("BUH_TAX_SYSTEM_MAIN"),
                                  form.CB_Buh_Tax_System_Main->currentIndex());
        if (mode == 0 || form.CB_Buh_Tax_System_Addit->currentIndex() != shownAddit)
            qOrgan->setFieldValue(QStringLiteral("BUH_TAX_SYSTEM_ADDIT"),
                                  form.CB_Buh_Tax_System_Addit->currentIndex());
        qOrgan->post();
    } catch (const fb::Error& e) {
        // The usual cause is a name the database already holds; the row is dropped either way.
        qOrgan->cancel();
        m_dialogs->error(
            window(),
            refusedWriteText(e,
                             QStringLiteral("Ошибка записи в базу данных - возможно, организция с "
                                            "таким именем, уже существует в базе данных.")),
            windowCaption());
    }
}

void OrganizationsPanel::PM_Org_DelClick() {
    if (!hasRows())
        return;
    const QString text =
        QStringList{
            QStringLiteral("Вместе с этой организацией, из базы данных, так же будут удалены все "
                           "ссылки на отчётности, связанные с ней, а именно :"),
            QStringLiteral(" "),
            QStringLiteral("- ссылки в таблице \"Отчётности для организации\""),
            QStringLiteral("- вся история сдач отчётностей для данной организации"),
            QStringLiteral(" "),
            QStringLiteral(
                "Справочники отчётностей и праздничных дней при этой операции не изменятся."),
            QStringLiteral(" "),
            QStringLiteral("Вы действительно хотите удалить эту организацию из базы данных?"),
        }
            .join(QLatin1Char('\n'));
    if (!m_dialogs->ask(window(), text, QStringLiteral("Безвозвратное удаление организации"),
                        MsgIcon::Warning))
        return;
    try {
        // The database takes the organisation's assignments and schedule history with it.
        qOrgan->deleteCurrent();
    } catch (const fb::Error& e) {
        m_dialogs->unhandledError(e.message());
    }
}
