// The calculated fields of the management database's documents and lines, and the
// columns the datasets require of it.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "import/management_fields.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Only the management connection of the data module is opened here.
class ManagementFields : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<TDiz> diz;

    static void SetUpTestSuite()
    {
        createDatabases(/*management=*/true);
        diz = std::make_unique<TDiz>();
        installManagementFields(*diz);
        installManagementFields(*diz);  // a second call changes nothing
        diz->Dati.setDatabase(norva->name());
        diz->Dati.open();
        diz->setDett_FattMaster(diz->Test_Fatt);
    }
    static void TearDownTestSuite()
    {
        diz.reset();
        dropDatabases();
    }
    void SetUp() override
    {
        clearManagementTables({"testata", "dettag"});
        diz->Test_Fatt.close();
        diz->Dett_Fatt.close();
    }

    // Stores document 1 with the given columns (the others NULL) and opens it.
    void openDocument(const QString &columns, const QString &values)
    {
        norva->sql().exec(QStringLiteral("INSERT INTO testata (protocollo, %1) VALUES (1, %2)").arg(columns, values));
        diz->Test_Fatt.setSql(QStringLiteral("SELECT * FROM testata"));
        diz->Test_Fatt.open();
        diz->Dett_Fatt.open();
    }
    static double value(DbTable &t, const char *column) { return t.value(QLatin1String(column)).toDouble(); }
};

struct LineCase {
    const char *name;
    const char *values;  // um, colli, quantita, pr_lordo, sc_1, sc_2, sc_3, aliquota
    double netto, impNetto, prIvato, impIvato;
};

TEST_F(ManagementFields, LineNetPricesAndAmounts)
{
    const std::vector<LineCase> cases{
        {"cascaded discounts", "'PZ', 1, 1, 10, 10, 5, 0, 22", 8.55, 8.55, 10.43, 10.43},
        {"four decimals", "'PZ', 1, 1, 1.23456, 0, 0, 0, 10", 1.2346, 1.2346, 1.36, 1.36},
        {"cartons count cartons", "'CL', 3, 60, 10, 10, 0, 0, 22", 9, 27, 10.98, 32.94},
        {"other units count the quantity", "'PZ', 3, 60, 10, 10, 0, 0, 22", 9, 540, 10.98, 658.8},
        {"unit compared exactly", "'cl', 3, 60, 10, 0, 0, 0, 0", 10, 600, 10, 600},
        {"quantity held in 32 bits", "'PZ', 1, 0.1, 10, 0, 0, 0, 0", 10, 10 * double(0.1f), 10, 10 * double(0.1f)},
        {"missing discounts count as 0", "'PZ', 1, 2, 10, NULL, NULL, NULL, 22", 10, 20, 12.2, 24.4},
        {"a result beyond floating point: all 0", "'PZ', 1, 2, 1e308, 0, 0, 0, 22", 0, 0, 0, 0},
    };
    openDocument(QStringLiteral("anno"), QStringLiteral("2026"));
    for (const LineCase &c : cases)
        norva->sql().exec(QStringLiteral("INSERT INTO dettag (prot_testa, um, colli, quantita, pr_lordo, sc_1, sc_2, sc_3, "
                                         "aliquota) VALUES (1, %1)").arg(QLatin1String(c.values)));
    diz->Dett_Fatt.close();
    diz->Dett_Fatt.open();

    DbTable &lines = diz->Dett_Fatt;
    ASSERT_EQ(lines.rowCount(), int(cases.size()));
    for (const LineCase &c : cases) {
        EXPECT_DOUBLE_EQ(value(lines, "Netto"), c.netto) << c.name;
        EXPECT_DOUBLE_EQ(value(lines, "Imp_Netto"), c.impNetto) << c.name;
        EXPECT_DOUBLE_EQ(value(lines, "pr_ivato"), c.prIvato) << c.name;
        EXPECT_DOUBLE_EQ(value(lines, "imp_ivato"), c.impIvato) << c.name;
        lines.next();
    }
}

TEST_F(ManagementFields, DocumentTotals)
{
    openDocument(QStringLiteral("imponibile1, imponibile2, imponibile3, imponibile4, imponibile5, iva1, iva2, iva3, iva4, "
                                "iva5, val_sconto1, val_sconto2, val_sconto3, val_sconto4, val_sconto5, spese_tr, "
                                "spese_inc, aliq_spese, bolli, abbuono"),
                 QStringLiteral("100, 50, 0, 0, 10, 22, 5, 0, 0, 0.5, 2, 1, 0, 0, 0.5, 10, 5, 22, 2, 0.3"));
    DbTable &doc = diz->Test_Fatt;
    EXPECT_DOUBLE_EQ(value(doc, "Imp_Merce"), 160);
    EXPECT_DOUBLE_EQ(value(doc, "Iva_Merce"), 27.5);
    EXPECT_DOUBLE_EQ(value(doc, "sconto"), 3.5);
    EXPECT_DOUBLE_EQ(value(doc, "Imp_Totale"), 171.5);
    EXPECT_DOUBLE_EQ(value(doc, "Iva_Totale"), 30.8);  // 3,30 of VAT on 15 of expenses at 22 %
    EXPECT_DOUBLE_EQ(value(doc, "totale"), 204);
}

TEST_F(ManagementFields, DocumentWithMissingValuesCountsThemAsZero)
{
    openDocument(QStringLiteral("imponibile1, iva1"), QStringLiteral("100, 22"));
    EXPECT_DOUBLE_EQ(value(diz->Test_Fatt, "Imp_Totale"), 100);
    EXPECT_DOUBLE_EQ(value(diz->Test_Fatt, "totale"), 122);
}

TEST_F(ManagementFields, DocumentBeyondFloatingPointHasAllFieldsZero)
{
    openDocument(QStringLiteral("imponibile1, imponibile2, iva1"), QStringLiteral("1e308, 1e308, 22"));
    for (const char *field : {"Imp_Merce", "Iva_Merce", "sconto", "Imp_Totale", "Iva_Totale", "totale"}) {
        EXPECT_FALSE(diz->Test_Fatt.isNull(QLatin1String(field))) << field;
        EXPECT_EQ(value(diz->Test_Fatt, field), 0) << field;
    }
}

TEST_F(ManagementFields, AMissingDeclaredColumnMakesOpeningFail)
{
    diz->Test_Fatt.setSql(QStringLiteral("SELECT protocollo, anno FROM testata"));
    EXPECT_THROW(diz->Test_Fatt.open(), DbError);
    EXPECT_FALSE(diz->Test_Fatt.isOpen());
    diz->Test_Fatt.setSql(QStringLiteral("SELECT * FROM testata"));
    diz->Test_Fatt.open();
    diz->Dett_Fatt.setSql(QStringLiteral("SELECT prot_testa, descrizione FROM dettag"));
    EXPECT_THROW(diz->Dett_Fatt.open(), DbError);
    diz->Dett_Fatt.setSql(QString());
}

} // namespace
