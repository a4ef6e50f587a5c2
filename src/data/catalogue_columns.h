#pragma once
// The columns of a table of the catalogue (columns.h) as the list a table object requires
// of what its server returns: a column the schema names but the server lacks makes the
// table fail to open, at log-in, not when a screen first reads it.
#include "data/columns.h"

#include <QStringList>
#include <array>
#include <cstddef>

template <std::size_t N>
QStringList catalogueColumns(const std::array<const char *, N> &columns)
{
    QStringList names;
    names.reserve(qsizetype(N));
    for (const char *c : columns)
        names << QString::fromLatin1(c);
    return names;
}
