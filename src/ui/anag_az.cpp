#include "anag_az.h"

#include "db_combo_box.h"
#include "db_edit.h"
#include "db_navigator.h"
#include "diz.h"
#include "window_geometry.h"

#include <QFrame>
#include <QLabel>

Tanag_az *anag_az = nullptr;

namespace {
// A label stands this far above its box unless placed on its own.
constexpr int LabelAbove = 24;
} // namespace

Tanag_az::Tanag_az(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("anag_az"));
    placeWindow(this, 226, 45, 1190, 699);
    QFont screenFont = font();
    screenFont.setPixelSize(16);
    setFont(screenFont);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(8, 8, 1160, 649);

    Label1 = addLabel(QStringLiteral("D A T I   A Z I E N D A"), 472, 16);
    QFont titleFont = Label1->font();
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label1->adjustSize();

    addEdit(QStringLiteral("Ragione Sociale"), QStringLiteral("rag_soc"), {16, 96, 784, 30});
    addEdit(QStringLiteral("Indirizzo"), QStringLiteral("indirizzo"), {16, 168, 784, 30});
    addEdit(QStringLiteral("CAP"), QStringLiteral("cap"), {16, 240, 69, 30});
    addEdit(QStringLiteral("Comune"), QStringLiteral("comune"), {96, 240, 654, 30});
    addEdit(QStringLiteral("Prov"), QStringLiteral("prov"), {768, 240, 56, 30});
    addEdit(QStringLiteral("Nazione"), QStringLiteral("nazione"), {840, 240, 134, 30});
    addEdit(QStringLiteral("Partita Iva"), QStringLiteral("p_iva"), {16, 312, 147, 30});
    addEdit(QStringLiteral("Codice Fiscale"), QStringLiteral("cod_fis"), {184, 312, 212, 30});
    addEdit(QStringLiteral("E Mail"), QStringLiteral("mail"), {16, 384, 784, 30});
    addEdit(QStringLiteral("Telefono"), QStringLiteral("telefono"), {816, 384, 160, 30});
    addEdit(QStringLiteral("Ufficio REA"), QStringLiteral("uff_rea"), {40, 464, 56, 30}, {16, 440});
    addEdit(QStringLiteral("Num. REA"), QStringLiteral("num_rea"), {136, 464, 108, 30});
    addEdit(QStringLiteral("Regime Fiscale"), QStringLiteral("reg_fisc"), {264, 464, 56, 30});
    addEdit(QStringLiteral("Capitale Sociale"), QStringLiteral("capit_soc"), {416, 464, 134, 30});
    addCombo(QStringLiteral("Socio Unico"), QStringLiteral("soc_uni"), {QStringLiteral("SU"), QStringLiteral("SM")},
             {592, 464, 89, 30}, {584, 440});
    addCombo(QStringLiteral("Stato in Liquidazione"), QStringLiteral("stato_liq"),
             {QStringLiteral("LN"), QStringLiteral("LS")}, {736, 464, 97, 30}, {704, 440});

    using B = DbNavigator::Button;
    DBNavigator1 = new DbNavigator(diz.AziendaT, {B::Edit, B::Post, B::Cancel, B::Refresh}, Panel1);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(904, 576, 224, 41);
    m_tabOrder << DBNavigator1;

    addEdit(QStringLiteral("Path"), QStringLiteral("path"), {16, 560, 409, 30});
    addEdit(QStringLiteral("Iban"), QStringLiteral("iban"), {416, 312, 409, 29}, {416, 287});

    for (int i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

QLabel *Tanag_az::addLabel(const QString &caption, int left, int top)
{
    auto *label = new QLabel(caption, Panel1);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void Tanag_az::addEdit(const QString &label, const QString &column, QRect box, QPoint labelAt)
{
    addLabel(label, labelAt.isNull() ? box.left() : labelAt.x(), labelAt.isNull() ? box.top() - LabelAbove : labelAt.y());
    auto *edit = new DbEdit(m_diz.AziendaT, column, Panel1);
    edit->setGeometry(box);
    m_boxes.insert(column, edit);
    m_tabOrder << edit;
}

void Tanag_az::addCombo(const QString &label, const QString &column, const QStringList &items, QRect box, QPoint labelAt)
{
    addLabel(label, labelAt.x(), labelAt.y());
    auto *combo = new DbComboBox(m_diz.AziendaT, column, items, Panel1);
    combo->setGeometry(box);
    m_boxes.insert(column, combo);
    m_tabOrder << combo;
}
