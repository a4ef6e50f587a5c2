#include "print/print_fonts.h"

#include <QFontDatabase>
#include <QHash>

namespace Report {

QString printFamily(const QString &family)
{
    static QHash<QString, QString> resolved;
    const auto it = resolved.constFind(family);
    if (it != resolved.constEnd())
        return *it;
    QString use = family;
    if (!QFontDatabase::hasFamily(family)) {
        if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
            use = QStringLiteral("Liberation Sans");
        else if (family.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
            use = QStringLiteral("Liberation Serif");
    }
    resolved.insert(family, use);
    return use;
}

QFont printFont(const FontSpec &style)
{
    QFont f(printFamily(style.family));
    // A height of h units is h/96 inch: h * 72/96 points.
    f.setPointSizeF(style.height * 72.0 / UnitsPerInch);
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setUnderline(style.underline);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

} // namespace Report
