#include "ui/screens/elenco_fatt/esito_sdi_panel.h"

#include "ui/kit/caption_font.h"
#include "transmission/answers_request.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "data/diz.h"
#include "receiving/sdi_answers.h"
#include "settings/service_settings.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString meaning(Sdi::Outcome outcome)
{
    switch (outcome) {
    case Sdi::Outcome::None:
        return QStringLiteral("nessuna risposta di SDI al file attuale");
    case Sdi::Outcome::Delivered:
        return QStringLiteral("consegnata");
    case Sdi::Outcome::Rejected:
        return QStringLiteral("SCARTATA da SDI: la fattura non è emessa; correggerla, rigenerare il file XML (avrà un nome nuovo) "
                              "e inviarla di nuovo entro cinque giorni");
    case Sdi::Outcome::NotDelivered:
        return QStringLiteral("emessa ma non consegnata: a disposizione del cliente nella sua area riservata; avvisarlo");
    case Sdi::Outcome::Refused:
        return QStringLiteral("RIFIUTATA dalla pubblica amministrazione");
    }
    return {};
}

QString outcomeText(const Sdi::StoredAnswer &a)
{
    if (a.outcome == QLatin1String("EC01"))
        return QStringLiteral("EC01 - Accettata");
    if (a.outcome == QLatin1String("EC02"))
        return QStringLiteral("EC02 - Rifiutata");
    return a.outcome;
}

} // namespace

EsitoSdiPanel::EsitoSdiPanel(TDiz &diz, QWidget *parent) : QFrame(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("EsitoSdiPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(QStringLiteral("ESITO SDI"), this);
    setCaptionFont(title, 18);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    invoiceLabel = new QLabel(this);
    invoiceLabel->setWordWrap(true);
    layout->addWidget(invoiceLabel);

    answersTable = new QTableWidget(0, 6, this);
    answersTable->setObjectName(QStringLiteral("answersTable"));
    answersTable->setHorizontalHeaderLabels({QStringLiteral("Data/Ora"), QStringLiteral("Messaggio"), QStringLiteral("File"),
                                             QStringLiteral("Id. SDI"), QStringLiteral("Esito"), QStringLiteral("Errori e descrizioni")});
    answersTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    answersTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    answersTable->setWordWrap(true);
    answersTable->horizontalHeader()->setStretchLastSection(true);
    answersTable->verticalHeader()->setVisible(false);
    layout->addWidget(answersTable, 1);

    serviceLabel = new QLabel(this);
    serviceLabel->setWordWrap(true);
    serviceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(serviceLabel);

    auto *buttons = new QHBoxLayout;
    leggiButton = new QPushButton(QStringLiteral("Leggi messaggi"), this);
    leggiButton->setObjectName(QStringLiteral("leggiButton"));
    leggiButton->setAutoDefault(false);
    closeButton = new QPushButton(QStringLiteral("Chiudi"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAutoDefault(false);
    buttons->addWidget(leggiButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    onClick(leggiButton, [this] { onLeggi(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

void EsitoSdiPanel::showForCurrentInvoice()
{
    serviceLabel->clear();
    reload();
    show();
    raise();
}

void EsitoSdiPanel::reload()
{
    answersTable->setRowCount(0);
    DbTable &testata = m_diz.Testata;
    if (testata.isEmpty()) {
        invoiceLabel->setText(QStringLiteral("Nessuna fattura selezionata"));
        return;
    }
    if (testata.isNull(col::testata::id_invio)) {
        invoiceLabel->setText(QStringLiteral("Fattura non ancora registrata: nessuna risposta di SDI"));
        return;
    }
    const int id = testata.asInteger(col::testata::id_invio);
    const QString file = testata.text(col::testata::nome_file);
    const QList<Sdi::StoredAnswer> answers = Sdi::answersOf(m_diz.xml_conn, id);
    Sdi::Outcome outcome = Sdi::Outcome::None;
    if (!answers.isEmpty()) {
        const Sdi::StoredAnswer &last = answers.last();
        outcome = Sdi::outcomeFor({last.type, last.outcome, last.nomeFile}, file);
    }
    invoiceLabel->setText(QStringLiteral("Fattura %1, file %2: %3")
                              .arg(id)
                              .arg(file.isEmpty() ? QStringLiteral("non ancora creato") : file, meaning(outcome)));
    answersTable->setRowCount(int(answers.size()));
    for (int r = 0; r < answers.size(); ++r) {
        const Sdi::StoredAnswer &a = answers[r];
        QStringList details;
        for (const Sdi::Error &e : a.errors)
            details << e.code + QStringLiteral(" - ") + e.description;
        if (!a.description.isEmpty())
            details << a.description;
        const QStringList cells{a.dateTime, Sdi::typeCaption(a.type), a.nomeFile, a.idSdi, outcomeText(a), details.join(QLatin1Char('\n'))};
        for (int c = 0; c < cells.size(); ++c)
            answersTable->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    answersTable->resizeColumnsToContents();
    answersTable->resizeRowsToContents();
}

void EsitoSdiPanel::onLeggi()
{
    serviceLabel->setText(readAnswersNow(loadServiceSettings()));
    reload();
    emit answersRead();
}
