#include "service/html_page.h"

QByteArray ServiceAnswer::html() const
{
    QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"it\">\n<head><meta charset=\"utf-8\"><title>%1</title></head>\n<body>\n"
                                  "<h1>%1</h1>\n<p>%2</p>\n")
                       .arg(title.toHtmlEscaped(), message.toHtmlEscaped());
    if (!items.isEmpty()) {
        page += QStringLiteral("<ul>\n");
        for (const QString &item : items)
            page += QStringLiteral("<li>%1</li>\n").arg(item.toHtmlEscaped());
        page += QStringLiteral("</ul>\n");
    }
    if (!warnings.isEmpty()) {
        page += QStringLiteral("<h2>%1</h2>\n<ul class=\"avvisi\">\n").arg(warningsHeading.toHtmlEscaped());
        for (const QString &warning : warnings)
            page += QStringLiteral("<li>%1</li>\n").arg(warning.toHtmlEscaped());
        page += QStringLiteral("</ul>\n");
    }
    page += QStringLiteral("</body>\n</html>\n");
    return page.toUtf8();
}
