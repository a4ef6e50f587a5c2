#pragma once
// What "Stampa" tells the user when the current invoice cannot be previewed: the fixed
// "Mancanza Dati" first, then, on a line of its own, which datum is missing or unusable.
#include <QString>
#include <exception>

class TDiz;

QString missingDataMessage(const TDiz &diz, const std::exception &error);
