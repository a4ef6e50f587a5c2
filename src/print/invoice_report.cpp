#include "invoice_report.h"

#include "diz.h"
#include "document_file_name.h"
#include "invoice_layout.h"
#include "text_forms.h"

namespace Report {

namespace {

const char *const BucketSuffixes[] = {"", "2", "3", "4"};

// An amount of a VAT bucket read through the regional settings (1.000,00 reads as
// 1000), so that grouped amounts count; a text that does not read counts as 0.
Decimal bucketAmount(const QString &text)
{
    Decimal v;
    return TextForms::tryReadLocale(text, &v) ? v : Decimal();
}

} // namespace

InvoiceReport::InvoiceReport(const TDiz &diz)
    : ReportSnapshot(invoiceLayout(), {{QStringLiteral("testata"), &diz.Testata}, {QStringLiteral("azienda"), &diz.AziendaT}},
                     QStringLiteral("dettaglio"), diz.Detta)
{
    headerHandler();
    footerHandler();
}

QString InvoiceReport::yearText(const QString &dataDoc)
{
    const QDate d = TextForms::readDate(dataDoc);
    return QStringLiteral("/ %1").arg(d.year(), 4, 10, QLatin1Char('0'));
}

QString InvoiceReport::documentName() const
{
    return invoiceDocumentName(value(QStringLiteral("testata.num_doc")), yearOfDate(value(QStringLiteral("testata.data_doc"))));
}

void InvoiceReport::beforeBand(BandKind band, int)
{
    if (band == BandKind::PageHeader)
        headerHandler();
    else if (band == BandKind::PageFooter)
        footerHandler();
}

void InvoiceReport::headerHandler()
{
    setComputed(InvoiceYearText, yearText(value(QStringLiteral("testata.data_doc"))));
}

void InvoiceReport::footerHandler()
{
    Decimal taxable, vat;
    for (const char *suffix : BucketSuffixes) {
        const QString s = QString::fromLatin1(suffix);
        taxable += bucketAmount(value(QStringLiteral("testata.imponibile") + s));
        vat += bucketAmount(value(QStringLiteral("testata.imposta") + s));
    }
    setComputed(InvoiceTaxableTotal, TextForms::formatMask(taxable, TextForms::EditMask2));
    setComputed(InvoiceVatTotal, TextForms::formatMask(vat, TextForms::EditMask2));
}

} // namespace Report
