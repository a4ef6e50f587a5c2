#pragma once
// Rows of the management database that the import's tests and the workspace's store:
// a source invoice and one of its lines.
#include "data_module_fixture.h"

// A 2026 invoice (register FV) of a domestic private buyer with 100 at 22 %, no
// discounts or expenses.
inline Columns managementDocument(int protocollo)
{
    Columns doc{{"protocollo", protocollo}, {"anno", 2026}, {"cl_fo", "C"}, {"reg_doc", "FV"},
                {"tipo_doc", "FATTURA"}, {"num_doc", protocollo}, {"data", "2026-01-15"},
                {"rag_soc", "Alimentari Ferri di Ferri Luca"}, {"indirizzo", "Via Emilia 215"}, {"cap", "40068"},
                {"citta", "San Lazzaro di Savena"}, {"prov", "BO"}, {"partiva", "00412360372"},
                {"cod_fis", "FRRLCU75M12F257W"}, {"cod_destinatario", "KRRH6B9"}, {"pec", "ferri@pec.it"},
                {"dest_soc", "Alimentari Ferri"}, {"dest_indirizzo", "Via Emilia 215"}, {"dest_cap", "40068"},
                {"dest_citta", "San Lazzaro di Savena"}, {"sc_cassa", 0}, {"abbuono", 0}, {"spese_inc", 0},
                {"spese_tr", 0}, {"bolli", 0}, {"aliq_spese", 22}, {"prot_f_diff", 0}};
    for (int k = 1; k <= 5; ++k) {
        const QString n = QString::number(k);
        doc.insert(QStringLiteral("imponibile") + n, k == 1 ? 100 : 0);
        doc.insert(QStringLiteral("iva") + n, k == 1 ? 22 : 0);
        doc.insert(QStringLiteral("aliquota") + n, k == 1 ? 22 : 0);
        doc.insert(QStringLiteral("val_sconto") + n, 0);
    }
    return doc;
}

// A line of the document `protTesta`: 2 × 50 at 22 % without discounts.
inline Columns managementLine(int protTesta)
{
    return {{"prot_testa", protTesta}, {"codice_art", 1}, {"cod_art", "ART1"}, {"descrizione", "Articolo"},
            {"colli", 1}, {"quantita", 2}, {"pr_lordo", 50}, {"sc_1", 0}, {"sc_2", 0}, {"sc_3", 0},
            {"um", "PZ"}, {"aliquota", 22}, {"categoria", "ALI"}, {"origine", "Italia"}, {"lotto", "L1"}};
}
