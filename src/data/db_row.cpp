#include "db_row.h"

#include <cstring>

namespace {
constexpr quint32 NullBit = 0x80000000u;

quint32 readU32(const char *p)
{
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void writeU32(char *p, quint32 v) { std::memcpy(p, &v, sizeof v); }
} // namespace

DbRow::DbRow(const Cells &cells)
{
    const int n = int(cells.size());
    qsizetype data = 0;
    for (const auto &c : cells)
        if (c)
            data += c->size();
    const qsizetype header = 4 * (n + 2);
    m_buf.resize(header + data);
    char *p = m_buf.data();
    writeU32(p, quint32(n));
    quint32 off = 0;
    for (int i = 0; i < n; ++i) {
        writeU32(p + 4 * (i + 1), cells[i] ? off : (off | NullBit));
        if (cells[i]) {
            std::memcpy(p + header + off, cells[i]->constData(), size_t(cells[i]->size()));
            off += quint32(cells[i]->size());
        }
    }
    writeU32(p + 4 * (n + 1), off);
}

DbRow::DbRow(unsigned count, char **values, const unsigned long *lengths, unsigned extraNullCells)
{
    const unsigned n = count + extraNullCells;
    qsizetype data = 0;
    for (unsigned i = 0; i < count; ++i)
        if (values[i])
            data += qsizetype(lengths[i]);
    const qsizetype header = 4 * (qsizetype(n) + 2);
    m_buf.resize(header + data);
    char *p = m_buf.data();
    writeU32(p, n);
    quint32 off = 0;
    for (unsigned i = 0; i < n; ++i) {
        const bool present = i < count && values[i];
        writeU32(p + 4 * (i + 1), present ? off : (off | NullBit));
        if (present) {
            std::memcpy(p + header + off, values[i], lengths[i]);
            off += quint32(lengths[i]);
        }
    }
    writeU32(p + 4 * (n + 1), off);
}

int DbRow::size() const { return m_buf.isEmpty() ? 0 : int(readU32(m_buf.constData())); }

bool DbRow::isNull(int i) const
{
    if (i < 0 || i >= size())
        return true;
    return readU32(m_buf.constData() + 4 * (i + 1)) & NullBit;
}

QByteArrayView DbRow::raw(int i) const
{
    if (isNull(i))
        return {};
    const char *p = m_buf.constData();
    const int n = size();
    const quint32 begin = readU32(p + 4 * (i + 1)) & ~NullBit;
    const quint32 end = readU32(p + 4 * (i + 2)) & ~NullBit;
    return QByteArrayView(p + 4 * (n + 2) + begin, qsizetype(end - begin));
}

DbRow::Cells DbRow::cells() const
{
    Cells out(static_cast<size_t>(size()));
    for (int i = 0; i < size(); ++i)
        if (!isNull(i))
            out[size_t(i)] = raw(i).toByteArray();
    return out;
}
