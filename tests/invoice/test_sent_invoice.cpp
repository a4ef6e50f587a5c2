// Whether an invoice is sent (testata.inviata other than 0; NULL and 0 are unsent), in each
// form a row is held in: a table object's current row or any of its rows, a fetched row,
// and the conditions of the statements that pick invoices by it.
#include "data/db_connection.h"
#include "data_module_fixture.h"
#include "invoice/sent_invoice.h"

#include <QList>

namespace {

struct Flag {
    const char *what;
    QVariant inviata;  // as stored; a null QVariant stores NULL
    bool sent;
};

const QList<Flag> Flags = {
    {"NULL", QVariant(), false},
    {"0", 0, false},
    {"1", 1, true},
    {"another value than 1", 5, true},
};

class SentInvoice : public DataModuleTest {
protected:
    QList<int> ids;  // one stored invoice per entry of Flags, in its order

    void SetUp() override
    {
        clearTables({"testata", "dettaglio"});
        for (int i = 0; i < Flags.size(); ++i)
            ids << insert(QStringLiteral("testata"), {{"num_doc", QString::number(i + 1)}, {"inviata", Flags[i].inviata}});
        diz->Testata.setSql(QStringLiteral("select * from testata order by id_invio"));
        diz->Testata.open();
    }
};

TEST_F(SentInvoice, TheStoredFlagReadsTheSameInEveryForm)
{
    DbTable &testata = diz->Testata;
    ASSERT_EQ(testata.rowCount(), Flags.size());
    const DbResult fetched = xml->sql().select(QStringLiteral("SELECT inviata FROM testata ORDER BY id_invio"));
    ASSERT_EQ(fetched.rows.size(), size_t(Flags.size()));
    for (int i = 0; i < Flags.size(); ++i) {
        const Flag &f = Flags[i];
        EXPECT_EQ(isSentFlag(f.inviata), f.sent) << f.what;
        EXPECT_EQ(isInvoiceSent(testata, i), f.sent) << f.what;
        EXPECT_EQ(isInvoiceSent(fetched.rows[size_t(i)], 0), f.sent) << f.what;
        testata.moveTo(i);
        EXPECT_EQ(isInvoiceSent(testata), f.sent) << f.what;
    }
}

TEST_F(SentInvoice, TheConditionsPickTheSentAndTheUnsentInvoices)
{
    QStringList sent, unsent;
    for (int i = 0; i < Flags.size(); ++i)
        (Flags[i].sent ? sent : unsent) << QString::number(ids[i]);
    auto picked = [](const QString &condition) {
        QStringList keys;
        for (const DbRow &row : xml->sql().select(QStringLiteral("SELECT id_invio FROM testata WHERE ") + condition
                                                 + QStringLiteral(" ORDER BY id_invio")).rows)
            keys << QString::fromUtf8(row.raw(0).toByteArray());
        return keys;
    };
    EXPECT_EQ(picked(sentInvoiceCondition()), sent);
    EXPECT_EQ(picked(unsentInvoiceCondition()), unsent);
}

TEST_F(SentInvoice, ARowOfATableWithoutTheFlagIsNotSent)
{
    EXPECT_FALSE(isInvoiceSent(diz->Clienti, 0));
}

} // namespace
