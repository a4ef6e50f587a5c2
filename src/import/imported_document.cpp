#include "import/imported_document.h"

#include "data/columns.h"
#include "data/db_table.h"
#include "import/source_values.h"
#include "import/source_vat_groups.h"

QString natureOfProvince(const QString &prov)
{
    const QString marker = prov.trimmed();
    if (marker == QLatin1String("IN"))
        return QStringLiteral("N3.2");
    if (marker == QLatin1String("EX"))
        return QStringLiteral("N3.1");
    return QString();
}

ImportedDocument readImportedDocument(const DbTable &testFatt, const QString &workspaceCaption)
{
    ImportedDocument doc;
    doc.protocollo = testFatt.asInteger(col::norva26::testata::protocollo);
    // The selection compares registers the server's way (case and trailing blanks aside).
    doc.reg = testFatt.text(col::norva26::testata::reg_doc).trimmed().toUpper();
    doc.identity = importedIdentity(doc.reg, testFatt.asInteger(col::norva26::testata::num_doc), workspaceCaption);
    doc.recipientCode = testFatt.text(col::norva26::testata::cod_destinatario);
    doc.nature = natureOfProvince(testFatt.text(col::norva26::testata::prov));

    std::array<VatGroup, 5> groups;
    for (size_t k = 0; k < groups.size(); ++k) {
        const SourceVatGroupColumns &group = SourceVatGroups[k];
        groups[k] = {sourceNumber(testFatt, group.taxable), sourceNumber(testFatt, group.vat),
                     sourceNumber(testFatt, group.rate)};
    }
    doc.vatSlots = pickVatSlots(groups);
    return doc;
}
