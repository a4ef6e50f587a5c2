#pragma once
// The legend of the invoice workspace: a panel of fixed text explaining the codes of the
// invoice list, shown by "Legenda" and hidden by its own "Chiudi".
#include <QFrame>

class QPushButton;

class LegendPanel : public QFrame {
    Q_OBJECT
public:
    explicit LegendPanel(QWidget *parent);

    QPushButton *closeButton;  // "Chiudi"
};
