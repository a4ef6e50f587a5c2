#include "ui/screens/registries/articoli.h"

#include "ui/kit/caption_font.h"
#include "invoice/article_pick.h"
#include "invoice/article_prices.h"
#include "ui/kit/bound_panel.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "ui/kit/db_combo_box.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "data/diz.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "ui/kit/enter_as_tab.h"
#include "ui/kit/focus_exit.h"
#include "data/registry_search.h"
#include "ui/kit/window_geometry.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TArticoli *Articoli = nullptr;

namespace {

const QString CodeColumn = col::magazzino::codice_val;
const QString DescriptionColumn = col::magazzino::descrizione;

QLabel *addLabel(QWidget *parent, const char *objectName, const QString &caption, QPoint at)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->move(at);
    label->adjustSize();
    return label;
}

QLineEdit *addSearchBox(QWidget *parent, const char *objectName, QRect geometry)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setGeometry(geometry);
    return box;
}

} // namespace

TArticoli::TArticoli(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Articoli"));
    placeWindow(this, 43, 20, 1319, 718);
    QFont screenFont = font();
    screenFont.setPixelSize(16);
    setFont(screenFont);

    mainPanel = new QFrame(this);
    mainPanel->setObjectName(QStringLiteral("Panel1"));
    mainPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    mainPanel->setGeometry(8, 8, 1281, 665);

    titleLabel = addLabel(mainPanel, "Label2", QStringLiteral("ARTICOLI MAGAZZINO"), {848, 16});
    setCaptionFont(titleLabel, 24);
    titleLabel->adjustSize();

    codeLabel = addLabel(mainPanel, "Label1", QStringLiteral("Codice"), {8, 24});
    codeSearch = addSearchBox(mainPanel, "Edit1", {80, 16, 201, 27});
    descriptionLabel = addLabel(mainPanel, "Label21", QStringLiteral("Descrizione"), {304, 24});
    descriptionSearch = addSearchBox(mainPanel, "Edit2", {416, 16, 321, 27});
    connect(codeSearch, &QLineEdit::textChanged, this, &TArticoli::onCodeSearch);
    connect(descriptionSearch, &QLineEdit::textChanged, this, &TArticoli::onDescriptionSearch);

    list = new DbGrid(diz.Articoli,
                      {GridColumn(CodeColumn, QStringLiteral("Codice"), Qt::AlignLeft, {}, false, 246),
                       GridColumn(DescriptionColumn, QStringLiteral("Descrizione"), Qt::AlignLeft, {}, false, 356),
                       GridColumn(col::magazzino::um, QStringLiteral("UM"), Qt::AlignLeft, {}, false, 33),
                       GridColumn(col::magazzino::prezzo_tot, QStringLiteral("Prezzo Netto"))},
                      mainPanel);
    list->setObjectName(QStringLiteral("DBGrid3"));
    list->setGeometry(8, 56, 763, 553);
    list->setReadOnly(true);
    list->setRowSelect(true);
    list->horizontalHeader()->setStretchLastSection(true);  // the net price takes the rest of the width
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { runCommand([this] { onPick(); }); });

    using Case = DbEdit::CharCase;
    articlePanel = new BoundPanel(diz.Articoli, mainPanel);
    articlePanel->setObjectName(QStringLiteral("Panel2"));
    articlePanel->setGeometry(776, 56, 505, 601);
    BoundPanel &p = *articlePanel;
    p.addEdit(QStringLiteral("DESCRIZIONE"), DescriptionColumn, {8, 32, 489, 27}, Case::Upper);
    p.addEdit(QStringLiteral("Esistenza"), col::magazzino::esistenza, {8, 96, 81, 27});
    p.addEdit(QStringLiteral("U.M."), col::magazzino::um, {112, 96, 81, 27});
    p.addEdit(QStringLiteral("Aliquota"), col::magazzino::aliquota, {216, 96, 81, 27});
    p.addEdit(QStringLiteral("Codice Tipo"), col::magazzino::codice_tipo, {8, 168, 481, 27}, Case::Upper);
    p.addEdit(QStringLiteral("Codice Valore"), CodeColumn, {8, 240, 481, 27}, Case::Upper);
    const QStringList types{QStringLiteral("SC"), QStringLiteral("MG")};
    struct PriceRow {
        const char *heading;
        QPoint headingAt;
        int top;
        const ArticlePrices::PriceColumns &price;
    };
    for (const PriceRow &row : {PriceRow{"VENDITA", {8, 304}, 352, ArticlePrices::Sale},
                                PriceRow{"ACQUISTO", {9, 424}, 472, ArticlePrices::Cost}}) {
        QLabel *heading = p.addLabel(QString::fromLatin1(row.heading), row.headingAt);
        setCaptionFont(heading, 0);
        heading->adjustSize();
        const ArticlePrices::PriceColumns &price = row.price;
        const QString gross = QString::fromLatin1(price.gross);
        const QString percent = QString::fromLatin1(price.percent);
        DbEdit *grossBox = p.addEdit(QStringLiteral("Pr. Lordo "), gross, {8, row.top, 105, 27});
        QWidget *typeBox = p.addCombo(QStringLiteral("Tipo Sc."), QString::fromLatin1(price.type), types, {120, row.top, 73, 27});
        DbEdit *percentBox = p.addEdit(QStringLiteral("Sc.Perc."), percent, {200, row.top, 89, 27});
        p.addEdit(QStringLiteral("Tot. Sconto "), QString::fromLatin1(price.discount), {296, row.top, 89, 27})
            ->setDataReadOnly(true);
        p.addEdit(QStringLiteral("Pr. Netto"), QString::fromLatin1(price.net), {392, row.top, 105, 27})->setDataReadOnly(true);

        DbTable &articles = diz.Articoli;
        onFocusExit(grossBox, [&articles, gross] { ArticlePrices::formatBox(articles, gross); });
        onFocusExit(percentBox, [&articles, percent] { ArticlePrices::formatBox(articles, percent); });
        // The type alone changes nothing stored: an article that is not being edited has
        // nothing to recompute.
        onFocusExit(typeBox, [&articles, &price] {
            if (articles.isEditing())
                ArticlePrices::computeNet(articles, price);
        });
    }
    using B = DbNavigator::Button;
    navigator = new DbNavigator(diz.Articoli, {B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh});
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    p.addControl(navigator, {272, 536, 225, 49});
    nuovoButton = new QPushButton(QStringLiteral("Nuovo"));
    nuovoButton->setObjectName(QStringLiteral("BitBtn1"));
    nuovoButton->setAutoDefault(false);
    p.addControl(nuovoButton, {8, 544, 89, 33});
    onClick(nuovoButton, [this] { onNuovo(); });

    chainTabOrder({list, codeSearch, articlePanel, descriptionSearch});
    installEnterAsTab(this);
}

QWidget *TArticoli::box(const QString &column) const { return articlePanel->box(column); }

void TArticoli::showEvent(QShowEvent *event)
{
    ScreenDialog::showEvent(event);
    emptySearches();
    codeSearch->setFocus();
}

void TArticoli::done(int result)
{
    // A pending article is saved on closing; when that fails the window stays open.
    if (!runCommand([this] {
            if (m_diz.Articoli.isEditing())
                m_diz.Articoli.post();
        }))
        return;
    ScreenDialog::done(result);
}

void TArticoli::emptySearches()
{
    // Emptying a box that holds text runs its search with empty text.
    codeSearch->clear();
    descriptionSearch->clear();
}

void TArticoli::onCodeSearch(const QString &text)
{
    runCommand([&] { RegistrySearch::run(m_diz.Articoli, CodeColumn, text, {CodeColumn}); });
}

void TArticoli::onDescriptionSearch(const QString &text)
{
    // The list shows the articles in code order whatever the statement's order; rows that
    // come from the server already in that order are put in place at little cost.
    runCommand([&] {
        RegistrySearch::run(m_diz.Articoli, DescriptionColumn, text, {CodeColumn, DescriptionColumn});
    });
}

void TArticoli::onNuovo()
{
    static const std::pair<const char *, const char *> defaults[] = {
        {col::magazzino::esistenza, "0"},     {col::magazzino::um, "PZ"},
        {col::magazzino::aliquota, "22"},     {col::magazzino::prezzo_unit, "0,000"},
        {col::magazzino::sc_perc, "0"},       {col::magazzino::sc_importo, "0"},
        {col::magazzino::prezzo_tot, "0"},    {col::magazzino::costo_unit, "0,000"},
        {col::magazzino::sc_costo_perc, "0"}, {col::magazzino::sc_costo_importo, "0"},
        {col::magazzino::costo_tot, "0"},
    };
    DbTable &articles = m_diz.Articoli;
    articles.append();
    for (const auto &[column, text] : defaults)
        articles.setText(QString::fromLatin1(column), QString::fromLatin1(text));
    box(DescriptionColumn)->setFocus();
}

void TArticoli::onPick()
{
    if (!(Elenco_Fatt && Elenco_Fatt->isVisible()))
        return;
    PickArticle(m_diz);
    emptySearches();
    close();
}
