#include "service/handover_reconcile.h"

#include "data/app_error.h"
#include "service/channel.h"
#include "data/db_connection.h"
#include "data/db_transaction.h"
#include "service/handover_journal.h"

bool handoverWentOut(const Channel &channel, const HandoverRecord &record)
{
    return record.delivered || channel.holds(record.name, record.sha256);
}

QString settledText(const Channel &channel, const HandoverRecord &record, bool wentOut)
{
    if (!wentOut)
        return QStringLiteral("consegna interrotta della fattura %1 (file %2): il file non è uscito, la fattura resta da inviare")
            .arg(record.number)
            .arg(record.name);
    return QStringLiteral("consegna interrotta della fattura %1 (file %2): il file è uscito %3, la fattura è ora segnata come inviata")
        .arg(record.number)
        .arg(record.name, channel.destination());
}

QStringList settleAllHandovers(DbConnection &conn, Channel &channel, HandoverJournal &journal)
{
    QStringList lines;
    for (const HandoverRecord &record : journal.records()) {
        try {
            DbTransaction transaction(conn);
            conn.select(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ? FOR UPDATE"), {record.number});
            const bool wentOut = handoverWentOut(channel, record);
            if (wentOut)
                conn.exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = ?"), {record.number});
            transaction.commit();
            // Dropped only once the marking is on the server.
            journal.finish(record.number);
            lines << settledText(channel, record, wentOut);
        } catch (const AppError &e) {
            lines << QStringLiteral("consegna interrotta della fattura %1 (file %2) non sistemata ora (%3): si riprova al prossimo invio")
                         .arg(record.number)
                         .arg(record.name, e.text());
        }
    }
    return lines;
}
