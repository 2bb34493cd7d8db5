#include "app/intro_form.h"

#include "widgets/program_art.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

const QString TIntroForm::kLegalNotice =
    QStringLiteral("Программа защищена законодательством об авторском праве. Незаконное "
                   "воспроизведение или распространение программы или любой её части влечёт "
                   "гражданскую, административную и уголовную ответственность.");

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QColor& colour,
                  bool bold, int pixelSize) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    QFont font = label->font();
    font.setBold(bold);
    font.setPixelSize(pixelSize);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

TIntroForm::TIntroForm(VersionInfo version, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_version(std::move(version)),
      m_picture(introPicture(QSize(kWidth, kHeight))) {
    setObjectName(QStringLiteral("IntroForm"));
    setWindowTitle(QStringLiteral("Сроковед"));
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::WaitCursor);

    const QColor light(225, 232, 255);
    InfoLabel =
        makeLabel(this, "InfoLabel", QRect(8, 0, kWidth - 16, 34), QColor(226, 0, 125), true, 13);
    InfoLabel->setAlignment(Qt::AlignCenter);

    Image_Logo = new QLabel(this);
    Image_Logo->setObjectName(QStringLiteral("Image_Logo"));
    Image_Logo->setGeometry(36, 62, 64, 64);
    Image_Logo->setPixmap(programIconPixmap(64));

    Label_Version_01 =
        makeLabel(this, "Label_Version_01", QRect(122, 118, 60, 20), light, false, 13);
    Label_Version_01->setText(QStringLiteral("Версия"));
    Label_Version_02 =
        makeLabel(this, "Label_Version_02", QRect(184, 118, 150, 20), Qt::white, true, 13);

    Label_Description_02 =
        makeLabel(this, "Label_Description_02", QRect(36, 156, 398, 44), Qt::white, true, 14);
    Label_Description_02->setWordWrap(true);

    Label_Rights_02 = makeLabel(this, "Label_Rights_02", QRect(36, 206, 398, 36), light, false, 12);
    Label_Rights_02->setWordWrap(true);

    Label_Notice =
        makeLabel(this, "Label_Notice", QRect(36, 262, 398, 62), QColor(200, 210, 240), false, 11);
    Label_Notice->setWordWrap(true);
    Label_Notice->setText(kLegalNotice);

    // Centred on the screen the splash appears on.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TIntroForm::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TIntroForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void TIntroForm::FormShow() {
    Label_Version_02->clear();
    Label_Description_02->clear();
    Label_Rights_02->clear();
    if (!m_version.hasResource())
        return;
    Label_Version_02->setText(shortFileVersion(m_version.fixed->fileVersion));
    Label_Description_02->setText(m_version.string(VersionInfo::FileDescription));
    Label_Rights_02->setText(m_version.string(VersionInfo::LegalCopyright));
}

void ShowIntroInfo(std::unique_ptr<TIntroForm>& intro, const QString& text,
                   const VersionInfo& version) {
    if (!intro) {
        intro = std::make_unique<TIntroForm>(version);
        intro->show();
    }
    intro->InfoLabel->setText(text);
    QApplication::processEvents();
}

void CloseIntro(std::unique_ptr<TIntroForm>& intro) {
    if (!intro)
        return;
    intro->close();
    intro.reset();
}
