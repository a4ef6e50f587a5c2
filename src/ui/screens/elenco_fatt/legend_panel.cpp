#include "ui/screens/elenco_fatt/legend_panel.h"

#include "ui/kit/caption_font.h"
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct LegendGroup {
    const char *heading;
    QStringList entries;
};

const QList<LegendGroup> &legendGroups()
{
    static const QList<LegendGroup> groups{
        {"Tipo Documento:",
         {QStringLiteral("TD01 - Fattura"), QStringLiteral("TD04 - Nota Credito"), QStringLiteral("TD05 - Nota Debito"),
          QStringLiteral("TD20 - AutoFattura")}},
        {"Tipo Pagamento:", {QStringLiteral("TP01 - A Rate"), QStringLiteral("TP02 - Completo")}},
        {"Modalità di Pag.",
         {QStringLiteral("MP01 - Contanti"), QStringLiteral("MP02 - Assegno"), QStringLiteral("MP05 - Bonifico"),
          QStringLiteral("MP12 - Ri.Ba.")}},
        {"Esigibilta Iva:", {QStringLiteral("I - Immediata"), QStringLiteral("D - Differita")}},
        {"Natura Iva:",
         {QStringLiteral("N1 - Escluse ex art.15"), QStringLiteral("N2 - Non Soggette"),
          QStringLiteral("N3 - Non Imponibili"), QStringLiteral("N4 - Esenti"),
          QStringLiteral("N5 - Regime del Margine"), QStringLiteral("N6 - Reverse Charge")}},
        // The colours of the invoice list (the exchange system's latest answer).
        {"Colori Fatture:",
         {QStringLiteral("Rosso - Inviata"), QStringLiteral("Arancione - Scartata da SDI: correggere e reinviare"),
          QStringLiteral("Viola - Rifiutata dalla P.A.")}},
    };
    return groups;
}

QLabel *heading(const QString &text, QWidget *parent, int pixelSize)
{
    auto *label = new QLabel(text, parent);
    setCaptionFont(label, pixelSize);
    return label;
}

} // namespace

LegendPanel::LegendPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("P2"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(1);
    layout->addWidget(heading(QStringLiteral("LEGENDA"), this, 18), 0, Qt::AlignHCenter);
    for (const LegendGroup &group : legendGroups()) {
        layout->addSpacing(6);
        layout->addWidget(heading(QString::fromUtf8(group.heading), this, 14));
        for (const QString &entry : group.entries)
            layout->addWidget(new QLabel(entry, this));
    }
    layout->addStretch();
    closeButton = new QPushButton(QStringLiteral("Chiudi"), this);
    closeButton->setObjectName(QStringLiteral("BitBtn2"));
    closeButton->setAutoDefault(false);
    layout->addWidget(closeButton, 0, Qt::AlignRight);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}
