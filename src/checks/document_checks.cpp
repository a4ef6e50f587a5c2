// The general document data of one invoice body: its date against the day of the check and
// the invoices it corrects, its number, and the zero rate a ceiling self-invoice may not use.
#include "checks/check_report.h"
#include "fatturapa/xml_nodes.h"

#include <libxml/tree.h>

using XmlNodes::child;
using XmlNodes::childText;
using XmlNodes::children;
using XmlNodes::descendant;

namespace Checks {

namespace {

// An xs:date as written (the schema admits a time zone after the day).
QDate dateOf(const xmlNode *node)
{
    return QDate::fromString(XmlNodes::text(node).left(10), Qt::ISODate);
}

QString shownDate(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

void checkDocumentData(const xmlNode *body, Report &report)
{
    const xmlNode *generalData = child(body, "DatiGenerali");
    const xmlNode *document = child(generalData, "DatiGeneraliDocumento");
    const xmlNode *dateNode = child(document, "Data");
    const QDate date = dateOf(dateNode);
    const QDate today = report.day();
    if (date.isValid() && date > today)
        report.refuse("00403", dateNode,
                      QStringLiteral("Data del documento %1 successiva alla data di ricezione (%2)").arg(shownDate(date), shownDate(today)));

    for (const xmlNode *linked : children(generalData, "DatiFattureCollegate")) {
        const xmlNode *linkedDateNode = child(linked, "Data");
        const QDate linkedDate = dateOf(linkedDateNode);
        if (date.isValid() && linkedDate.isValid() && date < linkedDate)
            report.refuse("00418", linkedDateNode,
                          QStringLiteral("Data del documento %1 antecedente alla data %2 della fattura collegata %3")
                              .arg(shownDate(date), shownDate(linkedDate), childText(linked, "IdDocumento")));
    }

    const xmlNode *numberNode = child(document, "Numero");
    const QString number = XmlNodes::text(numberNode);
    bool hasDigit = false;
    for (QChar c : number)
        hasDigit = hasDigit || c.isDigit();
    if (numberNode && !hasDigit)
        report.refuse("00425", numberNode, QStringLiteral("Numero del documento \"%1\" senza alcuna cifra").arg(number));

    if (childText(document, "TipoDocumento") == QLatin1String("TD21"))
        for (const xmlNode *summary : children(child(body, "DatiBeniServizi"), "DatiRiepilogo")) {
            const xmlNode *rateNode = child(summary, "AliquotaIVA");
            const auto rate = XmlNodes::number(rateNode);
            if (rate && rate->isZero())
                report.refuse("00474", rateNode,
                              QStringLiteral("TipoDocumento TD21 (autofattura per splafonamento) con un riepilogo ad AliquotaIVA %1: "
                                             "serve l'aliquota dell'imposta dovuta")
                                  .arg(XmlNodes::text(rateNode)));
        }
}

} // namespace Checks
