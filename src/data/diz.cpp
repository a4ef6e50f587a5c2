#include "diz.h"

#include "details_follow_master.h"

TDiz *Diz = nullptr;

TDiz::TDiz(QObject *parent)
    : QObject(parent),
      xml_conn(this),
      AziendaT(xml_conn, QStringLiteral("azienda"), this),
      Testata(xml_conn, QStringLiteral("testata"), this),
      Detta(xml_conn, QStringLiteral("dettaglio"), this),
      Clienti(xml_conn, QStringLiteral("clienti"), this),
      Fornitori(xml_conn, QStringLiteral("fornitori"), this),
      Testa_Car(xml_conn, QStringLiteral("test_car"), this),
      Detta_Car(xml_conn, QStringLiteral("dett_car"), this),
      Articoli(xml_conn, QStringLiteral("magazzino"), this),
      ContrattoT(xml_conn, QStringLiteral("test_dati"), this),
      ContrattoD(xml_conn, QStringLiteral("dati_acquisto"), this),
      Query(xml_conn),
      Dati(this),
      Test_Fatt(Dati, QStringLiteral("testata"), this),
      BolleT(Dati, QStringLiteral("testata"), this),
      Dett_Fatt(Dati, QStringLiteral("dettag"), this)
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

    Testata.setOrderBy(QStringLiteral("id_invio"));
    Testata.setRefreshInterval(10000);
    Detta.setMaster(&Testata, {QStringLiteral("id_invio")}, {QStringLiteral("id_invio")});
    Clienti.setOrderBy(QStringLiteral("rag_soc"));
    Fornitori.setOrderBy(QStringLiteral("rag_soc"));
    Testa_Car.setRefreshInterval(5000);
    Detta_Car.setRefreshInterval(5000);
    Articoli.setOrderBy(QStringLiteral("codice_val"));
    ContrattoT.setMaster(&Testata, {QStringLiteral("id_invio")}, {QStringLiteral("id_invio")});
    ContrattoD.setMaster(&ContrattoT, {QStringLiteral("id_invio"), QStringLiteral("tipo")},
                         {QStringLiteral("id_invio"), QStringLiteral("tipo")});
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
    Dett_Fatt.setMaster(&master, {QStringLiteral("protocollo")}, {QStringLiteral("prot_testa")});
}
