#include "rendering/agency_stylesheet.h"

#include "rendering/xslt_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <libxml/parser.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <map>
#include <memory>
#include <mutex>

namespace Rendering {

namespace {

struct StylesheetFree {
    void operator()(xsltStylesheet *s) const { xsltFreeStylesheet(s); }
};

// A compiled stylesheet, or why it could not be compiled.
struct Compiled {
    std::shared_ptr<xsltStylesheet> sheet;
    QString error;
};

std::mutex g_mutex;
std::map<QString, Compiled> g_compiled;  // the compiled ones, by file path
QString g_folder;                        // set by the program; empty: looked for

Compiled compile(const QString &path)
{
    Compiled out;
    if (!QFileInfo(path).isFile()) {
        out.error = QStringLiteral("foglio di stile non trovato: %1").arg(QDir::toNativeSeparators(path));
        return out;
    }
    // The stylesheet is a file of the program: read without network and without entities.
    xmlDoc *doc = xmlReadFile(QFile::encodeName(path).constData(), nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) {
        out.error = QStringLiteral("foglio di stile non leggibile: %1").arg(QDir::toNativeSeparators(path));
        return out;
    }
    XsltMessages messages;
    xsltStylesheet *sheet = xsltParseStylesheetDoc(doc);
    if (!sheet || sheet->errors > 0) {
        if (sheet)
            xsltFreeStylesheet(sheet);  // frees the document with it
        else
            xmlFreeDoc(doc);
        out.error = QStringLiteral("foglio di stile non valido: %1 (%2)").arg(QDir::toNativeSeparators(path), messages.firstLine());
        return out;
    }
    out.sheet.reset(sheet, StylesheetFree());
    return out;
}

// A stylesheet that fails is tried again next time (the file may have been put right).
Compiled compiled(const QString &path)
{
    std::lock_guard lock(g_mutex);
    if (const auto found = g_compiled.find(path); found != g_compiled.end())
        return found->second;
    Compiled fresh = compile(path);
    if (fresh.sheet)
        g_compiled.emplace(path, fresh);
    return fresh;
}

using SecurityPrefs = std::unique_ptr<xsltSecurityPrefs, decltype(&xsltFreeSecurityPrefs)>;

// Nothing may be read or written outside the document and the stylesheet.
SecurityPrefs closedPrefs()
{
    SecurityPrefs prefs(xsltNewSecurityPrefs(), &xsltFreeSecurityPrefs);
    if (prefs) {
        for (xsltSecurityOption option : {XSLT_SECPREF_READ_FILE, XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                                          XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK})
            xsltSetSecurityPrefs(prefs.get(), option, xsltSecurityForbid);
    }
    return prefs;
}

} // namespace

void setStylesheetFolder(const QString &folder)
{
    std::lock_guard lock(g_mutex);
    g_folder = folder;
}

QString stylesheetFolder()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_folder.isEmpty())
            return g_folder;
    }
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString programDir = QCoreApplication::applicationDirPath();
        candidates << programDir + QStringLiteral("/schema/fogli_di_stile") << programDir + QStringLiteral("/../schema/fogli_di_stile");
    }
    candidates << QStringLiteral(XN_STYLESHEET_DIR);
    for (const QString &dir : candidates)
        if (QFileInfo::exists(QDir(dir).filePath(QLatin1String(OrdinaryStylesheet))))
            return QDir::cleanPath(dir);
    return QDir::cleanPath(candidates.last());
}

QString stylesheetFor(const QString &format)
{
    if (format == QLatin1String("FPA12"))
        return QLatin1String(PublicStylesheet);
    if (format == QLatin1String("FPR12"))
        return QLatin1String(OrdinaryStylesheet);
    return {};
}

Transformed transform(xmlDoc *doc, const QString &format)
{
    Transformed out;
    const QString name = stylesheetFor(format);
    if (name.isEmpty()) {
        out.error = QStringLiteral("formato di trasmissione non gestito: \"%1\" (previsti FPR12 e FPA12)").arg(format);
        return out;
    }
    const Compiled sheet = compiled(QDir(stylesheetFolder()).filePath(name));
    if (!sheet.sheet) {
        out.error = sheet.error;
        return out;
    }
    std::unique_ptr<xsltTransformContext, decltype(&xsltFreeTransformContext)> ctxt(
        xsltNewTransformContext(sheet.sheet.get(), doc), &xsltFreeTransformContext);
    const SecurityPrefs prefs = closedPrefs();
    if (!ctxt || !prefs || xsltSetCtxtSecurityPrefs(prefs.get(), ctxt.get()) != 0) {
        out.error = QStringLiteral("trasformazione non avviata (memoria insufficiente)");
        return out;
    }
    XsltMessages messages;
    std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> result(
        xsltApplyStylesheetUser(sheet.sheet.get(), doc, nullptr, nullptr, nullptr, ctxt.get()), &xmlFreeDoc);
    if (!result || ctxt->state != XSLT_STATE_OK) {
        out.error = QStringLiteral("il foglio di stile non ha potuto trasformare il file (%1)").arg(messages.firstLine());
        return out;
    }
    xmlChar *text = nullptr;
    int length = 0;
    if (xsltSaveResultToString(&text, &length, result.get(), sheet.sheet.get()) != 0 || !text || length == 0) {
        xmlFree(text);
        out.error = QStringLiteral("il foglio di stile non ha prodotto la pagina (%1)").arg(messages.firstLine());
        return out;
    }
    out.html = QByteArray(reinterpret_cast<const char *>(text), length);
    xmlFree(text);
    out.ok = true;
    return out;
}

} // namespace Rendering
