#include "service/mail_attachments.h"

#include "data/bare_file_name.h"

#include <QRegularExpression>

namespace {

constexpr int MaxDepth = 8;

struct Part {
    QList<std::pair<QByteArray, QByteArray>> headers;  // lower-case name, unfolded value
    QByteArray body;

    QByteArray header(const char *name) const
    {
        for (const auto &[n, v] : headers)
            if (n == name)
                return v;
        return {};
    }
};

// Splits a part at its first empty line; header lines continued by leading blanks are joined.
Part splitPart(const QByteArray &raw)
{
    Part p;
    qsizetype end = raw.indexOf("\r\n\r\n");
    qsizetype skip = 4;
    const qsizetype lf = raw.indexOf("\n\n");
    if (end < 0 || (lf >= 0 && lf < end)) {
        end = lf;
        skip = 2;
    }
    if (raw.startsWith("\r\n") || raw.startsWith("\n")) {
        p.body = raw.mid(raw.startsWith("\r\n") ? 2 : 1);
        return p;
    }
    const QByteArray head = end < 0 ? raw : raw.left(end);
    p.body = end < 0 ? QByteArray() : raw.mid(end + skip);
    QByteArray name, value;
    auto flush = [&] {
        if (!name.isEmpty())
            p.headers.append({name.trimmed().toLower(), value.trimmed()});
        name.clear();
        value.clear();
    };
    for (QByteArray line : head.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            value += ' ' + line.trimmed();
            continue;
        }
        flush();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) {
            name = line.left(colon);
            value = line.mid(colon + 1);
        }
    }
    flush();
    return p;
}

// The value of parameter `key` of a header value ("multipart/mixed; boundary=\"x\"").
QByteArray parameter(const QByteArray &value, const char *key)
{
    const QRegularExpression re(QStringLiteral("(?:^|;)\\s*%1\\s*=\\s*(\"([^\"]*)\"|[^;\\s]+)").arg(QLatin1String(key)),
                                QRegularExpression::CaseInsensitiveOption);
    const auto match = re.match(QString::fromLatin1(value));
    if (!match.hasMatch())
        return {};
    const QString whole = match.captured(1);
    return (whole.startsWith(QLatin1Char('"')) ? match.captured(2) : whole).toLatin1();
}

QByteArray decodeQuotedPrintable(const QByteArray &in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c != '=') {
            out += c;
            continue;
        }
        if (i + 1 < in.size() && (in[i + 1] == '\r' || in[i + 1] == '\n')) {  // soft line break
            i += (in[i + 1] == '\r' && i + 2 < in.size() && in[i + 2] == '\n') ? 2 : 1;
            continue;
        }
        const QByteArray hex = in.mid(i + 1, 2);
        bool ok = false;
        const int v = hex.toInt(&ok, 16);
        if (ok && hex.size() == 2) {
            out += char(v);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray decodeBody(const Part &p)
{
    const QByteArray encoding = p.header("content-transfer-encoding").trimmed().toLower();
    if (encoding == "base64")
        return QByteArray::fromBase64(p.body);  // line breaks and blanks are skipped
    if (encoding == "quoted-printable")
        return decodeQuotedPrintable(p.body);
    return p.body;
}

// The attachment's name without folder parts.
QString bareName(const QByteArray &raw) { return lastNamePart(QString::fromUtf8(raw).trimmed()); }

void collect(const QByteArray &raw, int depth, QList<MailAttachment> &out)
{
    if (depth > MaxDepth)
        return;
    const Part part = splitPart(raw);
    const QByteArray type = part.header("content-type");
    const QByteArray mime = type.split(';').value(0).trimmed().toLower();
    if (mime.startsWith("multipart/")) {
        const QByteArray boundary = parameter(type, "boundary");
        if (boundary.isEmpty())
            return;
        const QByteArray delimiter = "--" + boundary;
        const QList<QByteArray> pieces = part.body.split('\n');
        QByteArray current;
        bool inside = false;
        for (QByteArray line : pieces) {
            QByteArray bare = line;
            if (bare.endsWith('\r'))
                bare.chop(1);
            if (bare == delimiter || bare == delimiter + "--") {
                if (inside) {
                    if (current.endsWith("\r\n"))
                        current.chop(2);
                    else if (current.endsWith('\n'))
                        current.chop(1);
                    collect(current, depth + 1, out);
                }
                current.clear();
                inside = bare == delimiter;
                if (!inside)
                    break;
                continue;
            }
            if (inside)
                current += line + '\n';
        }
        return;
    }
    if (mime == "message/rfc822") {
        collect(decodeBody(part), depth + 1, out);
        return;
    }
    QByteArray name = parameter(part.header("content-disposition"), "filename");
    if (name.isEmpty())
        name = parameter(type, "name");
    if (name.isEmpty())
        return;
    out << MailAttachment{bareName(name), decodeBody(part)};
}

} // namespace

QList<MailAttachment> mailAttachments(const QByteArray &mail)
{
    QList<MailAttachment> out;
    collect(mail, 0, out);
    return out;
}
