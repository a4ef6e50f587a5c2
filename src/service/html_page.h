#pragma once
// The short Italian HTML pages the service answers with.
#include <QString>
#include <QStringList>

struct ServiceAnswer {
    int status = 200;     // HTTP status
    QString title;        // heading and window title
    QString message;      // one paragraph
    QStringList items;    // a list under the paragraph (problems, loaded invoices); may be empty

    QByteArray html() const;  // UTF-8, every text escaped
};
