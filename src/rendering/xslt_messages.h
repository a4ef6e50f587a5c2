#pragma once
// The messages of libxslt and libxml2 (the parser, the XPath engine), gathered instead of
// printed: while an XsltMessages lives on a thread, what those libraries report on that
// thread goes into it. Messages reported on a thread without one are dropped.
#include <QString>

struct _xmlError;

namespace Rendering {

class XsltMessages {
public:
    XsltMessages();
    ~XsltMessages();
    XsltMessages(const XsltMessages &) = delete;
    XsltMessages &operator=(const XsltMessages &) = delete;

    const QString &text() const { return m_text; }
    // The first line gathered, trimmed (empty when none).
    QString firstLine() const;

private:
    QString m_text;
    void (*m_previous)(void *, _xmlError *);
    void *m_previousContext;
};

} // namespace Rendering
