#include "books/buh_account_ae_form.h"

#include "books/name_edit_check.h"
#include "books/text_helpers.h"
#include "widgets/caption_strip.h"
#include "widgets/form_parts.h"
#include "widgets/spin_edit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

TBuhAccountAEForm::TBuhAccountAEForm(fb::Dataset& reports, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBuhAccountAEForm"));
    setWindowTitle(QStringLiteral("Бухгалтерская отчётность"));

    auto* layout = new QVBoxLayout(this);
    Label_Header =
        form_parts::headerLabel(QStringLiteral("Параметры бухгалтерской отчётности"), this);
    layout->addWidget(Label_Header);
    Label_Info2 = new QLabel(QStringLiteral("Укажите параметры для отчётности ..."), this);
    Label_Info2->setObjectName(QStringLiteral("Label_Info2"));
    layout->addWidget(Label_Info2);

    layout->addWidget(new QLabel(QStringLiteral("Наименование бухгалтерской отчётности :"), this));
    Edit_Buh_Account = new QLineEdit(this);
    Edit_Buh_Account->setObjectName(QStringLiteral("Edit_Buh_Account"));
    Edit_Buh_Account->setMaxLength(255);
    Edit_Buh_Account->setToolTip(QStringLiteral("Максимум 255 символов"));
    layout->addWidget(Edit_Buh_Account);

    RG_Cycling =
        new QGroupBox(QStringLiteral(" Цикличность сдачи бухгалтерской отчётности "), this);
    RG_Cycling->setObjectName(QStringLiteral("RG_Cycling"));
    auto* cyclingLayout = new QVBoxLayout(RG_Cycling);
    cyclingButtons = new QButtonGroup(this);
    const QStringList items{QStringLiteral("Каждый месяц"),
                            QStringLiteral("Каждые 3 месяца ( один раз в квартал )"),
                            QStringLiteral("Каждые 12 месяцев ( один раз в год )")};
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), RG_Cycling);
        button->setObjectName(QStringLiteral("RG_Cycling_%1").arg(i));
        cyclingButtons->addButton(button, i);
        cyclingLayout->addWidget(button);
    }
    cyclingButtons->button(0)->setChecked(true);
    layout->addWidget(RG_Cycling);

    auto* days = new QGridLayout;
    Label_Day_Action = wrapped(QString(), this);
    Label_Day_Action->setObjectName(QStringLiteral("Label_Day_Action"));
    days->addWidget(Label_Day_Action, 0, 0);
    SE_Day_Action = new SpinEdit(0, 120, 15, this);
    SE_Day_Action->setObjectName(QStringLiteral("SE_Day_Action"));
    SE_Day_Action->setToolTip(QStringLiteral("Количество дней ( от 0 до 120 )"));
    days->addWidget(SE_Day_Action, 0, 1, Qt::AlignTop);
    Label_Help_Days = wrapped(QStringLiteral("При установке \" 0 \", отчётность необходимо будет "
                                             "сдать в момент окончания месяца, квартала или года"),
                              this);
    Label_Help_Days->setObjectName(QStringLiteral("Label_Help_Days"));
    days->addWidget(Label_Help_Days, 1, 0, 1, 2);
    days->setColumnStretch(0, 1);
    layout->addLayout(days);

    GB_Day_Action_12 = new QGroupBox(QStringLiteral(" Особое условие сдачи последнего в году "
                                                    "отчёта  ( за 12 месяц или 4 квартал ) "),
                                     this);
    GB_Day_Action_12->setObjectName(QStringLiteral("GB_Day_Action_12"));
    auto* special = new QGridLayout(GB_Day_Action_12);
    CB_Day_Action_12 = new QCheckBox(QStringLiteral("Использовать для последнего в году отчёта "
                                                    "специальный срок сдачи отчётности"),
                                     GB_Day_Action_12);
    CB_Day_Action_12->setObjectName(QStringLiteral("CB_Day_Action_12"));
    special->addWidget(CB_Day_Action_12, 0, 0, 1, 2);
    Label_Action_12 = wrapped(QString(), GB_Day_Action_12);
    Label_Action_12->setObjectName(QStringLiteral("Label_Action_12"));
    special->addWidget(Label_Action_12, 1, 0);
    SE_Day_Action_12 = new SpinEdit(0, 120, 15, GB_Day_Action_12);
    SE_Day_Action_12->setObjectName(QStringLiteral("SE_Day_Action_12"));
    SE_Day_Action_12->setToolTip(QStringLiteral("Количество дней ( от 0 до 120 )"));
    special->addWidget(SE_Day_Action_12, 1, 1, Qt::AlignTop);
    Label_Help_Days_2 = wrapped(QStringLiteral("При установке \" 0 \", отчётность необходимо будет "
                                               "сдать в момент окончания месяца или квартала"),
                                GB_Day_Action_12);
    Label_Help_Days_2->setObjectName(QStringLiteral("Label_Help_Days_2"));
    special->addWidget(Label_Help_Days_2, 2, 0, 1, 2);
    special->setColumnStretch(0, 1);
    layout->addWidget(GB_Day_Action_12);

    auto* warning = new QHBoxLayout;
    warning->addWidget(wrapped(QStringLiteral("За сколько дней до дня сдачи отчёта, выводить "
                                              "предупреждение о крайней дате отчётности : "),
                               this),
                       1);
    SE_Day_Warning = new SpinEdit(1, 10, 3, this);
    SE_Day_Warning->setObjectName(QStringLiteral("SE_Day_Warning"));
    SE_Day_Warning->setToolTip(QStringLiteral("от 1 до 10"));
    warning->addWidget(SE_Day_Warning, 0, Qt::AlignTop);
    layout->addLayout(warning);

    const auto footer = form_parts::addCommentsAndButtons(
        layout, this, QStringLiteral("  Информация об отчётности"));
    Memo_Comments = footer.comments;
    Btn_OK = footer.ok;
    Btn_Cancel = footer.cancel;
    resize(640, 680);

    connect(cyclingButtons, &QButtonGroup::idClicked, this, &TBuhAccountAEForm::RG_CyclingClick);
    connect(CB_Day_Action_12, &QCheckBox::clicked, this, &TBuhAccountAEForm::CB_Day_Action_12Click);

    m_nameCheck = new NameEditCheck(Edit_Buh_Account, Btn_OK, this);
    m_nameCheck->setDataset(&reports);
    RG_CyclingClick();
}

TBuhAccountAEForm::~TBuhAccountAEForm() = default;

void TBuhAccountAEForm::setEditMode(int mode) {
    m_nameCheck->setMode(mode);
}

int TBuhAccountAEForm::editMode() const {
    return m_nameCheck->mode();
}

int TBuhAccountAEForm::cycling() const {
    return std::max(0, cyclingButtons->checkedId());
}

void TBuhAccountAEForm::setCycling(int cycling) {
    if (QAbstractButton* button = cyclingButtons->button(cycling))
        button->setChecked(true);
}

QVariant TBuhAccountAEForm::dayAction12Value() const {
    return CB_Day_Action_12->isChecked() ? QVariant(SE_Day_Action_12->value()) : QVariant();
}

QVariant TBuhAccountAEForm::nameValue() const {
    return storedText(Edit_Buh_Account->text());
}

QVariant TBuhAccountAEForm::commentsValue() const {
    return textOrNull(Memo_Comments->toPlainText());
}

bool TBuhAccountAEForm::checkName() {
    return m_nameCheck->run();
}

void TBuhAccountAEForm::RG_CyclingClick() {
    const int value = cycling();
    const bool yearly = value == 2;
    switch (value) {
    case 1:
        Label_Day_Action->setText(QStringLiteral("Количество дней, до крайней даты сдачи "
                                                 "отчётности, по окончании квартала ( "
                                                 "включительно ) : "));
        break;
    case 2:
        Label_Day_Action->setText(QStringLiteral("Количество дней, до крайней даты сдачи "
                                                 "отчётности, по окончании года ( включительно "
                                                 ") : "));
        break;
    default:
        Label_Day_Action->setText(QStringLiteral("Количество дней, до крайней даты сдачи "
                                                 "отчётности, по окончании месяца ( "
                                                 "включительно ) : "));
        break;
    }
    if (yearly)
        CB_Day_Action_12->setChecked(false);
    CB_Day_Action_12->setEnabled(!yearly);
    CB_Day_Action_12Click();
    switch (value) {
    case 1:
        Label_Action_12->setText(QStringLiteral("Количество дней, до крайней даты сдачи "
                                                "отчётности, по окончании 4 квартала ( "
                                                "включительно ) : "));
        break;
    case 2:
        Label_Action_12->setText(QStringLiteral("Для годовых отчётов данная функция не "
                                                "работает..."));
        break;
    default:
        Label_Action_12->setText(QStringLiteral("Количество дней, до крайней даты сдачи "
                                                "отчётности, по окончании 12 месяца ( "
                                                "включительно ) : "));
        break;
    }
    const QPalette system = QApplication::palette(this);
    const QColor colour = yearly ? system.color(QPalette::Disabled, QPalette::Text)
                                 : system.color(QPalette::Active, QPalette::WindowText);
    setTextColour(Label_Action_12, colour);
    setTextColour(Label_Help_Days_2, colour);
}

void TBuhAccountAEForm::CB_Day_Action_12Click() {
    const bool on = CB_Day_Action_12->isChecked();
    SE_Day_Action_12->setEnabled(on);
    QPalette palette = SE_Day_Action_12->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette(this).color(on ? QPalette::Base : QPalette::Button));
    SE_Day_Action_12->setPalette(palette);
}

void TBuhAccountAEForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    checkName();
    RG_CyclingClick();
}
