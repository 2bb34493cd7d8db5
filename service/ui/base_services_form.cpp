#include "service/ui/base_services_form.h"

#include "core/clock.h"
#include "data/tdm.h"
#include "fb/error.h"
#include "service/database_version.h"
#include "service/service_log.h"
#include "service/service_paths.h"
#include "service/sql_script.h"
#include "widgets/balloon_hint.h"
#include "widgets/button_edit.h"
#include "widgets/help_viewer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSessionManager>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Сервис базы данных");
const QString kOthersOff =
    QStringLiteral("ВНИМАНИЕ: при этой операции, все другие программы должны быть отключены от "
                   "базы данных. Продолжить операцию?");

QStringList linesOf(const QPlainTextEdit* log) {
    const QString text = log->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void setLines(QPlainTextEdit* log, const QStringList& lines) {
    log->setPlainText(service_log::text(lines));
    log->verticalScrollBar()->setValue(log->verticalScrollBar()->maximum());
}

QLabel* tabHeader(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QPushButton* button(const QString& text, const char* name, const QString& hint, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    return b;
}

ButtonEdit* fileBox(const char* name, QWidget* parent) {
    auto* box = new ButtonEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(false); // a path may be typed as well as chosen
    return box;
}

} // namespace

// A tab's log as the service operations see it.
class TBaseServicesForm::MemoLog : public ServiceLog {
public:
    MemoLog(TBaseServicesForm& form, QPlainTextEdit* memo) : m_form(form), m_memo(memo) {}
    void appendLine(const QString& text) override { AppendLogLine(m_memo, text); }
    void appendToLastLine(const QString& text) override { AppendToLastLine(m_memo, text); }
    void serviceLine(const QString& line) override { m_form.showServiceLine(line); }

private:
    TBaseServicesForm& m_form;
    QPlainTextEdit* m_memo;
};

TBaseServicesForm::TBaseServicesForm(TDM& dm, const AppContext& context,
                                     ProgramConnection connection, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_context(context) {
    setObjectName(QStringLiteral("TBaseServicesForm"));
    setWindowTitle(kCaption);
    resize(680, 560);

    DatabaseService::Settings settings;
    settings.connectString = dm.ServiceConnectString;
    const Clock* clock = context.clock;
    settings.now = [clock] { return clock ? clock->now() : QDateTime::currentDateTime(); };
    m_service = std::make_unique<DatabaseService>(settings, std::move(connection));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabHeader(QStringLiteral("Сервисные функции для базы данных :"), this));
    Label_DBPatch = new QLabel(QStringLiteral("Путь до базы данных не определен..."), this);
    Label_DBPatch->setObjectName(QStringLiteral("Label_DBPatch"));
    Label_DBPatch->setText(dm.ServiceConnectString);
    Label_DBPatch->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Label_DBPatch);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    TS_Backup = buildBackupTab();
    TS_Restore = buildRestoreTab();
    TS_Repair = buildRepairTab();
    TS_Script = buildScriptTab();
    PageControl->addTab(TS_Backup, QStringLiteral("Архивирование"));
    PageControl->addTab(TS_Restore, QStringLiteral("Восстановление"));
    PageControl->addTab(TS_Repair, QStringLiteral("Ремонт"));
    PageControl->addTab(TS_Script, QStringLiteral("Выполнение скрипта"));
    layout->addWidget(PageControl, 1);

    lbServiceLine = new QLabel(this);
    lbServiceLine->setObjectName(QStringLiteral("lbServiceLine"));
    lbServiceLine->setTextFormat(Qt::PlainText);
    layout->addWidget(lbServiceLine);

    auto* buttons = new QHBoxLayout;
    Btn_Help = button(QStringLiteral("Справка"), "Btn_Help", QString(), this);
    Btn_Cancel = button(QStringLiteral("Закрыть"), "Btn_Cancel", QString(), this);
    buttons->addWidget(Btn_Help);
    buttons->addStretch(1);
    buttons->addWidget(Btn_Cancel);
    layout->addLayout(buttons);
    connect(Btn_Help, &QPushButton::clicked, this, &TBaseServicesForm::Btn_HelpClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TBaseServicesForm::close);

    // A system shutdown or logout closes the window without asking.
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { m_closeConfirmed = true; });

    m_closeConfirmed = false;
    UpdateDBVersion();
}

TBaseServicesForm::~TBaseServicesForm() = default;

QPlainTextEdit* TBaseServicesForm::makeLog(const char* name) {
    auto* log = new QPlainTextEdit(this);
    log->setObjectName(QLatin1String(name));
    log->setReadOnly(true);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = log->palette();
    palette.setColor(QPalette::Text, QColor(10, 57, 92));
    log->setPalette(palette);
    return log;
}

QWidget* TBaseServicesForm::buildBackupTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(tabHeader(QStringLiteral("Архивирование базы данных"), tab));
    auto* row = new QHBoxLayout;
    btClearBackupLog = button(QStringLiteral("Очистка"), "btClearBackupLog",
                              QStringLiteral("Очистить протокол архивирования"), tab);
    btBackupNow = button(QStringLiteral("Архивация"), "btBackupNow",
                         QStringLiteral("Архивировать БД вручную"), tab);
    row->addWidget(btClearBackupLog);
    row->addWidget(btBackupNow);
    row->addStretch(1);
    layout->addLayout(row);
    mmBackupLog = makeLog("mmBackupLog");
    layout->addWidget(mmBackupLog, 1);
    connect(btClearBackupLog, &QPushButton::clicked, mmBackupLog, &QPlainTextEdit::clear);
    connect(btBackupNow, &QPushButton::clicked, this, &TBaseServicesForm::btBackupNowClick);
    return tab;
}

QWidget* TBaseServicesForm::buildRestoreTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(tabHeader(QStringLiteral("Восстановление базы данных"), tab));
    auto* row = new QHBoxLayout;
    btClearRestoreLog = button(QStringLiteral("Очистка"), "btClearRestoreLog",
                               QStringLiteral("Очистить протокол восстановления"), tab);
    btRestore = button(QStringLiteral("Восстан."), "btRestore",
                       QStringLiteral("Восстановить БД из архивной копии"), tab);
    row->addWidget(btClearRestoreLog);
    row->addWidget(btRestore);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Файл архива (*.fbk) :"), tab));
    fnGBK = fileBox("fnGBK", tab);
    layout->addWidget(fnGBK);
    layout->addWidget(new QLabel(QStringLiteral("Файл базы данных (*.fdb) :"), tab));
    fnGDB = fileBox("fnGDB", tab);
    layout->addWidget(fnGDB);
    mmRestoreLog = makeLog("mmRestoreLog");
    layout->addWidget(mmRestoreLog, 1);
    connect(btClearRestoreLog, &QPushButton::clicked, mmRestoreLog, &QPlainTextEdit::clear);
    connect(btRestore, &QPushButton::clicked, this, &TBaseServicesForm::btRestoreClick);
    connect(fnGBK, &ButtonEdit::buttonClicked, this, &TBaseServicesForm::fnGBKButtonClick);
    connect(fnGDB, &ButtonEdit::buttonClicked, this, &TBaseServicesForm::fnGDBButtonClick);
    return tab;
}

QWidget* TBaseServicesForm::buildRepairTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(tabHeader(QStringLiteral("Ремонт базы данных"), tab));
    btRepair = button(QStringLiteral("Запуск"), "btRepair",
                      QStringLiteral("Запуск ремонта базы данных"), tab);
    auto* row = new QHBoxLayout;
    row->addWidget(btRepair);
    row->addStretch(1);
    layout->addLayout(row);
    Label_Warning = new QLabel(
        QStringLiteral("Ремонт базы данных - это тест базы данных на наличие ошибок; "
                       "архивирование и последующее восстановление базы данных; улучшение "
                       "производительности индексов.\n\nРемонт уменьшает размер базы данных, "
                       "повышает скорость работы с ней."),
        tab);
    Label_Warning->setObjectName(QStringLiteral("Label_Warning"));
    Label_Warning->setWordWrap(true);
    layout->addWidget(Label_Warning);
    mmRepairLog = makeLog("mmRepairLog");
    layout->addWidget(mmRepairLog, 1);
    connect(btRepair, &QPushButton::clicked, this, &TBaseServicesForm::btRepairClick);
    return tab;
}

QWidget* TBaseServicesForm::buildScriptTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    auto* header = tabHeader(QStringLiteral("Модернизация структуры базы данных с помощью набора "
                                            "специальных команд (скрипта)"),
                             tab);
    header->setWordWrap(true);
    layout->addWidget(header);
    btRunSQL = button(QStringLiteral("Выполнить"), "btRunSQL",
                      QStringLiteral("Выполнить скрипт для базы данных"), tab);
    auto* row = new QHBoxLayout;
    row->addWidget(btRunSQL);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Файл скрипта (*.sql) :"), tab));
    fnSQL = fileBox("fnSQL", tab);
    layout->addWidget(fnSQL);
    auto* info = new QHBoxLayout;
    Label_DBVersion = new QLabel(QStringLiteral("Текущая версия базы данных : 1.0"), tab);
    Label_DBVersion->setObjectName(QStringLiteral("Label_DBVersion"));
    Label_ScriptHelp = new QLabel(QStringLiteral("Что делать после выполнения скриптов?"), tab);
    Label_ScriptHelp->setObjectName(QStringLiteral("Label_ScriptHelp"));
    QFont underlined = Label_ScriptHelp->font();
    underlined.setUnderline(true);
    Label_ScriptHelp->setFont(underlined);
    Label_ScriptHelp->setCursor(Qt::PointingHandCursor);
    Label_ScriptHelp->installEventFilter(this);
    info->addWidget(Label_DBVersion);
    info->addStretch(1);
    info->addWidget(Label_ScriptHelp);
    layout->addLayout(info);
    mmSqlLog = makeLog("mmSqlLog");
    mmSqlLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(mmSqlLog, 1);
    connect(btRunSQL, &QPushButton::clicked, this, &TBaseServicesForm::btRunSQLClick);
    connect(fnSQL, &ButtonEdit::buttonClicked, this, &TBaseServicesForm::fnSQLButtonClick);
    return tab;
}

bool TBaseServicesForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label_ScriptHelp && event->type() == QEvent::MouseButtonRelease) {
        Label_ScriptHelpClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TBaseServicesForm::AppendLogLine(QPlainTextEdit* log, const QString& text) {
    QStringList lines = linesOf(log);
    service_log::appendLogLine(lines, text);
    setLines(log, lines);
}

void TBaseServicesForm::AppendToLastLine(QPlainTextEdit* log, const QString& text) {
    QStringList lines = linesOf(log);
    service_log::appendToLastLine(lines, text);
    setLines(log, lines);
}

QStringList TBaseServicesForm::CleanServiceOutput(QStringList lines) {
    service_log::cleanServiceOutput(lines);
    return lines;
}

bool TBaseServicesForm::ask(const QString& text, MsgIcon icon, MsgResult defaultButton,
                            const QString& caption) {
    return m_context.dialogs->ask(this, text, caption.isEmpty() ? kCaption : caption, icon,
                                  defaultButton);
}

void TBaseServicesForm::setBusy(bool busy) {
    PageControl->setEnabled(!busy);
    Btn_Cancel->setEnabled(!busy);
    Btn_Help->setEnabled(!busy);
    if (busy) {
        m_repaint.start();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        lbServiceLine->clear();
        QApplication::restoreOverrideCursor();
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TBaseServicesForm::showServiceLine(const QString& line) {
    lbServiceLine->setText(line.trimmed());
    // A few repaints a second keep the window alive without slowing the service down.
    if (m_repaint.isValid() && m_repaint.elapsed() < 200)
        return;
    m_repaint.restart();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TBaseServicesForm::emergencyEnd() {
    m_context.dialogs->error(
        this, QStringLiteral("Ошибка при подключении к базе данных, программа будет закрыта."),
        QStringLiteral("Аварийное закрытие программы"));
    m_closeConfirmed = true;
    if (m_context.endProgramNow)
        m_context.endProgramNow();
    QDialog::reject();
}

void TBaseServicesForm::btBackupNowClick() {
    if (!ask(QStringLiteral("Начать архивацию базы данных прямо сейчас?"), MsgIcon::Question,
             MsgResult::No))
        return;
    setBusy(true);
    MemoLog log(*this, mmBackupLog);
    m_service->backup(log);
    setBusy(false);
}

void TBaseServicesForm::btRestoreClick() {
    const QString backup = fnGBK->text().trimmed();
    const QString target = fnGDB->text().trimmed();
    if (backup.isEmpty() || !QFileInfo(backup).isFile()) {
        fnGBK->setFocus();
        m_context.dialogs->error(this, QStringLiteral("Не указан файл архива базы данных."),
                                 kCaption);
        return;
    }
    if (target.isEmpty()) {
        fnGDB->setFocus();
        m_context.dialogs->error(this, QStringLiteral("Не указан файл базы данных."), kCaption);
        return;
    }
    if (!ask(kOthersOff, MsgIcon::Warning, MsgResult::Yes))
        return;
    bool yes = false;
    if (QFileInfo::exists(target) && m_service->isCurrentDatabase(target))
        yes = ask(QStringLiteral("Вы пытаетесь восстановить базу данных из архива и при этом "
                                 "заменить ею текущую базу. Вы действительно желаете заменить "
                                 "текущую базу данных?"),
                  MsgIcon::Warning, MsgResult::Yes);
    else if (QFileInfo::exists(target))
        yes = ask(QStringLiteral("Файл базы данных с таким именем уже существует в указанном "
                                 "каталоге. Заменить существующий файл новым, полученным при "
                                 "восстановлении из архива?"),
                  MsgIcon::Question, MsgResult::No);
    else
        yes = ask(QStringLiteral("Начать восстановление базы данных из архивной копии?"),
                  MsgIcon::Question, MsgResult::No);
    if (!yes)
        return;
    setBusy(true);
    MemoLog log(*this, mmRestoreLog);
    const DatabaseService::Result result = m_service->restore(backup, target, log);
    setBusy(false);
    if (result.reconnectFailed) {
        emergencyEnd();
        return;
    }
    UpdateDBVersion();
}

void TBaseServicesForm::btRepairClick() {
    if (!ask(kOthersOff, MsgIcon::Warning, MsgResult::Yes, QStringLiteral("Ремонт базы данных")))
        return;
    setBusy(true);
    mmRepairLog->clear();
    MemoLog log(*this, mmRepairLog);
    const DatabaseService::Result result = m_service->repair(log);
    setBusy(false);
    if (result.reconnectFailed) {
        emergencyEnd();
        return;
    }
    m_context.dialogs->information(
        this, QStringLiteral("После данной процедуры необходимо перезапустить программу."),
        QStringLiteral("Необходим перезапуск..."));
}

void TBaseServicesForm::btRunSQLClick() {
    const std::optional<QString> script = sql_script::loadFile(fnSQL->text().trimmed());
    if (!script) {
        m_context.dialogs->error(
            this, QStringLiteral("Не могу открыть файл скрипта для базы данных (*.sql)."),
            kCaption);
        return;
    }
    if (!ask(kOthersOff, MsgIcon::Warning, MsgResult::Yes))
        return;
    if (sql_script::isEmpty(*script)) {
        m_context.dialogs->error(this, QStringLiteral("Скрипт действий для базы данных пустой."),
                                 kCaption);
    } else if (ask(QStringLiteral("Сейчас структура базы данных будет изменена в соответствии с "
                                  "командами скрипта. Выполнить cкрипт для базы данных?"),
                   MsgIcon::Question, MsgResult::No)) {
        mmSqlLog->clear();
        AppendLogLine(mmSqlLog, QStringLiteral("Выполнение скрипта..."));
        setBusy(true);
        sql_script::RunResult result;
        if (m_dm.SHCDataBase.isConnected())
            result = sql_script::run(m_dm.SHCDataBase, m_dm.IBTransaction, *script);
        else
            result = {false, 0, QString(), QStringLiteral("Нет подключения к базе данных.")};
        setBusy(false);
        if (result.ok) {
            AppendToLastLine(mmSqlLog, QStringLiteral(" OK."));
        } else {
            if (!result.failedStatement.isEmpty())
                AppendLogLine(mmSqlLog, result.failedStatement);
            AppendLogLine(mmSqlLog, result.errorText.trimmed());
            AppendLogLine(mmSqlLog, QStringLiteral("Скрипт выполнен некорректно."));
        }
    }
    UpdateDBVersion();
}

QString TBaseServicesForm::chooseFile(const char* name, bool save, const QString& title,
                                      const QString& filter, const QString& folder) {
    QFileDialog dialog(this, title, folder, filter);
    dialog.setObjectName(QLatin1String(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (m_context.dialogs->exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void TBaseServicesForm::fnGBKButtonClick() {
    const QString file = chooseFile("OpenDialogGBK", false, QStringLiteral("Открыть архив"),
                                    QStringLiteral("Файлы архивов БД FireBird (*.fbk)"),
                                    m_service->databaseFolder());
    if (file.isEmpty())
        return;
    fnGBK->setText(file);
    fnGDB->setText(service_paths::targetFromBackup(file));
}

void TBaseServicesForm::fnGDBButtonClick() {
    const QString current = fnGDB->text().trimmed();
    const QString folder =
        current.isEmpty() ? m_service->databaseFolder() : QFileInfo(current).absolutePath();
    const QString file = chooseFile("SaveDialogGDB", true, QStringLiteral("Разархивировать в ..."),
                                    QStringLiteral("Файлы баз данных FireBird (*.fdb)"), folder);
    if (!file.isEmpty())
        fnGDB->setText(file);
}

void TBaseServicesForm::fnSQLButtonClick() {
    const QString file =
        chooseFile("OpenDialogSQL", false, QStringLiteral("Открыть файл скрипта"),
                   QStringLiteral("Файлы скрипта  (*.sql)"), m_service->databaseFolder());
    if (file.isEmpty())
        return;
    fnSQL->setText(file);
    mmSqlLog->clear();
    if (const std::optional<QString> text = sql_script::loadFile(file))
        mmSqlLog->setPlainText(*text);
}

void TBaseServicesForm::UpdateDBVersion() {
    if (!m_dm.SHCDataBase.isConnected())
        return;
    std::optional<QString> version;
    try {
        version = database_version::read(m_dm.SHCDataBase);
    } catch (const fb::Error&) {
        // A database without the settings table cannot tell its version either.
    }
    Label_DBVersion->setText(database_version::line(version));
}

void TBaseServicesForm::Btn_HelpClick() {
    HelpViewer::showTopic(*m_context.dialogs, this, m_context.programFolder,
                          QStringLiteral("BaseService.htm"));
}

void TBaseServicesForm::Label_ScriptHelpClick() {
    BalloonHint* balloon = BalloonHint::forWindow(parentWidget() ? parentWidget() : this);
    balloon->showAt(Label_ScriptHelp, QStringLiteral("После обновления \"Сроковеда\""),
                    QStringLiteral("После обновления базы данных скриптами - обязательно выполните "
                                   "ее ремонт.\r\n \r\n "),
                    28000);
}

bool TBaseServicesForm::FormCloseQuery() {
    if (!m_closeConfirmed && ask(QStringLiteral("Закрыть окно сервиса базы данных?"),
                                 MsgIcon::Question, MsgResult::No, QStringLiteral("Сервис базы")))
        m_closeConfirmed = true;
    return m_closeConfirmed;
}

void TBaseServicesForm::reject() {
    if (FormCloseQuery())
        QDialog::reject();
}

void TBaseServicesForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
