#include "ui/kit/db_amount_edit.h"

#include "ui/kit/command.h"

#include <QFocusEvent>

DbAmountEdit::DbAmountEdit(DbTable &table, const QString &column, QWidget *parent) : DbEdit(table, column, parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void DbAmountEdit::focusOutEvent(QFocusEvent *event)
{
    DbEdit::focusOutEvent(event);
    // A box losing the focus to a menu or a box of its own window is not left.
    if (m_onLeave && event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        runCommand(m_onLeave);
}
