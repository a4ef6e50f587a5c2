#include "data/diz.h"

#include "data/catalogue_columns.h"
#include "data/details_follow_master.h"

TDiz *Diz = nullptr;

TDiz::TDiz(QObject *parent)
    : QObject(parent),
      xml_conn(this),
      AziendaT(xml_conn, col::azienda::table_name, this),
      Testata(xml_conn, col::testata::table_name, this),
      Detta(xml_conn, col::dettaglio::table_name, this),
      Clienti(xml_conn, col::clienti::table_name, this),
      Fornitori(xml_conn, col::fornitori::table_name, this),
      Testa_Car(xml_conn, col::test_car::table_name, this),
      Detta_Car(xml_conn, col::dett_car::table_name, this),
      Articoli(xml_conn, col::magazzino::table_name, this),
      ContrattoT(xml_conn, col::test_dati::table_name, this),
      ContrattoD(xml_conn, col::dati_acquisto::table_name, this),
      Query(xml_conn),
      Dati(this),
      Test_Fatt(Dati, col::norva26::testata::table_name, this),
      BolleT(Dati, col::norva26::testata::table_name, this),
      Dett_Fatt(Dati, col::norva26::dettag::table_name, this)
{
    setObjectName(QStringLiteral("Diz"));
    AziendaT.setObjectName(QStringLiteral("AziendaT"));
    Testata.setObjectName(QStringLiteral("Testata"));
    Detta.setObjectName(QStringLiteral("Detta"));
    Clienti.setObjectName(QStringLiteral("Clienti"));
    Fornitori.setObjectName(QStringLiteral("Fornitori"));
    Testa_Car.setObjectName(QStringLiteral("Testa_Car"));
    Detta_Car.setObjectName(QStringLiteral("Detta_Car"));
    Articoli.setObjectName(QStringLiteral("Articoli"));
    ContrattoT.setObjectName(QStringLiteral("ContrattoT"));
    ContrattoD.setObjectName(QStringLiteral("ContrattoD"));
    Test_Fatt.setObjectName(QStringLiteral("Test_Fatt"));
    BolleT.setObjectName(QStringLiteral("BolleT"));
    Dett_Fatt.setObjectName(QStringLiteral("Dett_Fatt"));

    xml_conn.setHost(QStringLiteral("localhost"));
    xml_conn.setDatabase(QStringLiteral("xml_norva"));
    xml_conn.setUser(QStringLiteral("root"));
    xml_conn.setPassword(QString::fromLatin1(StoredPassword));
    xml_conn.setPort(3306);
    xml_conn.setConnectTimeout(15);

    Dati.setHost(QStringLiteral("localhost"));
    Dati.setDatabase(QStringLiteral("norva26"));
    Dati.setUser(QStringLiteral("root"));
    Dati.setPassword(QString::fromLatin1(StoredPassword));
    Dati.setPort(3306);
    Dati.setConnectTimeout(15);
    // A frozen server holds a command (or a background re-read) no longer than this.
    setStatementTimeouts(StatementTimeout);

    // Every table of the electronic-invoice database requires the columns of the schema.
    AziendaT.setRequiredFields(catalogueColumns(col::azienda::all_columns));
    Testata.setRequiredFields(catalogueColumns(col::testata::all_columns));
    Detta.setRequiredFields(catalogueColumns(col::dettaglio::all_columns));
    Clienti.setRequiredFields(catalogueColumns(col::clienti::all_columns));
    Fornitori.setRequiredFields(catalogueColumns(col::fornitori::all_columns));
    Testa_Car.setRequiredFields(catalogueColumns(col::test_car::all_columns));
    Detta_Car.setRequiredFields(catalogueColumns(col::dett_car::all_columns));
    Articoli.setRequiredFields(catalogueColumns(col::magazzino::all_columns));
    ContrattoT.setRequiredFields(catalogueColumns(col::test_dati::all_columns));
    ContrattoD.setRequiredFields(catalogueColumns(col::dati_acquisto::all_columns));

    Testata.setOrderBy(col::testata::id_invio);
    Testata.setRefreshInterval(10000);
    Detta.setMaster(&Testata, {col::testata::id_invio}, {col::dettaglio::id_invio});
    Clienti.setOrderBy(col::clienti::rag_soc);
    Fornitori.setOrderBy(col::fornitori::rag_soc);
    Testa_Car.setRefreshInterval(5000);
    Detta_Car.setRefreshInterval(5000);
    Articoli.setOrderBy(col::magazzino::codice_val);
    ContrattoT.setMaster(&Testata, {col::testata::id_invio}, {col::test_dati::id_invio});
    ContrattoD.setMaster(&ContrattoT, {col::test_dati::id_invio, col::test_dati::tipo},
                         {col::dati_acquisto::id_invio, col::dati_acquisto::tipo});
    setDett_FattMaster(BolleT);
    // Another desk's change of the current invoice shows with its lines and linked documents.
    followMasterReReads(Testata, {&Detta, &ContrattoT, &ContrattoD});

    for (DbTable *t : {&Testata, &Testa_Car, &Detta_Car}) {
        connect(t, &DbTable::refreshFailed, this, [this, t](const QString &text) { reReadFailed(t, text); });
        connect(t, &DbTable::refreshRecovered, this, [this, t] { reReadRecovered(t); });
    }
}

void TDiz::setStatementTimeouts(int seconds)
{
    for (DbConnection *c : {&xml_conn, &Dati}) {
        c->setReadTimeout(seconds);
        c->setWriteTimeout(seconds);
    }
}

void TDiz::reReadFailed(DbTable *table, const QString &text)
{
    const bool first = m_failing.isEmpty();
    if (!m_failing.contains(table))
        m_failing << table;
    if (first)
        emit backgroundError(text);
}

void TDiz::reReadRecovered(DbTable *table) { m_failing.removeAll(table); }

std::vector<DbTable *> TDiz::tables()
{
    return {&AziendaT, &Testata, &Detta, &Clienti, &Fornitori, &Testa_Car, &Detta_Car, &Articoli, &ContrattoT, &ContrattoD};
}

void TDiz::openTables()
{
    m_failing.clear();  // opened tables re-read afresh
    for (DbTable *t : tables())
        t->open();
}

void TDiz::closeTables()
{
    for (DbTable *t : {&AziendaT, &Detta, &Testata, &Clienti, &Fornitori, &Testa_Car, &Detta_Car, &Articoli, &ContrattoD, &ContrattoT})
        t->close();
}

void TDiz::setDett_FattMaster(DbTable &master)
{
    Dett_Fatt.setMaster(&master, {col::norva26::testata::protocollo}, {col::norva26::dettag::prot_testa});
}
