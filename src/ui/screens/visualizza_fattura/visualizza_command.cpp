#include "ui/screens/visualizza_fattura/visualizza_command.h"

#include "data/columns.h"
#include "data/diz.h"
#include "fatturapa/xml_forms.h"
#include "receiving/received_invoice.h"
#include "ui/kit/ui_messages.h"
#include "ui/screens/visualizza_fattura/visualizza_fattura.h"

#include <QDir>

namespace {

// The stored file name, refused when it is not a bare name (a name edited in place could
// point anywhere).
bool acceptedName(const QString &name)
{
    if (name.isEmpty()) {
        uiMessages().inform(QStringLiteral("Nessun file XML per questa fattura"));
        return false;
    }
    if (!isBareReceivedName(name)) {
        uiMessages().inform(QStringLiteral("Nome del file non valido: %1").arg(name));
        return false;
    }
    return true;
}

} // namespace

void visualizzaFatturaEmessa(TDiz &diz, QWidget *parent)
{
    if (diz.Testata.isEmpty()) {
        uiMessages().inform(QStringLiteral("Nessuna fattura selezionata"));
        return;
    }
    const QString name = diz.Testata.text(col::testata::nome_file).trimmed();
    if (name.isEmpty()) {
        uiMessages().inform(QStringLiteral("File XML non ancora creato: usare \"Creazione File XML\" o \"XML P.A.\""));
        return;
    }
    if (!acceptedName(name))
        return;
    // Where the writers put it: the company's folder, trimmed, with the name appended directly.
    visualizzaFatturaFile(XmlForms::trimmed(diz.AziendaT.text(col::azienda::path)) + name, parent);
}

void visualizzaFatturaRicevuta(TDiz &diz, const QString &receivedFolder, QWidget *parent)
{
    if (diz.Testa_Car.isEmpty()) {
        uiMessages().inform(QStringLiteral("Nessuna fattura selezionata"));
        return;
    }
    const QString name = diz.Testa_Car.text(col::test_car::nome_file);
    if (!acceptedName(name))
        return;
    visualizzaFatturaFile(QDir(receivedFolder).filePath(name), parent);
}
