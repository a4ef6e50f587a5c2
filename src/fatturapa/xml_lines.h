#pragma once
// Where the lines of a FatturaPA file go: the file itself, or a recorder in tests.
#include <QString>

class XmlLines {
public:
    virtual ~XmlLines() = default;
    // Appends one complete line; the carriage return and line feed are added here.
    virtual void write(const QString &line) = 0;
};

// One element on one line: opening tag, value (already in its written form), closing tag.
inline QString element(const QString &name, const QString &value)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + value + QStringLiteral("</") + name + QLatin1Char('>');
}
