#include "tracking/schedule_tab.h"

#include "tracking/print_commands.h"

#include "core/clock.h"
#include "fb/dataset.h"
#include "status/entry_status.h"
#include "tracking/statistics_panel.h"
#include "tracking/submission_marking.h"
#include "widgets/button_edit.h"
#include "widgets/caption_strip.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/spin_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QStringList monthItems() {
    // Items 7 and 9 are written without a blank before the dash, as the users know them.
    return {QStringLiteral("01 - Январь"),  QStringLiteral("02 - Февраль"),
            QStringLiteral("03 - Март"),    QStringLiteral("04 - Апрель"),
            QStringLiteral("05 - Май"),     QStringLiteral("06 - Июнь"),
            QStringLiteral("07- Июль"),     QStringLiteral("08 - Август"),
            QStringLiteral("09- Сентябрь"), QStringLiteral("10 - Октябрь"),
            QStringLiteral("11 - Ноябрь"),  QStringLiteral("12 - Декабрь")};
}

BuhEntry entryAt(const fb::Dataset& d, int row) {
    return buhEntryFrom([&](const QString& field) { return d.value(row, field); });
}

QLabel* header(const QString& text) {
    return new CaptionStrip(text);
}

const char kAnyReport[] = "Любая бухгалтерская отчётность";
const char kNoOrganisation[] = "Организация не указана";

} // namespace

ScheduleTab::ScheduleTab(fb::Attachment& attachment, Dialogs* dialogs, const Clock& clock,
                         QWidget* parent)
    : QWidget(parent), m_attachment(attachment), m_dialogs(dialogs), m_clock(clock) {
    setObjectName(QStringLiteral("TS_BuhShedule"));
    qBuhAccShed = new fb::Dataset(attachment, this);
    qBuhAccShed->setObjectName(QStringLiteral("qBuhAccShed"));
    qBuhAccShed->setFetchStep(200);
    qBuhAccShed->setKeyField(QStringLiteral("ID"));
    qBuhAccShed->setGenerator(QStringLiteral("GEN_BUH_HISTORY_ID"));
    qBuhAccShed->setRefreshSql(store::scheduleRefreshSql());
    qBuhAccShed->setUpdateSql(store::scheduleUpdateSql());
    qBuhAccShed->setDeleteSql(store::scheduleDeleteSql());

    const Clock* clk = &clock;
    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    const auto dateTime = display::dateTime(QStringLiteral("dd.MM.yyyy hh:mm "));
    model = new DatasetModel(
        qBuhAccShed,
        {{QStringLiteral("DT_END_ACCOUNT"),
          QStringLiteral("Отчётный период"),
          Qt::AlignLeft,
          [](const QVariant& v, const fb::Dataset& d, int row) {
              return periodText(d.value(row, QStringLiteral("CYCLING")), v.toDate());
          },
          {},
          0},
         {QStringLiteral("DT_ACTION"), QStringLiteral("Крайняя дата сдачи"), Qt::AlignLeft,
          dateTime, QColor(Qt::blue), 0},
         {QStringLiteral("DT_ACTUAL"),
          QStringLiteral("Дата сдачи бухгалтером"),
          Qt::AlignLeft,
          [clk](const QVariant&, const fb::Dataset& d, int row) {
              return actualDateText(entryAt(d, row), clk->now());
          },
          {},
          0},
         {QStringLiteral("CYCLING"),
          QStringLiteral("Цикличность"),
          centred,
          [](const QVariant& v, const fb::Dataset&, int) { return cyclingText(v); },
          {},
          0},
         {QStringLiteral("BUH_ACCOUNT_NAME"),
          QStringLiteral("Наименование отчётности"),
          Qt::AlignLeft,
          {},
          {},
          250},
         {QStringLiteral("USERS_SDAL_NAME"),
          QStringLiteral("Кто сдал отчёт"),
          Qt::AlignLeft,
          {},
          {},
          0},
         {QStringLiteral("ID"),
          QStringLiteral("Статус отчёта"),
          centred,
          [clk](const QVariant&, const fb::Dataset& d, int row) {
              return statusText(entryAt(d, row).id.isValid()
                                    ? entryStatus(entryAt(d, row), clk->now(), clk->today())
                                    : std::nullopt);
          },
          {},
          0},
         {QStringLiteral("ORGANIZATION_NAME"),
          QStringLiteral("Организация"),
          Qt::AlignLeft,
          {},
          {},
          200},
         {QStringLiteral("DT_ADD_RECORD"),
          QStringLiteral("Запись в базу"),
          Qt::AlignLeft,
          dateTime,
          {},
          0}},
        this);
    model->setRowColours([clk](const fb::Dataset& d, int row) {
        const RowColours c = rowColours(entryAt(d, row), clk->now(), clk->today(), false,
                                        ScheduleWindow::ScheduleTab);
        const RowColours h = rowColours(entryAt(d, row), clk->now(), clk->today(), true,
                                        ScheduleWindow::ScheduleTab);
        return GridRowColours{c.background, c.font, h.font};
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header(QStringLiteral(
        "  Расписание создаётся в справочнике отчётностей, здесь оно только выводится")));

    buildMenu();
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(buildFilters());

    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    bottomSplitter = new QSplitter(Qt::Vertical, right);
    DBGrid_BuhHistory = new DataGrid(model, dialogs, bottomSplitter);
    DBGrid_BuhHistory->setObjectName(QStringLiteral("DBGrid_BuhHistory"));
    DBGrid_BuhHistory->setContextMenu(PM_BuhAccShed);
    bottomSplitter->addWidget(DBGrid_BuhHistory);
    bottomSplitter->addWidget(buildDetails());
    bottomSplitter->setStretchFactor(0, 1);
    bottomSplitter->setSizes({500, 190});
    rightLayout->addWidget(bottomSplitter);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    m_marking = std::make_unique<SubmissionMarking>(
        attachment, *qBuhAccShed, *m_dialogs, m_clock, this,
        SubmissionMarking::Options{QStringLiteral("BUH_ACCOUNT_NAME"), true});
    connectHandlers();
}

ScheduleTab::~ScheduleTab() = default;

void ScheduleTab::setBooksEnvironment(BooksEnvironment* env) {
    m_env = env;
}

void ScheduleTab::buildMenu() {
    PM_BuhAccShed = new QMenu(this);
    PM_BuhAccShed->setObjectName(QStringLiteral("PM_BuhAccShed"));
    auto add = [this](const char* name, const QString& caption, QStyle::StandardPixmap icon) {
        QAction* action = PM_BuhAccShed->addAction(style()->standardIcon(icon), caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    PM_BuhAcc_Create = add("PM_BuhAcc_Create", QStringLiteral("Показать расписание отчётов ..."),
                           QStyle::SP_FileDialogContentsView);
    PM_BuhAccShed->addSeparator();
    PM_BuhAcc_Set =
        add("PM_BuhAcc_Set", QStringLiteral("Сдать отчёт ..."), QStyle::SP_DialogApplyButton);
    PM_BuhAcc_Set->setShortcut(QKeySequence(Qt::Key_Insert));
    PM_BuhAcc_Cancel = add("PM_BuhAcc_Cancel", QStringLiteral("Отменить сдачу отчёта ..."),
                           QStyle::SP_DialogCancelButton);
    PM_BuhAcc_Cancel->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    PM_BuhAccShed->addSeparator();
    MenuItem1 = add("MenuItem1", QStringLiteral("Удалить выделенный отчёт из истории ..."),
                    QStyle::SP_TrashIcon);
    PM_BuhAcc_DelAll =
        add("PM_BuhAcc_DelAll", QStringLiteral("Удалить все отфильтрованные отчёты из истории ..."),
            QStyle::SP_DialogDiscardButton);
    PM_BuhAccShed->addSeparator();
    PM_BuhAcc_Print = PM_BuhAccShed->addMenu(style()->standardIcon(QStyle::SP_FileIcon),
                                             QStringLiteral("Печать"));
    PM_BuhAcc_Print->setObjectName(QStringLiteral("PM_BuhAcc_Print"));
    printing::installSchedulePrinting(*this);
    // The keys of the menu work while the tab has the focus.
    for (QAction* action : {PM_BuhAcc_Set, PM_BuhAcc_Cancel}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
}

QWidget* ScheduleTab::buildFilters() {
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    Panel_BuhParams = new QWidget;
    Panel_BuhParams->setObjectName(QStringLiteral("Panel_BuhParams"));
    auto* v = new QVBoxLayout(Panel_BuhParams);
    v->setContentsMargins(4, 4, 4, 4);

    auto* toolbar = new QToolBar(Panel_BuhParams);
    toolbar->setIconSize(QSize(32, 32));
    TBtn_BuhAccShedAction = new QToolButton(toolbar);
    TBtn_BuhAccShedAction->setObjectName(QStringLiteral("TBtn_BuhAccShedAction"));
    TBtn_BuhAccShedAction->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
    TBtn_BuhAccShedAction->setToolTip(QStringLiteral("Действия над отчётностью"));
    TBtn_BuhAccShedAction->setMenu(PM_BuhAccShed);
    TBtn_BuhAccShedAction->setPopupMode(QToolButton::InstantPopup);
    toolbar->addWidget(TBtn_BuhAccShedAction);
    v->addWidget(toolbar);

    Panel_Statistc = new StatisticsPanel(Panel_BuhParams);
    v->addWidget(Panel_Statistc);

    v->addWidget(header(QStringLiteral("  Не сданные отчёты")));
    CB_Buh_NeSdan = new QCheckBox(QStringLiteral("Ещё не сданные, без предупреждения"));
    CB_Buh_Warning = new QCheckBox(QStringLiteral("С предупреждениями о скорой сдаче"));
    CB_Buh_Alarm_NeSdan = new QCheckBox(QStringLiteral("Просроченные, не сданные"));
    v->addWidget(header(QStringLiteral("  Сданные отчёты")));
    CB_Buh_Sdan = new QCheckBox(QStringLiteral("Сданные вовремя"));
    CB_Buh_Alarm_Sdan = new QCheckBox(QStringLiteral("Сданные, но просроченные"));
    CB_Buh_Alarm_Podozrenue = new QCheckBox(QStringLiteral("Сданные, подозрительные"));
    CB_Buh_Alarm_Podozrenue->setToolTip(suspiciousHintText());
    const QList<std::pair<QCheckBox*, const char*>> boxes{
        {CB_Buh_NeSdan, "CB_Buh_NeSdan"},
        {CB_Buh_Warning, "CB_Buh_Warning"},
        {CB_Buh_Alarm_NeSdan, "CB_Buh_Alarm_NeSdan"},
        {CB_Buh_Sdan, "CB_Buh_Sdan"},
        {CB_Buh_Alarm_Sdan, "CB_Buh_Alarm_Sdan"},
        {CB_Buh_Alarm_Podozrenue, "CB_Buh_Alarm_Podozrenue"}};
    int index = 0;
    for (const auto& [box, name] : boxes) {
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(true);
        // The two groups sit under their own headers.
        v->insertWidget(index < 3 ? v->count() - 1 : v->count(), box);
        ++index;
    }

    v->addWidget(header(QStringLiteral("  Временной промежуток отчётов")));
    RBtn_BuhAllDB = new QRadioButton(QStringLiteral("Все отчёты, хранящиеся в базе данных"));
    RBtn_BuhAllDB->setObjectName(QStringLiteral("RBtn_BuhAllDB"));
    RBtn_BuhDT = new QRadioButton(QStringLiteral("Диапазон крайней сдачи отчётов  :"));
    RBtn_BuhDT->setObjectName(QStringLiteral("RBtn_BuhDT"));
    RBtn_BuhDT->setChecked(true);
    v->addWidget(RBtn_BuhAllDB);
    v->addWidget(RBtn_BuhDT);
    auto* period = new QGridLayout;
    CB_BuhMonth_Begin = new QComboBox;
    CB_BuhMonth_Begin->setObjectName(QStringLiteral("CB_BuhMonth_Begin"));
    CB_BuhMonth_Begin->addItems(monthItems());
    CB_BuhMonth_End = new QComboBox;
    CB_BuhMonth_End->setObjectName(QStringLiteral("CB_BuhMonth_End"));
    CB_BuhMonth_End->addItems(monthItems());
    CB_BuhMonth_End->setCurrentIndex(11);
    SE_BuhYear_Begin = new SpinEdit(2017, 2099, 2017);
    SE_BuhYear_Begin->setObjectName(QStringLiteral("SE_BuhYear_Begin"));
    SE_BuhYear_End = new SpinEdit(2017, 2099, 2017);
    SE_BuhYear_End->setObjectName(QStringLiteral("SE_BuhYear_End"));
    period->addWidget(new QLabel(QStringLiteral("С :")), 0, 0);
    period->addWidget(CB_BuhMonth_Begin, 0, 1);
    period->addWidget(SE_BuhYear_Begin, 0, 2);
    period->addWidget(new QLabel(QStringLiteral("По :")), 1, 0);
    period->addWidget(CB_BuhMonth_End, 1, 1);
    period->addWidget(SE_BuhYear_End, 1, 2);
    v->addLayout(period);

    v->addWidget(new QLabel(QStringLiteral("Бухгалтерская отчётность :")));
    CE_BuhAccounts = new ButtonEdit;
    CE_BuhAccounts->setObjectName(QStringLiteral("CE_BuhAccounts"));
    CE_BuhAccounts->setText(QString::fromUtf8(kAnyReport));
    CE_BuhAccounts->setToolTip(QStringLiteral("Нажмите на кнопку для выбора отчётности"));
    v->addWidget(CE_BuhAccounts);

    v->addWidget(header(QStringLiteral("  Организации, входящие в отчёт")));
    RBtn_BuhOrg_All = new QRadioButton(QStringLiteral("По всем организациям"));
    RBtn_BuhOrg_All->setObjectName(QStringLiteral("RBtn_BuhOrg_All"));
    RBtn_BuhOrg_All->setChecked(true);
    RBtn_BuhOrg_One = new QRadioButton(QStringLiteral("Одна определённая организация"));
    RBtn_BuhOrg_One->setObjectName(QStringLiteral("RBtn_BuhOrg_One"));
    auto* orgBox = new QWidget;
    auto* orgLayout = new QVBoxLayout(orgBox);
    orgLayout->setContentsMargins(0, 0, 0, 0);
    orgLayout->addWidget(RBtn_BuhOrg_All);
    orgLayout->addWidget(RBtn_BuhOrg_One);
    CB_BuhOrg = new ButtonEdit;
    CB_BuhOrg->setObjectName(QStringLiteral("CB_BuhOrg"));
    CB_BuhOrg->setText(QString::fromUtf8(kNoOrganisation));
    CB_BuhOrg->setToolTip(QStringLiteral("Нажмите на кнопку для выбора организации"));
    CB_BuhOrg->setEnabled(false);
    orgLayout->addWidget(CB_BuhOrg);
    v->addWidget(orgBox);
    v->addStretch(1);
    scroll->setWidget(Panel_BuhParams);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(Panel_BuhParams->sizeHint().width() + 24);
    return scroll;
}

QWidget* ScheduleTab::buildDetails() {
    Panel_ReportBottom = new QWidget;
    Panel_ReportBottom->setObjectName(QStringLiteral("Panel_ReportBottom"));
    auto* h = new QVBoxLayout(Panel_ReportBottom);
    h->setContentsMargins(0, 0, 0, 0);
    detailSplitter = new QSplitter(Qt::Horizontal, Panel_ReportBottom);
    Panel_Podrobno = new QWidget(detailSplitter);
    Panel_Podrobno->setObjectName(QStringLiteral("Panel_Podrobno"));
    auto* form = new QFormLayout(Panel_Podrobno);
    form->setContentsMargins(6, 4, 6, 4);
    form->setVerticalSpacing(2);
    const QList<std::pair<const char*, QString>> pairs{
        {"Label_DT_End_Account", QStringLiteral("Отчётный период :")},
        {"Label_DT_Action", QStringLiteral("Крайняя дата сдачи :")},
        {"Label_DT_Actual", QStringLiteral("Дата сдачи бухгалтером :")},
        {"Label_Cycling", QStringLiteral("Цикличность :")},
        {"Label_Buh_Account_Name", QStringLiteral("Наименование отчётности :")},
        {"Label_Users_Sdal_Name", QStringLiteral("Кто сдал отчёт :")},
        {"Label_Status", QStringLiteral("Статус отчёта :")},
        {"Label_Organization_Name", QStringLiteral("Организация :")},
        {"Label_Add_Record", QStringLiteral("Запись в базу :")}};
    for (const auto& [name, caption] : pairs) {
        auto* value = new QLabel(QStringLiteral("-"));
        value->setObjectName(QString::fromLatin1(name));
        if (value->objectName() == QLatin1String("Label_DT_Action")) {
            QFont f = value->font();
            f.setBold(true);
            value->setFont(f);
        }
        form->addRow(caption, value);
        m_detailValues << value;
    }
    auto* commentBox = new QWidget(detailSplitter);
    auto* commentLayout = new QVBoxLayout(commentBox);
    commentLayout->setContentsMargins(0, 0, 0, 0);
    commentLayout->setSpacing(0);
    commentLayout->addWidget(
        header(QStringLiteral("  Комментарий бухгалтера для сданной отчётности")));
    Memo_BuhAccComments = new QPlainTextEdit(commentBox);
    Memo_BuhAccComments->setObjectName(QStringLiteral("Memo_BuhAccComments"));
    Memo_BuhAccComments->setReadOnly(true);
    commentLayout->addWidget(Memo_BuhAccComments);
    detailSplitter->addWidget(Panel_Podrobno);
    detailSplitter->addWidget(commentBox);
    detailSplitter->setSizes({480, 400});
    h->addWidget(detailSplitter);
    return Panel_ReportBottom;
}

QLabel* ScheduleTab::detailValue(const QString& name) const {
    for (QLabel* label : m_detailValues) {
        if (label->objectName() == name)
            return label;
    }
    return nullptr;
}
