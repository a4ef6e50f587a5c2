#include "presend_check.h"

#include "exchange_checks.h"
#include "fatturapa_schema.h"

#include <QFile>
#include <QFileInfo>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

namespace {

// While alive, the parser's messages on this thread are gathered here instead of being
// printed (libxml2 keeps the handler per thread).
class ParserMessages {
public:
    ParserMessages()
    {
        m_previousHandler = xmlStructuredError;
        m_previousContext = xmlStructuredErrorContext;
        xmlSetStructuredErrorFunc(this, &ParserMessages::collect);
    }
    ~ParserMessages() { xmlSetStructuredErrorFunc(m_previousContext, m_previousHandler); }
    ParserMessages(const ParserMessages &) = delete;
    ParserMessages &operator=(const ParserMessages &) = delete;

    std::vector<PresendProblem> problems;

private:
    static void collect(void *self, xmlErrorPtr error)
    {
        if (!error || error->level < XML_ERR_ERROR)
            return;
        QString detail = QString::fromUtf8(error->message ? error->message : "").trimmed();
        if (error->line > 0)
            detail += QStringLiteral(" (riga %1)").arg(error->line);
        static_cast<ParserMessages *>(self)->problems.push_back({QStringLiteral("xml"), QString(), detail});
    }

    xmlStructuredErrorFunc m_previousHandler;
    void *m_previousContext;
};

struct DocFree {
    void operator()(xmlDoc *d) const { xmlFreeDoc(d); }
};

} // namespace

std::vector<PresendProblem> checkInvoiceFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{QStringLiteral("file"), QFileInfo(path).fileName(),
                 QStringLiteral("file non leggibile: %1").arg(file.errorString())}};
    const QByteArray bytes = file.readAll();
    file.close();

    std::unique_ptr<xmlDoc, DocFree> doc;
    std::vector<PresendProblem> problems;
    {
        ParserMessages messages;
        const QByteArray url = QFile::encodeName(path);
        doc.reset(xmlReadMemory(bytes.constData(), int(bytes.size()), url.constData(), nullptr, XML_PARSE_NONET));
        problems = std::move(messages.problems);
    }
    if (!doc || !problems.empty()) {
        if (problems.empty())
            problems.push_back({QStringLiteral("xml"), QString(), QStringLiteral("il file non è un documento XML ben formato")});
        return problems;
    }
    problems = FatturaPaSchema::validate(doc.get());
    if (!problems.empty())
        return problems;
    return exchangeSystemChecks(doc.get());
}

QString describeProblems(const std::vector<PresendProblem> &problems)
{
    QString text;
    for (const auto &p : problems) {
        text += p.code;
        if (!p.element.isEmpty())
            text += QLatin1Char(' ') + p.element;
        text += QStringLiteral(": ") + p.detail + QLatin1Char('\n');
    }
    return text;
}

void setPresendSchemaFolder(const QString &folder)
{
    FatturaPaSchema::setFolder(folder);
}

QString presendSchemaFolder()
{
    return FatturaPaSchema::folder();
}
