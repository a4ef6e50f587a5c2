#include "invoice/article_pick.h"

#include "data/app_error.h"
#include "invoice/calcola_totali.h"
#include "data/columns.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "invoice/invoice_lock.h"
#include "data/text_forms.h"

#include <array>

namespace {

struct CopiedColumn {
    const char *name;
    bool amount;  // written in the plain form of invoice lines
};

// Columns of the article copied into the same-named line columns, in this order.
constexpr std::array<CopiedColumn, 10> ArticleColumns{{
    {col::magazzino::descrizione, false},
    {col::magazzino::codice_tipo, false},
    {col::magazzino::codice_val, false},
    {col::magazzino::um, false},
    {col::magazzino::prezzo_unit, true},
    {col::magazzino::sc_tipo, false},
    {col::magazzino::sc_perc, true},
    {col::magazzino::sc_importo, true},
    {col::magazzino::prezzo_tot, true},
    {col::magazzino::aliquota, false},
}};

} // namespace

QString plainAmountText(const QString &text)
{
    if (TextForms::tryReadStrict(text, nullptr) || !TextForms::tryReadLocale(text, nullptr))
        return text;
    QString plain = text;
    plain.remove(u'.');
    return plain;
}

void PickArticle(TDiz &diz)
{
    DbTable &invoice = diz.Testata;
    DbTable &lines = diz.Detta;
    const DbTable &article = diz.Articoli;

    // Work the user has pending is saved outside the transaction, so that a failed pick
    // cannot take it away.
    lines.checkBrowseMode();
    if (invoice.isEditing())
        invoice.post();  // a new invoice gets its key before its first line
    if (!invoice.isOpen() || invoice.currentIndex() < 0)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(invoice.objectName()));

    DbTransaction transaction(diz.xml_conn, {&lines, &invoice});
    // The invoice stays locked until its totals are stored: the number is taken under the lock.
    const QVariant idInvio = invoice.value(col::testata::id_invio);
    InvoiceLock::lock(diz.xml_conn, idInvio);
    const int number = InvoiceLock::nextLineNumber(diz.xml_conn, idInvio);
    lines.append();
    lines.setValue(col::dettaglio::prog, number);
    for (const CopiedColumn &c : ArticleColumns) {
        const QString column = QString::fromLatin1(c.name);
        const QVariant value = article.value(column);
        lines.setValue(column, c.amount && !value.isNull() ? QVariant(plainAmountText(value.toString())) : value);
    }
    lines.setText(col::dettaglio::quantita, QStringLiteral("1"));
    lines.post();
    const DbTable::Bookmark newLine = lines.bookmark();

    CalcolaTotali(diz);
    transaction.commit();
    lines.gotoBookmark(newLine);
}
