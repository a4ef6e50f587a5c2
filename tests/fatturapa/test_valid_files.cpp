// Inputs that real users produce and that used to give files the schema refuses: each is
// written, validated against the schema and its element checked; a buyer known by
// neither VAT number nor fiscal code is refused before anything is stored or written.
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "xml_writer_fixture.h"

namespace {

using XmlTest::containsSequence;

class ValidFiles : public XmlWriterTest {};

TEST_F(ValidFiles, EveryMendedInputGivesAValidFileWithItsElement)
{
    using Writer = void (*)(TDiz &, const QString &);
    const struct {
        const char *what;
        Writer writer;
        Columns invoice, line;
        QStringList present, absent;
        QList<Columns> moreLines{};  // after `line`
    } cases[] = {
        // 1. Discount amounts as the import stores them; percentages with two decimals.
        {"discount amount with ten decimals", CreaFileXml, {},
         {{"sc_tipo", "SC"}, {"sc_perc", "7"}, {"sc_importo", "0,6993000000"}, {"prezzo_tot", "99,301"}},
         {"<ScontoMaggiorazione>", "<Tipo>SC</Tipo>", "<Percentuale>7.00</Percentuale>", "<Importo>0.6993</Importo>",
          "</ScontoMaggiorazione>"},
         {}},
        {"discount amount rounded at the eighth decimal", CreaFileXml, {},
         {{"sc_tipo", "SC"}, {"sc_perc", "12,345"}, {"sc_importo", "1,123456785"}},
         {"<Percentuale>12.35</Percentuale>", "<Importo>1.12345679</Importo>"}, {}},
        {"header percentage with two decimals", CreaFileXml, {{"sc_tipo", "SC"}, {"sc_perc", "2,5"}}, {},
         {"<Numero>12</Numero>", "<ScontoMaggiorazione>", "<Tipo>SC</Tipo>", "<Percentuale>2.50</Percentuale>",
          "</ScontoMaggiorazione>"},
         {}},
        // The header discount has no amount element: an empty percentage leaves the whole
        // block out (one that is not a number stops the writer, see test_crea_file_xml).
        {"header percentage left empty", CreaFileXml, {{"sc_tipo", "MG"}, {"sc_perc", ""}}, {},
         {"<Numero>12</Numero>", "<ImportoTotaleDocumento>122.00</ImportoTotaleDocumento>"},
         {"<ScontoMaggiorazione>", "<Percentuale>"}},
        // 2. No recipient code.
        {"no recipient code", CreaFileXml, {{"cod_dest", ""}, {"pec", "rossi@pec.it"}}, {},
         {"<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<CodiceDestinatario>0000000</CodiceDestinatario>",
          "<ContattiTrasmittente>", "...", "</ContattiTrasmittente>", "<PECDestinatario>rossi@pec.it</PECDestinatario>"},
         {}},
        {"recipient code and PEC of blanks only", CreaFileXml, {{"cod_dest", "   "}, {"pec", "  "}}, {},
         {"<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<CodiceDestinatario>0000000</CodiceDestinatario>",
          "<ContattiTrasmittente>", "...", "</ContattiTrasmittente>", "</DatiTrasmissione>"},
         {"<PECDestinatario>"}},
        // 3. A buyer without VAT number.
        {"private buyer", CreaFileXml, {{"p_iva", ""}, {"cod_fis", "RSSMRA80A01H501U"}}, {},
         {"<CessionarioCommittente>", "<DatiAnagrafici>", "<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>", "<Anagrafica>"},
         {"<IdCodice></IdCodice>"}},
        // A customer typed into the registry stores the boxes left empty as NULL, and the
        // pick copies NULL as NULL: such a buyer is written as if the columns were empty.
        {"buyer with no recipient code, PEC or VAT number stored (NULL)", CreaFileXml,
         {{"cod_dest", QVariant()}, {"pec", QVariant()}, {"p_iva", QVariant()}, {"cod_fis", "RSSMRA80A01H501U"}}, {},
         {"<CodiceDestinatario>0000000</CodiceDestinatario>", "...", "<CessionarioCommittente>",
          "<DatiAnagrafici>", "<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale>", "<Anagrafica>"},
         {"<PECDestinatario>"}},
        {"buyer with a VAT number and no fiscal code stored (NULL)", CreaFileXml, {{"cod_fis", QVariant()}}, {},
         {"<CessionarioCommittente>", "<DatiAnagrafici>", "<IdFiscaleIVA>", "...", "</IdFiscaleIVA>", "<Anagrafica>"}, {}},
        {"public body with its fiscal code only", CreaFileXmlPA, {{"p_iva", ""}, {"cod_fis", "80012345678"}, {"cod_dest", "UFABCD"}}, {},
         {"<CessionarioCommittente>", "<DatiAnagrafici>", "<CodiceFiscale>80012345678</CodiceFiscale>", "<Anagrafica>"},
         {"<IdCodice></IdCodice>"}},
        // 4. A discount or surcharge without a readable percentage.
        {"amount without percentage", CreaFileXml, {}, {{"sc_tipo", "SC"}, {"sc_perc", ""}, {"sc_importo", "2,50"}},
         {"<PrezzoUnitario>100.0000</PrezzoUnitario>", "<ScontoMaggiorazione>", "<Tipo>SC</Tipo>", "<Importo>2.50</Importo>",
          "</ScontoMaggiorazione>", "<PrezzoTotale>100.0000</PrezzoTotale>"},
         {"<Percentuale>"}},
        {"percentage that is not a number", CreaFileXml, {}, {{"sc_tipo", "MG"}, {"sc_perc", "dieci"}, {"sc_importo", "5"}},
         {"<ScontoMaggiorazione>", "<Tipo>MG</Tipo>", "<Importo>5.00</Importo>", "</ScontoMaggiorazione>"},
         {"<Percentuale>"}},
        {"neither percentage nor amount", CreaFileXml, {}, {{"sc_tipo", "SC"}, {"sc_perc", QVariant()}, {"sc_importo", "x"}},
         {"<PrezzoUnitario>100.0000</PrezzoUnitario>", "<PrezzoTotale>100.0000</PrezzoTotale>"},
         {"<ScontoMaggiorazione>", "<Percentuale>", "<Importo>"}},
        {"a public administration's file takes the same line discount rules", CreaFileXmlPA, {},
         {{"sc_tipo", "SC"}, {"sc_perc", "dieci"}, {"sc_importo", "0,6993000000"}},
         {"<FormatoTrasmissione>FPA12</FormatoTrasmissione>", "...", "<ScontoMaggiorazione>", "<Tipo>SC</Tipo>",
          "<Importo>0.6993</Importo>", "</ScontoMaggiorazione>"},
         {"<Percentuale>"}},
        // 5. A taxed bucket without chargeability.
        {"fourth bucket without chargeability", CreaFileXml, {{"esig_iva4", QVariant()}}, {},
         {"<AliquotaIVA>5.00</AliquotaIVA>", "<ImponibileImporto>10.00</ImponibileImporto>", "<Imposta>0.50</Imposta>",
          "</DatiRiepilogo>", "</DatiBeniServizi>"},
         {"<EsigibilitaIVA></EsigibilitaIVA>"},
         {{{"prezzo_tot", "10,000"}, {"aliquota", "10"}}, {{"prezzo_tot", "10,000"}, {"aliquota", "4"}},
          {{"prezzo_tot", "10,000"}, {"aliquota", "5"}}}},
        // 6. A negative number of instalments.
        {"negative number of instalments", CreaFileXml, {{"mod_pag", "MP05"}, {"n_rate", -2}}, {},
         {"<DatiPagamento>", "<CondizioniPagamento>TP02</CondizioniPagamento>", "<DettaglioPagamento>", "...",
          "<ImportoPagamento>122.00</ImportoPagamento>", "<IBAN>IT60X0542811101000000123456</IBAN>", "</DettaglioPagamento>",
          "</DatiPagamento>"},
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice(c.invoice);
        addLine(id, c.line);
        for (const Columns &line : c.moreLines)
            addLine(id, line);
        storeTotals(id);
        const QStringList lines = write(c.writer, id);
        EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
        EXPECT_TRUE(containsSequence(lines, c.present)) << lines.join(u'\n').toStdString();
        for (const QString &text : c.absent)
            EXPECT_FALSE(lines.join(u'\n').contains(text)) << text.toStdString();
    }
}

// The chargeability element comes and goes with its column, bucket by bucket.
TEST_F(ValidFiles, ChargeabilityIsWrittenOnlyWhereItIsStored)
{
    const int id = addInvoice({{"esig_iva", "D"}, {"esig_iva2", ""}});
    addLine(id);
    addLine(id, {{"prezzo_tot", "10,000"}, {"aliquota", "10"}});
    storeTotals(id);
    const QStringList lines = write(CreaFileXml, id);
    EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
    EXPECT_TRUE(containsSequence(lines, {"<Imposta>22.00</Imposta>", "<EsigibilitaIVA>D</EsigibilitaIVA>", "</DatiRiepilogo>",
                                         "<DatiRiepilogo>", "<AliquotaIVA>10.00</AliquotaIVA>", "<ImponibileImporto>10.00</ImponibileImporto>",
                                         "<Imposta>1.00</Imposta>", "</DatiRiepilogo>"}))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.count(QStringLiteral("<EsigibilitaIVA>D</EsigibilitaIVA>")), 1);
    EXPECT_EQ(lines.filter(QStringLiteral("<EsigibilitaIVA>")).size(), 1);
}

// Neither VAT number nor fiscal code: an Italian message naming the buyer, no file, and
// the header as it was.
TEST_F(ValidFiles, ABuyerWithoutVatNumberAndFiscalCodeIsRefused)
{
    for (const auto &writer : {CreaFileXml, CreaFileXmlPA}) {
        for (const QVariant &blank : {QVariant(QString()), QVariant(QStringLiteral("  ")), QVariant()}) {
            db->sql().exec(QStringLiteral("DELETE FROM testata"));
            const int id = addInvoice({{"rag_soc", "Bianchi Anna"}, {"p_iva", blank}, {"cod_fis", blank}, {"nome_file", "old.xml"}});
            addLine(id);
            EXPECT_APP_ERROR(writer(*diz, QStringLiteral("A")), AppError,
                             "Il cliente \"Bianchi Anna\" non ha né partita IVA né codice fiscale (errore SDI 00417): "
                             "file XML non creato.");
            EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
            EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
            EXPECT_TRUE(filesInFolder().isEmpty());
        }
    }
}

} // namespace
