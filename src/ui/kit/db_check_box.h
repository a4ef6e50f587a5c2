#pragma once
// A bound check box on a boolean column: ticking writes true (1), clearing writes
// false (0), at once into the current row. A NULL column shows unticked.
#include <QCheckBox>

class DbTable;
class FieldLink;

class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    DbCheckBox(DbTable &table, const QString &column, const QString &caption, QWidget *parent = nullptr);
    FieldLink &link() const { return *m_link; }

private:
    void showColumn();

    FieldLink *m_link;
};
