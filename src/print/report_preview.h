#pragma once
// The print preview of a layout: the rendered pages with fit page, 100 %, fit width,
// first/previous/next/last page, printer set-up, print, and saving as PDF.
#include "print/report_data.h"
#include "print/report_layout.h"

#include <QDialog>
#include <memory>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;

namespace Report {

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    // `data` must outlive the dialog; the pages are painted from it whenever the preview
    // (or the printer) needs them.
    ReportPreview(const Layout &layout, ReportData &data, QWidget *parent = nullptr);
    ~ReportPreview() override;

    QPrintPreviewWidget *view() const { return m_view; }
    QPrinter &printer() { return *m_printer; }
    int pageCount() const;
    int currentPage() const;

    void fitPage();
    void actualSize();
    void fitWidth();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    // The platform's dialogs; printing renders the pages anew on the chosen printer.
    void printerSetup();
    void print();
    // Asks for a file name and writes the pages there as PDF.
    void saveAsPdf();
    // Writes the pages to `path` as PDF; returns the number of pages.
    int savePdf(const QString &path);
    // The PDF file the print dialog and "Salva PDF" propose: the document's name
    // ("Fattura_<numero>_<anno>") in the user's documents folder.
    QString proposedPdf() const;

private:
    void paintPages(QPrinter *printer);
    void showPosition();

    const Layout &m_layout;
    ReportData &m_data;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget *m_view = nullptr;
    QLabel *m_position = nullptr;
};

// Shows the modal preview and returns when the user closes it.
void showPreview(const Layout &layout, ReportData &data, QWidget *parent = nullptr);

} // namespace Report
