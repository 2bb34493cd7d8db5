#include "app/about_form.h"

#include "store/settings.h"

#include "fb/attachment.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "widgets/program_art.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

const QString TAboutForm::kNoDatabaseVersion = QStringLiteral("ошибка определения");

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text = {}, bool bold = false) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(name));
    if (bold) {
        QFont font = result->font();
        font.setBold(true);
        result->setFont(font);
    }
    return result;
}

} // namespace

TAboutForm::TAboutForm(const VersionInfo& version, fb::Attachment* database, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_version(version) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();
    FormCreate(database);
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::buildControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    // Header strip: picture, the two fixed lines and the large version caption.
    Panel_Header = new QWidget(this);
    Panel_Header->setObjectName(QStringLiteral("Panel_Header"));
    Panel_Header->setFixedHeight(57);
    Panel_Header->setAutoFillBackground(true);
    QPalette headerPalette = Panel_Header->palette();
    headerPalette.setColor(QPalette::Window, QColor(198, 210, 244));
    headerPalette.setColor(QPalette::WindowText, Qt::black);
    Panel_Header->setPalette(headerPalette);
    auto* header = new QHBoxLayout(Panel_Header);
    header->setContentsMargins(10, 4, 14, 4);
    header->setSpacing(10);
    Image_Header = label(Panel_Header, "Image_Header");
    Image_Header->setPixmap(programIconPixmap(44));
    header->addWidget(Image_Header);
    auto* headerTexts = new QVBoxLayout;
    headerTexts->setSpacing(2);
    Label_Title = label(Panel_Header, "Label_Title", QStringLiteral("О программе Сроковед"), true);
    Label_Date = label(Panel_Header, "Label_Date", QStringLiteral("версия от 7 марта 2019"));
    headerTexts->addStretch();
    headerTexts->addWidget(Label_Title);
    headerTexts->addWidget(Label_Date);
    headerTexts->addStretch();
    header->addLayout(headerTexts, 1);
    Label_BigVersion = label(Panel_Header, "Label_BigVersion", QStringLiteral("2.1 "), true);
    QFont big = Label_BigVersion->font();
    big.setPixelSize(34);
    Label_BigVersion->setFont(big);
    QPalette bigPalette = Label_BigVersion->palette();
    bigPalette.setColor(QPalette::WindowText, QColor(226, 0, 125));
    Label_BigVersion->setPalette(bigPalette);
    header->addWidget(Label_BigVersion);
    root->addWidget(Panel_Header);

    // The page with its one tab.
    auto* pageArea = new QVBoxLayout;
    pageArea->setContentsMargins(8, 8, 8, 4);
    PC_About = new QTabWidget(this);
    PC_About->setObjectName(QStringLiteral("PC_About"));
    TS_About = new QWidget;
    TS_About->setObjectName(QStringLiteral("TS_About"));
    PC_About->addTab(TS_About, QStringLiteral("О программе"));
    pageArea->addWidget(PC_About);
    root->addLayout(pageArea, 1);

    auto* tab = new QHBoxLayout(TS_About);
    tab->setContentsMargins(12, 12, 8, 8);
    tab->setSpacing(12);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(10);
    Label_Purpose =
        label(TS_About, "Label_Purpose",
              QStringLiteral(
                  "Программа предназначена для составления расписания бухгалтерской отчётности"),
              true);
    Label_Purpose->setWordWrap(true);
    texts->addWidget(Label_Purpose);

    auto* iconAndLines = new QHBoxLayout;
    iconAndLines->setSpacing(12);
    Image_Icon = label(TS_About, "Image_Icon");
    Image_Icon->setFixedSize(48, 48);
    Image_Icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    iconAndLines->addWidget(Image_Icon, 0, Qt::AlignTop);
    auto* lines = new QGridLayout;
    lines->setHorizontalSpacing(8);
    lines->setVerticalSpacing(6);
    const auto addLine = [&](int row, QLabel*& caption, const char* captionName,
                             const QString& captionText, QLabel*& value, const char* valueName) {
        caption = label(TS_About, captionName, captionText);
        value = label(TS_About, valueName);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lines->addWidget(caption, row, 0, Qt::AlignTop | Qt::AlignRight);
        lines->addWidget(value, row, 1, Qt::AlignTop);
    };
    addLine(0, Label_Description, "Label_Description", QStringLiteral("Описание :"),
            Label_Description_Value, "Label_Description_Value");
    addLine(1, Label_ShellVersion, "Label_ShellVersion", QStringLiteral("Версия оболочки :"),
            Label_ShellVersion_Value, "Label_ShellVersion_Value");
    addLine(2, Label_BaseVersion, "Label_BaseVersion", QStringLiteral("Версия базы :"),
            Label_BaseVersion_Value, "Label_BaseVersion_Value");
    addLine(3, Label_Rights, "Label_Rights", QStringLiteral("Права :"), Label_Rights_Value,
            "Label_Rights_Value");
    lines->setColumnStretch(1, 1);
    iconAndLines->addLayout(lines, 1);
    texts->addLayout(iconAndLines);

    auto* values = new QHBoxLayout;
    values->setSpacing(6);
    LB_Version = new QListWidget(TS_About);
    LB_Version->setObjectName(QStringLiteral("LB_Version"));
    LB_Version->setFixedWidth(150);
    Memo_Version = new QPlainTextEdit(TS_About);
    Memo_Version->setObjectName(QStringLiteral("Memo_Version"));
    Memo_Version->setReadOnly(true);
    values->addWidget(LB_Version);
    values->addWidget(Memo_Version, 1);
    texts->addLayout(values, 1);
    tab->addLayout(texts, 1);

    Image_Strip = label(TS_About, "Image_Strip");
    Image_Strip->setFixedWidth(96);
    Image_Strip->setScaledContents(true);
    Image_Strip->setPixmap(aboutStripPicture(QSize(96, 330)));
    tab->addWidget(Image_Strip);

    // Bottom strip with the one button: default for Enter, cancel for Esc.
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 4, 12, 10);
    bottom->addStretch();
    Btn_Close = new QPushButton(QStringLiteral("Закрыть"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setDefault(true);
    Btn_Close->setMinimumWidth(90);
    bottom->addWidget(Btn_Close);
    root->addLayout(bottom);

    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(LB_Version, &QListWidget::currentRowChanged, this, &TAboutForm::LB_VersionClick);
}

void TAboutForm::FormCreate(fb::Attachment* database) {
    Label_Description_Value->clear();
    Label_ShellVersion_Value->clear();
    Label_Rights_Value->clear();
    LB_Version->clear();
    Memo_Version->clear();
    m_values.clear();

    // Linux keeps no icon inside a program file, so the program's own icon stands for the
    // icon of the running file.
    Image_Icon->setPixmap(programIconPixmap(48));

    const VersionTexts texts = versionTexts(m_version);
    Label_ShellVersion_Value->setText(texts.fileVersion);
    Label_Description_Value->setText(texts.fileDescription);
    Label_Rights_Value->setText(texts.legalCopyright);
    m_values = texts.values;
    for (const auto& [name, value] : std::as_const(m_values))
        LB_Version->addItem(name);
    if (!m_values.isEmpty())
        LB_Version->setCurrentRow(0);

    if (database && database->isConnected()) {
        m_transaction =
            std::make_unique<fb::Transaction>(*database, fb::Transaction::Mode::ReadOnly);
        Label_BaseVersion_Value->setText(readDatabaseVersion());
    }
}

QString TAboutForm::readDatabaseVersion() {
    const QString text =
        store::settings::databaseVersion(*m_transaction).value_or(kNoDatabaseVersion);
    m_transaction->commit();
    return text;
}

void TAboutForm::LB_VersionClick(int row) {
    if (row < 0 || row >= m_values.size()) {
        Memo_Version->clear();
        return;
    }
    Memo_Version->setPlainText(m_values.at(row).second);
}
