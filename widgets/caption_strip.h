#pragma once

#include <QLabel>

// The grey caption strip that heads a panel ("  Список обслуживаемых организаций - ...").
class CaptionStrip : public QLabel {
    Q_OBJECT
public:
    explicit CaptionStrip(const QString& text, QWidget* parent = nullptr);
};
