#include "ui/screens/elenco_fatt/header_panel.h"

#include "data/app_error.h"
#include "invoice/calcola_totali.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "ui/kit/db_check_box.h"
#include "ui/kit/db_combo_box.h"
#include "ui/kit/db_date_edit.h"
#include "ui/kit/db_edit.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "data/diz.h"
#include "ui/kit/ui_messages.h"
#include "ui/kit/labelled_grid.h"
#include "ui/screens/elenco_fatt/nature_codes.h"
#include "ui/kit/panel_edit.h"
#include "data/testata_buckets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QStringList items(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out << QString::fromLatin1(t);
    return out;
}

// Adds bound fields of the header to one grid of a group, each with its caption above.
class HeaderFields {
public:
    HeaderFields(DbTable &table, QWidget *group) : m_table(table), m_group(group), m_grid(new QGridLayout(group)) {}

    QGridLayout *grid() const { return m_grid; }

    DbEdit *edit(int row, int column, const char *name, const char *caption, const char *field, int span = 1)
    {
        auto *box = new DbEdit(m_table, QString::fromLatin1(field), m_group);
        place(box, row, column, name, caption, span);
        return box;
    }
    DbEdit *readOnly(int row, int column, const char *name, const char *caption, const char *field)
    {
        DbEdit *box = edit(row, column, name, caption, field);
        box->setDataReadOnly(true);
        showAsComputed(box);
        return box;
    }
    DbComboBox *list(int row, int column, const char *name, const char *caption, const char *field, const QStringList &choices)
    {
        auto *box = new DbComboBox(m_table, QString::fromLatin1(field), choices, m_group);
        place(box, row, column, name, caption, 1);
        return box;
    }
    DbDateEdit *date(int row, int column, const char *name, const char *caption, const char *field)
    {
        auto *box = new DbDateEdit(m_table, QString::fromLatin1(field), m_group);
        place(box, row, column, name, caption, 1);
        return box;
    }

private:
    void place(QWidget *box, int row, int column, const char *name, const char *caption, int span)
    {
        box->setObjectName(QString::fromLatin1(name));
        addLabelled(m_grid, row, column, QString::fromUtf8(caption), box, span);
    }

    DbTable &m_table;
    QWidget *m_group;
    QGridLayout *m_grid;
};


QGroupBox *group(const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    return box;
}

} // namespace

HeaderPanel::HeaderPanel(TDiz &diz, QWidget *parent) : QFrame(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("P4"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    build();
    onClick(m_registra, [this] { registra(); });
    onClick(m_annulla, [this] { annulla(); });
    hide();
}

QStringList HeaderPanel::natureItems(int bucket)
{
    // The first bucket's list stops at N5; each list keeps its own items.
    return NatureCodes::list(bucket == 1 ? 5 : 6);
}

// The groups in reading order, which is also the tab order of their fields.
void HeaderPanel::build()
{
    auto *page = new QVBoxLayout(this);
    page->setSpacing(4);

    auto *title = new QLabel(QStringLiteral("Testata Documento"), this);
    title->setObjectName(QStringLiteral("title"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    page->addWidget(title);

    auto *upper = new QHBoxLayout;
    page->addLayout(upper);
    auto *left = new QVBoxLayout;
    upper->addLayout(left, 5);
    left->addWidget(buildDocument());
    left->addWidget(buildCustomer());
    auto *deliveryAndPayment = new QHBoxLayout;
    left->addLayout(deliveryAndPayment);
    deliveryAndPayment->addWidget(buildDelivery(), 1);
    deliveryAndPayment->addWidget(buildPayment(), 3);
    left->addStretch(1);

    auto *right = new QGridLayout;
    upper->addLayout(right, 6);
    for (int bucket = 1; bucket <= 4; ++bucket)
        right->addWidget(buildBucket(bucket), (bucket - 1) / 2, (bucket - 1) % 2);
    right->addWidget(buildDiscount(), 2, 0, 1, 2);
    right->setRowStretch(3, 1);

    page->addWidget(buildLinkedDocuments(), 1);

    auto *buttons = new QHBoxLayout;
    page->addLayout(buttons);
    buttons->addStretch(1);
    m_registra = new QPushButton(QStringLiteral("Registra"), this);
    m_registra->setObjectName(QStringLiteral("BitBtn13"));
    buttons->addWidget(m_registra);
    m_annulla = new QPushButton(QStringLiteral("Annulla"), this);
    m_annulla->setObjectName(QStringLiteral("BitBtn14"));
    buttons->addWidget(m_annulla);
}

QWidget *HeaderPanel::buildDocument()
{
    QGroupBox *box = group(QStringLiteral("Documento"), this);
    HeaderFields f(m_diz.Testata, box);
    f.list(0, 0, "DBComboBox1", "Tipo Documento", col::testata::tipo_doc, items({"TD01", "TD03", "TD04", "TD20"}));
    f.edit(0, 1, "DBEdit1", "Data Documento", col::testata::data_doc);
    f.edit(0, 2, "DBEdit2", "Numero Documento", col::testata::num_doc);
    auto *sent = new DbCheckBox(m_diz.Testata, col::testata::inviata, QStringLiteral("Inviata"), box);
    sent->setObjectName(QStringLiteral("DBCheckBox1"));
    f.grid()->addWidget(sent, 1, 3);
    return box;
}

QWidget *HeaderPanel::buildCustomer()
{
    QGroupBox *box = group(QStringLiteral("Cliente"), this);
    HeaderFields f(m_diz.Testata, box);
    f.edit(0, 0, "DBEdit3", "Ragione Sociale", col::testata::rag_soc, 4)->setCharCase(DbEdit::CharCase::Upper);
    f.edit(1, 0, "DBEdit4", "Indirizzo", col::testata::indirizzo, 2);
    f.edit(1, 2, "DBEdit5", "Comune", col::testata::comune, 2);
    f.edit(2, 0, "DBEdit6", "CAP", col::testata::cap);
    f.edit(2, 1, "DBEdit7", "Prov.", col::testata::prov);
    f.list(2, 2, "DBComboBox4", "Nazione", col::testata::nazione, items({"IT"}));
    f.edit(3, 0, "DBEdit8", "Partita Iva", col::testata::p_iva);
    f.edit(3, 1, "DBEdit9", "Codice Fiscale", col::testata::cod_fis);
    f.edit(3, 2, "DBEdit10", "Codice Destinatario", col::testata::cod_dest);
    f.edit(3, 3, "DBEdit11", "Casella PEC", col::testata::pec)->setCharCase(DbEdit::CharCase::Lower);
    return box;
}

QWidget *HeaderPanel::buildDelivery()
{
    QGroupBox *box = group(QStringLiteral("Trasporto"), this);
    HeaderFields f(m_diz.Testata, box);
    f.edit(0, 0, "DBEdit32", "Trasportatore", col::testata::trasporto)->setCharCase(DbEdit::CharCase::Upper);
    f.grid()->setRowStretch(2, 1);
    return box;
}

QWidget *HeaderPanel::buildPayment()
{
    QGroupBox *box = group(QStringLiteral("Pagamento"), this);
    HeaderFields f(m_diz.Testata, box);
    f.list(0, 0, "DBComboBox2", "Tipo Pagamento", col::testata::tipo_pag, items({"TP01", "TP02"}));
    f.list(0, 1, "DBComboBox3", "Modalita Pagamento", col::testata::mod_pag, items({"MP01", "MP02", "MP05", "MP12"}));
    f.edit(0, 2, "DBEdit12", "N. Rate", col::testata::n_rate);
    f.date(1, 0, "DBEdit13", "1° Data Scadenza ", col::testata::scad1);
    f.date(1, 1, "DBEdit14", "2° Data Scadenza ", col::testata::scad2);
    f.date(1, 2, "DBEdit15", "3° Data Scadenza ", col::testata::scad3);
    f.date(1, 3, "DBEdit16", "4° Data Scadenza ", col::testata::scad4);
    return box;
}

QWidget *HeaderPanel::buildBucket(int bucket)
{
    // Control names of each bucket, in the order of its fields: rate, chargeability,
    // expenses, taxable, tax, free goods, nature, legal reference (bucket 4 has no
    // expenses, free goods or reference).
    static const char *const names[4][8] = {
        {"DBEdit18", "DBComboBox6", "DBEdit25", "DBEdit17", "DBEdit19", "DBEdit30", "DBComboBox7", "DBEdit26"},
        {"DBEdit22", "DBComboBox8", "DBEdit27", "DBEdit23", "DBEdit24", "DBEdit31", "DBComboBox9", "DBEdit28"},
        {"DBEdit33", "DBComboBox10", "DBEdit36", "DBEdit34", "DBEdit35", "DBEdit38", "DBComboBox11", "DBEdit37"},
        {"DBEdit40", "DBComboBox12", nullptr, "DBEdit41", "DBEdit42", nullptr, "DBComboBox13", nullptr}};
    const char *const *name = names[bucket - 1];
    const TestataBucketColumns &columns = TestataBuckets[size_t(bucket - 1)];
    const bool full = bucket < 4;

    QGroupBox *box = group(QStringLiteral("Iva %1").arg(bucket), this);
    box->setObjectName(QStringLiteral("bucket%1").arg(bucket));
    HeaderFields f(m_diz.Testata, box);
    f.edit(0, 0, name[0], "Aliquota", columns.rate);
    f.list(0, 1, name[1], "Esigib. Iva", columns.chargeability, items({"I", "D", "S"}));
    if (full)
        f.edit(0, 2, name[2], "Spese", columns.expenses);
    f.readOnly(0, 3, name[3], "Imponibile", columns.taxable);
    f.readOnly(1, 0, name[4], "Imposta", columns.tax);
    if (full)
        f.readOnly(1, 1, name[5], "Omaggio", columns.freeGoods);
    f.list(1, 2, name[6], "Natura", columns.nature, natureItems(bucket));
    if (full)
        f.edit(2, 0, name[7], "Normativa", columns.reference, 4);
    for (int c = 0; c < 4; ++c)
        f.grid()->setColumnStretch(c, 1);
    return box;
}

QWidget *HeaderPanel::buildDiscount()
{
    QGroupBox *box = group(QStringLiteral("Sconto e Totale"), this);
    HeaderFields f(m_diz.Testata, box);
    f.list(0, 0, "DBComboBox5", "Tipo Sconto", col::testata::sc_tipo, items({"SC", "MG"}));
    f.edit(0, 1, "DBEdit20", "Perc.", col::testata::sc_perc);
    f.edit(0, 2, "DBEdit21", "Totale Sconto", col::testata::sc_importo);
    f.readOnly(0, 3, "DBEdit29", "Totale Documento", col::testata::tot_doc);
    return box;
}

QWidget *HeaderPanel::buildLinkedDocuments()
{
    QGroupBox *box = group(QStringLiteral("Ordine Acquisto - Contratto - Convenzione"), this);
    box->setObjectName(QStringLiteral("linkedDocuments"));
    auto *row = new QHBoxLayout(box);
    using B = DbNavigator::Button;
    const QList<B> buttons{B::Insert, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh};

    auto *groupSide = new QVBoxLayout;
    row->addLayout(groupSide, 1);
    m_groups = new DbGrid(m_diz.ContrattoT,
                          {GridColumn(col::test_dati::tipo, QStringLiteral("Tipo"), Qt::AlignLeft,
                                      items({"DatiOrdineAcquisto", "DatiContratto", "DatiConvenzione", "DatiRicezione",
                                             "DatiFattureCollegate"}),
                                      false, 190)},
                          box);
    m_groups->setObjectName(QStringLiteral("DBGrid3"));
    groupSide->addWidget(m_groups);
    m_groupBar = new DbNavigator(m_diz.ContrattoT, buttons, box);
    m_groupBar->setObjectName(QStringLiteral("groupNavigator"));
    m_groupBar->setFixedHeight(26);
    groupSide->addWidget(m_groupBar);

    auto *documentSide = new QVBoxLayout;
    row->addLayout(documentSide, 3);
    m_documents = new DbGrid(m_diz.ContrattoD,
                             {GridColumn(col::dati_acquisto::n_linea, QStringLiteral("N.Linea"), Qt::AlignLeft, {}, false, 60),
                              GridColumn(col::dati_acquisto::id_documento, QStringLiteral("Documento"), Qt::AlignLeft, {}, false, 150),
                              GridColumn(col::dati_acquisto::data, QStringLiteral("Data"), Qt::AlignLeft, {}, false, 90),
                              GridColumn(col::dati_acquisto::numero, QStringLiteral("Numero"), Qt::AlignLeft, {}, false, 90),
                              GridColumn(col::dati_acquisto::cup, QStringLiteral("CUP"), Qt::AlignLeft, {}, false, 130),
                              GridColumn(col::dati_acquisto::cig, QStringLiteral("CIG"), Qt::AlignLeft, {}, false, 110),
                              GridColumn(col::dati_acquisto::cod_comm, QStringLiteral("Codice Commessa"), Qt::AlignLeft, {}, false, 150)},
                             box);
    m_documents->setObjectName(QStringLiteral("DBGrid4"));
    documentSide->addWidget(m_documents);
    m_documentBar = new DbNavigator(m_diz.ContrattoD, buttons, box);
    m_documentBar->setObjectName(QStringLiteral("documentNavigator"));
    m_documentBar->setFixedHeight(26);
    documentSide->addWidget(m_documentBar);
    return box;
}

void HeaderPanel::open()
{
    m_binding.bind(m_diz.Testata);
    show();
    raise();
}

void HeaderPanel::closeOnInvoiceGone()
{
    if (m_diz.Testata.isEditing())
        m_diz.Testata.cancel();
    hide();
}

void HeaderPanel::registra()
{
    // The recomputation stores the header with the user's changes; on failure the panel
    // stays open with them, unless another desk deleted the invoice or changed what was
    // typed: then the panel closes and the stored values show.
    bool refused = false;
    const bool done = runCommand([this, &refused] {
        try {
            m_binding.checkStillCurrent(m_diz.Testata);
            CalcolaTotali(m_diz);
        } catch (const AppError &e) {
            if (!EditorBinding::isRefusalOfAnotherDesk(e))
                throw;
            refused = true;
            // A re-read that found the invoice gone has closed the panel and tells the user.
            const bool stillOpen = isVisible();
            closeOnInvoiceGone();
            if (stillOpen)
                uiMessages().inform(e.text());
        }
    });
    if (done && !refused)
        hide();
}

void HeaderPanel::annulla()
{
    runCommand([this] {
        if (m_diz.Testata.isEditing())
            m_diz.Testata.cancel();
    });
    hide();
}
