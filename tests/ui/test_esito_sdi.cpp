// The exchange system's answers in the invoice workspace: the colours of the list, the
// legend, the panel "Esito SDI" with the answers of the current invoice, and a rejected
// invoice written again under a new name and handed over again.
#include "data_module_fixture.h"
#include "ui/kit/db_grid.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "ui/screens/elenco_fatt/esito_sdi_panel.h"
#include "fixture_check_warnings.h"
#include "gui_test.h"
#include "ui/screens/elenco_fatt/legend_panel.h"
#include "recording_opener.h"
#include "ui/screens/elenco_fatt/sdi_outcome_colours.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

const QColor Red(255, 0, 0);

class EsitoSdi : public DataModuleTest {
protected:
    ExpectedBoxes boxes;
    QTemporaryDir dir{QStringLiteral("/tmp/esito-XXXXXX")};
    std::unique_ptr<TElenco_Fatt> window;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (DbTable *t : diz->tables())
            t->cancel();
        clearTables({"azienda", "testata", "dettaglio", "notifiche_sdi"});
        insert(QStringLiteral("azienda"),
               {{"rag_soc", "Alfa Beta S.r.l."}, {"p_iva", "01234567890"}, {"cod_fis", "01234567890"}, {"reg_fisc", "RF01"},
                {"indirizzo", "Via Roma 10"}, {"cap", "00184"}, {"comune", "Roma"}, {"prov", "RM"}, {"nazione", "IT"},
                {"uff_rea", "RM"}, {"num_rea", "1234567"}, {"capit_soc", "10000"}, {"soc_uni", "SM"}, {"stato_liq", "LN"},
                {"mail", "info@alfabeta.it"}, {"telefono", "0612345678"}, {"path", dir.path() + QLatin1Char('/')},
                {"iban", "IT60X0542811101000000123456"}});
        for (DbTable *t : diz->tables())
            t->refresh();
        diz->AziendaT.first();
        window = std::make_unique<TElenco_Fatt>(*diz);
        window->setWindowTitle(QStringLiteral("A"));
    }
    void TearDown() override { window.reset(); }

    static int addInvoice(const Columns &overrides)
    {
        const Columns invoice{
            {"rag_soc", "Rossi Forniture S.p.A."}, {"indirizzo", "Corso Italia 5"}, {"comune", "Milano"}, {"cap", "20122"},
            {"prov", "MI"}, {"nazione", "IT"}, {"p_iva", "09876543210"}, {"cod_fis", ""}, {"cod_dest", "ABC1234"}, {"pec", ""},
            {"data_doc", "05/03/2026"}, {"num_doc", "12"}, {"tot_doc", "122,00"}, {"tipo_doc", "TD01"}, {"tipo_pag", "TP02"},
            {"mod_pag", "MP01"}, {"n_rate", 0}, {"spese", "0,00"}, {"arrot", "0,00"}, {"spese2", "0,00"}, {"arrot2", "0,00"},
            {"spese3", "0,00"}, {"arrot3", "0,00"}, {"aliquota", "22"}, {"imponibile", "100,00"}, {"imposta", "22,00"}, {"tot_omaggio", "0,00"},
            {"sc_importo", "0,00"},
            {"esig_iva", "I"}, {"esig_iva2", "I"}, {"esig_iva3", "I"}, {"sc_tipo", ""}, {"sc_perc", ""}, {"natura", ""},
            {"inviata", 0}};
        const int id = insert(QStringLiteral("testata"), merged(invoice, overrides));
        insert(QStringLiteral("dettaglio"),
               {{"id_invio", id}, {"prog", 1}, {"descrizione", "Consulenza"}, {"quantita", "1,00"}, {"um", "NR"},
                {"prezzo_unit", "100,000"}, {"prezzo_tot", "100,000"}, {"aliquota", "22"}, {"sc_tipo", ""}, {"codice_tipo", ""},
                {"ritenuta", ""}, {"natura", ""}, {"rif_amm", ""}, {"categoria", ""}, {"lotto", ""}, {"origine", ""}});
        return id;
    }
    static void addAnswer(int id, const char *file, const char *type, const QVariant &outcome = {}, const QVariant &errors = {},
                          const char *idSdi = "100")
    {
        static int messages = 0;
        insert(QStringLiteral("notifiche_sdi"),
               {{"id_invio", id}, {"nome_file", file}, {"tipo", type}, {"id_sdi", idSdi}, {"message_id", QString::number(++messages)},
                {"data_ora", "2026-12-10T10:15:00"}, {"esito", outcome}, {"errori", errors},
                {"file_messaggio", QStringLiteral("%1_%2_001.xml").arg(QString::fromUtf8(file).left(19), QLatin1String(type))}});
    }

    QColor rowColour(int row)
    {
        QApplication::processEvents();
        const QImage image = window->invoiceGrid->viewport()->grab().toImage();
        const QRect r = window->invoiceGrid->visualRect(window->invoiceGrid->model()->index(row, 8));
        return image.pixelColor(r.right() - 1, r.bottom() - 1);
    }
    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
};

TEST_F(EsitoSdi, TheListShowsEachInvoicesLatestAnswerInItsColourAndTheLegendExplainsThem)
{
    const int delivered = addInvoice({{"nome_file", "IT01234567890_00001.xml"}, {"inviata", 1}});
    const int rejected = addInvoice({{"nome_file", "IT01234567890_00002.xml"}, {"inviata", 0}});
    const int refused = addInvoice({{"nome_file", "IT01234567890_00003.xml"}, {"inviata", 1}});
    addInvoice({{"nome_file", "IT01234567890_00004.xml"}, {"inviata", 1}});  // sent, no answer yet
    const int resent = addInvoice({{"nome_file", "IT01234567890_A0005.xml"}, {"inviata", 1}});
    const int unsent = addInvoice({});
    addAnswer(delivered, "IT01234567890_00001.xml", "RC");
    addAnswer(rejected, "IT01234567890_00002.xml", "NS", {}, "00404 Fattura duplicata\n00423 Prezzo totale errato");
    addAnswer(refused, "IT01234567890_00003.xml", "RC");
    addAnswer(refused, "IT01234567890_00003.xml.p7m", "NE", "EC02", {}, "101");
    addAnswer(resent, "IT01234567890_00005.xml", "NS", {}, "00200 File non conforme");  // the earlier file's rejection
    Q_UNUSED(unsent);
    diz->Testata.refresh();
    showActive(*window);

    EXPECT_EQ(rowColour(0), Red);
    EXPECT_EQ(rowColour(1), SdiOutcomeColours::Rejected.background);
    EXPECT_EQ(rowColour(2), SdiOutcomeColours::Refused.background);
    EXPECT_EQ(rowColour(3), Red);
    EXPECT_EQ(rowColour(4), Red);
    const QColor normal = rowColour(5);
    EXPECT_NE(normal, Red);
    EXPECT_NE(normal, SdiOutcomeColours::Rejected.background);

    // An answer stored while the list is shown colours it at the next reading of the answers.
    addAnswer(resent, "IT01234567890_A0005.xml", "NS", {}, "00404 Fattura duplicata", "102");
    window->sdiColours->setInterval(100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowColour(4) == SdiOutcomeColours::Rejected.background; }, 3000));

    click(window->legendaButton);
    QStringList texts;
    for (QLabel *label : window->legendPanel->findChildren<QLabel *>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Arancione - Scartata da SDI: correggere e reinviare")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Viola - Rifiutata dalla P.A.")));
}

TEST_F(EsitoSdi, EsitoSdiListsTheCurrentInvoicesAnswersWithTheirErrorCodesAndDescriptions)
{
    const int id = addInvoice({{"nome_file", "IT01234567890_00002.xml"}, {"inviata", 0}});
    addAnswer(id, "IT01234567890_00002.xml", "NS", {}, "00404 Fattura duplicata\n00423 Prezzo totale errato");
    const int other = addInvoice({{"nome_file", "IT01234567890_00003.xml"}, {"inviata", 1}});
    diz->Testata.refresh();
    showActive(*window);
    ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));

    click(window->esitoSdiButton);
    EsitoSdiPanel *panel = window->esitoSdiPanel;
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->invoiceLabel->text().contains(QStringLiteral("SCARTATA da SDI"))) << panel->invoiceLabel->text().toStdString();
    ASSERT_EQ(panel->answersTable->rowCount(), 1);
    EXPECT_EQ(panel->answersTable->item(0, 1)->text(), QStringLiteral("NS - Notifica di scarto"));
    EXPECT_EQ(panel->answersTable->item(0, 2)->text(), QStringLiteral("IT01234567890_00002.xml"));
    EXPECT_EQ(panel->answersTable->item(0, 5)->text(),
              QStringLiteral("00404 - Fattura duplicata\n00423 - Prezzo totale errato"));
    click(panel->closeButton);
    EXPECT_FALSE(panel->isVisible());

    // Another invoice, with no answer.
    ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), other));
    click(window->esitoSdiButton);
    EXPECT_EQ(panel->answersTable->rowCount(), 0);
    EXPECT_TRUE(panel->invoiceLabel->text().contains(QStringLiteral("nessuna risposta"))) << panel->invoiceLabel->text().toStdString();

    // "Leggi messaggi" with no service listening says so in the panel.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        QFile ini(dir.filePath(QStringLiteral("servizio.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("port=%1\n").arg(port).toUtf8());
    }
    click(panel->leggiButton);
    QDir::setCurrent(previous);
    EXPECT_TRUE(panel->serviceLabel->text().contains(QStringLiteral("Il servizio locale non risponde"))) << panel->serviceLabel->text().toStdString();
}

TEST_F(EsitoSdi, ARejectedInvoiceIsWrittenAgainUnderANewNameAndHandedOverAgain)
{
    const int id = addInvoice({{"nome_file", "IT01234567890_00001.xml"}, {"inviata", 1}});
    diz->Testata.refresh();
    showActive(*window);
    ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
    RecordingOpener opener;
    // Sent: refused.
    boxes.expectInform(QStringLiteral("Fattura gia inviata"));
    click(window->invioSdiButton);
    EXPECT_TRUE(opener.addresses.isEmpty());

    // The rejection, stored by the service together with the flag taken back.
    addAnswer(id, "IT01234567890_00001.xml", "NS", {}, "00423 Prezzo totale errato");
    xml->sql().exec(QStringLiteral("UPDATE testata SET inviata = 0 WHERE id_invio = ?"), {id});
    diz->Testata.refresh();
    ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));

    // Corrected in place and written again: a new name, then handed over.
    diz->Testata.edit();
    diz->Testata.setText(QStringLiteral("num_doc"), QStringLiteral("12/B"));
    diz->Testata.post();
    boxes.expectInform(QStringLiteral("File XML scritto.\n\n") + fixtureCheckWarnings(QStringLiteral("p")));
    click(window->creaXmlButton);
    const QString renamed = QStringLiteral("IT01234567890_A%1.xml").arg(id, 4, 10, QLatin1Char('0'));
    EXPECT_EQ(diz->Testata.text(QStringLiteral("nome_file")), renamed);
    EXPECT_TRUE(QFile::exists(dir.filePath(renamed)));
    EXPECT_EQ(stored(QStringLiteral("SELECT num_doc FROM testata WHERE id_invio = ?"), {id}), QStringLiteral("12/B"));
    boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    click(window->invioSdiButton);
    ASSERT_EQ(opener.addresses.size(), 1);
    EXPECT_TRUE(opener.addresses[0].contains(QStringLiteral("nome_file=") + renamed)) << opener.addresses[0].toStdString();
    // The file written is no longer the rejected one: the row loses its rejection colour.
    window->sdiColours->refresh();
    EXPECT_NE(rowColour(0), SdiOutcomeColours::Rejected.background);
}

} // namespace
