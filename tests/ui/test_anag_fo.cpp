// The supplier registry: its search stays on the shared `Fornitori` object, it adds
// suppliers with "Nuovo" or the navigator, and it picks nothing.
#include "ui/screens/registries/anag_fo.h"
#include "ui/kit/bound_panel.h"
#include "registry_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

using B = DbNavigator::Button;

class SupplierRegistry : public RegistryFixture {
protected:
    std::unique_ptr<TAnag_Fo> screen;

    void SetUp() override
    {
        openWith(QStringLiteral(
            "INSERT INTO fornitori (rag_soc, cod_destinatario) VALUES ('METALFER SPA', 'M5UXCR1'), ('BETA SNC', NULL), "
            "('ALFA SRL', '0000000'), (NULL, NULL);\n"
            "INSERT INTO testata (rag_soc, num_doc) VALUES ('VECCHIO', '1')"));
        screen = std::make_unique<TAnag_Fo>(*diz);
        showActive(*screen);
    }
    QStringList names() { return shown(*screen->list, 1); }
};

TEST_F(SupplierRegistry, ASearchStaysInForceWhenTheWindowIsOpenedAgain)
{
    screen->searchBox->setFocus();
    QTest::keyClicks(screen->searchBox, QStringLiteral("ALF"));
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "METALFER SPA"}));
    screen->close();

    // Meanwhile the shared object is closed and opened again as another screen would.
    diz->Fornitori.close();
    diz->Fornitori.open();
    showActive(*screen);
    EXPECT_EQ(screen->searchBox->text(), QStringLiteral("ALF"));
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "METALFER SPA"}));
    EXPECT_EQ(screen->box(QStringLiteral("cod_destinatario"))->text(), QStringLiteral("0000000"));

    screen->searchBox->clear();  // every supplier with a name
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "BETA SNC", "METALFER SPA"}));
}

TEST_F(SupplierRegistry, TheNavigatorInsertsAndNuovoAddsASupplierInUpperCase)
{
    EXPECT_EQ(screen->navigator->buttons(), DbNavigator::allButtons());
    EXPECT_EQ(screen->box(QStringLiteral("dest_soc")), nullptr);

    QTest::mouseClick(screen->nuovoButton, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), screen->box(QStringLiteral("rag_soc")));
    QTest::keyClicks(screen->box(QStringLiteral("rag_soc")), QStringLiteral("Delta srl"));
    QTest::keyClicks(screen->box(QStringLiteral("nazione")), QStringLiteral("Repubblica di San Marino"));
    QTest::mouseClick(screen->navigator->button(B::Post), Qt::LeftButton);

    QTest::mouseClick(screen->navigator->button(B::Insert), Qt::LeftButton);
    EXPECT_EQ(diz->Fornitori.state(), DbTable::State::Insert);
    QTest::keyClicks(screen->box(QStringLiteral("rag_soc")), QStringLiteral("Epsilon"));
    QTest::keyClicks(screen->box(QStringLiteral("pec")), QStringLiteral("EPS@Pec.IT"));
    QTest::mouseClick(screen->navigator->button(B::First), Qt::LeftButton);  // moving away saves

    EXPECT_EQ(column(QStringLiteral("SELECT CONCAT_WS('|', rag_soc, nazione, pec) FROM fornitori WHERE id > 0 "
                                    "AND (rag_soc = 'DELTA SRL' OR rag_soc = 'EPSILON') ORDER BY id")),
              (QStringList{"DELTA SRL|Repubblica di San Ma", "EPSILON|eps@pec.it"}));  // nazione holds 20 here
}

TEST_F(SupplierRegistry, EnterDoesNotMoveTheFocusAndADoubleClickPicksNothing)
{
    showWorkspace();
    showActive(*screen);
    screen->box(QStringLiteral("cap"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen->box(QStringLiteral("cap")));

    screen->list->setFocus();
    doubleClickLine(*screen->list, 1, QStringLiteral("BETA SNC"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(value(QStringLiteral("SELECT rag_soc FROM testata")), QStringLiteral("VECCHIO"));
}

} // namespace
