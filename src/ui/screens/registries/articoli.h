#pragma once
// The warehouse articles on the shared `Articoli` table object, also the article picker
// of the workspace: a double-click on an article while the workspace is visible appends
// it as a new line of the current invoice and closes the window. Two searches (by code,
// by description) list the articles always in code order; leaving a price or percentage
// box formats it and recomputes the discount amount and the net price. Enter moves the
// focus as Tab does; closing the window saves a pending article.
#include "ui/kit/screen_dialog.h"

class BoundPanel;
class DbEdit;
class DbGrid;
class DbNavigator;
class TDiz;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class TArticoli : public ScreenDialog {
    Q_OBJECT
public:
    explicit TArticoli(TDiz &diz, QWidget *parent = nullptr);

    // The bound control of `column` in the article panel.
    QWidget *box(const QString &column) const;

    QFrame *mainPanel;               // Panel1
    QLabel *titleLabel;              // Label2
    QLabel *codeLabel;               // Label1
    QLineEdit *codeSearch;           // Edit1
    QLabel *descriptionLabel;        // Label21
    QLineEdit *descriptionSearch;    // Edit2
    DbGrid *list;                    // DBGrid3
    BoundPanel *articlePanel;        // Panel2
    DbNavigator *navigator;          // DBNavigator1
    QPushButton *nuovoButton;        // BitBtn1

    void onCodeSearch(const QString &text);         // Edit1Change
    void onDescriptionSearch(const QString &text);  // Edit2Change
    // A new article with its defaults, focus in the description box (BitBtn1Click).
    void onNuovo();
    // The pick of the current article (DBGrid3DblClick); nothing unless the workspace is visible.
    void onPick();

protected:
    void showEvent(QShowEvent *event) override;  // FormShow
    void done(int result) override;              // FormClose

private:
    void emptySearches();

    TDiz &m_diz;
};

extern TArticoli *Articoli;
