#pragma once
// How a document of the management database is numbered and typed in the invoice tables:
// its register decides the FatturaPA document type, the form of the number and whether
// the buyer is foreign.
#include <QString>

struct ImportedIdentity {
    QString number;   // num_doc of the invoice
    QString type;     // tipo_doc: "TD01", "TD04" or "TD24"
    bool foreign = false;
};

// The invoice number and type of document `num` of register `reg` ("FV", "FD", "FI", "NC",
// "NI"). With a workspace caption other than "A", " /" and the caption follow the number,
// before the letter the register adds: 15I, 15D, FI 15, 15, NI 15 or, with caption B,
// 15 /BI, 15 /BD, FI 15 /B, 15 /B, NI 15 /B.
ImportedIdentity importedIdentity(const QString &reg, int num, const QString &workspaceCaption);
