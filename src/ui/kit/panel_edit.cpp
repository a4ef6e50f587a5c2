#include "ui/kit/panel_edit.h"

#include <QFocusEvent>
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

void PanelEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Coming back from another window (a message box) leaves the text as it was.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason
        || reason == Qt::OtherFocusReason)
        selectAll();
}

void showAsComputed(QWidget *field)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    field->setPalette(p);
}
