#pragma once

#include <QDialog>
#include <QString>

class Dialogs;
class QTextBrowser;

// The program's help window: shows a page of the Help folder in the program folder, with its
// links, back and forward. It does not block the window that opened it.
class HelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit HelpViewer(const QString& programFolder, QWidget* parent = nullptr);

    // <programFolder>/Help/<topic>
    static QString topicPath(const QString& programFolder, const QString& topic);
    // Loads the topic; when its file is missing the window says so instead and false returns.
    bool openTopic(const QString& topic);
    QString currentTopic() const { return m_topic; }
    QTextBrowser* browser() const { return m_browser; }

    // The help of the window that holds owner: the missing file is reported through dialogs;
    // otherwise the window's one help viewer opens the topic. Returns the viewer, or nullptr.
    static HelpViewer* showTopic(Dialogs& dialogs, QWidget* owner, const QString& programFolder,
                                 const QString& topic);
    static QString missingFileText(const QString& path);

private:
    QString m_folder;
    QString m_topic;
    QTextBrowser* m_browser;
};
