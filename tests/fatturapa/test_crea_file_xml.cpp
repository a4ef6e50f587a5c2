// CreaFileXml: the FPR12 file of the current invoice, against the private test server.
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "fatturapa/fattura_body.h"
#include "fatturapa/fattura_header.h"
#include "data/text_forms.h"
#include "xml_writer_fixture.h"

#include <QFileInfo>

namespace {

using XmlTest::containsSequence;
using XmlTest::linesOf;
using XmlTest::readFile;

class CreaFileXmlTest : public XmlWriterTest {
protected:
    QStringList writeFpr(int id, const QString &caption = QStringLiteral("A")) { return write(CreaFileXml, id, caption); }

    // Invoice 42: rates 22 %, 10 % and an exempt bucket, a discounted, a marked-up and a
    // free-goods line, a note line, two linked-document groups, payment by bank transfer
    // in three instalments. The buckets and the total are those the totals leave.
    int addRealisticInvoice()
    {
        const int id = addInvoice({{"id_invio", 42},
                                   {"pec", "rossi.forniture@pec.it"},
                                   {"cod_fis", "09876543210"},
                                   {"tot_doc", "173,57"},
                                   {"spese", "5,00"},
                                   {"aliquota", "22"}, {"imponibile", "61,50"}, {"imposta", "13,97"}, {"tot_omaggio", "2,00"},
                                   {"aliquota2", "10"}, {"imponibile2", "70,00"}, {"imposta2", "7,00"}, {"tot_omaggio2", "0,00"},
                                   {"aliquota3", "0"}, {"imponibile3", "15,00"}, {"imposta3", "0,00"}, {"tot_omaggio3", "0,00"},
                                   {"natura3", "N4"}, {"mod_pag", "MP05"}, {"n_rate", 3},
                                   {"dest_soc", " Rossi Forniture - Magazzino "}, {"dest_indir", "Via Po, 3"}});
        addLine(id, {{"codice_tipo", "INTERNO"}, {"codice_val", "ART-001"}, {"descrizione", "Carta A4 80g - risma"},
                     {"quantita", "10,00"}, {"um", "PZ"}, {"prezzo_unit", "4,500"}, {"sc_tipo", "SC"},
                     {"sc_perc", "10,00"}, {"sc_importo", "4,50"}, {"prezzo_tot", "40,500"},
                     {"categoria", "CAN"}, {"lotto", "L2026-01"}, {"origine", "IT"}});
        addLine(id, {{"descrizione", "Trasporto urgente"}, {"prezzo_unit", "20,000"}, {"sc_tipo", "MG"},
                     {"sc_perc", "5,00"}, {"sc_importo", "1,00"}, {"prezzo_tot", "21,000"}});
        addLine(id, {{"codice_tipo", "EAN"}, {"codice_val", "8001234567890"}, {"descrizione", "Toner compatibile"},
                     {"quantita", "2,00"}, {"um", "PZ"}, {"prezzo_unit", "35,000"}, {"prezzo_tot", "70,000"},
                     {"aliquota", "10"}});
        addLine(id, {{"descrizione", "Omaggio: penna a sfera"}, {"prezzo_unit", "2,000"}, {"prezzo_tot", "2,000"},
                     {"tipo_cessione", "AB"}});
        addLine(id, {{"descrizione", "Assistenza esente art. 10"}, {"prezzo_unit", "15,000"}, {"prezzo_tot", "15,000"},
                     {"aliquota", "0"}, {"natura", "N4"}, {"rif_amm", "RIF-AMM-9"}});
        addLine(id, {{"descrizione", "Rif. Bolla DDT n. 57 del 12/01/2026"}, {"quantita", "0,00"}, {"um", ""},
                     {"prezzo_unit", "0,00"}, {"prezzo_tot", "0,00"}});
        addGroup(id, QStringLiteral("DatiContratto"),
                 {{{"n_linea", 3}, {"id_documento", "CTR 4/2026"}, {"data", "2/1/2026"}, {"numero", ""},
                   {"cod_comm", ""}, {"cup", ""}, {"cig", "Z0A1B2C3D4"}}});
        addGroup(id, QStringLiteral("DatiOrdineAcquisto"),
                 {{{"n_linea", 1}, {"id_documento", "ORD-2026/15"}, {"data", "10/02/2026"}, {"numero", "1"},
                   {"cod_comm", "COMM 7"}, {"cup", "J11B19000010007"}, {"cig", "1234567ABC"}},
                  {{"n_linea", 2}, {"id_documento", "ORD-2026/16"}, {"data", "11/02/2026"}, {"numero", "2"},
                   {"cod_comm", "COMM 7"}, {"cup", "J11B19000010007"}, {"cig", "1234567ABC"}}});
        return id;
    }
};

// Records the lines a writer produces, in place of the file.
struct RecordedLines : XmlLines {
    QStringList lines;
    void write(const QString &line) override { lines << line; }
};

// ---------------------------------------------------------------- whole files

TEST_F(CreaFileXmlTest, RealisticInvoiceMatchesTheGoldenFileByteForByteAndValidates)
{
    const int id = addRealisticInvoice();
    select(id);
    CreaFileXml(*diz, QStringLiteral("A"));

    EXPECT_EQ(storedFileName(id), QStringLiteral("IT01234567890_00042.xml"));
    const QByteArray written = readFile(writtenPath(id));
    const QByteArray golden = readFile(XmlTest::dataFile(QStringLiteral("IT01234567890_00042_FPR12.xml")));
    if (written != golden)
        dir->setAutoRemove(false); // kept for comparison
    EXPECT_EQ(written, golden) << "written file left in " << writtenPath(id).toStdString();
    EXPECT_FALSE(written.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("IT01234567890_00042.xml")}); // no temporary file left
}

TEST_F(CreaFileXmlTest, MinimalInvoicesOfEachKindValidate)
{
    // A credit note with a header discount, a buyer with a fiscal code and a certified
    // e-mail address, a single payment by bank transfer; a foreign buyer.
    const int credit = addInvoice({{"tipo_doc", "TD04"}, {"sc_tipo", "SC"}, {"sc_perc", "5,00"}, {"sc_importo", "5,00"}, {"tot_doc", "115,90"},
                                   {"cod_fis", "RSSMRA80A01H501U"}, {"pec", "rossi@pec.it"}, {"mod_pag", "MP05"},
                                   {"dest_soc", ""}, {"dest_indir", ""}, {"dest_comune", ""}});
    addLine(credit);
    writeFpr(credit);
    EXPECT_EQ(XmlTest::schemaErrors(writtenPath(credit)), QString());

    const int foreign = addInvoice({{"nazione", "ES"}, {"prov", ""}, {"cap", "28001"}, {"comune", "Madrid"},
                                    {"p_iva", "B12345678"}, {"cod_dest", "XXXXXXX"}, {"aliquota", "0"},
                                    {"imposta", "0,00"}, {"natura", "N3.1"}, {"tot_doc", "100,00"}});
    addLine(foreign, {{"aliquota", "0"}, {"natura", "N3.1"}});
    writeFpr(foreign);
    EXPECT_EQ(XmlTest::schemaErrors(writtenPath(foreign)), QString());
}

// ---------------------------------------------------------------- naming and storing

TEST_F(CreaFileXmlTest, StoresTheFileNameAndWritesTheProgressive)
{
    const struct {
        int key;
        const char *caption, *fileName;
    } cases[] = {
        {7, "A", "IT01234567890_00007.xml"},       {7, "a", "IT01234567890_P0007.xml"},
        {7, "A ", "IT01234567890_P0007.xml"},      {19998, "A", "IT01234567890_019998.xml"},
        {19999, "A", "IT01234567890_00001.xml"},   {20000, "Sede", "IT01234567890_P0002.xml"},
        {29997, "A", "IT01234567890_09999.xml"},   {29998, "A", "IT01234567890_010000.xml"},
    };
    for (const auto &c : cases) {
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        const int id = addInvoice({{"id_invio", c.key}});
        addLine(id);
        const QStringList lines = writeFpr(id, QString::fromUtf8(c.caption));
        const QString name = QString::fromUtf8(c.fileName);
        EXPECT_EQ(storedFileName(id), name) << c.key;
        EXPECT_TRUE(QFileInfo::exists(folder() + name)) << c.key;
        EXPECT_TRUE(lines.contains(QStringLiteral("<ProgressivoInvio>") + name.mid(14, name.size() - 18) + QStringLiteral("</ProgressivoInvio>")))
            << c.key;
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    }
}

TEST_F(CreaFileXmlTest, FolderIsTrimmedAndTakenAsAPrefixOfTheName)
{
    setCompany({{"path", QStringLiteral("  ") + folder() + QStringLiteral("  ")}});
    const int id = addInvoice({{"id_invio", 42}});
    addLine(id);
    writeFpr(id);
    EXPECT_TRUE(QFileInfo::exists(folder() + QStringLiteral("IT01234567890_00042.xml")));

    // Without the final separator the file lands beside the folder.
    QDir(dir->path()).mkdir(QStringLiteral("out"));
    setCompany({{"path", folder() + QStringLiteral("out")}});
    select(id);
    CreaFileXml(*diz, QStringLiteral("A"));
    EXPECT_TRUE(QFileInfo::exists(folder() + QStringLiteral("outIT01234567890_00042.xml")));
    EXPECT_TRUE(QDir(folder() + QStringLiteral("out")).isEmpty());
}

TEST_F(CreaFileXmlTest, RunningAgainOverwritesTheFileAndLeavesTheWalkedTablesWhereTheyWere)
{
    const int id = addRealisticInvoice();
    writeFpr(id);
    const QByteArray first = readFile(writtenPath(id));
    // The walk does not move what the screens show: the first line, group and document
    // stay current, as select() left them.
    EXPECT_EQ(diz->Detta.currentIndex(), 0);
    EXPECT_FALSE(diz->Detta.eof());
    EXPECT_EQ(diz->ContrattoT.currentIndex(), 0);
    EXPECT_EQ(diz->ContrattoD.currentIndex(), 0);

    db->sql().exec(QStringLiteral("UPDATE testata SET num_doc = '13' WHERE id_invio = ?"), {id});
    const QStringList again = writeFpr(id);
    EXPECT_TRUE(again.contains(QStringLiteral("<Numero>13</Numero>")));
    EXPECT_EQ(filesInFolder().size(), 1);
    EXPECT_NE(readFile(writtenPath(id)), first);
}

// ---------------------------------------------------------------- header conditions

TEST_F(CreaFileXmlTest, HeaderLinesFollowTheStoredData)
{
    const struct {
        const char *what;
        Columns company, invoice;
        QStringList present, absent;
    } cases[] = {
        {"no recipient code, no certified mail", {}, {{"cod_dest", ""}, {"pec", ""}},
         {"<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<CodiceDestinatario>0000000</CodiceDestinatario>",
          "<ContattiTrasmittente>"},
         {"<PECDestinatario>"}},
        {"both: code before the contacts, certified mail after", {}, {{"cod_dest", "0000000"}, {"pec", "a@pec.it"}},
         {"<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<CodiceDestinatario>0000000</CodiceDestinatario>",
          "<ContattiTrasmittente>", "<Telefono>0612345678</Telefono>", "<Email>info@alfabeta.it</Email>",
          "</ContattiTrasmittente>", "<PECDestinatario>a@pec.it</PECDestinatario>", "</DatiTrasmissione>"},
         {}},
        // Blanks only would fail the schema's pattern: such a code counts as none.
        {"a blank recipient code counts as none", {}, {{"cod_dest", " "}},
         {"<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<CodiceDestinatario>0000000</CodiceDestinatario>"},
         {"<CodiceDestinatario> </CodiceDestinatario>"}},
        {"company without telephone", {{"telefono", ""}}, {}, {"<Telefono></Telefono>"}, {}},
        {"private buyer", {}, {{"p_iva", ""}, {"cod_fis", "RSSMRA80A01H501U"}},
         {"<CessionarioCommittente>", "<DatiAnagrafici>", "<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>", "<Anagrafica>"},
         {"<IdCodice></IdCodice>"}},
        {"buyer's country in both places", {}, {{"nazione", "FR"}, {"prov", ""}},
         {"<IdPaese>FR</IdPaese>", "<IdCodice>09876543210</IdCodice>", "</IdFiscaleIVA>", "<Anagrafica>"},
         {}},
        {"buyer without province", {}, {{"prov", ""}},
         {"<Comune>Milano</Comune>", "<Nazione>IT</Nazione>", "</Sede>", "</CessionarioCommittente>"}, {}},
        {"company without province", {{"prov", ""}}, {},
         {"<Comune>Roma</Comune>", "<Nazione>IT</Nazione>", "</Sede>", "<IscrizioneREA>"}, {}},
        {"company without fiscal code", {{"cod_fis", ""}}, {},
         {"<IdTrasmittente>", "<IdPaese>IT</IdPaese>", "<IdCodice></IdCodice>", "</IdTrasmittente>", "...",
          "<IdCodice>01234567890</IdCodice>", "</IdFiscaleIVA>", "<Anagrafica>"},
         {"<CodiceFiscale>"}},
        {"names, addresses and towns escaped", {{"rag_soc", "Alfa & Beta S.r.l."}, {"comune", "Reggio-Emilia"}},
         {{"rag_soc", "R&D - 10°"}, {"indirizzo", "Via <Nuova> 1/B"}},
         {"<Denominazione>Alfa &#38; Beta S.r.l.</Denominazione>", "...", "<Comune>Reggio&#45;Emilia</Comune>", "...",
          "<Denominazione>R&#38;D &#45; 10&#176;</Denominazione>", "...", "<Indirizzo>Via &#60;Nuova&#62; 1&#47;B</Indirizzo>"},
         {}},
        {"other texts as stored, markup escaped", {{"mail", "a-b@x.it"}}, {{"p_iva", "A&B<1>"}},
         {"<Email>a-b@x.it</Email>", "...", "<IdCodice>A&#38;B&#60;1&#62;</IdCodice>"}, {}},
        {"share capital as an amount", {{"capit_soc", "1.500,5"}}, {}, {"<CapitaleSociale>1500.50</CapitaleSociale>"}, {}},
        {"company without REA data", {{"uff_rea", ""}, {"num_rea", ""}, {"soc_uni", ""}, {"stato_liq", ""}}, {},
         {"<IscrizioneREA>", "<Ufficio></Ufficio>", "<NumeroREA></NumeroREA>", "<CapitaleSociale>10000.00</CapitaleSociale>",
          "<SocioUnico></SocioUnico>", "<StatoLiquidazione></StatoLiquidazione>", "</IscrizioneREA>"},
         {}},
        {"the fixed tax regime", {{"reg_fisc", "RF19"}}, {}, {"<RegimeFiscale>RF01</RegimeFiscale>"}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        setCompany(c.company);
        const int id = addInvoice(c.invoice);
        addLine(id);
        const QStringList lines = writeFpr(id);
        EXPECT_TRUE(containsSequence(lines, c.present)) << lines.join(u'\n').toStdString();
        for (const QString &tag : c.absent)
            EXPECT_FALSE(lines.join(u'\n').contains(tag)) << tag.toStdString();
    }
}

// ---------------------------------------------------------------- body conditions

TEST_F(CreaFileXmlTest, GeneralDataFollowTheStoredData)
{
    const struct {
        const char *what;
        Columns invoice;
        QStringList present, absent;
        Columns secondLine{};  // besides one line of lineColumns(); none when empty
    } cases[] = {
        {"date and number", {{"data_doc", "01/12/2026"}, {"num_doc", "A/7"}},
         {"<TipoDocumento>TD01</TipoDocumento>", "<Divisa>EUR</Divisa>", "<Data>2026-12-01</Data>", "<Numero>A/7</Numero>",
          "<ImportoTotaleDocumento>122.00</ImportoTotaleDocumento>"},
         {"<ScontoMaggiorazione>"}},
        {"discount of 0", {{"sc_tipo", "SC"}, {"sc_perc", "0"}}, {}, {"<ScontoMaggiorazione>"}},
        {"discount of 0,00", {{"sc_tipo", "SC"}, {"sc_perc", "0,00"}}, {}, {"<ScontoMaggiorazione>"}},
        {"discount of 5 with two decimals", {{"sc_tipo", "SC"}, {"sc_perc", "5"}},
         {"<Numero>12</Numero>", "<ScontoMaggiorazione>", "<Tipo>SC</Tipo>", "<Percentuale>5.00</Percentuale>",
          "</ScontoMaggiorazione>", "<ImportoTotaleDocumento>115.90</ImportoTotaleDocumento>"},
         {"<Importo>"}},
        {"surcharge with decimals", {{"sc_tipo", "MG"}, {"sc_perc", "7,5"}},
         {"<Tipo>MG</Tipo>", "<Percentuale>7.50</Percentuale>"}, {}},
        {"negative total", {{"tipo_doc", "TD04"}},
         {"<TipoDocumento>TD04</TipoDocumento>", "...", "<ImportoTotaleDocumento>-5.00</ImportoTotaleDocumento>"}, {},
         {{"prezzo_tot", "-127,000"}, {"aliquota", "10"}}},
        {"reason from the trimmed delivery data, escaped",
         {{"dest_soc", "  Rossi & Figli "}, {"dest_indir", "Via Po 3/B"}, {"dest_comune", " Monza"}},
         {"<Causale>Consegna Sede: Rossi &#38; Figli Via Po 3&#47;B Monza</Causale>", "</DatiGeneraliDocumento>"}, {}},
        {"reason without delivery data", {{"dest_soc", ""}, {"dest_indir", QVariant()}, {"dest_comune", ""}},
         {"<Causale>Consegna Sede:   </Causale>"}, {}},
        {"no groups", {}, {"</DatiGeneraliDocumento>", "</DatiGenerali>", "<DatiBeniServizi>"}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice(c.invoice);
        addLine(id);
        if (!c.secondLine.isEmpty())
            addLine(id, c.secondLine);
        storeTotals(id);
        const QStringList lines = writeFpr(id);
        EXPECT_TRUE(containsSequence(lines, c.present)) << lines.join(u'\n').toStdString();
        const QString generalData = lines.mid(0, lines.indexOf(QStringLiteral("</DatiGenerali>"))).join(u'\n');
        for (const QString &tag : c.absent)
            EXPECT_FALSE(generalData.contains(tag)) << tag.toStdString();
    }
}

TEST_F(CreaFileXmlTest, EachLinkedDocumentIsOneElementInTheSchemasOrderOfKinds)
{
    const int id = addInvoice();
    addLine(id);
    addGroup(id, QStringLiteral("DatiFattureCollegate"), {});   // no rows: nothing written
    addGroup(id, QStringLiteral("DatiContratto"),
             {{{"n_linea", 1}, {"id_documento", "CTR9"}, {"data", "01/01/2026"}, {"numero", ""}, {"cod_comm", ""},
               {"cup", ""}, {"cig", ""}}});
    addGroup(id, QStringLiteral("DatiOrdineAcquisto"),
             {{{"n_linea", 1}, {"id_documento", "ORD1"}, {"data", "10/02/2026"}, {"numero", "3"}, {"cod_comm", "C&1"},
               {"cup", "CUP1"}, {"cig", "CIG1"}},
              {{"n_linea", 2}, {"id_documento", "ORD2"}, {"data", "11/02/2026"}, {"numero", ""}, {"cod_comm", ""},
               {"cup", ""}, {"cig", ""}}});

    const QStringList lines = writeFpr(id);
    EXPECT_TRUE(containsSequence(
        lines, {"</DatiGeneraliDocumento>", "<DatiOrdineAcquisto>", "<RiferimentoNumeroLinea>1</RiferimentoNumeroLinea>",
                "<IdDocumento>ORD1</IdDocumento>", "<Data>2026-02-10</Data>", "<NumItem>3</NumItem>",
                "<CodiceCommessaConvenzione>C&#38;1</CodiceCommessaConvenzione>", "<CodiceCUP>CUP1</CodiceCUP>",
                "<CodiceCIG>CIG1</CodiceCIG>", "</DatiOrdineAcquisto>", "<DatiOrdineAcquisto>",
                "<RiferimentoNumeroLinea>2</RiferimentoNumeroLinea>", "<IdDocumento>ORD2</IdDocumento>",
                "<Data>2026-02-11</Data>", "</DatiOrdineAcquisto>", "<DatiContratto>",
                "<RiferimentoNumeroLinea>1</RiferimentoNumeroLinea>", "<IdDocumento>CTR9</IdDocumento>",
                "<Data>2026-01-01</Data>", "</DatiContratto>", "</DatiGenerali>"}))
        << lines.join(u'\n').toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("<DatiFattureCollegate>")));
}

TEST_F(CreaFileXmlTest, UnknownLinkedDocumentKindStopsTheWriter)
{
    const int id = addInvoice();
    addLine(id);
    addGroup(id, QStringLiteral("Dati <Ordine>"),
             {{{"n_linea", 1}, {"id_documento", "X"}, {"data", "01/01/2026"}, {"numero", ""}, {"cod_comm", ""},
               {"cup", ""}, {"cig", ""}}});
    select(id);
    try {
        CreaFileXml(*diz, QStringLiteral("A"));
        FAIL() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Tipo di documento collegato non valido: 'Dati <Ordine>'"));
    }
    EXPECT_FALSE(QFileInfo::exists(writtenPath(id)));
}

TEST_F(CreaFileXmlTest, LineElementsFollowTheStoredLine)
{
    const struct {
        const char *what;
        Columns line;
        QStringList present, absent;
        // A line that counts in the totals follows a line that does not: an invoice none
        // of whose lines counts has no VAT summary, and no file.
        bool countedLineAfter = false;
    } cases[] = {
        {"plain line", {},
         {"<DettaglioLinee>", "<NumeroLinea>1</NumeroLinea>", "<Descrizione>Consulenza</Descrizione>",
          "<Quantita>1.00</Quantita>", "<UnitaMisura>NR</UnitaMisura>", "<PrezzoUnitario>100.0000</PrezzoUnitario>",
          "<PrezzoTotale>100.0000</PrezzoTotale>", "<AliquotaIVA>22.00</AliquotaIVA>", "</DettaglioLinee>"},
         {"<TipoCessionePrestazione>", "<CodiceArticolo>", "<ScontoMaggiorazione>", "<Ritenuta>", "<Natura>",
          "<RiferimentoAmministrazione>", "<AltriDatiGestionali>"}},
        {"quantity 0", {{"quantita", "0"}, {"prezzo_unit", "12,5"}, {"prezzo_tot", "0"}},
         {"<Descrizione>Consulenza</Descrizione>", "<UnitaMisura>NR</UnitaMisura>",
          "<PrezzoUnitario>12.5000</PrezzoUnitario>", "<PrezzoTotale>0.0000</PrezzoTotale>"},
         {"<Quantita>"}, true},
        {"quantity that rounds to 0", {{"quantita", "0,004"}}, {}, {"<Quantita>"}},
        {"no unit", {{"um", ""}}, {"<Quantita>1.00</Quantita>", "<PrezzoUnitario>100.0000</PrezzoUnitario>"}, {"<UnitaMisura>"}},
        {"article code", {{"codice_tipo", "EAN"}, {"codice_val", "800-1"}},
         {"<NumeroLinea>1</NumeroLinea>", "<CodiceArticolo>", "<CodiceTipo>EAN</CodiceTipo>",
          "<CodiceValore>800-1</CodiceValore>", "</CodiceArticolo>", "<Descrizione>Consulenza</Descrizione>"},
         {}},
        {"code value without code type", {{"codice_val", "800-1"}}, {}, {"<CodiceArticolo>"}},
        {"discount: cession type SC and both values as stored", {{"sc_tipo", "SC"}, {"sc_perc", "10,5"}, {"sc_importo", "10,5"}},
         {"<NumeroLinea>1</NumeroLinea>", "<TipoCessionePrestazione>SC</TipoCessionePrestazione>",
          "<Descrizione>Consulenza</Descrizione>", "<Quantita>1.00</Quantita>", "<UnitaMisura>NR</UnitaMisura>",
          "<PrezzoUnitario>100.0000</PrezzoUnitario>", "<ScontoMaggiorazione>", "<Tipo>SC</Tipo>",
          "<Percentuale>10.50</Percentuale>", "<Importo>10.50</Importo>", "</ScontoMaggiorazione>",
          "<PrezzoTotale>100.0000</PrezzoTotale>"},
         {}},
        {"surcharge without its values", {{"sc_tipo", "MG"}, {"sc_perc", ""}, {"sc_importo", QVariant()}},
         {"<TipoCessionePrestazione>SC</TipoCessionePrestazione>", "...", "<PrezzoUnitario>100.0000</PrezzoUnitario>",
          "<PrezzoTotale>100.0000</PrezzoTotale>"},
         {"<ScontoMaggiorazione>", "<Percentuale>", "<Importo>"}},
        {"free goods written as stored", {{"tipo_cessione", "AB"}}, {"<NumeroLinea>1</NumeroLinea>", "<Descrizione>Consulenza</Descrizione>"},
         {"<TipoCessionePrestazione>"}},
        {"withholding, nature, administration reference",
         {{"ritenuta", "SI"}, {"natura", "N2.2"}, {"aliquota", "0"}, {"rif_amm", "R-1"}},
         {"<AliquotaIVA>0.00</AliquotaIVA>", "<Ritenuta>SI</Ritenuta>", "<Natura>N2.2</Natura>",
          "<RiferimentoAmministrazione>R-1</RiferimentoAmministrazione>", "</DettaglioLinee>"},
         {}},
        {"other management data, untrimmed", {{"categoria", " A "}, {"lotto", "L1"}, {"origine", "IT"}},
         {"<AltriDatiGestionali>", "<TipoDato>Categoria</TipoDato>", "<RiferimentoTesto> A </RiferimentoTesto>",
          "</AltriDatiGestionali>", "<AltriDatiGestionali>", "<TipoDato>Lotto</TipoDato>",
          "<RiferimentoTesto>L1</RiferimentoTesto>", "</AltriDatiGestionali>", "<AltriDatiGestionali>",
          "<TipoDato>Origine</TipoDato>", "<RiferimentoTesto>IT</RiferimentoTesto>", "</AltriDatiGestionali>",
          "</DettaglioLinee>"},
         {}},
        {"blank category", {{"categoria", "   "}, {"lotto", "\t"}}, {}, {"<AltriDatiGestionali>"}},
        {"imported line with missing columns", {{"codice_tipo", QVariant()}, {"ritenuta", QVariant()}, {"rif_amm", QVariant()},
                                                {"natura", QVariant()}, {"sc_tipo", QVariant()}, {"categoria", QVariant()}},
         {"<NumeroLinea>1</NumeroLinea>", "<Descrizione>Consulenza</Descrizione>"}, {"<CodiceArticolo>", "<Ritenuta>"}},
        {"description escaped, prices rounded",
         {{"descrizione", "Vite M6 - 10° \"inox\""}, {"prezzo_unit", "1.234,56789"}, {"aliquota", "5,5"}},
         {"<Descrizione>Vite M6 &#45; 10&#176; &#34;inox&#34;</Descrizione>", "<Quantita>1.00</Quantita>",
          "<UnitaMisura>NR</UnitaMisura>", "<PrezzoUnitario>1234.5679</PrezzoUnitario>",
          "<PrezzoTotale>100.0000</PrezzoTotale>", "<AliquotaIVA>5.50</AliquotaIVA>"},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice();
        addLine(id, c.line);
        if (c.countedLineAfter)
            addLine(id);
        storeTotals(id);
        const QStringList lines = writeFpr(id);
        EXPECT_TRUE(containsSequence(lines, c.present)) << lines.join(u'\n').toStdString();
        // The first line's elements.
        const qsizetype from = lines.indexOf(QStringLiteral("<DatiBeniServizi>"));
        const QString lineText = lines.mid(from, lines.indexOf(QStringLiteral("</DettaglioLinee>")) - from).join(u'\n');
        for (const QString &tag : c.absent)
            EXPECT_FALSE(lineText.contains(tag)) << tag.toStdString();
    }
}

TEST_F(CreaFileXmlTest, LinesAreNumberedInTableOrderWhateverTheirProg)
{
    const int id = addInvoice();
    addLine(id, {{"prog", 5}, {"descrizione", "prima"}});
    addLine(id, {{"prog", 1}, {"descrizione", "seconda"}});
    addLine(id, {{"prog", QVariant()}, {"descrizione", "terza"}});
    storeTotals(id);
    const QStringList lines = writeFpr(id);
    EXPECT_TRUE(containsSequence(lines, {"<DatiBeniServizi>", "<DettaglioLinee>", "<NumeroLinea>1</NumeroLinea>",
                                         "<Descrizione>prima</Descrizione>"}));
    EXPECT_TRUE(containsSequence(lines, {"<NumeroLinea>2</NumeroLinea>", "<Descrizione>seconda</Descrizione>"}));
    EXPECT_TRUE(containsSequence(lines, {"<NumeroLinea>3</NumeroLinea>", "<Descrizione>terza</Descrizione>"}));
}

TEST_F(CreaFileXmlTest, VatSummaryFollowsTheBuckets)
{
    const struct {
        const char *what;
        Columns invoice;
        QStringList present, absent;
        Columns firstLine{};         // over lineColumns()
        QList<Columns> moreLines{};  // after the first line
    } cases[] = {
        {"bucket 1 only, VAT due as stored", {{"esig_iva", "D"}},
         {"</DettaglioLinee>", "<DatiRiepilogo>", "<AliquotaIVA>22.00</AliquotaIVA>",
          "<ImponibileImporto>100.00</ImponibileImporto>", "<Imposta>22.00</Imposta>",
          "<EsigibilitaIVA>D</EsigibilitaIVA>", "</DatiRiepilogo>", "</DatiBeniServizi>"},
         {"<Natura>", "<SpeseAccessorie>", "<Arrotondamento>"}},
        {"nature N3: no VAT due", {{"natura", "N3"}},
         {"<AliquotaIVA>0.00</AliquotaIVA>", "<Natura>N3</Natura>", "<ImponibileImporto>100.00</ImponibileImporto>",
          "<Imposta>0.00</Imposta>", "</DatiRiepilogo>"},
         {"<EsigibilitaIVA>"},
         {{"aliquota", "0"}}},
        {"blank nature: written, and VAT due too", {{"natura", " "}},
         {"<Natura> </Natura>", "<ImponibileImporto>100.00</ImponibileImporto>", "<Imposta>22.00</Imposta>",
          "<EsigibilitaIVA>I</EsigibilitaIVA>"},
         {}},
        {"expenses and rounding above 0", {{"spese", "2,5"}, {"arrot", "0,01"}},
         {"<AliquotaIVA>22.00</AliquotaIVA>", "<SpeseAccessorie>2.50</SpeseAccessorie>",
          "<Arrotondamento>0.01</Arrotondamento>", "<ImponibileImporto>100.00</ImponibileImporto>"},
         {}},
        {"negative rounding not written", {{"arrot", "-0,01"}, {"spese", "-3"}}, {}, {"<SpeseAccessorie>", "<Arrotondamento>"}},
        {"four buckets", {{"esig_iva2", "S"}, {"spese2", "1,00"}, {"natura3", ""}, {"arrot3", "0,02"},
                          {"esig_iva4", "I"}, {"natura4", ""}},
         {"<EsigibilitaIVA>I</EsigibilitaIVA>", "</DatiRiepilogo>", "<DatiRiepilogo>", "<AliquotaIVA>10.00</AliquotaIVA>",
          "<SpeseAccessorie>1.00</SpeseAccessorie>", "<ImponibileImporto>50.00</ImponibileImporto>",
          "<Imposta>5.00</Imposta>", "<EsigibilitaIVA>S</EsigibilitaIVA>", "</DatiRiepilogo>", "<DatiRiepilogo>",
          "<AliquotaIVA>4.00</AliquotaIVA>", "<Arrotondamento>0.02</Arrotondamento>",
          "<ImponibileImporto>25.00</ImponibileImporto>", "<Imposta>1.00</Imposta>", "<EsigibilitaIVA>I</EsigibilitaIVA>",
          "</DatiRiepilogo>", "<DatiRiepilogo>", "<AliquotaIVA>5.00</AliquotaIVA>",
          "<ImponibileImporto>10.00</ImponibileImporto>", "<Imposta>0.50</Imposta>", "<EsigibilitaIVA>I</EsigibilitaIVA>",
          "</DatiRiepilogo>", "</DatiBeniServizi>"},
         {},
         {},
         {{{"prezzo_tot", "50,000"}, {"aliquota", "10"}}, {{"prezzo_tot", "25,000"}, {"aliquota", "4"}},
          {{"prezzo_tot", "10,000"}, {"aliquota", "5"}}}},
        // Bucket 2 has its rate but nothing taxable: a line of 0,00 took it.
        {"bucket 3 without bucket 2", {},
         {"<Imposta>22.00</Imposta>", "<EsigibilitaIVA>I</EsigibilitaIVA>", "</DatiRiepilogo>", "<DatiRiepilogo>",
          "<AliquotaIVA>4.00</AliquotaIVA>", "...", "</DatiRiepilogo>", "</DatiBeniServizi>"},
         {"<AliquotaIVA>10.00</AliquotaIVA>"},
         {},
         {{{"prezzo_tot", "0,000"}, {"aliquota", "10"}}, {{"prezzo_tot", "25,000"}, {"aliquota", "4"}}}},
        // Bucket 2 has a rate and a nature but nothing taxable; buckets 3 and 4 are unused.
        {"empty buckets 2 to 4 are left out, whatever their other columns",
         {{"natura2", "N3"}, {"natura4", "N1"}}, {"</DatiRiepilogo>", "</DatiBeniServizi>"}, {}, {},
         {{{"prezzo_tot", "0,000"}, {"aliquota", "10"}}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice(c.invoice);
        addLine(id, c.firstLine);
        for (const Columns &line : c.moreLines)
            addLine(id, line);
        storeTotals(id);
        const QStringList lines = writeFpr(id);
        EXPECT_TRUE(containsSequence(lines, c.present)) << lines.join(u'\n').toStdString();
        const QString summary = lines.mid(lines.indexOf(QStringLiteral("<DatiRiepilogo>"))).join(u'\n');
        for (const QString &tag : c.absent)
            EXPECT_FALSE(summary.contains(tag)) << tag.toStdString();
        if (QByteArray(c.what).startsWith("empty buckets")) {
            EXPECT_EQ(lines.count(QStringLiteral("<DatiRiepilogo>")), 1);
        }
    }
}

TEST_F(CreaFileXmlTest, InvoiceWithoutLinesGoesStraightToTheSummary)
{
    // The body as written from the held rows: a run refuses this invoice, whose stored
    // totals are not those of no lines.
    addInvoice();
    RecordedLines recorded;
    const FatturaHeader header = readFatturaHeader(*diz, QStringLiteral("A"), XmlFormat::FPR12);
    writeFatturaHeader(recorded, header, XmlFormat::FPR12);
    writeFatturaBody(recorded, *diz, header, XmlFormat::FPR12);
    EXPECT_TRUE(containsSequence(recorded.lines, {"</DatiGenerali>", "<DatiBeniServizi>", "<DatiRiepilogo>"}));
}

TEST_F(CreaFileXmlTest, PaymentFollowsTheMethodAndInstalments)
{
    const struct {
        const char *method;
        QVariant instalments;
        const char *total;  // what the totals give: expenses of total - 1 and one line of 1,00 at 0 %
        int details;
        const char *amount;
    } cases[] = {
        {"MP01", 0, "100,00", -1, ""},        // no DatiPagamento at all
        {"mp05", 0, "100,00", -1, ""},        // compared exactly
        {"", 3, "100,00", -1, ""},
        {"MP05", 0, "100,00", 1, "100.00"},
        {"MP05", 0, "1.234,5", 1, "1234.50"},
        {"MP05", 1, "99,99", 1, "99.99"},
        {"MP05", 3, "100,00", 3, "33.33"},
        {"MP05", 2, "100,01", 2, "50.01"},    // 50.005 rounds up
        {"MP05", 2, "300000,02", 2, "150000.01"},
        {"MP05", 3, "-100,00", 3, "-33.33"},
        {"MP05", 2, "-0,01", 2, "-0.01"},     // halves away from zero
        {"MP05", 6, "60,00", 6, "10.00"},     // more instalments than due dates
        {"MP05", -1, "100,00", 1, "100.00"},  // a negative number: one payment, as with 0
        {"MP05", QVariant(), "100,00", 1, "100.00"}, // never filled in: one payment
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.instalments.toString().toStdString() + " " + c.total);
        const Decimal expenses = TextForms::readLocale(QString::fromLatin1(c.total)) - Decimal(1);
        const int id = addInvoice({{"mod_pag", c.method}, {"n_rate", c.instalments},
                                   {"spese", TextForms::formatMask(expenses, TextForms::Mask2)}});
        addLine(id, {{"prezzo_tot", "1,000"}, {"aliquota", "0"}});
        storeTotals(id);
        const QStringList lines = writeFpr(id);
        if (c.details < 0) {
            EXPECT_FALSE(lines.contains(QStringLiteral("<DatiPagamento>")));
            EXPECT_TRUE(containsSequence(lines, {"</DatiBeniServizi>", "</FatturaElettronicaBody>", "</p:FatturaElettronica>"}));
            continue;
        }
        QStringList expected{"</DatiBeniServizi>", "<DatiPagamento>", "<CondizioniPagamento>TP02</CondizioniPagamento>"};
        for (int i = 0; i < c.details; ++i)
            expected << "<DettaglioPagamento>" << "<Beneficiario>Alfa &#38; Beta S.r.l.</Beneficiario>"
                     << "<ModalitaPagamento>MP05</ModalitaPagamento>"
                     << QStringLiteral("<ImportoPagamento>%1</ImportoPagamento>").arg(QLatin1String(c.amount))
                     << "<IBAN>IT60X0542811101000000123456</IBAN>" << "</DettaglioPagamento>";
        expected << "</DatiPagamento>" << "</FatturaElettronicaBody>" << "</p:FatturaElettronica>";
        EXPECT_TRUE(containsSequence(lines, expected)) << lines.join(u'\n').toStdString();
        EXPECT_EQ(lines.count(QStringLiteral("<DettaglioPagamento>")), c.details);
    }
}

// ---------------------------------------------------------------- failures

TEST_F(CreaFileXmlTest, MissingFolderFailsAndKeepsTheEarlierName)
{
    setCompany({{"path", folder() + QStringLiteral("missing/")}});
    const int id = addInvoice({{"id_invio", 42}, {"nome_file", "old.xml"}});
    addLine(id);
    EXPECT_APP_ERROR(CreaFileXml(*diz, QStringLiteral("A")), AppError, "Invalid filename");
    EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
    EXPECT_TRUE(filesInFolder().isEmpty());
}

TEST_F(CreaFileXmlTest, FailuresWhileReadingTheHeaderChangeNothing)
{
    const struct {
        const char *what;
        Columns company, invoice;
        const char *message;
    } cases[] = {
        {"invalid document date", {}, {{"data_doc", "31/02/2026"}}, "'31/02/2026' is not a valid date"},
        {"empty document date", {}, {{"data_doc", ""}}, "'' is not a valid date"},
        {"missing document date", {}, {{"data_doc", QVariant()}}, "'' is not a valid date"},
        {"empty share capital", {{"capit_soc", ""}}, {}, "'' is not a valid floating point value"},
        {"share capital not a number", {{"capit_soc", "diecimila"}}, {}, "'diecimila' is not a valid floating point value"},
        {"missing company e-mail", {{"mail", QVariant()}}, {}, "Could not convert variant of type (Null) into type (String)"},
        {"missing buyer province", {}, {{"prov", QVariant()}}, "Could not convert variant of type (Null) into type (String)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        setCompany(c.company);
        const int id = addInvoice(merged({{"nome_file", "old.xml"}}, c.invoice));
        addLine(id);
        EXPECT_APP_ERROR(CreaFileXml(*diz, QStringLiteral("A")), ConversionError, c.message);
        EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
        EXPECT_TRUE(filesInFolder().isEmpty());
    }
}

TEST_F(CreaFileXmlTest, FailuresWhileWritingLeaveNoPartialFileAndKeepTheEarlierOneAndItsName)
{
    const struct {
        const char *what;
        Columns invoice, line, row;
        const char *message;
    } cases[] = {
        {"header discount not a number", {{"sc_perc", "abc"}}, {}, {}, "'abc' is not a valid floating point value"},
        {"missing line reference number", {}, {}, {{"n_linea", QVariant()}}, "Could not convert variant of type (Null) into type (Integer)"},
        {"invalid linked-document date", {}, {}, {{"data", "2026-02-10"}}, "'2026-02-10' is not a valid date"},
        {"empty line price", {}, {{"prezzo_unit", ""}}, {}, "'' is not a valid floating point value"},
        {"empty line quantity", {}, {{"quantita", QVariant()}}, {}, "'' is not a valid floating point value"},
        {"line rate not a number", {}, {{"aliquota", "venti"}}, {}, "'venti' is not a valid floating point value"},
        {"expenses of an unused bucket", {{"spese2", ""}}, {}, {}, "'' is not a valid floating point value"},
        {"rounding of an unused bucket", {{"arrot3", "x"}}, {}, {}, "'x' is not a valid floating point value"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice(merged({{"id_invio", 42}, {"nome_file", "old.xml"}}, c.invoice));
        addLine(id, c.line);
        if (c.line.contains(QStringLiteral("aliquota")))
            storeTotals(id);  // a rate that is no number is a bucket's rate too
        if (!c.row.isEmpty())
            addGroup(id, QStringLiteral("DatiOrdineAcquisto"),
                     {merged({{"n_linea", 1}, {"id_documento", "ORD1"}, {"data", "10/02/2026"}}, c.row)});
        const QString path = folder() + QStringLiteral("IT01234567890_00042.xml");
        {
            QFile earlier(path);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier file\r\n");
        }
        EXPECT_APP_ERROR(CreaFileXml(*diz, QStringLiteral("A")), ConversionError, c.message);
        EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
        EXPECT_EQ(readFile(path), QByteArray("earlier file\r\n"));
        EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("IT01234567890_00042.xml")});
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        db->sql().exec(QStringLiteral("DELETE FROM test_dati"));
        db->sql().exec(QStringLiteral("DELETE FROM dati_acquisto"));
    }
}

TEST_F(CreaFileXmlTest, EmptyTaxableAmountWithoutLinesStopsRightAfterDatiBeniServizi)
{
    // As the totals leave an invoice none of whose lines counts.
    const int id = addInvoice({{"id_invio", 42}, {"aliquota", ""}, {"imponibile", ""}, {"imposta", ""}, {"tot_doc", "0,00"}});
    RecordedLines recorded;
    try {
        const FatturaHeader header = readFatturaHeader(*diz, QStringLiteral("A"), XmlFormat::FPR12);
        writeFatturaHeader(recorded, header, XmlFormat::FPR12);
        writeFatturaBody(recorded, *diz, header, XmlFormat::FPR12);
        ADD_FAILURE() << "no error raised";
    } catch (const ConversionError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("'' is not a valid floating point value"));
    }
    EXPECT_EQ(recorded.lines.mid(recorded.lines.size() - 2), (QStringList{"</DatiGenerali>", "<DatiBeniServizi>"}));

    // Through the writer: no file (partial or temporary) is left, and no name is kept.
    select(id);
    EXPECT_THROW(CreaFileXml(*diz, QStringLiteral("A")), ConversionError);
    EXPECT_EQ(storedFileName(id), QStringLiteral("<NULL>"));
    EXPECT_TRUE(filesInFolder().isEmpty());
}

} // namespace
