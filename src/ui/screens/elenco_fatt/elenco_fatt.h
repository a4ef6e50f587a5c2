#pragma once
// The issued-invoice workspace: the invoice list (Testata) with the lines of the current
// invoice (Detta) and the document commands; the hub from which the line editor, the
// header editor, the registries' pickers, the XML writers, the hand-over to the sending
// service, the import and the print preview are reached. Its window title is line 3 of
// ip.ini, set at log-in; the import and the XML writers read it.
#include "ui/kit/screen_dialog.h"

class DbGrid;
class DbNavigator;
class EsitoSdiPanel;
class HeaderPanel;
class LegendPanel;
class LinePanel;
class MaskedDateEdit;
class QLabel;
class QPushButton;
class SdiOutcomeColours;
class TDiz;

class TElenco_Fatt : public ScreenDialog {
    Q_OBJECT
public:
    explicit TElenco_Fatt(TDiz &diz, QWidget *parent = nullptr);

    // The controls, top to bottom and left to right (the tab order).
    QList<QWidget *> controlsInOrder() const;

    QLabel *titleLabel;
    // Top command row.
    DbNavigator *headerNavigator;
    QPushButton *nuovaButton;
    QPushButton *selClienteButton;
    QPushButton *legendaButton;
    QPushButton *esitoSdiButton;  // "Esito SDI": the exchange system's answers of the current invoice
    // The invoice list on Testata, edited in place; sent invoices are drawn white on red,
    // invoices the exchange system rejected (or a public administration refused) in colours
    // of their own.
    DbGrid *invoiceGrid;
    // Middle command row.
    DbNavigator *lineNavigator;
    QPushButton *articoliButton;
    QPushButton *insRigaButton;
    QPushButton *modRigaButton;
    QPushButton *eliminaRigaButton;
    QPushButton *testataDocButton;
    // The lines of the current invoice, read only.
    DbGrid *lineGrid;
    // Bottom command row, with the date limit of the import.
    QPushButton *creaXmlButton;
    QPushButton *invioSdiButton;
    QPushButton *xmlPaButton;
    QPushButton *invioPaButton;
    QPushButton *importaButton;
    MaskedDateEdit *importDateField;
    QPushButton *invioFattureButton;
    QPushButton *eliminaFatturaButton;
    QPushButton *stampaButton;
    QPushButton *visualizzaButton;
    // The panels laid over the window.
    LegendPanel *legendPanel;
    LinePanel *linePanel;
    HeaderPanel *headerPanel;
    EsitoSdiPanel *esitoSdiPanel;
    SdiOutcomeColours *sdiColours;

    // The commands of the buttons (each run through the general error box by its button).
    void onNuova();
    void onEliminaFattura();
    void onCreaFileXml();
    void onXmlPa();
    void onImportaFatture();
    void onStampa();
    void onEsitoSdi();
    void onVisualizza();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void connectCommands();
    void arrange();
    void formShow();
    void deleteInvoiceAfterNavigatorQuestion();
    // After an XML writer: the written file goes through the pre-send check, and any
    // problem it finds is shown (the file stays written).
    void checkWrittenFile();

    TDiz &m_diz;
};

extern TElenco_Fatt *Elenco_Fatt;
