#pragma once
// The XML writer fixture for the service's tests: an invoice whose file CreaFileXml has
// written, and its sent flag as stored.
#include "../fatturapa/xml_writer_fixture.h"
#include "fatturapa/crea_file_xml.h"

class WrittenInvoiceTest : public XmlWriterTest {
protected:
    // A private customer's invoice of 1 × 100,00 at 22 %, its file written by CreaFileXml.
    int writtenInvoice(const Columns &overrides = {})
    {
        const int id = addInvoice(overrides);
        addLine(id);
        select(id);
        CreaFileXml(*diz, QStringLiteral("A"));
        return id;
    }

    // inviata as stored: "NULL", "0" or "1".
    QString sentFlag(int id)
    {
        const DbResult r = db->sql().select(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ?"), {id});
        return r.rows.at(0).isNull(0) ? QStringLiteral("NULL") : QString::fromUtf8(r.rows.at(0).raw(0).toByteArray());
    }
};
