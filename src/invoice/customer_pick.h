#pragma once
// The customer pick: the buyer columns of the current invoice taken from the current
// customer.
class TDiz;

// Puts the current `testata` row into editing (a new invoice with its defaults when the
// table holds none; a row already being edited or inserted stays so), copies the
// fourteen buyer columns of the current `clienti` row value for value (NULL as NULL)
// and saves the invoice. A failed save leaves the invoice row in editing.
void PickCustomer(TDiz &diz);
