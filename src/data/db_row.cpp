#include "data/db_row.h"

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

DbRow DbRow::withTail(int from, const Cells &tail) const
{
    const int n = from + int(tail.size());
    qsizetype data = 0;
    for (int i = 0; i < from; ++i)
        data += raw(i).size();
    for (const auto &c : tail)
        if (c)
            data += c->size();
    DbRow out;
    const qsizetype header = 4 * (n + 2);
    out.m_buf.resize(header + data);
    char *p = out.m_buf.data();
    writeU32(p, quint32(n));
    quint32 off = 0;
    auto put = [&](int i, bool null, QByteArrayView bytes) {
        writeU32(p + 4 * (i + 1), null ? (off | NullBit) : off);
        if (!null) {
            std::memcpy(p + header + off, bytes.data(), size_t(bytes.size()));
            off += quint32(bytes.size());
        }
    };
    for (int i = 0; i < from; ++i)
        put(i, isNull(i), raw(i));
    for (int i = 0; i < int(tail.size()); ++i)
        put(from + i, !tail[size_t(i)], tail[size_t(i)] ? QByteArrayView(*tail[size_t(i)]) : QByteArrayView());
    writeU32(p + 4 * (n + 1), off);
    return out;
}

bool DbRow::sameCells(unsigned count, char **values, const unsigned long *lengths) const
{
    if (size() < int(count))
        return false;
    for (unsigned i = 0; i < count; ++i) {
        const bool null = !values[i];
        if (isNull(int(i)) != null || (!null && raw(int(i)) != QByteArrayView(values[i], qsizetype(lengths[i]))))
            return false;
    }
    return true;
}
