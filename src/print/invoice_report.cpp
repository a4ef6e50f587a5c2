#include "print/invoice_report.h"

#include "data/columns.h"
#include "data/diz.h"
#include "print/data_field.h"
#include "print/document_file_name.h"
#include "print/invoice_layout.h"
#include "data/testata_buckets.h"
#include "data/text_forms.h"

namespace Report {

namespace {

// An amount of a VAT bucket read through the regional settings (1.000,00 reads as
// 1000), so that grouped amounts count; a text that does not read counts as 0.
Decimal bucketAmount(const QString &text)
{
    Decimal v;
    return TextForms::tryReadLocale(text, &v) ? v : Decimal();
}

} // namespace

InvoiceReport::InvoiceReport(const TDiz &diz)
    : ReportSnapshot(invoiceLayout(),
                     {{QString::fromLatin1(col::testata::table_name), &diz.Testata},
                      {QString::fromLatin1(col::azienda::table_name), &diz.AziendaT}},
                     QString::fromLatin1(col::dettaglio::table_name), diz.Detta)
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
    return invoiceDocumentName(value(dataField(col::testata::table_name, col::testata::num_doc)),
                               yearOfDate(value(dataField(col::testata::table_name, col::testata::data_doc))));
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
    setComputed(InvoiceYearText, yearText(value(dataField(col::testata::table_name, col::testata::data_doc))));
}

void InvoiceReport::footerHandler()
{
    Decimal taxable, vat;
    for (const TestataBucketColumns &bucket : TestataBuckets) {
        taxable += bucketAmount(value(dataField(col::testata::table_name, bucket.taxable)));
        vat += bucketAmount(value(dataField(col::testata::table_name, bucket.tax)));
    }
    setComputed(InvoiceTaxableTotal, TextForms::formatMask(taxable, TextForms::EditMask2));
    setComputed(InvoiceVatTotal, TextForms::formatMask(vat, TextForms::EditMask2));
}

} // namespace Report
