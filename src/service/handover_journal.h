#pragma once
// The hand-over journal: a record, written before an invoice file goes out, that the
// hand-over of that invoice has started, and then that it completed (it survives the
// service's own end, a kill or a crash; it is not forced to the disk, like the outbox file
// itself, since a flush costs more than a whole sending). The
// record is removed once the invoice is marked as sent (or the hand-over undone). A record
// found when the service starts tells of a hand-over cut short between the delivery and the
// marking; the reconciliation (handover_reconcile.h) settles it.
// One file per invoice (<n_invio>.consegna) in the journal folder.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

struct HandoverRecord {
    int number = 0;           // id_invio
    QString name;             // nome_file handed over
    QByteArray sha256;        // of the bytes handed over
    bool delivered = false;   // the channel reported the delivery as done
};

class HandoverJournal {
public:
    explicit HandoverJournal(QString folder);

    // Records that `bytes` are about to be handed over as `name` for invoice `number`.
    // Raises AppError when the record cannot be written (then nothing may go out).
    void begin(int number, const QString &name, const QByteArray &bytes);
    // Records that the channel delivered them.
    void delivered(int number);
    // Drops the record of invoice `number` (marked as sent, or nothing went out).
    void finish(int number);

    std::optional<HandoverRecord> record(int number) const;
    std::vector<HandoverRecord> records() const;
    const QString &folder() const { return m_folder; }

private:
    QString path(int number) const;

    QString m_folder;
};
