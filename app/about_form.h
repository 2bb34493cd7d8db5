#pragma once

#include "app/version_info.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace fb {
class Attachment;
class Transaction;
} // namespace fb

// The about window: which program this is, the version that runs, the version of the connected
// database and the values of the program's version resource.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 562;
    static constexpr int kClientHeight = 483;
    static const QString kNoDatabaseVersion;

    // database may be null or not connected: the database version then stays empty. A database
    // error while reading the version is not caught here; it leaves the constructor.
    TAboutForm(const VersionInfo& version, fb::Attachment* database, QWidget* parent = nullptr);
    ~TAboutForm() override;

    // The name/value pairs behind LB_Version, in the order listed.
    const QList<QPair<QString, QString>>& versionValues() const { return m_values; }

    QWidget* Panel_Header = nullptr;
    QLabel* Image_Header = nullptr;
    QLabel* Label_Title = nullptr;
    QLabel* Label_Date = nullptr;
    QLabel* Label_BigVersion = nullptr;
    QTabWidget* PC_About = nullptr;
    QWidget* TS_About = nullptr;
    QLabel* Label_Purpose = nullptr;
    QLabel* Image_Icon = nullptr;
    QLabel* Label_Description = nullptr;
    QLabel* Label_ShellVersion = nullptr;
    QLabel* Label_BaseVersion = nullptr;
    QLabel* Label_Rights = nullptr;
    QLabel* Label_Description_Value = nullptr;
    QLabel* Label_ShellVersion_Value = nullptr;
    QLabel* Label_BaseVersion_Value = nullptr;
    QLabel* Label_Rights_Value = nullptr;
    QListWidget* LB_Version = nullptr;
    QPlainTextEdit* Memo_Version = nullptr;
    QLabel* Image_Strip = nullptr;
    QPushButton* Btn_Close = nullptr;

private:
    void buildControls();
    void FormCreate(fb::Attachment* database);
    void LB_VersionClick(int row);
    QString readDatabaseVersion();

    VersionInfo m_version;
    QList<QPair<QString, QString>> m_values;
    std::unique_ptr<fb::Transaction> m_transaction;
};
