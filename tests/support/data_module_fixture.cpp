#include "data_module_fixture.h"

#include <QLocale>

void ScratchDatabaseTest::createDatabases(bool management)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    xml = std::make_unique<ScratchDatabase>();
    if (management)
        norva = std::make_unique<ScratchDatabase>(QStringList{QStringLiteral("norva26.sql")}, QStringLiteral("n"));
}

void ScratchDatabaseTest::dropDatabases()
{
    norva.reset();
    xml.reset();
}

void DataModuleTest::openDataModule(const Setup &setup)
{
    createDatabases(setup.management);
    diz = std::make_unique<TDiz>();
    if (setup.beforeOpen)
        setup.beforeOpen(*diz);
    openDataModuleOn(*diz);
}

void DataModuleTest::closeDataModule()
{
    diz.reset();
    dropDatabases();
}

void ScratchDatabaseTest::clearTables(const QStringList &tables)
{
    for (const QString &t : tables)
        xml->sql().exec(QStringLiteral("DELETE FROM ") + DbConnection::quoteName(t));
}

void ScratchDatabaseTest::clearManagementTables(const QStringList &tables)
{
    for (const QString &t : tables)
        norva->sql().exec(QStringLiteral("DELETE FROM ") + DbConnection::quoteName(t));
}

void DataModuleTest::refreshTables()
{
    for (DbTable *t : diz->tables())
        t->cancel();
    for (DbTable *t : diz->tables())
        t->refresh();
}

void DataModuleTest::setCompany(const Columns &columns)
{
    clearTables({QStringLiteral("azienda")});
    insert(QStringLiteral("azienda"), columns);
    diz->AziendaT.refresh();
    diz->AziendaT.first();
}

Columns ScratchDatabaseTest::merged(Columns base, const Columns &overrides)
{
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

QString ScratchDatabaseTest::stored(const QString &sql, const QVariantList &params)
{
    const DbResult r = xml->sql().select(sql, params);
    if (r.rows.empty() || r.rows.front().isNull(0))
        return QString();
    return QString::fromUtf8(r.rows.front().raw(0).toByteArray());
}
