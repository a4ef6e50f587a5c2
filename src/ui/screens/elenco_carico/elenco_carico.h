#pragma once
// The purchase-invoice list: the received invoices (Testa_Car) over all their lines
// (Detta_Car), both editable in place with full navigators, and the loading panel P2 in
// which the user picks a received file and hands its name to the local loading service.
#include "ui/kit/screen_dialog.h"
#include "settings/service_settings.h"

class TDiz;
class DbGrid;
class DbNavigator;
class FileBrowserLists;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TElenco_Carico : public ScreenDialog {
    Q_OBJECT
public:
    explicit TElenco_Carico(TDiz &diz, QWidget *parent = nullptr);

    // The service settings in force (read from servizio.ini at start); the folder list
    // opens the received-invoices folder of the settings given.
    void setServiceSettings(const ServiceSettings &settings);
    const ServiceSettings &serviceSettings() const { return m_settings; }
    FileBrowserLists &fileBrowser() const { return *m_browser; }

    // Main view.
    QFrame *P1;
    QLabel *Label1;
    DbNavigator *DBNavigator1;
    QPushButton *BitBtn2;   // "Carica Fattura"
    DbGrid *DBGrid1;
    DbNavigator *DBNavigator2;
    QPushButton *BitBtn4;   // "Stampa"
    QPushButton *visualizzaButton;
    DbGrid *DBGrid2;

    // Loading panel.
    QFrame *P2;
    QLabel *Label2;
    QComboBox *Drive;
    QLabel *FolderLabel;
    QListWidget *DirectoryListBox1;
    QListWidget *FileListBox1;
    QLineEdit *Edit1;
    QPushButton *BitBtn3;   // "Invio Carico"
    QPushButton *BitBtn1;   // "Chiudi"

private:
    void buildMainView();
    void buildLoadingPanel();
    void onCaricaFattura();
    void onInvioCarico();
    void onStampa();
    void onVisualizza();

    TDiz &m_diz;
    ServiceSettings m_settings;
    FileBrowserLists *m_browser = nullptr;
};

extern TElenco_Carico *Elenco_Carico;
