#include "purchase_report.h"

#include "diz.h"
#include "document_file_name.h"
#include "purchase_layout.h"
#include "text_forms.h"

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
    : ReportSnapshot(purchaseLayout(), {{QStringLiteral("test_car"), &diz.Testa_Car}, {QStringLiteral("azienda"), &diz.AziendaT}},
                     QStringLiteral("dett_car"), diz.Detta_Car,
                     {QStringLiteral("test_car.spese"), QStringLiteral("test_car.spese2")})
{
    footerHandler();
}

QString PurchaseReport::documentName() const
{
    return invoiceDocumentName(value(QStringLiteral("test_car.num_doc")), yearOfDate(value(QStringLiteral("test_car.data_doc"))));
}

void PurchaseReport::beforeBand(BandKind band, int)
{
    if (band == BandKind::PageFooter)
        footerHandler();
}

void PurchaseReport::footerHandler()
{
    const auto amount = [this](const char *column) { return footerAmount(value(QStringLiteral("test_car.") + QLatin1String(column))); };
    const Decimal discount = amount("sc_importo");
    const Decimal taxable = amount("imponibile") + amount("imponibile2");
    const Decimal vat = amount("imposta") + amount("imposta2");
    const Decimal expenses = amount("spese") + amount("spese2");
    const Decimal goods = discount + taxable - expenses;
    setComputed(PurchaseTaxableTotal, TextForms::formatMask(taxable, TextForms::EditMask2));
    setComputed(PurchaseVatTotal, TextForms::formatMask(vat, TextForms::EditMask2));
    setComputed(PurchaseExpenses, TextForms::formatMask(expenses, TextForms::EditMask2));
    setComputed(PurchaseGoodsTotal, TextForms::formatMask(goods, TextForms::EditMask2));
}

} // namespace Report
