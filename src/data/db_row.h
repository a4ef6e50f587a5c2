#pragma once
// Compact storage of one fetched row: all cells of the row, as the server's text form
// (UTF-8), in one buffer, with a null marker per cell. A table of fifty thousand wide
// rows then costs about one allocation per row.
#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

class DbRow {
public:
    using Cells = std::vector<std::optional<QByteArray>>;

    DbRow() = default;
    explicit DbRow(const Cells &cells);
    // Builds from raw client-library buffers (lengths[i] bytes at values[i]; null pointer = NULL).
    DbRow(unsigned count, char **values, const unsigned long *lengths, unsigned extraNullCells);

    // The same row with the cells from `from` on replaced by `tail`.
    DbRow withTail(int from, const Cells &tail) const;

    // True when the first `count` cells are those of raw client-library buffers (as above).
    bool sameCells(unsigned count, char **values, const unsigned long *lengths) const;

    int size() const;
    bool isNull(int i) const;
    QByteArrayView raw(int i) const;
    Cells cells() const;

private:
    // Layout: int32 count, then count+1 int32 offsets (the sign bit of an offset marks NULL),
    // then the cell bytes.
    QByteArray m_buf;
};
