// The header rules hooked into the data module: the protocol number `prot` and the
// defaults of a new invoice header.
#include "data_module_fixture.h"
#include "invoice/testata_hooks.h"

#include <gtest/gtest.h>
#include <map>

namespace {

class TestataHooks : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    TDiz diz;

    void SetUp() override
    {
        db->sql().exec(QStringLiteral("TRUNCATE TABLE testata"));
        installTestataHooks(diz);
    }

    QString protOf(int key)
    {
        EXPECT_TRUE(diz.Testata.locate(QStringLiteral("id_invio"), key));
        return diz.Testata.text(QStringLiteral("prot"));
    }
};

TEST_F(TestataHooks, ProtIsTheKeyUpTo9999AndThenTheProgressiveOfTheFileName)
{
    const struct {
        int key;
        const char *nomeFile;  // nullptr: NULL
        const char *prot;
    } cases[] = {
        {7, nullptr, "7"},
        {9999, "IT01234567890_A0001.xml", "9999"},
        {10000, nullptr, ""},
        {10001, "IT01234567890_B0002.xml", "B0002"},
        {10002, "", ""},
        {10003, "IT01234567890", ""},   // shorter than 15 characters
        {10004, "IT01234567890_", ""},  // 14 characters
        {10005, "IT01234567890_AB", "AB"},
    };
    for (const auto &c : cases)
        db->sql().exec(QStringLiteral("INSERT INTO testata (id_invio, nome_file) VALUES (?, ?)"),
                       {c.key, c.nomeFile ? QVariant(QString::fromUtf8(c.nomeFile)) : QVariant()});
    openDataModuleOn(diz);
    EXPECT_EQ(diz.Testata.field(QStringLiteral("prot")).width, 20);
    for (const auto &c : cases)
        EXPECT_EQ(protOf(c.key), QString::fromUtf8(c.prot)) << "key " << c.key;
}

TEST_F(TestataHooks, ProtFollowsTheFileNameOnceItIsWritten)
{
    db->sql().exec(QStringLiteral("INSERT INTO testata (id_invio) VALUES (10000)"));
    openDataModuleOn(diz);
    EXPECT_EQ(protOf(10000), QString());
    diz.Testata.setText(QStringLiteral("nome_file"), QStringLiteral("IT01234567890_C0003.xml"));
    EXPECT_EQ(diz.Testata.text(QStringLiteral("prot")), QStringLiteral("C0003"));
    diz.Testata.post();
    diz.Testata.refresh();
    EXPECT_EQ(protOf(10000), QStringLiteral("C0003"));
}

TEST_F(TestataHooks, NewHeaderHoldsExactlyTheDefaultsAndShowsItsKey)
{
    const std::map<QString, QString> defaults{
        {"tipo_doc", "TD01"}, {"tipo_pag", "TP02"},  {"mod_pag", "MP01"},  {"esig_iva", "I"},
        {"esig_iva2", "I"},   {"esig_iva3", "I"},    {"causale", "Vendita"}, {"trasporto", "Vettore"},
        {"porto", "Franco"},  {"aspetto", "Cartoni, Imballi"},           {"colli", ""},
        {"spese", "0,00"},    {"spese2", "0,00"},    {"spese3", "0,00"},   {"arrot", "0,00"},
        {"arrot2", "0,00"},   {"arrot3", "0,00"},
    };
    openDataModuleOn(diz);
    diz.Testata.append();
    EXPECT_EQ(diz.Testata.text(QStringLiteral("prot")), QString());
    for (const auto &[column, text] : defaults)
        EXPECT_EQ(diz.Testata.text(column), text) << column.toStdString();
    diz.Testata.post();
    const int key = diz.Testata.asInteger(QStringLiteral("id_invio"));
    EXPECT_EQ(diz.Testata.text(QStringLiteral("prot")), QString::number(key));

    const DbResult r = db->sql().select(QStringLiteral("SELECT * FROM testata"));
    ASSERT_EQ(r.rows.size(), 1u);
    const DbRow &row = r.rows[0];
    for (int i = 0; i < int(r.fields.size()); ++i) {
        const QString column = r.fields[size_t(i)].name;
        const auto wanted = defaults.find(column);
        if (column == u"id_invio")
            EXPECT_EQ(row.raw(i).toInt(), key);
        else if (wanted != defaults.end())
            EXPECT_EQ(row.isNull(i) ? QStringLiteral("<NULL>") : QString::fromUtf8(row.raw(i)), wanted->second)
                << column.toStdString();
        else
            EXPECT_TRUE(row.isNull(i)) << column.toStdString() << " is not NULL";
    }
}

TEST_F(TestataHooks, UntouchedNewHeaderIsDroppedWhenMovingAway)
{
    db->sql().exec(QStringLiteral("INSERT INTO testata (id_invio) VALUES (1)"));
    openDataModuleOn(diz);
    diz.Testata.append();
    diz.Testata.first();
    EXPECT_EQ(db->sql().select(QStringLiteral("SELECT id_invio FROM testata")).rows.size(), 1u);
    EXPECT_EQ(diz.Testata.rowCount(), 1);
}

} // namespace
