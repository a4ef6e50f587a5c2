#pragma once
// The defaults of a new invoice header: a sale paid in full, in cash, with immediate
// VAT, shipped by carrier, carriage paid, with zero expenses and rounding.
class DbTable;

// Writes the defaults into the new (inserting) row of `testata`. Every other column stays NULL.
void TestataNewRecord(DbTable &testata);
