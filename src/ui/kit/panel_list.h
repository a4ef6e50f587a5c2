#pragma once
// A drop-down list of an unbound panel whose edit part takes typed text, but whose value
// is the item selected: typing selects the item that the text matches exactly (case
// included) and leaves the list without selection otherwise; with no item selected the
// value is empty, whatever the edit part shows.
#include <QComboBox>

class PanelList : public QComboBox {
    Q_OBJECT
public:
    // `typedMaxLength` limits typing; the edit part always holds an item whole.
    PanelList(const QString &name, const QStringList &items, int typedMaxLength, QWidget *parent);

    // The selected item, or empty text.
    QString selectedText() const;
    // Clears the selection, then selects the item equal to `text` (exact, case included).
    void selectExactly(const QString &text);

private:
    void typed(const QString &text);
};
