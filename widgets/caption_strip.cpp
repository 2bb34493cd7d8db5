#include "widgets/caption_strip.h"

CaptionStrip::CaptionStrip(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setMinimumHeight(20);
    setContentsMargins(2, 2, 2, 2);
    setWordWrap(false);
}
