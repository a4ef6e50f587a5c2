#pragma once
// A text document for the rendered invoice that loads no resource: an image or a style
// sheet named by the page is neither read from disk nor fetched from the network.
#include <QTextDocument>

namespace Rendering {

class ClosedHtmlDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit ClosedHtmlDocument(QObject *parent = nullptr);
    // A document holding `html` (UTF-8).
    explicit ClosedHtmlDocument(const QByteArray &html, QObject *parent = nullptr);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

} // namespace Rendering
