#include "books/buh_holidays_ae_form.h"

#include "books/name_edit_check.h"
#include "books/text_helpers.h"
#include "widgets/form_parts.h"
#include "widgets/spin_edit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TBuhHolidaysAEForm::TBuhHolidaysAEForm(fb::Dataset& holidays, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBuhHolidaysAEForm"));
    setWindowTitle(QStringLiteral("Праздничные дни"));

    auto* layout = new QVBoxLayout(this);
    Label_Header =
        form_parts::headerLabel(QStringLiteral("Настройки праздничного или рабочего дня"), this);
    layout->addWidget(Label_Header);

    layout->addWidget(
        new QLabel(QStringLiteral("Наименование праздничного или рабочего дня :"), this));
    Edit_Buh_Holidays_Name = new QLineEdit(this);
    Edit_Buh_Holidays_Name->setObjectName(QStringLiteral("Edit_Buh_Holidays_Name"));
    Edit_Buh_Holidays_Name->setMaxLength(64);
    Edit_Buh_Holidays_Name->setToolTip(QStringLiteral("Максимум 64 символа"));
    layout->addWidget(Edit_Buh_Holidays_Name);

    RG_Holiday_Work = new QGroupBox(QStringLiteral(" Тип дня "), this);
    RG_Holiday_Work->setObjectName(QStringLiteral("RG_Holiday_Work"));
    auto* kindLayout = new QVBoxLayout(RG_Holiday_Work);
    holidayWorkButtons = new QButtonGroup(this);
    const QStringList kinds{QStringLiteral("Этот день праздничный среди рабочих дней"),
                            QStringLiteral("Этот день рабочий, хотя и выпал на выходные ( суббота "
                                           "или воскресенье )")};
    for (int i = 0; i < kinds.size(); ++i) {
        auto* button = new QRadioButton(kinds.at(i), RG_Holiday_Work);
        button->setObjectName(QStringLiteral("RG_Holiday_Work_%1").arg(i));
        holidayWorkButtons->addButton(button, i);
        kindLayout->addWidget(button);
    }
    holidayWorkButtons->button(0)->setChecked(true);
    layout->addWidget(RG_Holiday_Work);

    auto* dateRow = new QHBoxLayout;
    auto* spins = new QGridLayout;
    spins->addWidget(new QLabel(QStringLiteral("День в месяце : "), this), 0, 0);
    SE_Day_Month = new SpinEdit(1, 31, 1, this);
    SE_Day_Month->setObjectName(QStringLiteral("SE_Day_Month"));
    SE_Day_Month->setToolTip(QStringLiteral("День в месяце ( от 1 до 31 )"));
    spins->addWidget(SE_Day_Month, 0, 1);
    spins->addWidget(new QLabel(QStringLiteral("Месяц в году :"), this), 1, 0);
    SE_Month_Year = new SpinEdit(1, 12, 1, this);
    SE_Month_Year->setObjectName(QStringLiteral("SE_Month_Year"));
    SE_Month_Year->setToolTip(QStringLiteral("Месяц в году ( от 1 до 12 )"));
    spins->addWidget(SE_Month_Year, 1, 1);
    spins->setRowStretch(2, 1);
    dateRow->addLayout(spins);

    GB_Months = new QGroupBox(this);
    GB_Months->setObjectName(QStringLiteral("GB_Months"));
    auto* months = new QGridLayout(GB_Months);
    const QStringList names{QStringLiteral("01 - Январь"),   QStringLiteral("02 - Февраль"),
                            QStringLiteral("03 - Март"),     QStringLiteral("04 - Апрель"),
                            QStringLiteral("05 - Май"),      QStringLiteral("06 - Июнь"),
                            QStringLiteral("07 - Июль"),     QStringLiteral("08 - Август"),
                            QStringLiteral("09 - Сентябрь"), QStringLiteral("10 - Октябрь"),
                            QStringLiteral("11 - Ноябрь"),   QStringLiteral("12 - Декабрь")};
    for (int i = 0; i < names.size(); ++i)
        months->addWidget(new QLabel(names.at(i), GB_Months), i % 4, i / 4);
    dateRow->addWidget(GB_Months, 1);
    layout->addLayout(dateRow);

    const auto row = form_parts::addButtonRow(layout, this, QStringLiteral("Сохранить"),
                                              QStringLiteral("Отмена"));
    Btn_OK = row.ok;
    Btn_Cancel = row.cancel;
    resize(560, 340);

    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);

    m_nameCheck = new NameEditCheck(Edit_Buh_Holidays_Name, Btn_OK, this);
    m_nameCheck->setDataset(&holidays);
}

TBuhHolidaysAEForm::~TBuhHolidaysAEForm() = default;

void TBuhHolidaysAEForm::setEditMode(int mode) {
    m_nameCheck->setMode(mode);
}

int TBuhHolidaysAEForm::editMode() const {
    return m_nameCheck->mode();
}

int TBuhHolidaysAEForm::holidayWork() const {
    return std::max(0, holidayWorkButtons->checkedId());
}

void TBuhHolidaysAEForm::setHolidayWork(int kind) {
    if (QAbstractButton* button = holidayWorkButtons->button(kind))
        button->setChecked(true);
}

QVariant TBuhHolidaysAEForm::nameValue() const {
    return storedText(Edit_Buh_Holidays_Name->text());
}

bool TBuhHolidaysAEForm::checkName() {
    return m_nameCheck->run();
}

void TBuhHolidaysAEForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    checkName();
}
