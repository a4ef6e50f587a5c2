#pragma once
// The calculated field `prot` of `testata`: the short protocol number of the invoice list.
class DbRecord;

// `id_invio` as decimal digits up to 9999; above that the five characters at positions
// 15 to 19 of `nome_file` (the start of the transmission progressive). Whatever cannot
// be worked out (no key yet, no file name) leaves `prot` empty.
void TestataCalcFields(DbRecord &record);
