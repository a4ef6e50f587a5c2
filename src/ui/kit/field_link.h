#pragma once
// The link of a bound control to one column of a table object's current row: it tells
// the control when to show the column again (another row, a re-read, a change of the
// pending row) and carries the user's input into the row. Showing never writes, so
// showing a row never counts as an edit.
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

class DbTable;
struct DbField;

class FieldLink : public QObject {
    Q_OBJECT
public:
    // `show` is called whenever the control should show the column anew.
    FieldLink(DbTable &table, const QString &column, std::function<void()> show, QObject *parent);

    DbTable &table() const { return m_table; }
    const QString &column() const { return m_column; }
    // The table is open and has the column.
    bool isActive() const;
    // The column's description, or nullptr while not active.
    const DbField *field() const;
    // Characters the column holds (0 when unknown or not a text column).
    int width() const;
    // The most characters (code points) a control lets the user type: the column's
    // width, else no limit.
    int maxLength() const { return maxLength(m_table, m_column); }
    // The same for any column of a table object (a grid's cell editor).
    static int maxLength(const DbTable &table, const QString &column);
    static int width(const DbTable &table, const QString &column);

    // The rules every bound control and grid cell follow when they store user input:
    // empty text into a column that is not text stores NULL; anything else is set as
    // given (a text longer than a text column is cut to its width by the table object).
    static void storeInput(DbTable &table, const QString &column, const QVariant &value);
    QString text() const;    // empty while not active
    QVariant value() const;  // null while not active

    // Stores user input: puts the row into editing (a new row on an empty table) and
    // sets the column; empty text into a column that is not text stores NULL. An error
    // goes to the general error box; returns false then.
    bool write(const QVariant &value);
    // Puts the row into editing without setting anything (input not yet storable).
    bool startEditing();

private:
    void changed();
    bool whileWriting(const std::function<void()> &change);

    DbTable &m_table;
    QString m_column;
    std::function<void()> m_show;
    bool m_writing = false;
};
