#pragma once
// The query of a request, read strictly: every part is one key, one "=" and one value; a
// key given twice (even with the same value) or a part with a second "=" makes the whole
// query unreadable, so that no value is ever silently dropped or chosen between two.
#include <QHash>
#include <QString>
#include <optional>
#include <string>

class RequestQuery {
public:
    // Reads the query of `target` (the request's path and query as sent).
    explicit RequestQuery(const std::string &target);

    // Empty when the query reads; otherwise why not (Italian).
    const QString &fault() const { return m_fault; }
    // The decoded value of `key`; nullopt when absent.
    std::optional<QString> value(const QString &key) const;

private:
    QHash<QString, QString> m_values;
    QString m_fault;
};

// A decimal invoice number (n_invio): digits only, within the range of the key.
bool readInvoiceNumber(const QString &text, int *number);
