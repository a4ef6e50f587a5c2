#include "invio_sdi.h"

void InvioSdi(TDiz &, Messages &) {}
void InvioPa(TDiz &, Messages &) {}
void InvioFattureSdi(TDiz &, Messages &) {}
