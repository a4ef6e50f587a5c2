#pragma once
// A bound date field with the mask "!99/99/00;1;_" (the due dates of an invoice). A
// complete date goes into the pending row as typed, with its slashes ("05/03/26"); an
// emptied field stores empty text. A half-typed date is never stored: leaving the field
// with one shows the mask error and keeps the focus there; Escape gives the column's
// value back.
#include "ui/kit/masked_date_edit.h"

class DbTable;
class FieldLink;

class DbDateEdit : public MaskedDateEdit {
    Q_OBJECT
public:
    static QString invalidInputMessage();  // "Invalid input value.  Use escape key to abandon changes"

    DbDateEdit(DbTable &table, const QString &column, QWidget *parent = nullptr);
    FieldLink &link() const { return *m_link; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showColumn();
    void userEdited();

    FieldLink *m_link;
    bool m_halfTyped = false;
};
