#include "books/organization_ae_form.h"

#include "books/name_edit_check.h"
#include "books/organization_texts.h"
#include "books/text_helpers.h"
#include "widgets/caption_strip.h"
#include "widgets/dialogs.h"
#include "widgets/form_parts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The column holds 128 characters while the box lets the user type 255: a longer name is
// refused by the live check instead of failing at the database with a misleading message.
constexpr int kNameColumnLength = 128;

// What a taxpayer-number box lets through: digits, Backspace, copy and paste. Keys that type
// nothing (arrows, Delete, Home, End) and the dialog's own keys (Enter, Escape, Tab) pass.
bool isRefusedInNumberBox(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods & Qt::ControlModifier) {
        if (key->key() == Qt::Key_C || key->key() == Qt::Key_V)
            return false;
        // Ctrl with a letter or sign types a control character, which the box drops.
        return key->key() >= Qt::Key_Space && key->key() <= Qt::Key_AsciiTilde;
    }
    switch (key->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return true;
    }
    return false;
}

// Characters typed into a drop-down list would jump its selection; arrows and the mouse change it.
bool isTypedCharacter(const QKeyEvent* key) {
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

TOrganization_AE_Form::TOrganization_AE_Form(Dialogs& dialogs, fb::Dataset& organizations,
                                             QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TOrganization_AE_Form"));
    setWindowTitle(QStringLiteral("Организация"));

    auto* layout = new QVBoxLayout(this);
    Label_Header = form_parts::headerLabel(QStringLiteral("Укажите необходимые параметры"), this);
    layout->addWidget(Label_Header);

    layout->addWidget(new QLabel(QStringLiteral("Наименование организации :"), this));
    Edit_Name = new QLineEdit(this);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Edit_Name->setMaxLength(255);
    Edit_Name->setToolTip(QStringLiteral("Максимум 255 символов"));
    layout->addWidget(Edit_Name);

    auto* groups = new QHBoxLayout;
    auto* reqGroup = new QGroupBox(QStringLiteral(" Реквизиты организации "), this);
    reqGroup->setObjectName(QStringLiteral("GB_Req"));
    auto* reqLayout = new QGridLayout(reqGroup);
    reqLayout->addWidget(new QLabel(QStringLiteral("ИНН :"), reqGroup), 0, 0);
    Edit_ReqINN = new QLineEdit(reqGroup);
    Edit_ReqINN->setObjectName(QStringLiteral("Edit_ReqINN"));
    Edit_ReqINN->setMaxLength(12);
    Edit_ReqINN->setToolTip(QStringLiteral("Максимум 12 символов"));
    reqLayout->addWidget(Edit_ReqINN, 1, 0);
    Label_CountINN = new QLabel(QStringLiteral("0"), reqGroup);
    Label_CountINN->setObjectName(QStringLiteral("Label_CountINN"));
    reqLayout->addWidget(Label_CountINN, 1, 1);
    reqLayout->addWidget(new QLabel(QStringLiteral("КПП :"), reqGroup), 2, 0);
    Edit_ReqKPP = new QLineEdit(reqGroup);
    Edit_ReqKPP->setObjectName(QStringLiteral("Edit_ReqKPP"));
    Edit_ReqKPP->setMaxLength(16);
    Edit_ReqKPP->setToolTip(QStringLiteral("Максимум 16 символов"));
    reqLayout->addWidget(Edit_ReqKPP, 3, 0);
    Label_CountKPP = new QLabel(QStringLiteral("0"), reqGroup);
    Label_CountKPP->setObjectName(QStringLiteral("Label_CountKPP"));
    reqLayout->addWidget(Label_CountKPP, 3, 1);
    SBtn_ClearReq = new QToolButton(reqGroup);
    SBtn_ClearReq->setObjectName(QStringLiteral("SBtn_ClearReq"));
    SBtn_ClearReq->setText(QStringLiteral("Очистить"));
    SBtn_ClearReq->setToolTip(QStringLiteral("Очистить реквизиты организации"));
    reqLayout->addWidget(SBtn_ClearReq, 4, 0, 1, 2, Qt::AlignLeft);
    reqLayout->setColumnStretch(0, 1);
    groups->addWidget(reqGroup, 1);

    auto* taxGroup = new QGroupBox(QStringLiteral(" Система налогообложения "), this);
    taxGroup->setObjectName(QStringLiteral("GB_Tax"));
    auto* taxLayout = new QVBoxLayout(taxGroup);
    taxLayout->addWidget(new QLabel(QStringLiteral("Основная :"), taxGroup));
    CB_Buh_Tax_System_Main = new QComboBox(taxGroup);
    CB_Buh_Tax_System_Main->setObjectName(QStringLiteral("CB_Buh_Tax_System_Main"));
    CB_Buh_Tax_System_Main->addItems(organization_texts::taxSystemMainItems());
    taxLayout->addWidget(CB_Buh_Tax_System_Main);
    taxLayout->addWidget(new QLabel(QStringLiteral("Дополнительная :"), taxGroup));
    CB_Buh_Tax_System_Addit = new QComboBox(taxGroup);
    CB_Buh_Tax_System_Addit->setObjectName(QStringLiteral("CB_Buh_Tax_System_Addit"));
    CB_Buh_Tax_System_Addit->addItems(organization_texts::taxSystemAdditItems());
    taxLayout->addWidget(CB_Buh_Tax_System_Addit);
    taxLayout->addStretch(1);
    groups->addWidget(taxGroup, 1);
    layout->addLayout(groups);

    const auto footer = form_parts::addCommentsAndButtons(
        layout, this, QStringLiteral("  Информация об организации"));
    Memo_Comments = footer.comments;
    Btn_OK = footer.ok;
    Btn_Cancel = footer.cancel;
    resize(560, 480);

    connect(SBtn_ClearReq, &QToolButton::clicked, this, &TOrganization_AE_Form::SBtn_ClearReqClick);
    connect(Edit_ReqINN, &QLineEdit::textChanged, this,
            [this](const QString& text) { Label_CountINN->setNum(static_cast<int>(text.size())); });
    connect(Edit_ReqKPP, &QLineEdit::textChanged, this,
            [this](const QString& text) { Label_CountKPP->setNum(static_cast<int>(text.size())); });
    Edit_ReqINN->installEventFilter(this);
    Edit_ReqKPP->installEventFilter(this);
    CB_Buh_Tax_System_Main->installEventFilter(this);
    CB_Buh_Tax_System_Addit->installEventFilter(this);

    m_nameCheck = new NameEditCheck(Edit_Name, Btn_OK, this);
    m_nameCheck->setDataset(&organizations);
    m_nameCheck->setStoredLength(kNameColumnLength);
}

TOrganization_AE_Form::~TOrganization_AE_Form() = default;

void TOrganization_AE_Form::setEditMode(int mode) {
    m_nameCheck->setMode(mode);
}

int TOrganization_AE_Form::editMode() const {
    return m_nameCheck->mode();
}

QVariant TOrganization_AE_Form::nameValue() const {
    return storedText(Edit_Name->text());
}

QVariant TOrganization_AE_Form::innValue() const {
    return storedText(Edit_ReqINN->text());
}

QVariant TOrganization_AE_Form::kppValue() const {
    return storedText(Edit_ReqKPP->text());
}

QVariant TOrganization_AE_Form::commentsValue() const {
    return textOrNull(Memo_Comments->toPlainText());
}

bool TOrganization_AE_Form::checkName() {
    return m_nameCheck->run();
}

void TOrganization_AE_Form::SBtn_ClearReqClick() {
    if (!m_dialogs.ask(this, QStringLiteral(" \nОчистить все реквизиты организации?"),
                       QStringLiteral("Очистка реквизитов организации")))
        return;
    Edit_ReqINN->clear();
    Edit_ReqKPP->clear();
}

void TOrganization_AE_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    checkName();
}

bool TOrganization_AE_Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((watched == Edit_ReqINN || watched == Edit_ReqKPP) && isRefusedInNumberBox(key))
            return true;
        if ((watched == CB_Buh_Tax_System_Main || watched == CB_Buh_Tax_System_Addit) &&
            isTypedCharacter(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
