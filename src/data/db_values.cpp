#include "data/db_values.h"

#include "data/app_error.h"
#include "data/text_forms.h"

#include <QDate>
#include <climits>

namespace DbValues {

QVariant decode(const DbField &f, QByteArrayView raw, bool null)
{
    if (null)
        return QVariant();
    switch (f.kind) {
    case DbField::Kind::Integer: {
        bool ok = false;
        const qlonglong v = raw.toLongLong(&ok);
        if (v >= INT_MIN && v <= INT_MAX)
            return QVariant(int(v));
        return QVariant(v);
    }
    case DbField::Kind::Float:
        return QVariant(raw.toDouble());
    case DbField::Kind::Date: {
        const QDate d = QDate::fromString(QString::fromLatin1(raw), QStringLiteral("yyyy-MM-dd"));
        return d.isValid() ? QVariant(d) : QVariant();
    }
    default:
        return QVariant(QString::fromUtf8(raw));
    }
}

QString text(const DbField &f, QByteArrayView raw, bool null)
{
    if (null)
        return QString();
    switch (f.kind) {
    case DbField::Kind::Float: {
        // The regional form of a floating-point value: up to 15 significant digits, decimal comma.
        QString s = QString::number(raw.toDouble(), 'g', 15);
        s.replace(QLatin1Char('.'), QLatin1Char(','));
        return s;
    }
    case DbField::Kind::Date: {
        const QDate d = QDate::fromString(QString::fromLatin1(raw), QStringLiteral("yyyy-MM-dd"));
        return d.isValid() ? TextForms::formatDate(d) : QString();
    }
    default:
        return QString::fromUtf8(raw);
    }
}

std::optional<QByteArray> encode(const DbField &f, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (f.kind) {
    case DbField::Kind::Integer: {
        bool ok = false;
        const qlonglong n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toLongLong(&ok) : v.toLongLong(&ok);
        if (!ok)
            throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return QByteArray::number(n);
    }
    case DbField::Kind::Float: {
        if (v.typeId() == QMetaType::QString) {
            const Decimal d = TextForms::readLocale(v.toString());
            return d.toPlain().toLatin1();
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw ConversionError(TextForms::notAFloatMessage(v.toString()));
        return QByteArray::number(d, 'g', 17);
    }
    case DbField::Kind::Date: {
        const QDate d = v.typeId() == QMetaType::QDate ? v.toDate() : TextForms::readDate(v.toString());
        return d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    }
    default: {
        QString s = v.typeId() == QMetaType::QDate ? TextForms::formatDate(v.toDate()) : v.toString();
        if (f.width > 0)
            s = TextForms::cutToWidth(s, f.width);
        return s.toUtf8();
    }
    }
}

int toInteger(const QVariant &v)
{
    if (v.isNull())
        throw ConversionError(nullConversionMessage(QStringLiteral("Integer")));
    bool ok = false;
    const int n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toInt(&ok) : v.toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return n;
}

Decimal amount(const QString &t, AmountReading reading)
{
    return reading == AmountReading::Strict ? TextForms::readStrict(t) : TextForms::readLocale(t);
}

Decimal amountOr(const QString &t, AmountReading reading, const Decimal &fallback)
{
    Decimal v;
    const bool ok = reading == AmountReading::Strict ? TextForms::tryReadStrict(t, &v) : TextForms::tryReadLocale(t, &v);
    return ok ? v : fallback;
}

QString nullConversionMessage(const QString &type)
{
    return QStringLiteral("Could not convert variant of type (Null) into type (%1)").arg(type);
}

} // namespace DbValues
