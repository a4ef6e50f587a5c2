// A whole invoice typed through the two editors, as a user does it in the workspace:
// the header and customer in the header editor with a linked contract, three lines at two
// VAT rates with a discount in the line editor; then its FatturaPA file is written, holds
// the contract's documents and the totals of its lines, and validates against the schema.
#include "fatturapa/crea_file_xml.h"
#include "ui/kit/db_navigator.h"
#include "editor_panel_fixture.h"
#include "ui/screens/elenco_fatt/header_panel.h"
#include "ui/screens/elenco_fatt/line_panel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

using B = DbNavigator::Button;

QString schemaFile()
{
    // The schema the program ships.
    return QStringLiteral(XN_TEST_SCHEMA_DIR "/Schema_VFPA12_V1.2.3.local.xsd");
}

// The validator's complaints about a file against the official schema; empty when valid.
QString schemaErrors(const QString &path)
{
    QProcess xmllint;
    xmllint.setProcessChannelMode(QProcess::MergedChannels);
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
                                             schemaFile(), path});
    if (!xmllint.waitForFinished(60000))
        return QStringLiteral("xmllint did not run");
    const QString output = QString::fromUtf8(xmllint.readAll());
    return xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0 ? QString() : output;
}

class TypedInvoice : public PanelTest {
protected:
    LinePanel *lines = nullptr;
    HeaderPanel *head = nullptr;
    QTemporaryDir folder;

    void SetUp() override
    {
        PanelTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        // The panels overlap the working area as in the workspace; the line list stays below.
        auto *layout = new QVBoxLayout(&window);
        auto *area = new QWidget(&window);
        area->setMinimumHeight(640);
        layout->addWidget(area);
        addLineList(layout);
        lines = new LinePanel(*diz, area);
        lines->setGeometry(0, 0, 1260, 260);
        head = new HeaderPanel(*diz, area);
        head->setGeometry(0, 0, 1260, 640);
        showActive(window);

        setCompany({{"rag_soc", "Alfa & Beta S.r.l."}, {"p_iva", "01234567890"}, {"cod_fis", "01234567890"},
                    {"reg_fisc", "RF01"}, {"indirizzo", "Via Roma, 10/A"}, {"cap", "00184"}, {"comune", "Roma"},
                    {"prov", "RM"}, {"nazione", "IT"}, {"uff_rea", "RM"}, {"num_rea", "1234567"},
                    {"capit_soc", "10000"}, {"soc_uni", "SM"}, {"stato_liq", "LN"}, {"mail", "info@alfabeta.it"},
                    {"telefono", "0612345678"}, {"path", folder.path() + QLatin1Char('/')},
                    {"iban", "IT60X0542811101000000123456"}});
    }

    void typeLine(const QString &description, const QString &quantity, const QString &price, const QString &rate,
                  const QString &discountType, const QString &percent)
    {
        lines->startInsert();
        type("Edit1", description);
        enter("Edit2", quantity);
        enter("Edit4", rate);
        enter("Edit7", price);
        enter("cb1", discountType);
        enter("Edit8", percent);
        click("BitBtn8");
        EXPECT_FALSE(lines->isVisible()) << description.toStdString();
    }
};

TEST_F(TypedInvoice, ATypedInvoiceWithALinkedContractWritesAValidFileWhoseTotalsMatchItsLines)
{
    // "Nuova": a stored header with the new-invoice defaults.
    diz->Testata.append();
    diz->Testata.post();
    const int id = diz->Testata.asInteger(QStringLiteral("id_invio"));
    select(id);

    head->open();
    const std::pair<const char *, const char *> fields[] = {
        {"DBComboBox1", "TD01"},        {"DBEdit1", "05/03/2026"},      {"DBEdit2", "12"},
        {"DBEdit3", "rossi forniture spa"}, {"DBEdit4", "Corso Italia 5"}, {"DBEdit5", "Milano"},
        {"DBEdit6", "20122"},           {"DBEdit7", "MI"},              {"DBComboBox4", "IT"},
        {"DBEdit8", "09876543210"},     {"DBEdit9", "09876543210"},     {"DBEdit10", "ABC1234"},        {"DBEdit11", "Rossi.Forniture@PEC.it"},
        {"DBEdit32", "bartolini"},      {"DBComboBox2", "TP02"},        {"DBComboBox3", "MP05"},
        {"DBEdit12", "1"},              {"DBEdit13", "310326"}};
    for (const auto &[name, typed] : fields)
        type(name, QString::fromUtf8(typed));
    press("groupNavigator", B::Insert);
    typeInCell("DBGrid3", 0, 0, QStringLiteral("DatiContratto"));
    press("groupNavigator", B::Post);
    const std::pair<const char *, const char *> contracts[] = {{"1", "CTR-4/2026"}, {"3", "CTR-5/2026"}};
    for (int i = 0; i < 2; ++i) {
        press("documentNavigator", B::Insert);
        typeInCell("DBGrid4", i, 0, QString::fromLatin1(contracts[i].first));
        typeInCell("DBGrid4", i, 1, QString::fromLatin1(contracts[i].second));
        typeInCell("DBGrid4", i, 2, QStringLiteral("15/01/2026"));
        typeInCell("DBGrid4", i, 5, QStringLiteral("Z0A1B2C3D4"));
        press("documentNavigator", B::Post);
    }
    click("BitBtn13");
    EXPECT_FALSE(head->isVisible());

    typeLine(QStringLiteral("Carta A4 80g - risma"), QStringLiteral("10"), QStringLiteral("4,5"), QStringLiteral("22"),
             QStringLiteral("SC"), QStringLiteral("10"));
    typeLine(QStringLiteral("Toner compatibile"), QStringLiteral("2"), QStringLiteral("35"), QStringLiteral("10"), {}, {});
    typeLine(QStringLiteral("Consulenza"), QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("22"), {}, {});

    EXPECT_EQ(row(QStringLiteral("SELECT rag_soc, pec, trasporto, scad1, aliquota, imponibile, imposta, aliquota2, "
                                 "imponibile2, imposta2, tot_doc FROM testata WHERE id_invio = %1").arg(id)),
              (QStringList{"ROSSI FORNITURE SPA", "rossi.forniture@pec.it", "BARTOLINI", "31/03/26", "22", "140,50", "30,91",
                           "10", "70,00", "7,00", "248,41"}));

    CreaFileXml(*diz, QStringLiteral("A"));
    const QString name = row(QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id)).value(0);
    const QString path = folder.path() + QLatin1Char('/') + name;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QStringList xml = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    const QStringList contract{"<DatiContratto>", "<RiferimentoNumeroLinea>1</RiferimentoNumeroLinea>",
                               "<IdDocumento>CTR-4/2026</IdDocumento>", "<Data>2026-01-15</Data>",
                               "<CodiceCIG>Z0A1B2C3D4</CodiceCIG>", "</DatiContratto>",
                               "<DatiContratto>", "<RiferimentoNumeroLinea>3</RiferimentoNumeroLinea>",
                               "<IdDocumento>CTR-5/2026</IdDocumento>", "<Data>2026-01-15</Data>",
                               "<CodiceCIG>Z0A1B2C3D4</CodiceCIG>", "</DatiContratto>"};
    const qsizetype at = xml.indexOf(contract.first());
    ASSERT_GE(at, 0) << xml.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(xml.mid(at, contract.size()), contract);
    for (const char *expected : {"<ImportoTotaleDocumento>248.41</ImportoTotaleDocumento>",
                                 "<ImponibileImporto>140.50</ImponibileImporto>", "<Imposta>30.91</Imposta>",
                                 "<ImponibileImporto>70.00</ImponibileImporto>", "<Imposta>7.00</Imposta>",
                                 "<PrezzoTotale>40.5000</PrezzoTotale>", "<Denominazione>ROSSI FORNITURE SPA</Denominazione>"})
        EXPECT_TRUE(xml.contains(QString::fromLatin1(expected))) << expected;
    EXPECT_EQ(schemaErrors(path), QString());
}

} // namespace
