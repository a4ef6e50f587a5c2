#pragma once
// A bound drop-down list that also accepts typed text: the chosen item or the typed
// text is what the column of the current row receives, at once.
#include <QComboBox>

class DbTable;
class FieldLink;

class DbComboBox : public QComboBox {
    Q_OBJECT
public:
    DbComboBox(DbTable &table, const QString &column, const QStringList &items, QWidget *parent = nullptr);
    FieldLink &link() const { return *m_link; }

private:
    void showColumn();

    FieldLink *m_link;
};
