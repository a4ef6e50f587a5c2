#include "import/management_fields.h"

#include "data/catalogue_columns.h"
#include "data/diz.h"
#include "import/source_vat_groups.h"

#include <cmath>
#include <initializer_list>

namespace {

const char *const InstalledProperty = "xn_management_fields";

// A source value that cannot be used as a number: the row's calculated fields become 0.
struct Unusable {};

// A missing (null) value counts as 0.
double number(const DbRecord &row, QAnyStringView column)
{
    const QVariant v = row.value(column);
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw Unusable{};
    return d;
}

// The whole number nearest to x, a tie going to the even one.
double nearest(double x)
{
    return std::nearbyint(x);
}

void setAll(DbRecord &row, std::initializer_list<std::pair<const char *, double>> values)
{
    for (const auto &[name, v] : values)
        if (!std::isfinite(v))
            throw Unusable{};
    for (const auto &[name, v] : values)
        row.setCalculated(QLatin1String(name), v);
}

void setAllZero(DbRecord &row, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        row.setCalculated(QLatin1String(name), 0.0);
}

double sumOfGroups(const DbRecord &row, const char *SourceVatGroupColumns::*column)
{
    double sum = 0.0;
    for (const SourceVatGroupColumns &group : SourceVatGroups)
        sum += number(row, group.*column);
    return sum;
}

} // namespace

void Test_FattCalcFields(DbRecord &document)
{
    try {
        const double impMerce = sumOfGroups(document, &SourceVatGroupColumns::taxable);
        const double ivaMerce = sumOfGroups(document, &SourceVatGroupColumns::vat);
        const double sconto = sumOfGroups(document, &SourceVatGroupColumns::discount);
        const double expenses =
            number(document, col::norva26::testata::spese_tr) + number(document, col::norva26::testata::spese_inc);
        const double impTotale = impMerce + expenses - sconto;
        // VAT on the expenses, rounded to the cent.
        const double ivaTotale = ivaMerce + nearest(expenses * number(document, col::norva26::testata::aliq_spese)) / 100;
        const double totale = impTotale + ivaTotale + number(document, col::norva26::testata::bolli)
            - number(document, col::norva26::testata::abbuono);
        setAll(document, {{"Imp_Merce", impMerce}, {"Iva_Merce", ivaMerce}, {"sconto", sconto},
                          {"Imp_Totale", impTotale}, {"Iva_Totale", ivaTotale}, {"totale", totale}});
    } catch (...) {
        setAllZero(document, {"Imp_Merce", "Iva_Merce", "sconto", "Imp_Totale", "Iva_Totale", "totale"});
    }
}

void Dett_FattCalcFields(DbRecord &line)
{
    try {
        // Lines sold by the carton count cartons, the others their quantity.
        const float q = line.text(col::norva26::dettag::um) == QLatin1String("CL")
            ? float(number(line, col::norva26::dettag::colli))
            : float(number(line, col::norva26::dettag::quantita));
        // Net unit price after the three cascaded discounts, to four decimals.
        const double netto = nearest(number(line, col::norva26::dettag::pr_lordo)
                                     * ((100 - number(line, col::norva26::dettag::sc_1)) / 100)
                                     * ((100 - number(line, col::norva26::dettag::sc_2)) / 100)
                                     * ((100 - number(line, col::norva26::dettag::sc_3)) / 100) * 10000)
            / 10000;
        const double impNetto = netto * q;
        const double prIvato = nearest(netto * (1 + number(line, col::norva26::dettag::aliquota) / 100) * 100) / 100;
        const double impIvato = prIvato * q;
        setAll(line, {{"Netto", netto}, {"Imp_Netto", impNetto}, {"pr_ivato", prIvato}, {"imp_ivato", impIvato}});
    } catch (...) {
        setAllZero(line, {"Netto", "Imp_Netto", "pr_ivato", "imp_ivato"});
    }
}

const QStringList &managementDocumentColumns()
{
    static const QStringList columns = catalogueColumns(col::norva26::testata::all_columns);
    return columns;
}

const QStringList &managementLineColumns()
{
    static const QStringList columns = catalogueColumns(col::norva26::dettag::all_columns);
    return columns;
}

void installManagementFields(TDiz &diz)
{
    if (diz.Test_Fatt.property(InstalledProperty).toBool())
        return;
    diz.Test_Fatt.close();
    diz.Dett_Fatt.close();
    for (const char *name : {"Imp_Merce", "Iva_Merce", "sconto", "Imp_Totale", "Iva_Totale", "totale"})
        diz.Test_Fatt.addCalculatedField(QLatin1String(name), DbField::Kind::Float);
    for (const char *name : {"Netto", "Imp_Netto", "pr_ivato", "imp_ivato"})
        diz.Dett_Fatt.addCalculatedField(QLatin1String(name), DbField::Kind::Float);
    diz.Test_Fatt.setCalcFieldsHook(Test_FattCalcFields);
    diz.Dett_Fatt.setCalcFieldsHook(Dett_FattCalcFields);
    diz.Test_Fatt.setRequiredFields(managementDocumentColumns());
    diz.Dett_Fatt.setRequiredFields(managementLineColumns());
    diz.Test_Fatt.setProperty(InstalledProperty, true);
}
