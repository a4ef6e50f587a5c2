#include "imported_document.h"

#include "db_table.h"
#include "source_values.h"

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
    doc.protocollo = testFatt.asInteger(QStringLiteral("protocollo"));
    // The selection compares registers the server's way (case and trailing blanks aside).
    doc.reg = testFatt.text(QStringLiteral("reg_doc")).trimmed().toUpper();
    doc.identity = importedIdentity(doc.reg, testFatt.asInteger(QStringLiteral("num_doc")), workspaceCaption);
    doc.recipientCode = testFatt.text(QStringLiteral("cod_destinatario"));
    doc.nature = natureOfProvince(testFatt.text(QStringLiteral("prov")));

    std::array<VatGroup, 5> groups;
    for (int k = 1; k <= 5; ++k) {
        const QString suffix = QString::number(k);
        groups[size_t(k - 1)] = {sourceNumber(testFatt, QStringLiteral("imponibile") + suffix),
                                 sourceNumber(testFatt, QStringLiteral("iva") + suffix),
                                 sourceNumber(testFatt, QStringLiteral("aliquota") + suffix)};
    }
    doc.vatSlots = pickVatSlots(groups);
    return doc;
}
