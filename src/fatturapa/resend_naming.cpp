#include "fatturapa/resend_naming.h"

#include "data/app_error.h"
#include "data/db_connection.h"
#include "fatturapa/file_naming.h"

namespace {

constexpr unsigned NoSuchTable = 1146;  // ER_NO_SUCH_TABLE

QString letters(const QString &workspaceCaption)
{
    return workspaceCaption == QLatin1String("A") ? QStringLiteral("ABCDEFGHIJKLMNO") : QStringLiteral("QRSTUVWXYZ");
}

} // namespace

QString resentProgressive(int idInvio, const QString &workspaceCaption, int rejectedFiles)
{
    const QString usual = progressivoInvio(idInvio, workspaceCaption);
    if (rejectedFiles <= 0)
        return usual;
    const QString series = letters(workspaceCaption);
    if (rejectedFiles > series.size())
        throw AppError(QStringLiteral("La fattura %1 è stata scartata %2 volte: non ci sono altri nomi di file per inviarla di nuovo. "
                                      "Emettere un nuovo documento.")
                           .arg(idInvio)
                           .arg(rejectedFiles));
    return series.at(rejectedFiles - 1) + usual.mid(1);
}

int rejectedFileCount(DbConnection &conn, int idInvio)
{
    try {
        const DbResult r = conn.select(
            QStringLiteral("SELECT COUNT(DISTINCT IF(nome_file LIKE '%.p7m', LEFT(nome_file, CHAR_LENGTH(nome_file) - 4), nome_file)) "
                           "FROM notifiche_sdi WHERE id_invio = ? AND tipo = 'NS'"),
            {idInvio});
        return r.rows.empty() ? 0 : QString::fromUtf8(r.rows.front().raw(0).toByteArray()).toInt();
    } catch (const DbError &e) {
        if (e.code() == NoSuchTable)
            return 0;
        throw;
    }
}

QString sendingProgressive(DbConnection &conn, int idInvio, const QString &workspaceCaption)
{
    return resentProgressive(idInvio, workspaceCaption, rejectedFileCount(conn, idInvio));
}
