#pragma once
// The data module: the two connections and the shared table objects that every screen,
// grid, editor and operation works on.
#include "data/db_connection.h"
#include "data/db_query.h"
#include "data/db_table.h"

#include <QObject>
#include <vector>

class TDiz : public QObject {
    Q_OBJECT
public:
    static constexpr const char *StoredPassword = "velmotru_47";
    static constexpr int StatementTimeout = 15;  // seconds, read and write

    explicit TDiz(QObject *parent = nullptr);

    // Electronic-invoice database.
    DbConnection xml_conn;
    DbTable AziendaT;
    DbTable Testata;
    DbTable Detta;
    DbTable Clienti;
    DbTable Fornitori;
    DbTable Testa_Car;
    DbTable Detta_Car;
    DbTable Articoli;
    DbTable ContrattoT;
    DbTable ContrattoD;
    DbQuery Query;

    // Management database (read only, used by the import).
    DbConnection Dati;
    DbTable Test_Fatt;
    DbTable BolleT;
    DbTable Dett_Fatt;

    // Opens the ten tables of the electronic-invoice database in the log-in order;
    // a failure leaves the tables opened before it open and the rest closed.
    void openTables();
    // Closes the ten tables in the closing order, dropping any unsaved row.
    void closeTables();
    // The ten tables in the log-in order.
    std::vector<DbTable *> tables();

    // The detail of Dett_Fatt follows either BolleT or Test_Fatt.
    void setDett_FattMaster(DbTable &master);

    // Read and write time-outs of both connections, in seconds (a statement that waits
    // longer fails like any other); the default suits the application, tests shorten it.
    void setStatementTimeouts(int seconds);

signals:
    // An error raised outside any command: periodic re-reads that began to fail. It is
    // sent once until every re-reading table works again, not once per table or interval.
    void backgroundError(const QString &text);

private:
    void reReadFailed(DbTable *table, const QString &text);
    void reReadRecovered(DbTable *table);

    QList<DbTable *> m_failing;
};

// The program's one data module, created at start.
extern TDiz *Diz;
