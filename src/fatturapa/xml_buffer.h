#pragma once
// The lines of a FatturaPA file gathered in memory, in the file's own bytes, to be written
// out at once (XmlFile::writeEncoded).
#include "fatturapa/xml_file.h"

class XmlBuffer : public XmlLines {
public:
    void write(const QString &line) override { m_bytes += XmlFile::encodedLine(line); }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
