#include "report/ui/preview_window.h"

#include "report/exports.h"
#include "report/ui/page_view.h"
#include "report/ui/progress_runner.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace report {
namespace {

const QString kCaption = QStringLiteral("Предварительный просмотр");

const QList<int> kZoomSteps{25, 50, 75, 100, 150, 200, 300, 400};

QString formatFilter(PreviewWindow::Format format) {
    switch (format) {
    case PreviewWindow::Format::Pdf:
        return QStringLiteral("Документ PDF (*.pdf)");
    case PreviewWindow::Format::Xlsx:
        return QStringLiteral("Книга Excel (*.xlsx)");
    case PreviewWindow::Format::Text:
        return QStringLiteral("Текстовый файл (*.txt)");
    case PreviewWindow::Format::Html:
        return QStringLiteral("Страница HTML (*.html *.htm)");
    }
    return {};
}

QString formatSuffix(PreviewWindow::Format format) {
    switch (format) {
    case PreviewWindow::Format::Pdf:
        return QStringLiteral("pdf");
    case PreviewWindow::Format::Xlsx:
        return QStringLiteral("xlsx");
    case PreviewWindow::Format::Text:
        return QStringLiteral("txt");
    case PreviewWindow::Format::Html:
        return QStringLiteral("html");
    }
    return {};
}

} // namespace

PreviewWindow::PreviewWindow(PreparedReport report, QWidget* parent)
    : QDialog(parent), m_report(std::move(report)) {
    setWindowTitle(m_report.title.isEmpty() ? kCaption
                                            : kCaption + QStringLiteral(" - ") + m_report.title);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(1000, 760);
    m_view = new PageView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(m_view, 1);
    m_view->setReport(&m_report);
    connect(m_view, &PageView::currentPageChanged, this, &PreviewWindow::updatePageControls);
    connect(m_view, &PageView::zoomChanged, this, &PreviewWindow::updateZoomBox);
    updatePageControls(0);
    updateZoomBox(m_view->zoom());
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildToolBar() {
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    static_cast<QVBoxLayout*>(this->layout())->addWidget(bar);
    QStyle* s = style();

    QAction* print = bar->addAction(s->standardIcon(QStyle::SP_DialogSaveButton),
                                    QStringLiteral("Печать"), this, &PreviewWindow::print);
    print->setShortcut(QKeySequence::Print);
    print->setToolTip(QStringLiteral("Печать (Ctrl+P)"));
    bar->addAction(QStringLiteral("Параметры страницы"), this, &PreviewWindow::pageSetup);

    auto* exportButton = new QToolButton(bar);
    exportButton->setText(QStringLiteral("Экспорт"));
    exportButton->setPopupMode(QToolButton::InstantPopup);
    auto* exportMenu = new QMenu(exportButton);
    exportMenu->addAction(QStringLiteral("Документ PDF ..."), this,
                          [this] { exportAs(Format::Pdf); });
    exportMenu->addAction(QStringLiteral("Книга Excel (XLSX) ..."), this,
                          [this] { exportAs(Format::Xlsx); });
    exportMenu->addAction(QStringLiteral("Текстовый файл ..."), this,
                          [this] { exportAs(Format::Text); });
    exportMenu->addAction(QStringLiteral("Страница HTML ..."), this,
                          [this] { exportAs(Format::Html); });
    exportButton->setMenu(exportMenu);
    bar->addWidget(exportButton);
    bar->addSeparator();

    bar->addAction(QStringLiteral("По ширине"), m_view, &PageView::fitWidth);
    bar->addAction(QStringLiteral("Страница целиком"), m_view, &PageView::fitPage);
    QAction* zoomOut = bar->addAction(QStringLiteral("−"), this, [this] {
        const int current = qRound(m_view->zoom() * 100);
        int next = kZoomSteps.front();
        for (int step : kZoomSteps) {
            if (step < current)
                next = step;
        }
        m_view->setZoom(next / 100.0);
    });
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    zoomOut->setToolTip(QStringLiteral("Уменьшить"));
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setEditable(true);
    for (int step : kZoomSteps)
        m_zoomBox->addItem(QStringLiteral("%1%").arg(step), step);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    connect(m_zoomBox, &QComboBox::textActivated, this, [this](const QString& text) {
        bool ok = false;
        const int percent = QString(text).remove(QLatin1Char('%')).trimmed().toInt(&ok);
        if (ok && percent > 0)
            m_view->setZoom(percent / 100.0);
        else
            updateZoomBox(m_view->zoom());
    });
    bar->addWidget(m_zoomBox);
    QAction* zoomIn = bar->addAction(QStringLiteral("+"), this, [this] {
        const int current = qRound(m_view->zoom() * 100);
        int next = kZoomSteps.back();
        for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
            if (*it > current)
                next = *it;
        }
        m_view->setZoom(next / 100.0);
    });
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    zoomIn->setToolTip(QStringLiteral("Увеличить"));
    // Navigation and search on a second row, so that nothing hides behind the overflow arrow.
    bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->setIconSize(QSize(16, 16));
    static_cast<QVBoxLayout*>(this->layout())->addWidget(bar);

    bar->addAction(s->standardIcon(QStyle::SP_MediaSkipBackward), QStringLiteral("Первая"), this,
                   [this] { goToPage(0); })
        ->setShortcut(Qt::CTRL | Qt::Key_Home);
    bar->addAction(s->standardIcon(QStyle::SP_MediaSeekBackward), QStringLiteral("Предыдущая"),
                   this, [this] { goToPage(currentPage() - 1); })
        ->setShortcut(Qt::Key_PageUp);
    m_pageBox = new QSpinBox(bar);
    m_pageBox->setMinimum(1);
    m_pageBox->setMaximum(std::max(1, m_report.pageCount()));
    m_pageBox->setKeyboardTracking(false);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (page - 1 != currentPage())
            goToPage(page - 1);
    });
    bar->addWidget(m_pageBox);
    m_pageCount = new QLabel(bar);
    bar->addWidget(m_pageCount);
    bar->addAction(s->standardIcon(QStyle::SP_MediaSeekForward), QStringLiteral("Следующая"), this,
                   [this] { goToPage(currentPage() + 1); })
        ->setShortcut(Qt::Key_PageDown);
    bar->addAction(s->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("Последняя"), this,
                   [this] { goToPage(m_report.pageCount() - 1); })
        ->setShortcut(Qt::CTRL | Qt::Key_End);
    bar->addSeparator();

    m_searchEdit = new QLineEdit(bar);
    m_searchEdit->setPlaceholderText(QStringLiteral("Найти текст"));
    m_searchEdit->setClearButtonEnabled(true);
    m_searchEdit->setMaximumWidth(180);
    bar->addWidget(m_searchEdit);
    QAction* find = bar->addAction(QStringLiteral("Найти далее"), this, [this] {
        if (!m_searchEdit->text().isEmpty() && !findNext(m_searchEdit->text()))
            showMessage(QStringLiteral("Текст «%1» не найден.").arg(m_searchEdit->text()), false);
    });
    find->setShortcut(QKeySequence::FindNext);
    connect(m_searchEdit, &QLineEdit::returnPressed, find, &QAction::trigger);
    connect(m_searchEdit, &QLineEdit::textChanged, this, [this] {
        m_foundPage = currentPage();
        m_foundItem = -1;
        m_view->clearHighlight();
    });
    QAction* findShortcut = new QAction(this);
    findShortcut->setShortcut(QKeySequence::Find);
    connect(findShortcut, &QAction::triggered, this, [this] {
        m_searchEdit->setFocus();
        m_searchEdit->selectAll();
    });
    addAction(findShortcut);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Закрыть"), this, &QDialog::reject);
}

int PreviewWindow::currentPage() const {
    return m_view->currentPage();
}

void PreviewWindow::goToPage(int page) {
    m_view->goToPage(page);
}

void PreviewWindow::updatePageControls(int page) {
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setValue(page + 1);
    m_pageCount->setText(QStringLiteral(" из %1 ").arg(m_report.pageCount()));
}

void PreviewWindow::updateZoomBox(double zoom) {
    m_zoomBox->setEditText(QStringLiteral("%1%").arg(qRound(zoom * 100)));
}

bool PreviewWindow::findNext(const QString& text) {
    if (text.isEmpty() || m_report.isEmpty())
        return false;
    // Walk from just after the last place found, page by page, item by item, line by line.
    int page = m_foundItem < 0 ? 0 : m_foundPage;
    int item = m_foundItem < 0 ? 0 : m_foundItem;
    int line = m_foundItem < 0 ? 0 : m_foundLine;
    int from = m_foundItem < 0 ? 0 : m_foundPos + 1;
    for (; page < m_report.pageCount(); ++page, item = 0, line = 0, from = 0) {
        const QVector<PreparedItem>& items = m_report.pages[page].items;
        for (; item < items.size(); ++item, line = 0, from = 0) {
            const QStringList& lines = items[item].lines;
            for (; line < lines.size(); ++line, from = 0) {
                const qsizetype at = lines[line].indexOf(text, from, Qt::CaseInsensitive);
                if (at < 0)
                    continue;
                m_foundPage = page;
                m_foundItem = item;
                m_foundLine = line;
                m_foundPos = static_cast<int>(at);
                m_view->setHighlight(
                    page, {item, line, static_cast<int>(at), static_cast<int>(text.size())});
                return true;
            }
        }
    }
    m_foundItem = -1;
    m_view->clearHighlight();
    return false;
}

QString PreviewWindow::askSavePath(Format format) {
    if (m_savePath)
        return m_savePath(format);
    QString name = m_report.title.isEmpty() ? QStringLiteral("Отчёт") : m_report.title;
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Экспорт"),
                                                name + QLatin1Char('.') + formatSuffix(format),
                                                formatFilter(format));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + formatSuffix(format);
    return path;
}

void PreviewWindow::exportAs(Format format) {
    const QString path = askSavePath(format);
    if (!path.isEmpty())
        exportTo(format, path);
}

bool PreviewWindow::exportTo(Format format, const QString& path) {
    ProgressRunner runner(this, QStringLiteral("Экспорт в «%1» ...").arg(path));
    try {
        switch (format) {
        case Format::Pdf:
            exportPdf(m_report, path, runner.progress());
            break;
        case Format::Xlsx:
            exportXlsx(m_report, path, runner.progress());
            break;
        case Format::Text:
            exportText(m_report, path, runner.progress());
            break;
        case Format::Html:
            exportHtml(m_report, path, runner.progress());
            break;
        }
        return true;
    } catch (const Cancelled&) {
        return false;
    } catch (const ExportError& e) {
        showMessage(e.message(), true);
        return false;
    }
}

bool PreviewWindow::printTo(QPrinter& printer) {
    ProgressRunner runner(this, QStringLiteral("Печать ..."));
    try {
        printReport(m_report, printer, runner.progress());
        return true;
    } catch (const Cancelled&) {
        return false;
    } catch (const ExportError& e) {
        showMessage(e.message(), true);
        return false;
    }
}

void PreviewWindow::print() {
    if (!m_printer) {
        // The system's default printer, with the report's paper.
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_report.isEmpty()) {
            const QSizeF mm = m_report.pages[0].sizeMm;
            const bool landscape = mm.width() > mm.height();
            m_printer->setPageSize(
                QPageSize(landscape ? mm.transposed() : mm, QPageSize::Millimeter));
            m_printer->setPageOrientation(landscape ? QPageLayout::Landscape
                                                    : QPageLayout::Portrait);
        }
    }
    m_printer->setFromTo(1, std::max(1, m_report.pageCount()));
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setMinMax(1, std::max(1, m_report.pageCount()));
    if (dialog.exec() == QDialog::Accepted)
        printTo(*m_printer);
}

void PreviewWindow::pageSetup() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

void PreviewWindow::showMessage(const QString& text, bool isError) {
    if (m_message) {
        m_message(text, isError);
        return;
    }
    if (isError)
        QMessageBox::critical(this, kCaption, text);
    else
        QMessageBox::information(this, kCaption, text);
}

} // namespace report
