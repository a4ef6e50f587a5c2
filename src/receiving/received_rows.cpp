#include "received_rows.h"

#include "app_error.h"
#include "text_forms.h"

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
    row.add(QStringLiteral("sc_tipo"), cut(discount->kind, 2));
    if (discount->percent)
        row.add(QStringLiteral("sc_perc"), shortText(*discount->percent, 4));
    if (discount->amount)
        row.add(QStringLiteral("sc_importo"), exactColumn(*discount->amount, "sc_importo"));
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
    row.add(QStringLiteral("rag_soc"), cut(s.name, 60));
    row.add(QStringLiteral("indirizzo"), cut(s.address, 60));
    row.add(QStringLiteral("comune"), cut(s.town, 50));
    row.add(QStringLiteral("cap"), cut(s.postCode, 5));
    row.add(QStringLiteral("prov"), cut(s.province, 4));
    row.add(QStringLiteral("nazione"), cut(s.country, 20));
    row.add(QStringLiteral("p_iva"), cut(s.vatNumber, 11));
    row.add(QStringLiteral("cod_fis"), cut(s.taxCode, 16));
    row.add(QStringLiteral("cod_destinatario"), cut(document.recipientCode, 7));
    row.add(QStringLiteral("pec"), cut(document.recipientPec, 60));

    row.add(QStringLiteral("data_doc"), dateText(body.date));
    row.add(QStringLiteral("num_doc"), cut(body.number, 10));
    row.add(QStringLiteral("tot_doc"), amountColumn(body.total(), "tot_doc"));
    row.add(QStringLiteral("tipo_doc"), cut(body.documentType, 4));
    row.add(QStringLiteral("tipo_pag"), cut(body.paymentCondition, 4));
    row.add(QStringLiteral("mod_pag"), cut(body.paymentMethod, 4));
    row.add(QStringLiteral("n_rate"), int(body.instalments.size()));
    static const char *const dueColumns[] = {"scad1", "scad2", "scad3", "scad4"};
    static const char *const amountColumns[] = {"imp_scad1", "imp_scad2", "imp_scad3", "imp_scad4"};
    for (int i = 0; i < 4 && i < body.instalments.size(); ++i) {
        row.add(QLatin1String(dueColumns[i]), dateText(body.instalments[i].due));
        row.add(QLatin1String(amountColumns[i]), amountColumn(body.instalments[i].amount, amountColumns[i]));
    }

    // The two VAT buckets of a purchase header: the first two summaries of the body.
    struct Bucket { const char *rate, *taxable, *tax, *nature, *chargeability, *expenses, *rounding, *reference; };
    static const Bucket buckets[] = {
        {"aliquota", "imponibile", "imposta", "natura", "esig_iva", "spese", "arrot", "normativa"},
        {"aliquota2", "imponibile2", "imposta2", "natura2", "esig_iva2", "spese2", "arrot2", "normativa2"},
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
    row.add(QStringLiteral("nome_file"), fileName);
    return row;
}

RowValues lineRow(const Line &line)
{
    RowValues row;
    row.add(QStringLiteral("prog"), line.number);
    row.add(QStringLiteral("codice_tipo"), cut(line.codeType, 35));
    row.add(QStringLiteral("codice_val"), cut(line.codeValue, 35));
    row.add(QStringLiteral("descrizione"), cut(line.description, 100));
    row.add(QStringLiteral("quantita"), line.quantity ? QVariant(exactColumn(*line.quantity, "quantita")) : QVariant());
    row.add(QStringLiteral("um"), cut(line.unit, 10));
    row.add(QStringLiteral("prezzo_unit"), exactColumn(line.unitPrice, "prezzo_unit"));
    row.add(QStringLiteral("sc_tipo"), line.discount ? QVariant(cut(line.discount->kind, 2)) : QVariant());
    row.add(QStringLiteral("sc_perc"), line.discount && line.discount->percent ? QVariant(shortText(*line.discount->percent, 4)) : QVariant());
    row.add(QStringLiteral("sc_importo"),
            line.discount && line.discount->amount ? QVariant(exactColumn(*line.discount->amount, "sc_importo")) : QVariant());
    row.add(QStringLiteral("prezzo_tot"), exactColumn(line.total, "prezzo_tot"));
    row.add(QStringLiteral("aliquota"), rateColumn(line.rate));
    row.add(QStringLiteral("tipo_cessione"), cut(line.kind, 2));
    row.add(QStringLiteral("ritenuta"), cut(line.withholding, 2));
    row.add(QStringLiteral("natura"), cut(line.nature, 2));
    row.add(QStringLiteral("rif_amm"), cut(line.administrationRef, 20));
    return row;
}

} // namespace Received
