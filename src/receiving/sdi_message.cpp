#include "receiving/sdi_message.h"

#include "checks/doctype_free_xml.h"
#include "receiving/sdi_message_schema.h"
#include "fatturapa/xml_nodes.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>

namespace Sdi {

namespace {

constexpr const char *MessagesNamespace = "http://www.fatturapa.gov.it/sdi/messaggi/v1.0";

struct Root {
    const char *element;
    const char *type;
};
// The messages this program reads, by root element.
constexpr Root Roots[] = {
    {"RicevutaConsegna", "RC"},
    {"NotificaScarto", "NS"},
    {"NotificaMancataConsegna", "MC"},
    {"NotificaEsito", "NE"},
    {"NotificaDecorrenzaTermini", "DT"},
    {"AttestazioneTrasmissioneFattura", "AT"},
    {"MetadatiInvioFile", "MT"},
};

using XmlNodes::child;
using XmlNodes::childText;

void addLine(QString &to, const QString &line)
{
    if (line.isEmpty())
        return;
    if (!to.isEmpty())
        to += QLatin1Char('\n');
    to += line;
}

MessageRead refused(const QString &why)
{
    MessageRead r;
    r.error = why;
    return r;
}

} // namespace

MessageRead readMessage(const QByteArray &bytes)
{
    if (bytes.size() > MaxMessageSize)
        return refused(QStringLiteral("messaggio troppo grande (%1 byte, al massimo %2)").arg(bytes.size()).arg(MaxMessageSize));
    // A message has no business declaring a document type: entities defined there could
    // expand without bound or name files of this machine.
    if (bytes.contains("<!DOCTYPE") || bytes.contains("<!ENTITY"))
        return refused(QStringLiteral("il messaggio contiene una dichiarazione DOCTYPE o ENTITY, non ammessa"));
    const DoctypeFreeXml parsed = parseDoctypeFreeXml(bytes, QByteArray(), XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA);
    if (parsed.hadDoctype)
        return refused(QStringLiteral("il messaggio contiene una dichiarazione DOCTYPE, non ammessa"));
    const XmlDocPtr &doc = parsed.doc;
    if (!doc)
        return refused(QStringLiteral("il file non è un XML ben formato"));
    const xmlNode *root = xmlDocGetRootElement(doc.get());
    const bool ours = root && root->ns && xmlStrcmp(root->ns->href, reinterpret_cast<const xmlChar *>(MessagesNamespace)) == 0;
    const char *type = nullptr;
    for (const Root &r : Roots)
        if (ours && XmlNodes::isElementNamed(root, r.element))
            type = r.type;
    if (!type) {
        const QString name = root ? QString::fromUtf8(reinterpret_cast<const char *>(root->name)) : QString();
        return refused(QStringLiteral("il file non è un messaggio SDI sulle fatture inviate (elemento radice \"%1\")").arg(name));
    }
    const QStringList complaints = SdiMessageSchema::validate(doc.get());
    if (!complaints.isEmpty())
        return refused(QStringLiteral("messaggio non conforme allo schema MessaggiTypes 1.1: %1").arg(complaints.join(QStringLiteral("; "))));

    Message m;
    m.type = QString::fromLatin1(type);
    m.idSdi = childText(root, "IdentificativoSdI");
    m.nomeFile = childText(root, "NomeFile");
    m.messageId = childText(root, "MessageId");
    if (m.type == QLatin1String("RC"))
        m.dateTime = childText(root, "DataOraConsegna");
    else
        m.dateTime = childText(root, "DataOraRicezione");
    if (m.type == QLatin1String("NE")) {
        const xmlNode *esito = child(root, "EsitoCommittente");
        m.outcome = childText(esito, "Esito");
        addLine(m.description, childText(esito, "Descrizione"));
    }
    if (m.type == QLatin1String("RC") || m.type == QLatin1String("AT")) {
        const xmlNode *recipient = child(root, "Destinatario");
        addLine(m.description, childText(recipient, "Descrizione"));
    }
    addLine(m.description, childText(root, "Descrizione"));
    addLine(m.description, childText(root, "Note"));
    for (const xmlNode *e : XmlNodes::children(child(root, "ListaErrori"), "Errore"))
        m.errors << Error{childText(e, "Codice"), childText(e, "Descrizione")};
    MessageRead r;
    r.message = std::move(m);
    return r;
}

QString typeCaption(const QString &type)
{
    static const QList<std::pair<QString, QString>> captions{
        {QStringLiteral("RC"), QStringLiteral("RC - Ricevuta di consegna")},
        {QStringLiteral("NS"), QStringLiteral("NS - Notifica di scarto")},
        {QStringLiteral("MC"), QStringLiteral("MC - Mancata consegna")},
        {QStringLiteral("NE"), QStringLiteral("NE - Esito committente")},
        {QStringLiteral("DT"), QStringLiteral("DT - Decorrenza termini")},
        {QStringLiteral("AT"), QStringLiteral("AT - Attestazione di trasmissione")},
        {QStringLiteral("MT"), QStringLiteral("MT - Metadati del file ricevuto")},
    };
    for (const auto &[code, caption] : captions)
        if (code == type)
            return caption;
    return type;
}

QString errorsText(const QList<Error> &errors)
{
    QStringList lines;
    for (const Error &e : errors) {
        QString description = e.description;
        description.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        lines << e.code + QLatin1Char(' ') + description;
    }
    return lines.join(QLatin1Char('\n'));
}

QList<Error> errorsFromText(const QString &text)
{
    QList<Error> errors;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        errors << (blank < 0 ? Error{line, QString()} : Error{line.left(blank), line.mid(blank + 1)});
    }
    return errors;
}

QString invoiceFileName(const QString &nomeFile)
{
    if (nomeFile.endsWith(QLatin1String(".p7m"), Qt::CaseInsensitive))
        return nomeFile.chopped(4);
    return nomeFile;
}

} // namespace Sdi
