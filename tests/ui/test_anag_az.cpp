// The company-data screen on the shared `azienda` table object.
#include "ui/screens/registries/anag_az.h"
#include "ui/kit/db_combo_box.h"
#include "ui/kit/db_edit.h"
#include "ui/kit/db_navigator.h"
#include "data/diz.h"
#include "data_module_fixture.h"
#include "gui_test.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

using B = DbNavigator::Button;

class CompanyScreen : public DataModuleTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;
    ExpectedBoxes boxes;
    TDiz &diz = *DataModuleTest::diz;
    std::unique_ptr<Tanag_az> screen;

    void SetUp() override
    {
        clearTables({"azienda"});
        refreshTables();
        screen = std::make_unique<Tanag_az>(diz);
        showActive(*screen);
    }

    QLineEdit *edit(const char *column) { return qobject_cast<QLineEdit *>(screen->box(QString::fromLatin1(column))); }
    void type(const char *column, const QString &text)
    {
        QWidget *box = screen->box(QString::fromLatin1(column));
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    void press(B button) { QTest::mouseClick(screen->DBNavigator1->button(button), Qt::LeftButton); }
    DbResult rows() { return db->sql().select(QStringLiteral("SELECT codice, rag_soc, comune, soc_uni FROM azienda")); }
};

TEST_F(CompanyScreen, TheFirstCompanyRowIsCreatedByTypingAndSaving)
{
    ASSERT_TRUE(diz.AziendaT.isEmpty());
    EXPECT_FALSE(screen->DBNavigator1->button(B::Post)->isEnabled());
    type("rag_soc", QStringLiteral("Alfa Srl"));
    EXPECT_EQ(diz.AziendaT.state(), DbTable::State::Insert);
    type("comune", QStringLiteral("Roma"));
    type("soc_uni", QStringLiteral("XU"));  // free text in a drop-down
    EXPECT_TRUE(screen->DBNavigator1->button(B::Post)->isEnabled());
    press(B::Post);

    const DbResult r = rows();
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_GT(r.rows[0].raw(0).toInt(), 0);  // given by the server
    EXPECT_EQ(r.rows[0].raw(1).toByteArray(), "Alfa Srl");  // the case as typed
    EXPECT_EQ(r.rows[0].raw(2).toByteArray(), "Roma");
    EXPECT_EQ(r.rows[0].raw(3).toByteArray(), "XU");
    EXPECT_EQ(diz.AziendaT.state(), DbTable::State::Browse);
    EXPECT_EQ(diz.AziendaT.asInteger(QStringLiteral("codice")), r.rows[0].raw(0).toInt());
    EXPECT_EQ(edit("rag_soc")->text(), QStringLiteral("Alfa Srl"));
}

TEST_F(CompanyScreen, TheEditButtonOnAnEmptyTableStartsANewRowThatCancelDrops)
{
    press(B::Edit);
    EXPECT_EQ(diz.AziendaT.state(), DbTable::State::Insert);
    type("comune", QStringLiteral("Milano"));
    press(B::Cancel);
    EXPECT_TRUE(diz.AziendaT.isEmpty());
    EXPECT_EQ(edit("comune")->text(), QString());
    EXPECT_TRUE(rows().rows.empty());
}

TEST_F(CompanyScreen, TheIbanBoxRefusesA28thCharacter)
{
    const QString iban = QStringLiteral("IT60X0542811101000000123456");
    ASSERT_EQ(iban.size(), 27);
    type("iban", iban + QStringLiteral("789"));
    EXPECT_EQ(edit("iban")->text(), iban);
    EXPECT_EQ(diz.AziendaT.text(QStringLiteral("iban")), iban);
    press(B::Post);
    EXPECT_EQ(db->sql().select(QStringLiteral("SELECT iban FROM azienda")).rows.at(0).raw(0).toByteArray(), iban.toUtf8());
}

TEST_F(CompanyScreen, RefreshReReadsTheRowFromTheServer)
{
    db->sql().exec(QStringLiteral("INSERT INTO azienda (rag_soc, comune) VALUES ('ALFA', 'Roma')"));
    press(B::Refresh);
    EXPECT_EQ(edit("rag_soc")->text(), QStringLiteral("ALFA"));
    db->sql().exec(QStringLiteral("UPDATE azienda SET comune = 'Bari'"));
    press(B::Refresh);
    EXPECT_EQ(edit("comune")->text(), QStringLiteral("Bari"));
    EXPECT_EQ(diz.AziendaT.state(), DbTable::State::Browse);
}

TEST_F(CompanyScreen, TabGoesThroughTheBoxesAndTheNavigatorInTheirOrder)
{
    const QStringList expected{QStringLiteral("rag_soc"), QStringLiteral("indirizzo"), QStringLiteral("cap"),
                               QStringLiteral("comune"), QStringLiteral("prov"), QStringLiteral("nazione"),
                               QStringLiteral("p_iva"), QStringLiteral("cod_fis"), QStringLiteral("mail"),
                               QStringLiteral("telefono"), QStringLiteral("uff_rea"), QStringLiteral("num_rea"),
                               QStringLiteral("reg_fisc"), QStringLiteral("capit_soc"), QStringLiteral("soc_uni"),
                               QStringLiteral("stato_liq"), QStringLiteral("DBNavigator1"), QStringLiteral("path"),
                               QStringLiteral("iban")};
    screen->box(QStringLiteral("rag_soc"))->setFocus();
    QStringList seen;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty())  // the line edit inside a drop-down
            w = w->parentWidget();
        seen << (w ? w->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(seen, expected);
}

} // namespace
