#pragma once
// Connects the header table of the data module to its invoice rules: the calculated
// field `prot` and the defaults of a new header. Call it right after the data module
// is created, before its tables open (calculated fields are declared before opening).
class TDiz;

void installTestataHooks(TDiz &diz);
