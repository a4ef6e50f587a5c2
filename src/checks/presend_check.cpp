#include "checks/presend_check.h"

#include "checks/doctype_free_xml.h"
#include "checks/exchange_checks.h"
#include "checks/fatturapa_schema.h"
#include "checks/file_name_checks.h"
#include "data/regular_file.h"

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

QString tooLarge(qint64 size)
{
    return QStringLiteral("file di %1 byte: il sistema di interscambio accetta file fino a 5 MB (%2 byte)").arg(size).arg(MaxInvoiceFileBytes);
}

std::vector<PresendProblem> checkParsed(const QByteArray &bytes, const CheckOptions &options)
{
    std::vector<PresendProblem> problems;
    Checks::checkFileName(options, problems);
    if (bytes.size() > MaxInvoiceFileBytes) {
        problems.push_back({QStringLiteral("00003"), options.fileName, tooLarge(bytes.size())});
        return problems;
    }
    DoctypeFreeXml parsed;
    std::vector<PresendProblem> parserProblems;
    {
        ParserMessages messages;
        parsed = parseDoctypeFreeXml(bytes, QFile::encodeName(options.fileName), 0);
        parserProblems = std::move(messages.problems);
    }
    if (parsed.hadDoctype) {
        problems.push_back({QStringLiteral("00200"), options.fileName, doctypeRefusal()});
        return problems;
    }
    const XmlDocPtr &doc = parsed.doc;
    if (!doc || !parserProblems.empty()) {
        problems.insert(problems.end(), parserProblems.begin(), parserProblems.end());
        if (parserProblems.empty())
            problems.push_back({QStringLiteral("00200"), QString(), QStringLiteral("il file non è un documento XML ben formato")});
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

} // namespace

std::vector<PresendProblem> checkInvoiceBytes(const QByteArray &bytes, const QString &name, const CheckOptions &options)
{
    CheckOptions named = options;
    if (named.fileName.isEmpty())
        named.fileName = name;
    std::vector<PresendProblem> problems = checkParsed(bytes, named);
    releaseParserMemory(bytes.size());
    return problems;
}

std::vector<PresendProblem> checkInvoiceFile(const QString &path, const CheckOptions &options)
{
    const QString name = options.fileName.isEmpty() ? QFileInfo(path).fileName() : options.fileName;
    const RegularFile file = readRegularFile(path, MaxInvoiceFileBytes, name);
    if (file.fault == RegularFile::Fault::TooLarge) {
        // The exchange system stops at the size; the file is not read.
        CheckOptions named = options;
        named.fileName = name;
        std::vector<PresendProblem> problems;
        Checks::checkFileName(named, problems);
        problems.push_back({QStringLiteral("00003"), name, tooLarge(QFileInfo(path).size())});
        return problems;
    }
    if (!file.ok())
        return {{QStringLiteral("file"), name, file.error}};
    return checkInvoiceBytes(file.bytes, name, options);
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
    FatturaPaSchema::file().setFolder(folder);
}

QString presendSchemaFolder()
{
    return FatturaPaSchema::file().folder();
}
