#include "rendering/closed_html_document.h"

#include <QUrl>

namespace Rendering {

ClosedHtmlDocument::ClosedHtmlDocument(QObject *parent) : QTextDocument(parent) {}

ClosedHtmlDocument::ClosedHtmlDocument(const QByteArray &html, QObject *parent) : QTextDocument(parent)
{
    setHtml(QString::fromUtf8(html));
}

QVariant ClosedHtmlDocument::loadResource(int, const QUrl &) { return {}; }

} // namespace Rendering
