#pragma once

#include "report/prepared_report.h"
#include "report/report.h"
#include "report/report_template.h"

#include <QDialog>
#include <QVector>
#include <functional>

class QComboBox;
class QScrollArea;

namespace report {

class DesignerCanvas;
class PropertyPanel;

// The designer of a template, shown modally: bands as labelled stripes with their objects drawn
// as they print; objects selected, moved and resized with the mouse and the arrow keys on a
// grid, texts edited in place; font, alignment, frame and colours in the property panel; text
// objects, data fields, lines, rectangles, pictures, cross tables and bands added and removed;
// undo and redo; page settings; a preview over the report's data; save and save as.
class DesignerWindow : public QDialog {
    Q_OBJECT
public:
    // Works on a copy of the report's template; saving writes the file and gives the report
    // the saved template. An empty path saves through "save as".
    DesignerWindow(Report& report, const QString& path, QWidget* parent = nullptr);
    ~DesignerWindow() override;

    ReportTemplate& workingTemplate() { return m_template; }
    DesignerCanvas* canvas() const { return m_canvas; }
    PropertyPanel* properties() const { return m_properties; }
    const QString& path() const { return m_path; }
    bool isModified() const { return m_modified; }

    // Tests and the program answer these instead of the standard dialogs.
    using MessageFn = std::function<void(const QString& text)>;
    void setMessageHandler(MessageFn fn) { m_message = std::move(fn); }
    using PathFn = std::function<QString()>;
    void setSaveAsPathProvider(PathFn fn) { m_saveAsPath = std::move(fn); }
    enum class CloseAnswer { Save, Discard, Cancel };
    using CloseFn = std::function<CloseAnswer()>;
    void setCloseQuestion(CloseFn fn) { m_askClose = std::move(fn); }
    using PreviewFn = std::function<void(PreparedReport&&)>;
    void setPreviewRunner(PreviewFn fn) { m_runPreview = std::move(fn); }
    using PictureFn = std::function<QString()>;
    void setPictureFileProvider(PictureFn fn) { m_pictureFile = std::move(fn); }

    bool save();
    bool saveAs();
    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    void undo();
    void redo();

    // Adds an object to the selected band (the data band when none is selected).
    void addObject(ObjectKind kind);
    void addField(const QString& dataSet, const QString& field);
    void addBand(BandKind kind);
    void removeSelectedBand();
    void removeSelectedObject();
    void editPageSettings();
    void preview();

    void reject() override;

private:
    void buildToolBar();
    void snapshot(const QString& key = {});
    void afterChange();
    void refreshSelection();
    int targetBand() const;
    bool writeTo(const QString& path);
    void updateTitle();
    void message(const QString& text);

    Report& m_report;
    QString m_path;
    ReportTemplate m_template;
    QVector<ReportTemplate> m_undo;
    QVector<ReportTemplate> m_redo;
    QString m_lastKey;
    bool m_modified = false;

    DesignerCanvas* m_canvas = nullptr;
    QScrollArea* m_scroll = nullptr;
    PropertyPanel* m_properties = nullptr;
    QComboBox* m_fields = nullptr;

    MessageFn m_message;
    PathFn m_saveAsPath;
    CloseFn m_askClose;
    PreviewFn m_runPreview;
    PictureFn m_pictureFile;
};

} // namespace report
