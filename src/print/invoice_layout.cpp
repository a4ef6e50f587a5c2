#include "print/invoice_layout.h"

#include "data/columns.h"
#include "print/data_field.h"
#include "print/document_parts.h"
#include "data/testata_buckets.h"

namespace Report {

namespace doc = col::testata;
namespace line = col::dettaglio;
namespace company = col::azienda;

namespace {

Band pageHeader()
{
    const FontSpec a9 = arial(9), a11 = arial(11), a13 = arial(13);
    Band b;
    b.height = 283;
    b.edges.bottom = true;
    // Seller box: the company; the buyer beside it.
    b.items = partiesBlock(company::table_name, doc::table_name, 139);
    const Item more[] = {
        caption(15, 100, 18, 20, QStringLiteral("Tel."), a11),
        field(38, 100, 113, 17, dataField(company::table_name, company::telefono), a11),
        caption(159, 100, 22, 20, QStringLiteral("Mail:"), a11),
        field(184, 100, 217, 17, dataField(company::table_name, company::mail), a11),
        // Destination box.
        rect(408, 105, 310, 82),
        caption(414, 112, 258, 13, QStringLiteral("LUOGO DI DESTINAZIONE (SE DIVERSO DAL DOMICILIO)"), underlined(a9)),
        field(414, 128, 297, 17, dataField(doc::table_name, doc::dest_soc), a13),
        field(414, 144, 297, 17, dataField(doc::table_name, doc::dest_indir), a13),
        field(414, 160, 49, 17, dataField(doc::table_name, doc::dest_cap), a13),
        field(470, 160, 240, 17, dataField(doc::table_name, doc::dest_comune), a13),
        // Document data.
        hline(196, 0, 715, 2),
        caption(408, 208, 65, 17, QStringLiteral("PARTITA IVA"), a11),
        caption(560, 208, 125, 15, QStringLiteral("NUM./DATA DOCUMENTO"), a11),
        caption(8, 216, 121, 17, QStringLiteral("TIPO DOCUMENTO:"), underlined(a13)),
        field(138, 216, 239, 17, dataField(doc::table_name, doc::tipo_doc), bold(a13)),
        field(414, 224, 30, 17, dataField(doc::table_name, doc::p_iva), a13, Align::Left, Overflow::Grow),
        field(538, 224, 31, 17, dataField(doc::table_name, doc::num_doc), bold(a13), Align::Right, Overflow::Shrink),
        field(570, 224, 53, 17, InvoiceYearText, bold(a13), Align::Left, Overflow::Shrink),
        field(630, 224, 59, 17, dataField(doc::table_name, doc::data_doc), bold(a13), Align::Left, Overflow::Grow),
        // Column headings.
        hline(252.5, 0, 717, 2),
    };
    b.items.insert(b.items.end(), std::begin(more), std::end(more));
    const std::vector<Item> captions = columnCaptions(263, 603);
    b.items.insert(b.items.end(), captions.begin(), captions.end());
    for (double x : {0.5, 90.5, 400.5, 467.5, 533.5, 571.5, 658.5})
        b.items.push_back(vline(x, 253, 280));
    b.items.push_back(vline(714.5, 252, 282));
    return b;
}

Band detail()
{
    const FontSpec a11 = arial(11);
    Band b;
    b.height = 21;
    b.edges = {true, true, true};
    b.items = {
        field(6, 0, 75, 17, dataField(line::table_name, line::codice_val), a11),
        field(92, 0, 301, 17, dataField(line::table_name, line::descrizione), a11),
        field(403, 0, 46, 17, dataField(line::table_name, line::quantita), a11, Align::Right, Overflow::Shrink),
        field(475, 0, 54, 17, dataField(line::table_name, line::prezzo_unit), a11, Align::Right, Overflow::Shrink),
        field(539, 0, 24, 17, dataField(line::table_name, line::sc_perc), a11, Align::Centre, Overflow::Shrink),
        field(587, 0, 63, 17, dataField(line::table_name, line::prezzo_tot), a11, Align::Right, Overflow::Shrink),
        field(672, 0, 34, 17, dataField(line::table_name, line::aliquota), a11, Align::Right, Overflow::Shrink),
    };
    for (double x : {90.5, 400.5, 467.5, 533.5, 571.5, 658.5})
        b.items.push_back(vline(x, 0, 21));
    return b;
}

// One VAT-bucket box: its rectangle, three captions and the rate, taxable and VAT fields.
struct BucketBox {
    double left, top, width, height;
    int bucket;  // 0 to 3
    BucketPlaces at;
};

Band pageFooter()
{
    const FontSpec a11 = arial(11), a13 = arial(13);
    Band b;
    b.height = 147;
    static const BucketBox buckets[] = {
        {4, 5, 169, 40, 0, {8, 55, 152, 8, 8, 44, 120, 27}},
        {172, 5, 169, 40, 1, {176, 232, 320, 8, 176, 222, 288, 27}},
        {340, 5, 169, 40, 2, {344, 400, 488, 8, 344, 390, 456, 27}},
        {4, 44, 169, 42, 3, {8, 64, 152, 48, 8, 54, 120, 67}},
    };
    for (const BucketBox &k : buckets) {
        b.items.push_back(rect(k.left, k.top, k.width, k.height));
        const TestataBucketColumns &columns = TestataBuckets[size_t(k.bucket)];
        const std::vector<Item> bucket =
            vatBucket(doc::table_name, {columns.rate, columns.taxable, columns.tax}, k.at);
        b.items.insert(b.items.end(), bucket.begin(), bucket.end());
    }
    const std::vector<Item> totals = totalsBox(2, InvoiceTaxableTotal, InvoiceVatTotal, dataField(doc::table_name, doc::tot_doc));
    b.items.insert(b.items.end(), totals.begin(), totals.end());
    const Item rest[] = {
        rect(4, 85, 706, 57),
        caption(6, 99, 62, 17, QStringLiteral("Esenzione"), a13),
        caption(670, 99, 27, 17, QStringLiteral("Colli"), a13),
        field(640, 115, 57, 17, dataField(doc::table_name, doc::colli), a11, Align::Right, Overflow::Shrink),
    };
    b.items.insert(b.items.end(), std::begin(rest), std::end(rest));
    return b;
}

} // namespace

const Layout &invoiceLayout()
{
    static const Layout layout = [] {
        Layout l;
        l.name = QStringLiteral("QR1");
        l.pageFrame = true;
        l.pageHeader = pageHeader();
        l.detail = detail();
        l.pageFooter = pageFooter();
        return l;
    }();
    return layout;
}

} // namespace Report
