#include "test_db.h"

#include "data/app_error.h"
#include "data/diz.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QProcessEnvironment>

namespace TestDb {

void useTestServer()
{
    static bool done = false;
    if (done)
        return;
    const auto env = QProcessEnvironment::systemEnvironment();
    DbConnection::setEndpointOverride(env.value(QStringLiteral("XN_TEST_DB_PORT"), QStringLiteral("33061")).toInt(),
                                      env.value(QStringLiteral("XN_TEST_DB_SOCKET")));
    done = true;
}

QString schemaFile(const QString &name)
{
    const QString dir = QProcessEnvironment::systemEnvironment().value(QStringLiteral("XN_SCHEMA_DIR"));
    return dir + QLatin1Char('/') + name;
}

void runScript(DbConnection &conn, const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("cannot read %1").arg(path));
    const QString text = QString::fromUtf8(f.readAll());
    QString stmt;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quote.isNull()) {
            if (c == QLatin1Char('-') && text.mid(i, 3) == QLatin1String("-- ")) {
                while (i < text.size() && text[i] != QLatin1Char('\n'))
                    ++i;
                stmt += QLatin1Char('\n');
                continue;
            }
            if (c == QLatin1Char(';')) {
                if (!stmt.trimmed().isEmpty())
                    conn.exec(stmt);
                stmt.clear();
                continue;
            }
            if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`'))
                quote = c;
        } else if (c == QLatin1Char('\\') && quote != QLatin1Char('`') && i + 1 < text.size()) {
            stmt += c;
            stmt += text[++i];
            continue;
        } else if (c == quote) {
            quote = QChar();
        }
        stmt += c;
    }
    if (!stmt.trimmed().isEmpty())
        conn.exec(stmt);
}

} // namespace TestDb

ScratchDatabase::ScratchDatabase(const QStringList &schemaFiles, const QString &prefix)
{
    TestDb::useTestServer();
    m_name = QStringLiteral("%1_%2_%3")
                 .arg(prefix)
                 .arg(QCoreApplication::applicationPid())
                 .arg(QRandomGenerator::global()->generate() % 1000000000u);
    m_conn = std::make_unique<DbConnection>();
    m_conn->setHost(QStringLiteral("localhost"));
    m_conn->setPassword(QString::fromLatin1(TDiz::StoredPassword));
    m_conn->open();
    m_conn->exec(QStringLiteral("CREATE DATABASE ") + DbConnection::quoteName(m_name)
                 + QStringLiteral(" CHARACTER SET utf8mb4"));
    m_conn->setDatabase(m_name);
    for (const QString &f : schemaFiles)
        load(f);
}

ScratchDatabase::~ScratchDatabase()
{
    try {
        m_conn->exec(QStringLiteral("DROP DATABASE IF EXISTS ") + DbConnection::quoteName(m_name));
    } catch (...) {
    }
}

void ScratchDatabase::load(const QString &schemaFileName)
{
    TestDb::runScript(*m_conn, TestDb::schemaFile(schemaFileName));
}

int ScratchDatabase::insert(const QString &table, const QVariantMap &columns)
{
    QStringList names, marks;
    QVariantList values;
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        names << DbConnection::quoteName(it.key());
        marks << QStringLiteral("?");
        values << it.value();
    }
    m_conn->exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                     .arg(DbConnection::quoteName(table), names.join(u','), marks.join(u',')),
                 values);
    return int(m_conn->lastInsertId());
}

void openDizOn(TDiz &diz, ScratchDatabase &xml, ScratchDatabase *norva)
{
    TestDb::useTestServer();
    diz.xml_conn.setHost(QStringLiteral("localhost"));
    diz.xml_conn.setDatabase(xml.name());
    if (norva) {
        diz.Dati.setHost(QStringLiteral("localhost"));
        diz.Dati.setDatabase(norva->name());
    }
    diz.xml_conn.open();
    diz.openTables();
}
