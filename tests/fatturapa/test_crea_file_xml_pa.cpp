// CreaFileXmlPA: the FPA12 file of the current invoice, against the private test server.
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "xml_writer_fixture.h"

namespace {

using XmlTest::containsSequence;
using XmlTest::readFile;

class CreaFileXmlPATest : public XmlWriterTest {
protected:
    QStringList writePa(int id, const QString &caption = QStringLiteral("A")) { return write(CreaFileXmlPA, id, caption); }

    // The payment block of a file: from "<DatiPagamento>" to "</DatiPagamento>".
    static QStringList paymentOf(const QStringList &lines)
    {
        const qsizetype from = lines.indexOf(QStringLiteral("<DatiPagamento>"));
        return from < 0 ? QStringList() : lines.mid(from, lines.indexOf(QStringLiteral("</DatiPagamento>")) - from + 1);
    }
    static QStringList payment(const char *amount)
    {
        return {"<DatiPagamento>", "<CondizioniPagamento>TP02</CondizioniPagamento>", "<DettaglioPagamento>",
                "<Beneficiario>Alfa &#38; Beta S.r.l.</Beneficiario>", "<ModalitaPagamento>MP05</ModalitaPagamento>",
                QStringLiteral("<ImportoPagamento>%1</ImportoPagamento>").arg(QLatin1String(amount)),
                "<IBAN>IT60X0542811101000000123456</IBAN>", "</DettaglioPagamento>", "</DatiPagamento>"};
    }

    // A public administration as buyer (recipient code of six characters), three buckets,
    // one of them exempt, a contract with CUP and CIG; paid in cash in instalments as stored,
    // which the file ignores. The buckets and the total are those the totals leave.
    int addRealisticInvoice()
    {
        const int id = addInvoice({{"id_invio", 57},
                                   {"rag_soc", "Comune di Sant'Elia - Ufficio Tecnico"},
                                   {"indirizzo", "Piazza del Municipio 1"},
                                   {"comune", "Sant'Elia Fiumerapido"},
                                   {"cap", "03049"},
                                   {"prov", "FR"},
                                   {"p_iva", "00123450607"},
                                   {"cod_fis", "81000130607"},
                                   {"cod_dest", "UFABCD"},
                                   {"num_doc", "7/PA"},
                                   {"data_doc", "31/03/2026"},
                                   {"tot_doc", "1595,55"},
                                   {"aliquota", "22"}, {"imponibile", "1000,00"}, {"imposta", "220,00"}, {"esig_iva", "I"},
                                   {"aliquota2", "10"}, {"imponibile2", "250,50"}, {"imposta2", "25,05"}, {"esig_iva2", "I"},
                                   {"aliquota3", "0"}, {"imponibile3", "100,00"}, {"imposta3", "0,00"}, {"natura3", "N2.2"},
                                   {"tot_omaggio2", "0,00"}, {"tot_omaggio3", "0,00"},
                                   {"mod_pag", "MP01"}, {"n_rate", 3},
                                   {"dest_soc", QVariant()}, {"dest_indir", QVariant()}, {"dest_comune", QVariant()}});
        addLine(id, {{"descrizione", "Manutenzione impianti - marzo"}, {"quantita", "4,00"}, {"um", "ORE"},
                     {"prezzo_unit", "250,000"}, {"prezzo_tot", "1000,000"}, {"rif_amm", "IMP-2026-12"}});
        addLine(id, {{"codice_tipo", "INTERNO"}, {"codice_val", "RIC-9"}, {"descrizione", "Ricambi filtri"},
                     {"quantita", "3,00"}, {"um", "PZ"}, {"prezzo_unit", "83,500"}, {"prezzo_tot", "250,500"},
                     {"aliquota", "10"}});
        addLine(id, {{"descrizione", "Corso di formazione"}, {"prezzo_unit", "100,000"}, {"prezzo_tot", "100,000"},
                     {"aliquota", "0"}, {"natura", "N2.2"}});
        addGroup(id, QStringLiteral("DatiContratto"),
                 {{{"n_linea", 1}, {"id_documento", "CONTR-33"}, {"data", "15/01/2026"}, {"numero", ""},
                   {"cod_comm", ""}, {"cup", "J11B19000010007"}, {"cig", "Z1234ABCDE"}}});
        return id;
    }
};

TEST_F(CreaFileXmlPATest, RealisticInvoiceMatchesTheGoldenFileByteForByteAndValidates)
{
    const int id = addRealisticInvoice();
    select(id);
    CreaFileXmlPA(*diz, QStringLiteral("Sede"));

    EXPECT_EQ(storedFileName(id), QStringLiteral("IT01234567890_P0057.xml"));
    const QByteArray written = readFile(writtenPath(id));
    const QByteArray golden = readFile(XmlTest::dataFile(QStringLiteral("IT01234567890_P0057_FPA12.xml")));
    if (written != golden)
        dir->setAutoRemove(false); // kept for comparison
    EXPECT_EQ(written, golden) << "written file left in " << writtenPath(id).toStdString();
    EXPECT_FALSE(written.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("IT01234567890_P0057.xml")});
}

TEST_F(CreaFileXmlPATest, HeaderDiffersOnlyWhereThePublicAdministrationFormatSays)
{
    const struct {
        const char *what;
        Columns invoice;
        QStringList present, absent;
    } cases[] = {
        {"declaration, root and format", {},
         {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
          "<ns3:FatturaElettronica versione=\"FPA12\" xmlns:ns2=\"http://www.w3.org/2000/09/xmldsig#\" "
          "xmlns:ns3=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">",
          "<FatturaElettronicaHeader>", "...", "<FormatoTrasmissione>FPA12</FormatoTrasmissione>",
          "<CodiceDestinatario>ABC1234</CodiceDestinatario>", "<ContattiTrasmittente>"},
         {"xmlns:xsi", "<p:"}},
        {"empty recipient code still written", {{"cod_dest", ""}},
         {"<FormatoTrasmissione>FPA12</FormatoTrasmissione>", "<CodiceDestinatario></CodiceDestinatario>",
          "<ContattiTrasmittente>"},
         {}},
        {"certified mail as in FPR12", {{"pec", "ente@pec.it"}},
         {"</ContattiTrasmittente>", "<PECDestinatario>ente@pec.it</PECDestinatario>", "</DatiTrasmissione>"}, {}},
        {"buyer with VAT number only: identified by it", {{"p_iva", "09876543210"}, {"cod_fis", ""}},
         {"<CessionarioCommittente>", "<DatiAnagrafici>", "<IdFiscaleIVA>", "<IdPaese>IT</IdPaese>",
          "<IdCodice>09876543210</IdCodice>", "</IdFiscaleIVA>", "<Anagrafica>"},
         {}},
        {"buyer with fiscal code: no VAT number", {{"p_iva", "09876543210"}, {"cod_fis", "80012345678"}},
         {"<CessionarioCommittente>", "<DatiAnagrafici>", "<CodiceFiscale>80012345678</CodiceFiscale>", "<Anagrafica>"},
         {"<IdCodice>09876543210</IdCodice>"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice(c.invoice);
        addLine(id);
        const QStringList lines = writePa(id);
        EXPECT_TRUE(containsSequence(lines, c.present)) << lines.join(u'\n').toStdString();
        for (const QString &text : c.absent)
            EXPECT_FALSE(lines.join(u'\n').contains(text)) << text.toStdString();
        // The seller's, and the buyer's only when it has no fiscal code.
        const bool buyerFiscalCode = !c.invoice.value(QStringLiteral("cod_fis")).toString().isEmpty();
        EXPECT_EQ(lines.count(QStringLiteral("<IdFiscaleIVA>")), buyerFiscalCode ? 1 : 2);
        // Only an empty recipient code, which a public administration always has, is refused.
        const QString errors = XmlTest::schemaErrors(writtenPath(id));
        if (c.invoice.value(QStringLiteral("cod_dest")) == QString())
            EXPECT_TRUE(errors.contains(QStringLiteral("Element 'CodiceDestinatario'"))) << errors.toStdString();
        else
            EXPECT_EQ(errors, QString());
    }
}

TEST_F(CreaFileXmlPATest, BodyHasNoReasonSplitPaymentVatAndClosesTheRoot)
{
    const int id = addInvoice({{"esig_iva", "D"}, {"dest_soc", "Sede"}});
    addLine(id);
    const QStringList lines = writePa(id);
    EXPECT_TRUE(containsSequence(lines, {"<ImportoTotaleDocumento>122.00</ImportoTotaleDocumento>", "</DatiGeneraliDocumento>"}));
    EXPECT_TRUE(containsSequence(lines, {"<Imposta>22.00</Imposta>", "<EsigibilitaIVA>S</EsigibilitaIVA>", "</DatiRiepilogo>"}));
    EXPECT_TRUE(containsSequence(lines, {"</DatiPagamento>", "</FatturaElettronicaBody>", "</ns3:FatturaElettronica>"}));
    EXPECT_FALSE(lines.join(u'\n').contains(QStringLiteral("<Causale>")));
}

TEST_F(CreaFileXmlPATest, PaymentIsTheExactSumOfTheWrittenTaxableAmounts)
{
    const struct {
        const char *what;
        Columns invoice;
        const char *amount;
        Columns firstLine{};         // over lineColumns()
        QList<Columns> moreLines{};  // after the first line; a line of 0,00 takes a bucket that is not written
    } cases[] = {
        {"one bucket", {}, "100.00"},
        {"two buckets, taxes left out", {}, "1250.50", {{"prezzo_tot", "1000,000"}},
         {{{"prezzo_tot", "250,500"}, {"aliquota", "10"}}}},
        {"an exempt bucket counts too", {{"natura2", "N2"}}, "200.00", {},
         {{{"prezzo_tot", "100,000"}, {"aliquota", "0"}, {"natura", "N2"}}}},
        {"exact, not single precision", {}, "150000.02", {{"prezzo_tot", "150000,010"}},
         {{{"prezzo_tot", "0,000"}, {"aliquota", "10"}}, {{"prezzo_tot", "0,000"}, {"aliquota", "5"}},
          {{"prezzo_tot", "0,010"}, {"aliquota", "4"}}}},
        {"expenses and rounding left out", {{"spese", "10,00"}, {"arrot", "0,01"}}, "100.00"},
        // Each taxable column holds 0,01 (0,005 rounded), the sum of the lines 0,01.
        {"each bucket as written, rounded to the cent", {}, "0.02", {{"prezzo_tot", "0,005"}},
         {{{"prezzo_tot", "0,000"}, {"aliquota", "10"}}, {{"prezzo_tot", "0,005"}, {"aliquota", "4"}}}},
        {"cash in instalments still one bank transfer", {{"mod_pag", "MP01"}, {"n_rate", 3}}, "100.00"},
        {"instalments and VAT due not read", {{"mod_pag", "MP05"}, {"n_rate", QVariant()}, {"esig_iva", QVariant()},
                                              {"dest_soc", QVariant()}},
         "100.00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice(c.invoice);
        addLine(id, c.firstLine);
        for (const Columns &line : c.moreLines)
            addLine(id, line);
        storeTotals(id);
        const QStringList lines = writePa(id);
        EXPECT_EQ(paymentOf(lines), payment(c.amount));
        EXPECT_TRUE(containsSequence(lines, {"</DatiBeniServizi>", "<DatiPagamento>"}));
    }
}

TEST_F(CreaFileXmlPATest, ExemptBucketHasNatureAndNoVatDue)
{
    const int id = addInvoice({{"natura2", "N2"}});
    addLine(id);
    addLine(id, {{"aliquota", "0"}, {"natura", "N2"}});
    storeTotals(id);
    const QStringList lines = writePa(id);
    EXPECT_TRUE(containsSequence(lines, {"<DatiRiepilogo>", "<AliquotaIVA>0.00</AliquotaIVA>", "<Natura>N2</Natura>",
                                         "<ImponibileImporto>100.00</ImponibileImporto>", "<Imposta>0.00</Imposta>",
                                         "</DatiRiepilogo>", "</DatiBeniServizi>"}));
}

TEST_F(CreaFileXmlPATest, BothFormatsShareTheFileNameAndOverwriteEachOther)
{
    const int id = addInvoice({{"id_invio", 42}});
    addLine(id);
    const QStringList pa = writePa(id);
    EXPECT_EQ(pa.last(), QStringLiteral("</ns3:FatturaElettronica>"));
    select(id);
    CreaFileXml(*diz, QStringLiteral("A"));
    EXPECT_EQ(XmlTest::linesOf(readFile(writtenPath(id))).last(), QStringLiteral("</p:FatturaElettronica>"));
    const QStringList again = writePa(id);
    EXPECT_EQ(again, pa);
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("IT01234567890_00042.xml")});
}

TEST_F(CreaFileXmlPATest, FailuresAreThoseOfTheOtherFormat)
{
    const int id = addInvoice({{"data_doc", "1/13/2026"}, {"nome_file", "old.xml"}});
    addLine(id);
    EXPECT_APP_ERROR(CreaFileXmlPA(*diz, QStringLiteral("A")), ConversionError, "'1/13/2026' is not a valid date");
    EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));

    // A failure while writing takes the stored name back: as the totals leave an invoice
    // none of whose lines counts, bucket 1 is empty.
    const int empty = addInvoice({{"id_invio", 42}, {"aliquota", ""}, {"imponibile", ""}, {"imposta", ""},
                                  {"tot_doc", "0,00"}, {"nome_file", "old.xml"}});
    EXPECT_APP_ERROR(CreaFileXmlPA(*diz, QStringLiteral("A")), ConversionError, "'' is not a valid floating point value");
    EXPECT_EQ(storedFileName(empty), QStringLiteral("old.xml"));
    EXPECT_TRUE(filesInFolder().isEmpty());
}

} // namespace
