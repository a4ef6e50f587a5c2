#pragma once
// An XML schema shipped in the project's schema/fatturapa folder, compiled once per process
// and folder and shared by every validation (a compiled schema is only read while documents
// are validated against it). Nothing a schema names is ever fetched from the network.
#include <QString>
#include <QStringList>
#include <libxml/xmlerror.h>

#include <map>
#include <memory>
#include <mutex>

typedef struct _xmlSchema xmlSchema;

class CompiledSchema {
public:
    struct Compiled {
        std::shared_ptr<xmlSchema> schema;  // null when it cannot be used
        QString error;                      // why, in Italian
    };

    // `fileName` is looked for in the folder; `label` names the schema in the errors
    // ("schema FatturaPA").
    CompiledSchema(const char *fileName, QString label);

    // The folder holding the schema. Without one set, the first of these that holds it:
    // <program folder>/schema/fatturapa, <program folder>/../schema/fatturapa, the project's
    // schema/fatturapa compiled in.
    QString folder() const;
    void setFolder(const QString &folder);

    // The schema of folder(), compiled on first use; a failed compilation is remembered.
    Compiled compiled() const;

    // A libxml2 structured-error callback that appends each message to the QStringList
    // given as user data.
    static void collectMessage(void *messages, xmlErrorPtr error);

private:
    QString lookedUpFolder() const;
    Compiled compile(const QString &dir) const;

    const char *m_fileName;
    QString m_label;
    mutable std::mutex m_mutex;
    QString m_folder;  // set by the program; empty: looked for
    mutable std::map<QString, Compiled> m_compiled;
};
