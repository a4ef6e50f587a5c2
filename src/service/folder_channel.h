#pragma once
// Channel "folder": the file is copied into the outbox folder, ready for upload to the
// revenue agency's portal. The copy appears under its name only once complete (it is
// written under a temporary name and then linked under its own), so that nothing ever
// picks up half a file, and a file of the same name already waiting is never replaced.
#include "service/channel.h"

class FolderChannel : public Channel {
public:
    // Removes the temporary copies that a stopped delivery may have left in `outbox`.
    explicit FolderChannel(QString outbox);
    void deliver(const QByteArray &bytes, const QString &bareName) override;
    bool withdraw(const QString &bareName) override;
    bool holds(const QString &bareName, const QByteArray &sha256) const override;
    QString destination() const override;

private:
    QString m_outbox;
};
