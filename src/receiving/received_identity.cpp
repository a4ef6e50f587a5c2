#include "receiving/received_identity.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_connection.h"
#include "receiving/fattura_reader.h"
#include "receiving/received_rows.h"

#include <QCryptographicHash>
#include <algorithm>

namespace {

QString cell(const DbRow &row, int i)
{
    return row.isNull(i) ? QString() : QString::fromUtf8(row.raw(i).toByteArray());
}

QString valueOf(const Received::RowValues &row, const char *column)
{
    return row.values.value(row.columns.indexOf(QLatin1String(column))).toString();
}

} // namespace

QString ReceivedIdentity::lockName() const
{
    const QString key = QStringList{byVatNumber ? col::test_car::p_iva : col::test_car::cod_fis, supplier, tipoDoc,
                                    numDoc, dataDoc}
                            .join(QChar(0x1F));
    return QStringLiteral("xn_fattura_")
        + QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
}

std::vector<ReceivedIdentity> receivedIdentities(const Received::Document &document)
{
    std::vector<ReceivedIdentity> out;
    for (const Received::Body &body : document.bodies) {
        const Received::RowValues row = Received::headerRow(document, body, QString());
        ReceivedIdentity id;
        id.supplier = valueOf(row, col::test_car::p_iva);
        if (id.supplier.trimmed().isEmpty()) {
            id.byVatNumber = false;
            id.supplier = valueOf(row, col::test_car::cod_fis);
            if (id.supplier.trimmed().isEmpty())
                continue;
        }
        id.tipoDoc = valueOf(row, col::test_car::tipo_doc);
        id.numDoc = valueOf(row, col::test_car::num_doc);
        id.dataDoc = valueOf(row, col::test_car::data_doc);
        out.push_back(id);
    }
    return out;
}

ReceivedIdentityLocks::ReceivedIdentityLocks(DbConnection &conn, const std::vector<ReceivedIdentity> &identities)
    : m_conn(conn)
{
    std::vector<QString> names;
    for (const ReceivedIdentity &id : identities)
        names.push_back(id.lockName());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    try {
        for (const QString &name : names) {
            const DbResult lock = conn.select(QStringLiteral("SELECT GET_LOCK(?, 10)"), {name});
            if (lock.rows.empty() || lock.rows[0].raw(0) != QByteArrayView("1"))
                throw AppError(QStringLiteral("un altro caricamento della stessa fattura e in corso"));
            m_held.push_back(name);
        }
    } catch (...) {
        release();
        throw;
    }
}

ReceivedIdentityLocks::~ReceivedIdentityLocks()
{
    release();
}

void ReceivedIdentityLocks::release() noexcept
{
    for (const QString &name : m_held) {
        try {
            m_conn.select(QStringLiteral("SELECT RELEASE_LOCK(?)"), {name});
        } catch (...) {
            // A connection lost drops its locks on the server anyway.
        }
    }
    m_held.clear();
}

std::optional<EarlierLoading> findLoadedInvoice(DbConnection &conn, const std::vector<ReceivedIdentity> &identities)
{
    for (const ReceivedIdentity &id : identities) {
        // The server compares by its collation (letter case aside, through the index);
        // the identity is then compared exactly, as the locks are.
        const DbResult found = conn.select(
            QStringLiteral("SELECT p_iva, cod_fis, tipo_doc, num_doc, data_doc, nome_file FROM test_car "
                           "WHERE num_doc = ? AND data_doc = ? ORDER BY prot"),
            {id.numDoc, id.dataDoc});
        for (const DbRow &row : found.rows) {
            ReceivedIdentity stored;
            stored.byVatNumber = id.byVatNumber;
            stored.supplier = cell(row, id.byVatNumber ? 0 : 1);
            stored.tipoDoc = cell(row, 2);
            stored.numDoc = cell(row, 3);
            stored.dataDoc = cell(row, 4);
            if (stored == id)
                return EarlierLoading{id, cell(row, 5)};
        }
    }
    return std::nullopt;
}

QString alreadyLoadedMessage(const EarlierLoading &earlier)
{
    const ReceivedIdentity &id = earlier.identity;
    return QStringLiteral("Attenzione... Fattura gia Caricata: %1 n. %2 del %3 (%4 %5) dal file %6")
        .arg(id.tipoDoc, id.numDoc, id.dataDoc, id.byVatNumber ? QStringLiteral("P. IVA") : QStringLiteral("C.F."),
             id.supplier, earlier.fileName);
}
