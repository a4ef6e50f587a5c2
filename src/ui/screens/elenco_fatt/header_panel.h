#pragma once
// The header editor: the panel laid over the whole working area of the workspace, with
// every field of the current invoice header bound to it and, in two lists, the invoice's
// linked documents (groups in `test_dati`, their documents in `dati_acquisto`).
// "Registra" recomputes and stores the header; "Annulla" drops its pending changes.
// The panel is bound to the invoice it was opened on: "Registra" refuses another one, and
// closes the panel with a message when another desk deleted the invoice or changed the
// columns typed here (EditorBinding).
#include "ui/screens/elenco_fatt/editor_binding.h"

#include <QFrame>

class TDiz;
class DbGrid;
class DbNavigator;
class QGridLayout;
class QPushButton;

class HeaderPanel : public QFrame {
    Q_OBJECT
public:
    HeaderPanel(TDiz &diz, QWidget *parent);

    // "Testata Doc.": shows the panel on the current invoice header. Nothing is put into
    // editing until the user changes a field.
    void open();
    // Closes the panel, dropping the header's pending changes: the invoice it was opened
    // on left the desk (deleted elsewhere).
    void closeOnInvoiceGone();

    // The nature lists of the four VAT buckets.
    static QStringList natureItems(int bucket);

private:
    void build();
    QWidget *buildDocument();
    QWidget *buildCustomer();
    QWidget *buildDelivery();
    QWidget *buildPayment();
    QWidget *buildBucket(int bucket);
    QWidget *buildDiscount();
    QWidget *buildLinkedDocuments();
    void registra();
    void annulla();

    TDiz &m_diz;
    EditorBinding m_binding;
    DbGrid *m_groups = nullptr;          // DBGrid3
    DbNavigator *m_groupBar = nullptr;   // its navigator
    DbGrid *m_documents = nullptr;       // DBGrid4
    DbNavigator *m_documentBar = nullptr;
    QPushButton *m_registra = nullptr;   // BitBtn13
    QPushButton *m_annulla = nullptr;    // BitBtn14
};
