#pragma once
// The data-module fixture of every layer's tests: one electronic-invoice scratch
// database (and, when asked, a management one) per test program, the data module opened
// on it under the Italian locale the program works with, and helpers to clear tables,
// store rows and set the company row.
//
//     class MyTest : public DataModuleTest {
//     protected:
//         static void SetUpTestSuite() { openDataModule({.management = true, .beforeOpen = installHooks}); }
//         void SetUp() override { clearTables({"testata", "dettaglio"}); }
//     };
//
// Tests that need a data module of their own for every test (rules installed before it
// opens, or opened only once the rows are stored) derive from ScratchDatabaseTest and
// open their own TDiz with openDataModuleOn():
//
//     class MyTest : public ScratchDatabaseTest {
//     protected:
//         TDiz diz;
//         void SetUp() override { clearTables({"testata"}); installHooks(diz); }
//         // ... store rows, then openDataModuleOn(diz)
//     };
#include "data/diz.h"
#include "test_db.h"
#include "test_printing.h"

#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Column name -> value; a null QVariant stores NULL.
using Columns = QVariantMap;

// What a test program's data module needs beyond the electronic-invoice database.
struct DataModuleSetup {
    bool management = false;                  // also a management database, Dati on it
    std::function<void(TDiz &)> beforeOpen;   // hooks to install before the tables open
};

// The scratch databases of a test program, with the helpers that fill and read them.
class ScratchDatabaseTest : public ::testing::Test {
protected:
    static inline std::unique_ptr<ScratchDatabase> xml;
    static inline std::unique_ptr<ScratchDatabase> norva;

    static void SetUpTestSuite() { createDatabases(); }
    static void TearDownTestSuite() { dropDatabases(); }
    // Sets the Italian locale and creates the scratch databases (the management one when asked).
    static void createDatabases(bool management = false);
    static void dropDatabases();
    // Points `module` at the scratch databases, connects and opens its tables.
    static void openDataModuleOn(TDiz &module) { openDizOn(module, *xml, norva.get()); }

    // Empties tables of the electronic-invoice (or management) database on the server;
    // no table object is re-read.
    static void clearTables(const QStringList &tables);
    static void clearManagementTables(const QStringList &tables);

    static int insert(const QString &table, const Columns &columns) { return xml->insert(table, columns); }
    static Columns merged(Columns base, const Columns &overrides);
    // The first cell of the first row of a statement on the scratch database.
    static QString stored(const QString &sql, const QVariantList &params = {});
    static int count(const QString &sql, const QVariantList &params = {}) { return stored(sql, params).toInt(); }
};

// The scratch databases and one data module on them, shared by every test of the program.
class DataModuleTest : public ScratchDatabaseTest {
public:
    using Setup = DataModuleSetup;

protected:
    static inline std::unique_ptr<TDiz> diz;

    static void SetUpTestSuite() { openDataModule(); }
    static void TearDownTestSuite() { closeDataModule(); }
    static void openDataModule(const Setup &setup = {});
    static void closeDataModule();

    // Drops every pending row and re-reads every table of the data module.
    static void refreshTables();
    // The one company row, re-read and current.
    static void setCompany(const Columns &columns);
};
