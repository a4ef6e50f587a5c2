#include "data/db_connection.h"

#include "data/app_error.h"
#include "data/db_insert_batch.h"

#include <QDate>
#include <QDateTime>
#include <QDeadlineTimer>
#include <errmsg.h>
#include <mysql.h>

namespace {
int g_overridePort = 0;
QByteArray g_overrideSocket;

// A connection idle for longer than this is checked before the next statement, so that
// a server that was restarted meanwhile is reached again without a failed command.
constexpr qint64 IdleCheckMs = 1000;

bool isConnectionLost(unsigned code)
{
    return code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST || code == CR_SERVER_LOST_EXTENDED
        || code == 1927 /* killed */ || code == 4031 /* disconnected for inactivity */;
}

bool isConnectionRefused(unsigned code)
{
    return code == CR_CONNECTION_ERROR || code == CR_CONN_HOST_ERROR || code == CR_UNKNOWN_HOST
        || code == CR_IPSOCK_ERROR || code == CR_SOCKET_CREATE_ERROR;
}

qint64 nowMs() { return QDeadlineTimer::current().deadline(); }
} // namespace

bool DbError::isConnectionError() const
{
    return isConnectionLost(m_code) || isConnectionRefused(m_code);
}

QString DbConnection::refusedSentence() { return QStringLiteral("Connessione al server del database non riuscita."); }
QString DbConnection::lostSentence() { return QStringLiteral("Connessione al server del database interrotta."); }

QString DbConnection::explained(const QString &sentence, const QString &serverText)
{
    return sentence + QStringLiteral("\nMessaggio del server: ") + serverText;
}

int DbResult::indexOf(const QString &name) const
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

DbConnection::DbConnection(QObject *parent) : QObject(parent) {}

DbConnection::~DbConnection()
{
    const std::lock_guard<std::mutex> handle(m_handleLock);
    if (m_mysql)
        mysql_close(m_mysql);
}

void DbConnection::abortFromAnotherThread()
{
    // Shuts the link down under the thread that uses it: a read or write under way
    // returns at once with an error, and so does every later one.
    const std::lock_guard<std::mutex> handle(m_handleLock);
    m_aborted = true;
    if (m_mysql)
        mariadb_cancel(m_mysql);
}

void DbConnection::setEndpointOverride(int port, const QString &socket)
{
    g_overridePort = port;
    g_overrideSocket = socket.toUtf8();
}

DbConnectionSettings DbConnection::settings() const
{
    return {m_host, m_database, m_user, m_password, m_port, m_timeout, m_readTimeout, m_writeTimeout};
}

void DbConnection::setSettings(const DbConnectionSettings &s)
{
    if (s == settings())
        return;
    if (m_mysql)
        close();
    m_host = s.host;
    m_database = s.database;
    m_user = s.user;
    m_password = s.password;
    m_port = s.port;
    m_timeout = s.connectTimeout;
    m_readTimeout = s.readTimeout;
    m_writeTimeout = s.writeTimeout;
}

void DbConnection::setHost(const QString &host)
{
    if (host == m_host)
        return;
    m_host = host;
    if (m_mysql)
        close();
}

void DbConnection::setDatabase(const QString &db)
{
    if (db == m_database)
        return;
    m_database = db;
    if (m_mysql && !m_broken) {
        if (mysql_select_db(m_mysql, db.toUtf8().constData()) != 0) {
            // As refused as a new connection to that database would be.
            const QString text = QString::fromUtf8(mysql_error(m_mysql));
            const unsigned code = mysql_errno(m_mysql);
            if (isConnectionLost(code))
                m_broken = true;
            throw DbError(explained(refusedSentence(), text), code, QStringLiteral("USE ") + quoteName(db), text);
        }
    }
}

void DbConnection::open()
{
    m_wanted = true;
    if (m_mysql && !m_broken)
        return;
    if (m_mysql) {
        const std::lock_guard<std::mutex> handle(m_handleLock);
        mysql_close(m_mysql);
        m_mysql = nullptr;
    }
    if (m_aborted)
        throw DbError(explained(lostSentence(), QStringLiteral("Connection aborted")), CR_SERVER_LOST, QString(),
                      QStringLiteral("Connection aborted"));
    // Whatever the transaction held went with the old connection.
    m_txLost = m_txDepth > 0;
    MYSQL *m = mysql_init(nullptr);
    if (!m)
        throw DbError(QStringLiteral("Out of memory"));
    unsigned timeout = unsigned(m_timeout);
    mysql_optionsv(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    unsigned readTimeout = unsigned(m_readTimeout);
    unsigned writeTimeout = unsigned(m_writeTimeout);
    if (readTimeout > 0)
        mysql_optionsv(m, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    if (writeTimeout > 0)
        mysql_optionsv(m, MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
    mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    my_bool reconnect = 0;
    mysql_optionsv(m, MYSQL_OPT_RECONNECT, &reconnect);

    const QByteArray host = m_host.toUtf8();
    const QByteArray db = m_database.toUtf8();
    const QByteArray user = m_user.toUtf8();
    const QByteArray pw = m_password.toUtf8();
    const unsigned port = unsigned(g_overridePort ? g_overridePort : m_port);
    const char *socket = g_overrideSocket.isEmpty() ? nullptr : g_overrideSocket.constData();
    if (!mysql_real_connect(m, host.constData(), user.constData(), pw.constData(),
                            db.isEmpty() ? nullptr : db.constData(), port, socket,
                            CLIENT_FOUND_ROWS)) {
        const QString text = QString::fromUtf8(mysql_error(m));
        const unsigned code = mysql_errno(m);
        mysql_close(m);
        throw DbError(explained(refusedSentence(), text), code, QString(), text);
    }
    {
        const std::lock_guard<std::mutex> handle(m_handleLock);
        m_mysql = m;
        if (m_aborted)
            mariadb_cancel(m);  // aborted while connecting
    }
    m_broken = false;
    m_lastUsed = nowMs();
    emit opened();
}

void DbConnection::close()
{
    if (DbInsertBatch *batch = DbInsertBatch::of(this))
        batch->discard();
    m_wanted = false;
    m_txDepth = 0;
    m_txLost = false;
    if (!m_mysql)
        return;
    emit aboutToClose();
    const std::lock_guard<std::mutex> handle(m_handleLock);
    mysql_close(m_mysql);
    m_mysql = nullptr;
    m_broken = false;
}

void DbConnection::ensureOpen()
{
    if (!m_mysql && !m_wanted)
        throw DbError(QStringLiteral("Not connected to the database server"));
    if (m_txLost || (m_txDepth > 0 && (m_broken || !m_mysql)))
        throw DbError(explained(lostSentence(), QStringLiteral("Lost connection to server during transaction")),
                      CR_SERVER_LOST, QString(), QStringLiteral("Lost connection to server during transaction"));
    if (m_mysql && !m_broken && m_txDepth == 0 && nowMs() - m_lastUsed > IdleCheckMs) {
        // Nothing has been sent yet: a connection found dead here is replaced unnoticed.
        if (mysql_ping(m_mysql) != 0)
            m_broken = true;
        else
            m_lastUsed = nowMs();
    }
    if (!m_mysql || m_broken)
        open();
}

void DbConnection::raise(const QByteArray &statement)
{
    const unsigned code = mysql_errno(m_mysql);
    const QString text = QString::fromUtf8(mysql_error(m_mysql));
    const bool lost = isConnectionLost(code);
    if (lost) {
        m_broken = true;
        if (m_txDepth > 0)
            m_txLost = true;
    }
    throw DbError(lost ? explained(lostSentence(), text) : text, code, QString::fromUtf8(statement), text);
}

void DbConnection::query(const QByteArray &sql)
{
    ensureOpen();
    if (mysql_real_query(m_mysql, sql.constData(), (unsigned long)sql.size()) != 0)
        raise(sql);
    m_lastUsed = nowMs();
}

quint64 DbConnection::exec(const QString &sql, const QVariantList &params)
{
    if (DbInsertBatch *batch = DbInsertBatch::of(this)) {
        if (params.isEmpty() && batch->take(sql))
            return 1;
        batch->flush();  // the rows held go before any other statement
    }
    const QByteArray statement = bind(sql, params).toUtf8();
    query(statement);
    MYSQL_RES *res = mysql_store_result(m_mysql);
    if (res) {
        mysql_free_result(res);
        return 0;
    }
    if (mysql_field_count(m_mysql) != 0)
        raise(statement);
    m_lastInsertId = mysql_insert_id(m_mysql);
    return mysql_affected_rows(m_mysql);
}

DbField DbConnection::describe(const MYSQL_FIELD &f)
{
    DbField d;
    d.name = QString::fromUtf8(f.name, int(f.name_length));
    d.orgName = QString::fromUtf8(f.org_name, int(f.org_name_length));
    d.autoIncrement = f.flags & AUTO_INCREMENT_FLAG;
    d.primaryKey = f.flags & PRI_KEY_FLAG;
    switch (f.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR:
        d.kind = DbField::Kind::Integer;
        break;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        d.kind = DbField::Kind::Float;
        break;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        d.kind = DbField::Kind::Date;
        break;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        d.kind = DbField::Kind::DateTime;
        break;
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_STRING:
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB: {
        d.kind = DbField::Kind::Text;
        unsigned maxlen = 1;
        if (f.charsetnr != 63) {
            if (const MARIADB_CHARSET_INFO *cs = mariadb_get_charset_by_nr(f.charsetnr))
                maxlen = cs->char_maxlen ? cs->char_maxlen : 1;
        }
        d.width = int(f.length / maxlen);
        break;
    }
    default:
        d.kind = DbField::Kind::Other;
    }
    return d;
}

DbResult DbConnection::select(const QString &sql, const QVariantList &params)
{
    if (DbInsertBatch *batch = DbInsertBatch::of(this))
        batch->flush();
    const QByteArray statement = bind(sql, params).toUtf8();
    query(statement);
    MYSQL_RES *res = mysql_store_result(m_mysql);
    if (!res) {
        if (mysql_field_count(m_mysql) != 0)
            raise(statement);
        return {};
    }
    DbResult out;
    const unsigned n = mysql_num_fields(res);
    const MYSQL_FIELD *fields = mysql_fetch_fields(res);
    out.fields.reserve(n);
    for (unsigned i = 0; i < n; ++i)
        out.fields.push_back(describe(fields[i]));
    out.rows.reserve(size_t(mysql_num_rows(res)));
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        const unsigned long *lengths = mysql_fetch_lengths(res);
        out.rows.emplace_back(n, row, lengths, 0);
    }
    mysql_free_result(res);
    return out;
}

void DbConnection::selectEach(const QString &sql, const std::function<void(std::vector<DbField> &&)> &onFields,
                              const std::function<void(unsigned, char **, const unsigned long *)> &onRow)
{
    if (DbInsertBatch *batch = DbInsertBatch::of(this))
        batch->flush();
    const QByteArray statement = sql.toUtf8();
    query(statement);
    MYSQL_RES *res = mysql_use_result(m_mysql);
    if (!res) {
        if (mysql_field_count(m_mysql) != 0)
            raise(statement);
        onFields({});
        return;
    }
    struct Free {
        MYSQL_RES *r;
        ~Free() { mysql_free_result(r); }
    } guard{res};
    const unsigned n = mysql_num_fields(res);
    const MYSQL_FIELD *fields = mysql_fetch_fields(res);
    std::vector<DbField> described;
    described.reserve(n);
    for (unsigned i = 0; i < n; ++i)
        described.push_back(describe(fields[i]));
    onFields(std::move(described));
    while (MYSQL_ROW row = mysql_fetch_row(res))
        onRow(n, row, mysql_fetch_lengths(res));
    if (mysql_errno(m_mysql) != 0)
        raise(statement);
    m_lastUsed = nowMs();
}

unsigned long DbConnection::threadId() const { return m_mysql ? mysql_thread_id(m_mysql) : 0; }

QString DbConnection::quoteName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + q + QLatin1Char('`');
}

QString DbConnection::sqlLiteral(const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return v.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return QLatin1Char('\'') + v.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
    case QMetaType::QDateTime:
        return QLatin1Char('\'') + v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\'');
    default:
        break;
    }
    const QByteArray in = v.toString().toUtf8();
    QByteArray out(in.size() * 2 + 1, Qt::Uninitialized);
    unsigned long len;
    if (m_mysql)
        len = mysql_real_escape_string(m_mysql, out.data(), in.constData(), (unsigned long)in.size());
    else
        len = mysql_escape_string(out.data(), in.constData(), (unsigned long)in.size());
    out.truncate(qsizetype(len));
    return QLatin1Char('\'') + QString::fromUtf8(out) + QLatin1Char('\'');
}

QString DbConnection::bind(const QString &sql, const QVariantList &params) const
{
    if (params.isEmpty())
        return sql;
    QString out;
    out.reserve(sql.size() + params.size() * 8);
    int next = 0;
    QChar quote;  // inside a quoted literal or name: '?' is literal there
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            out += c;
            if (c == QLatin1Char('\\') && quote != QLatin1Char('`') && i + 1 < sql.size())
                out += sql[++i];
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            quote = c;
            out += c;
        } else if (c == QLatin1Char('?')) {
            if (next >= params.size())
                throw AppError(QStringLiteral("Too few parameters for statement: %1").arg(sql));
            out += sqlLiteral(params[next++]);
        } else {
            out += c;
        }
    }
    if (next != params.size())
        throw AppError(QStringLiteral("Too many parameters for statement: %1").arg(sql));
    return out;
}

void DbConnection::begin()
{
    if (m_txDepth == 0) {
        m_txLost = false;
        exec(QStringLiteral("START TRANSACTION"));
        m_txDepth = 1;
        return;
    }
    exec(QStringLiteral("SAVEPOINT xn_level_%1").arg(m_txDepth));
    ++m_txDepth;
}

void DbConnection::commit()
{
    if (m_txDepth == 0)
        return;
    if (m_txLost) {
        // The transaction went with its connection: nothing of it is on the server.
        --m_txDepth;
        if (m_txDepth == 0)
            m_txLost = false;
        throw DbError(explained(lostSentence(), QStringLiteral("Lost connection to server during transaction")),
                      CR_SERVER_LOST, QString(), QStringLiteral("Lost connection to server during transaction"));
    }
    if (m_txDepth > 1) {
        exec(QStringLiteral("RELEASE SAVEPOINT xn_level_%1").arg(m_txDepth - 1));
        --m_txDepth;
        return;
    }
    try {
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        // A failed COMMIT ends the transaction (the server rolls it back or lost it).
        m_txDepth = 0;
        m_txLost = false;
        throw;
    }
    m_txDepth = 0;
}

void DbConnection::rollback()
{
    if (DbInsertBatch *batch = DbInsertBatch::of(this))
        batch->discard();  // rows of the work rolled back
    if (m_txDepth == 0)
        return;
    --m_txDepth;
    if (m_txLost) {
        if (m_txDepth == 0)
            m_txLost = false;
        return;
    }
    if (!m_mysql || m_broken) {
        m_txLost = m_txDepth > 0;
        return;
    }
    const QByteArray sql = m_txDepth == 0 ? QByteArray("ROLLBACK")
                                          : QByteArray("ROLLBACK TO SAVEPOINT xn_level_") + QByteArray::number(m_txDepth);
    if (mysql_real_query(m_mysql, sql.constData(), (unsigned long)sql.size()) != 0) {
        if (isConnectionLost(mysql_errno(m_mysql)))
            m_broken = true;
        // An inner level that cannot return to its savepoint dooms the whole transaction.
        m_txLost = m_txDepth > 0;
        if (m_txDepth > 0)
            return;
    }
    if (m_txDepth > 0) {
        const QByteArray release = QByteArray("RELEASE SAVEPOINT xn_level_") + QByteArray::number(m_txDepth);
        mysql_real_query(m_mysql, release.constData(), (unsigned long)release.size());
    } else {
        m_lastUsed = nowMs();
    }
}
