// The catalogue of tables and columns written from the schema files, and the columns the
// data module requires of the server when its tables open at log-in.
#include "data/app_error.h"
#include "data/catalogue_columns.h"
#include "data/columns.h"
#include "data/columns.h"
#include "data/diz.h"
#include "test_db.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

// Table name -> its columns in order, as the server holds them in the current database.
std::map<QString, QStringList> serverColumns(DbConnection &conn)
{
    const DbResult r = conn.select(QStringLiteral(
        "SELECT table_name, column_name FROM information_schema.columns WHERE table_schema = DATABASE() "
        "ORDER BY table_name, ordinal_position"));
    std::map<QString, QStringList> out;
    for (const DbRow &row : r.rows)
        out[QString::fromUtf8(row.raw(0))] << QString::fromUtf8(row.raw(1));
    return out;
}

TEST(ColumnCatalogue, NamesEveryTableAndColumnOfTheElectronicInvoiceDatabaseInOrder)
{
    ScratchDatabase db;
    const std::map<QString, QStringList> expected{
        {QString::fromLatin1(col::azienda::table_name), catalogueColumns(col::azienda::all_columns)},
        {QString::fromLatin1(col::testata::table_name), catalogueColumns(col::testata::all_columns)},
        {QString::fromLatin1(col::dettaglio::table_name), catalogueColumns(col::dettaglio::all_columns)},
        {QString::fromLatin1(col::clienti::table_name), catalogueColumns(col::clienti::all_columns)},
        {QString::fromLatin1(col::fornitori::table_name), catalogueColumns(col::fornitori::all_columns)},
        {QString::fromLatin1(col::test_car::table_name), catalogueColumns(col::test_car::all_columns)},
        {QString::fromLatin1(col::dett_car::table_name), catalogueColumns(col::dett_car::all_columns)},
        {QString::fromLatin1(col::magazzino::table_name), catalogueColumns(col::magazzino::all_columns)},
        {QString::fromLatin1(col::test_dati::table_name), catalogueColumns(col::test_dati::all_columns)},
        {QString::fromLatin1(col::dati_acquisto::table_name), catalogueColumns(col::dati_acquisto::all_columns)},
        {QString::fromLatin1(col::notifiche_sdi::table_name), catalogueColumns(col::notifiche_sdi::all_columns)},
    };
    EXPECT_EQ(serverColumns(db.sql()), expected);
}

TEST(ColumnCatalogue, NamesTheManagementTablesInTheirOwnNamespace)
{
    ScratchDatabase db({QStringLiteral("norva26.sql")});
    const std::map<QString, QStringList> expected{
        {QString::fromLatin1(col::norva26::testata::table_name), catalogueColumns(col::norva26::testata::all_columns)},
        {QString::fromLatin1(col::norva26::dettag::table_name), catalogueColumns(col::norva26::dettag::all_columns)},
    };
    EXPECT_EQ(serverColumns(db.sql()), expected);
    // Same table name, other database, other columns.
    EXPECT_STREQ(col::norva26::testata::table_name, col::testata::table_name);
    EXPECT_NE(col::norva26::testata::all_columns.size(), col::testata::all_columns.size());
}

TEST(ColumnCatalogue, ConstantsServeWhereverAColumnIsNamed)
{
    constexpr QAnyStringView view = col::testata::id_invio;
    EXPECT_EQ(view, QStringLiteral("id_invio"));
    EXPECT_EQ(QString(col::dati_acquisto::id_documento), QStringLiteral("id_documento"));
    EXPECT_EQ(QStringList({col::test_dati::id_invio, col::test_dati::tipo}), QStringList({"id_invio", "tipo"}));
}

// A column of the catalogue missing on the server makes its table fail at log-in with the
// table object's name and the column; the tables opened before it stay open.
class LogInColumns : public ::testing::TestWithParam<std::pair<const char *, const char *>> {};

TEST_P(LogInColumns, AColumnMissingOnTheServerFailsTheLogIn)
{
    const auto [table, column] = GetParam();
    ScratchDatabase db;
    db.sql().exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(QLatin1String(table), QLatin1String(column)));
    TDiz diz;
    std::vector<DbTable *> tables = diz.tables();
    const auto failing = std::find_if(tables.begin(), tables.end(),
                                      [&](DbTable *t) { return t->tableName() == QLatin1String(table); });
    ASSERT_NE(failing, tables.end());
    try {
        openDizOn(diz, db);
        FAIL() << "the log-in opened every table";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("%1: Field '%2' not found").arg((*failing)->objectName(), QLatin1String(column)));
    }
    for (auto it = tables.begin(); it != tables.end(); ++it)
        EXPECT_EQ((*it)->isOpen(), it < failing) << (*it)->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ColumnCatalogue, LogInColumns,
    ::testing::Values(std::pair{col::azienda::table_name, col::azienda::iban},
                      std::pair{col::testata::table_name, col::testata::natura4},
                      std::pair{col::dettaglio::table_name, col::dettaglio::origine},
                      std::pair{col::test_car::table_name, col::test_car::imp_scad4},
                      std::pair{col::magazzino::table_name, col::magazzino::costo_tot},
                      std::pair{col::dati_acquisto::table_name, col::dati_acquisto::cig}));

TEST(ColumnCatalogue, TheWholeSchemaLogsIn)
{
    ScratchDatabase db;
    TDiz diz;
    openDizOn(diz, db);
    for (DbTable *t : diz.tables())
        EXPECT_TRUE(t->isOpen()) << t->objectName().toStdString();
}

} // namespace
