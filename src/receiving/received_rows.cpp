#include "receiving/received_rows.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/text_forms.h"

namespace Received {

namespace {

constexpr int AmountWidth = 12;

QString cut(const QString &text, int width) { return text.left(width); }

QString dateText(const QDate &d) { return d.isValid() ? TextForms::formatDate(d) : QString(); }

QString withComma(QString plain) { return plain.replace(QLatin1Char('.'), QLatin1Char(',')); }

// An amount column: two decimals, refused when even that does not fit.
QString amountColumn(const Decimal &value, const char *column)
{
    const QString t = amountText(value);
    if (t.size() > AmountWidth)
        throw AppError(QStringLiteral("Importo troppo grande per la colonna %1: %2").arg(QLatin1String(column), t));
    return t;
}

QString exactColumn(const Decimal &value, const char *column)
{
    const QString t = exactText(value, AmountWidth);
    if (t.size() > AmountWidth)
        throw AppError(QStringLiteral("Importo troppo grande per la colonna %1: %2").arg(QLatin1String(column), t));
    return t;
}

// A VAT rate as the other rows of the purchase tables hold it: two decimals at least (22,00,
// 5,50), more only when the file has them and the column's six characters take them.
QString rateColumn(const Decimal &rate) { return exactText(rate, 6); }

void addDiscount(RowValues &row, const std::optional<Discount> &discount)
{
    if (!discount)
        return;
    row.add(col::test_car::sc_tipo, cut(discount->kind, 2));
    if (discount->percent)
        row.add(col::test_car::sc_perc, shortText(*discount->percent, 4));
    if (discount->amount)
        row.add(col::test_car::sc_importo, exactColumn(*discount->amount, col::test_car::sc_importo));
}

} // namespace

void RowValues::add(const QString &column, const QVariant &value)
{
    columns << column;
    values << value;
}

QString amountText(const Decimal &value) { return TextForms::formatMask(value, TextForms::Mask2); }

QString exactText(const Decimal &value, int width)
{
    int decimals = std::max(2, value.scale());
    QString t = withComma(value.toPlain(decimals));
    while (t.size() > width && decimals > 2)
        t = withComma(value.toPlain(--decimals));
    return t;
}

QString shortText(const Decimal &value, int width)
{
    int decimals = value.scale();
    QString t = withComma(value.toPlain(decimals));
    while (t.size() > width && decimals > 0)
        t = withComma(value.rounded(--decimals).toPlain());
    return t;
}

RowValues headerRow(const Document &document, const Body &body, const QString &fileName)
{
    RowValues row;
    const Supplier &s = document.supplier;
    row.add(col::test_car::rag_soc, cut(s.name, 60));
    row.add(col::test_car::indirizzo, cut(s.address, 60));
    row.add(col::test_car::comune, cut(s.town, 50));
    row.add(col::test_car::cap, cut(s.postCode, 5));
    row.add(col::test_car::prov, cut(s.province, 4));
    row.add(col::test_car::nazione, cut(s.country, 20));
    row.add(col::test_car::p_iva, cut(s.vatNumber, 11));
    row.add(col::test_car::cod_fis, cut(s.taxCode, 16));
    row.add(col::test_car::cod_destinatario, cut(document.recipientCode, 7));
    row.add(col::test_car::pec, cut(document.recipientPec, 60));

    row.add(col::test_car::data_doc, dateText(body.date));
    row.add(col::test_car::num_doc, cut(body.number, 10));
    row.add(col::test_car::tot_doc, amountColumn(body.total(), col::test_car::tot_doc));
    row.add(col::test_car::tipo_doc, cut(body.documentType, 4));
    row.add(col::test_car::tipo_pag, cut(body.paymentCondition, 4));
    row.add(col::test_car::mod_pag, cut(body.paymentMethod, 4));
    row.add(col::test_car::n_rate, int(body.instalments.size()));
    static const char *const dueColumns[] = {col::test_car::scad1, col::test_car::scad2, col::test_car::scad3, col::test_car::scad4};
    static const char *const amountColumns[] = {col::test_car::imp_scad1, col::test_car::imp_scad2, col::test_car::imp_scad3, col::test_car::imp_scad4};
    for (int i = 0; i < 4 && i < body.instalments.size(); ++i) {
        row.add(QLatin1String(dueColumns[i]), dateText(body.instalments[i].due));
        row.add(QLatin1String(amountColumns[i]), amountColumn(body.instalments[i].amount, amountColumns[i]));
    }

    // The two VAT buckets of a purchase header: the first two summaries of the body.
    struct Bucket { const char *rate, *taxable, *tax, *nature, *chargeability, *expenses, *rounding, *reference; };
    static const Bucket buckets[] = {
        {col::test_car::aliquota, col::test_car::imponibile, col::test_car::imposta, col::test_car::natura, col::test_car::esig_iva, col::test_car::spese, col::test_car::arrot, col::test_car::normativa},
        {col::test_car::aliquota2, col::test_car::imponibile2, col::test_car::imposta2, col::test_car::natura2, col::test_car::esig_iva2, col::test_car::spese2, col::test_car::arrot2, col::test_car::normativa2},
    };
    for (int i = 0; i < 2 && i < body.summaries.size(); ++i) {
        const VatSummary &v = body.summaries[i];
        const Bucket &b = buckets[i];
        row.add(QLatin1String(b.rate), rateColumn(v.rate));
        row.add(QLatin1String(b.taxable), amountColumn(v.taxable, b.taxable));
        row.add(QLatin1String(b.tax), amountColumn(v.tax, b.tax));
        row.add(QLatin1String(b.nature), cut(v.nature, 2));
        row.add(QLatin1String(b.chargeability), cut(v.chargeability, 1));
        row.add(QLatin1String(b.expenses), amountColumn(v.expenses, b.expenses));
        row.add(QLatin1String(b.rounding), amountColumn(v.rounding.value_or(Decimal()), b.rounding));
        row.add(QLatin1String(b.reference), cut(v.legalReference, 100));
    }
    addDiscount(row, body.discount);
    row.add(col::test_car::nome_file, fileName);
    return row;
}

RowValues lineRow(const Line &line)
{
    RowValues row;
    row.add(col::dett_car::prog, line.number);
    row.add(col::dett_car::codice_tipo, cut(line.codeType, 35));
    row.add(col::dett_car::codice_val, cut(line.codeValue, 35));
    row.add(col::dett_car::descrizione, cut(line.description, 100));
    row.add(col::dett_car::quantita, line.quantity ? QVariant(exactColumn(*line.quantity, col::dett_car::quantita)) : QVariant());
    row.add(col::dett_car::um, cut(line.unit, 10));
    row.add(col::dett_car::prezzo_unit, exactColumn(line.unitPrice, col::dett_car::prezzo_unit));
    row.add(col::dett_car::sc_tipo, line.discount ? QVariant(cut(line.discount->kind, 2)) : QVariant());
    row.add(col::dett_car::sc_perc, line.discount && line.discount->percent ? QVariant(shortText(*line.discount->percent, 4)) : QVariant());
    row.add(col::dett_car::sc_importo,
            line.discount && line.discount->amount ? QVariant(exactColumn(*line.discount->amount, col::dett_car::sc_importo)) : QVariant());
    row.add(col::dett_car::prezzo_tot, exactColumn(line.total, col::dett_car::prezzo_tot));
    row.add(col::dett_car::aliquota, rateColumn(line.rate));
    row.add(col::dett_car::tipo_cessione, cut(line.kind, 2));
    row.add(col::dett_car::ritenuta, cut(line.withholding, 2));
    row.add(col::dett_car::natura, cut(line.nature, 2));
    row.add(col::dett_car::rif_amm, cut(line.administrationRef, 20));
    return row;
}

} // namespace Received
