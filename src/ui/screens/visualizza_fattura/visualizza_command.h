#pragma once
// "Visualizza" of the two lists: the file of the current invoice shown as the revenue
// agency renders it. An issued invoice's file is the one the XML writers wrote into the
// company's folder; a received invoice's file is the one loaded from the received folder.
#include <QString>

class QWidget;
class TDiz;

// The current row of Testata; a message when there is none or it has no file yet.
void visualizzaFatturaEmessa(TDiz &diz, QWidget *parent);
// The current row of Testa_Car, whose file lies in `receivedFolder`.
void visualizzaFatturaRicevuta(TDiz &diz, const QString &receivedFolder, QWidget *parent);
