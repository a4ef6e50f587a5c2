#pragma once
// A FatturaPA file being written: the lines go to a temporary file in the target folder,
// which replaces the file of the final name only on commit(). Without a commit (a failure
// while writing) the temporary file is removed and an earlier file of that name stays.
#include "fatturapa/xml_lines.h"

#include <QSaveFile>

class XmlFile : public XmlLines {
public:
    // Raises AppError "Invalid filename" when the folder does not exist,
    // "File access denied" when the file cannot be created there.
    explicit XmlFile(const QString &path);
    // Each line in UTF-8 (no byte-order mark) followed by CR LF. Characters that an
    // XML 1.0 document cannot hold are left out (see xmlCharactersOnly).
    void write(const QString &line) override;
    // Bytes already in the file's form (lines made by encodedLine()).
    void writeEncoded(const QByteArray &bytes);
    // One line as the file holds it.
    static QByteArray encodedLine(const QString &line);
    // Puts the complete file in place under its final name. Every byte is first pushed to
    // the disk and checked: a full disk or any other write failure raises AppError
    // "Scrittura del file <path> non riuscita: <cause>" and leaves no file behind.
    void commit();

private:
    [[noreturn]] void failWriting(int systemError);
    QString m_path;
    QSaveFile m_file;
};
