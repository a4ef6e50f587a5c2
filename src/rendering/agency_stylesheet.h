#pragma once
// The revenue agency's stylesheets, which render a FatturaPA document as a readable page:
// one for the format FPA12 (public administrations), one for FPR12 (private customers).
// Each is compiled once per process and kept; a transformation may neither read nor
// write files nor use the network.
#include <QByteArray>
#include <QString>

typedef struct _xmlDoc xmlDoc;

namespace Rendering {

inline constexpr const char *OrdinaryStylesheet = "Foglio_di_stile_fattura_ordinaria_ver1.2.2.xsl";
inline constexpr const char *PublicStylesheet = "Foglio_di_stile_fattura_PA_ver1.2.2.xsl";

// The folder of the stylesheets: the one set, else "schema/fogli_di_stile" beside the
// program (or one folder up), else the one of the source tree.
QString stylesheetFolder();
// Sets the folder (empty: looked for again).
void setStylesheetFolder(const QString &folder);

// The stylesheet's file name for a transmission format; empty for any other format.
QString stylesheetFor(const QString &format);

struct Transformed {
    bool ok = false;
    QByteArray html;  // UTF-8
    QString error;    // Italian, when not ok
};

// Applies the stylesheet of `format` to `doc`.
Transformed transform(xmlDoc *doc, const QString &format);

} // namespace Rendering
