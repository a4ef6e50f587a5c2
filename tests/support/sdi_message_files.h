#pragma once
// Messages of the exchange system as its files hold them (schema MessaggiTypes 1.1), made
// for a test's own invoice files, and the file names it gives them.
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace SdiTest {

struct MessageFields {
    MessageFields(QString t, QString file) : type(std::move(t)), nomeFile(std::move(file)) {}
    QString type;            // RC, NS, MC, NE, DT, AT or MT
    QString nomeFile;        // the invoice file named
    QString idSdi = QStringLiteral("111222333");
    QString messageId = QStringLiteral("4455");
    QList<std::pair<QString, QString>> errors;  // NS: code, description
    QString outcome = QStringLiteral("EC01");   // NE
    QString note;
};

// The signature every message carries (its value is not checked by the program).
inline QByteArray signature()
{
    return "<ds:Signature xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\"><ds:SignedInfo>"
           "<ds:CanonicalizationMethod Algorithm=\"http://www.w3.org/TR/2001/REC-xml-c14n-20010315\"/>"
           "<ds:SignatureMethod Algorithm=\"http://www.w3.org/2000/09/xmldsig#rsa-sha1\"/>"
           "<ds:Reference URI=\"\"><ds:DigestMethod Algorithm=\"http://www.w3.org/2000/09/xmldsig#sha1\"/>"
           "<ds:DigestValue>AAAA</ds:DigestValue></ds:Reference></ds:SignedInfo>"
           "<ds:SignatureValue>AAAA</ds:SignatureValue></ds:Signature>\n";
}

inline QByteArray element(const char *name, const QString &value)
{
    return QByteArray("<") + name + ">" + value.toHtmlEscaped().toUtf8() + "</" + name + ">\n";
}

inline QByteArray messageXml(const MessageFields &m)
{
    static const QList<std::pair<QString, const char *>> roots{
        {QStringLiteral("RC"), "RicevutaConsegna"},        {QStringLiteral("NS"), "NotificaScarto"},
        {QStringLiteral("MC"), "NotificaMancataConsegna"}, {QStringLiteral("NE"), "NotificaEsito"},
        {QStringLiteral("DT"), "NotificaDecorrenzaTermini"}, {QStringLiteral("AT"), "AttestazioneTrasmissioneFattura"},
        {QStringLiteral("MT"), "MetadatiInvioFile"}};
    QByteArray root;
    for (const auto &[type, name] : roots)
        if (type == m.type)
            root = name;
    QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<types:" + root
                   + " xmlns:types=\"http://www.fatturapa.gov.it/sdi/messaggi/v1.0\" versione=\"1.0\">\n";
    x += element("IdentificativoSdI", m.idSdi);
    const QString received = QStringLiteral("2026-12-10T10:15:00.000+01:00");
    const QByteArray recipient = "<Destinatario>" + element("Codice", QStringLiteral("ABC123")) + element("Descrizione", QStringLiteral("Rossi Forniture")) + "</Destinatario>\n";
    if (m.type == QLatin1String("RC")) {
        x += element("NomeFile", m.nomeFile) + element("DataOraRicezione", received)
             + element("DataOraConsegna", QStringLiteral("2026-12-10T10:20:00.000+01:00")) + recipient;
    } else if (m.type == QLatin1String("NS")) {
        x += element("NomeFile", m.nomeFile) + element("DataOraRicezione", received) + "<ListaErrori>\n";
        for (const auto &[code, description] : m.errors)
            x += "<Errore>" + element("Codice", code) + element("Descrizione", description) + "</Errore>\n";
        x += "</ListaErrori>\n";
    } else if (m.type == QLatin1String("MC")) {
        x += element("NomeFile", m.nomeFile) + element("DataOraRicezione", received)
             + element("Descrizione", QStringLiteral("Casella del destinatario piena"));
    } else if (m.type == QLatin1String("NE")) {
        x += element("NomeFile", m.nomeFile) + "<EsitoCommittente versione=\"1.0\">" + element("IdentificativoSdI", m.idSdi)
             + element("Esito", m.outcome) + element("Descrizione", QStringLiteral("Esito del committente")) + "</EsitoCommittente>\n";
    } else if (m.type == QLatin1String("DT")) {
        x += element("NomeFile", m.nomeFile) + element("Descrizione", QStringLiteral("Decorsi i termini"));
    } else if (m.type == QLatin1String("AT")) {
        x += element("NomeFile", m.nomeFile) + element("DataOraRicezione", received) + recipient;
    } else if (m.type == QLatin1String("MT")) {
        x += element("NomeFile", m.nomeFile) + element("CodiceDestinatario", QStringLiteral("ABC123")) + element("Formato", QStringLiteral("FPR12"))
             + element("TentativiInvio", QStringLiteral("1"));
    }
    x += element("MessageId", m.messageId);
    if (!m.note.isEmpty())
        x += element("Note", m.note);
    if (m.type == QLatin1String("AT"))
        x += element("HashFileOriginale", QStringLiteral("0a1b2c"));
    if (m.type != QLatin1String("MT"))
        x += signature();
    x += "</types:" + root + ">\n";
    return x;
}

// The exchange system's name of a message's file: the invoice file's name without
// extension, the type and a progressive ("IT01234567890_00001_RC_001.xml").
inline QString messageFileName(const MessageFields &m, int progressive = 1)
{
    QString stem = m.nomeFile;
    stem = stem.left(stem.indexOf(QLatin1Char('.')));
    return QStringLiteral("%1_%2_%3.xml").arg(stem, m.type).arg(progressive, 3, 10, QLatin1Char('0'));
}

} // namespace SdiTest
