#include "print/document_parts.h"

#include "data/columns.h"
#include "print/data_field.h"

namespace Report {

std::vector<Item> partiesBlock(const char *sender, const char *addressee, double boxHeight)
{
    const FontSpec a11 = arial(11), a13 = arial(13);
    namespace party = col::testata;
    const auto from = [&](const char *column) { return dataField(sender, column); };
    const auto to = [&](const char *column) { return dataField(addressee, column); };
    return {
        rect(8, 4, 401, boxHeight),
        field(16, 8, 385, 25, from(party::rag_soc), bold(italic(timesNewRoman(21)))),
        caption(656, 8, 26, 15, QStringLiteral("PAG."), a11),
        pageNumber(688, 8, 20, 17, a13, Align::Right),
        field(16, 40, 361, 17, from(party::indirizzo), a11),
        caption(414, 40, 37, 15, QStringLiteral("Spett.le"), underlined(a11)),
        field(414, 56, 297, 17, to(party::rag_soc), a13),
        field(16, 58, 41, 17, from(party::cap), a11),
        field(64, 58, 337, 17, from(party::comune), a11),
        field(414, 72, 297, 17, to(party::indirizzo), a13),
        caption(15, 79, 27, 20, QStringLiteral("P.Iva:"), a11),
        field(46, 79, 113, 17, from(party::p_iva), a11),
        caption(183, 79, 63, 20, QStringLiteral("Cod. Fiscale:"), a11),
        field(250, 79, 113, 17, from(party::cod_fis), a11),
        field(414, 88, 41, 17, to(party::cap), a13),
        field(459, 88, 216, 17, to(party::comune), a13),
        field(680, 88, 31, 17, to(party::prov), a13),
    };
}

std::vector<Item> columnCaptions(double top, double amountLeft)
{
    const FontSpec a11 = arial(11);
    // A heading wider than its box (COD.ARTICOLO, QUANTITA') is drawn narrower to fit it,
    // so that it keeps clear of the column lines beside it.
    const auto heading = [&](double left, double width, const char *text) {
        Item i = caption(left, top, width, 15, QString::fromLatin1(text), a11);
        i.overflow = Overflow::Shrink;
        return i;
    };
    return {
        heading(8, 78, "COD.ARTICOLO"),
        heading(94, 67, "DESCRIZIONE"),
        heading(408, 55, "QUANTITA'"),
        heading(486, 42, "PREZZO"),
        heading(537, 27, "%Sc."),
        heading(amountLeft, 46, "IMPORTO"),
        heading(667, 40, "Aliquota"),
    };
}

std::vector<Item> vatBucket(const char *table, const BucketFields &columns, const BucketPlaces &at)
{
    const FontSpec a11 = arial(11);
    return {
        caption(at.rateCaption, at.captionTop, 0, 17, QStringLiteral("Aliquota"), a11),
        caption(at.taxableCaption, at.captionTop, 0, 17, QStringLiteral("Imponibile"), a11),
        caption(at.vatCaption, at.captionTop, 0, 17, QStringLiteral("Iva"), a11),
        field(at.rateField, at.fieldTop, 30, 17, dataField(table, columns.rate), a11, Align::Right, Overflow::Shrink),
        field(at.taxableField, at.fieldTop, 57, 17, dataField(table, columns.taxable), a11, Align::Right, Overflow::Shrink),
        field(at.vatField, at.fieldTop, 47, 17, dataField(table, columns.tax), a11, Align::Right, Overflow::Shrink),
    };
}

std::vector<Item> totalsBox(double top, const QString &taxableTotal, const QString &vatTotal, const QString &documentTotal)
{
    const FontSpec a13 = arial(13);
    return {
        rect(520, top, 190, 75, 2),
        caption(555, top + 6, 59, 17, QStringLiteral("Imponibile"), a13, Align::Right),
        field(619, top + 6, 86, 17, taxableTotal, a13, Align::Right, Overflow::Shrink),
        caption(572, top + 22, 42, 17, QStringLiteral("Tot. Iva"), a13),
        field(619, top + 22, 86, 17, vatTotal, a13, Align::Right, Overflow::Shrink),
        caption(525, top + 46, 90, 17, QStringLiteral("Totale Fattura"), bold(a13)),
        field(621, top + 46, 86, 17, documentTotal, bold(a13), Align::Right, Overflow::Shrink),
    };
}

} // namespace Report
