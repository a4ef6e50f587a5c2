#pragma once
// A FatturaPA file (plain XML or signed .p7m) rendered as HTML by the revenue agency's
// stylesheet for its transmission format. Whatever goes wrong gives one Italian message
// naming the file; nothing else happens.
#include <QByteArray>
#include <QString>

namespace Rendering {

struct FatturaHtml {
    bool ok = false;
    QString format;   // FPR12 or FPA12
    QByteArray html;  // UTF-8
    QString error;    // Italian, naming the file, when not ok
};

// Files larger than this are not read: a FatturaPA file, attachments included, is far smaller.
inline constexpr qint64 MaxFatturaFileSize = 20 * 1024 * 1024;

// Reads and renders the file at `path`.
FatturaHtml renderFatturaFile(const QString &path);

// Renders the content of a file already read; `fileName` names it in a message.
FatturaHtml renderFatturaData(const QByteArray &data, const QString &fileName);

} // namespace Rendering
