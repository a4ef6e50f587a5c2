#pragma once
// Settling the hand-overs that the journal shows as cut short (the service stopped between
// the delivery of a file and the marking of its invoice): an invoice whose file went out is
// marked as sent, so that it is not submitted a second time; one whose file did not go out
// stays unsent. Runs when the service starts, and again for one invoice before it is sent.
#include <QString>
#include <QStringList>

class Channel;
class DbConnection;
class HandoverJournal;
struct HandoverRecord;

// Whether the hand-over of `record` went out: the journal saw the delivery complete, or the
// channel holds exactly the bytes recorded.
bool handoverWentOut(const Channel &channel, const HandoverRecord &record);
// The log line of a settled record.
QString settledText(const Channel &channel, const HandoverRecord &record, bool wentOut);

// Settles every record of the journal, each in a transaction of its own with the invoice's
// row locked, and drops it once settled; returns the log lines (a record that could not be
// settled says so and stays for the next time).
QStringList settleAllHandovers(DbConnection &conn, Channel &channel, HandoverJournal &journal);
