#pragma once
// The attached files of an e-mail (RFC 5322 / MIME), as a certified mail carries them: the
// PEC envelope holds the original message (postacert.eml, message/rfc822), which holds the
// exchange system's files. Parts are followed into multiparts and attached messages to a
// limited depth; base64 and quoted-printable bodies are decoded.
#include <QByteArray>
#include <QList>
#include <QString>

struct MailAttachment {
    QString fileName;   // as the part names it (filename or name parameter), folder parts removed
    QByteArray content;
};

QList<MailAttachment> mailAttachments(const QByteArray &mail);
