#include "widgets/help_viewer.h"

#include "widgets/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_folder(programFolder), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Справка"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setModal(false);
    m_browser->setOpenExternalLinks(true);

    auto* back = new QPushButton(QStringLiteral("Назад"), this);
    auto* forward = new QPushButton(QStringLiteral("Вперёд"), this);
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Справка")
                                       : QStringLiteral("Справка - ") + title);
        Q_UNUSED(url);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);
    resize(760, 600);
}

QString HelpViewer::topicPath(const QString& programFolder, const QString& topic) {
    return QDir(programFolder).filePath(QStringLiteral("Help/") + topic);
}

QString HelpViewer::missingFileText(const QString& path) {
    return QStringLiteral("Файл справки не найден:\n%1\n\nПроверьте, что папка Help "
                          "находится рядом с программой.")
        .arg(QDir::toNativeSeparators(path));
}

bool HelpViewer::openTopic(const QString& topic) {
    m_topic = topic;
    const QString path = topicPath(m_folder, topic);
    if (!QFileInfo(path).isFile()) {
        m_browser->clearHistory();
        m_browser->setPlainText(missingFileText(path));
        setWindowTitle(QStringLiteral("Справка"));
        return false;
    }
    m_browser->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    return true;
}

HelpViewer* HelpViewer::showTopic(Dialogs& dialogs, QWidget* owner, const QString& programFolder,
                                  const QString& topic) {
    const QString path = topicPath(programFolder, topic);
    if (!QFileInfo(path).isFile()) {
        dialogs.error(owner, missingFileText(path), QStringLiteral("Справка"));
        return nullptr;
    }
    QWidget* window = owner ? owner->window() : nullptr;
    HelpViewer* viewer = window ? window->findChild<HelpViewer*>(QStringLiteral("helpViewer"),
                                                                 Qt::FindDirectChildrenOnly)
                                : nullptr;
    if (!viewer) {
        viewer = new HelpViewer(programFolder, window);
        // A window without an owner would otherwise live until the program ends.
        if (!window)
            viewer->setAttribute(Qt::WA_DeleteOnClose);
    }
    viewer->openTopic(topic);
    dialogs.showModeless(*viewer);
    return viewer;
}
