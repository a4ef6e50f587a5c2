#include "ui/screens/registries/anag_az.h"

#include "ui/kit/caption_font.h"
#include "ui/kit/bound_form.h"
#include "data/columns.h"
#include "ui/kit/db_navigator.h"
#include "data/diz.h"
#include "ui/kit/window_geometry.h"

#include <QFrame>
#include <QLabel>

Tanag_az *anag_az = nullptr;

Tanag_az::Tanag_az(TDiz &diz, QWidget *parent) : ScreenDialog(parent)
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
    m_form = std::make_unique<BoundForm>(Panel1, diz.AziendaT);
    BoundForm &form = *m_form;

    Label1 = form.addCaption(QStringLiteral("D A T I   A Z I E N D A"), {472, 16});
    setCaptionFont(Label1, 24);
    Label1->adjustSize();

    form.addEdit(QStringLiteral("Ragione Sociale"), col::azienda::rag_soc, {16, 96, 784, 30});
    form.addEdit(QStringLiteral("Indirizzo"), col::azienda::indirizzo, {16, 168, 784, 30});
    form.addEdit(QStringLiteral("CAP"), col::azienda::cap, {16, 240, 69, 30});
    form.addEdit(QStringLiteral("Comune"), col::azienda::comune, {96, 240, 654, 30});
    form.addEdit(QStringLiteral("Prov"), col::azienda::prov, {768, 240, 56, 30});
    form.addEdit(QStringLiteral("Nazione"), col::azienda::nazione, {840, 240, 134, 30});
    form.addEdit(QStringLiteral("Partita Iva"), col::azienda::p_iva, {16, 312, 147, 30});
    form.addEdit(QStringLiteral("Codice Fiscale"), col::azienda::cod_fis, {184, 312, 212, 30});
    form.addEdit(QStringLiteral("E Mail"), col::azienda::mail, {16, 384, 784, 30});
    form.addEdit(QStringLiteral("Telefono"), col::azienda::telefono, {816, 384, 160, 30});
    form.addEdit(QStringLiteral("Ufficio REA"), col::azienda::uff_rea, {40, 464, 56, 30}, {16, 440});
    form.addEdit(QStringLiteral("Num. REA"), col::azienda::num_rea, {136, 464, 108, 30});
    form.addEdit(QStringLiteral("Regime Fiscale"), col::azienda::reg_fisc, {264, 464, 56, 30});
    form.addEdit(QStringLiteral("Capitale Sociale"), col::azienda::capit_soc, {416, 464, 134, 30});
    form.addCombo(QStringLiteral("Socio Unico"), col::azienda::soc_uni, {QStringLiteral("SU"), QStringLiteral("SM")},
                  {592, 464, 89, 30}, {584, 440});
    form.addCombo(QStringLiteral("Stato in Liquidazione"), col::azienda::stato_liq,
                  {QStringLiteral("LN"), QStringLiteral("LS")}, {736, 464, 97, 30}, {704, 440});

    using B = DbNavigator::Button;
    DBNavigator1 = new DbNavigator(diz.AziendaT, {B::Edit, B::Post, B::Cancel, B::Refresh}, Panel1);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    form.add(QString(), DBNavigator1, {904, 576, 224, 41});

    form.addEdit(QStringLiteral("Path"), col::azienda::path, {16, 560, 409, 30});
    form.addEdit(QStringLiteral("Iban"), col::azienda::iban, {416, 312, 409, 29}, {416, 287});
}

Tanag_az::~Tanag_az() = default;

QWidget *Tanag_az::box(const QString &column) const { return m_form->control(column); }

QList<QWidget *> Tanag_az::tabOrder() const { return m_form->tabOrder(); }
