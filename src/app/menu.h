#pragma once
// The main menu, the program's main window: "Accedi" logs in (reads ip.ini, connects,
// opens the tables), then the six buttons open the work screens modally. Closing it
// closes the tables and ends the program.
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

class TMenu : public QWidget {
    Q_OBJECT
public:
    explicit TMenu(QWidget *parent = nullptr);

    // The six buttons that lead to the work screens, B1 to B6.
    QList<QPushButton *> screenButtons() const;

    QLabel *Label1;
    QFrame *Panel1;
    QPushButton *B1;
    QPushButton *B2;
    QFrame *Panel2;
    QPushButton *B3;
    QPushButton *B4;
    QPushButton *B5;
    QPushButton *BitBtn7;
    QPushButton *B6;

    void FormShow();
    void BitBtn7Click();
    void FormClose();
    void B1Click();
    void B2Click();
    void B3Click();
    void B4Click();
    void B5Click();
    void B6Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

extern TMenu *Menu;
