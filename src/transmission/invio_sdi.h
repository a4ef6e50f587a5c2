#pragma once
// The hand-over of written invoice files to the local sending service: one invoice for a
// private customer ("Invio a SDI"), one for a public administration ("Invio P.A."), and
// every unsent invoice in a batch ("Invio Fatture al SDI").
class Messages;
class TDiz;

void InvioSdi(TDiz &diz, Messages &messages);
void InvioPa(TDiz &diz, Messages &messages);
void InvioFattureSdi(TDiz &diz, Messages &messages);
