#include "presend_check.h"

#include "exchange_checks.h"
#include "fatturapa_schema.h"
#include "file_name_checks.h"

#include <QFile>
#include <QFileInfo>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <memory>

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
        static_cast<ParserMessages *>(self)->problems.push_back({QStringLiteral("00200"), QString(), detail});
    }

    xmlStructuredErrorFunc m_previousHandler;
    void *m_previousContext;
};

struct DocFree {
    void operator()(xmlDoc *d) const { xmlFreeDoc(d); }
};

} // namespace

std::vector<PresendProblem> checkInvoiceFile(const QString &path, const CheckOptions &options)
{
    CheckOptions withName = options;
    if (withName.fileName.isEmpty())
        withName.fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{QStringLiteral("file"), QFileInfo(path).fileName(),
                 QStringLiteral("file non leggibile: %1").arg(file.errorString())}};
    // A file beyond the limit is not read whole: the exchange system stops at its size.
    if (file.size() > MaxInvoiceFileSize)
        return {{QStringLiteral("00003"), withName.fileName,
                 QStringLiteral("file di %1 byte: oltre il limite di 5 MB (%2 byte)").arg(file.size()).arg(MaxInvoiceFileSize)}};
    const QByteArray bytes = file.read(MaxInvoiceFileSize + 1);
    file.close();
    return checkInvoiceData(bytes, withName);
}

std::vector<PresendProblem> checkInvoiceData(const QByteArray &bytes, const CheckOptions &options)
{
    std::vector<PresendProblem> problems;
    Checks::checkFileName(options, problems);
    if (bytes.size() > MaxInvoiceFileSize) {
        problems.push_back({QStringLiteral("00003"), options.fileName,
                            QStringLiteral("file di %1 byte: oltre il limite di 5 MB (%2 byte)").arg(bytes.size()).arg(MaxInvoiceFileSize)});
        return problems;
    }

    std::unique_ptr<xmlDoc, DocFree> doc;
    {
        ParserMessages messages;
        const QByteArray url = QFile::encodeName(options.fileName);
        doc.reset(xmlReadMemory(bytes.constData(), int(bytes.size()), url.constData(), nullptr, XML_PARSE_NONET));
        problems.insert(problems.end(), messages.problems.begin(), messages.problems.end());
        if (!doc && messages.problems.empty())
            problems.push_back({QStringLiteral("00200"), QString(), QStringLiteral("il file non è un documento XML ben formato")});
        if (!doc || !messages.problems.empty())
            return problems;
    }
    // A document type declaration has no place in an invoice and could define entities.
    if (doc->intSubset || doc->extSubset) {
        problems.push_back({QStringLiteral("00200"), QString(),
                            QStringLiteral("il file contiene una dichiarazione DOCTYPE, non ammessa in una fattura")});
        return problems;
    }
    std::vector<PresendProblem> format = FatturaPaSchema::validate(doc.get());
    if (!format.empty()) {
        problems.insert(problems.end(), format.begin(), format.end());
        return problems;
    }
    std::vector<PresendProblem> content = exchangeSystemChecks(doc.get(), options);
    problems.insert(problems.end(), content.begin(), content.end());
    return problems;
}

bool hasRefusals(const std::vector<PresendProblem> &problems)
{
    for (const auto &p : problems)
        if (!p.isWarning())
            return true;
    return false;
}

std::vector<PresendProblem> refusalsOf(const std::vector<PresendProblem> &problems)
{
    std::vector<PresendProblem> refusals;
    for (const auto &p : problems)
        if (!p.isWarning())
            refusals.push_back(p);
    return refusals;
}

QString describeProblem(const PresendProblem &p)
{
    QString text = p.code;
    if (!p.element.isEmpty())
        text += QLatin1Char(' ') + p.element;
    return text + QStringLiteral(": ") + p.detail;
}

QString warningsHeading()
{
    return QStringLiteral("Avvisi (controlli formali: il file viene comunque inviato, ma SDI potrebbe scartarlo):");
}

QString describeProblems(const std::vector<PresendProblem> &problems)
{
    QString text;
    for (const auto &p : problems)
        if (!p.isWarning())
            text += describeProblem(p) + QLatin1Char('\n');
    bool headed = false;
    for (const auto &p : problems)
        if (p.isWarning()) {
            if (!headed)
                text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + warningsHeading() + QLatin1Char('\n');
            headed = true;
            text += describeProblem(p) + QLatin1Char('\n');
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
