#include "widgets/spin_edit.h"

#include <algorithm>

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

SpinEdit::SpinEdit(int minimum, int maximum, int defaultValue, QWidget* parent) : SpinEdit(parent) {
    setRange(minimum, maximum);
    setDefaultValue(defaultValue);
    setValue(m_default);
}

void SpinEdit::setDefaultValue(int value) {
    m_default = std::clamp(value, minimum(), maximum());
}

void SpinEdit::fixup(QString& input) const {
    QString digits = input;
    if (!prefix().isEmpty() && digits.startsWith(prefix()))
        digits.remove(0, prefix().size());
    if (!suffix().isEmpty() && digits.endsWith(suffix()))
        digits.chop(suffix().size());
    bool ok = false;
    const qlonglong typed = locale().toLongLong(digits.trimmed(), &ok);
    const int value = ok ? static_cast<int>(std::clamp<qlonglong>(typed, minimum(), maximum()))
                         : std::clamp(m_default, minimum(), maximum());
    input = textFromValue(value);
    if (!prefix().isEmpty() || !suffix().isEmpty())
        input = prefix() + input + suffix();
}
