#include "schedule/assignments_panel.h"

#include "fb/dataset.h"
#include "widgets/caption_strip.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char kColumns[] =
    "SELECT BUH_ACCOUNT_ORGANIZATION.ID, BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID, "
    "BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID, BUH_ACCOUNT_ORGANIZATION.ON_OFF, BUH_ACCOUNT.NAME, "
    "BUH_ACCOUNT.DAY_ACTION, BUH_ACCOUNT.DAY_ACTION_12, BUH_ACCOUNT.CYCLING, "
    "BUH_ACCOUNT.DAY_WARNING FROM BUH_ACCOUNT_ORGANIZATION LEFT JOIN BUH_ACCOUNT ON "
    "BUH_ACCOUNT.ID = BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID ";
const char kSelectWhere[] =
    "WHERE BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID = :ID ORDER BY BUH_ACCOUNT.NAME";
const char kRefreshWhere[] = "WHERE( BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID = :ID ) and ( "
                             "BUH_ACCOUNT_ORGANIZATION.ID = :OLD_ID )";
const char kInsert[] =
    "INSERT INTO BUH_ACCOUNT_ORGANIZATION ( ID, BUH_ACCOUNT_ID, ORGANIZATION_ID, "
    "ON_OFF ) VALUES ( :ID, :BUH_ACCOUNT_ID, :ORGANIZATION_ID, 0 )";
const char kUpdate[] = "UPDATE BUH_ACCOUNT_ORGANIZATION SET BUH_ACCOUNT_ID = :BUH_ACCOUNT_ID, "
                       "ORGANIZATION_ID = :ORGANIZATION_ID, ON_OFF = :ON_OFF WHERE ID = :OLD_ID";
const char kDelete[] = "DELETE FROM BUH_ACCOUNT_ORGANIZATION WHERE ID = :OLD_ID";

} // namespace

AssignmentsPanel::AssignmentsPanel(fb::Attachment& attachment, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TS_Buh_Reports"));
    qBuhAccRep = new fb::Dataset(attachment, this);
    qBuhAccRep->setObjectName(QStringLiteral("qBuhAccRep"));
    qBuhAccRep->setSelectSql(QString::fromUtf8(kColumns) + QString::fromUtf8(kSelectWhere));
    qBuhAccRep->setRefreshSql(QString::fromUtf8(kColumns) + QString::fromUtf8(kRefreshWhere));
    qBuhAccRep->setInsertSql(QString::fromUtf8(kInsert));
    qBuhAccRep->setUpdateSql(QString::fromUtf8(kUpdate));
    qBuhAccRep->setDeleteSql(QString::fromUtf8(kDelete));
    qBuhAccRep->setGenerator(QStringLiteral("GEN_BUH_ACCOUNT_ORGANIZATION_ID"));
    qBuhAccRep->setParam(QStringLiteral("ID"), -1);

    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    model = new DatasetModel(
        qBuhAccRep,
        {{QStringLiteral("NAME"),
          QStringLiteral("Наименование отчётности"),
          Qt::AlignLeft,
          {},
          {},
          330},
         {QStringLiteral("DAY_ACTION"),
          QStringLiteral("Дней до крайней сдачи"),
          centred,
          {},
          {},
          140},
         {QStringLiteral("DAY_ACTION_12"),
          QStringLiteral("Дней до сдачи последнего в году отчёта"),
          centred,
          display::nullAs(QStringLiteral("-")),
          {},
          230},
         {QStringLiteral("CYCLING"),
          QStringLiteral("Цикличность"),
          Qt::AlignLeft,
          display::codes({{0, QStringLiteral("Месяц")},
                          {1, QStringLiteral("Квартал")},
                          {2, QStringLiteral("Год")}}),
          {},
          90},
         {QStringLiteral("DAY_WARNING"),
          QStringLiteral("Предупреждать за... ( дней )"),
          centred,
          {},
          {},
          170},
         {QStringLiteral("ON_OFF"),
          QStringLiteral("Использование в расписании"),
          Qt::AlignLeft,
          display::codes({{0, QStringLiteral("Отключена")}, {1, QStringLiteral("Используется")}}),
          {},
          170}},
        this);
    // A switched-off assignment (an empty switch counts as off) stands out in red.
    model->setRowColours([](const fb::Dataset& d, int row) {
        const QVariant onOff = d.value(row, QStringLiteral("ON_OFF"));
        if (onOff.isNull() || !onOff.isValid() || onOff.toInt() == 0)
            return GridRowColours::marked(QColor(255, 200, 190));
        return GridRowColours{};
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new CaptionStrip(QStringLiteral(
        "  Здесь создаётся список бухгалтерских отчётностей для организации, само расписание "
        "отчётов выводится во вкладке \"Расписание сдачи\" - там щёлкните \"Показать расписание "
        "отчётов...\"")));

    PM_BuhAccRep = new QMenu(this);
    PM_BuhAccRep->setObjectName(QStringLiteral("PM_BuhAccRep"));
    auto add = [this](QAction*& action, const char* name, const QString& caption,
                      QStyle::StandardPixmap icon) {
        action = PM_BuhAccRep->addAction(style()->standardIcon(icon), caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    };
    add(PM_BuhAcc_Add, "PM_BuhAcc_Add",
        QStringLiteral("Добавить ссылку на отчётность для организации ..."),
        QStyle::SP_FileDialogNewFolder);
    PM_BuhAcc_Add->setShortcut(QKeySequence(Qt::Key_Insert));
    add(PM_BuhAcc_Del, "PM_BuhAcc_Del", QStringLiteral("Удалить ссылку на отчётность"),
        QStyle::SP_TrashIcon);
    PM_BuhAcc_Del->setShortcut(QKeySequence(Qt::Key_Delete));
    PM_BuhAccRep->addSeparator();
    add(PM_BuhAcc_On, "PM_BuhAcc_On", QStringLiteral("Включить отчётность"),
        QStyle::SP_DialogYesButton);
    add(PM_BuhAcc_Off, "PM_BuhAcc_Off", QStringLiteral("Выключить отчётность"),
        QStyle::SP_DialogNoButton);
    PM_BuhAccRep->addSeparator();
    add(PM_BuhAcc_OnAll, "PM_BuhAcc_OnAll",
        QStringLiteral("Включить все отчётности для этой организации"),
        QStyle::SP_DialogApplyButton);
    add(PM_BuhAcc_OffAll, "PM_BuhAcc_OffAll",
        QStringLiteral("Выключить все отчётности для этой организации"),
        QStyle::SP_DialogCancelButton);
    PM_BuhAccRep->addSeparator();
    add(PM_BuhAcc_Accounts, "PM_BuhAcc_Accounts",
        QStringLiteral("Список отчётов для организации ..."), QStyle::SP_FileDialogContentsView);
    connect(PM_BuhAccRep, &QMenu::aboutToShow, this, &AssignmentsPanel::PM_BuhAccRepPopup);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("TB_Buh_Accounts"));
    toolbar->setOrientation(Qt::Vertical);
    toolbar->setIconSize(QSize(32, 32));
    TBtn_BuhAccRepAction = new QToolButton(toolbar);
    TBtn_BuhAccRepAction->setObjectName(QStringLiteral("TBtn_BuhAccRepAction"));
    TBtn_BuhAccRepAction->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    TBtn_BuhAccRepAction->setToolTip(QStringLiteral("Действия над отчётностями"));
    TBtn_BuhAccRepAction->setMenu(PM_BuhAccRep);
    TBtn_BuhAccRepAction->setPopupMode(QToolButton::InstantPopup);
    toolbar->addWidget(TBtn_BuhAccRepAction);
    TBtn_BuhAccRepRefresh = new QToolButton(toolbar);
    TBtn_BuhAccRepRefresh->setObjectName(QStringLiteral("TBtn_BuhAccRepRefresh"));
    TBtn_BuhAccRepRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    TBtn_BuhAccRepRefresh->setToolTip(QStringLiteral("Обновить информацию"));
    toolbar->addWidget(TBtn_BuhAccRepRefresh);
    connect(TBtn_BuhAccRepRefresh, &QToolButton::clicked, this, [this] { qBuhAccRep->refresh(); });
    body->addWidget(toolbar);

    DBGrid_BuhAccount = new DataGrid(model, dialogs, this);
    DBGrid_BuhAccount->setObjectName(QStringLiteral("DBGrid_BuhAccount"));
    DBGrid_BuhAccount->setContextMenu(PM_BuhAccRep);
    DBGrid_BuhAccount->addActions(PM_BuhAccRep->actions());
    body->addWidget(DBGrid_BuhAccount, 1);
    layout->addLayout(body, 1);
}

AssignmentsPanel::~AssignmentsPanel() = default;

void AssignmentsPanel::setMaster(fb::Dataset* organizations) {
    m_master = organizations;
    connect(organizations, &fb::Dataset::afterScroll, this, &AssignmentsPanel::followMaster);
}

void AssignmentsPanel::open() {
    const QVariant id =
        m_master && m_master->isOpen() ? m_master->fieldValue(QStringLiteral("ID")) : QVariant();
    qBuhAccRep->setParam(QStringLiteral("ID"), id.isValid() ? id : QVariant(-1));
    qBuhAccRep->open();
}

void AssignmentsPanel::followMaster() {
    if (!m_master)
        return;
    const QVariant id =
        m_master->isOpen() ? m_master->fieldValue(QStringLiteral("ID")) : QVariant();
    const QVariant wanted = id.isValid() ? id : QVariant(-1);
    // Re-read only when the organisation really changed, not on every notice of the master.
    if (qBuhAccRep->isOpen() && qBuhAccRep->param(QStringLiteral("ID")) == wanted)
        return;
    qBuhAccRep->setParam(QStringLiteral("ID"), wanted);
    if (qBuhAccRep->isOpen())
        qBuhAccRep->refresh();
}

void AssignmentsPanel::PM_BuhAccRepPopup() {
    const bool hasRows = qBuhAccRep->isOpen() && !qBuhAccRep->isEmpty();
    const bool hasOrganizations = m_master && m_master->isOpen() && !m_master->isEmpty();
    const QVariant onOff = hasRows ? qBuhAccRep->fieldValue(QStringLiteral("ON_OFF")) : QVariant();
    const bool isOn = onOff.isValid() && !onOff.isNull() && onOff.toInt() == 1;
    const bool isOff = !onOff.isValid() || onOff.isNull() || onOff.toInt() == 0;
    PM_BuhAcc_Add->setEnabled(hasOrganizations);
    PM_BuhAcc_Del->setEnabled(hasRows);
    PM_BuhAcc_On->setEnabled(hasRows && isOff);
    PM_BuhAcc_Off->setEnabled(hasRows && isOn);
    PM_BuhAcc_OnAll->setEnabled(hasRows);
    PM_BuhAcc_OffAll->setEnabled(hasRows);
    PM_BuhAcc_Accounts->setEnabled(false); // the operations window is not part of this program yet
}
