#pragma once
// The panel "Esito SDI" of the invoice workspace: every answer of the exchange system about
// the current invoice (date, message, file, identifier, outcome, error codes with their
// descriptions), what the latest one means for the invoice, and a command that has the
// local service read the answers now.
#include <QFrame>

class QLabel;
class QPushButton;
class QTableWidget;
class TDiz;

class EsitoSdiPanel : public QFrame {
    Q_OBJECT
public:
    EsitoSdiPanel(TDiz &diz, QWidget *parent);

    // Fills the panel with the current invoice's answers and shows it.
    void showForCurrentInvoice();
    // Reads the current invoice's answers again.
    void reload();

    QLabel *invoiceLabel;        // the invoice, its file and what the latest answer means
    QTableWidget *answersTable;  // one row per answer, in the order they were read
    QLabel *serviceLabel;        // the service's answer to "Leggi messaggi"
    QPushButton *leggiButton;    // "Leggi messaggi"
    QPushButton *closeButton;    // "Chiudi"

signals:
    // The service read the answers: the list's colours may have changed.
    void answersRead();

private:
    void onLeggi();

    TDiz &m_diz;
};
