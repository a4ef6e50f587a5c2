#pragma once
// What the import keeps of the source document it is bringing over: its identity in the
// invoice tables, its buyer treatment and its VAT slots.
#include "import/document_numbering.h"
#include "import/vat_slots.h"

#include <QString>
#include <array>

class DbTable;

struct ImportedDocument {
    int protocollo = 0;
    QString reg;                // register, "FV", "FD", "FI", "NC" or "NI"
    ImportedIdentity identity;  // number text, type code, foreign buyer
    QString recipientCode;      // cod_destinatario, empty when missing
    QString nature;             // "N3.2" for prov IN, "N3.1" for prov EX, else empty
    std::array<VatSlot, 4> vatSlots{};

    // A recipient code of exactly six characters is a public-administration office.
    bool publicAdministration() const { return recipientCode.size() == 6; }
};

// The document on which `testFatt` stands, numbered for the given workspace caption.
ImportedDocument readImportedDocument(const DbTable &testFatt, const QString &workspaceCaption);

// The exemption nature that a buyer's province marker gives: IN (European Union) "N3.2",
// EX (outside it) "N3.1", anything else none; blanks around the marker do not count.
QString natureOfProvince(const QString &prov);
