#include "transmission/handover_address.h"

#include "transmission/address_opener.h"
#include "data/columns.h"
#include "data/db_table.h"

#include <QFileInfo>

QString sendingAddress(SendingScript script, const QString &baseUrl, const QString &fileName, int number)
{
    const QString path = script == SendingScript::Private ? QStringLiteral("/Fatt_Ven/mail_sdi.php")
                                                          : QStringLiteral("/Fatt_Ven/mail_sdi_pa.php");
    return baseUrl + path + QStringLiteral("?nome_file=") + encodeQueryValue(fileName) + QStringLiteral("&n_invio=")
        + QString::number(number);
}

QString unwrittenFileReason(const DbTable &testata, const QString &companyPath)
{
    return unwrittenFileReason(testata.text(col::testata::nome_file), companyPath);
}

QString unwrittenFileReason(const QString &name, const QString &companyPath)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("file XML non ancora creato");
    const QString path = companyPath.trimmed() + name;
    if (!QFileInfo(path).isFile())
        return QStringLiteral("file %1 non trovato in %2").arg(name, companyPath.trimmed());
    return {};
}
