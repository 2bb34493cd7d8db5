#include "books/buh_account_form.h"

#include "books/name_check.h"
#include "store/reports.h"

#include "books/books_environment.h"
#include "books/buh_account_ae_form.h"
#include "books/grid_columns.h"
#include "books/run_messages.h"
#include "books/scheduler_params_form.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schedule/event_pump.h"
#include "schedule/periods.h"
#include "schedule/schedule_engine.h"
#include "widgets/balloon_hint.h"
#include "widgets/busy_indicator.h"
#include "widgets/caption_strip.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/form_parts.h"
#include "widgets/spin_edit.h"
#include "widgets/window_state.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kStatePath = QStringLiteral("BUH_ACCOUNT\\");
const QString kGridName = QStringLiteral("DBGrid_BuhAccount");
const QString kCommentsHeight = QStringLiteral("Panel_Comments.Height");
const QString kBusyText = QStringLiteral("Выпоняется операция....");
const QString kCaption = QStringLiteral("Бухгалтерская отчётность");

const char kAskAll[] =
    "Расписание сдачи бухгалтерской отчётности создается на срок \"текущий год + первый квартал "
    "следующего года  ( для отчёта за предыдущий год )\" и выполняется администратором раз в "
    "год, в начале каждого года.\n \nВ первый квартал следующего года, будут выведены сообщения "
    "о том, что необходимо сдать отчётность за предыдущий год, но само расписание новых "
    "отчётностей за первый квартал следующего года создано не будет.\n \n \n \nЕсли при уже "
    "созданном на год расписании, администратор снова нажмёт на эту кнопку, то программа "
    "пересоздаст расписание, при этом уже сданная отчётность будет сохранена в истории.\n \n "
    "\nСоздать расписание на \"текущий год + первый квартал следующего года  ( для отчёта за "
    "предыдущий год )\" ?";
const char kAskOne[] =
    "Расписание сдачи бухгалтерской отчётности создается на срок \"текущий год + первый квартал "
    "следующего года  ( для отчёта за предыдущий год )\" и выполняется администратором раз в "
    "год, в начале каждого года.\n \nВ первый квартал следующего года, будут выведены сообщения "
    "о том, что необходимо сдать отчётность за предыдущий год, но само расписание новых "
    "отчётностей за первый квартал следующего года создано не будет.\n \n \nПри наступлении "
    "нового года, будет выведено сообщение, что необходимо создать новое расписание отчётностей "
    "на наступивший год.\n \nЕсли при уже созданном на год расписании, администратор снова "
    "нажмёт на эту кнопку, то программа пересоздаст расписание, при этом уже сданная отчётность "
    "будет сохранена в истории.\n \n \nСоздать расписание на \"текущий год + первый квартал "
    "следующего года  ( для отчёта за предыдущий год )\" ?";

QString lines(const QStringList& list) {
    return list.join(QLatin1Char('\n'));
}

QString quotedName(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QLabel* helpLink(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TBuhAccountForm::TBuhAccountForm(BooksEnvironment& env, QWidget* parent)
    : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("TBuhAccountForm"));
    setWindowTitle(kCaption);

    qBuhAccount = new fb::Dataset(env.attachment, this);
    qBuhAccount->setObjectName(QStringLiteral("qBuhAccount"));
    store::bind(*qBuhAccount, store::reports::list());

    QList<ColumnDef> columns = grid_columns::reportTerms(QColor(0, 0, 255));
    columns.append(
        {QStringLiteral("DEL"),
         QStringLiteral("Активность"),
         Qt::AlignLeft,
         display::codes({{0, QStringLiteral("Активная")}, {1, QStringLiteral("В архиве")}}),
         {},
         90});
    model = new DatasetModel(qBuhAccount, columns, this);
    // Archived reports stand out.
    model->setRowColours([](const fb::Dataset& d, int row) {
        const QVariant del = d.value(row, QStringLiteral("DEL"));
        if (!del.isNull() && del.toInt() == 1)
            return GridRowColours::marked(QColor(255, 200, 190));
        return GridRowColours{};
    });

    auto* layout = new QVBoxLayout(this);
    buildToolBar();
    layout->addWidget(ToolBar_Main);

    Label_Header =
        form_parts::headerLabel(QStringLiteral("Справочник бухгалтерской отчётности"), this);
    layout->addWidget(Label_Header);
    Label_Info2 = new QLabel(QStringLiteral("Внесите в справочник необходимую отчётность"), this);
    Label_Info2->setObjectName(QStringLiteral("Label_Info2"));
    layout->addWidget(Label_Info2);

    RBtn_Any = new QRadioButton(QStringLiteral("Любая бухгалтерская отчётность"), this);
    RBtn_Any->setObjectName(QStringLiteral("RBtn_Any"));
    RBtn_None = new QRadioButton(QStringLiteral("Без отчётности"), this);
    RBtn_None->setObjectName(QStringLiteral("RBtn_None"));
    RBtn_Select = new QRadioButton(
        QStringLiteral("Определённая отчётность  ( поиск по наименованию отчётности ) :"), this);
    RBtn_Select->setObjectName(QStringLiteral("RBtn_Select"));
    RBtn_Select->setChecked(true);
    layout->addWidget(RBtn_Any);
    layout->addWidget(RBtn_None);
    layout->addWidget(RBtn_Select);
    Edit_Search = new QLineEdit(this);
    Edit_Search->setObjectName(QStringLiteral("Edit_Search"));
    Edit_Search->setMaxLength(255);
    layout->addWidget(Edit_Search);

    Splitter_Comments = new QSplitter(Qt::Vertical, this);
    Splitter_Comments->setObjectName(QStringLiteral("Splitter_Comments"));
    DBGrid_BuhAccount = new DataGrid(model, &env.dialogs, Splitter_Comments);
    DBGrid_BuhAccount->setObjectName(kGridName);
    Panel_Comments = new QWidget(Splitter_Comments);
    Panel_Comments->setObjectName(QStringLiteral("Panel_Comments"));
    auto* commentsLayout = new QVBoxLayout(Panel_Comments);
    commentsLayout->setContentsMargins(0, 0, 0, 0);
    commentsLayout->setSpacing(0);
    commentsLayout->addWidget(
        new CaptionStrip(QStringLiteral("  Информация об отчётности"), Panel_Comments));
    Memo_Comments = new QPlainTextEdit(Panel_Comments);
    Memo_Comments->setObjectName(QStringLiteral("Memo_Comments"));
    Memo_Comments->setReadOnly(true);
    commentsLayout->addWidget(Memo_Comments);
    Splitter_Comments->addWidget(DBGrid_BuhAccount);
    Splitter_Comments->addWidget(Panel_Comments);
    Splitter_Comments->setStretchFactor(0, 1);
    Splitter_Comments->setSizes({380, 110});
    layout->addWidget(Splitter_Comments, 1);

    const auto row =
        form_parts::addButtonRow(layout, this, QStringLiteral("Выбор"), QStringLiteral("Закрыть"));
    Btn_OK = row.ok;
    Btn_Cancel = row.cancel;
    resize(1000, 640);

    connect(RBtn_Any, &QRadioButton::clicked, this, &TBuhAccountForm::RBtn_AnyClick);
    connect(RBtn_None, &QRadioButton::clicked, this, &TBuhAccountForm::RBtn_AnyClick);
    connect(RBtn_Select, &QRadioButton::clicked, this, &TBuhAccountForm::RBtn_SelectClick);
    connect(Edit_Search, &QLineEdit::textChanged, this, &TBuhAccountForm::applyFilter);
    Edit_Search->installEventFilter(this);
    connect(DBGrid_BuhAccount, &DataGrid::rowDoubleClicked, this,
            &TBuhAccountForm::DBGrid_BuhAccountDblClick);
    connect(Btn_OK, &QPushButton::clicked, this, &TBuhAccountForm::Btn_OKClick);
    connect(qBuhAccount, &fb::Dataset::afterScroll, this, &TBuhAccountForm::qBuhAccountAfterScroll);
    connect(qBuhAccount, &fb::Dataset::afterPost, this, &TBuhAccountForm::qBuhAccountAfterScroll);
    // While the window exists its balloon also carries the tool-tips.
    BalloonHint::forWindow(this)->setShowsToolTips(true);

    qBuhAccount->open();
    window_state::restore(env.settings, kStatePath, env.dialogs, this,
                          [this](const FormState& state) {
                              window_state::applyStateAndSize(this, state);
                              if (state.properties.contains(kCommentsHeight))
                                  m_commentsHeight = state.properties.value(kCommentsHeight);
                              DBGrid_BuhAccount->restoreFrom(state, kGridName);
                          });
    // Without organisations there is nothing to schedule; the next move in the list applies
    // the list's own rule again.
    const bool hasOrganizations =
        env.organizations && env.organizations->isOpen() && !env.organizations->isEmpty();
    TBtn_CreateHistory_One->setEnabled(TBtn_CreateHistory_One->isEnabled() && hasOrganizations);
    TBtn_CreateHistory->setEnabled(TBtn_CreateHistory->isEnabled() && hasOrganizations);
}

TBuhAccountForm::~TBuhAccountForm() = default;

void TBuhAccountForm::buildToolBar() {
    ToolBar_Main = new QWidget(this);
    ToolBar_Main->setObjectName(QStringLiteral("ToolBar_Main"));
    auto* bar = new QHBoxLayout(ToolBar_Main);
    bar->setContentsMargins(0, 0, 0, 0);
    TBtn_Add = form_parts::toolButton(ToolBar_Main, "TBtn_Add", QStyle::SP_FileDialogNewFolder,
                                      QStringLiteral("Добавить новую отчётность"));
    TBtn_Chng = form_parts::toolButton(ToolBar_Main, "TBtn_Chng", QStyle::SP_FileDialogDetailedView,
                                       QStringLiteral("Редактировать отчётность"));
    TBtn_Off = form_parts::toolButton(ToolBar_Main, "TBtn_Off", QStyle::SP_DialogNoButton,
                                      QStringLiteral("Поместить отчётность в архив"));
    TBtn_Del = form_parts::toolButton(ToolBar_Main, "TBtn_Del", QStyle::SP_TrashIcon,
                                      QStringLiteral("Удалить отчётность из базы данных"));
    TBtn_Sep_02 = form_parts::separator(ToolBar_Main, "TBtn_Sep_02");
    TBtn_CreateHistory_One =
        form_parts::toolButton(ToolBar_Main, "TBtn_CreateHistory_One", QStyle::SP_MediaPlay,
                               QStringLiteral("Создать расписание для одной отчётности"));
    TBtn_CreateHistory =
        form_parts::toolButton(ToolBar_Main, "TBtn_CreateHistory", QStyle::SP_MediaSeekForward,
                               QStringLiteral("Создать расписание всех бухгалтерских отчётностей"));
    Label_Help = helpLink(ToolBar_Main, "Label_Help", QStringLiteral("Где создаётся расписание ?"));
    Label_Help_2 =
        helpLink(ToolBar_Main, "Label_Help_2", QStringLiteral("Как работать с бухотчётностью ?"));
    bar->addWidget(TBtn_Add);
    bar->addWidget(TBtn_Chng);
    bar->addWidget(form_parts::separator(ToolBar_Main, "TBtn_Sep_01"));
    bar->addWidget(TBtn_Off);
    bar->addWidget(TBtn_Del);
    bar->addWidget(TBtn_Sep_02);
    bar->addWidget(TBtn_CreateHistory_One);
    bar->addWidget(TBtn_CreateHistory);
    bar->addWidget(form_parts::separator(ToolBar_Main, "TBtn_Sep_03"));
    bar->addSpacing(8);
    bar->addWidget(Label_Help);
    bar->addSpacing(16);
    bar->addWidget(Label_Help_2);
    bar->addStretch(1);

    connect(TBtn_Add, &QToolButton::clicked, this, &TBuhAccountForm::TBtn_AddClick);
    connect(TBtn_Chng, &QToolButton::clicked, this, &TBuhAccountForm::TBtn_ChngClick);
    connect(TBtn_Off, &QToolButton::clicked, this, &TBuhAccountForm::TBtn_OffClick);
    connect(TBtn_Del, &QToolButton::clicked, this, &TBuhAccountForm::TBtn_DelClick);
    connect(TBtn_CreateHistory_One, &QToolButton::clicked, this,
            &TBuhAccountForm::TBtn_CreateHistory_OneClick);
    connect(TBtn_CreateHistory, &QToolButton::clicked, this,
            &TBuhAccountForm::TBtn_CreateHistoryClick);
    Label_Help->installEventFilter(this);
    Label_Help_2->installEventFilter(this);
}

void TBuhAccountForm::SetVisibleReportIds(const QStringList& ids) {
    m_visibleIds = ids;
    applyFilter();
}

void TBuhAccountForm::preselectAny() {
    RBtn_Any->setChecked(true);
    RBtn_AnyClick();
}

void TBuhAccountForm::preselectReport(int id) {
    RBtn_Select->setChecked(true);
    RBtn_SelectClick();
    qBuhAccount->locate(QStringLiteral("ID"), id);
}

void TBuhAccountForm::hideScheduleButtons() {
    TBtn_CreateHistory_One->hide();
    TBtn_CreateHistory->hide();
    TBtn_Sep_02->hide();
}

QVariant TBuhAccountForm::selectedId() const {
    return hasRows() ? qBuhAccount->fieldValue(QStringLiteral("ID")) : QVariant();
}

QString TBuhAccountForm::selectedName() const {
    return qBuhAccount->fieldValue(QStringLiteral("NAME")).toString();
}

bool TBuhAccountForm::hasRows() const {
    return qBuhAccount->isOpen() && !qBuhAccount->isEmpty();
}

void TBuhAccountForm::qBuhAccountAfterScroll() {
    const bool rows = hasRows();
    const QVariant del = rows ? qBuhAccount->fieldValue(QStringLiteral("DEL")) : QVariant();
    const bool active = rows && (del.isNull() || del.toInt() != 1);
    TBtn_Chng->setEnabled(active);
    TBtn_Off->setEnabled(active);
    TBtn_CreateHistory_One->setEnabled(active);
    TBtn_Del->setEnabled(rows);
    TBtn_CreateHistory->setEnabled(rows);
    Btn_OK->setEnabled(rows);
    Memo_Comments->setPlainText(
        rows ? qBuhAccount->fieldValue(QStringLiteral("COMMENTS")).toString() : QString());
}

void TBuhAccountForm::applyFilter() {
    const QString search = Edit_Search->text().toLower();
    const QStringList visible = m_visibleIds;
    const int nameField = qBuhAccount->fieldIndex(QStringLiteral("NAME"));
    const int idField = qBuhAccount->fieldIndex(QStringLiteral("ID"));
    qBuhAccount->setFilter([=](const fb::Dataset& d, int sourceRow) {
        if (!search.isEmpty() &&
            !d.sourceValue(sourceRow, nameField).toString().toLower().contains(search))
            return false;
        return visible.isEmpty() || visible.contains(d.sourceValue(sourceRow, idField).toString());
    });
}

void TBuhAccountForm::RBtn_AnyClick() {
    form_parts::enableSearch(Edit_Search, DBGrid_BuhAccount, false);
}

void TBuhAccountForm::RBtn_SelectClick() {
    form_parts::enableSearch(Edit_Search, DBGrid_BuhAccount, true);
}

void TBuhAccountForm::DBGrid_BuhAccountDblClick() {
    if (!Btn_OK->isHidden() && Btn_OK->isEnabled())
        Btn_OKClick();
    else if (TBtn_Chng->isEnabled())
        TBtn_ChngClick();
}

void TBuhAccountForm::Btn_OKClick() {
    const QVariant del = qBuhAccount->fieldValue(QStringLiteral("DEL"));
    if (del.toInt() != 0 && !m_allowArchived) {
        m_env.dialogs.error(this,
                            QStringLiteral("Данная отчётность выключена - это означает, что для "
                                           "этой отчётности нельзя создать расписание. В то же "
                                           "время, для выключенной отчётности можно получать "
                                           "отчёты о прошлых её сдачах."),
                            QStringLiteral("Отчётность выключена"));
        return;
    }
    accept();
}

QString TBuhAccountForm::helpText() {
    return QStringList{
        QStringLiteral("Расписание СОЗДАЁТСЯ в базе данных :"),
        QStringLiteral(" "),
        QStringLiteral("1.) В справочнике \"Бухгалтерская отчётность\", при нажатии на кнопку :"),
        QStringLiteral("- для всех отчётностей сразу"),
        QStringLiteral("- для одной, определённой отчётности"),
        QStringLiteral(" "),
        QStringLiteral("2.) В главном окне, в закладке \"Бухгалтерская отчётность\" для списка "
                       "организаций:"),
        QStringLiteral("- при \"Включении\" отчётности - для одной или всех отчётностей одной "
                       "организации"),
        QStringLiteral(" "),
        QStringLiteral(" "),
        QStringLiteral("Расписание УДАЛЯЕТСЯ из базы данных :"),
        QStringLiteral(" "),
        QStringLiteral("1.) В справочнике \"Бухгалтерская отчётность\", при нажатии на кнопку :"),
        QStringLiteral("- при удалении отчётности из справочника"),
        QStringLiteral("- при \"Выключении\" отчётности в справочнике"),
        QStringLiteral(" "),
        QStringLiteral("2.) В главном окне, в закладке \"Бухгалтерская отчётность\" для списка "
                       "организаций:"),
        QStringLiteral("- при \"Выключении\" отчётности - для одной или всех отчётностей одной "
                       "организации"),
    }
        .join(QStringLiteral("\r\n"));
}

QString TBuhAccountForm::help2Text() {
    return QStringList{
        QStringLiteral("1.) Заполните справочник праздничных дней"),
        QStringLiteral("2.) Заполните справочник бухгалтерских отчётностей"),
        QStringLiteral("3.) Назначьте каждой организации необходимый список отчётностей"),
        QStringLiteral("4.) Включите для каждой организации нужную отчётность"),
        QStringLiteral("5.) Создайте расписание отчётов  ( кнопка в этом справочнике )"),
        QStringLiteral("6.) Выводите расписание отчётов в двух местах:"),
        QStringLiteral(" "),
        QStringLiteral("- Закладка \"Документооборот\" - \"Бухгалтерская отчётность\""),
        QStringLiteral("- Закладка \"Организации\" - \"Бухгалтерская отчётность\" "),
    }
        .join(QStringLiteral("\r\n"));
}

void TBuhAccountForm::Label_HelpClick() {
    BalloonHint::forWindow(this)->showAt(Label_Help, QStringLiteral("Краткая справка"), helpText(),
                                         30000);
}

void TBuhAccountForm::Label_Help_2Click() {
    BalloonHint::forWindow(this)->showAt(Label_Help_2, QStringLiteral("Краткая справка"),
                                         help2Text(), 30000);
}

bool TBuhAccountForm::postReport(const TBuhAccountAEForm& form, bool inserting,
                                 int shownDayWarning) {
    try {
        if (inserting)
            qBuhAccount->append();
        else
            qBuhAccount->edit();
        qBuhAccount->setFieldValue(QStringLiteral("NAME"), form.nameValue());
        qBuhAccount->setFieldValue(QStringLiteral("DAY_ACTION"), form.SE_Day_Action->value());
        qBuhAccount->setFieldValue(QStringLiteral("DAY_ACTION_12"), form.dayAction12Value());
        // The periodicity cannot change on edit, and a warning term left as it was shown keeps
        // the stored value, even one the controls cannot show (empty or out of range).
        if (inserting)
            qBuhAccount->setFieldValue(QStringLiteral("CYCLING"), form.cycling());
        if (inserting || form.SE_Day_Warning->value() != shownDayWarning)
            qBuhAccount->setFieldValue(QStringLiteral("DAY_WARNING"), form.SE_Day_Warning->value());
        qBuhAccount->setFieldValue(QStringLiteral("COMMENTS"), form.commentsValue());
        qBuhAccount->post();
        return true;
    } catch (const fb::Error& e) {
        // Usually a name the database holds already; nothing of the change is kept.
        qBuhAccount->cancel();
        m_env.dialogs.error(
            this,
            refusedWriteText(e,
                             QStringLiteral("Произошла ошибка записи в базу данных, возможно, "
                                            "отчётность с таким наименованием уже присутствует в "
                                            "базе данных.")),
            kCaption);
        return false;
    }
}

void TBuhAccountForm::TBtn_AddClick() {
    // The name check must see every report the visible-ID list allows.
    Edit_Search->clear();
    TBuhAccountAEForm form(*qBuhAccount, this);
    form.setEditMode(0);
    form.setWindowTitle(QStringLiteral("Новая отчётность"));
    if (m_env.dialogs.exec(form) == QDialog::Accepted)
        postReport(form, true);
}

void TBuhAccountForm::TBtn_ChngClick() {
    if (!hasRows())
        return;
    const int reportId = qBuhAccount->fieldValue(QStringLiteral("ID")).toInt();
    const int oldDayAction = qBuhAccount->fieldValue(QStringLiteral("DAY_ACTION")).toInt();
    const int oldDayAction12 =
        dayAction12FromDb(qBuhAccount->fieldValue(QStringLiteral("DAY_ACTION_12")));
    int newDayAction = oldDayAction;
    int newDayAction12 = oldDayAction12;
    {
        TBuhAccountAEForm form(*qBuhAccount, this);
        form.setEditMode(1);
        form.setWindowTitle(QStringLiteral("Редактирование отчётности"));
        form.Edit_Buh_Account->setText(qBuhAccount->fieldValue(QStringLiteral("NAME")).toString());
        form.SE_Day_Action->setValue(oldDayAction);
        const QVariant dayAction12 = qBuhAccount->fieldValue(QStringLiteral("DAY_ACTION_12"));
        if (dayAction12.isNull()) {
            form.CB_Day_Action_12->setChecked(false);
        } else {
            form.SE_Day_Action_12->setValue(dayAction12.toInt());
            form.CB_Day_Action_12->setChecked(true);
        }
        form.SE_Day_Warning->setValue(
            qBuhAccount->fieldValue(QStringLiteral("DAY_WARNING")).toInt());
        form.setCycling(qBuhAccount->fieldValue(QStringLiteral("CYCLING")).toInt());
        form.RG_Cycling->setEnabled(false);
        form.Memo_Comments->setPlainText(
            qBuhAccount->fieldValue(QStringLiteral("COMMENTS")).toString());
        form.Label_Info2->setText(
            QStringLiteral("При редактировании отчётности, нельзя поменять цикличность её сдачи"));
        QPalette palette = form.Label_Info2->palette();
        palette.setColor(QPalette::WindowText, QColor(245, 244, 129));
        form.Label_Info2->setPalette(palette);
        form.RG_CyclingClick();
        const int shownDayWarning = form.SE_Day_Warning->value();
        if (m_env.dialogs.exec(form) == QDialog::Accepted &&
            postReport(form, false, shownDayWarning)) {
            newDayAction = form.SE_Day_Action->value();
            newDayAction12 = form.CB_Day_Action_12->isChecked() ? form.SE_Day_Action_12->value()
                                                                : kDayAction12NotSet;
        }
    }
    if (newDayAction != oldDayAction || newDayAction12 != oldDayAction12) {
        m_env.dialogs.information(
            this,
            lines({QStringLiteral("Вы изменили в бухгалтерской отчётности параметр \"Количество "
                                  "дней, до крайней даты сдачи отчётности ... \"."),
                   QStringLiteral("При изменении данного параметра, необходимо пересоздать "
                                  "расписание для этой отчётности на остаток текущего года."),
                   QStringLiteral(" "),
                   QStringLiteral("Пожалуйста, нажмите \"Ок\" и дождитесь окончания этой "
                                  "операции.")}),
            QString::fromUtf8(run_messages::kGenerationCaption));
        const RunResult result = generate(reportId);
        // A clean run ends without a word; lost entries are not kept from the user.
        if (!result.clean())
            m_env.dialogs.message(run_messages::generationDone(result, this));
    }
    refreshAssignments();
}

void TBuhAccountForm::TBtn_DelClick() {
    if (!hasRows())
        return;
    const QString name = qBuhAccount->fieldValue(QStringLiteral("NAME")).toString();
    const QString caption = QStringLiteral("Удаление отчётности из базы данных");
    if (!m_env.dialogs.ask(
            this,
            lines({QStringLiteral("Вы выбрали удаление из справочника бухгалтерской отчётности ") +
                       quotedName(name) + QLatin1Char('.'),
                   QStringLiteral("Если эта отчёность назначена сейчас какой-то организации, то "
                                  "ссылка на эту отчётность будет удалена у организации (-ий)."),
                   QStringLiteral(" "), QStringLiteral("Удалить эту отчётность из справочника?")}),
            caption))
        return;
    try {
        const qint64 count = store::reports::countEntries(
            m_env.attachment, qBuhAccount->fieldValue(QStringLiteral("ID")).toInt());
        if (count != 0 &&
            !m_env.dialogs.ask(
                this,
                lines({QStringLiteral("При удалении данной отчётности из справочника, так же, из "
                                      "базы данных будут удалены все записи, связанные с этой "
                                      "отчётностью, а именно :"),
                       QStringLiteral("- связующие записи \"Организция - отчётность\" для каждой "
                                      "организации"),
                       QStringLiteral("- записи из истории обслуживания организаций (выполненные "
                                      "отчётности)"),
                       QStringLiteral(" "),
                       QStringLiteral("Количество записей в истории, связанных с этой "
                                      "отчётностью : ") +
                           QString::number(count),
                       QStringLiteral(" "),
                       QStringLiteral("Для того, чтобы сохранить в базе данных историю уже "
                                      "выполненных отчётностей, вы можете не удалять данную "
                                      "отчётность, а отключить её (отдельная кнопка в этом "
                                      "справочнике)."),
                       QStringLiteral("Связующие же записи \"Организция - отчётность\" будут "
                                      "удалены и в случае отключения отчётности."),
                       QStringLiteral(" "),
                       QStringLiteral("Вы действительно желаете удалить отчётность ") +
                           quotedName(name) + QStringLiteral(" из справочника?")}),
                caption, MsgIcon::Warning))
            return;
        // The database deletes the report's assignments and schedule entries with it.
        qBuhAccount->deleteCurrent();
    } catch (const fb::Error& e) {
        m_env.dialogs.unhandledError(e.message());
    }
    refreshAssignments();
}

void TBuhAccountForm::TBtn_OffClick() {
    if (!hasRows())
        return;
    const QString name = qBuhAccount->fieldValue(QStringLiteral("NAME")).toString();
    const QString caption = QStringLiteral("Бухгалтерская отчётность - в архив");
    if (!m_env.dialogs.ask(
            this,
            lines({QStringLiteral("При помещении отчётности в архив, будет выполнено следующее : "),
                   QStringLiteral(" "),
                   QStringLiteral("- Весь график сдачи для данной отчётности, распланированный на "
                                  "будущее, будет удалён, однако в базе данных сохранятся заранее "
                                  "сданные отчётности (будущие сданные отчётности)."),
                   QStringLiteral(" "),
                   QStringLiteral("- Вся история прошлых, выполненных и просроченных отчётностей "
                                  "будет сохранена в базе данных."),
                   QStringLiteral(" "),
                   QStringLiteral("- Связующие записи \"Организция - отчётность\" будут удалены "
                                  "абсолютно у всех организаций."),
                   QStringLiteral(" "), QStringLiteral(" "),
                   QStringLiteral("Помещение отчётности в архив выполняется для того, чтобы "
                                  "исключить из будущего планирования текущую отчётность, но "
                                  "оставить прошлую историю работы с ней в базе данных."),
                   QStringLiteral(" "),
                   QStringLiteral("Поместить в архив отчётность ") + quotedName(name) +
                       QStringLiteral(" ?")}),
            caption, MsgIcon::Warning))
        return;
    if (!m_env.dialogs.ask(this,
                           lines({QStringLiteral("Вы выбрали помещение бухгалтерской отчётности ") +
                                      quotedName(name) + QStringLiteral(" в архив."),
                                  QStringLiteral(" "),
                                  QStringLiteral("Вы уверены, что хотите поместить эту отчётность "
                                                 "в архив?")}),
                           caption))
        return;
    try {
        // The database removes the report's assignments and its future unsubmitted entries.
        qBuhAccount->edit();
        qBuhAccount->setFieldValue(QStringLiteral("DEL"), 1);
        qBuhAccount->post();
    } catch (const fb::Error& e) {
        qBuhAccount->cancel();
        m_env.dialogs.unhandledError(e.message());
    }
    // The main window would otherwise go on showing assignments the database has removed.
    refreshAssignments();
}

RunResult TBuhAccountForm::generate(int reportId) {
    BusyScope busy(m_env.busy, this, kBusyText);
    EventPump pump;
    return m_env.engine.CreateBuhHistoryForAccount(reportId, [&pump](int) {
        pump();
        return true;
    });
}

void TBuhAccountForm::createHistory(int reportId, const QString& question) {
    if (!m_env.dialogs.ask(this, question,
                           QStringLiteral("Создание расписания бухгалтерских отчётностей"),
                           MsgIcon::Warning))
        return;
    {
        TBuhShedulerParamsForm params(m_env.clock, this);
        if (m_env.dialogs.exec(params) != QDialog::Accepted)
            return;
    }
    const RunResult result = generate(reportId);
    m_env.dialogs.message(run_messages::generationDone(result, this));
}

void TBuhAccountForm::TBtn_CreateHistoryClick() {
    createHistory(-1, QString::fromUtf8(kAskAll));
}

void TBuhAccountForm::TBtn_CreateHistory_OneClick() {
    if (!hasRows())
        return;
    createHistory(qBuhAccount->fieldValue(QStringLiteral("ID")).toInt(),
                  QString::fromUtf8(kAskOne));
}

void TBuhAccountForm::refreshAssignments() {
    if (m_env.assignments && m_env.assignments->isOpen())
        m_env.assignments->refresh();
}

void TBuhAccountForm::done(int result) {
    window_state::save(m_env.settings, kStatePath, m_env.dialogs, this, [this](FormState& state) {
        window_state::storeStateAndSize(this, state);
        state.properties.insert(kCommentsHeight, Panel_Comments->height());
        DBGrid_BuhAccount->saveTo(state, kGridName);
    });
    QDialog::done(result);
}

void TBuhAccountForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The splitter knows its height only once the window is laid out.
    if (m_commentsHeight >= 0) {
        const int total = Splitter_Comments->height() - Splitter_Comments->handleWidth();
        Splitter_Comments->setSizes({std::max(total - m_commentsHeight, 1), m_commentsHeight});
        m_commentsHeight = -1;
    }
}

bool TBuhAccountForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label_Help) {
            Label_HelpClick();
            return true;
        }
        if (watched == Label_Help_2) {
            Label_Help_2Click();
            return true;
        }
    }
    if (watched == Edit_Search && form_parts::stepOnArrowKey(event, *qBuhAccount))
        return true;
    return QDialog::eventFilter(watched, event);
}
