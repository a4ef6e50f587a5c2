#include "receiving/sdi_answers.h"

#include "data/app_error.h"
#include "data/db_connection.h"

namespace Sdi {

namespace {

constexpr unsigned NoSuchTable = 1146;  // ER_NO_SUCH_TABLE

QString cell(const DbRow &row, int column) { return row.isNull(column) ? QString() : QString::fromUtf8(row.raw(column).toByteArray()); }

// A select on notifiche_sdi; a database made before the table gives no rows.
DbResult selectAnswers(DbConnection &conn, const QString &sql, const QVariantList &params = {})
{
    try {
        return conn.select(sql, params);
    } catch (const DbError &e) {
        if (e.code() == NoSuchTable)
            return {};
        throw;
    }
}

} // namespace

QList<StoredAnswer> answersOf(DbConnection &conn, int idInvio)
{
    const DbResult r = selectAnswers(conn,
                                     QStringLiteral("SELECT tipo, nome_file, id_sdi, COALESCE(data_ora, DATE_FORMAT(registrata, '%Y-%m-%dT%H:%i:%s')), "
                                                    "esito, errori, descrizione, file_messaggio FROM notifiche_sdi WHERE id_invio = ? ORDER BY id"),
                                     {idInvio});
    QList<StoredAnswer> answers;
    for (const DbRow &row : r.rows)
        answers << StoredAnswer{cell(row, 0), cell(row, 1), cell(row, 2), cell(row, 3), cell(row, 4), errorsFromText(cell(row, 5)),
                                cell(row, 6), cell(row, 7)};
    return answers;
}

QHash<int, Latest> latestAnswers(DbConnection &conn)
{
    const DbResult r = selectAnswers(conn, QStringLiteral("SELECT n.id_invio, n.tipo, n.esito, n.nome_file FROM notifiche_sdi n "
                                                          "JOIN (SELECT id_invio, MAX(id) AS id FROM notifiche_sdi GROUP BY id_invio) l "
                                                          "ON l.id = n.id"));
    QHash<int, Latest> latest;
    for (const DbRow &row : r.rows)
        latest.insert(cell(row, 0).toInt(), Latest{cell(row, 1), cell(row, 2), cell(row, 3)});
    return latest;
}

Outcome outcomeFor(const Latest &latest, const QString &currentFile)
{
    if (latest.type.isEmpty() || invoiceFileName(latest.nomeFile) != currentFile)
        return Outcome::None;
    if (latest.type == QLatin1String("NS"))
        return Outcome::Rejected;
    if (latest.type == QLatin1String("MC"))
        return Outcome::NotDelivered;
    if (latest.type == QLatin1String("NE") && latest.outcome == QLatin1String("EC02"))
        return Outcome::Refused;
    return Outcome::Delivered;
}

bool wasRejected(DbConnection &conn, const QString &invoiceFile)
{
    return !selectAnswers(conn, QStringLiteral("SELECT id FROM notifiche_sdi WHERE tipo = 'NS' AND (nome_file = ? OR nome_file = ?) LIMIT 1"),
                          {invoiceFile, invoiceFile + QStringLiteral(".p7m")})
                .rows.empty();
}

} // namespace Sdi
