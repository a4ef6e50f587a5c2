#pragma once
// Channel "folder": the file is copied into the outbox folder, ready for upload to the
// revenue agency's portal. The copy appears under its name only once complete (it is
// written under a temporary name and renamed), so that nothing ever picks up half a file.
#include "channel.h"

class FolderChannel : public Channel {
public:
    explicit FolderChannel(QString outbox);
    void deliver(const QByteArray &bytes, const QString &bareName) override;
    bool withdraw(const QString &bareName) override;
    QString destination() const override;

private:
    QString m_outbox;
};
