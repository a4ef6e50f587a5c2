#pragma once
// An editor panel bound to the invoice it was opened on. Several desks share the server:
// while a panel is open, another desk may delete or change that invoice (or the line), and
// a re-read may make another invoice current. "Registra" then refuses, says why, and the
// panel closes, so that nothing typed for one invoice is stored into another.
#include <QString>
#include <QVariant>

class AppError;
class DbTable;

class EditorBinding {
public:
    // Remembers the current invoice of `testata` (no invoice: a null key).
    void bind(const DbTable &testata);
    // Binds to the current invoice when bound to none yet (a new header just stored).
    void bindIfUnbound(const DbTable &testata)
    {
        if (m_invoice.isNull())
            bind(testata);
    }
    // Raises AppError(invoiceLeftMessage()) when the current invoice is no longer the bound
    // one. A binding made on a new header not stored yet (no key) accepts any.
    void checkStillCurrent(const DbTable &testata) const;
    QVariant invoice() const { return m_invoice; }

    // "La fattura su cui era aperto l'editor è stata eliminata o cambiata su un'altra postazione: ..."
    static QString invoiceLeftMessage();
    // True for the refusals that mean another desk changed or deleted what the editor
    // holds: the panel closes after telling the user.
    static bool isRefusalOfAnotherDesk(const AppError &error);

private:
    QVariant m_invoice;
};
