#pragma once

#include "report/report_template.h"

#include <QColor>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace report {

// The properties of the selected object (text, geometry, font, alignment, frame, colours,
// wrapping, stretch, date format; the cross table's expressions) and of the selected band.
// Every edit goes straight into the template.
class PropertyPanel : public QWidget {
    Q_OBJECT
public:
    explicit PropertyPanel(QWidget* parent = nullptr);

    // What is shown; nullptr hides that group.
    void show(Band* band, ReportObject* object);
    void reload() { show(m_band, m_object); }

    using ColorPicker = std::function<QColor(const QColor& current, const QString& title)>;
    void setColorPicker(ColorPicker picker) { m_pickColor = std::move(picker); }

    // The widgets, for the window's shortcuts and for tests.
    QPlainTextEdit* textEdit() const { return m_text; }
    QLineEdit* nameEdit() const { return m_name; }
    QFontComboBox* fontBox() const { return m_font; }
    QDoubleSpinBox* sizeBox() const { return m_size; }
    QCheckBox* boldBox() const { return m_bold; }
    QCheckBox* italicBox() const { return m_italic; }
    QCheckBox* underlineBox() const { return m_underline; }
    QComboBox* hAlignBox() const { return m_hAlign; }
    QComboBox* vAlignBox() const { return m_vAlign; }
    QCheckBox* frameBox(int side) const; // FrameLeft, FrameTop, FrameRight, FrameBottom
    QDoubleSpinBox* frameWidthBox() const { return m_frameWidth; }
    QPushButton* textColorButton() const { return m_textColor; }
    QPushButton* fillColorButton() const { return m_fillColor; }
    QPushButton* frameColorButton() const { return m_frameColor; }
    QCheckBox* noFillBox() const { return m_noFill; }
    QCheckBox* wordWrapBox() const { return m_wordWrap; }
    QCheckBox* stretchBox() const { return m_stretch; }
    QLineEdit* dateFormatEdit() const { return m_dateFormat; }
    QLineEdit* fillFieldEdit() const { return m_fillField; }
    QDoubleSpinBox* geometryBox(int i) const { return m_geometry[i]; } // x, y, w, h
    QDoubleSpinBox* bandHeightBox() const { return m_bandHeight; }
    QLineEdit* bandNameEdit() const { return m_bandName; }
    QComboBox* dataSetBox() const { return m_dataSet; }
    QLineEdit* conditionEdit() const { return m_condition; }
    void setDataSetNames(const QStringList& names);

signals:
    // Before an edit; edits of the same property in a row share one key (one undo step).
    void aboutToChange(const QString& key);
    void changed();

private:
    void buildObjectGroup();
    void buildBandGroup();
    void edit(const QString& key, const std::function<void(ReportObject&)>& apply);
    void editBand(const QString& key, const std::function<void(Band&)>& apply);
    void pickColor(const QString& key, const QString& title,
                   const std::function<QColor&(ReportObject&)>& member);
    static void paintSwatch(QPushButton* button, const QColor& color);

    Band* m_band = nullptr;
    ReportObject* m_object = nullptr;
    bool m_loading = false;
    ColorPicker m_pickColor;

    QGroupBox* m_objectGroup = nullptr;
    QGroupBox* m_crossGroup = nullptr;
    QGroupBox* m_bandGroup = nullptr;
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QDoubleSpinBox* m_geometry[4] = {};
    QFontComboBox* m_font = nullptr;
    QDoubleSpinBox* m_size = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_italic = nullptr;
    QCheckBox* m_underline = nullptr;
    QComboBox* m_hAlign = nullptr;
    QComboBox* m_vAlign = nullptr;
    QCheckBox* m_frame[4] = {};
    QDoubleSpinBox* m_frameWidth = nullptr;
    QPushButton* m_frameColor = nullptr;
    QPushButton* m_textColor = nullptr;
    QPushButton* m_fillColor = nullptr;
    QCheckBox* m_noFill = nullptr;
    QCheckBox* m_wordWrap = nullptr;
    QCheckBox* m_stretch = nullptr;
    QLineEdit* m_dateFormat = nullptr;
    QLineEdit* m_fillField = nullptr;
    QLineEdit* m_cross[4] = {};          // rows, columns, cells, corner
    QDoubleSpinBox* m_crossSize[2] = {}; // row header width, column width

    QLineEdit* m_bandName = nullptr;
    QDoubleSpinBox* m_bandHeight = nullptr;
    QComboBox* m_dataSet = nullptr;
    QLineEdit* m_condition = nullptr;
    QCheckBox* m_firstPage = nullptr;
    QCheckBox* m_newPage = nullptr;
};

} // namespace report
