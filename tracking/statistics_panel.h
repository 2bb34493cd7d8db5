#pragma once

#include <QFrame>

struct ScheduleStatistics;
class QLabel;
class QPushButton;

// The box "  Статистика отчётов в запросе" of the schedule tab: five counters over the rows of
// the list, "---" while no count is available, and the button that starts a count.
class StatisticsPanel : public QFrame {
    Q_OBJECT
public:
    explicit StatisticsPanel(QWidget* parent = nullptr);

    void reset();
    void display(const ScheduleStatistics& statistics);

    QLabel* Label_Warning_MinDays = nullptr;
    QLabel* Label_AlarmNeSdan = nullptr;
    QLabel* Label_AlarmSdan = nullptr;
    QLabel* Label_AlarmSdanPodozrit = nullptr;
    QLabel* Label_BuhCount = nullptr;
    QPushButton* Btn_GetStatisic = nullptr;

    // The caption beside a value label.
    QLabel* captionOf(const QLabel* value) const;

private:
    QList<std::pair<QLabel*, QLabel*>> m_pairs; // caption, value
};
