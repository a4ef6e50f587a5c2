#include "import/imported_numbers.h"

#include "data/db_connection.h"

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

bool ImportedNumbers::storedNow(DbConnection &xmlConnection, const QString &number, const QString &type)
{
    // The index finds the candidates the server's way (case and trailing blanks aside);
    // the exact comparison is made here.
    const DbResult result = xmlConnection.select(
        QStringLiteral("SELECT num_doc, tipo_doc FROM testata WHERE num_doc = ? AND tipo_doc = ? FOR UPDATE"),
        {number, type});
    for (const DbRow &row : result.rows)
        if (!row.isNull(0) && !row.isNull(1) && QString::fromUtf8(row.raw(0)) == number
            && QString::fromUtf8(row.raw(1)) == type)
            return true;
    return false;
}
