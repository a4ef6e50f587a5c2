#pragma once
// The hand-over of written invoice files to the local sending service: one invoice for a
// private customer ("Invio a SDI"), one for a public administration ("Invio P.A."), and
// every unsent invoice in a batch ("Invio Fatture al SDI").
class Messages;
class TDiz;

void InvioSdi(TDiz &diz, Messages &messages);
void InvioPa(TDiz &diz, Messages &messages);
// The batch takes the keys of the unsent invoices at its start and works through them,
// each read again as stored when its turn comes: every one is handed over or listed at
// the end as skipped, with its reason (no file, sent or deleted meanwhile).
void InvioFattureSdi(TDiz &diz, Messages &messages);
