#include "imported_numbers.h"

#include "db_connection.h"

ImportedNumbers::ImportedNumbers(DbConnection &xmlConnection)
{
    const DbResult result = xmlConnection.select(
        QStringLiteral("SELECT num_doc, tipo_doc FROM testata WHERE num_doc IS NOT NULL AND tipo_doc IS NOT NULL"));
    m_keys.reserve(qsizetype(result.rows.size()));
    for (const DbRow &row : result.rows)
        m_keys.insert(key(QString::fromUtf8(row.raw(0)), QString::fromUtf8(row.raw(1))));
}

QString ImportedNumbers::key(const QString &number, const QString &type)
{
    return number + QChar(u'\0') + type;
}

bool ImportedNumbers::contains(const QString &number, const QString &type) const
{
    return m_keys.contains(key(number, type));
}

void ImportedNumbers::add(const QString &number, const QString &type)
{
    m_keys.insert(key(number, type));
}
