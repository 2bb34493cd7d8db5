#include "tracking/buh_org_operations_form.h"

#include "tracking/print_commands.h"

#include "books/books_environment.h"
#include "books/buh_account_form.h"
#include "core/clock.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "status/entry_status.h"
#include "store/history.h"
#include "store/operations_list.h"
#include "tracking/submission_marking.h"
#include "widgets/button_edit.h"
#include "widgets/caption_strip.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/spin_edit.h"
#include "widgets/window_state.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const char kStatePath[] = "BUH_ORG_OPERATIONS\\";
const char kAnyReport[] = "Любая бухгалтерская отчётность";

QStringList monthItems() {
    return {QStringLiteral("01 - Январь"),  QStringLiteral("02 - Февраль"),
            QStringLiteral("03 - Март"),    QStringLiteral("04 - Апрель"),
            QStringLiteral("05 - Май"),     QStringLiteral("06 - Июнь"),
            QStringLiteral("07- Июль"),     QStringLiteral("08 - Август"),
            QStringLiteral("09- Сентябрь"), QStringLiteral("10 - Октябрь"),
            QStringLiteral("11 - Ноябрь"),  QStringLiteral("12 - Декабрь")};
}

void paintText(QLabel* label, const QColor& colour, bool bold = false) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
}

// Dates in the workstation's Russian form, e.g. "05 апр. 2025".
ColumnDef::DisplayFn russianDate(const QString& format) {
    return [format](const QVariant& value, const fb::Dataset&, int) {
        if (!value.isValid() || value.isNull())
            return QString();
        static const QLocale russian(QLocale::Russian);
        return russian.toString(value.toDateTime(), format);
    };
}

BuhEntry entryAt(const fb::Dataset& d, int row) {
    return buhEntryFrom([&](const QString& field) { return d.value(row, field); });
}

} // namespace

TBuhOrgOperationsForm::TBuhOrgOperationsForm(BooksEnvironment& env, int organisationId,
                                             const QString& organisationName, QWidget* parent)
    : QDialog(parent), m_env(env), m_organisationId(organisationId) {
    setObjectName(QStringLiteral("TBuhOrgOperationsForm"));
    setWindowTitle(QStringLiteral("Операции над бухгалтерскими отчётами"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setMinimumSize(920, 630);
    resize(980, 680);

    qBuhHistory = new fb::Dataset(env.attachment, this);
    qBuhHistory->setObjectName(QStringLiteral("qBuhHistory"));
    qBuhHistory->setFetchStep(200);
    qBuhHistory->setGenerator(QStringLiteral("GEN_BUH_HISTORY_ID"));
    qBuhHistory->setRefreshSql(store::operationsRefreshSql());
    qBuhHistory->setUpdateSql(store::operationsUpdateSql());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->addWidget(buildHeader(organisationName));
    auto* filters = new QHBoxLayout;
    filters->setContentsMargins(6, 2, 6, 2);
    filters->addWidget(buildFilters(), 1);
    filters->addWidget(buildCounters());
    layout->addLayout(filters);
    buildGrid();
    layout->addWidget(DBGrid_BuhHistory, 1);
    Memo_BuhAccComments = new QPlainTextEdit(this);
    Memo_BuhAccComments->setObjectName(QStringLiteral("Memo_BuhAccComments"));
    Memo_BuhAccComments->setReadOnly(true);
    Memo_BuhAccComments->setMaximumHeight(70);
    QPalette memo = Memo_BuhAccComments->palette();
    memo.setColor(QPalette::Text, QColor(9, 83, 115));
    Memo_BuhAccComments->setPalette(memo);
    layout->addWidget(Memo_BuhAccComments);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 0, 6, 0);
    const auto button = [this, buttons](const char* name, const QString& caption,
                                        const QString& hint, QStyle::StandardPixmap icon) {
        auto* b = new QPushButton(style()->standardIcon(icon), caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    SBtn_Acc_Set = button("SBtn_Acc_Set", QStringLiteral("Сдать ..."),
                          QStringLiteral("Установить отметку о сдаче отчётности"),
                          QStyle::SP_DialogApplyButton);
    SBtn_Acc_Cancel = button("SBtn_Acc_Cancel", QStringLiteral("Отменить сдачу"),
                             QStringLiteral("Отменить отметку о сдаче отчётности"),
                             QStyle::SP_DialogCancelButton);
    SBtn_Acc_Print = button("SBtn_Acc_Print", QStringLiteral("Печать ..."),
                            QStringLiteral("Распечатать отчётности"), QStyle::SP_FileIcon);
    buttons->addStretch(1);
    Btn_Cancel =
        button("Btn_Cancel", QStringLiteral("Закрыть"), QString(), QStyle::SP_DialogCloseButton);
    layout->addLayout(buttons);

    PM_Print = new QMenu(this);
    PM_Print->setObjectName(QStringLiteral("PM_Print"));
    printing::installOperationsPrinting(*this);

    m_marking = std::make_unique<SubmissionMarking>(
        env.attachment, *qBuhHistory, env.dialogs, env.clock, this,
        SubmissionMarking::Options{QStringLiteral("NAME"), false});

    connect(SBtn_Filter, &QPushButton::clicked, this, &TBuhOrgOperationsForm::SBtn_FilterClick);
    connect(SBtn_Acc_Set, &QPushButton::clicked, this, &TBuhOrgOperationsForm::SBtn_Acc_SetClick);
    connect(SBtn_Acc_Cancel, &QPushButton::clicked, this,
            &TBuhOrgOperationsForm::SBtn_Acc_CancelClick);
    connect(SBtn_Acc_Print, &QPushButton::clicked, this,
            &TBuhOrgOperationsForm::SBtn_Acc_PrintClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid_BuhHistory, &DataGrid::rowDoubleClicked, this,
            [this](int) { SBtn_Acc_SetClick(); });
    connect(CE_BuhAccounts, &ButtonEdit::buttonClicked, this,
            &TBuhOrgOperationsForm::CE_BuhAccountsButtonClick);
    connect(CE_BuhAccounts, &ButtonEdit::doubleClicked, this,
            &TBuhOrgOperationsForm::CE_BuhAccountsButtonClick);
    for (QRadioButton* r : {RBtn_Buh_SdanNesdan, RBtn_Buh_Sdan, RBtn_Buh_Nesdan})
        connect(r, &QRadioButton::clicked, this, &TBuhOrgOperationsForm::closeList);
    connect(RBtn_BuhAllDB, &QRadioButton::clicked, this, [this] {
        paintPeriodControls(false);
        closeList();
    });
    connect(RBtn_BuhDT, &QRadioButton::clicked, this, [this] {
        paintPeriodControls(true);
        closeList();
    });
    for (QComboBox* box : {CB_BuhMonth_Begin, CB_BuhMonth_End})
        connect(box, &QComboBox::currentIndexChanged, this, &TBuhOrgOperationsForm::closeList);
    for (SpinEdit* edit : {SE_BuhYear_Begin, SE_BuhYear_End})
        connect(edit, &QSpinBox::valueChanged, this, &TBuhOrgOperationsForm::closeList);
    connect(qBuhHistory, &fb::Dataset::afterScroll, this, [this] {
        if (qBuhHistory->isOpen() && qBuhHistory->currentRow() >= 0)
            Memo_BuhAccComments->setPlainText(
                qBuhHistory->fieldValue(QStringLiteral("COMMENTS")).toString());
    });
    connect(qBuhHistory, &fb::Dataset::stateChanged, this, [this] {
        if (!qBuhHistory->isOpen())
            resetCounters();
    });

    // The current quarter of the current year.
    const QDate today = env.clock.today();
    for (SpinEdit* edit : {SE_BuhYear_Begin, SE_BuhYear_End}) {
        edit->setRange(2017, today.year() + 1);
        edit->setValue(today.year());
    }
    const auto [first, last] = store::quarterMonths(today);
    CB_BuhMonth_Begin->setCurrentIndex(first - 1);
    CB_BuhMonth_End->setCurrentIndex(last - 1);

    window_state::restore(
        env.settings, QString::fromLatin1(kStatePath), env.dialogs, this,
        [this](const FormState& state) { window_state::applyStateAndSize(this, state); });
}

void TBuhOrgOperationsForm::open(BooksEnvironment& env, int organisationId,
                                 const QString& organisationName, QWidget* owner) {
    TBuhOrgOperationsForm form(env, organisationId, organisationName, owner);
    form.LoadOrgAccountIds();
    form.SBtn_FilterClick();
    env.dialogs.exec(form);
}

TBuhOrgOperationsForm::~TBuhOrgOperationsForm() = default;

QWidget* TBuhOrgOperationsForm::buildHeader(const QString& organisationName) {
    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("Panel_Header"));
    band->setAutoFillBackground(true);
    QPalette p = band->palette();
    p.setColor(QPalette::Window, QColor(104, 140, 248));
    band->setPalette(p);
    auto* v = new QVBoxLayout(band);
    v->setContentsMargins(10, 6, 10, 6);
    auto* title =
        new QLabel(QStringLiteral("Операции над бухгалтерскими отчётами для организации :"), band);
    paintText(title, Qt::white, true);
    Label_Info2 = new QLabel(QStringLiteral("Для организации :"), band);
    Label_Info2->setObjectName(QStringLiteral("Label_Info2"));
    paintText(Label_Info2, QColor(196, 245, 129), true);
    if (!organisationName.isEmpty())
        Label_Info2->setText(organisationName);
    auto* note = new QLabel(QStringLiteral("В этом окне выводятся отчёты только для прикреплённых "
                                           "сейчас  к организации отчётностей"),
                            band);
    paintText(note, Qt::white);
    v->addWidget(title);
    v->addWidget(Label_Info2);
    v->addWidget(note);
    return band;
}

QWidget* TBuhOrgOperationsForm::buildFilters() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Бухгалт. отчётность :"), box), 0, 0);
    CE_BuhAccounts = new ButtonEdit(box);
    CE_BuhAccounts->setObjectName(QStringLiteral("CE_BuhAccounts"));
    CE_BuhAccounts->setText(QString::fromUtf8(kAnyReport));
    CE_BuhAccounts->setToolTip(QStringLiteral("Нажмите на кнопку для выбора отчётности"));
    grid->addWidget(CE_BuhAccounts, 0, 1, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("Тип событий отчётов :"), box), 1, 0);
    RBtn_Buh_SdanNesdan = new QRadioButton(QStringLiteral("Сданные и не сданные отчёты"), box);
    RBtn_Buh_SdanNesdan->setObjectName(QStringLiteral("RBtn_Buh_SdanNesdan"));
    RBtn_Buh_SdanNesdan->setChecked(true);
    RBtn_Buh_Sdan = new QRadioButton(QStringLiteral("Только сданные отчёты"), box);
    RBtn_Buh_Sdan->setObjectName(QStringLiteral("RBtn_Buh_Sdan"));
    RBtn_Buh_Nesdan = new QRadioButton(QStringLiteral("Только не сданные отчёты"), box);
    RBtn_Buh_Nesdan->setObjectName(QStringLiteral("RBtn_Buh_Nesdan"));
    auto* events = new QWidget(box);
    // One under the other, so that the captions are read whole beside the counters.
    auto* eventsLayout = new QVBoxLayout(events);
    eventsLayout->setContentsMargins(0, 0, 0, 0);
    for (QRadioButton* r : {RBtn_Buh_SdanNesdan, RBtn_Buh_Sdan, RBtn_Buh_Nesdan})
        eventsLayout->addWidget(r);
    eventsLayout->addStretch(1);
    grid->addWidget(events, 1, 1, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("Временной диапазон :"), box), 2, 0);
    auto* periods = new QWidget(box);
    auto* periodLayout = new QVBoxLayout(periods);
    periodLayout->setContentsMargins(0, 0, 0, 0);
    RBtn_BuhAllDB = new QRadioButton(
        QStringLiteral(
            "Все отчёты, хранящиеся в базе данных  ( только для прикреплённых отчётностей )"),
        periods);
    RBtn_BuhAllDB->setObjectName(QStringLiteral("RBtn_BuhAllDB"));
    RBtn_BuhDT = new QRadioButton(QStringLiteral("Диапазон крайней сдачи отчётов  ( по умолчанию - "
                                                 "установлен текущий квартал ) :"),
                                  periods);
    RBtn_BuhDT->setObjectName(QStringLiteral("RBtn_BuhDT"));
    RBtn_BuhDT->setChecked(true);
    periodLayout->addWidget(RBtn_BuhAllDB);
    periodLayout->addWidget(RBtn_BuhDT);
    grid->addWidget(periods, 2, 1, 1, 4);

    CB_BuhMonth_Begin = new QComboBox(box);
    CB_BuhMonth_Begin->setObjectName(QStringLiteral("CB_BuhMonth_Begin"));
    CB_BuhMonth_End = new QComboBox(box);
    CB_BuhMonth_End->setObjectName(QStringLiteral("CB_BuhMonth_End"));
    for (QComboBox* c : {CB_BuhMonth_Begin, CB_BuhMonth_End}) {
        c->addItems(monthItems());
        // Chosen by mouse only.
        c->installEventFilter(this);
    }
    SE_BuhYear_Begin = new SpinEdit(2017, 2099, 2017, box);
    SE_BuhYear_Begin->setObjectName(QStringLiteral("SE_BuhYear_Begin"));
    SE_BuhYear_End = new SpinEdit(2017, 2099, 2017, box);
    SE_BuhYear_End->setObjectName(QStringLiteral("SE_BuhYear_End"));
    grid->addWidget(new QLabel(QStringLiteral("С :"), box), 3, 1);
    grid->addWidget(CB_BuhMonth_Begin, 3, 2);
    grid->addWidget(SE_BuhYear_Begin, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("По :"), box), 4, 1);
    grid->addWidget(CB_BuhMonth_End, 4, 2);
    grid->addWidget(SE_BuhYear_End, 4, 3);
    SBtn_Filter = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload),
                                  QStringLiteral("Применить фильтр"), box);
    SBtn_Filter->setObjectName(QStringLiteral("SBtn_Filter"));
    SBtn_Filter->setToolTip(QStringLiteral("Применить фильтр"));
    SBtn_Filter->setAutoDefault(false);
    grid->addWidget(SBtn_Filter, 3, 4, 2, 1);
    grid->setColumnStretch(4, 1);
    return box;
}

QWidget* TBuhOrgOperationsForm::buildCounters() {
    Panel_Warnings = new QWidget(this);
    Panel_Warnings->setObjectName(QStringLiteral("Panel_Warnings"));
    Panel_Warnings->setAutoFillBackground(true);
    QPalette grey = Panel_Warnings->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    Panel_Warnings->setPalette(grey);
    auto* grid = new QGridLayout(Panel_Warnings);
    grid->setContentsMargins(8, 6, 8, 6);
    const struct {
        QLabel** value;
        const char* name;
        const char* caption;
        QColor colour;
    } rows[] = {
        {&Label_Warning_MinDays, "Label_Warning_MinDays",
         "Предупреждений о скорой сдаче :", QColor(253, 241, 41)},
        {&Label_Warning_Alarm, "Label_Warning_Alarm",
         "Просроченных, не сданных :", QColor(255, 200, 190)},
        {&Label_BuhCount, "Label_BuhCount", "Всего отфильтрованно отчётов :", QColor(Qt::white)},
    };
    int row = 0;
    for (const auto& r : rows) {
        auto* caption = new QLabel(QString::fromUtf8(r.caption), Panel_Warnings);
        auto* value = new QLabel(QStringLiteral("---"), Panel_Warnings);
        value->setObjectName(QString::fromLatin1(r.name));
        paintText(caption, r.colour, true);
        paintText(value, r.colour, true);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1, Qt::AlignRight);
        *r.value = value;
        ++row;
    }
    return Panel_Warnings;
}

void TBuhOrgOperationsForm::buildGrid() {
    const Clock* clock = &m_env.clock;
    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    model = new DatasetModel(
        qBuhHistory,
        {{QStringLiteral("DT_END_ACCOUNT"),
          QStringLiteral("Отчётный период"),
          centred,
          [](const QVariant& v, const fb::Dataset& d, int row) {
              return periodText(d.value(row, QStringLiteral("CYCLING")), v.toDate());
          },
          {},
          0},
         {QStringLiteral("DT_ACTION"), QStringLiteral("Крайняя дата сдачи"), Qt::AlignLeft,
          russianDate(QStringLiteral("dd MMM yyyy")), QColor(Qt::blue), 0},
         {QStringLiteral("DT_ACTUAL"),
          QStringLiteral("Дата сдачи бухгалтером"),
          Qt::AlignLeft,
          russianDate(QStringLiteral("dd MMM yyyy")),
          {},
          0},
         {QStringLiteral("CYCLING"),
          QStringLiteral("Цикличность"),
          centred,
          [](const QVariant& v, const fb::Dataset&, int) { return cyclingText(v); },
          {},
          0},
         {QStringLiteral("NAME"),
          QStringLiteral("Наименование отчётности"),
          Qt::AlignLeft,
          {},
          {},
          250},
         {QStringLiteral("USERS_NAME"), QStringLiteral("Кто сдал отчёт"), Qt::AlignLeft, {}, {}, 0},
         {QStringLiteral("ID"),
          QStringLiteral("Статус отчёта"),
          Qt::AlignLeft,
          [clock](const QVariant&, const fb::Dataset& d, int row) {
              return statusText(entryStatus(entryAt(d, row), clock->now(), clock->today()));
          },
          {},
          200},
         {QStringLiteral("DT_ADD_RECORD"),
          QStringLiteral("Запись в базу"),
          Qt::AlignLeft,
          russianDate(QStringLiteral("dd MMM yyyy HH:mm")),
          {},
          0}},
        this);
    model->setRowColours([clock](const fb::Dataset& d, int row) {
        const BuhEntry e = entryAt(d, row);
        const RowColours c =
            rowColours(e, clock->now(), clock->today(), false, ScheduleWindow::Operations);
        const RowColours h =
            rowColours(e, clock->now(), clock->today(), true, ScheduleWindow::Operations);
        return GridRowColours{c.background, c.font, h.font};
    });
    DBGrid_BuhHistory = new DataGrid(model, &m_env.dialogs, this);
    DBGrid_BuhHistory->setObjectName(QStringLiteral("DBGrid_BuhHistory"));
    DBGrid_BuhHistory->setContextMenu(PM_Print);
}

bool TBuhOrgOperationsForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == CB_BuhMonth_Begin || watched == CB_BuhMonth_End) &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TBuhOrgOperationsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the main window.
    if (!m_centred && parentWidget()) {
        m_centred = true;
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
    }
}

void TBuhOrgOperationsForm::paintPeriodControls(bool enabled) {
    for (QWidget* control :
         QList<QWidget*>{CB_BuhMonth_Begin, CB_BuhMonth_End, SE_BuhYear_Begin, SE_BuhYear_End}) {
        control->setEnabled(enabled);
        QPalette p = control->palette();
        const QPalette standard = control->style()->standardPalette();
        const QColor colour =
            enabled ? standard.color(QPalette::Base) : standard.color(QPalette::Button);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, QPalette::Base, colour);
        control->setPalette(p);
    }
}

bool TBuhOrgOperationsForm::LoadOrgAccountIds() {
    m_reportIds.clear();
    m_reportIds = store::assignedReportIds(m_env.attachment, m_organisationId);
    return !m_reportIds.isEmpty();
}

void TBuhOrgOperationsForm::resetCounters() {
    for (QLabel* label : {Label_Warning_MinDays, Label_Warning_Alarm, Label_BuhCount})
        label->setText(QStringLiteral("---"));
}

void TBuhOrgOperationsForm::closeList() {
    // The comment memo keeps its text.
    qBuhHistory->close();
}

void TBuhOrgOperationsForm::SBtn_FilterClick() {
    closeList();
    store::OperationsFilter filter;
    filter.organisationId = m_organisationId;
    filter.reportId = m_reportId;
    filter.allDates = RBtn_BuhAllDB->isChecked();
    filter.beginMonth = CB_BuhMonth_Begin->currentIndex() + 1;
    filter.beginYear = SE_BuhYear_Begin->value();
    filter.endMonth = CB_BuhMonth_End->currentIndex() + 1;
    filter.endYear = SE_BuhYear_End->value();
    filter.events = RBtn_Buh_Sdan->isChecked()     ? store::EventType::SubmittedOnly
                    : RBtn_Buh_Nesdan->isChecked() ? store::EventType::OpenOnly
                                                   : store::EventType::All;
    const store::OperationsBuild build = store::buildOperationsStatement(filter);
    if (build.beginAfterEnd) {
        m_env.dialogs.error(this, QStringLiteral("Дата начала больше, чем дата окончания отчёта."),
                            QStringLiteral("Неверно указаны даты отчёта"));
        return;
    }
    qBuhHistory->setSelectSql(build.statement.sql);
    for (auto it = build.statement.params.constBegin(); it != build.statement.params.constEnd();
         ++it)
        qBuhHistory->setParam(it.key(), it.value());
    try {
        qBuhHistory->open();
        CountOrgStatuses(build.statement);
    } catch (const fb::Error& e) {
        closeList();
        if (!e.isConnectionLost())
            m_env.dialogs.unhandledError(e.message());
    }
}

void TBuhOrgOperationsForm::CountOrgStatuses(const store::ScheduleStatement& list) {
    // One aggregate pass over the rows of the list just opened; the grid is not walked.
    {
        const QString day = QStringLiteral(":COUNT_TODAY");
        const store::ListCounts counts =
            store::countListRows(m_env.attachment, list,
                                 {statusPredicate(BuhEntryStatus::Warning, day),
                                  statusPredicate(BuhEntryStatus::AlarmNeSdan, day)},
                                 {{QStringLiteral("COUNT_TODAY"), m_env.clock.today()}});
        Label_Warning_MinDays->setText(QString::number(counts.matching.value(0)));
        Label_Warning_Alarm->setText(QString::number(counts.matching.value(1)));
        Label_BuhCount->setText(QString::number(counts.total));
    }
}

void TBuhOrgOperationsForm::SBtn_Acc_SetClick() {
    m_marking->setSubmitted();
}

void TBuhOrgOperationsForm::SBtn_Acc_CancelClick() {
    m_marking->cancelSubmitted();
}

void TBuhOrgOperationsForm::SBtn_Acc_PrintClick() {
    PM_Print->popup(SBtn_Acc_Print->mapToGlobal(QPoint(0, SBtn_Acc_Print->height())));
}

void TBuhOrgOperationsForm::CE_BuhAccountsButtonClick() {
    TBuhAccountForm picker(m_env, this);
    picker.ToolBar_Main->hide();
    picker.RBtn_None->setEnabled(false);
    picker.SetVisibleReportIds(m_reportIds);
    picker.setAllowArchived(false);
    if (m_reportId == -1)
        picker.preselectAny();
    else
        picker.preselectReport(m_reportId);
    if (m_env.dialogs.exec(picker) != QDialog::Accepted)
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

void TBuhOrgOperationsForm::done(int result) {
    window_state::save(m_env.settings, QString::fromLatin1(kStatePath), m_env.dialogs, this,
                       [this](FormState& state) { window_state::storeStateAndSize(this, state); });
    QDialog::done(result);
}
