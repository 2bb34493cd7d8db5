#pragma once

#include <QSpinBox>

// A whole-number spin edit that never holds a value outside its range: values set in code are
// clamped, and typed text that is out of range or not a number is corrected when the edit is
// left (to the nearest bound, or to the default when there is no number at all).
class SpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);
    SpinEdit(int minimum, int maximum, int defaultValue, QWidget* parent = nullptr);

    void setDefaultValue(int value);
    int defaultValue() const { return m_default; }
    void resetToDefault() { setValue(m_default); }

    void fixup(QString& input) const override;

private:
    int m_default = 0;
};
