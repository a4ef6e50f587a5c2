#pragma once
// A bound edit box for an amount: right-aligned, and it runs a handler each time the
// user leaves it (the focus goes elsewhere), for example to recompute a line. The
// handler runs as a command: an error it raises goes to the general error box.
#include "ui/kit/db_edit.h"

#include <functional>

class DbAmountEdit : public DbEdit {
    Q_OBJECT
public:
    DbAmountEdit(DbTable &table, const QString &column, QWidget *parent = nullptr);
    void setOnLeave(std::function<void()> handler) { m_onLeave = std::move(handler); }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    std::function<void()> m_onLeave;
};
