#include "panel_edit.h"

#include <algorithm>

PanelEdit::PanelEdit(const QString &name, int typedMaxLength, QWidget *parent)
    : QLineEdit(parent), m_typedMax(typedMaxLength)
{
    setObjectName(name);
    setMaxLength(m_typedMax);
    // Once a longer text is shortened, typing is held to the field's own maximum again.
    connect(this, &QLineEdit::textChanged, this, &PanelEdit::fitLimit);
}

void PanelEdit::showText(const QString &text)
{
    fitLimit(text);
    setText(text);
}

void PanelEdit::fitLimit(const QString &text)
{
    setMaxLength(std::max(m_typedMax, int(text.size())));
}

void showAsComputed(QWidget *field)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    field->setPalette(p);
}
