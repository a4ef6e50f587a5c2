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
#include "diz.h"
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

class DataModuleTest : public ::testing::Test {
public:
    using Setup = DataModuleSetup;

protected:
    static inline std::unique_ptr<ScratchDatabase> xml;
    static inline std::unique_ptr<ScratchDatabase> norva;
    static inline std::unique_ptr<TDiz> diz;

    static void SetUpTestSuite() { openDataModule(); }
    static void TearDownTestSuite() { closeDataModule(); }
    static void openDataModule(const Setup &setup = {});
    static void closeDataModule();

    // Empties tables of the electronic-invoice (or management) database on the server;
    // the table objects are not re-read (refreshTables() does that).
    static void clearTables(const QStringList &tables);
    static void clearManagementTables(const QStringList &tables);
    // Drops every pending row and re-reads every table of the data module.
    static void refreshTables();
    // The one company row, re-read and current.
    static void setCompany(const Columns &columns);

    static int insert(const QString &table, const Columns &columns) { return xml->insert(table, columns); }
    static Columns merged(Columns base, const Columns &overrides);
    // The first cell of the first row of a statement on the scratch database.
    static QString stored(const QString &sql, const QVariantList &params = {});
    static int count(const QString &sql, const QVariantList &params = {}) { return stored(sql, params).toInt(); }
};
