#pragma once

#include "report/prepared_report.h"

#include <QDialog>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QSpinBox;

namespace report {

class PageView;

// The preview of a prepared report: the pages cannot be edited; the window prints (to the
// system's default printer, through the print dialog), sets the page up, zooms, moves between
// pages, finds text and exports to PDF, XLSX, plain text and HTML, with a progress bar that can
// cancel long jobs.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    enum class Format { Pdf, Xlsx, Text, Html };

    explicit PreviewWindow(PreparedReport report, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // How the window tells the user of a failure or a search without result; a message box
    // unless set otherwise (tests answer through it).
    using MessageFn = std::function<void(const QString& text, bool isError)>;
    void setMessageHandler(MessageFn handler) { m_message = std::move(handler); }
    // Where the save dialog is asked for an export's file name; empty cancels.
    using SavePathFn = std::function<QString(Format format)>;
    void setSavePathProvider(SavePathFn provider) { m_savePath = std::move(provider); }

    const PreparedReport& report() const { return m_report; }
    PageView* pageView() const { return m_view; }
    int currentPage() const; // 0-based
    void goToPage(int page);

    // Finds the next place of the text after the last one found (case ignored), marks it and
    // shows it; false when there is none after it (the search then starts again at the top).
    bool findNext(const QString& text);
    // Writes the export; false (after the message) when it failed or was cancelled.
    bool exportTo(Format format, const QString& path);
    // Prints on the given printer without asking.
    bool printTo(QPrinter& printer);

public slots:
    void print();
    void pageSetup();
    void exportAs(Format format);

private:
    void buildToolBar();
    void updatePageControls(int page);
    void updateZoomBox(double zoom);
    void showMessage(const QString& text, bool isError);
    QString askSavePath(Format format);

    PreparedReport m_report;
    PageView* m_view = nullptr;
    QSpinBox* m_pageBox = nullptr;
    QLabel* m_pageCount = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    MessageFn m_message;
    SavePathFn m_savePath;
    // Where the last search found its text.
    int m_foundPage = 0;
    int m_foundItem = -1;
    int m_foundLine = 0;
    int m_foundPos = -1;
};

} // namespace report
