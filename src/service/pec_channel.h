#pragma once
// Channel "pec": an e-mail to the exchange system's certified-mail address with the file
// attached, sent over SMTP (libcurl) with TLS, as the settings say.
#include "service/channel.h"

class PecChannel : public Channel {
public:
    explicit PecChannel(const ServiceSettings &settings);
    void deliver(const QByteArray &bytes, const QString &bareName) override;
    bool withdraw(const QString &) override { return false; }  // a sent message stays sent
    // What went out is in the mailbox's sent messages, not visible here: only the
    // hand-over journal's record of a completed sending tells.
    bool holds(const QString &, const QByteArray &) const override { return false; }
    QString destination() const override;

private:
    QString m_server, m_user, m_password, m_from, m_to, m_security;
    int m_port;
};
