#include "imported_header.h"

#include "db_table.h"
#include "import_formats.h"
#include "imported_amounts.h"
#include "source_values.h"
#include "text_forms.h"

namespace {

// Bucket columns of the header, by bucket number 1..4.
QString bucketColumn(const char *name, int bucket)
{
    return bucket == 1 ? QLatin1String(name) : QLatin1String(name) + QString::number(bucket);
}

void writeSlot(DbTable &testata, int bucket, const VatSlot &slot)
{
    ImportedAmounts::put(testata, bucketColumn("imponibile", bucket), slot.taxable, TextForms::Mask2);
    ImportedAmounts::put(testata, bucketColumn("imposta", bucket), slot.vat, TextForms::Mask2);
    ImportedAmounts::putRate(testata, bucketColumn("aliquota", bucket), ImportFormats::rateText(slot.rate));
}

// A foreign buyer: no Italian tax data, the recipient code of foreign buyers, and the
// whole non-taxable amount (source group 3) in bucket 1.
void writeForeignBuyer(DbTable &testata, const DbTable &testFatt, const ImportedDocument &doc)
{
    testata.setText(QStringLiteral("nazione"), QStringLiteral("ES"));
    testata.setText(QStringLiteral("cod_fis"), QString());
    testata.setText(QStringLiteral("cod_dest"), QStringLiteral("XXXXXXX"));
    for (int bucket = 1; bucket <= 4; ++bucket)
        testata.setText(bucketColumn("esig_iva", bucket), QString());
    testata.setText(QStringLiteral("pec"), QString());
    testata.setText(QStringLiteral("prov"), QString());
    if (!doc.nature.isEmpty())
        testata.setText(QStringLiteral("natura"), doc.nature);
    testata.setText(QStringLiteral("normativa"), QStringLiteral("Non Soggetta"));
    ImportedAmounts::put(testata, QStringLiteral("imponibile"), sourceNumber(testFatt, QStringLiteral("imponibile3")),
                         TextForms::Mask2);
    testata.setText(QStringLiteral("imposta"), QStringLiteral("0,00"));
    testata.setText(QStringLiteral("aliquota"), QStringLiteral("0,00"));
    for (int bucket = 2; bucket <= 3; ++bucket)
        for (const char *name : {"imponibile", "imposta", "aliquota"})
            testata.setText(bucketColumn(name, bucket), QString());
}

} // namespace

int appendImportedHeader(DbTable &testata, const DbTable &testFatt, const ImportedDocument &doc)
{
    // Source texts are copied as text: a missing value becomes empty text.
    auto copy = [&](const char *target, const char *source) {
        testata.setText(QLatin1String(target), testFatt.text(QLatin1String(source)));
    };
    const QString vatDue = doc.publicAdministration() ? QStringLiteral("S") : QStringLiteral("I");

    testata.append();
    copy("rag_soc", "rag_soc");
    copy("indirizzo", "indirizzo");
    copy("comune", "citta");
    copy("cap", "cap");
    copy("prov", "prov");
    testata.setText(QStringLiteral("num_doc"), doc.identity.number);
    testata.setText(QStringLiteral("esig_iva"), vatDue);
    for (int bucket = 2; bucket <= 4; ++bucket)
        if (doc.vatSlots[size_t(bucket - 1)].vat > 0)
            testata.setText(bucketColumn("esig_iva", bucket), vatDue);
    copy("pec", "pec");
    testata.setText(QStringLiteral("cod_dest"), doc.recipientCode);
    testata.setText(QStringLiteral("nazione"), QStringLiteral("IT"));
    for (int bucket = 1; bucket <= 4; ++bucket)
        writeSlot(testata, bucket, doc.vatSlots[size_t(bucket - 1)]);
    copy("cod_fis", "cod_fis");
    copy("p_iva", "partiva");
    copy("dest_soc", "dest_soc");
    copy("dest_indir", "dest_indirizzo");
    copy("dest_cap", "dest_cap");
    copy("dest_comune", "dest_citta");
    if (doc.identity.foreign)
        writeForeignBuyer(testata, testFatt, doc);
    copy("data_doc", "data");  // a date column reads as day/month/four-digit year
    testata.setText(QStringLiteral("tipo_doc"), doc.identity.type);
    testata.setText(QStringLiteral("tipo_pag"), QStringLiteral("TP02"));
    testata.setText(QStringLiteral("mod_pag"), doc.publicAdministration() ? QStringLiteral("MP05") : QString());
    testata.setText(QStringLiteral("spese"), QStringLiteral("0,00"));
    testata.setText(QStringLiteral("arrot"), QStringLiteral("0"));
    testata.setText(QStringLiteral("spese2"), QStringLiteral("0,00"));
    testata.setText(QStringLiteral("arrot2"), QStringLiteral("0"));
    ImportedAmounts::put(testata, QStringLiteral("sc_importo"), sourceNumber(testFatt, QStringLiteral("sconto")),
                         TextForms::Mask2);
    ImportedAmounts::put(testata, QStringLiteral("tot_doc"), sourceNumber(testFatt, QStringLiteral("totale")),
                         TextForms::Mask2);
    testata.post();
    return testata.asInteger(QStringLiteral("id_invio"));
}
