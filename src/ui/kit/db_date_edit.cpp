#include "ui/kit/db_date_edit.h"

#include "ui/kit/command.h"
#include "ui/kit/field_link.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

QString DbDateEdit::invalidInputMessage()
{
    return QStringLiteral("Invalid input value.  Use escape key to abandon changes");
}

DbDateEdit::DbDateEdit(DbTable &table, const QString &column, QWidget *parent)
    : MaskedDateEdit(parent), m_link(new FieldLink(table, column, [this] { showColumn(); }, this))
{
    setObjectName(column);
    connect(this, &QLineEdit::textEdited, this, &DbDateEdit::userEdited);
    showColumn();
}

void DbDateEdit::showColumn()
{
    setReadOnly(!m_link->isActive());
    m_halfTyped = false;
    const QString stored = m_link->text();
    if (stored != maskedText() && !(stored.isEmpty() && isBlank()))
        setMaskedText(stored);
}

void DbDateEdit::userEdited()
{
    if (isComplete()) {
        m_halfTyped = false;
        m_link->write(maskedText());
    } else if (isBlank()) {
        m_halfTyped = false;
        m_link->write(QString());
    } else {
        // The row goes into editing now; the half-typed text stays in the field.
        const QString typed = maskedText();
        const int cursor = cursorPosition();
        m_link->startEditing();
        setMaskedText(typed);
        setCursorPosition(cursor);
        m_halfTyped = true;
    }
}

void DbDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_halfTyped) {
        showColumn();
        event->accept();
        return;
    }
    MaskedDateEdit::keyPressEvent(event);
}

void DbDateEdit::focusOutEvent(QFocusEvent *event)
{
    MaskedDateEdit::focusOutEvent(event);
    const bool movedAway = event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
    if (m_halfTyped && movedAway) {
        showGeneralError(invalidInputMessage());
        QTimer::singleShot(0, this, [this] {
            if (m_halfTyped)
                setFocus(Qt::OtherFocusReason);
        });
    }
}
