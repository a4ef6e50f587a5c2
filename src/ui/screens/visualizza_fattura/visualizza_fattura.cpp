#include "ui/screens/visualizza_fattura/visualizza_fattura.h"

#include "ui/kit/command.h"
#include "rendering/closed_html_document.h"
#include "rendering/fattura_html.h"
#include "rendering/html_pdf.h"
#include "ui/kit/ui_messages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QPushButton *commandButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TVisualizza_Fattura::TVisualizza_Fattura(const QString &filePath, const QByteArray &html, QWidget *parent)
    : QDialog(parent), m_filePath(filePath), m_html(html)
{
    setObjectName(QStringLiteral("Visualizza_Fattura"));
    setWindowTitle(QStringLiteral("Fattura elettronica - %1").arg(QFileInfo(filePath).fileName()));
    resize(1000, 760);

    documentView = new QTextBrowser(this);
    documentView->setObjectName(QStringLiteral("documentView"));
    // The page's links are not followed, and nothing it names is loaded.
    documentView->setOpenLinks(false);
    documentView->setOpenExternalLinks(false);
    documentView->setDocument(new Rendering::ClosedHtmlDocument(html, documentView));

    salvaPdfButton = commandButton(this, "salvaPdfButton", QStringLiteral("Salva PDF"));
    stampaButton = commandButton(this, "stampaButton", QStringLiteral("Stampa"));
    chiudiButton = commandButton(this, "chiudiButton", QStringLiteral("Chiudi"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(salvaPdfButton);
    buttons->addWidget(stampaButton);
    buttons->addStretch();
    buttons->addWidget(chiudiButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(documentView);
    layout->addLayout(buttons);

    onClick(salvaPdfButton, [this] { onSalvaPdf(); });
    onClick(stampaButton, [this] { onStampa(); });
    connect(chiudiButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TVisualizza_Fattura::onSalvaPdf()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(this, QStringLiteral("Salva PDF"), documents, QStringLiteral("Documenti PDF (*.pdf)"));
    dialog.setObjectName(QStringLiteral("salvaPdfDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QFileInfo(m_filePath).baseName() + QStringLiteral(".pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    savePdf(path);
    uiMessages().inform(QStringLiteral("PDF salvato: %1").arg(QDir::toNativeSeparators(path)));
}

void TVisualizza_Fattura::savePdf(const QString &path)
{
    Rendering::writeHtmlPdf(m_html, path, QFileInfo(m_filePath).fileName());
}

void TVisualizza_Fattura::onStampa()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(m_filePath).fileName());
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("stampaDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    documentView->document()->print(&printer);
}

void visualizzaFatturaFile(const QString &path, QWidget *parent)
{
    const Rendering::FatturaHtml rendered = Rendering::renderFatturaFile(path);
    if (!rendered.ok) {
        uiMessages().inform(rendered.error);
        return;
    }
    TVisualizza_Fattura window(path, rendered.html, parent);
    window.exec();
}
