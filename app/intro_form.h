#pragma once

#include "app/version_info.h"

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;

// The splash window shown while the main window starts: a borderless picture centred on the
// screen with a status line at the top and the program's version texts.
class TIntroForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 470;
    static constexpr int kHeight = 340;
    // The fixed notice about the legal protection of the program.
    static const QString kLegalNotice;

    explicit TIntroForm(VersionInfo version = VersionInfo::program(), QWidget* parent = nullptr);

    QLabel* InfoLabel = nullptr;
    QLabel* Image_Logo = nullptr;
    QLabel* Label_Version_01 = nullptr;
    QLabel* Label_Version_02 = nullptr;
    QLabel* Label_Description_02 = nullptr;
    QLabel* Label_Rights_02 = nullptr;
    QLabel* Label_Notice = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FormShow();

    VersionInfo m_version;
    QPixmap m_picture;
};

// The splash window's life during start-up. The main window owns the pointer; the splash exists
// only between the first ShowIntroInfo and CloseIntro.
//
// Creates and shows the splash (no owner) when there is none, puts the text into its status
// line and processes pending events once, which is the only time the splash repaints.
void ShowIntroInfo(std::unique_ptr<TIntroForm>& intro, const QString& text,
                   const VersionInfo& version = VersionInfo::program());
// Closes and frees the splash if there is one.
void CloseIntro(std::unique_ptr<TIntroForm>& intro);
