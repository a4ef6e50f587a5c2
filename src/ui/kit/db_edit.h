#pragma once
// A bound edit box: shows one column of the current row; typing puts the row into
// editing and stores the text in the pending row at once. It takes at most as many
// characters as the column holds, can turn typed letters to upper or lower case, and
// refuses anything but a whole number in an integer column.
#include <QLineEdit>

class DbTable;
class FieldLink;
class DbEditValidator;

class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class CharCase { AsTyped, Upper, Lower };

    DbEdit(DbTable &table, const QString &column, QWidget *parent = nullptr);

    void setCharCase(CharCase charCase);
    CharCase charCase() const { return m_charCase; }
    // A read-only box shows the column but takes no input.
    void setDataReadOnly(bool readOnly);
    FieldLink &link() const { return *m_link; }
    // The most characters (code points) the box takes: the column's width.
    int maxChars() const;

private:
    void showColumn();
    void userEdited(const QString &text);

    FieldLink *m_link;
    DbEditValidator *m_validator;
    CharCase m_charCase = CharCase::AsTyped;
    bool m_dataReadOnly = false;
};
