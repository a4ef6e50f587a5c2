#pragma once
// One request of the sending addresses (/Fatt_Ven/mail_sdi.php, /Fatt_Ven/mail_sdi_pa.php):
// the invoice's file, found by its bare name in the company's folder, is checked, handed
// over through the channel and its invoice marked as sent, or refused with the reason.
#include "service/html_page.h"

#include <QString>
#include <optional>

class Channel;
class DbConnection;
class HandoverJournal;
class InvoiceSigner;

struct SendRequest {
    std::optional<QString> nomeFile;  // query key nome_file (absent: nullopt)
    std::optional<QString> nInvio;    // query key n_invio
};

// The answer to the request. Everything happens with the invoice's row locked: its file is
// read once, and the bytes checked are the bytes handed over. Two requests for the same
// invoice at the same moment hand it over once: the second waits for the first and then
// finds it sent. What goes out is the checked file as `signer` prepares it (signed
// "<name>.p7m" where it must be). Each hand-over is recorded in `journal` before it happens.
ServiceAnswer sendInvoice(DbConnection &conn, Channel &channel, HandoverJournal &journal, InvoiceSigner &signer,
                          const SendRequest &request);

// The file of the company's folder (azienda.path of the first company row, trimmed, with the
// name appended to it as the XML writers do); a relative folder is taken from the current folder.
QString companyFilePath(DbConnection &conn, const QString &bareName);
