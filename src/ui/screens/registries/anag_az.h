#pragma once
// The company-data screen: edit boxes bound to the current (first) row of `azienda`
// with a navigator to edit, save, cancel and re-read. It has no commands of its own:
// typing starts editing (a new row when the table holds none), closing saves nothing.
#include "ui/kit/screen_dialog.h"

#include <memory>

class BoundForm;
class TDiz;
class DbNavigator;
class QFrame;
class QLabel;

class Tanag_az : public ScreenDialog {
    Q_OBJECT
public:
    explicit Tanag_az(TDiz &diz, QWidget *parent = nullptr);
    ~Tanag_az() override;

    // The box bound to `column` (an edit box, or a drop-down for soc_uni and stato_liq).
    QWidget *box(const QString &column) const;
    // The boxes and the navigator, in tab order.
    QList<QWidget *> tabOrder() const;

    QFrame *Panel1;
    QLabel *Label1;
    DbNavigator *DBNavigator1;

private:
    // The captions and bound boxes of the panel, in tab order.
    std::unique_ptr<BoundForm> m_form;
};

extern Tanag_az *anag_az;
