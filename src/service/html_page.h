#pragma once
// The short Italian HTML pages the service answers with.
#include <QString>
#include <QStringList>

struct ServiceAnswer {
    int status = 200;     // HTTP status
    QString title;        // heading and window title
    QString message;      // one paragraph
    QStringList items;    // a list under the paragraph (problems, loaded invoices); may be empty
    QString warningsHeading = {};  // the heading of the warnings, when there are any
    QStringList warnings = {};     // formal warnings, listed apart from the items under their heading

    QByteArray html() const;  // UTF-8, every text escaped
};
