#include "ui/screens/elenco_fatt/line_panel.h"

#include "invoice/amount_text.h"
#include "data/app_error.h"
#include "invoice/calcola_totali.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "ui/kit/db_edit.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "ui/kit/enter_as_tab.h"
#include "ui/kit/focus_exit.h"
#include "invoice/invoice_lock.h"
#include "ui/kit/labelled_grid.h"
#include "invoice/line_amount.h"
#include "ui/screens/elenco_fatt/nature_codes.h"
#include "ui/kit/panel_edit.h"
#include "ui/kit/panel_list.h"
#include "ui/kit/ui_messages.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Takes the line amount's boxes without showing them.
class SilentMessages : public Messages {
public:
    bool reported = false;
    void inform(const QString &) override { reported = true; }
    bool confirm(const QString &) override { return false; }
};

} // namespace

LinePanel::LinePanel(TDiz &diz, QWidget *parent) : QFrame(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("P3"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    build();
    // A computing control is left only for another control of the window: a message box
    // or another window taking the focus (and giving it back) is no leaving.
    for (QWidget *control : computingControls())
        onFocusExit(control, [this, control] { leave(control); });
    onClick(m_registra, [this] { registra(); });
    onClick(m_annulla, [this] { annulla(); });
    // Enter on "Registra" stores, as a click does; elsewhere it moves on as Tab does.
    letEnterPress(m_registra);
    hide();
}

LinePanel::~LinePanel() = default;

// The controls in reading order, which is also their tab order.
void LinePanel::build()
{
    auto *page = new QVBoxLayout(this);

    auto *description = new QGridLayout;
    page->addLayout(description);
    m_descrizione = new PanelEdit(QStringLiteral("Edit1"), 100, this);
    addLabelled(description, 0, 0, QStringLiteral("DESCRIZIONE"), m_descrizione);

    auto *goods = new QGridLayout;
    page->addLayout(goods);
    m_quantita = new PanelEdit(QStringLiteral("Edit2"), 100, this);
    addLabelled(goods, 0, 0, QStringLiteral("Quantita"), m_quantita);
    m_um = new PanelEdit(QStringLiteral("Edit3"), 4, this);
    addLabelled(goods, 0, 1, QStringLiteral("U.M."), m_um);
    m_aliquota = new PanelEdit(QStringLiteral("Edit4"), 4, this);
    addLabelled(goods, 0, 2, QStringLiteral("Aliquota"), m_aliquota);
    m_codiceTipo = new PanelEdit(QStringLiteral("Edit5"), 35, this);
    addLabelled(goods, 0, 3, QStringLiteral("Codice Tipo"), m_codiceTipo);
    m_codiceVal = new PanelEdit(QStringLiteral("Edit6"), 35, this);
    addLabelled(goods, 0, 4, QStringLiteral("Codice Valore"), m_codiceVal);
    m_prezzoUnit = new PanelEdit(QStringLiteral("Edit7"), 12, this);
    addLabelled(goods, 0, 5, QStringLiteral("Pr. Lordo "), m_prezzoUnit);
    for (int c : {0, 5})
        goods->setColumnStretch(c, 2);
    for (int c : {1, 2})
        goods->setColumnStretch(c, 1);
    for (int c : {3, 4})
        goods->setColumnStretch(c, 4);

    auto *discount = new QGridLayout;
    page->addLayout(discount);
    m_scTipo = new PanelList(QStringLiteral("cb1"), {QStringLiteral("SC"), QStringLiteral("MG")}, 2, this);
    addLabelled(discount, 0, 0, QStringLiteral("Tipo Sc."), m_scTipo);
    m_scPerc = new PanelEdit(QStringLiteral("Edit8"), 6, this);
    addLabelled(discount, 0, 1, QStringLiteral("Sc.Perc."), m_scPerc);
    m_scImporto = new PanelEdit(QStringLiteral("Edit9"), 12, this);
    m_scImporto->setReadOnly(true);
    showAsComputed(m_scImporto);
    addLabelled(discount, 0, 2, QStringLiteral("Tot. Sconto "), m_scImporto);
    m_prezzoTot = new PanelEdit(QStringLiteral("Edit10"), 12, this);
    m_prezzoTot->setReadOnly(true);
    showAsComputed(m_prezzoTot);
    addLabelled(discount, 0, 3, QStringLiteral("Prezzo Totale"), m_prezzoTot);
    m_tipoCessione = new PanelList(QStringLiteral("cb2"),
                                   {QStringLiteral("SC"), QStringLiteral("PR"), QStringLiteral("AB"), QStringLiteral("AC")},
                                   2, this);
    addLabelled(discount, 0, 4, QStringLiteral("Premio/Abbuono"), m_tipoCessione);
    m_ritenuta = new PanelList(QStringLiteral("cb3"), {QString(), QStringLiteral("SI")}, 2, this);
    addLabelled(discount, 0, 5, QStringLiteral("Ritenuta"), m_ritenuta);
    // The nature codes with a subcode are four characters long: the list takes them whole.
    m_natura = new PanelList(QStringLiteral("CB4"), NatureCodes::list(6), 2, this);
    addLabelled(discount, 0, 6, QStringLiteral("Natura"), m_natura);
    m_rifAmm = new PanelEdit(QStringLiteral("Edit11"), 20, this);
    addLabelled(discount, 0, 7, QStringLiteral("Rif. Amministrativo"), m_rifAmm);
    // The natura stored in the current line, edited in place like any bound field.
    m_storedNatura = new DbEdit(m_diz.Detta, col::dettaglio::natura, this);
    m_storedNatura->setObjectName(QStringLiteral("DBEdit39"));
    discount->addWidget(m_storedNatura, 2, 6);
    for (int c = 0; c < 8; ++c)
        discount->setColumnStretch(c, c == 7 ? 3 : 2);

    page->addStretch(1);
    auto *buttons = new QHBoxLayout;
    page->addLayout(buttons);
    buttons->addStretch(1);
    m_registra = new QPushButton(QStringLiteral("Registra"), this);
    m_registra->setObjectName(QStringLiteral("BitBtn8"));
    buttons->addWidget(m_registra);
    m_annulla = new QPushButton(QStringLiteral("Annulla"), this);
    m_annulla->setObjectName(QStringLiteral("BitBtn9"));
    buttons->addWidget(m_annulla);
}

void LinePanel::startInsert()
{
    m_binding.bind(m_diz.Testata);
    m_mode = Mode::NewLine;
    show();
    raise();
    // The kept description is selected: typing replaces it.
    m_descrizione->setFocus();
    m_descrizione->selectAll();
    // Everything else stays as the last line shown left it.
    m_quantita->showText(QStringLiteral("0,00"));
    m_prezzoUnit->showText(QStringLiteral("0,00"));
    m_um->showText(QStringLiteral("PZ"));
    m_aliquota->showText(QStringLiteral("22"));
}

void LinePanel::startModify()
{
    DbTable &lines = m_diz.Detta;
    if (!lines.isOpen() || lines.isEmpty())
        return;
    // The panel shows the line as stored now: another desk may have changed it. The same
    // line (by its number) stays current.
    const QVariant prog = lines.value(col::dettaglio::prog);
    lines.refresh();
    if (!prog.isNull())
        lines.locate(col::dettaglio::prog, prog);
    if (lines.isEmpty())
        return;
    m_binding.bind(m_diz.Testata);
    m_mode = Mode::ChangeLine;
    show();
    raise();
    // text() shows a column without value (NULL) as empty text.
    m_descrizione->showText(lines.text(col::dettaglio::descrizione));
    m_codiceTipo->showText(lines.text(col::dettaglio::codice_tipo));
    m_codiceVal->showText(lines.text(col::dettaglio::codice_val));
    m_um->showText(lines.text(col::dettaglio::um));
    m_prezzoUnit->showText(lines.text(col::dettaglio::prezzo_unit));
    m_scTipo->selectExactly(lines.text(col::dettaglio::sc_tipo));
    m_scPerc->showText(lines.text(col::dettaglio::sc_perc));
    m_scImporto->showText(lines.text(col::dettaglio::sc_importo));
    m_prezzoTot->showText(lines.text(col::dettaglio::prezzo_tot));
    m_aliquota->showText(lines.text(col::dettaglio::aliquota));
    m_quantita->showText(lines.text(col::dettaglio::quantita));
    m_tipoCessione->selectExactly(lines.text(col::dettaglio::tipo_cessione));
    m_ritenuta->selectExactly(lines.text(col::dettaglio::ritenuta));
    m_natura->selectExactly(lines.text(col::dettaglio::natura));
    m_rifAmm->showText(lines.text(col::dettaglio::rif_amm));
    m_descrizione->setFocus();
    m_descrizione->selectAll();
}

void LinePanel::deleteLine()
{
    runCommand([this] {
        DbTable &lines = m_diz.Detta;
        if (!lines.isOpen() || lines.isEmpty())
            return;
        if (!uiMessages().confirm(QStringLiteral("Confermi Eliminazione Riga: ?")))
            return;
        // The header's totals follow the lines at once: the line goes only with them.
        DbTransaction transaction(m_diz.xml_conn, {&m_diz.Testata, &lines});
        InvoiceLock::lock(m_diz.xml_conn, m_diz.Testata.value(col::testata::id_invio));
        lines.remove();
        CalcolaTotali(m_diz);
        transaction.commit();
    });
}

void LinePanel::closeOnInvoiceGone() { hide(); }

void LinePanel::registra()
{
    try {
        store();
    } catch (const AppError &e) {
        // Another desk deleted or changed the invoice or the line: what the panel holds
        // belongs nowhere now. Other errors keep the panel open with what was typed.
        if (!EditorBinding::isRefusalOfAnotherDesk(e))
            throw;
        // A re-read that found the invoice gone has closed the panel and tells the user.
        const bool stillOpen = isVisible();
        hide();
        if (stillOpen)
            uiMessages().inform(e.text());
    }
}

void LinePanel::store()
{
    // A "Registra" reached without leaving the last field still sees its exit event.
    if (QWidget *control = computingControlOf(QApplication::focusWidget()))
        leave(control);
    if (!amountsFit())
        return;

    DbTable &lines = m_diz.Detta;
    // Only into the invoice the panel was opened on, and only while it is stored.
    m_binding.checkStillCurrent(m_diz.Testata);
    if (m_diz.Testata.state() == DbTable::State::Insert) {
        // A new invoice gets its key before its first line, outside the line's transaction.
        m_diz.Testata.post();
        m_binding.bindIfUnbound(m_diz.Testata);
    }
    // The line and the totals it changes are stored together or not at all; on failure
    // the panel stays open with what the user typed.
    DbTransaction transaction(m_diz.xml_conn, {&m_diz.Testata, &lines});
    // The invoice stays locked until its totals are stored: a new line's number is taken
    // under the lock, from the lines as stored.
    const QVariant idInvio = m_binding.invoice();
    InvoiceLock::lock(m_diz.xml_conn, idInvio);
    if (m_mode == Mode::ChangeLine) {
        lines.edit();
    } else {
        const int prog = InvoiceLock::nextLineNumber(m_diz.xml_conn, idInvio);
        if (!lines.isEmpty())
            lines.last();
        lines.append();
        lines.setValue(col::dettaglio::prog, prog);
    }
    writeColumns();
    lines.post();
    CalcolaTotali(m_diz);
    transaction.commit();
    hide();
}

void LinePanel::annulla() { hide(); }

void LinePanel::keyPressEvent(QKeyEvent *event)
{
    // Escape in any of the panel's fields closes it as "Annulla" does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        runCommand([this] { annulla(); });
        return;
    }
    QFrame::keyPressEvent(event);
}

bool LinePanel::amountsFit()
{
    auto refuse = [](const QString &caption, int width) {
        uiMessages().inform(
            QStringLiteral("Valore troppo lungo nel campo %1: al massimo %2 caratteri").arg(caption).arg(width));
        return false;
    };
    const struct {
        const PanelEdit *field;
        const char *caption;
        const char *column;
    } amounts[] = {{m_quantita, "Quantita", col::dettaglio::quantita},
                   {m_prezzoUnit, "Pr. Lordo", col::dettaglio::prezzo_unit},
                   {m_scPerc, "Sc.Perc.", col::dettaglio::sc_perc},
                   {m_scImporto, "Tot. Sconto", col::dettaglio::sc_importo},
                   {m_prezzoTot, "Prezzo Totale", col::dettaglio::prezzo_tot},
                   {m_aliquota, "Aliquota", col::dettaglio::aliquota}};
    for (const auto &a : amounts) {
        const int width = m_diz.Detta.field(a.column).width;
        if (width > 0 && a.field->text().size() > width)
            return refuse(QString::fromLatin1(a.caption), width);
    }
    // A total too long for its column was never shown ("Errore" on leaving the field): the
    // total on the screen is then an earlier one and does not belong to this line.
    LineAmountTexts check = amountTexts();
    SilentMessages silent;
    try {
        CalcolaRiga(check, silent);
    } catch (const AppError &) {
        silent.reported = true;
    }
    if (!silent.reported)
        return true;
    // A number typed out of every amount's range names the field it was typed into; a
    // total of numbers within the range that does not fit names the total.
    for (const auto &a : amounts) {
        Decimal value;
        const AmountText::Reading reading = AmountText::read(a.field->text(), &value);
        if (reading == AmountText::Reading::TooLarge || reading == AmountText::Reading::TooSmall)
            return refuse(QString::fromLatin1(a.caption), m_diz.Detta.field(a.column).width);
    }
    return refuse(QStringLiteral("Prezzo Totale"), m_diz.Detta.field(col::dettaglio::prezzo_tot).width);
}

void LinePanel::writeColumns()
{
    DbTable &lines = m_diz.Detta;
    lines.setText(col::dettaglio::descrizione, m_descrizione->text());
    lines.setText(col::dettaglio::codice_tipo, m_codiceTipo->text());
    lines.setText(col::dettaglio::codice_val, m_codiceVal->text());
    lines.setText(col::dettaglio::um, m_um->text());
    lines.setText(col::dettaglio::prezzo_unit, m_prezzoUnit->text());
    lines.setText(col::dettaglio::sc_tipo, m_scTipo->selectedText());
    lines.setText(col::dettaglio::tipo_cessione, m_tipoCessione->selectedText());
    lines.setText(col::dettaglio::ritenuta, m_ritenuta->selectedText());
    lines.setText(col::dettaglio::natura, m_natura->selectedText());
    lines.setText(col::dettaglio::sc_perc, m_scPerc->text());
    lines.setText(col::dettaglio::sc_importo, m_scImporto->text());
    lines.setText(col::dettaglio::prezzo_tot, m_prezzoTot->text());
    lines.setText(col::dettaglio::rif_amm, m_rifAmm->text());
    lines.setText(col::dettaglio::aliquota, m_aliquota->text());
    lines.setText(col::dettaglio::quantita, m_quantita->text());
}

LineAmountTexts LinePanel::amountTexts() const
{
    return {m_quantita->text(),  m_prezzoUnit->text(), m_scTipo->selectedText(),
            m_scPerc->text(),    m_scImporto->text(),  m_prezzoTot->text()};
}

void LinePanel::showAmounts(const LineAmountTexts &texts)
{
    const std::pair<PanelEdit *, const QString *> shown[] = {{m_quantita, &texts.quantita},
                                                             {m_prezzoUnit, &texts.prezzoUnit},
                                                             {m_scPerc, &texts.scPerc},
                                                             {m_scImporto, &texts.scImporto},
                                                             {m_prezzoTot, &texts.prezzoTot}};
    for (const auto &[field, text] : shown)
        if (field->text() != *text)
            field->showText(*text);
}

QList<QWidget *> LinePanel::computingControls() const
{
    return {m_quantita, m_prezzoUnit, m_scPerc, m_scTipo, m_tipoCessione, m_ritenuta, m_natura};
}

QWidget *LinePanel::computingControlOf(QWidget *w) const
{
    const QList<QWidget *> controls = computingControls();
    // Parents are followed across windows: a list's drop-down belongs to the list.
    for (QObject *o = w; o; o = o->parent())
        for (QWidget *c : controls)
            if (o == c)
                return c;
    return nullptr;
}

void LinePanel::leave(QWidget *control)
{
    runCommand([&] {
        LineAmountTexts texts = amountTexts();
        Messages &messages = uiMessages();
        try {
            if (control == m_quantita)
                Edit2Exit(texts, messages);
            else if (control == m_prezzoUnit)
                Edit7Exit(texts, messages);
            else if (control == m_scPerc)
                Edit8Exit(texts, messages);
            else
                cb1Exit(texts, messages);
        } catch (...) {
            showAmounts(texts);  // what was written before the error stays
            throw;
        }
        showAmounts(texts);
    });
}
