#include "rendering/xslt_messages.h"

#include <libxml/globals.h>
#include <libxml/xmlerror.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace Rendering {

namespace {

thread_local QString *t_messages = nullptr;

// libxslt's own reports (one process-wide handler, installed once).
void collectMessage(void *, const char *format, ...)
{
    if (!t_messages)
        return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *t_messages += QString::fromUtf8(buffer);
}

// libxml2's reports (its handler is kept per thread).
void collectError(void *, xmlErrorPtr error)
{
    if (t_messages && error && error->message)
        *t_messages += QString::fromUtf8(error->message);
}

} // namespace

XsltMessages::XsltMessages() : m_previous(xmlStructuredError), m_previousContext(xmlStructuredErrorContext)
{
    static std::once_flag once;
    std::call_once(once, [] { xsltSetGenericErrorFunc(nullptr, collectMessage); });
    t_messages = &m_text;
    xmlSetStructuredErrorFunc(nullptr, collectError);
}

XsltMessages::~XsltMessages()
{
    xmlSetStructuredErrorFunc(m_previousContext, m_previous);
    t_messages = nullptr;
}

QString XsltMessages::firstLine() const
{
    const QString text = m_text.trimmed();
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    return (end < 0 ? text : text.left(end)).trimmed();
}

} // namespace Rendering
