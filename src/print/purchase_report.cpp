#include "print/purchase_report.h"

#include "data/columns.h"
#include "print/data_field.h"
#include "data/diz.h"
#include "print/document_file_name.h"
#include "print/purchase_layout.h"
#include "data/text_forms.h"

namespace Report {

namespace {

// An amount of the purchase header with every dot removed first (1.234,50 reads as
// 1234,50); a text that still does not read counts as 0.
Decimal footerAmount(QString text)
{
    text.remove(u'.');
    Decimal v;
    return TextForms::tryReadStrict(text, &v) ? v : Decimal();
}

} // namespace

PurchaseReport::PurchaseReport(const TDiz &diz)
    : ReportSnapshot(purchaseLayout(),
                     {{QString::fromLatin1(col::test_car::table_name), &diz.Testa_Car},
                      {QString::fromLatin1(col::azienda::table_name), &diz.AziendaT}},
                     QString::fromLatin1(col::dett_car::table_name), diz.Detta_Car,
                     {dataField(col::test_car::table_name, col::test_car::spese),
                      dataField(col::test_car::table_name, col::test_car::spese2)})
{
    footerHandler();
}

QString PurchaseReport::documentName() const
{
    return invoiceDocumentName(value(dataField(col::test_car::table_name, col::test_car::num_doc)),
                               yearOfDate(value(dataField(col::test_car::table_name, col::test_car::data_doc))));
}

void PurchaseReport::beforeBand(BandKind band, int)
{
    if (band == BandKind::PageFooter)
        footerHandler();
}

void PurchaseReport::footerHandler()
{
    namespace car = col::test_car;
    const auto amount = [this](const char *column) { return footerAmount(value(dataField(car::table_name, column))); };
    const Decimal discount = amount(car::sc_importo);
    const Decimal taxable = amount(car::imponibile) + amount(car::imponibile2);
    const Decimal vat = amount(car::imposta) + amount(car::imposta2);
    const Decimal expenses = amount(car::spese) + amount(car::spese2);
    const Decimal goods = discount + taxable - expenses;
    setComputed(PurchaseTaxableTotal, TextForms::formatMask(taxable, TextForms::EditMask2));
    setComputed(PurchaseVatTotal, TextForms::formatMask(vat, TextForms::EditMask2));
    setComputed(PurchaseExpenses, TextForms::formatMask(expenses, TextForms::EditMask2));
    setComputed(PurchaseGoodsTotal, TextForms::formatMask(goods, TextForms::EditMask2));
}

} // namespace Report
