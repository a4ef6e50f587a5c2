#include "data_module_fixture.h"

#include <QLocale>

void DataModuleTest::openDataModule(const Setup &setup)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    xml = std::make_unique<ScratchDatabase>();
    if (setup.management)
        norva = std::make_unique<ScratchDatabase>(QStringList{QStringLiteral("norva26.sql")}, QStringLiteral("n"));
    diz = std::make_unique<TDiz>();
    if (setup.beforeOpen)
        setup.beforeOpen(*diz);
    openDizOn(*diz, *xml, norva.get());
}

void DataModuleTest::closeDataModule()
{
    diz.reset();
    norva.reset();
    xml.reset();
}

void DataModuleTest::clearTables(const QStringList &tables)
{
    for (const QString &t : tables)
        xml->sql().exec(QStringLiteral("DELETE FROM ") + DbConnection::quoteName(t));
}

void DataModuleTest::clearManagementTables(const QStringList &tables)
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

Columns DataModuleTest::merged(Columns base, const Columns &overrides)
{
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

QString DataModuleTest::stored(const QString &sql, const QVariantList &params)
{
    const DbResult r = xml->sql().select(sql, params);
    if (r.rows.empty() || r.rows.front().isNull(0))
        return QString();
    return QString::fromUtf8(r.rows.front().raw(0).toByteArray());
}
