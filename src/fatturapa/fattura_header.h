#pragma once
// The values of the file header and of the general document data, read from the current
// company and invoice before anything is stored or written, and the header lines.
#include "fatturapa/xml_format.h"
#include "fatturapa/xml_lines.h"

#include <QString>

class TDiz;

// Stored texts as read (escaped only when written), except where a form is named.
struct FatturaHeader {
    QString progressive;

    struct Company {
        QString codFis, pIva, telefono, mail, ragSoc, indirizzo, cap, comune, prov, nazione;
        QString uffRea, numRea, socUni, statoLiq;
        QString capitSoc; // amount form
    } company;

    struct Buyer {
        QString codDest, pec, pIva, codFis, ragSoc, comune, prov, nazione;
        QString indirizzo, cap;  // as written (foreign_postcode.h)
    } buyer;

    struct Document {
        QString tipoDoc, numDoc;
        QString data;    // date form
        QString total;   // amount form
        QString reason;  // delivery reason text, not yet escaped (FPR12 only)
    } document;
};

// Reads the current rows of diz.AziendaT and diz.Testata. The company and buyer columns
// must not be NULL ("Could not convert variant of type (Null) into type (String)");
// the share capital and the document total must be numbers, the document date a date.
// A buyer with neither VAT number nor fiscal code raises AppError naming the buyer.
FatturaHeader readFatturaHeader(TDiz &diz, const QString &workspaceCaption, XmlFormat format);
// The same with the progressive given, asking the server nothing.
FatturaHeader readFatturaHeaderWith(TDiz &diz, const QString &progressive, XmlFormat format);

// From the XML declaration to "</FatturaElettronicaHeader>".
void writeFatturaHeader(XmlLines &out, const FatturaHeader &header, XmlFormat format);
