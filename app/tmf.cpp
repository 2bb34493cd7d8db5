#include "app/tmf.h"

#include "app/about_form.h"
#include "app/intro_form.h"
#include "app/version_info.h"
#include "books/assignments_panel.h"
#include "books/books_environment.h"
#include "books/buh_account_form.h"
#include "books/buh_holidays_form.h"
#include "books/organizations_panel.h"
#include "core/clock.h"
#include "core/db_settings.h"
#include "core/ini_file.h"
#include "data/tdm.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "schedule/holiday_map.h"
#include "schedule/schedule_engine.h"
#include "tracking/buh_org_operations_form.h"
#include "tracking/schedule_tab.h"
#include "widgets/busy_indicator.h"
#include "widgets/data_grid.h"
#include "widgets/dialogs.h"
#include "widgets/help_viewer.h"
#include "widgets/program_art.h"
#include "widgets/spin_edit.h"
#include "widgets/window_state.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char kMainWindowPath[] = "MAIN_WINDOW\\";

const Clock& clockOf(const AppContext& context) {
    static const SystemClock systemClock;
    return context.clock ? *context.clock : systemClock;
}

QString openTableError() {
    return QStringLiteral("Ошибка открытия таблицы \"Организации\" в базе данных.");
}

} // namespace

TMF::TMF(AppContext context, TMFServices services, QWidget* parent)
    : QMainWindow(parent), m_context(std::move(context)), m_services(std::move(services)) {
    setObjectName(QStringLiteral("TMF"));
    setWindowTitle(QStringLiteral("Сроковед"));
    setWindowIcon(programIcon());
    if (!m_services.createDataModule)
        m_services.createDataModule = [](const AppContext& c) {
            return std::make_unique<TDM>(DataModuleContext{c.programFolder, c.clock});
        };
    if (!m_services.openUrl)
        m_services.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    if (!m_services.startProgram)
        m_services.startProgram = [](const QString& program, const QString& folder) {
            return QFileInfo(program).isExecutable() &&
                   QProcess::startDetached(program, {}, folder);
        };
    m_busy = std::make_unique<BusyIndicator>();
    resize(1008, 824);
    setMinimumSize(690, 630);
    // Centred on the screen until a stored position says otherwise.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    buildFrame();
    buildMenus();
}

TMF::~TMF() {
    // The panels hold datasets on the data module's connection: they go first.
    delete PC_Main;
    PC_Main = nullptr;
    m_books.reset();
    m_engine.reset();
    m_dm.reset();
}

void TMF::closeAllDatasets() {
    // Every window's lists, the modal ones included: nothing may go on reading or writing.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        const auto datasets = window->findChildren<fb::Dataset*>();
        for (fb::Dataset* dataset : datasets)
            dataset->close();
    }
    if (m_engine)
        m_engine.reset();
    if (m_dm)
        m_dm->CloseConnection();
}

void TMF::onConnectionLost() {
    if (m_endingNow)
        return;
    m_endingNow = true;
    m_context.dialogs->error(
        this, QStringLiteral("Программа будет закрыта, так как потеряна связь с базой данных."),
        QStringLiteral("Ошибка InterBase"));
    closeAllDatasets();
    endAtOnce();
}

void TMF::closeForShutdown() {
    if (m_endingNow)
        return;
    // As at a system shutdown: no question, the window state saved, everything closed.
    m_systemShutdown = true;
    close();
}

BusyIndicator& TMF::busy() {
    return *m_busy;
}

HolidayMap& TMF::holidayMap() {
    if (!m_holidayMap)
        m_holidayMap = std::make_unique<HolidayMap>();
    return *m_holidayMap;
}

void TMF::buildFrame() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel_Info = new QWidget(central);
    Panel_Info->setObjectName(QStringLiteral("Panel_Info"));
    Panel_Info->setFixedHeight(40);
    Panel_Info->setAutoFillBackground(true);
    QPalette infoPalette = Panel_Info->palette();
    infoPalette.setColor(QPalette::Window, QColor(104, 140, 248));
    Panel_Info->setPalette(infoPalette);
    auto* infoLayout = new QHBoxLayout(Panel_Info);
    infoLayout->setContentsMargins(8, 2, 8, 2);
    auto* picture = new QLabel(Panel_Info);
    picture->setPixmap(programIconPixmap(32));
    infoLayout->addWidget(picture);
    auto* infoText = new QLabel(
        QStringLiteral("Расписание бухгалтерских отчётностей для одной или нескольких организаций"),
        Panel_Info);
    QFont bold = infoText->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() + 1);
    infoText->setFont(bold);
    QPalette white = infoText->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    infoText->setPalette(white);
    infoLayout->addWidget(infoText, 1);
    layout->addWidget(Panel_Info);

    PC_Main = new QTabWidget(central);
    PC_Main->setObjectName(QStringLiteral("PC_Main"));
    TS_BuhReports = new QWidget;
    TS_BuhReports->setObjectName(QStringLiteral("TS_BuhReports"));
    new QVBoxLayout(TS_BuhReports);
    TS_BuhReports->layout()->setContentsMargins(2, 2, 2, 2);
    TS_BuhShedule = new QWidget;
    TS_BuhShedule->setObjectName(QStringLiteral("TS_BuhShedule"));
    new QVBoxLayout(TS_BuhShedule);
    TS_BuhShedule->layout()->setContentsMargins(2, 2, 2, 2);
    TS_Help = buildHelpTab();
    PC_Main->addTab(TS_BuhReports, style()->standardIcon(QStyle::SP_DirHomeIcon),
                    QStringLiteral("Организации и назначенные им отчёты"));
    PC_Main->addTab(TS_BuhShedule, style()->standardIcon(QStyle::SP_FileDialogContentsView),
                    QStringLiteral("Расписание сдачи"));
    PC_Main->addTab(TS_Help, style()->standardIcon(QStyle::SP_MessageBoxQuestion),
                    QStringLiteral("Справка"));
    connect(PC_Main, &QTabWidget::currentChanged, this, [this] { schedulePendingPanes(); });
    layout->addWidget(PC_Main, 1);
    setCentralWidget(central);

    const int widths[3] = {300, 500, 50};
    const QString texts[3] = {QStringLiteral("Пользователь :"), QStringLiteral("База данных :"),
                              QString()};
    for (int i = 0; i < 3; ++i) {
        SB_Main[i] = new QLabel(texts[i], this);
        SB_Main[i]->setFixedWidth(widths[i]);
        SB_Main[i]->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(SB_Main[i]);
    }
    statusBar()->setObjectName(QStringLiteral("SB_Main"));
}

QWidget* TMF::buildHelpTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TS_Help"));
    auto* grid = new QGridLayout(tab);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(14);
    const QStringList texts{
        QStringLiteral("1.) Заполни два справочника - виды отчётностей и календарь праздников на "
                       "текущий год"),
        QStringLiteral("2.) Внеси необходимое количество организаций в главном окне программы"),
        QStringLiteral("3.) Каждой организации присвой те отчётности, которые по ней необходимо "
                       "будет сдать.\nВключи отчётности.\nПри включении отчётностей, программа "
                       "автоматически создаст в базе данных годовое расписание сдачи отчётов для "
                       "этой организации."),
        QStringLiteral(
            "4.) Используй два места программы, чтобы посмотреть расписание сдачи и "
            "пометить сданное :\n4.1.) Закладка \"Бухгалтерская отчётность\" - закладка "
            "\"Список отчётностей\" - меню \"Список отчётов для организации...\"\n\n4.2.) "
            "Закладка \"Расписание сдачи\""),
        QStringLiteral("После 31 декабря текущего года, для создания нового годового расписания "
                       ":\n- создай новый список праздничных дней для наступившего года;\n- нажми "
                       "кнопку \"Создать расписание для всех бухгалтерских отчётностей\" в окне "
                       "справочника \"Бухгалтерская отчётность\".")};
    const QStyle::StandardPixmap icons[5] = {
        QStyle::SP_FileDialogInfoView, QStyle::SP_DirIcon, QStyle::SP_DialogApplyButton,
        QStyle::SP_FileDialogContentsView, QStyle::SP_MessageBoxInformation};
    int row = 0;
    for (int i = 0; i < texts.size(); ++i) {
        if (i == texts.size() - 1) {
            auto* line = new QFrame(tab);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            grid->addWidget(line, row++, 0, 1, 2);
        }
        auto* icon = new QLabel(tab);
        icon->setPixmap(style()->standardIcon(icons[i]).pixmap(16, 16));
        icon->setAlignment(Qt::AlignTop);
        auto* text = new QLabel(texts[i], tab);
        text->setObjectName(QStringLiteral("Label_Help_%1").arg(i + 1));
        text->setWordWrap(true);
        grid->addWidget(icon, row, 0);
        grid->addWidget(text, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    return tab;
}

void TMF::buildMenus() {
    menuMain = menuBar()->addMenu(QStringLiteral("Главное"));
    MM_NewDB = new QAction(QStringLiteral("Подключиться к другой базе данных ..."), this);
    MM_NewDB->setObjectName(QStringLiteral("MM_NewDB"));
    MM_NewDB->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    // Not shown in the menu; its shortcut works because the window itself holds the action.
    addAction(MM_NewDB);
    connect(MM_NewDB, &QAction::triggered, this, &TMF::MM_NewDBClick);
    MM_DBService = menuMain->addAction(style()->standardIcon(QStyle::SP_DriveHDIcon),
                                       QStringLiteral("Сервис базы данных ..."));
    MM_DBService->setObjectName(QStringLiteral("MM_DBService"));
    // The service window is a layer of its own; the program's entry hands it in.
    MM_DBService->setEnabled(static_cast<bool>(m_services.openDatabaseService));
    connect(MM_DBService, &QAction::triggered, this, &TMF::MM_DBServiceClick);
    menuMain->addSeparator();
    MM_Exit = menuMain->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                  QStringLiteral("Выход из программы"));
    MM_Exit->setObjectName(QStringLiteral("MM_Exit"));
    MM_Exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(MM_Exit, &QAction::triggered, this, &TMF::MM_ExitClick);

    menuBooks = menuBar()->addMenu(QStringLiteral("Справочники"));
    MM_HB_BuhReports = menuBooks->addAction(style()->standardIcon(QStyle::SP_FileDialogListView),
                                            QStringLiteral("Бухгалтерия - виды отчётности ..."));
    MM_HB_BuhReports->setObjectName(QStringLiteral("MM_HB_BuhReports"));
    MM_HB_BuhHolidays =
        menuBooks->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                             QStringLiteral("Бухгалтерия - праздничные дни ..."));
    MM_HB_BuhHolidays->setObjectName(QStringLiteral("MM_HB_BuhHolidays"));
    connect(MM_HB_BuhReports, &QAction::triggered, this, &TMF::MM_HB_BuhReportsClick);
    connect(MM_HB_BuhHolidays, &QAction::triggered, this, &TMF::MM_HB_BuhHolidaysClick);

    menuHelp = menuBar()->addMenu(QStringLiteral("Справка"));
    MM_HelpFile = new QAction(QStringLiteral("Вызов файла справки"), this);
    MM_HelpFile->setObjectName(QStringLiteral("MM_HelpFile"));
    MM_HelpFile->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(MM_HelpFile);
    connect(MM_HelpFile, &QAction::triggered, this, &TMF::MM_HelpFileClick);
    MM_About = menuHelp->addAction(style()->standardIcon(QStyle::SP_MessageBoxInformation),
                                   QStringLiteral("О программе..."));
    MM_About->setObjectName(QStringLiteral("MM_About"));
    MM_About->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    connect(MM_About, &QAction::triggered, this, &TMF::MM_AboutClick);
}

void TMF::buildDataPanels() {
    fb::Attachment& attachment = m_dm->SHCDataBase;
    orgSplitter = new QSplitter(Qt::Vertical, TS_BuhReports);
    orgSplitter->setObjectName(QStringLiteral("orgSplitter"));
    organizations = new OrganizationsPanel(attachment, m_context.dialogs, orgSplitter);
    PC_Buh = new QTabWidget(orgSplitter);
    PC_Buh->setObjectName(QStringLiteral("PC_Buh"));
    assignments = new AssignmentsPanel(attachment, m_context.dialogs, PC_Buh);
    PC_Buh->addTab(assignments, QStringLiteral("Список отчётов для организации"));
    PC_Buh->setMinimumHeight(103);
    orgSplitter->addWidget(organizations);
    orgSplitter->addWidget(PC_Buh);
    orgSplitter->setChildrenCollapsible(false);
    orgSplitter->setSizes({380, 320});
    TS_BuhReports->layout()->addWidget(orgSplitter);
    assignments->setMaster(organizations->qOrgan);

    schedule = new ScheduleTab(attachment, m_context.dialogs, clockOf(m_context), TS_BuhShedule);
    TS_BuhShedule->layout()->addWidget(schedule);
}

void TMF::makeBooksEnvironment() {
    const Clock& clock = clockOf(m_context);
    m_engine = std::make_unique<ScheduleEngine>(m_dm->SHCDataBase, clock);
    m_books = std::make_unique<BooksEnvironment>(
        BooksEnvironment{m_dm->SHCDataBase, *m_context.dialogs, clock, m_dm->AppIniFileStorage(),
                         *m_busy, *m_engine, organizations->qOrgan, assignments->qBuhAccRep});
    assignments->setBooksEnvironment(m_books.get());
    assignments->setOperationsOpener([this](int organisationId, const QString& name) {
        TBuhOrgOperationsForm::open(*m_books, organisationId, name, this);
    });
    schedule->setBooksEnvironment(m_books.get());
}

void TMF::MM_HB_BuhReportsClick() {
    if (!m_books)
        return;
    // The management mode: nothing to choose.
    TBuhAccountForm form(*m_books, this);
    form.Btn_OK->hide();
    form.RBtn_Any->setEnabled(false);
    form.RBtn_None->setEnabled(false);
    m_context.dialogs->exec(form);
}

void TMF::MM_HB_BuhHolidaysClick() {
    if (!m_books)
        return;
    TBuhHolidaysForm form(*m_books, this);
    m_context.dialogs->exec(form);
}

void TMF::ShowIntroInfo(const QString& text) {
    ::ShowIntroInfo(m_splash, text);
    emit startupStep(text);
}

void TMF::CloseIntro() {
    ::CloseIntro(m_splash);
}

bool TMF::FormCreate() {
    Dialogs* dialogs = m_context.dialogs;
    ShowIntroInfo(QStringLiteral("Инициализация памяти..."));
    try {
        m_dm = m_services.createDataModule(m_context);
    } catch (const std::exception&) {
        m_dm.reset();
    }
    if (!m_dm) {
        dialogs->error(this,
                       QStringLiteral("Ошибка запуска программы - сбой инициализации DataModule. "
                                      "Одна из частых причин - возможно, сервер или клиент "
                                      "Firebird не установлен на этом компьютере."),
                       windowTitle());
        return false;
    }
    m_dm->setStatusTextHandler([this](const QString& text) { SB_Main[1]->setText(text); });

    m_dm->setConnectionLostHandler([this] { onConnectionLost(); });

    ShowIntroInfo(QStringLiteral("Подключение к базе данных..."));
    try {
        m_dm->ConnectDatabase();
    } catch (const fb::Error& e) {
        dialogs->error(this, m_dm->connectErrorText(e), QStringLiteral("Ошибка подключения"));
        dialogs->error(this,
                       QStringLiteral("Программе не удается подключиться к базе данных по "
                                      "следующему пути - %1.")
                           .arg(QDir::toNativeSeparators(m_dm->databasePath())),
                       QStringLiteral("Подключение к локальной БД без Firebird"));
        return false;
    }
    buildDataPanels();

    ShowIntroInfo(QStringLiteral("Восстановление параметров интерфейса..."));
    m_dm->setSettingsFileName(QStringLiteral("Sroko.ini"));
    // The directories keep their state in the settings storage just set.
    makeBooksEnvironment();
    restoreWindowState();

    ShowIntroInfo(QStringLiteral("Все модули успешно загружены"));
    CloseIntro();

    remindAboutUpdates();

    // Anything but a database error here is a fault of the program: it is shown by the
    // general error display and the program ends instead of running half made.
    try {
        for (const auto& open : {std::function<void()>([this] { organizations->open(); }),
                                 std::function<void()>([this] { assignments->open(); })}) {
            try {
                open();
            } catch (const fb::Error&) {
                if (m_endingNow)
                    return false;
                dialogs->error(this, openTableError(), windowTitle());
            }
        }
    } catch (const std::exception& e) {
        dialogs->unhandledError(QString::fromUtf8(e.what()));
        closeAllDatasets();
        return false;
    }
    m_holidayMap = std::make_unique<HolidayMap>();
    return true;
}

void TMF::remindAboutUpdates() {
    const QDate today = clockOf(m_context).today();
    // A missing value reads as today; one that is not a date never shows the reminder.
    const std::optional<QDate> last = parseLastUpdate(m_dm->LastUpdateDate);
    if (!last || last->daysTo(today) < 29)
        return;
    const bool open = m_context.dialogs->ask(
        this,
        QStringLiteral("Программа \"Сроковед\" обнаружила, что прошло достаточно большое время с "
                       "момента выхода этой версии. Возможно, разработчики уже подготовили новую "
                       "версию программы \"Сроковед\".\n \nВы хотите открыть сайт прораммы прямо "
                       "сейчас и посмотреть наличие новых версий?"),
        QStringLiteral("Обновление \"Сроковед\""), MsgIcon::Question, MsgResult::No);
    if (open)
        m_services.openUrl(QUrl(QString::fromLatin1(kProgramWebPage)));
    try {
        IniFile settings(m_dm->settingsFilePath());
        writeLastUpdate(settings, today);
    } catch (const IniError& e) {
        m_context.dialogs->error(this, e.message(), window_state::iniCaption());
    }
}

QList<TMF::Pane> TMF::panes() const {
    QList<Pane> result;
    if (organizations) {
        result.append(
            {QStringLiteral("Panel_Organizations.Height"), orgSplitter, 0, TS_BuhReports});
        result.append(
            {QStringLiteral("Panel_OrgComments.Width"), organizations->splitter, 1, TS_BuhReports});
    }
    if (schedule) {
        result.append({QStringLiteral("Panel_ReportBottom.Height"), schedule->bottomSplitter, 1,
                       TS_BuhShedule});
        result.append(
            {QStringLiteral("Panel_Podrobno.Width"), schedule->detailSplitter, 0, TS_BuhShedule});
    }
    return result;
}

FormState TMF::captureState() const {
    FormState state;
    state.windowState = isMaximized() ? FormState::kMaximized : FormState::kNormal;
    // The frame's place, as move() takes it back; the size is the client area's.
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    const QPoint frameOffset = geometry().topLeft() - pos();
    state.size = normal.size();
    state.position = isMaximized() ? normal.topLeft() - frameOffset : pos();
    for (const Pane& pane : panes()) {
        // A pane that was never laid out has no size of its own: keep what was stored.
        if (auto pending = m_pendingPanes.find(pane.name); pending != m_pendingPanes.end())
            state.properties.insert(pane.name, pending.value());
        else if (m_laidOutTabs.contains(pane.tab) && pane.splitter->sizes().size() == 2)
            state.properties.insert(pane.name, pane.splitter->sizes().at(pane.index));
    }
    if (organizations)
        organizations->DBGrid_Organs->saveTo(state, QStringLiteral("DBGrid_Organs"));
    if (assignments)
        assignments->DBGrid_BuhAccount->saveTo(state, QStringLiteral("DBGrid_BuhAccount"));
    if (schedule) {
        state.properties.insert(QStringLiteral("CB_BuhMonth_Begin.ItemIndex"),
                                schedule->CB_BuhMonth_Begin->currentIndex());
        state.properties.insert(QStringLiteral("CB_BuhMonth_End.ItemIndex"),
                                schedule->CB_BuhMonth_End->currentIndex());
        state.properties.insert(QStringLiteral("SE_BuhYear_Begin.Value"),
                                schedule->SE_BuhYear_Begin->value());
        state.properties.insert(QStringLiteral("SE_BuhYear_End.Value"),
                                schedule->SE_BuhYear_End->value());
        schedule->DBGrid_BuhHistory->saveTo(state, QStringLiteral("DBGrid_BuhHistory"));
    }
    return state;
}

namespace {

// Gives one pane of a two-pane splitter (0 the first, 1 the second) the wanted extent and the
// other pane the rest.
void setPaneExtent(QSplitter* splitter, int pane, int extent) {
    QList<int> sizes = splitter->sizes();
    if (sizes.size() != 2)
        return;
    int total = sizes[0] + sizes[1];
    if (total <= 0)
        total = splitter->orientation() == Qt::Vertical ? splitter->height() : splitter->width();
    sizes[pane] = extent;
    sizes[1 - pane] = std::max(1, total - extent);
    splitter->setSizes(sizes);
}

} // namespace

void TMF::applyState(const FormState& state) {
    if (state.size)
        resize(state.size->expandedTo(minimumSize()));
    if (state.position)
        move(*state.position);
    const auto property = [&](const char* name) -> std::optional<int> {
        const auto it = state.properties.find(QString::fromLatin1(name));
        if (it == state.properties.end())
            return std::nullopt;
        return it.value();
    };
    // Pane sizes wait until their tab is laid out; a splitter that has no size yet would
    // share them out wrongly.
    m_pendingPanes.clear();
    for (const Pane& pane : panes()) {
        if (auto extent = property(pane.name.toLatin1().constData()); extent && *extent > 0)
            m_pendingPanes.insert(pane.name, *extent);
    }
    if (isVisible())
        schedulePendingPanes();
    if (organizations)
        organizations->DBGrid_Organs->restoreFrom(state, QStringLiteral("DBGrid_Organs"));
    if (assignments)
        assignments->DBGrid_BuhAccount->restoreFrom(state, QStringLiteral("DBGrid_BuhAccount"));
    if (schedule) {
        if (auto i = property("CB_BuhMonth_Begin.ItemIndex"); i && *i >= 0 && *i < 12)
            schedule->CB_BuhMonth_Begin->setCurrentIndex(*i);
        if (auto i = property("CB_BuhMonth_End.ItemIndex"); i && *i >= 0 && *i < 12)
            schedule->CB_BuhMonth_End->setCurrentIndex(*i);
        if (auto v = property("SE_BuhYear_Begin.Value"))
            schedule->SE_BuhYear_Begin->setValue(*v);
        if (auto v = property("SE_BuhYear_End.Value"))
            schedule->SE_BuhYear_End->setValue(*v);
        schedule->DBGrid_BuhHistory->restoreFrom(state, QStringLiteral("DBGrid_BuhHistory"));
    }
    if (state.windowState && *state.windowState == FormState::kMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TMF::schedulePendingPanes() {
    // After the events that lay the shown tab out.
    QTimer::singleShot(0, this, [this] { applyPendingPanes(); });
}

void TMF::applyPendingPanes() {
    if (!isVisible() || !PC_Main)
        return;
    QWidget* shown = PC_Main->currentWidget();
    for (const Pane& pane : panes()) {
        if (pane.tab != shown)
            continue;
        if (auto pending = m_pendingPanes.find(pane.name); pending != m_pendingPanes.end()) {
            setPaneExtent(pane.splitter, pane.index, pending.value());
            m_pendingPanes.erase(pending);
        }
    }
    m_laidOutTabs.insert(shown);
}

void TMF::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    schedulePendingPanes();
}

void TMF::restoreWindowState() {
    window_state::restore(m_dm->AppIniFileStorage(), QString::fromLatin1(kMainWindowPath),
                          *m_context.dialogs, this,
                          [this](const FormState& state) { applyState(state); });
}

void TMF::saveWindowState() {
    window_state::save(m_dm->AppIniFileStorage(), QString::fromLatin1(kMainWindowPath),
                       *m_context.dialogs, this,
                       [this](FormState& state) { state = captureState(); });
}

bool TMF::FormCloseQuery() {
    return m_context.dialogs->ask(this,
                                  QStringLiteral("Вы действительно хотите завершить программу?"),
                                  windowTitle(), MsgIcon::Question, MsgResult::No);
}

void TMF::FormClose() {
    if (m_dm && !m_endingNow)
        saveWindowState();
    m_holidayMap.reset();
}

void TMF::closeEvent(QCloseEvent* event) {
    if (m_endingNow) {
        event->accept();
        return;
    }
    if (m_systemShutdown) {
        FormClose();
        closeAllDatasets();
        m_endingNow = true;
        event->accept();
        QCoreApplication::exit(0);
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TMF::endAtOnce() {
    m_endingNow = true;
    if (m_context.endProgramNow)
        m_context.endProgramNow();
}

void TMF::MM_NewDBClick() {
    const bool yes = m_context.dialogs->ask(
        this,
        QStringLiteral("Для подключения к другой базе данных требуется перезагрузка программы. "
                       "Стереть настройки текущего подключения и завершить работу программы?"),
        windowTitle(), MsgIcon::Question, MsgResult::No);
    if (!yes)
        return;
    try {
        IniFile settings(QDir(m_context.programFolder).filePath(QStringLiteral("Sroko.ini")));
        clearConnectionKeys(settings);
    } catch (const IniError& e) {
        m_context.dialogs->error(this, e.message(), window_state::iniCaption());
    }
    // A new title lets the next program start although this one still runs for a moment.
    setWindowTitle(windowTitle() + QLatin1Char(' '));
    QApplication::setApplicationDisplayName(windowTitle());
    if (m_services.releaseInstanceLock)
        m_services.releaseInstanceLock();
    m_services.startProgram(
        QDir(m_context.programFolder).filePath(QStringLiteral("Import_Norvane")),
        m_context.programFolder);
    QApplication::processEvents();
    endAtOnce();
}

void TMF::MM_HelpFileClick() {
    HelpViewer::showTopic(*m_context.dialogs, this, m_context.programFolder,
                          QStringLiteral("Main.htm"));
}

void TMF::MM_AboutClick() {
    TAboutForm about(VersionInfo::program(), m_dm ? &m_dm->SHCDataBase : nullptr, this);
    m_context.dialogs->exec(about);
}
