#include "tracking/statistics_panel.h"

#include "status/entry_status.h"
#include "status/schedule_statistics.h"
#include "widgets/caption_strip.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

StatisticsPanel::StatisticsPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel_Statistc"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(243, 242, 187));
    setPalette(background);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(new CaptionStrip(QStringLiteral("  Статистика отчётов в запросе"), this));

    auto* grid = new QGridLayout;
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(1);
    const QColor brown(178, 125, 4);
    const QColor red(189, 26, 3);
    const struct {
        QLabel** value;
        const char* name;
        const char* caption;
        QColor colour;
    } rows[] = {
        {&Label_Warning_MinDays, "Label_Warning_MinDays", "Предупреждений о скорой сдаче :", brown},
        {&Label_AlarmNeSdan, "Label_AlarmNeSdan", "Просроченных, не сданных :", red},
        {&Label_AlarmSdan, "Label_AlarmSdan", "Просроченных, сданных :", red},
        {&Label_AlarmSdanPodozrit, "Label_AlarmSdanPodozrit", "Сданных, подозрительных :", red},
        {&Label_BuhCount, "Label_BuhCount", "Всего отфильтрованно отчётов :", QColor(Qt::black)},
    };
    int row = 0;
    for (const auto& r : rows) {
        auto* caption = new QLabel(QString::fromUtf8(r.caption), this);
        auto* value = new QLabel(QStringLiteral("---"), this);
        value->setObjectName(QString::fromLatin1(r.name));
        for (QLabel* label : {caption, value}) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
            QPalette p = label->palette();
            p.setColor(QPalette::WindowText, r.colour);
            label->setPalette(p);
        }
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1, Qt::AlignRight);
        *r.value = value;
        m_pairs.append(std::make_pair(caption, value));
        ++row;
    }
    captionOf(Label_AlarmSdanPodozrit)->setToolTip(suspiciousHintText());
    layout->addLayout(grid);

    Btn_GetStatisic = new QPushButton(QStringLiteral("Получить статистику"), this);
    Btn_GetStatisic->setObjectName(QStringLiteral("Btn_GetStatisic"));
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setContentsMargins(6, 0, 6, 0);
    buttonRow->addWidget(Btn_GetStatisic);
    layout->addLayout(buttonRow);
}

QLabel* StatisticsPanel::captionOf(const QLabel* value) const {
    for (const auto& [caption, v] : m_pairs) {
        if (v == value)
            return caption;
    }
    return nullptr;
}

void StatisticsPanel::reset() {
    for (const auto& pair : m_pairs)
        pair.second->setText(QStringLiteral("---"));
}

void StatisticsPanel::display(const ScheduleStatistics& s) {
    Label_Warning_MinDays->setText(QString::number(s.warning));
    Label_AlarmNeSdan->setText(QString::number(s.alarmNeSdan));
    Label_AlarmSdan->setText(QString::number(s.alarmSdan));
    Label_AlarmSdanPodozrit->setText(QString::number(s.suspicious));
    Label_BuhCount->setText(QString::number(s.total));
}
