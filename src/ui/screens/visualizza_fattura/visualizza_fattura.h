#pragma once
// The window that shows a FatturaPA file as the revenue agency's stylesheet renders it,
// with "Salva PDF" and "Stampa". It is made for one file and shown modally.
#include <QDialog>

class QPushButton;
class QTextBrowser;

class TVisualizza_Fattura : public QDialog {
    Q_OBJECT
public:
    // `html` is the rendered page (UTF-8) of the file at `filePath`.
    TVisualizza_Fattura(const QString &filePath, const QByteArray &html, QWidget *parent = nullptr);

    QTextBrowser *documentView;
    QPushButton *salvaPdfButton;
    QPushButton *stampaButton;
    QPushButton *chiudiButton;

    const QString &filePath() const { return m_filePath; }
    // Asks for the name of the PDF file (a non-native dialog named "salvaPdfDialog"), then
    // writes it whole or not at all.
    void onSalvaPdf();
    // Writes the PDF to `path`; raises AppError when it cannot be written.
    void savePdf(const QString &path);
    // The printer dialog (named "stampaDialog"), then the pages on the chosen printer.
    void onStampa();

private:
    QString m_filePath;
    QByteArray m_html;
};

// Renders the file at `path` and shows it modally over `parent`. A file that cannot be
// rendered gives its Italian message (naming the file) and nothing else.
void visualizzaFatturaFile(const QString &path, QWidget *parent);
