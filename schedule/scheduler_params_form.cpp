#include "schedule/scheduler_params_form.h"

#include "data/clock.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

TBuhShedulerParamsForm::TBuhShedulerParamsForm(const Clock& clock, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TBuhShedulerParamsForm"));
    setWindowTitle(QStringLiteral("Создание расписания"));

    auto* layout = new QVBoxLayout(this);
    Label_Info = new QLabel(QStringLiteral("Создание расписания на текущий год  ( %1 )")
                                .arg(clock.currentYear(), 4, 10, QLatin1Char('0')),
                            this);
    Label_Info->setObjectName(QStringLiteral("Label_Info"));
    QFont bold = Label_Info->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Label_Info->setFont(bold);
    layout->addWidget(Label_Info);

    Label_Info2 = new QLabel(
        QStringList{
            QStringLiteral(
                "Программа создаст расписание всех бухгалтерских отчётностей для всех "
                "организаций, в которых эти отчётности установлены  ( закладка \"Бухгалтерская "
                "отчётность\" для списка организаций )."),
            QStringLiteral("Отчётности со статусом \" Выключена \" в расписании участвовать не "
                           "будут."),
            QStringLiteral("Перед созданием расписания, необходимо полностью заполнить справочник "
                           "праздничных и рабочих дней на текущий год, для того, чтобы программа "
                           "смогла в создаваемом сейчас расписании корректно расположить дату "
                           "сдачи отчётности."),
            QStringLiteral("При создании расписания в базе данных, при выпадении дня сдачи "
                           "отчётности на праздничный день, день сдачи будет перенесён вперёд; "
                           "при выпадении дня сдачи на выходной день, являющийся рабочим днём, "
                           "день сдачи будет установлен на этот выходной день."),
        }
            .join(QStringLiteral("\n\n")),
        this);
    Label_Info2->setObjectName(QStringLiteral("Label_Info2"));
    Label_Info2->setWordWrap(true);
    layout->addWidget(Label_Info2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Btn_OK = new QPushButton(QStringLiteral("Создать"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    buttons->addWidget(Btn_OK);
    buttons->addWidget(Btn_Cancel);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}
