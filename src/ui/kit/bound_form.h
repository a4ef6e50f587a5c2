#pragma once
// Lays out the bound controls of a screen: each control with its caption (by default
// just above its box) on a panel, in the order added, which is also the tab order.
//
//     BoundForm form(panel, diz.AziendaT);
//     form.addEdit(QStringLiteral("Ragione Sociale"), col::azienda::rag_soc, {16, 96, 784, 30});
//     form.addCombo(QStringLiteral("Socio Unico"), col::azienda::soc_uni, {"SU", "SM"}, {592, 464, 89, 30}, {584, 440});
#include <QHash>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class DbAmountEdit;
class DbComboBox;
class DbEdit;
class DbTable;
class QLabel;
class QWidget;

class BoundForm {
public:
    // Captions stand `labelAbove` pixels above their box unless placed on their own.
    BoundForm(QWidget *panel, DbTable &table, int labelAbove = 24);

    DbEdit *addEdit(const QString &caption, const QString &column, QRect box, QPoint captionAt = {});
    DbAmountEdit *addAmount(const QString &caption, const QString &column, QRect box, QPoint captionAt = {});
    DbComboBox *addCombo(const QString &caption, const QString &column, const QStringList &items, QRect box,
                         QPoint captionAt = {});
    // Any other control (already bound): placed, captioned (unless the caption is empty)
    // and put next in the tab order.
    QWidget *add(const QString &caption, QWidget *control, QRect box, QPoint captionAt = {});
    // A control without a caption of its own that takes its turn in the tab order.
    void addToTabOrder(QWidget *control);
    QLabel *addCaption(const QString &caption, QPoint at);

    // The control bound to `column` (the first added for it), or nullptr.
    QWidget *control(const QString &column) const { return m_byColumn.value(column); }
    QLabel *caption(const QString &column) const { return m_captions.value(column); }
    const QList<QWidget *> &tabOrder() const { return m_tabOrder; }

private:
    void place(const QString &caption, const QString &column, QWidget *control, QRect box, QPoint captionAt);

    QWidget *m_panel;
    DbTable &m_table;
    int m_labelAbove;
    QList<QWidget *> m_tabOrder;
    QHash<QString, QWidget *> m_byColumn;
    QHash<QString, QLabel *> m_captions;
};
