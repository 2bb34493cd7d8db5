#include "books/buh_holidays_form.h"

#include "books/name_check.h"
#include "store/holidays.h"

#include "books/books_environment.h"
#include "books/buh_holidays_ae_form.h"
#include "books/run_messages.h"
#include "core/clock.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "schedule/event_pump.h"
#include "schedule/schedule_correction.h"
#include "widgets/busy_indicator.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/dialogs.h"
#include "widgets/form_parts.h"
#include "widgets/spin_edit.h"
#include "widgets/window_state.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kStatePath = QStringLiteral("BUH_HOLIDAYS\\");
const QString kGridName = QStringLiteral("DBGrid_BuhAccount");

} // namespace

TBuhHolidaysForm::TBuhHolidaysForm(BooksEnvironment& env, QWidget* parent)
    : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("TBuhHolidaysForm"));
    setWindowTitle(QStringLiteral("Праздничные дни на текущий год"));

    qBuhHolidays = new fb::Dataset(env.attachment, this);
    qBuhHolidays->setObjectName(QStringLiteral("qBuhHolidays"));
    store::bind(*qBuhHolidays, store::holidays::list());

    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    model = new DatasetModel(
        qBuhHolidays,
        {{QStringLiteral("MONTH_YEAR"),
          QStringLiteral("Месяц в году"),
          centred,
          {},
          QColor(0, 0, 255),
          100},
         {QStringLiteral("DAY_MONTH"), QStringLiteral("День в месяце"), centred, {}, {}, 100},
         {QStringLiteral("NAME"), QStringLiteral("Наименование дня"), Qt::AlignLeft, {}, {}, 330},
         {QStringLiteral("HOLIDAY_WORK"),
          QStringLiteral("Тип дня"),
          Qt::AlignLeft,
          display::codes(
              {{0, QStringLiteral("Праздничный день")}, {1, QStringLiteral("Работа в выходные")}}),
          {},
          160}},
        this);

    auto* layout = new QVBoxLayout(this);
    Label_Header =
        form_parts::headerLabel(QStringLiteral("Справочник праздничных и рабочих дней"), this);
    layout->addWidget(Label_Header);
    Label_Info2 = new QLabel(
        QStringList{
            QStringLiteral("В случае, если вы изменяете этот справочник ( удаляете день или "
                           "добавляете новый, или меняете параметры дня ), то после окончания "
                           "изменений всех дней, для корректировки расписания отчётностей за "
                           "период :"),
            QString(),
            QStringLiteral("[ 31 декабря предыдущего года - 31 декабря текущего года ],"),
            QString(),
            QStringLiteral("необходимо нажать кнопку \"Откорректировать расписание...\"."),
            QString(),
            QStringLiteral("При создании расписания в базе данных, при выпадении дня сдачи "
                           "отчётности на праздничный день, день сдачи будет перенесён вперёд; "
                           "при выпадении дня сдачи на выходной день, являющийся рабочим днём, "
                           "день сдачи будет установлен на этот выходной день."),
        }
            .join(QStringLiteral("\r\n")),
        this);
    Label_Info2->setObjectName(QStringLiteral("Label_Info2"));
    Label_Info2->setWordWrap(true);
    layout->addWidget(Label_Info2);

    ToolBar_Main = new QWidget(this);
    ToolBar_Main->setObjectName(QStringLiteral("ToolBar_Main"));
    auto* bar = new QHBoxLayout(ToolBar_Main);
    bar->setContentsMargins(0, 0, 0, 0);
    TBtn_Add = form_parts::toolButton(ToolBar_Main, "TBtn_Add", QStyle::SP_FileDialogNewFolder,
                                      QStringLiteral("Добавить новый праздник"));
    TBtn_Chng = form_parts::toolButton(ToolBar_Main, "TBtn_Chng", QStyle::SP_FileDialogDetailedView,
                                       QStringLiteral("Редактировать праздник"));
    TBtn_Del = form_parts::toolButton(ToolBar_Main, "TBtn_Del", QStyle::SP_TrashIcon,
                                      QStringLiteral("Удалить праздник"));
    TBtn_CorrectHistory = form_parts::toolButton(
        ToolBar_Main, "TBtn_CorrectHistory", QStyle::SP_BrowserReload,
        QStringLiteral("Откорректировать расписание с учётом праздничных дней"));
    QFrame* line = form_parts::separator(ToolBar_Main, "TBtn_Sep_01");
    auto* correctLabel =
        new QLabel(QStringLiteral("Откорректировать расписание :    "), ToolBar_Main);
    correctLabel->setObjectName(QStringLiteral("Label_CorrectHistory"));
    bar->addWidget(TBtn_Add);
    bar->addWidget(TBtn_Chng);
    bar->addWidget(TBtn_Del);
    bar->addWidget(line);
    bar->addWidget(correctLabel);
    bar->addWidget(TBtn_CorrectHistory);
    bar->addStretch(1);
    layout->addWidget(ToolBar_Main);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Поиск по наименованию :"), this));
    Edit_Search = new QLineEdit(this);
    Edit_Search->setObjectName(QStringLiteral("Edit_Search"));
    Edit_Search->setMaxLength(64);
    search->addWidget(Edit_Search, 1);
    layout->addLayout(search);

    DBGrid_BuhAccount = new DataGrid(model, &env.dialogs, this);
    DBGrid_BuhAccount->setObjectName(kGridName);
    layout->addWidget(DBGrid_BuhAccount, 1);

    Btn_Cancel =
        form_parts::addButtonRow(layout, this, QString(), QStringLiteral("Закрыть")).cancel;
    resize(760, 620);

    connect(TBtn_Add, &QToolButton::clicked, this, &TBuhHolidaysForm::TBtn_AddClick);
    connect(TBtn_Chng, &QToolButton::clicked, this, &TBuhHolidaysForm::TBtn_ChngClick);
    connect(TBtn_Del, &QToolButton::clicked, this, &TBuhHolidaysForm::TBtn_DelClick);
    connect(TBtn_CorrectHistory, &QToolButton::clicked, this,
            &TBuhHolidaysForm::TBtn_CorrectHistoryClick);
    connect(Edit_Search, &QLineEdit::textChanged, this, &TBuhHolidaysForm::Edit_SearchChange);
    Edit_Search->installEventFilter(this);
    connect(DBGrid_BuhAccount, &DataGrid::rowDoubleClicked, this, [this] {
        if (TBtn_Chng->isEnabled())
            TBtn_ChngClick();
    });
    connect(qBuhHolidays, &fb::Dataset::afterScroll, this,
            &TBuhHolidaysForm::qBuhHolidaysAfterScroll);

    qBuhHolidays->open();
    window_state::restore(env.settings, kStatePath, env.dialogs, this,
                          [this](const FormState& state) {
                              window_state::applyStateAndSize(this, state);
                              DBGrid_BuhAccount->restoreFrom(state, kGridName);
                          });
    // Decided once: without organisations there is no schedule to correct.
    TBtn_CorrectHistory->setEnabled(env.organizations && env.organizations->isOpen() &&
                                    !env.organizations->isEmpty());
}

TBuhHolidaysForm::~TBuhHolidaysForm() = default;

bool TBuhHolidaysForm::hasRows() const {
    return qBuhHolidays->isOpen() && !qBuhHolidays->isEmpty();
}

void TBuhHolidaysForm::qBuhHolidaysAfterScroll() {
    TBtn_Chng->setEnabled(hasRows());
    TBtn_Del->setEnabled(hasRows());
}

void TBuhHolidaysForm::Edit_SearchChange() {
    const QString search = Edit_Search->text().toLower();
    if (search.isEmpty()) {
        qBuhHolidays->clearFilter();
        return;
    }
    const int nameField = qBuhHolidays->fieldIndex(QStringLiteral("NAME"));
    qBuhHolidays->setFilter([search, nameField](const fb::Dataset& d, int sourceRow) {
        return d.sourceValue(sourceRow, nameField).toString().toLower().contains(search);
    });
}

void TBuhHolidaysForm::TBtn_AddClick() {
    Edit_Search->clear();
    editHoliday(0);
}

void TBuhHolidaysForm::TBtn_ChngClick() {
    if (!hasRows())
        return;
    editHoliday(1);
}

void TBuhHolidaysForm::editHoliday(int mode) {
    TBuhHolidaysAEForm form(*qBuhHolidays, this);
    form.setEditMode(mode);
    if (mode == 0) {
        form.setWindowTitle(QStringLiteral("Новый праздник"));
    } else {
        form.setWindowTitle(QStringLiteral("Редактирование праздника"));
        form.Edit_Buh_Holidays_Name->setText(
            qBuhHolidays->fieldValue(QStringLiteral("NAME")).toString());
        form.SE_Day_Month->setValue(qBuhHolidays->fieldValue(QStringLiteral("DAY_MONTH")).toInt());
        form.SE_Month_Year->setValue(
            qBuhHolidays->fieldValue(QStringLiteral("MONTH_YEAR")).toInt());
        form.setHolidayWork(qBuhHolidays->fieldValue(QStringLiteral("HOLIDAY_WORK")).toInt());
    }
    if (m_env.dialogs.exec(form) != QDialog::Accepted)
        return;
    try {
        if (mode == 0)
            qBuhHolidays->append();
        else
            qBuhHolidays->edit();
        qBuhHolidays->setFieldValue(QStringLiteral("NAME"), form.nameValue());
        qBuhHolidays->setFieldValue(QStringLiteral("DAY_MONTH"), form.SE_Day_Month->value());
        qBuhHolidays->setFieldValue(QStringLiteral("MONTH_YEAR"), form.SE_Month_Year->value());
        qBuhHolidays->setFieldValue(QStringLiteral("HOLIDAY_WORK"), form.holidayWork());
        qBuhHolidays->post();
    } catch (const fb::Error& e) {
        // Usually a name the calendar holds already; the change is dropped.
        qBuhHolidays->cancel();
        m_env.dialogs.error(
            this,
            refusedWriteText(e, QStringLiteral("Произошла ошибка записи в базу данных, возможно, "
                                               "праздник с таким наименованием уже присутствует в "
                                               "базе данных.")),
            QStringLiteral("Праздничный день"));
        return;
    }
    // Read again so the day takes its place in month and day order.
    qBuhHolidays->refresh();
}

void TBuhHolidaysForm::TBtn_DelClick() {
    if (!hasRows())
        return;
    const QString name = qBuhHolidays->fieldValue(QStringLiteral("NAME")).toString();
    if (!m_env.dialogs.ask(this,
                           QStringList{QStringLiteral("Для удаления выбран праздничный день \"") +
                                           name + QStringLiteral("\"."),
                                       QStringLiteral(" "),
                                       QStringLiteral("Вы действительно желаете удалить этот "
                                                      "праздничный день из справочника?")}
                               .join(QLatin1Char('\n')),
                           QStringLiteral("Удаление праздничного дня"), MsgIcon::Warning))
        return;
    try {
        qBuhHolidays->deleteCurrent();
    } catch (const fb::Error& e) {
        m_env.dialogs.unhandledError(e.message());
    }
}

QString TBuhHolidaysForm::correctionQuestion(int year) {
    return QStringLiteral(
               "После изменения списка праздничных дней, необходимо откорректировать расписание "
               "сдачи бухгалтерской отчётности за текущий год.\nКорректировка расписания будет "
               "заключаться в следующем :\n \n- при выпадении дня сдачи отчётности на "
               "праздничный день, день сдачи будет перенесён вперёд.\n- при выпадении дня сдачи "
               "на выходной день, являющийся рабочим днём, день сдачи будет установлен на этот "
               "выходной день. \n \nИзменить расписание за текущий год, а именно :\n \n   c: 31 "
               "декабря ") +
           QString::number(year - 1) + QStringLiteral(" года") + QStringLiteral("\n") +
           QStringLiteral("  по: 31 декабря ") + QString::number(year) + QStringLiteral(" года") +
           QStringLiteral("\n") + QStringLiteral(" ") + QStringLiteral("\n") +
           QStringLiteral("в соответствии со списком праздничных дней ?");
}

void TBuhHolidaysForm::TBtn_CorrectHistoryClick() {
    const int year = m_env.clock.currentYear();
    if (!m_env.dialogs.ask(this, correctionQuestion(year),
                           QString::fromUtf8(run_messages::kCorrectionCaption), MsgIcon::Warning))
        return;
    CorrectionResult result;
    {
        BusyScope busy(m_env.busy, this, QStringLiteral("Выпоняется операция...."));
        EventPump pump;
        result =
            correctSchedule(m_env.attachment, m_env.clock, m_holidays, [&pump](int) { pump(); });
    }
    m_env.dialogs.message(run_messages::correctionDone(result, this));
}

void TBuhHolidaysForm::done(int result) {
    window_state::save(m_env.settings, kStatePath, m_env.dialogs, this, [this](FormState& state) {
        window_state::storeStateAndSize(this, state);
        DBGrid_BuhAccount->saveTo(state, kGridName);
    });
    QDialog::done(result);
}

bool TBuhHolidaysForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_Search && form_parts::stepOnArrowKey(event, *qBuhHolidays))
        return true;
    return QDialog::eventFilter(watched, event);
}
