#pragma once
// The company-data screen: edit boxes bound to the current (first) row of `azienda`
// with a navigator to edit, save, cancel and re-read. It has no commands of its own:
// typing starts editing (a new row when the table holds none), closing saves nothing.
#include "screen_dialog.h"

#include <QMap>

class TDiz;
class DbEdit;
class DbComboBox;
class DbNavigator;
class QFrame;
class QLabel;

class Tanag_az : public ScreenDialog {
    Q_OBJECT
public:
    explicit Tanag_az(TDiz &diz, QWidget *parent = nullptr);

    // The box bound to `column` (an edit box, or a drop-down for soc_uni and stato_liq).
    QWidget *box(const QString &column) const { return m_boxes.value(column); }
    // The boxes and the navigator, in tab order.
    QList<QWidget *> tabOrder() const { return m_tabOrder; }

    QFrame *Panel1;
    QLabel *Label1;
    DbNavigator *DBNavigator1;

private:
    QLabel *addLabel(const QString &caption, int left, int top);
    void addEdit(const QString &label, const QString &column, QRect box, QPoint labelAt = {});
    void addCombo(const QString &label, const QString &column, const QStringList &items, QRect box, QPoint labelAt);

    TDiz &m_diz;
    QMap<QString, QWidget *> m_boxes;
    QList<QWidget *> m_tabOrder;
};

extern Tanag_az *anag_az;
