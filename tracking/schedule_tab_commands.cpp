// The schedule tab's behaviour: filters, the list and its statement, the detail panel, sorting,
// the popup menu, marking, deletion and statistics. The layout is in schedule_tab.cpp.
#include "tracking/schedule_tab.h"

#include "books/books_environment.h"
#include "books/buh_account_form.h"
#include "books/organization_form.h"
#include "core/clock.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "schedule/event_pump.h"
#include "status/entry_status.h"
#include "status/schedule_filter.h"
#include "status/schedule_statistics.h"
#include "store/history.h"
#include "tracking/statistics_panel.h"
#include "tracking/submission_marking.h"
#include "widgets/busy_indicator.h"
#include "widgets/button_edit.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/spin_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

namespace {

const char kAnyReport[] = "Любая бухгалтерская отчётность";
const char kNoOrganisation[] = "Организация не указана";

QString plainDateTime(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QString();
    const QDateTime moment = value.toDateTime();
    QString text = moment.date().toString(QStringLiteral("dd.MM.yyyy"));
    if (moment.time().isValid() && moment.time() != QTime(0, 0))
        text += QLatin1Char(' ') + moment.time().toString(QStringLiteral("hh:mm:ss"));
    return text;
}

// Shows the busy window when the environment gives one.
class OptionalBusy {
public:
    OptionalBusy(BusyIndicator* indicator, QWidget* owner, const QString& text) {
        if (indicator)
            m_scope.emplace(*indicator, owner, text);
    }

private:
    std::optional<BusyScope> m_scope;
};

} // namespace

void ScheduleTab::connectHandlers() {
    connect(PM_BuhAcc_Create, &QAction::triggered, this, &ScheduleTab::PM_BuhAcc_CreateClick);
    connect(PM_BuhAcc_Set, &QAction::triggered, this, &ScheduleTab::PM_BuhAcc_SetClick);
    connect(PM_BuhAcc_Cancel, &QAction::triggered, this, &ScheduleTab::PM_BuhAcc_CancelClick);
    connect(MenuItem1, &QAction::triggered, this, &ScheduleTab::MenuItem1Click);
    connect(PM_BuhAcc_DelAll, &QAction::triggered, this, &ScheduleTab::PM_BuhAcc_DelAllClick);
    connect(PM_BuhAccShed, &QMenu::aboutToShow, this, &ScheduleTab::PM_BuhAccShedPopup);
    connect(Panel_Statistc->Btn_GetStatisic, &QPushButton::clicked, this,
            &ScheduleTab::Btn_GetStatisicClick);

    connect(CE_BuhAccounts, &ButtonEdit::buttonClicked, this,
            &ScheduleTab::CE_BuhAccountsButtonClick);
    connect(CE_BuhAccounts, &ButtonEdit::doubleClicked, this,
            &ScheduleTab::CE_BuhAccountsButtonClick);
    connect(CB_BuhOrg, &ButtonEdit::buttonClicked, this, &ScheduleTab::CB_BuhOrgButtonClick);
    connect(CB_BuhOrg, &ButtonEdit::doubleClicked, this, &ScheduleTab::CB_BuhOrgButtonClick);
    connect(RBtn_BuhAllDB, &QRadioButton::clicked, this, &ScheduleTab::RBtn_BuhAllDBClick);
    connect(RBtn_BuhDT, &QRadioButton::clicked, this, &ScheduleTab::RBtn_BuhDTClick);
    connect(RBtn_BuhOrg_All, &QRadioButton::clicked, this, &ScheduleTab::RBtn_BuhOrg_AllClick);
    connect(RBtn_BuhOrg_One, &QRadioButton::clicked, this, &ScheduleTab::RBtn_BuhOrg_OneClick);
    for (QComboBox* box : {CB_BuhMonth_Begin, CB_BuhMonth_End})
        connect(box, &QComboBox::currentIndexChanged, this, &ScheduleTab::CB_BuhCombo_for_All);
    for (SpinEdit* edit : {SE_BuhYear_Begin, SE_BuhYear_End})
        connect(edit, &QSpinBox::valueChanged, this, &ScheduleTab::CB_BuhCombo_for_All);
    connect(CB_Buh_NeSdan, &QCheckBox::clicked, this, &ScheduleTab::CB_Buh_Click_for_All);

    connect(DBGrid_BuhHistory, &DataGrid::titleClicked, this,
            &ScheduleTab::DBGrid_BuhHistoryTitleBtnClick);
    // A double click on a title is one more click.
    connect(DBGrid_BuhHistory, &DataGrid::titleDoubleClicked, this,
            &ScheduleTab::DBGrid_BuhHistoryTitleBtnClick);
    connect(DBGrid_BuhHistory, &DataGrid::rowDoubleClicked, this,
            [this](int) { PM_BuhAcc_SetClick(); });

    connect(qBuhAccShed, &fb::Dataset::afterScroll, this, &ScheduleTab::qBuhAccShedEndScroll);
    connect(qBuhAccShed, &fb::Dataset::stateChanged, this, [this] {
        if (!qBuhAccShed->isOpen())
            qBuhAccShedAfterClose();
    });
    qBuhAccShedAfterClose();
    PM_BuhAccShedPopup();
    // The keys follow the same rule as the menu.
    for (auto signal : {&fb::Dataset::stateChanged, &fb::Dataset::resetDone,
                        &fb::Dataset::rowRemoved, &fb::Dataset::rowsInserted})
        connect(qBuhAccShed, signal, this, &ScheduleTab::PM_BuhAccShedPopup);
}

// --- filters ---

store::ScheduleFilter ScheduleTab::currentFilter() const {
    store::ScheduleFilter filter;
    filter.reportId = m_reportId;
    filter.allDates = RBtn_BuhAllDB->isChecked();
    filter.beginMonth = CB_BuhMonth_Begin->currentIndex() + 1;
    filter.beginYear = SE_BuhYear_Begin->value();
    filter.endMonth = CB_BuhMonth_End->currentIndex() + 1;
    filter.endYear = SE_BuhYear_End->value();
    QSet<BuhEntryStatus> statuses;
    const std::pair<QCheckBox*, BuhEntryStatus> boxes[] = {
        {CB_Buh_NeSdan, BuhEntryStatus::NeSdan},
        {CB_Buh_Warning, BuhEntryStatus::Warning},
        {CB_Buh_Alarm_NeSdan, BuhEntryStatus::AlarmNeSdan},
        {CB_Buh_Sdan, BuhEntryStatus::Sdan},
        {CB_Buh_Alarm_Sdan, BuhEntryStatus::AlarmSdan},
        {CB_Buh_Alarm_Podozrenue, BuhEntryStatus::AlarmPodozrenue}};
    for (const auto& [box, status] : boxes) {
        if (box->isChecked())
            statuses.insert(status);
    }
    setFilterStatuses(filter, statuses);
    filter.oneOrganisation = RBtn_BuhOrg_One->isChecked();
    filter.organisationId = filter.oneOrganisation ? m_organisationId : -1;
    return filter;
}

void ScheduleTab::paintPeriodControls(bool enabled) {
    const QList<QWidget*> controls{CB_BuhMonth_Begin, CB_BuhMonth_End, SE_BuhYear_Begin,
                                   SE_BuhYear_End};
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
        QPalette p = control->palette();
        const QPalette standard = control->style()->standardPalette();
        const QColor colour =
            enabled ? standard.color(QPalette::Base) : standard.color(QPalette::Button);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            p.setColor(group, QPalette::Base, colour);
            p.setColor(group, QPalette::Button,
                       enabled ? standard.color(QPalette::Button) : colour);
        }
        control->setPalette(p);
    }
}

void ScheduleTab::RBtn_BuhAllDBClick() {
    paintPeriodControls(false);
    closeList();
}

void ScheduleTab::RBtn_BuhDTClick() {
    paintPeriodControls(true);
    closeList();
}

void ScheduleTab::RBtn_BuhOrg_AllClick() {
    CB_BuhOrg->setEnabled(false);
    m_organisationId = -1;
    CB_BuhOrg->setText(QString::fromUtf8(kNoOrganisation));
    closeList();
}

void ScheduleTab::RBtn_BuhOrg_OneClick() {
    // One organisation always starts without a choice.
    CB_BuhOrg->setEnabled(true);
    m_organisationId = -1;
    CB_BuhOrg->setText(QString::fromUtf8(kNoOrganisation));
    closeList();
}

void ScheduleTab::CB_BuhCombo_for_All() {
    closeList();
}

void ScheduleTab::CB_Buh_Click_for_All() {
    closeList();
}

void ScheduleTab::CE_BuhAccountsButtonClick() {
    if (!m_env)
        return;
    TBuhAccountForm picker(*m_env, window());
    picker.ToolBar_Main->hide();
    picker.RBtn_None->setEnabled(false);
    picker.setAllowArchived(true);
    if (m_reportId == -1)
        picker.preselectAny();
    else
        picker.preselectReport(m_reportId);
    if (m_dialogs->exec(picker) != QDialog::Accepted)
        return;
    const int before = m_reportId;
    if (picker.RBtn_Any->isChecked()) {
        CE_BuhAccounts->setText(QString::fromUtf8(kAnyReport));
        m_reportId = -1;
    } else {
        CE_BuhAccounts->setText(picker.selectedName());
        m_reportId = picker.selectedId().toInt();
    }
    if (m_reportId != before)
        closeList();
}

void ScheduleTab::CB_BuhOrgButtonClick() {
    if (!m_env || !CB_BuhOrg->isEnabled())
        return;
    TOrganization_Form picker(*m_env, window());
    picker.ToolBar_Main->hide();
    picker.RBtn_Any->setEnabled(false);
    picker.RBtn_None->setEnabled(false);
    picker.RBtn_Select->setChecked(true);
    if (m_dialogs->exec(picker) != QDialog::Accepted)
        return;
    const QVariant id = picker.selectedId();
    if (!id.isValid())
        return;
    // Applies at the next show; the list shown stays.
    CB_BuhOrg->setText(picker.selectedName());
    m_organisationId = id.toInt();
}

// --- the list ---

void ScheduleTab::closeList() {
    qBuhAccShed->close();
    m_list.reset();
    m_listFilter.reset();
}

void ScheduleTab::qBuhAccShedAfterClose() {
    Panel_Statistc->reset();
    Memo_BuhAccComments->clear();
    for (QLabel* label : m_detailValues)
        label->setText(QStringLiteral("-"));
}

void ScheduleTab::qBuhAccShedEndScroll() {
    if (!qBuhAccShed->isOpen() || qBuhAccShed->currentRow() < 0) {
        if (qBuhAccShed->isOpen()) {
            Memo_BuhAccComments->clear();
            for (QLabel* label : m_detailValues)
                label->setText(QStringLiteral("-"));
        }
        return;
    }
    const fb::Dataset& d = *qBuhAccShed;
    const auto field = [&](const char* name) { return d.fieldValue(QString::fromLatin1(name)); };
    BuhEntry entry;
    entry.id = field("ID");
    entry.dtAction = field("DT_ACTION").toDateTime();
    entry.dtActual = field("DT_ACTUAL").toDateTime();
    entry.dtAddRecord = field("DT_ADD_RECORD").toDateTime();
    entry.dayWarning = field("DAY_WARNING");
    entry.cycling = field("CYCLING");
    entry.dtEndAccount = field("DT_END_ACCOUNT").toDate();
    detailValue(QStringLiteral("Label_DT_End_Account"))
        ->setText(periodText(entry.cycling, entry.dtEndAccount));
    detailValue(QStringLiteral("Label_DT_Action"))->setText(plainDateTime(field("DT_ACTION")));
    detailValue(QStringLiteral("Label_DT_Actual"))->setText(plainDateTime(field("DT_ACTUAL")));
    detailValue(QStringLiteral("Label_Add_Record"))->setText(plainDateTime(field("DT_ADD_RECORD")));
    detailValue(QStringLiteral("Label_Cycling"))->setText(cyclingText(entry.cycling));
    detailValue(QStringLiteral("Label_Buh_Account_Name"))
        ->setText(field("BUH_ACCOUNT_NAME").toString());
    detailValue(QStringLiteral("Label_Users_Sdal_Name"))
        ->setText(field("USERS_SDAL_NAME").toString());
    detailValue(QStringLiteral("Label_Organization_Name"))
        ->setText(field("ORGANIZATION_NAME").toString());
    detailValue(QStringLiteral("Label_Status"))
        ->setText(statusText(entryStatus(entry, m_clock.now(), m_clock.today())));
    Memo_BuhAccComments->setPlainText(field("COMMENTS").toString());
}

bool ScheduleTab::listHasRows() const {
    return qBuhAccShed->isOpen() && !qBuhAccShed->isEmpty();
}

std::optional<store::ScheduleSort> ScheduleTab::chosenSort() const {
    if (!m_userSorted)
        return std::nullopt;
    return store::ScheduleSort{m_sortField, m_sortAscending};
}

void ScheduleTab::showDatabaseError(const fb::Error& error) {
    // A lost connection has been told by the data module, which ends the program.
    if (error.isConnectionLost())
        return;
    m_dialogs->unhandledError(error.message());
}

bool ScheduleTab::openList(const store::ScheduleStatement& statement) {
    qBuhAccShed->setSelectSql(statement.sql);
    for (auto it = statement.params.constBegin(); it != statement.params.constEnd(); ++it)
        qBuhAccShed->setParam(it.key(), it.value());
    try {
        qBuhAccShed->open();
    } catch (const fb::Error& e) {
        closeList();
        showDatabaseError(e);
        return false;
    }
    return true;
}

void ScheduleTab::PM_BuhAcc_CreateClick() {
    closeList();
    const store::ScheduleFilter filter = currentFilter();
    const QDate today = m_clock.today();
    const store::ScheduleBuild build = store::buildScheduleStatement(filter, today, chosenSort());
    switch (build.error) {
    case store::ScheduleFilterError::None:
        break;
    case store::ScheduleFilterError::NoStatus:
        m_dialogs->error(window(),
                         QStringLiteral("Необходимо указать хотя бы один статус требуемых отчётов "
                                        "(сдан, не сдан, просрочен и тому подобное)."),
                         QStringLiteral("Ошибка выбора параметров"));
        return;
    case store::ScheduleFilterError::NoOrganisation:
        m_dialogs->error(window(),
                         QStringLiteral("Не указана организация, для которой необходимо вывести "
                                        "бухгалтерские отчёты."),
                         QStringLiteral("Ошибка выбора организации"));
        return;
    case store::ScheduleFilterError::BeginAfterEnd:
        m_dialogs->error(window(), QStringLiteral("Дата начала больше, чем дата окончания отчёта."),
                         QStringLiteral("Неверно указаны даты отчёта"));
        return;
    case store::ScheduleFilterError::TooLong:
        m_dialogs->error(window(),
                         QStringLiteral("Слишком много отфильтрованных организаций - набор данных "
                                        "в тексте SQL-запроса превышает возможности Firebird. "
                                        "Измените условия фильтрации."),
                         QStringLiteral("Превышен предел SQL-запроса"));
        return;
    }
    if (openList(build.statement)) {
        m_list = build.statement;
        m_listFilter = filter;
        m_listToday = today;
    }
}

void ScheduleTab::DBGrid_BuhHistoryTitleBtnClick(const QString& field) {
    if (field.isEmpty() || store::sortExpression(field).isEmpty())
        return;
    model->setTitleColour(m_sortField, QColor());
    if (field == m_sortField) {
        m_sortAscending = !m_sortAscending;
    } else {
        m_sortField = field;
        m_sortAscending = true;
    }
    m_userSorted = true;
    model->setTitleColour(m_sortField, QColor(Qt::blue));
    if (!m_list || !m_listFilter)
        return;
    // The engine orders the whole list and sends its first rows; the list's rows and
    // parameters stay those of the show.
    const store::ScheduleBuild build =
        store::buildScheduleStatement(*m_listFilter, m_listToday, chosenSort());
    if (build.error != store::ScheduleFilterError::None)
        return;
    qBuhAccShed->setSelectSql(build.statement.sql);
    try {
        qBuhAccShed->refresh();
    } catch (const fb::Error& e) {
        closeList();
        showDatabaseError(e);
        return;
    }
    m_list = build.statement;
}

void ScheduleTab::PM_BuhAccShedPopup() {
    const bool rows = qBuhAccShed->isOpen() && qBuhAccShed->rowCount() > 0;
    for (QAction* action : {PM_BuhAcc_Set, PM_BuhAcc_Cancel, MenuItem1, PM_BuhAcc_DelAll})
        action->setEnabled(rows);
}

// --- commands on rows ---

void ScheduleTab::PM_BuhAcc_SetClick() {
    m_marking->setSubmitted();
}

void ScheduleTab::PM_BuhAcc_CancelClick() {
    m_marking->cancelSubmitted();
}

void ScheduleTab::MenuItem1Click() {
    if (!listHasRows() || qBuhAccShed->currentRow() < 0)
        return;
    const QString text =
        QStringLiteral("Вы выбрали удаление отчёта : \n\"") +
        qBuhAccShed->fieldValue(QStringLiteral("BUH_ACCOUNT_NAME")).toString() +
        QStringLiteral("\".\n \nПри удалении отчёта из базы данных, восстановить его будет "
                       "невозможно.\n \nВы действительно хотите удалить из базы данных этот "
                       "отчёт ?");
    if (!m_dialogs->ask(window(), text, QStringLiteral("Безвозвратное удаление отчёта"),
                        MsgIcon::Warning))
        return;
    try {
        qBuhAccShed->deleteCurrent();
    } catch (const fb::Error& e) {
        showDatabaseError(e);
    }
}

void ScheduleTab::PM_BuhAcc_DelAllClick() {
    if (!listHasRows() || !m_list) {
        m_dialogs->error(window(),
                         QStringLiteral("Список отчётов пуст. Для вывод отчётов в таблицу этого "
                                        "окна, можно попробовать поменять параметры фильтров"),
                         QStringLiteral("Сдача отчёта"));
        return;
    }
    const QString caption = QStringLiteral("Безвозвратное удаление отчётов");
    if (!m_dialogs->ask(
            window(),
            QStringLiteral("Вы выбрали удаление ВСЕХ отфильтрованных сейчас "
                           "отчётов.\n \nПри удалении отчётов из базы данных, "
                           "восстановить их будет невозможно.\n \nВы действительно "
                           "хотите удалить из базы данных ВСЕ отфильтрованные отчёты ?"),
            caption, MsgIcon::Warning))
        return;
    std::optional<QString> failure;
    {
        OptionalBusy busy(m_env ? &m_env->busy : nullptr, window(),
                          QStringLiteral("Удаляем историю..."));
        EventPump pump;
        try {
            store::deleteListRows(m_attachment, *m_list, [&pump] { pump(); });
        } catch (const fb::Error& e) {
            if (e.isConnectionLost())
                return;
            failure = e.isEngineError() ? e.engineText() : e.message();
        }
    }
    if (failure) {
        m_dialogs->error(
            window(),
            QStringLiteral("Отчёты не удалены, база данных осталась без изменений:\n") +
                failure->trimmed(),
            caption);
        return;
    }
    // Every row of the list is gone; reading it again would only find that out (and pay for
    // the engine's clean-up of the deleted rows, which the next list pays anyway).
    qBuhAccShed->clearRows();
}

void ScheduleTab::Btn_GetStatisicClick() {
    if (!listHasRows() || !m_list) {
        m_dialogs->error(window(),
                         QStringLiteral("Сначала необходимо получить список отчётов - перед "
                                        "получением списка, установите необходимые фильтры."),
                         QStringLiteral("Список отчётов пуст"));
        return;
    }
    ScheduleStatistics statistics;
    try {
        OptionalBusy busy(m_env ? &m_env->busy : nullptr, window(),
                          QStringLiteral("Подсчёт статистики ..."));
        statistics = countScheduleStatistics(m_attachment, *m_list, m_clock.today());
    } catch (const fb::Error& e) {
        showDatabaseError(e);
        return;
    }
    Panel_Statistc->display(statistics);
}
