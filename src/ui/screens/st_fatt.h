#pragma once
// The container of the two print layouts (the issued and the purchase invoice); created
// once at start and never shown itself. Each preview takes the current rows, renders
// them and shows the pages modally until the user closes the preview.
#include <QDialog>

class TDiz;

class TSt_Fatt : public QDialog {
    Q_OBJECT
public:
    explicit TSt_Fatt(TDiz &diz, QWidget *parent = nullptr);

    // The modal print preview of the current issued invoice (Testata, its lines, the
    // company data); raises when the invoice cannot be rendered (an empty or unreadable
    // document date), before any page is drawn.
    void previewInvoice();
    // The modal print preview of the current purchase invoice (Testa_Car, every line of
    // Detta_Car); raises when it cannot be rendered.
    void previewPurchase();

private:
    TDiz &m_diz;
};

extern TSt_Fatt *St_Fatt;
