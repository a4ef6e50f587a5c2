// Files the exchange system accepts, written by both writers: free goods counted in the
// VAT summary, texts with characters beyond Latin-1, a foreign buyer's postcode. Each
// file passes the schema and the pre-send check.
#include "invoice/calcola_totali.h"
#include "fatturapa/codifica_xml.h"
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "fatturapa/latin1_text.h"
#include "checks/presend_check.h"
#include "invoice/testata_hooks.h"
#include "xml_writer_fixture.h"

namespace {

using XmlTest::containsSequence;

struct WrittenFile {
    const char *format;
    QStringList lines;
    QString problems;  // the pre-send check's refusals (warnings let a file go), empty when the file may go out
};

class SendableFiles : public XmlWriterTest {
protected:
    static void SetUpTestSuite() { openDataModule({.beforeOpen = installTestataHooks}); }

    // The invoice written by CreaFileXml and then by CreaFileXmlPA (with the six-character
    // code of a public administration office), each file checked as it is written.
    std::vector<WrittenFile> writeBoth(int id)
    {
        std::vector<WrittenFile> out;
        out.push_back({"FPR12", write(CreaFileXml, id), QString()});
        out.back().problems = describeProblems(refusalsOf(checkInvoiceFile(writtenPath(id))));
        db->sql().exec(QStringLiteral("UPDATE testata SET cod_dest = 'UFQ7LM' WHERE id_invio = ?"), {id});
        out.push_back({"FPA12", write(CreaFileXmlPA, id), QString()});
        out.back().problems = describeProblems(refusalsOf(checkInvoiceFile(writtenPath(id))));
        return out;
    }

    QString stored(int id, const char *column)
    {
        const DbResult r = db->sql().select(QStringLiteral("SELECT %1 FROM testata WHERE id_invio = ?").arg(QLatin1String(column)), {id});
        return QString::fromUtf8(r.rows.at(0).raw(0).toByteArray());
    }

    // An invoice whose totals are left to CalcolaTotali.
    int addInvoiceForTotals(const QList<Columns> &lines)
    {
        const int id = addInvoice({{"aliquota", ""}, {"imponibile", ""}, {"imposta", ""}, {"tot_doc", ""}});
        for (const Columns &line : lines)
            addLine(id, line);
        select(id);
        CalcolaTotali(*diz);
        select(id);
        return id;
    }
};

Columns goodsLine(const char *description, const char *price, const char *rate, const char *kind = "")
{
    return {{"descrizione", description}, {"quantita", "1,00"}, {"prezzo_unit", price}, {"prezzo_tot", price},
            {"aliquota", rate}, {"tipo_cessione", kind}};
}

// The example of the totals: 100,00 and 50,00 at 22 % and free goods of 10,00 at 22 %.
// Stored: taxable 150,00, tax 35,20 (33,00 + 2,20), free goods 10,00, total 185,20. The
// files declare the sum of the bucket's lines, 160,00, and the tax on it, 35,20.
TEST_F(SendableFiles, FreeGoodsAreCountedInTheSummaryOfBothFiles)
{
    const int id = addInvoiceForTotals({goodsLine("Olio", "100,000", "22"), goodsLine("Pasta", "50,000", "22"),
                                        goodsLine("Omaggio: aceto", "10,000", "22", "SC")});
    ASSERT_EQ(stored(id, "imponibile"), "150,00");
    ASSERT_EQ(stored(id, "imposta"), "35,20");
    ASSERT_EQ(stored(id, "tot_omaggio"), "10,00");
    ASSERT_EQ(stored(id, "tot_doc"), "185,20");

    for (const WrittenFile &f : writeBoth(id)) {
        SCOPED_TRACE(f.format);
        EXPECT_EQ(f.problems, QString());
        EXPECT_TRUE(containsSequence(f.lines, {"<AliquotaIVA>22.00</AliquotaIVA>", "<ImponibileImporto>160.00</ImponibileImporto>",
                                               "<Imposta>35.20</Imposta>"}))
            << f.lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(f.lines.contains(QStringLiteral("<ImportoTotaleDocumento>185.20</ImportoTotaleDocumento>")));
    }
    // A public administration pays the goods it is charged for, not the free ones.
    EXPECT_TRUE(XmlTest::linesOf(XmlTest::readFile(writtenPath(id))).contains(QStringLiteral("<ImportoPagamento>150.00</ImportoPagamento>")));
    // Nothing stored changes.
    EXPECT_EQ(stored(id, "imponibile"), "150,00");
    EXPECT_EQ(stored(id, "imposta"), "35,20");
    EXPECT_EQ(stored(id, "tot_omaggio"), "10,00");
    EXPECT_EQ(stored(id, "tot_doc"), "185,20");
}

// Free goods alone in the second bucket (taxable 0,00 stored), and an amount whose tax
// rounds: 33,33 + 0,33 at 22 % gives 33,66 and 7,41.
TEST_F(SendableFiles, ABucketOfFreeGoodsOnlyAndARoundedTax)
{
    const int id = addInvoiceForTotals({goodsLine("Caffe", "33,330", "22"), goodsLine("Omaggio: zucchero", "0,330", "22", "AB"),
                                        goodsLine("Omaggio: biscotti", "5,000", "10", "PR")});
    ASSERT_EQ(stored(id, "imponibile2"), "0,00");
    ASSERT_EQ(stored(id, "tot_omaggio2"), "5,00");
    for (const WrittenFile &f : writeBoth(id)) {
        SCOPED_TRACE(f.format);
        EXPECT_EQ(f.problems, QString());
        EXPECT_TRUE(containsSequence(f.lines, {"<AliquotaIVA>22.00</AliquotaIVA>", "<ImponibileImporto>33.66</ImponibileImporto>",
                                               "<Imposta>7.41</Imposta>", "...", "<AliquotaIVA>10.00</AliquotaIVA>",
                                               "<ImponibileImporto>5.00</ImponibileImporto>", "<Imposta>0.50</Imposta>"}))
            << f.lines.join(QLatin1Char('\n')).toStdString();
    }
}

TEST(Latin1Text, TypographicCharactersInPlainFormAndOthersLeftOut)
{
    const struct {
        const char *text, *written;
    } cases[] = {
        {"Prezzo 10 €", "Prezzo 10 EUR"},
        {"“Extra” ‘vergine’ „basso‟ ‚uno‛ 5′ 6″", "\"Extra\" 'vergine' \"basso\" 'uno' 5' 6\""},
        {"1–2 — 3 ‐ 4 ‑ 5 ‒ 6 ― 7 − 8", "1-2 - 3 - 4 - 5 - 6 - 7 - 8"},
        {"Attendere…", "Attendere..."},
        {"10\u00A0kg\u202Fnetti\u2009x\u2003y\u3000z\u205Fw", "10 kg netti x y z w"},
        {"Olio 🫒 extra", "Olio  extra"},
        {"日本 Ω ✓ ™", "   "},
        {"Città, perché, già: 10° ± ½ © ÿ", "Città, perché, già: 10° ± ½ © ÿ"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(latin1Text(QString::fromUtf8(c.text)), QString::fromUtf8(c.written)) << c.text;
    // A character of another plane whose surrogates arrive apart is left out as well.
    EXPECT_EQ(latin1Text(QStringLiteral("a") + QChar(0xD83E) + QStringLiteral("b") + QChar(0xDD12)), QStringLiteral("ab"));
    // Both escapings work on the plain form: the dash becomes the escaped hyphen.
    EXPECT_EQ(CodificaXml(QString::fromUtf8("“R&D” – 5 €")), QStringLiteral("&#34;R&#38;D&#34; &#45; 5 EUR"));
    EXPECT_EQ(escapeMarkup(QString::fromUtf8("“<A>” – 5 € 🙂")), QStringLiteral("\"&#60;A&#62;\" - 5 EUR "));
}

TEST_F(SendableFiles, TextsWithTheEuroSignCurlyQuotesAndAnEmojiGiveValidFiles)
{
    const int id = addInvoice({{"rag_soc", QString::fromUtf8("Caffè “Roma” – Bar")}});
    addLine(id, {{"descrizione", QString::fromUtf8("Confezione “regalo” – 10 € 🎁…")}, {"lotto", QString::fromUtf8("L’26")}});
    for (const WrittenFile &f : writeBoth(id)) {
        SCOPED_TRACE(f.format);
        EXPECT_EQ(f.problems, QString());
        EXPECT_TRUE(f.lines.contains(QStringLiteral("<Descrizione>Confezione &#34;regalo&#34; &#45; 10 EUR ...</Descrizione>")))
            << f.lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(f.lines.contains(QString::fromUtf8("<Denominazione>Caffè &#34;Roma&#34; &#45; Bar</Denominazione>")));
        EXPECT_TRUE(f.lines.contains(QStringLiteral("<RiferimentoTesto>L'26</RiferimentoTesto>")));
    }
    // The official validator agrees (the file of the public administration is the last written).
    EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
}

// A buyer abroad whose postcode is not five digits: CAP 00000, the postcode after the street.
TEST_F(SendableFiles, AForeignBuyersPostcodeOfAnotherFormIsWrittenAs00000)
{
    const QString longStreet = QStringLiteral("Bahnhofstrasse 45, Eingang Hinterhof, 3. Stock, Buero 12");  // 56 characters
    const struct {
        const char *what, *country;
        QString cap, street;
        QString writtenCap, writtenStreet;
    } cases[] = {
        {"Zurich", "CH", "8001", "Bahnhofstrasse 45", "00000", "Bahnhofstrasse 45 8001"},
        {"London", "GB", "SW1A", "10 Downing Street", "00000", "10 Downing Street SW1A"},
        {"no postcode", "CH", "", "Bahnhofstrasse 45", "00000", "Bahnhofstrasse 45"},
        {"a street that would not fit with it", "CH", "8001", longStreet, "00000", longStreet},
        {"Madrid, five digits", "ES", "28001", "Calle de Alcala 250", "28001", "Calle de Alcala 250"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addInvoice({{"nazione", c.country}, {"cap", c.cap}, {"indirizzo", c.street}, {"prov", ""},
                                   {"comune", "Estero"}, {"p_iva", "CHE12345678"}, {"cod_dest", "XXXXXXX"}});
        addLine(id);
        for (const WrittenFile &f : writeBoth(id)) {
            SCOPED_TRACE(f.format);
            EXPECT_EQ(f.problems, QString());
            EXPECT_TRUE(containsSequence(f.lines, {"<CessionarioCommittente>", "...", "<Indirizzo>" + CodificaXml(c.writtenStreet) + "</Indirizzo>",
                                                   "<CAP>" + c.writtenCap + "</CAP>", "<Comune>Estero</Comune>"}))
                << f.lines.join(QLatin1Char('\n')).toStdString();
        }
        EXPECT_EQ(stored(id, "cap"), c.cap);
    }

    // An Italian buyer's postcode is written as stored.
    const int italian = addInvoice({{"cap", "8001"}});
    addLine(italian);
    EXPECT_TRUE(writeBoth(italian).front().lines.contains(QStringLiteral("<CAP>8001</CAP>")));
}

} // namespace
