#pragma once
// The supplier registry on the shared `Fornitori` table object. It picks nothing.
#include "ui/screens/registries/party_registry.h"

class TDiz;

class TAnag_Fo : public PartyRegistry {
    Q_OBJECT
public:
    explicit TAnag_Fo(TDiz &diz, QWidget *parent = nullptr);
};

extern TAnag_Fo *Anag_Fo;
