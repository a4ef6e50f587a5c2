#include "import/import_run_lock.h"

#include "data/app_error.h"
#include "data/db_connection.h"

#include <QCryptographicHash>

QString ImportRunLock::busyMessage() { return QStringLiteral("Importazione già in corso su un'altra postazione"); }

QString ImportRunLock::lockName(const QString &database)
{
    // Lock names are at most 64 characters: a long database name is shortened to a digest.
    const QString name = QStringLiteral("xn_importa_fatture.") + database;
    if (name.size() <= 64)
        return name;
    return QStringLiteral("xn_importa_fatture.")
        + QString::fromLatin1(QCryptographicHash::hash(database.toUtf8(), QCryptographicHash::Sha1).toHex());
}

ImportRunLock::ImportRunLock(DbConnection &connection) : m_conn(connection), m_name(lockName(connection.database()))
{
    // 0 seconds: a desk that finds the import under way is told at once, it never waits.
    const DbResult r = m_conn.select(QStringLiteral("SELECT GET_LOCK(?, 0)"), {m_name});
    m_acquired = !r.rows.empty() && !r.rows[0].isNull(0) && r.rows[0].raw(0) == "1";
    m_threadId = m_conn.threadId();
}

ImportRunLock::~ImportRunLock()
{
    if (!m_acquired)
        return;
    try {
        // A replaced connection holds no lock: the server released it with the old one.
        if (m_conn.threadId() == m_threadId)
            m_conn.select(QStringLiteral("SELECT RELEASE_LOCK(?)"), {m_name});
    } catch (...) {
        // The connection is gone, and the lock with it.
    }
}

void ImportRunLock::checkStillHeld() const
{
    if (m_conn.threadId() != m_threadId)
        throw AppError(QStringLiteral("Connessione al server del database interrotta durante l'importazione: "
                                      "importazione interrotta. Ripetere l'importazione."));
}
