#pragma once
// The windows and the data module of one run, created once at start in this order: the
// main menu, the data module, the company data, the issued-invoice workspace, the
// customer and supplier registries, the purchase-invoice list, the articles and the
// print-layout container. Each is also reachable through its global pointer (Menu, Diz,
// anag_az, Elenco_Fatt, Anag_Cl, Anag_Fo, Elenco_Carico, Articoli, St_Fatt). Creating
// them connects nothing and opens no table.
#include <memory>

class TMenu;
class TDiz;
class Tanag_az;
class TElenco_Fatt;
class TAnag_Cl;
class TAnag_Fo;
class TElenco_Carico;
class TArticoli;
class TSt_Fatt;

class AppShell {
public:
    AppShell();
    ~AppShell();
    AppShell(const AppShell &) = delete;
    AppShell &operator=(const AppShell &) = delete;

    TMenu &menu() const { return *m_menu; }

private:
    std::unique_ptr<TMenu> m_menu;
    std::unique_ptr<TDiz> m_diz;
    std::unique_ptr<Tanag_az> m_anag_az;
    std::unique_ptr<TElenco_Fatt> m_elenco_fatt;
    std::unique_ptr<TAnag_Cl> m_anag_cl;
    std::unique_ptr<TAnag_Fo> m_anag_fo;
    std::unique_ptr<TElenco_Carico> m_elenco_carico;
    std::unique_ptr<TArticoli> m_articoli;
    std::unique_ptr<TSt_Fatt> m_st_fatt;
};
