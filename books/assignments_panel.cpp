#include "books/assignments_panel.h"

#include "store/assignments.h"

#include "books/books_environment.h"
#include "books/buh_account_form.h"
#include "books/grid_columns.h"
#include "books/run_messages.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "schedule/periods.h"
#include "schedule/schedule_engine.h"
#include "widgets/caption_strip.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/form_parts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char kAskOn[] =
    "\".\n \nПри включении отчётности, программа составит график её сдачи, внесёт эту отчётность "
    "в расписание сдач отчётностей, а также, будет выводить предупреждения о сроке сдачи этой "
    "отчётности.\nВременной промежуток построения графика : до конца текущего года + первый "
    "квартал следюущего года (для сдачи годовых отчётов).\n \nВключить эту отчётность для "
    "данной организации?";
const char kAskOff[] =
    "\".\n \nПри выключении отчётности, программа исключит эту отчётность из расписания сдач "
    "отчётностей, а также, отменит предупреждения о сроке сдачи этой отчётности.\nДля "
    "отчётности, будет очищен временной график, начиня с : текущего момента до конца текущего "
    "года и + первый квартал следующего года (для сдачи годовых отчётов).\n \nВыключить эту "
    "отчётность для данной организации?";
const char kAskOnAll[] =
    "\n \nПри включении отчётности, программа составит график её сдачи, внесёт эту отчётность в "
    "расписание сдач отчётностей, а также, будет выводить предупреждения о сроке сдачи этой "
    "отчётности.\nВременной промежуток построения графика : до конца текущего года + первый "
    "квартал следюущего года (для сдачи годовых отчётов).\n \nВключить все отчётности для "
    "данной организации?";
const char kAskOffAll[] =
    "\n \nПри выключении отчётности, программа исключит эту отчётность из расписания сдач "
    "отчётностей, а также, отменит предупреждения о сроке сдачи этой отчётности.\nДля всех этих "
    "отчётностей, будет очищен временной график, начиня с : текущего момента до конца текущего "
    "года и + первый квартал следующего года (для сдачи годовых отчётов).\n \nВыключить все "
    "отчётности для данной организации?";
const char kAskDelTail[] =
    " \".\n \nПри удалении ссылки на отчётность, программа исключит эту отчётность из "
    "расписания сдач отчётностей, а также, отменит предупреждения о сроке сдачи этой "
    "отчётности.\nВся история сдачи данной отчётности для этой организации сохранится в базе "
    "данных.\n \nУдалить ссылку на эту отчётность для организации : ";

const QString kRemovalCaption = QStringLiteral("Удаление расписания отчётностей");
const QString kRemovalDone = QStringLiteral("Операция по удалению расписания завершена.");

// An empty switch counts as off.
bool isOff(const QVariant& onOff) {
    return !onOff.isValid() || onOff.isNull() || onOff.toInt() == 0;
}

// Freezes the grid during a walk over every row and lets it update again on every way out.
class FrozenList {
public:
    explicit FrozenList(fb::Dataset& dataset) : m_dataset(dataset) { m_dataset.disableControls(); }
    ~FrozenList() { m_dataset.enableControls(); }
    FrozenList(const FrozenList&) = delete;
    FrozenList& operator=(const FrozenList&) = delete;

private:
    fb::Dataset& m_dataset;
};

void addUp(RunResult& total, const RunResult& part) {
    total.stored += part.stored;
    total.failed += part.failed;
    if (!part.lastErrorText.isEmpty())
        total.lastErrorText = part.lastErrorText;
    total.endedEarly = total.endedEarly || part.endedEarly;
}

} // namespace

AssignmentsPanel::AssignmentsPanel(fb::Attachment& attachment, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TS_Buh_Reports"));
    qBuhAccRep = new fb::Dataset(attachment, this);
    qBuhAccRep->setObjectName(QStringLiteral("qBuhAccRep"));
    store::bind(*qBuhAccRep, store::assignments::list());
    qBuhAccRep->setParam(QStringLiteral("ID"), -1);

    QList<ColumnDef> columns = grid_columns::reportTerms();
    columns.append(
        {QStringLiteral("ON_OFF"),
         QStringLiteral("Использование в расписании"),
         Qt::AlignLeft,
         display::codes({{0, QStringLiteral("Отключена")}, {1, QStringLiteral("Используется")}}),
         {},
         170});
    model = new DatasetModel(qBuhAccRep, columns, this);
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
    connect(PM_BuhAcc_Add, &QAction::triggered, this, &AssignmentsPanel::PM_BuhAcc_AddClick);
    connect(PM_BuhAcc_Del, &QAction::triggered, this, &AssignmentsPanel::PM_BuhAcc_DelClick);
    connect(PM_BuhAcc_On, &QAction::triggered, this, &AssignmentsPanel::PM_BuhAcc_OnClick);
    connect(PM_BuhAcc_Off, &QAction::triggered, this, &AssignmentsPanel::PM_BuhAcc_OffClick);
    connect(PM_BuhAcc_OnAll, &QAction::triggered, this, &AssignmentsPanel::PM_BuhAcc_OnAllClick);
    connect(PM_BuhAcc_OffAll, &QAction::triggered, this, &AssignmentsPanel::PM_BuhAcc_OffAllClick);
    connect(PM_BuhAcc_Accounts, &QAction::triggered, this,
            &AssignmentsPanel::PM_BuhAcc_AccountsClick);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    const auto tools = form_parts::panelToolBar(this, "TB_Buh_Accounts", "TBtn_BuhAccRepAction",
                                                QStringLiteral("Действия над отчётностями"),
                                                PM_BuhAccRep, "TBtn_BuhAccRepRefresh");
    TBtn_BuhAccRepAction = tools.action;
    TBtn_BuhAccRepRefresh = tools.refresh;
    connect(TBtn_BuhAccRepRefresh, &QToolButton::clicked, this, [this] { qBuhAccRep->refresh(); });
    auto* toolbar = tools.bar;
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
    PM_BuhAcc_Accounts->setEnabled(hasRows);
}

bool AssignmentsPanel::hasRows() const {
    return qBuhAccRep->isOpen() && !qBuhAccRep->isEmpty();
}

void AssignmentsPanel::showDatabaseError(const QString& text) {
    // What the application's general error display shows for an error nobody caught.
    m_dialogs->unhandledError(text);
}

void AssignmentsPanel::SetBuhAccRepOnOff(int value) {
    qBuhAccRep->edit();
    qBuhAccRep->setFieldValue(QStringLiteral("ON_OFF"), value);
    qBuhAccRep->post();
}

RunResult AssignmentsPanel::createBuhHistory() {
    return m_env->engine.CreateBuhHistory(
        qBuhAccRep->fieldValue(QStringLiteral("BUH_ACCOUNT_ID")).toInt(),
        qBuhAccRep->fieldValue(QStringLiteral("ORGANIZATION_ID")).toInt(),
        qBuhAccRep->fieldValue(QStringLiteral("CYCLING")).toInt(),
        qBuhAccRep->fieldValue(QStringLiteral("DAY_ACTION")).toInt(),
        dayAction12FromDb(qBuhAccRep->fieldValue(QStringLiteral("DAY_ACTION_12"))));
}

void AssignmentsPanel::PM_BuhAcc_AddClick() {
    if (!m_env || !m_master || !m_master->isOpen() || m_master->isEmpty())
        return;
    TBuhAccountForm picker(*m_env, window());
    picker.hideScheduleButtons();
    picker.RBtn_Any->setEnabled(false);
    picker.RBtn_None->setEnabled(false);
    picker.setWindowTitle(QStringLiteral("Бухгалтерская отчётность - присвоение организации"));
    picker.Label_Info2->setText(QStringLiteral("После присвоения отчётности, не забудьте включить "
                                               "отчётность или она не попадёт в расписание"));
    QFont bold = picker.Label_Info2->font();
    bold.setBold(true);
    picker.Label_Info2->setFont(bold);
    QPalette palette = picker.Label_Info2->palette();
    palette.setColor(QPalette::WindowText, QColor(132, 254, 30));
    picker.Label_Info2->setPalette(palette);
    if (m_dialogs->exec(picker) != QDialog::Accepted)
        return;
    try {
        qBuhAccRep->append();
        qBuhAccRep->setFieldValue(QStringLiteral("ORGANIZATION_ID"),
                                  m_master->fieldValue(QStringLiteral("ID")));
        qBuhAccRep->setFieldValue(QStringLiteral("BUH_ACCOUNT_ID"), picker.selectedId());
        qBuhAccRep->post();
    } catch (const fb::StoredButNotReread& e) {
        m_dialogs->error(window(), e.message(),
                         QStringLiteral("Добавление ссылки на бухгалтерскую отчётность"));
    } catch (const fb::Error&) {
        // The database refuses a second assignment of the same report; any failure says so.
        qBuhAccRep->cancel();
        m_dialogs->error(window(),
                         QStringLiteral("Не могу добавить ссылку на эту бухгалтерскую "
                                        "отчётность, так как такая отчётность уже имеется для "
                                        "данной организации."),
                         QStringLiteral("Добавление ссылки на бухгалтерскую отчётность"));
    }
}

void AssignmentsPanel::PM_BuhAcc_DelClick() {
    if (!hasRows()) {
        m_dialogs->warning(window(),
                           QStringLiteral("Список ссылок на отчётность для этой организации пуст."),
                           QStringLiteral("Ошибка"));
        return;
    }
    const QString text =
        QStringLiteral("Вы выбрали удаление ссылки на отчётность : \" ") +
        qBuhAccRep->fieldValue(QStringLiteral("NAME")).toString() + QString::fromUtf8(kAskDelTail) +
        (m_master ? m_master->fieldValue(QStringLiteral("NAME")).toString() : QString()) +
        QStringLiteral("\"?");
    if (!m_dialogs->ask(window(), text, QStringLiteral("Удаление ссылки на отчётность"),
                        MsgIcon::Warning))
        return;
    try {
        // The database removes the entries that lie ahead; the submission history stays.
        qBuhAccRep->deleteCurrent();
    } catch (const fb::Error& e) {
        showDatabaseError(e.message());
    }
}

void AssignmentsPanel::PM_BuhAcc_OnClick() {
    if (!m_env || !hasRows() || !isOff(qBuhAccRep->fieldValue(QStringLiteral("ON_OFF"))))
        return;
    const QString text = QStringLiteral("Вы выбрали включение отчётности \"") +
                         qBuhAccRep->fieldValue(QStringLiteral("NAME")).toString() +
                         QString::fromUtf8(kAskOn);
    if (!m_dialogs->ask(window(), text, QStringLiteral("Включение отчётности"), MsgIcon::Warning))
        return;
    RunResult result;
    try {
        SetBuhAccRepOnOff(1);
        result = createBuhHistory();
    } catch (const fb::Error& e) {
        qBuhAccRep->cancel();
        showDatabaseError(e.message());
        return;
    }
    m_dialogs->message(run_messages::generationDone(result, window()));
}

void AssignmentsPanel::PM_BuhAcc_OffClick() {
    if (!hasRows() || qBuhAccRep->fieldValue(QStringLiteral("ON_OFF")).toInt() != 1)
        return;
    const QString text = QStringLiteral("Вы выбрали выключение отчётности \"") +
                         qBuhAccRep->fieldValue(QStringLiteral("NAME")).toString() +
                         QString::fromUtf8(kAskOff);
    if (!m_dialogs->ask(window(), text, QStringLiteral("Выключение отчётности"), MsgIcon::Warning))
        return;
    try {
        // The database clears the organisation's entries of the report that lie ahead.
        SetBuhAccRepOnOff(0);
    } catch (const fb::Error& e) {
        qBuhAccRep->cancel();
        showDatabaseError(e.message());
        return;
    }
    m_dialogs->information(window(), kRemovalDone, kRemovalCaption);
}

void AssignmentsPanel::PM_BuhAcc_OnAllClick() {
    if (!m_env || !hasRows())
        return;
    const QString text =
        QStringLiteral("Вы выбрали включение всех отчётностей для организации :\n") +
        (m_master ? m_master->fieldValue(QStringLiteral("NAME")).toString() : QString()) +
        QString::fromUtf8(kAskOnAll);
    if (!m_dialogs->ask(window(), text, QStringLiteral("Включение всех отчётностей"),
                        MsgIcon::Warning))
        return;
    FrozenList frozen(*qBuhAccRep);
    RunResult total;
    try {
        qBuhAccRep->fetchAll();
        for (int row = 0; row < qBuhAccRep->rowCount(); ++row) {
            qBuhAccRep->setCurrentRow(row);
            if (!isOff(qBuhAccRep->fieldValue(QStringLiteral("ON_OFF"))))
                continue;
            SetBuhAccRepOnOff(1);
            addUp(total, createBuhHistory());
        }
    } catch (const fb::Error& e) {
        qBuhAccRep->cancel();
        qBuhAccRep->first();
        showDatabaseError(e.message());
        return;
    }
    m_dialogs->message(run_messages::generationDone(total, window()));
    qBuhAccRep->first();
}

void AssignmentsPanel::PM_BuhAcc_OffAllClick() {
    if (!hasRows())
        return;
    const QString text =
        QStringLiteral("Вы выбрали выключение всех отчётностей для организции :\n") +
        (m_master ? m_master->fieldValue(QStringLiteral("NAME")).toString() : QString()) +
        QString::fromUtf8(kAskOffAll);
    if (!m_dialogs->ask(window(), text, QStringLiteral("Выключение всех отчётностей"),
                        MsgIcon::Warning))
        return;
    try {
        FrozenList frozen(*qBuhAccRep);
        qBuhAccRep->fetchAll();
        // Every row gets its update, also the rows that are off already.
        for (int row = 0; row < qBuhAccRep->rowCount(); ++row) {
            qBuhAccRep->setCurrentRow(row);
            SetBuhAccRepOnOff(0);
        }
        qBuhAccRep->first();
    } catch (const fb::Error& e) {
        qBuhAccRep->cancel();
        qBuhAccRep->first();
        showDatabaseError(e.message());
        return;
    }
    m_dialogs->information(window(), kRemovalDone, kRemovalCaption);
}

void AssignmentsPanel::PM_BuhAcc_AccountsClick() {
    if (!m_env || !hasRows())
        return;
    // The assignments list holds the assignments of the organisations list's current row.
    const QString name =
        m_master ? m_master->fieldValue(QStringLiteral("NAME")).toString() : QString();
    if (m_openOperations)
        m_openOperations(qBuhAccRep->fieldValue(QStringLiteral("ORGANIZATION_ID")).toInt(), name);
}
