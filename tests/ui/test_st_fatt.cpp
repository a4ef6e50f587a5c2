// The two print previews of the layout container: each opens modally on the current rows
// and returns when closed; an invoice that cannot be rendered raises before any window opens.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "print/report_preview.h"
#include "ui/screens/st_fatt.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

class PrintPreviews : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    std::unique_ptr<TDiz> diz;

    void SetUp() override
    {
        clearTables({"azienda", "testata", "dettaglio", "test_car", "dett_car"});
        db->insert(QStringLiteral("azienda"), {{"rag_soc", "Norva Forniture S.r.l."}});
    }

    void storeInvoice(const QVariant &date, int lines)
    {
        const int id = db->insert(QStringLiteral("testata"), {{"rag_soc", "Bianchi Mario"}, {"data_doc", date}, {"num_doc", "1"}});
        for (int i = 1; i <= lines; ++i)
            db->insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", i}, {"descrizione", QStringLiteral("Riga %1").arg(i)}});
        openData();
    }

    // A data module of this test, opened on the rows stored so far.
    void openData()
    {
        diz = std::make_unique<TDiz>();
        openDataModuleOn(*diz);
    }

    // Runs `open` while watching for the modal preview: `onPreview` sees it, then it is closed.
    // Returns how many previews were shown.
    int whileOpen(const std::function<void()> &open, const std::function<void(Report::ReportPreview &)> &onPreview)
    {
        int shown = 0;
        QTimer watch;
        watch.setInterval(20);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto *p = qobject_cast<Report::ReportPreview *>(QApplication::activeModalWidget())) {
                ++shown;
                onPreview(*p);
                p->findChild<QAction *>(QStringLiteral("chiudi"))->trigger();
            }
        });
        watch.start();
        open();
        return shown;
    }
};

TEST_F(PrintPreviews, TheInvoicePreviewShowsThePagesOfTheCurrentInvoiceModally)
{
    storeInvoice(QStringLiteral("31/12/2025"), 40);
    TSt_Fatt st(*diz);
    const int shown = whileOpen([&] { st.previewInvoice(); }, [](Report::ReportPreview &p) {
        EXPECT_TRUE(p.isModal());
        EXPECT_EQ(p.pageCount(), 2);
    });
    EXPECT_EQ(shown, 1);
}

TEST_F(PrintPreviews, AnInvoiceWithoutAReadableDateRaisesAndNoPreviewOpens)
{
    for (const QVariant &date : {QVariant(QString()), QVariant(), QVariant(QStringLiteral("32/01/2026"))}) {
        SCOPED_TRACE(date.toString().toStdString());
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        storeInvoice(date, 2);
        TSt_Fatt st(*diz);
        const int shown = whileOpen([&] { EXPECT_THROW(st.previewInvoice(), ConversionError); },
                                    [](Report::ReportPreview &) {});
        EXPECT_EQ(shown, 0);
    }
}

TEST_F(PrintPreviews, ThePurchasePreviewShowsEveryPurchaseLine)
{
    const int prot = db->insert(QStringLiteral("test_car"), {{"rag_soc", "Rossi Ingrosso"}, {"data_doc", "15/02/2026"}});
    for (int i = 1; i <= 23; ++i)
        db->insert(QStringLiteral("dett_car"), {{"prot_car", prot + (i % 2)}, {"prog", i}, {"descrizione", "Merce"}});
    openData();
    TSt_Fatt st(*diz);
    const int shown = whileOpen([&] { st.previewPurchase(); }, [](Report::ReportPreview &p) {
        EXPECT_EQ(p.pageCount(), 2);  // 22 rows on the first page
    });
    EXPECT_EQ(shown, 1);
}

} // namespace
