#pragma once
// Description of one column of a result: what the table objects need to read, cut and
// write its values.
#include <QString>

struct DbField {
    enum class Kind { Integer, Float, Date, DateTime, Text, Other };

    QString name;        // name in the result
    QString orgName;     // column name in its table (empty for expressions)
    Kind kind = Kind::Text;
    int width = 0;       // characters a text column holds (0: not a text column or unknown)
    bool autoIncrement = false;
    bool primaryKey = false;
    bool calculated = false;  // computed by the program, never written to the server

    bool isText() const { return kind == Kind::Text; }
    bool isNumeric() const { return kind == Kind::Integer || kind == Kind::Float; }
};
