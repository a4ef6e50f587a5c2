#pragma once
// Reading numbers from the management database's datasets for the import.
#include <QAnyStringView>

class DbTable;

// The column of the current row as a number. A missing (null) value counts as 0; a value
// that is not a number raises the conversion error "'%s' is not a valid floating point value".
double sourceNumber(const DbTable &table, QAnyStringView column);
