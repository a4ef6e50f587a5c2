#pragma once
// What the customer and the supplier registries share: a search box that runs the search
// by name on every change, the list of parties by name, a navigator, and a panel of
// bound boxes with "Nuovo". Each registry gives its places and its table object.
#include "ui/kit/db_navigator.h"
#include "ui/kit/screen_dialog.h"

#include <QRect>

class BoundPanel;
class DbEdit;
class DbGrid;
class DbTable;
class QLabel;
class QLineEdit;
class QPushButton;

// Where the two registries differ; the rest of the arrangement (the title's place, the
// search box beside its caption, the edit panel's left, top and width, the boxes in the
// panel) is the same for both.
struct PartyRegistryLayout {
    QString objectName;
    QRect window;  // outer rectangle
    QString title;
    QPoint search;  // the caption "Ricerca"; its box stands 80 pixels right and 8 up
    QRect grid;
    QString idTitle;
    int idWidth = 0;
    int nameWidth = 0;
    QRect navigator;
    QList<DbNavigator::Button> navigatorButtons;
    int panelHeight = 0;
    QString recipientColumn;   // cod_dest / cod_destinatario
    bool destination = false;  // the four delivery-destination boxes
};

class PartyRegistry : public ScreenDialog {
    Q_OBJECT
public:
    PartyRegistry(DbTable &parties, const PartyRegistryLayout &layout, QWidget *parent);

    DbTable &parties() const { return m_parties; }
    DbEdit *box(const QString &column) const;

    QLabel *searchLabel;       // Label1
    QLineEdit *searchBox;      // Edit1
    QLabel *titleLabel;        // Label2
    DbGrid *list;              // DBGrid1
    DbNavigator *navigator;    // DBNavigator1
    BoundPanel *panel;         // Panel1
    QPushButton *nuovoButton;  // BitBtn1

    // The search by name with the whole text of the box (Edit1Change).
    void onSearchChanged(const QString &text);
    // A new party: appended, all columns empty, focus in the name box (BitBtn1Click).
    void onNuovo();

private:
    DbTable &m_parties;
};
