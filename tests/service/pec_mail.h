#pragma once
// A certified mail as a PEC provider delivers the exchange system's mails: the envelope
// (a text, daticert.xml, the original mail as postacert.eml, the provider's signature),
// the original mail carrying the files as base64 attachments.
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace ServiceTest {

inline QByteArray base64Lines(const QByteArray &bytes)
{
    const QByteArray b64 = bytes.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + "\r\n";
    return out;
}

inline QByteArray pecMail(const QString &subject, const QList<std::pair<QString, QByteArray>> &files)
{
    QByteArray inner = "From: sdi01@pec.fatturapa.it\r\nTo: fatture@pec.alfabeta.it\r\nSubject: " + subject.toUtf8()
                       + "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n boundary=\"interno-1\"\r\n\r\n"
                         "--interno-1\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nMessaggio del Sistema di Interscambio\r\n";
    for (const auto &[name, content] : files)
        inner += "--interno-1\r\nContent-Type: application/octet-stream; name=\"" + name.toUtf8()
                 + "\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"" + name.toUtf8() + "\"\r\n\r\n"
                 + base64Lines(content);
    inner += "--interno-1--\r\n";
    return "Return-Path: <posta-certificata@pec.fatturapa.it>\r\nFrom: \"Per conto di: sdi01@pec.fatturapa.it\" <posta-certificata@pec.fatturapa.it>\r\n"
           "To: fatture@pec.alfabeta.it\r\nSubject: POSTA CERTIFICATA: "
           + subject.toUtf8()
           + "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"busta-1\"\r\n\r\n"
             "--busta-1\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
             "Messaggio di posta certificata =\r\ndel 10/12/2026\r\n"
             "--busta-1\r\nContent-Type: application/xml; name=\"daticert.xml\"\r\nContent-Disposition: inline; filename=\"daticert.xml\"\r\n\r\n"
             "<?xml version=\"1.0\"?><postacert tipo=\"posta-certificata\" errore=\"nessuno\"/>\r\n"
             "--busta-1\r\nContent-Type: message/rfc822; name=\"postacert.eml\"\r\nContent-Disposition: inline; filename=\"postacert.eml\"\r\n\r\n"
           + inner
           + "\r\n--busta-1\r\nContent-Type: application/pkcs7-signature; name=\"smime.p7s\"\r\nContent-Transfer-Encoding: base64\r\n"
             "Content-Disposition: attachment; filename=\"smime.p7s\"\r\n\r\nAAAA\r\n--busta-1--\r\n";
}

} // namespace ServiceTest
