#pragma once
// A way of handing an invoice file over to the exchange system.
#include "settings/service_settings.h"

#include <QByteArray>
#include <QString>
#include <memory>

class Channel {
public:
    virtual ~Channel() = default;
    // Hands `bytes` over as the file `bareName`; raises AppError (Italian text) when it
    // could not. A file of that name still waiting at the destination is never replaced.
    virtual void deliver(const QByteArray &bytes, const QString &bareName) = 0;
    // Takes back what deliver() did, where that is possible (after a failure to record the
    // sending); false when the hand-over cannot be undone.
    virtual bool withdraw(const QString &bareName) = 0;
    // Whether the destination visibly holds exactly the file `bareName` with the SHA-256
    // `sha256` (a hand-over interrupted before it was recorded); false when the channel
    // cannot see what it handed over.
    virtual bool holds(const QString &bareName, const QByteArray &sha256) const = 0;
    // Where the file went, for the answer page ("nella cartella di uscita /x/out/outbox").
    virtual QString destination() const = 0;
};

// The channel named in the settings ("folder" or "pec"); raises AppError for another name
// or a PEC channel without server or sender.
std::unique_ptr<Channel> makeChannel(const ServiceSettings &settings);
