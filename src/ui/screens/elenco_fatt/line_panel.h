#pragma once
// The line editor: the panel laid over the workspace's top row and invoice list, through
// which a line of the current invoice is typed in ("Ins. Riga"), changed ("Mod. Riga")
// and stored with "Registra". The panel's fields are not bound: "Registra" copies them
// into the line, and the line and the invoice's recomputed totals are stored together.
// The panel is bound to the invoice it was opened on: "Registra" refuses another one, and
// closes the panel with a message when another desk deleted or changed the invoice or the
// line (EditorBinding).
#include "ui/screens/elenco_fatt/editor_binding.h"

#include <QFrame>

class TDiz;
class DbEdit;
class PanelEdit;
class PanelList;
class QPushButton;
struct LineAmountTexts;

class LinePanel : public QFrame {
    Q_OBJECT
public:
    // The panel's state: a new line, or a change of the current line.
    enum class Mode { NewLine = 0, ChangeLine = 1 };

    LinePanel(TDiz &diz, QWidget *parent);
    ~LinePanel() override;

    // "Ins. Riga": opens the panel for a new line.
    void startInsert();
    // "Mod. Riga": opens the panel on the current line, read again from the server;
    // nothing happens without one.
    void startModify();
    // Closes the panel: the invoice it was opened on left the desk (deleted elsewhere).
    void closeOnInvoiceGone();
    // "Elimina Riga": deletes the current line after confirmation and recomputes the totals.
    void deleteLine();

    Mode mode() const { return m_mode; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void registra();
    void store();
    void annulla();
    // Refuses amounts longer than their column, naming the field; true when all fit.
    bool amountsFit();
    void writeColumns();
    // The amount fields as the line amount reads them, and back.
    LineAmountTexts amountTexts() const;
    void showAmounts(const LineAmountTexts &texts);
    // The controls whose exit event works out the line amount, and the one of them that
    // `w` belongs to (nullptr for none).
    QList<QWidget *> computingControls() const;
    QWidget *computingControlOf(QWidget *w) const;
    // The exit event of a computing control.
    void leave(QWidget *control);

    TDiz &m_diz;
    Mode m_mode = Mode::NewLine;
    EditorBinding m_binding;

    PanelEdit *m_descrizione;   // Edit1
    PanelEdit *m_quantita;      // Edit2
    PanelEdit *m_um;            // Edit3
    PanelEdit *m_aliquota;      // Edit4
    PanelEdit *m_codiceTipo;    // Edit5
    PanelEdit *m_codiceVal;     // Edit6
    PanelEdit *m_prezzoUnit;    // Edit7
    PanelList *m_scTipo;        // cb1
    PanelEdit *m_scPerc;        // Edit8
    PanelEdit *m_scImporto;     // Edit9
    PanelEdit *m_prezzoTot;     // Edit10
    PanelList *m_tipoCessione;  // cb2
    PanelList *m_ritenuta;      // cb3
    PanelList *m_natura;        // CB4
    PanelEdit *m_rifAmm;        // Edit11
    DbEdit *m_storedNatura;     // DBEdit39
    QPushButton *m_registra;    // BitBtn8
    QPushButton *m_annulla;     // BitBtn9
};
