#include "app/app_shell.h"

#include "ui/screens/registries/anag_az.h"
#include "ui/screens/registries/anag_cl.h"
#include "ui/screens/registries/anag_fo.h"
#include "ui/screens/registries/articoli.h"
#include "ui/kit/command.h"
#include "data/diz.h"
#include "ui/screens/elenco_carico/elenco_carico.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "app/menu.h"
#include "ui/screens/st_fatt.h"
#include "invoice/testata_hooks.h"

AppShell::AppShell()
{
    m_menu = std::make_unique<TMenu>();
    Menu = m_menu.get();

    m_diz = std::make_unique<TDiz>();
    Diz = m_diz.get();
    installTestataHooks(*Diz);
    // A failed periodic re-read is reported like any error of a command.
    QObject::connect(Diz, &TDiz::backgroundError, Diz, [](const QString &text) { showGeneralError(text); });

    m_anag_az = std::make_unique<Tanag_az>(*Diz);
    anag_az = m_anag_az.get();
    m_elenco_fatt = std::make_unique<TElenco_Fatt>(*Diz);
    Elenco_Fatt = m_elenco_fatt.get();
    m_anag_cl = std::make_unique<TAnag_Cl>(*Diz);
    Anag_Cl = m_anag_cl.get();
    m_anag_fo = std::make_unique<TAnag_Fo>(*Diz);
    Anag_Fo = m_anag_fo.get();
    m_elenco_carico = std::make_unique<TElenco_Carico>(*Diz);
    Elenco_Carico = m_elenco_carico.get();
    m_articoli = std::make_unique<TArticoli>(*Diz);
    Articoli = m_articoli.get();
    m_st_fatt = std::make_unique<TSt_Fatt>(*Diz);
    St_Fatt = m_st_fatt.get();
}

AppShell::~AppShell()
{
    // The screens go before the data module they are bound to, the menu last.
    St_Fatt = nullptr;
    m_st_fatt.reset();
    Articoli = nullptr;
    m_articoli.reset();
    Elenco_Carico = nullptr;
    m_elenco_carico.reset();
    Anag_Fo = nullptr;
    m_anag_fo.reset();
    Anag_Cl = nullptr;
    m_anag_cl.reset();
    Elenco_Fatt = nullptr;
    m_elenco_fatt.reset();
    anag_az = nullptr;
    m_anag_az.reset();
    Diz = nullptr;
    m_diz.reset();
    Menu = nullptr;
    m_menu.reset();
}
