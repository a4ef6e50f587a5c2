#pragma once
// The formal warnings the pre-send check gives for every file written from the test fixture:
// its VAT numbers and fiscal code fail their check digit. `prefix` is the namespace prefix the
// writer gives the root element ("p" for private customers, "ns3" for public administrations).
#include <QString>

inline QString fixtureCheckWarnings(const QString &prefix)
{
    return QStringLiteral(
        "Avvisi (controlli formali: il file viene comunque inviato, ma SDI potrebbe scartarlo):\n"
        "controllo formale /%1:FatturaElettronica/FatturaElettronicaHeader/DatiTrasmissione/IdTrasmittente/IdCodice: "
        "trasmittente: la cifra di controllo del codice fiscale \"01234567890\" è 0, dovrebbe essere 7\n"
        "00301 /%1:FatturaElettronica/FatturaElettronicaHeader/CedentePrestatore/DatiAnagrafici/IdFiscaleIVA/IdCodice: "
        "cedente/prestatore: la cifra di controllo della partita IVA \"01234567890\" è 0, dovrebbe essere 7\n"
        "controllo formale /%1:FatturaElettronica/FatturaElettronicaHeader/CedentePrestatore/DatiAnagrafici/CodiceFiscale: "
        "cedente/prestatore: la cifra di controllo del codice fiscale \"01234567890\" è 0, dovrebbe essere 7\n"
        "00305 /%1:FatturaElettronica/FatturaElettronicaHeader/CessionarioCommittente/DatiAnagrafici/IdFiscaleIVA/IdCodice: "
        "cessionario/committente: la cifra di controllo della partita IVA \"09876543210\" è 0, dovrebbe essere 7\n")
        .arg(prefix);
}
