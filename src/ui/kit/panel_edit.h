#pragma once
// A plain text field of an unbound panel. Its maximum length limits what the user types,
// never what the panel puts in: a value shown from a row or worked out by the panel is
// shown whole, so that storing it again never cuts it.
#include <QLineEdit>

class PanelEdit : public QLineEdit {
    Q_OBJECT
public:
    PanelEdit(const QString &name, int typedMaxLength, QWidget *parent);

    int typedMaxLength() const { return m_typedMax; }
    // Shows `text` whole, whatever its length.
    void showText(const QString &text);

protected:
    // A field taking the focus by keyboard or from the program shows its text selected, so
    // that typing replaces a text kept from the last line instead of running on from it;
    // a click places the cursor where it lands.
    void focusInEvent(QFocusEvent *event) override;

private:
    void fitLimit(const QString &text);

    int m_typedMax;
};

// A field the user cannot type into (a computed value) looks like the panel behind it.
void showAsComputed(QWidget *field);
