// The standard dialogs the program opens (print dialog, page set-up, the "Salva PDF" file
// dialog, the navigators' question) speak Italian once the program has installed Qt's
// Italian texts, and printing to a file proposes the invoice's own name in the documents
// folder.
#include "../print/print_fixture.h"
#include "ui/kit/dialog_messages.h"
#include "print/invoice_layout.h"
#include "print/invoice_report.h"
#include "app/qt_translations.h"
#include "print/report_preview.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <functional>

namespace {

using namespace Report;

QStringList buttonTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        if (b->isVisible() && !b->text().isEmpty())
            texts << b->text().remove(u'&');
    return texts;
}

// Runs `open` (which shows a modal dialog) and calls `inspect` on the dialog once it is
// up, then closes it.
void whileOpen(const std::function<void()> &open, const std::function<void(QDialog *)> &inspect)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || seen)
            return;
        seen = true;
        inspect(dialog);
        dialog->reject();
    });
    poll.start(20);
    open();
    EXPECT_TRUE(seen) << "no dialog was shown";
}

class ItalianDialogs : public PrintFixture {
protected:
    static void SetUpTestSuite()
    {
        PrintFixture::SetUpTestSuite();
        ASSERT_TRUE(installQtTranslations(*qApp)) << "Qt's Italian translations are not installed";
    }

    std::unique_ptr<InvoiceReport> data;
    std::unique_ptr<ReportPreview> preview;

    void openPreview(const QString &number)
    {
        db->insert(QStringLiteral("azienda"), company());
        QVariantMap header = invoiceHeader();
        header.insert(QStringLiteral("num_doc"), number);
        openOn(storeInvoice(2, header));
        data = std::make_unique<InvoiceReport>(*diz);
        preview = std::make_unique<ReportPreview>(invoiceLayout(), *data);
        preview->show();
    }
    void trigger(const char *action) { preview->findChild<QAction *>(QLatin1String(action))->trigger(); }
    static QString documents(const QString &file)
    {
        // The documents folder, or the home folder on a computer without one.
        const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        return (documents.exists() ? documents : QDir::home()).filePath(file);
    }
};

TEST_F(ItalianDialogs, ThePrintDialogIsItalianAndProposesTheInvoicesPdfInTheDocumentsFolder)
{
    openPreview(QStringLiteral("42"));
    EXPECT_EQ(preview->printer().docName(), QStringLiteral("Fattura_42_2026"));
    whileOpen([&] { trigger("stampa"); },
              [&](QDialog *dialog) {
                  EXPECT_TRUE(qobject_cast<QPrintDialog *>(dialog));
                  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Stampa"));
                  const QStringList buttons = buttonTexts(dialog);
                  EXPECT_TRUE(buttons.contains(QStringLiteral("Annulla"))) << buttons.join(u'|').toStdString();
                  EXPECT_FALSE(buttons.contains(QStringLiteral("Cancel"))) << buttons.join(u'|').toStdString();
                  auto *file = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
                  ASSERT_NE(file, nullptr);
                  EXPECT_EQ(file->text(), documents(QStringLiteral("Fattura_42_2026.pdf")));
              });
}

TEST_F(ItalianDialogs, SalvaPdfProposesTheInvoicesNameAndThePageSetUpIsItalian)
{
    // A number with a suffix holds characters a file name does not take.
    openPreview(QStringLiteral("FI 15 /B"));
    whileOpen([&] { trigger("salvaPdf"); },
              [&](QDialog *dialog) {
                  auto *files = qobject_cast<QFileDialog *>(dialog);
                  ASSERT_NE(files, nullptr);
                  EXPECT_EQ(files->windowTitle(), QStringLiteral("Salva PDF"));
                  ASSERT_EQ(files->selectedFiles().size(), 1);
                  EXPECT_EQ(files->selectedFiles().at(0), documents(QStringLiteral("Fattura_FI_15_B_2026.pdf")));
                  const QStringList buttons = buttonTexts(dialog);
                  EXPECT_TRUE(buttons.contains(QStringLiteral("Salva"))) << buttons.join(u'|').toStdString();
                  EXPECT_TRUE(buttons.contains(QStringLiteral("Annulla"))) << buttons.join(u'|').toStdString();
              });
    whileOpen([&] { trigger("impostaStampante"); },
              [&](QDialog *dialog) {
                  EXPECT_TRUE(qobject_cast<QPageSetupDialog *>(dialog));
                  const QStringList buttons = buttonTexts(dialog);
                  EXPECT_TRUE(buttons.contains(QStringLiteral("Annulla"))) << buttons.join(u'|').toStdString();
                  EXPECT_FALSE(buttons.contains(QStringLiteral("Cancel"))) << buttons.join(u'|').toStdString();
              });
}

TEST_F(ItalianDialogs, TheNavigatorsQuestionAnswersOkOrAnnulla)
{
    DialogMessages boxes;
    QStringList buttons;
    QString text;
    bool answer = true;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            text = box->text();
            buttons = buttonTexts(box);
            box->button(QMessageBox::Cancel)->click();
        }
    });
    poll.start(20);
    answer = boxes.confirmOkCancel(QStringLiteral("Delete record?"));
    EXPECT_FALSE(answer);
    EXPECT_EQ(text, QStringLiteral("Delete record?"));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Annulla"), QStringLiteral("OK")}));
}

} // namespace
