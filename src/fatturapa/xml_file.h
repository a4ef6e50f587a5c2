#pragma once
// A FatturaPA file being written: the lines go to a temporary file in the target folder,
// which replaces the file of the final name only on commit(). Without a commit (a failure
// while writing) the temporary file is removed and an earlier file of that name stays.
#include "xml_lines.h"

#include <QSaveFile>

class XmlFile : public XmlLines {
public:
    // Raises AppError "Invalid filename" when the folder does not exist,
    // "File access denied" when the file cannot be created there.
    explicit XmlFile(const QString &path);
    // Each line in UTF-8 (no byte-order mark) followed by CR LF.
    void write(const QString &line) override;
    // Puts the complete file in place under its final name.
    void commit();

private:
    [[noreturn]] void fail();
    QSaveFile m_file;
};
