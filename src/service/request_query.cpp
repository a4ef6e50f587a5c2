#include "service/request_query.h"

#include <QByteArray>
#include <QList>

#include <limits>

namespace {

QString decoded(QByteArray part)
{
    part.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
}

} // namespace

RequestQuery::RequestQuery(const std::string &target)
{
    const size_t mark = target.find('?');
    if (mark == std::string::npos)
        return;
    const QByteArray query = QByteArray::fromStdString(target.substr(mark + 1));
    if (query.isEmpty())
        return;
    for (const QByteArray &part : query.split('&')) {
        if (part.isEmpty())
            continue;  // "a=1&&b=2", a trailing "&"
        const qsizetype eq = part.indexOf('=');
        if (eq <= 0 || part.indexOf('=', eq + 1) >= 0) {
            m_fault = QStringLiteral("La richiesta non è scritta come chiave=valore&chiave=valore.");
            return;
        }
        const QString key = decoded(part.left(eq));
        if (m_values.contains(key)) {
            m_fault = QStringLiteral("Una chiave della richiesta è ripetuta: %1.").arg(key);
            return;
        }
        m_values.insert(key, decoded(part.mid(eq + 1)));
    }
}

std::optional<QString> RequestQuery::value(const QString &key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

bool readInvoiceNumber(const QString &text, int *number)
{
    if (text.isEmpty() || text.size() > 10)
        return false;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value > std::numeric_limits<int>::max())
        return false;
    *number = int(value);
    return true;
}
