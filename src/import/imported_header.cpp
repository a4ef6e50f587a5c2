#include "import/imported_header.h"

#include "data/columns.h"
#include "data/db_table.h"
#include "import/import_formats.h"
#include "import/imported_amounts.h"
#include "import/source_values.h"
#include "data/testata_buckets.h"
#include "data/text_forms.h"

namespace {

namespace target = col::testata;
namespace source = col::norva26::testata;

// Bucket columns of the header, by bucket number 1..4.
const TestataBucketColumns &bucketColumns(int bucket) { return TestataBuckets[size_t(bucket - 1)]; }

void writeSlot(DbTable &testata, int bucket, const VatSlot &slot)
{
    ImportedAmounts::put(testata, bucketColumns(bucket).taxable, slot.taxable, TextForms::Mask2);
    ImportedAmounts::put(testata, bucketColumns(bucket).tax, slot.vat, TextForms::Mask2);
    ImportedAmounts::putRate(testata, bucketColumns(bucket).rate, ImportFormats::rateText(slot.rate));
}

// A foreign buyer: no Italian tax data, the recipient code of foreign buyers, and the
// whole non-taxable amount (source group 3) in bucket 1.
void writeForeignBuyer(DbTable &testata, const DbTable &testFatt, const ImportedDocument &doc)
{
    testata.setText(target::nazione, QStringLiteral("ES"));
    testata.setText(target::cod_fis, QString());
    testata.setText(target::cod_dest, QStringLiteral("XXXXXXX"));
    for (int bucket = 1; bucket <= 4; ++bucket)
        testata.setText(bucketColumns(bucket).chargeability, QString());
    testata.setText(target::pec, QString());
    testata.setText(target::prov, QString());
    if (!doc.nature.isEmpty())
        testata.setText(target::natura, doc.nature);
    testata.setText(target::normativa, QStringLiteral("Non Soggetta"));
    ImportedAmounts::put(testata, target::imponibile, sourceNumber(testFatt, source::imponibile3),
                         TextForms::Mask2);
    testata.setText(target::imposta, QStringLiteral("0,00"));
    testata.setText(target::aliquota, QStringLiteral("0,00"));
    for (int bucket = 2; bucket <= 3; ++bucket)
        for (const char *name : {bucketColumns(bucket).taxable, bucketColumns(bucket).tax, bucketColumns(bucket).rate})
            testata.setText(name, QString());
}

} // namespace

int appendImportedHeader(DbTable &testata, const DbTable &testFatt, const ImportedDocument &doc)
{
    // Source texts are copied as text: a missing value becomes empty text.
    auto copy = [&](const char *to, const char *from) { testata.setText(to, testFatt.text(from)); };
    const QString vatDue = doc.publicAdministration() ? QStringLiteral("S") : QStringLiteral("I");

    testata.append();
    copy(target::rag_soc, source::rag_soc);
    copy(target::indirizzo, source::indirizzo);
    copy(target::comune, source::citta);
    copy(target::cap, source::cap);
    copy(target::prov, source::prov);
    testata.setText(target::num_doc, doc.identity.number);
    testata.setText(target::esig_iva, vatDue);
    for (int bucket = 2; bucket <= 4; ++bucket)
        if (doc.vatSlots[size_t(bucket - 1)].vat > 0)
            testata.setText(bucketColumns(bucket).chargeability, vatDue);
    copy(target::pec, source::pec);
    testata.setText(target::cod_dest, doc.recipientCode);
    testata.setText(target::nazione, QStringLiteral("IT"));
    for (int bucket = 1; bucket <= 4; ++bucket)
        writeSlot(testata, bucket, doc.vatSlots[size_t(bucket - 1)]);
    copy(target::cod_fis, source::cod_fis);
    copy(target::p_iva, source::partiva);
    copy(target::dest_soc, source::dest_soc);
    copy(target::dest_indir, source::dest_indirizzo);
    copy(target::dest_cap, source::dest_cap);
    copy(target::dest_comune, source::dest_citta);
    if (doc.identity.foreign)
        writeForeignBuyer(testata, testFatt, doc);
    copy(target::data_doc, source::data);  // a date column reads as day/month/four-digit year
    testata.setText(target::tipo_doc, doc.identity.type);
    testata.setText(target::tipo_pag, QStringLiteral("TP02"));
    testata.setText(target::mod_pag, doc.publicAdministration() ? QStringLiteral("MP05") : QString());
    testata.setText(target::spese, QStringLiteral("0,00"));
    testata.setText(target::arrot, QStringLiteral("0"));
    testata.setText(target::spese2, QStringLiteral("0,00"));
    testata.setText(target::arrot2, QStringLiteral("0"));
    ImportedAmounts::put(testata, target::sc_importo, sourceNumber(testFatt, QStringLiteral("sconto")),
                         TextForms::Mask2);
    ImportedAmounts::put(testata, target::tot_doc, sourceNumber(testFatt, QStringLiteral("totale")),
                         TextForms::Mask2);
    testata.post();
    return testata.asInteger(target::id_invio);
}
