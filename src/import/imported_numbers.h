#pragma once
// The invoice numbers and types already present in testata, read once per import run and
// kept up to date by the run, so that telling whether a document was brought over already
// costs no statement per document.
#include <QSet>
#include <QString>

class DbConnection;

class ImportedNumbers {
public:
    // Reads num_doc and tipo_doc of every header, whatever its date or origin.
    explicit ImportedNumbers(DbConnection &xmlConnection);

    // True when a header has exactly (case and blanks included) this number and type.
    bool contains(const QString &number, const QString &type) const;
    void add(const QString &number, const QString &type);

    // Asks the server, inside the caller's transaction, whether a header with exactly this
    // number and type is stored now. The read locks the number's place in the index until
    // the transaction ends, so no other desk can store the same number meanwhile.
    static bool storedNow(DbConnection &xmlConnection, const QString &number, const QString &type);

private:
    static QString key(const QString &number, const QString &type);
    QSet<QString> m_keys;
};
