#pragma once
// A date field with the edit mask "!99/99/00;1;_": day and month of up to two digits,
// the year as exactly two digits, the slashes kept in the text, "_" shown for an empty
// position. Its text is the Delphi-style masked text: 8 characters with a blank for
// every empty position ("05/03/26", "  /  /  ").
#include <QDate>
#include <QLineEdit>

class MaskedDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskedDateEdit(QWidget *parent = nullptr);

    QString maskedText() const;
    void setMaskedText(const QString &text);
    // Shows the date as day/month/two-digit year (09/12/26).
    void setDate(const QDate &date);
    // Every required position (the year) is filled.
    bool isComplete() const { return hasAcceptableInput(); }
    // No position is filled.
    bool isBlank() const;
};
