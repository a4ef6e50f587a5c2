#include "ui/kit/db_navigator.h"

#include "ui/kit/command.h"
#include "ui/kit/db_editing.h"
#include "data/db_table.h"
#include "ui/kit/ui_messages.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

struct Face {
    const char *name;
    const char *glyph;
    const char *hint;
};

Face faceOf(DbNavigator::Button b)
{
    switch (b) {
    case DbNavigator::Button::First:
        return {"First", "|\u25C0", "Primo record"};
    case DbNavigator::Button::Prior:
        return {"Prior", "\u25C0", "Record precedente"};
    case DbNavigator::Button::Next:
        return {"Next", "\u25B6", "Record successivo"};
    case DbNavigator::Button::Last:
        return {"Last", "\u25B6|", "Ultimo record"};
    case DbNavigator::Button::Insert:
        return {"Insert", "+", "Inserisci record"};
    case DbNavigator::Button::Delete:
        return {"Delete", "\u2212", "Elimina record"};
    case DbNavigator::Button::Edit:
        return {"Edit", "\u25B2", "Modifica record"};
    case DbNavigator::Button::Post:
        return {"Post", "\u2714", "Registra modifiche"};
    case DbNavigator::Button::Cancel:
        return {"Cancel", "\u2716", "Annulla modifiche"};
    case DbNavigator::Button::Refresh:
        return {"Refresh", "\u21BB", "Aggiorna dati"};
    }
    return {"", "", ""};
}

} // namespace

QList<DbNavigator::Button> DbNavigator::allButtons()
{
    return {Button::First, Button::Prior, Button::Next,   Button::Last,   Button::Insert,
            Button::Delete, Button::Edit, Button::Post, Button::Cancel, Button::Refresh};
}

DbNavigator::DbNavigator(DbTable &table, const QList<Button> &buttons, QWidget *parent)
    : QWidget(parent), m_table(table), m_order(buttons)
{
    setFocusPolicy(Qt::TabFocus);  // one stop in the tab order, as one control
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (Button b : m_order) {
        const Face face = faceOf(b);
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(face.name));
        button->setText(QString::fromUtf8(face.glyph));
        button->setToolTip(QString::fromUtf8(face.hint));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setFocusPolicy(Qt::NoFocus);  // a click leaves the focus in the field being edited
        connect(button, &QToolButton::clicked, this, [this, b] { click(b); });
        layout->addWidget(button);
        m_buttons << button;
    }
    for (auto signal : {&DbTable::stateChanged, &DbTable::currentRowChanged, &DbTable::rowsReset})
        connect(&m_table, signal, this, &DbNavigator::updateButtons);
    // Rows that a re-read adds or removes change what lies before and after the current one.
    connect(&m_table, &DbTable::rowInserted, this, &DbNavigator::updateButtons);
    connect(&m_table, &DbTable::rowRemoved, this, &DbNavigator::updateButtons);
    updateButtons();
}

QToolButton *DbNavigator::button(Button b) const
{
    const qsizetype i = m_order.indexOf(b);
    return i < 0 ? nullptr : m_buttons[i];
}

void DbNavigator::click(Button b)
{
    runCommand([&] { run(b); });
    updateButtons();
}

void DbNavigator::run(Button b)
{
    switch (b) {
    case Button::First:
        m_table.first();
        break;
    case Button::Prior:
        m_table.prior();
        break;
    case Button::Next:
        m_table.next();
        break;
    case Button::Last:
        m_table.last();
        break;
    case Button::Insert:
        m_table.append();
        break;
    case Button::Delete:
        if (!uiMessages().confirmOkCancel(QStringLiteral("Delete record?")))
            break;
        if (m_deleteAction)
            m_deleteAction();
        else
            m_table.remove();
        break;
    case Button::Edit:
        beginEdit(m_table);
        break;
    case Button::Post:
        m_table.post();
        break;
    case Button::Cancel:
        m_table.cancel();
        break;
    case Button::Refresh:
        // A table that re-reads itself periodically (the invoice list of tens of thousands
        // of rows) is re-read the same way, without holding the window.
        if (m_table.refreshInterval() > 0)
            m_table.rereadInBackground();
        else
            m_table.refresh();
        break;
    }
}

void DbNavigator::updateButtons()
{
    const bool open = m_table.isOpen();
    const bool editing = m_table.isEditing();
    const bool hasRow = !m_table.isEmpty() || editing;
    for (int i = 0; i < m_order.size(); ++i) {
        bool enabled = open;
        switch (m_order[i]) {
        case Button::First:
        case Button::Prior:
            enabled = open && !m_table.bof();
            break;
        case Button::Next:
        case Button::Last:
            enabled = open && !m_table.eof();
            break;
        case Button::Delete:
            enabled = open && hasRow;
            break;
        case Button::Edit:
            enabled = open && !editing;
            break;
        case Button::Post:
        case Button::Cancel:
            enabled = open && editing;
            break;
        case Button::Insert:
        case Button::Refresh:
            break;
        }
        m_buttons[i]->setEnabled(enabled);
    }
}
