#pragma once
// A received invoice is known by its supplier (VAT number, or fiscal code when the file
// gives no VAT number), document type, number and date, whatever the name of the file it
// came in: the signed copy X.xml.p7m of an invoice loaded as X.xml is the same invoice.
// Loading it a second time would list it twice among the purchases, to be paid twice.
#include <QString>

#include <optional>
#include <vector>

class DbConnection;

namespace Received {
struct Document;
}

struct ReceivedIdentity {
    bool byVatNumber = true;  // false: the supplier is known by fiscal code
    QString supplier, tipoDoc, numDoc, dataDoc;  // as test_car stores them

    bool operator==(const ReceivedIdentity &) const = default;
    // The name of the server lock that two loadings of this invoice share (at most 64 characters).
    QString lockName() const;
};

// The identities of the invoice bodies of `document`, in the forms test_car stores. A
// body whose supplier has neither VAT number nor fiscal code has none. Raises AppError
// when a body's header row cannot be formed (as storing it would).
std::vector<ReceivedIdentity> receivedIdentities(const Received::Document &document);

// Holds the server's named locks on `identities` while it lives, so that two loadings of
// the same invoice under different file names do not both find it missing and both store
// it. The locks are taken in one fixed order, so that two loadings never wait for each
// other crosswise. Raises AppError when a lock is not obtained within 10 seconds.
class ReceivedIdentityLocks {
public:
    ReceivedIdentityLocks(DbConnection &conn, const std::vector<ReceivedIdentity> &identities);
    ~ReceivedIdentityLocks();
    ReceivedIdentityLocks(const ReceivedIdentityLocks &) = delete;
    ReceivedIdentityLocks &operator=(const ReceivedIdentityLocks &) = delete;

private:
    void release() noexcept;
    DbConnection &m_conn;
    std::vector<QString> m_held;
};

struct EarlierLoading {
    ReceivedIdentity identity;
    QString fileName;  // the test_car.nome_file of the header found
};

// The first of `identities` already stored in test_car, with the file it was loaded from.
std::optional<EarlierLoading> findLoadedInvoice(DbConnection &conn, const std::vector<ReceivedIdentity> &identities);

// "Attenzione... Fattura gia Caricata: TD01 n. 123 del 18/12/2014 (P. IVA 01234567890) dal file X.xml"
QString alreadyLoadedMessage(const EarlierLoading &earlier);
