#pragma once
// What a check needs to know beyond the file itself: the day it is made (the exchange
// system compares dates with the day of receipt, and some rules hold only from a given
// day), whether the file is one this business sends or one it has received, the file's
// own name and the names this business has already sent.
#include <QDate>
#include <QString>
#include <functional>

struct CheckOptions {
    // The day of the check; an invalid date stands for today.
    QDate today;
    // A received invoice: the rules as they stand for a file that reaches this business
    // (no file-name rules; N6 natures with a rate above zero).
    bool received = false;
    // The bare file name (IT01234567890_00001.xml); empty: the name is not checked.
    QString fileName;
    // True when a file of that name has already been sent; empty: not checked (00002).
    std::function<bool(const QString &name)> nameAlreadySent;

    QDate day() const { return today.isValid() ? today : QDate::currentDate(); }
};
