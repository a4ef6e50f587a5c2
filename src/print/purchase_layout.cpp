#include "print/purchase_layout.h"

#include "data/columns.h"
#include "print/data_field.h"
#include "print/document_parts.h"

namespace Report {

namespace doc = col::test_car;
namespace line = col::dett_car;
namespace company = col::azienda;

namespace {

Band pageHeader()
{
    const FontSpec a11 = arial(11), a13 = arial(13);
    Band b;
    b.height = 245;
    // Supplier box; the company as addressee beside it.
    b.items = partiesBlock(doc::table_name, company::table_name, 114);
    const Item more[] = {
        // Document data.
        hline(156, 0, 715, 2),
        caption(408, 168, 65, 17, QStringLiteral("PARTITA IVA"), a11),
        caption(560, 168, 125, 15, QStringLiteral("NUM./DATA DOCUMENTO"), a11),
        caption(8, 176, 121, 17, QStringLiteral("TIPO DOCUMENTO:"), underlined(a13)),
        field(138, 176, 239, 17, dataField(doc::table_name, doc::tipo_doc), bold(a13)),
        field(414, 184, 30, 17, dataField(doc::table_name, doc::p_iva), a13, Align::Left, Overflow::Grow),
        field(578, 184, 31, 17, dataField(doc::table_name, doc::num_doc), bold(a13), Align::Right, Overflow::Shrink),
        field(630, 184, 59, 17, dataField(doc::table_name, doc::data_doc), bold(a13), Align::Left, Overflow::Grow),
        // Column headings.
        hline(207.5, 0, 717, 2),
    };
    b.items.insert(b.items.end(), std::begin(more), std::end(more));
    const std::vector<Item> captions = columnCaptions(219, 595);
    b.items.insert(b.items.end(), captions.begin(), captions.end());
    b.items.push_back(hline(240.5, 0, 717, 2));
    for (double x : {0.5, 90.5, 400.5, 467.5, 533.5, 571.5, 654.5})
        b.items.push_back(vline(x, 209, 236));
    return b;
}

Band detail()
{
    const FontSpec a11 = arial(11);
    Band b;
    b.height = 31;
    b.items = {
        field(6, 3, 67, 17, dataField(line::table_name, line::codice_val), a11),
        field(95, 3, 298, 17, dataField(line::table_name, line::descrizione), a11),
        field(411, 3, 46, 17, dataField(line::table_name, line::quantita), a11, Align::Right, Overflow::Shrink),
        field(474, 3, 54, 17, dataField(line::table_name, line::prezzo_unit), a11, Align::Right, Overflow::Shrink),
        field(539, 3, 24, 17, dataField(line::table_name, line::sc_perc), a11, Align::Centre, Overflow::Shrink),
        field(579, 3, 63, 17, dataField(line::table_name, line::prezzo_tot), a11, Align::Right, Overflow::Shrink),
        field(667, 3, 38, 17, dataField(line::table_name, line::aliquota), a11, Align::Right, Overflow::Shrink),
        hline(27.5, 0, 717),
    };
    for (double x : {90.5, 400.5, 467.5, 533.5, 571.5, 654.5})
        b.items.push_back(vline(x, 2, 23));
    return b;
}

Band pageFooter()
{
    const FontSpec a13 = arial(13);
    Band b;
    b.height = 98;
    b.items = {
        rect(5, 10, 84, 37, 2),
        caption(19, 12, 63, 17, QStringLiteral("Tot. Merce"), a13),
        field(18, 27, 62, 17, PurchaseGoodsTotal, a13, Align::Right, Overflow::Shrink),
        rect(88, 10, 89, 37, 2),
        caption(95, 12, 38, 17, QStringLiteral("Spese"), a13),
        field(91, 27, 80, 17, PurchaseExpenses, a13, Align::Right, Overflow::Shrink),
        rect(176, 10, 73, 37, 2),
        caption(183, 12, 58, 17, QStringLiteral("% Sconto"), a13),
        field(199, 26, 29, 17, dataField(doc::table_name, doc::sc_perc), a13, Align::Right, Overflow::Shrink),
        rect(248, 10, 89, 37, 2),
        caption(261, 12, 71, 17, QStringLiteral("Imp. Sconto"), a13),
        field(255, 26, 77, 17, dataField(doc::table_name, doc::sc_importo), a13, Align::Right, Overflow::Shrink),
    };
    const std::vector<Item> totals = totalsBox(10, PurchaseTaxableTotal, PurchaseVatTotal, dataField(doc::table_name, doc::tot_doc));
    b.items.insert(b.items.end(), totals.begin(), totals.end());
    // The two VAT buckets.
    const std::vector<Item> first = vatBucket(doc::table_name, {doc::aliquota, doc::imponibile, doc::imposta},
                  {8, 55, 152, 56, 8, 44, 120, 75});
    const std::vector<Item> second = vatBucket(doc::table_name, {doc::aliquota2, doc::imponibile2, doc::imposta2},
                  {176, 232, 320, 56, 176, 222, 288, 75});
    b.items.insert(b.items.end(), first.begin(), first.end());
    b.items.insert(b.items.end(), second.begin(), second.end());
    return b;
}

} // namespace

const Layout &purchaseLayout()
{
    static const Layout layout = [] {
        Layout l;
        l.name = QStringLiteral("QR2");
        l.pageHeader = pageHeader();
        l.detail = detail();
        l.pageFooter = pageFooter();
        return l;
    }();
    return layout;
}

} // namespace Report
