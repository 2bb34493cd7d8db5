#include "books/scheduler_params_form.h"

#include "core/clock.h"
#include "widgets/form_parts.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

TBuhShedulerParamsForm::TBuhShedulerParamsForm(const Clock& clock, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TBuhShedulerParamsForm"));
    setWindowTitle(QStringLiteral("Создание расписания"));

    auto* layout = new QVBoxLayout(this);
    Label_Info =
        form_parts::headerLabel(QStringLiteral("Создание расписания на текущий год  ( %1 )")
                                    .arg(clock.currentYear(), 4, 10, QLatin1Char('0')),
                                this, QStringLiteral("Label_Info"));
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

    const auto row =
        form_parts::addButtonRow(layout, this, QStringLiteral("Создать"), QStringLiteral("Отмена"));
    Btn_OK = row.ok;
    Btn_Cancel = row.cancel;
    resize(560, 360);

    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);
}
