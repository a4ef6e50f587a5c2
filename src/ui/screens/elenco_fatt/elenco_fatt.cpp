#include "ui/screens/elenco_fatt/elenco_fatt.h"

#include "ui/kit/caption_font.h"
#include "ui/screens/registries/anag_cl.h"
#include "ui/screens/registries/articoli.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "data/db_own_change.h"
#include "data/diz.h"
#include "ui/kit/enter_as_tab.h"
#include "ui/screens/elenco_fatt/esito_sdi_panel.h"
#include "ui/screens/elenco_fatt/header_panel.h"
#include "ui/screens/elenco_fatt/import_progress.h"
#include "import/importa_fatture.h"
#include "transmission/invio_sdi.h"
#include "invoice/invoice_lock.h"
#include "ui/screens/elenco_fatt/invoice_deletion.h"
#include "ui/screens/elenco_fatt/legend_panel.h"
#include "ui/screens/elenco_fatt/line_panel.h"
#include "ui/kit/masked_date_edit.h"
#include "ui/screens/elenco_fatt/print_failure.h"
#include "ui/screens/elenco_fatt/sdi_outcome_colours.h"
#include "invoice/sent_invoice.h"
#include "ui/screens/st_fatt.h"
#include "ui/kit/ui_messages.h"
#include "ui/screens/visualizza_fattura/visualizza_command.h"
#include "ui/kit/window_geometry.h"
#include "ui/screens/elenco_fatt/written_file_check.h"
#include "fatturapa/xml_forms.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

TElenco_Fatt *Elenco_Fatt = nullptr;

namespace {

constexpr Qt::Alignment Left = Qt::AlignLeft;
constexpr Qt::Alignment Centre = Qt::AlignHCenter;
constexpr Qt::Alignment Right = Qt::AlignRight;

// The invoice list: column, title (empty: the column's name), alignment, pick list.
QList<GridColumn> invoiceColumns()
{
    const QStringList noPicks;
    const bool typed = false;  // edited in place
    return {
        // The server-given key links the lines and linked documents: changing it in place
        // would leave them behind, so it is shown only.
        {col::testata::id_invio, QStringLiteral("Id. Invio"), Left, noPicks, true, 60},
        {QStringLiteral("prot"), QStringLiteral("Prot."), Left, noPicks, true, 55},  // calculated, read only
        {col::testata::tipo_doc, QStringLiteral("Tipo Doc."), Centre,
         {QStringLiteral("TD01"), QStringLiteral("TD04"), QStringLiteral("TD05")}, typed, 70},
        {col::testata::data_doc, QStringLiteral("Data Doc."), Centre, noPicks, typed, 85},
        {col::testata::num_doc, QStringLiteral("N. Doc"), Right, noPicks, typed, 80},
        {col::testata::tot_doc, QStringLiteral("Totale"), Right, noPicks, typed, 90},
        {col::testata::tipo_pag, QStringLiteral("Tipo Pag."), Centre, {QStringLiteral("TP01"), QStringLiteral("TP02")},
         typed, 70},
        {col::testata::mod_pag, QStringLiteral("Mod. Pag."), Centre,
         {QStringLiteral("MP01"), QStringLiteral("MP02"), QStringLiteral("MP05"), QStringLiteral("MP12")}, typed, 70},
        {col::testata::rag_soc, QStringLiteral("Ragione Sociale"), Left, noPicks, typed, 230},
        {col::testata::trasporto, QStringLiteral("Trasportatore"), Left, noPicks, typed, 100},
        {col::testata::indirizzo, QString(), Left, noPicks, typed, 180},
        {col::testata::cap, QStringLiteral("CAP"), Left, noPicks, typed, 50},
        {col::testata::comune, QStringLiteral("Comune"), Left, noPicks, typed, 140},
        {col::testata::prov, QStringLiteral("Prov"), Left, noPicks, typed, 40},
        {col::testata::nazione, QStringLiteral("Nazione"), Left, noPicks, typed, 60},
        {col::testata::p_iva, QStringLiteral("Partita Iva"), Left, noPicks, typed, 100},
        {col::testata::cod_fis, QStringLiteral("Codice Fiscale"), Left, noPicks, typed, 140},
        {col::testata::cod_dest, QStringLiteral("Cod. Destin."), Left, noPicks, typed, 80},
        {col::testata::pec, QStringLiteral("Casella PEC"), Left, noPicks, typed, 180},
        {col::testata::dest_soc, QString(), Left, noPicks, typed, 160},
        {col::testata::dest_indir, QString(), Left, noPicks, typed, 160},
        {col::testata::dest_cap, QString(), Left, noPicks, typed, 60},
        {col::testata::dest_comune, QString(), Left, noPicks, typed, 140},
    };
}

QList<GridColumn> lineColumns()
{
    return {
        {col::dettaglio::prog, QStringLiteral("Prog"), Left, {}, false, 45},
        {col::dettaglio::descrizione, QStringLiteral("Descrizione"), Left, {}, false, 300},
        {col::dettaglio::um, QStringLiteral("UM"), Centre, {}, false, 45},
        {col::dettaglio::quantita, QStringLiteral("Quantita"), Right, {}, false, 80},
        {col::dettaglio::prezzo_unit, QStringLiteral("Prezzo Unit."), Right, {}, false, 90},
        {col::dettaglio::prezzo_tot, QStringLiteral("Imp. Totale"), Right, {}, false, 90},
        {col::dettaglio::aliquota, QStringLiteral("Aliquota"), Centre, {}, false, 65},
        {col::dettaglio::natura, QString(), Left, {}, false, 55},
        {col::dettaglio::tipo_cessione, QStringLiteral("Premio/Abb"), Left, {}, false, 80},
        {col::dettaglio::sc_tipo, QStringLiteral("Tipo Sc."), Centre, {}, false, 65},
        {col::dettaglio::sc_perc, QStringLiteral("Perc. Sc."), Right, {}, false, 70},
        {col::dettaglio::sc_importo, QStringLiteral("Importo Sc."), Right, {}, false, 85},
        {col::dettaglio::codice_tipo, QStringLiteral("Tipo Cod."), Left, {}, false, 90},
        {col::dettaglio::codice_val, QStringLiteral("Valore Cod."), Left, {}, false, 120},
    };
}

// A sent invoice (inviata true) is drawn white on pure red in every column.
std::optional<RowStyle> sentInvoiceStyle(const DbTable &testata, int row)
{
    if (!isInvoiceSent(testata, row))
        return std::nullopt;
    return RowStyle{QColor(255, 0, 0), QColor(255, 255, 255)};
}

QPushButton *commandButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// Places `widgets` side by side from `left`, each with its width, `gap` pixels apart.
void placeRow(const QList<std::pair<QWidget *, int>> &widgets, int left, int top, int height, int gap = 6)
{
    int x = left;
    for (const auto &[widget, width] : widgets) {
        widget->setGeometry(x, top, width, height);
        x += width + gap;
    }
}

// Where the window's parts stand (client coordinates).
constexpr int Margin = 8;
constexpr int TitleHeight = 28;
constexpr int RowHeight = 32;
constexpr int Gap = 6;

} // namespace

TElenco_Fatt::TElenco_Fatt(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Elenco_Fatt"));
    buildControls();
    connectCommands();
    installEnterAsTab(this);
    placeWindow(this, 20, 20, 1300, 720);
    arrange();
}

void TElenco_Fatt::buildControls()
{
    titleLabel = new QLabel(QStringLiteral("Fattura Elettronica"), this);
    titleLabel->setObjectName(QStringLiteral("Label1"));
    titleLabel->setAlignment(Qt::AlignCenter);
    setCaptionFont(titleLabel, 20);

    using B = DbNavigator::Button;
    // Invoices are created with "Nuova" and lines with "Ins. Riga": neither bar inserts.
    headerNavigator = new DbNavigator(
        m_diz.Testata, {B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh}, this);
    headerNavigator->setObjectName(QStringLiteral("DBNavigator1"));
    nuovaButton = commandButton(this, "BitBtn15", QStringLiteral("Nuova"));
    selClienteButton = commandButton(this, "BitBtn3", QStringLiteral("Sel. Cliente"));
    legendaButton = commandButton(this, "BitBtn1", QStringLiteral("Legenda"));
    esitoSdiButton = commandButton(this, "esitoSdiButton", QStringLiteral("Esito SDI"));

    invoiceGrid = new DbGrid(m_diz.Testata, invoiceColumns(), this);
    invoiceGrid->setObjectName(QStringLiteral("DBGrid1"));
    sdiColours = new SdiOutcomeColours(m_diz.xml_conn, invoiceGrid->viewport(), this);
    invoiceGrid->setRowStyleHook([this](const DbTable &testata, int row) {
        if (auto style = sdiColours->style(testata, row))
            return style;
        return sentInvoiceStyle(testata, row);
    });

    lineNavigator = new DbNavigator(m_diz.Detta,
                                    {B::First, B::Prior, B::Next, B::Last, B::Edit, B::Post, B::Cancel, B::Refresh}, this);
    lineNavigator->setObjectName(QStringLiteral("DBNavigator2"));
    articoliButton = commandButton(this, "BitBtn6", QStringLiteral("Articoli Magazzino"));
    insRigaButton = commandButton(this, "BitBtn7", QStringLiteral("Ins. Riga"));
    modRigaButton = commandButton(this, "BitBtn10", QStringLiteral("Mod. Riga"));
    eliminaRigaButton = commandButton(this, "BitBtn12", QStringLiteral("Elimina Riga"));
    testataDocButton = commandButton(this, "BitBtn11", QStringLiteral("Testata Doc."));

    lineGrid = new DbGrid(m_diz.Detta, lineColumns(), this);
    lineGrid->setObjectName(QStringLiteral("DBGrid2"));
    lineGrid->setReadOnly(true);
    lineGrid->setRowSelect(true);
    lineGrid->setAlwaysShowSelection(true);

    creaXmlButton = commandButton(this, "BitBtn4", QStringLiteral("Creazione File XML"));
    invioSdiButton = commandButton(this, "BitBtn5", QStringLiteral("Invio a SDI"));
    xmlPaButton = commandButton(this, "BitBtn20", QStringLiteral("XML P.A."));
    invioPaButton = commandButton(this, "BitBtn21", QStringLiteral("Invio P.A."));
    importaButton = commandButton(this, "BitBtn18", QStringLiteral("Importa Fatture"));
    importDateField = new MaskedDateEdit(this);
    importDateField->setObjectName(QStringLiteral("M1"));
    invioFattureButton = commandButton(this, "BitBtn19", QStringLiteral("Invio Fatture al SDI"));
    eliminaFatturaButton = commandButton(this, "BitBtn16", QStringLiteral("Elimina Fattura"));
    stampaButton = commandButton(this, "BitBtn17", QStringLiteral("Stampa"));
    visualizzaButton = commandButton(this, "visualizzaButton", QStringLiteral("Visualizza"));

    // The panels lie over the controls; the header editor, covering everything, on top.
    legendPanel = new LegendPanel(this);
    linePanel = new LinePanel(m_diz, this);
    esitoSdiPanel = new EsitoSdiPanel(m_diz, this);
    headerPanel = new HeaderPanel(m_diz, this);
    for (QWidget *panel : {static_cast<QWidget *>(legendPanel), static_cast<QWidget *>(esitoSdiPanel),
                           static_cast<QWidget *>(linePanel), static_cast<QWidget *>(headerPanel)}) {
        panel->setAutoFillBackground(true);  // a panel hides what it lies over
        panel->hide();
        panel->raise();
    }

    const QList<QWidget *> order = controlsInOrder();
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A re-read found the current invoice deleted on another desk: an editor open on it
    // must not follow the list to the neighbouring invoice.
    connect(&m_diz.Testata, &DbTable::currentRowVanished, this, [this] {
        if (!linePanel->isVisible() && !headerPanel->isVisible())
            return;
        linePanel->closeOnInvoiceGone();
        headerPanel->closeOnInvoiceGone();
        // Told once the re-read is over, outside the table's own notices.
        QTimer::singleShot(0, this, [] { uiMessages().inform(InvoiceLock::deletedMessage()); });
    });
}

QList<QWidget *> TElenco_Fatt::controlsInOrder() const
{
    return {headerNavigator, nuovaButton,     selClienteButton,  legendaButton,  esitoSdiButton, invoiceGrid,
            lineNavigator,   articoliButton,  insRigaButton,     modRigaButton,  eliminaRigaButton,
            testataDocButton, lineGrid,       creaXmlButton,     invioSdiButton, xmlPaButton,
            invioPaButton,   importaButton,   importDateField,   invioFattureButton, eliminaFatturaButton,
            stampaButton,    visualizzaButton};
}

void TElenco_Fatt::connectCommands()
{
    onClick(nuovaButton, [this] { onNuova(); });
    onClick(selClienteButton, [] {
        if (Anag_Cl)
            Anag_Cl->showModal();
    });
    onClick(legendaButton, [this] { legendPanel->show(); });
    onClick(esitoSdiButton, [this] { onEsitoSdi(); });
    connect(esitoSdiPanel, &EsitoSdiPanel::answersRead, this, [this] {
        runCommand([this] {
            // A rejection read now takes the invoice's sent flag back on the server.
            if (m_diz.Testata.state() == DbTable::State::Browse)
                m_diz.Testata.refresh();
            sdiColours->refresh();
        });
    });

    onClick(articoliButton, [] {
        if (::Articoli)
            ::Articoli->showModal();
    });
    onClick(insRigaButton, [this] { linePanel->startInsert(); });
    onClick(modRigaButton, [this] { linePanel->startModify(); });
    onClick(eliminaRigaButton, [this] { linePanel->deleteLine(); });
    onClick(testataDocButton, [this] { headerPanel->open(); });

    onClick(creaXmlButton, [this] { onCreaFileXml(); });
    onClick(invioSdiButton, [this] { InvioSdi(m_diz, uiMessages()); });
    onClick(xmlPaButton, [this] { onXmlPa(); });
    onClick(invioPaButton, [this] { InvioPa(m_diz, uiMessages()); });
    onClick(importaButton, [this] { onImportaFatture(); });
    onClick(invioFattureButton, [this] { InvioFattureSdi(m_diz, uiMessages()); });
    onClick(eliminaFatturaButton, [this] { onEliminaFattura(); });
    onClick(stampaButton, [this] { onStampa(); });
    onClick(visualizzaButton, [this] { onVisualizza(); });

    // Deleting a header from the navigator or the list takes its lines with it and spares
    // a sent invoice, as "Elimina Fattura" does.
    headerNavigator->setDeleteAction([this] { deleteInvoiceAfterNavigatorQuestion(); });
    invoiceGrid->setDeleteAction([this] { deleteInvoiceAfterNavigatorQuestion(); });
}

void TElenco_Fatt::arrange()
{
    const int w = width();
    const int h = height();
    titleLabel->setGeometry(Margin, 2, w - 2 * Margin, TitleHeight);

    const int topRow = 2 + TitleHeight + 2;
    placeRow({{headerNavigator, 270}, {nuovaButton, 110}, {selClienteButton, 120}, {legendaButton, 110}, {esitoSdiButton, 110}},
             Margin, topRow, RowHeight, 10);

    const int bottomRow = h - Margin - RowHeight;
    const int gridsTop = topRow + RowHeight + Gap;
    const int gridsSpace = bottomRow - Gap - gridsTop - (RowHeight + 2 * Gap);
    const int invoiceHeight = gridsSpace * 56 / 100;
    invoiceGrid->setGeometry(Margin, gridsTop, w - 2 * Margin, invoiceHeight);

    const int middleRow = gridsTop + invoiceHeight + Gap;
    placeRow({{lineNavigator, 240}, {articoliButton, 150}, {insRigaButton, 110}, {modRigaButton, 110},
              {eliminaRigaButton, 110}, {testataDocButton, 110}},
             Margin, middleRow, RowHeight, 10);

    const int linesTop = middleRow + RowHeight + Gap;
    lineGrid->setGeometry(Margin, linesTop, w - 2 * Margin, bottomRow - Gap - linesTop);

    placeRow({{creaXmlButton, 150}, {invioSdiButton, 105}, {xmlPaButton, 95}, {invioPaButton, 95}, {importaButton, 130},
              {importDateField, 80}, {invioFattureButton, 160}, {eliminaFatturaButton, 130}, {stampaButton, 95},
              {visualizzaButton, 95}},
             Margin, bottomRow, RowHeight, 10);

    // The line editor covers the top row and the invoice list and leaves the middle row
    // and the line list usable; the header editor covers the whole working area; the
    // legend covers the right-hand part.
    linePanel->setGeometry(0, topRow, w, middleRow - Gap / 2 - topRow);
    headerPanel->setGeometry(0, 0, w, h);
    const int legendWidth = 330;
    legendPanel->setGeometry(w - Margin - legendWidth, topRow, legendWidth, bottomRow - Gap - topRow);
    // The answers lie over the lists, right of the first third.
    esitoSdiPanel->setGeometry(w / 3, topRow, w - w / 3 - Margin, bottomRow - Gap - topRow);
}

void TElenco_Fatt::resizeEvent(QResizeEvent *event)
{
    ScreenDialog::resizeEvent(event);
    arrange();
}

void TElenco_Fatt::showEvent(QShowEvent *event)
{
    ScreenDialog::showEvent(event);
    // Shown by the program, not restored from the minimised state by the window system.
    if (!event->spontaneous())
        runCommand([this] { formShow(); });
}

void TElenco_Fatt::formShow()
{
    legendPanel->hide();
    esitoSdiPanel->hide();
    linePanel->hide();
    headerPanel->hide();
    importDateField->setDate(QDate::currentDate());
    sdiColours->refresh();
}

void TElenco_Fatt::onNuova()
{
    // The new-row defaults fill the header; storing it at once gives it its id_invio and
    // leaves it the current invoice. A header the server refuses is not left pending: a
    // header without its key would take lines that belong to no stored invoice.
    DbOwnChange change(m_diz.Testata);
    m_diz.Testata.append();
    change.post();
}

void TElenco_Fatt::onEliminaFattura() { deleteCurrentInvoice(m_diz, uiMessages(), DeleteQuestion::Ask); }

void TElenco_Fatt::deleteInvoiceAfterNavigatorQuestion()
{
    deleteCurrentInvoice(m_diz, uiMessages(), DeleteQuestion::AlreadyConfirmed);
}

void TElenco_Fatt::onCreaFileXml()
{
    CreaFileXml(m_diz, windowTitle());
    checkWrittenFile();
}

void TElenco_Fatt::onXmlPa()
{
    CreaFileXmlPA(m_diz, windowTitle());
    checkWrittenFile();
}

void TElenco_Fatt::checkWrittenFile()
{
    // The writers put the file into the company's folder (trimmed, the name appended
    // directly) under the name they stored in nome_file.
    const QString path = XmlForms::trimmed(m_diz.AziendaT.text(col::azienda::path))
        + m_diz.Testata.text(col::testata::nome_file);
    ::checkWrittenFile(path, uiMessages());
}

void TElenco_Fatt::onImportaFatture()
{
    ImportProgressDialog progress(this);
    ImportaFatture(m_diz, uiMessages(), importDateField->maskedText(), windowTitle(), progress.callback());
}

void TElenco_Fatt::onStampa()
{
    if (!St_Fatt)
        return;
    try {
        St_Fatt->previewInvoice();
    } catch (const std::exception &e) {
        uiMessages().inform(missingDataMessage(m_diz, e));
    }
}

void TElenco_Fatt::onEsitoSdi()
{
    sdiColours->refresh();
    esitoSdiPanel->showForCurrentInvoice();
}

void TElenco_Fatt::onVisualizza() { visualizzaFatturaEmessa(m_diz, this); }
