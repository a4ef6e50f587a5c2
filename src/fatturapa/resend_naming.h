#pragma once
// The progressive of an invoice's file once the exchange system has rejected the invoice.
// It refuses a file name it has seen before (error 00002), so a corrected invoice goes out
// under a new name. A first sending keeps the usual progressive (0 or P, then the digits);
// after the k-th rejected file of the invoice, the first character becomes the k-th letter
// of a series that no first sending uses: A to O where the usual prefix is 0 (workspace
// "A"), Q to Z where it is P. Key 7 of workspace "A": 00007, rejected once A0007, twice B0007.
#include <QString>

class DbConnection;

// The progressive of the invoice's next file: usual, or resent after `rejectedFiles`
// rejections. Raises AppError when the series of letters is used up.
QString resentProgressive(int idInvio, const QString &workspaceCaption, int rejectedFiles);

// How many different files of the invoice the exchange system rejected (a signed file and
// its content count once); 0 on a database without the table of the answers.
int rejectedFileCount(DbConnection &conn, int idInvio);

// The progressive the writers give the invoice's file now.
QString sendingProgressive(DbConnection &conn, int idInvio, const QString &workspaceCaption);
