#pragma once
// The customer registry on the shared `Clienti` table object, also the customer picker
// of the workspace: a double-click on a customer while the workspace is visible copies
// the customer into the buyer columns of the current invoice and closes the window.
// Enter moves the focus as Tab does; showing the window puts the focus in the search box.
#include "ui/screens/registries/party_registry.h"

class TDiz;

class TAnag_Cl : public PartyRegistry {
    Q_OBJECT
public:
    explicit TAnag_Cl(TDiz &diz, QWidget *parent = nullptr);

    // The pick of the current customer (DBGrid1DblClick); nothing unless the workspace is visible.
    void onPick();

protected:
    void showEvent(QShowEvent *event) override;  // FormShow

private:
    TDiz &m_diz;
};

extern TAnag_Cl *Anag_Cl;
