#include "presend_check.h"

#include "doctype_free_xml.h"
#include "exchange_checks.h"
#include "fatturapa_schema.h"
#include "regular_file.h"

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

std::vector<PresendProblem> checkParsed(const QByteArray &bytes, const QString &name)
{
    if (bytes.size() > MaxInvoiceFileBytes)
        return {{QStringLiteral("file"), name,
                 QStringLiteral("file di %1 byte: il sistema di interscambio accetta file fino a %2 byte").arg(bytes.size()).arg(MaxInvoiceFileBytes)}};
    DoctypeFreeXml parsed;
    std::vector<PresendProblem> problems;
    {
        ParserMessages messages;
        parsed = parseDoctypeFreeXml(bytes, QFile::encodeName(name), 0);
        problems = std::move(messages.problems);
    }
    if (parsed.hadDoctype)
        return {{QStringLiteral("xml"), name, doctypeRefusal()}};
    const XmlDocPtr &doc = parsed.doc;
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

} // namespace

std::vector<PresendProblem> checkInvoiceBytes(const QByteArray &bytes, const QString &name)
{
    std::vector<PresendProblem> problems = checkParsed(bytes, name);
    releaseParserMemory(bytes.size());
    return problems;
}

std::vector<PresendProblem> checkInvoiceFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const RegularFile file = readRegularFile(path, MaxInvoiceFileBytes, name);
    if (!file.ok())
        return {{QStringLiteral("file"), name, file.error}};
    return checkInvoiceBytes(file.bytes, name);
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
