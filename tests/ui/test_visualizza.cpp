// "Visualizza" in the issued-invoice workspace and in the purchase list, through the real
// widgets: the current invoice's file shown as the revenue agency renders it, saved as
// PDF and printed from the viewer; a file that is missing or cannot be shown gives its
// Italian message and no window.
#include "fatturapa/crea_file_xml.h"
#include "data_module_fixture.h"
#include "ui/screens/elenco_carico/elenco_carico.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "gui_test.h"
#include "ui/screens/visualizza_fattura/visualizza_fattura.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

// Answers the modal windows that open while a click runs, in order: each step gets the
// active modal window of its expected class and acts on it (it must close it).
class ModalSteps {
public:
    using Step = std::function<void(QWidget *)>;
    template <typename Window>
    void then(std::function<void(Window *)> act)
    {
        m_steps.push_back([act](QWidget *w) -> bool {
            auto *window = qobject_cast<Window *>(w);
            if (!window)
                return false;
            act(window);
            return true;
        });
    }
    // Clicks `button` and answers the windows; returns how many steps ran.
    int click(QAbstractButton *button)
    {
        int done = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || done >= int(m_steps.size()) || !modal->isVisible())
                return;
            if (m_steps[size_t(done)](modal))
                ++done;
        });
        watch.start(20);
        QTest::mouseClick(button, Qt::LeftButton);
        return done;
    }

private:
    std::vector<std::function<bool(QWidget *)>> m_steps;
};

class Visualizza : public DataModuleTest {
protected:
    ExpectedBoxes boxes;
    QTemporaryDir company{QStringLiteral("/tmp/vis-XXXXXX")};
    QTemporaryDir received, output;

    void SetUp() override
    {
        ASSERT_TRUE(company.isValid() && received.isValid() && output.isValid());
        clearTables({"azienda", "testata", "dettaglio", "test_dati", "dati_acquisto", "test_car", "dett_car"});
        insert(QStringLiteral("azienda"),
               {{"rag_soc", "Alfa & Beta S.r.l."}, {"p_iva", "01234567890"}, {"cod_fis", "01234567890"},
                {"reg_fisc", "RF01"}, {"indirizzo", "Via Roma, 10/A"}, {"cap", "00184"}, {"comune", "Roma"},
                {"prov", "RM"}, {"nazione", "IT"}, {"uff_rea", "RM"}, {"num_rea", "1234567"}, {"capit_soc", "10000"},
                {"soc_uni", "SM"}, {"stato_liq", "LN"}, {"mail", "info@alfabeta.it"}, {"telefono", "0612345678"},
                {"path", company.path() + QLatin1Char('/')}, {"iban", "IT60X0542811101000000123456"}});
        refreshAll();
    }

    static void refreshAll()
    {
        for (DbTable *t : diz->tables())
            t->refresh();
        diz->AziendaT.first();
    }

    // An invoice with two lines, its file written by the writer.
    static int addWrittenInvoice()
    {
        const int id = insert(QStringLiteral("testata"),
                              {{"rag_soc", "Rossi Forniture S.p.A."}, {"indirizzo", "Corso Italia 5"}, {"comune", "Milano"},
                               {"cap", "20122"}, {"prov", "MI"}, {"nazione", "IT"}, {"p_iva", "09876543210"}, {"cod_fis", ""},
                               {"cod_dest", "ABC1234"}, {"pec", ""}, {"data_doc", "05/03/2026"}, {"num_doc", "12"},
                               {"tot_doc", "122,00"}, {"tipo_doc", "TD01"}, {"tipo_pag", "TP02"}, {"mod_pag", "MP05"},
                               {"n_rate", 0}, {"spese", "0,00"}, {"arrot", "0,00"}, {"spese2", "0,00"}, {"arrot2", "0,00"},
                               {"spese3", "0,00"}, {"arrot3", "0,00"}, {"aliquota", "22"}, {"imponibile", "100,00"},
                               {"imposta", "22,00"}, {"tot_omaggio", "0,00"}, {"sc_importo", "0,00"}, {"esig_iva", "I"}, {"esig_iva2", "I"}, {"esig_iva3", "I"}, {"sc_tipo", ""},
                               {"sc_perc", ""}, {"natura", ""}, {"inviata", 0}});
        int prog = 0;
        for (const char *d : {"Consulenza fiscale", "Revisione contratti"})
            insert(QStringLiteral("dettaglio"),
                   {{"id_invio", id}, {"prog", ++prog}, {"descrizione", d}, {"quantita", "1,00"}, {"um", "NR"},
                    {"prezzo_unit", "50,000"}, {"prezzo_tot", "50,000"}, {"aliquota", "22"}, {"sc_tipo", ""},
                    {"codice_tipo", ""}, {"ritenuta", ""}, {"natura", ""}, {"rif_amm", ""}, {"categoria", ""},
                    {"lotto", ""}, {"origine", ""}});
        refreshAll();
        EXPECT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
        CreaFileXml(*diz, QStringLiteral("A"));
        refreshAll();
        EXPECT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
        return id;
    }

    QString writtenPath() const { return company.path() + QLatin1Char('/') + diz->Testata.text(QStringLiteral("nome_file")); }

    static QString shown(TVisualizza_Fattura *v) { return v->documentView->toPlainText().simplified(); }
};

TEST_F(Visualizza, TheWorkspaceShowsTheWrittenFileSavesItAsPdfAndPrints)
{
    addWrittenInvoice();
    TElenco_Fatt window(*diz);
    window.setWindowTitle(QStringLiteral("A"));
    showActive(window);
    EXPECT_EQ(window.visualizzaButton->text(), QStringLiteral("Visualizza"));
    EXPECT_EQ(window.controlsInOrder().last(), window.visualizzaButton);

    const QString pdf = output.filePath(QStringLiteral("fattura.pdf"));
    QString text, title;
    ModalSteps steps;
    steps.then<TVisualizza_Fattura>([&](TVisualizza_Fattura *v) {
        text = shown(v);
        title = v->windowTitle();
        EXPECT_EQ(v->filePath(), writtenPath());
        EXPECT_FALSE(v->documentView->openLinks());
        QTimer::singleShot(0, v->salvaPdfButton, [v] { QTest::mouseClick(v->salvaPdfButton, Qt::LeftButton); });
    });
    steps.then<QFileDialog>([&](QFileDialog *d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("salvaPdfDialog"));
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        // The dialog lists its folders in the background; the name typed into its name box
        // is what it accepts, whatever the listing selects meanwhile.
        auto *name = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(pdf);
        static_cast<QDialog *>(d)->accept();
    });
    boxes.expectInform(QStringLiteral("PDF salvato: %1").arg(pdf));
    // Then "Stampa": the printer dialog, cancelled; then "Chiudi".
    steps.then<TVisualizza_Fattura>([&](TVisualizza_Fattura *v) {
        QTimer::singleShot(0, v->stampaButton, [v] { QTest::mouseClick(v->stampaButton, Qt::LeftButton); });
    });
    steps.then<QPrintDialog>([&](QPrintDialog *d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("stampaDialog"));
        d->reject();
    });
    steps.then<TVisualizza_Fattura>([&](TVisualizza_Fattura *v) { QTest::mouseClick(v->chiudiButton, Qt::LeftButton); });
    EXPECT_EQ(steps.click(window.visualizzaButton), 5);

    EXPECT_EQ(title, QStringLiteral("Fattura elettronica - ") + QFileInfo(writtenPath()).fileName());
    for (const char *phrase : {"Denominazione: Alfa & Beta S.r.l.", "Denominazione: Rossi Forniture S.p.A.", "Numero documento: 12",
                               "Data documento: 2026-03-05", "Descrizione bene/servizio: Consulenza fiscale",
                               "Descrizione bene/servizio: Revisione contratti", "Importo totale documento: 122.00"})
        EXPECT_TRUE(text.contains(QLatin1String(phrase))) << phrase << "\n" << text.toStdString();
    QFile saved(pdf);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("%PDF-"));
}

TEST_F(Visualizza, TheWorkspaceExplainsWhyThereIsNothingToShow)
{
    TElenco_Fatt window(*diz);
    window.setWindowTitle(QStringLiteral("A"));
    showActive(window);
    ModalSteps none;

    boxes.expectInform(QStringLiteral("Nessuna fattura selezionata"));
    EXPECT_EQ(none.click(window.visualizzaButton), 0);

    addWrittenInvoice();
    const QString path = writtenPath();
    ASSERT_TRUE(QFile::remove(path));
    boxes.expectInform(QStringLiteral("Impossibile visualizzare il file %1: file non trovato").arg(path));
    EXPECT_EQ(none.click(window.visualizzaButton), 0);

    // An invoice whose file has not been written yet, and a name that is not a bare file name.
    xml->sql().exec(QStringLiteral("UPDATE testata SET nome_file = NULL"));
    refreshAll();
    boxes.expectInform(QStringLiteral("File XML non ancora creato: usare \"Creazione File XML\" o \"XML P.A.\""));
    EXPECT_EQ(none.click(window.visualizzaButton), 0);
    xml->sql().exec(QStringLiteral("UPDATE testata SET nome_file = '../segreto.xml'"));
    refreshAll();
    boxes.expectInform(QStringLiteral("Nome del file non valido: ../segreto.xml"));
    EXPECT_EQ(none.click(window.visualizzaButton), 0);
    EXPECT_EQ(boxes.pending(), 0);
}

TEST_F(Visualizza, ThePurchaseListShowsTheLoadedFileOrSaysWhyItCannot)
{
    QFile::copy(QStringLiteral(XN_TEST_DATA_DIR "/IT01234567890_FPR01.xml"), received.filePath(QStringLiteral("IT01234567890_FPR01.xml")));
    insert(QStringLiteral("test_car"), {{"rag_soc", "SOCIETA' ALPHA SRL"}, {"num_doc", "123"}, {"nome_file", "IT01234567890_FPR01.xml"}});
    insert(QStringLiteral("test_car"), {{"rag_soc", "Gamma"}, {"num_doc", "9"}, {"nome_file", "IT09999999999_00009.xml"}});
    refreshAll();
    TElenco_Carico window(*diz);
    ServiceSettings settings;
    settings.received = received.path();
    window.setServiceSettings(settings);
    showActive(window);
    EXPECT_EQ(window.visualizzaButton->text(), QStringLiteral("Visualizza"));

    ASSERT_TRUE(diz->Testa_Car.locate(QStringLiteral("nome_file"), QStringLiteral("IT01234567890_FPR01.xml")));
    QString text;
    ModalSteps view;
    view.then<TVisualizza_Fattura>([&](TVisualizza_Fattura *v) {
        text = shown(v);
        QTest::mouseClick(v->chiudiButton, Qt::LeftButton);
    });
    EXPECT_EQ(view.click(window.visualizzaButton), 1);
    for (const char *phrase : {"Denominazione: SOCIETA' ALPHA SRL", "Denominazione: DITTA BETA", "Numero documento: 123",
                               "Data documento: 2014-12-18", "Descrizione bene/servizio: DESCRIZIONE DELLA FORNITURA", "Importo: 6.10"})
        EXPECT_TRUE(text.contains(QLatin1String(phrase))) << phrase;

    // The other invoice's file is not in the folder.
    ASSERT_TRUE(diz->Testa_Car.locate(QStringLiteral("nome_file"), QStringLiteral("IT09999999999_00009.xml")));
    boxes.expectInform(QStringLiteral("Impossibile visualizzare il file %1: file non trovato")
                           .arg(QDir::toNativeSeparators(received.filePath(QStringLiteral("IT09999999999_00009.xml")))));
    ModalSteps none;
    EXPECT_EQ(none.click(window.visualizzaButton), 0);
    EXPECT_EQ(boxes.pending(), 0);
}

} // namespace
