// The installed printers as the program reads them from a real CUPS spooler:
// the private one scripts/cups-test-server.sh starts for the test command
// (scripts/test.sh), with the queues Office (default), PDFCreator and
// ZETAFAX_Office printing into files under its folder.

#include "platform/StampantiCups.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <cups/cups.h>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaStampantiCups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString server = spoolerDiProva();
        if (server.isEmpty())
            GTEST_SKIP() << SenzaSpoolerDiProva;
        // The spooler's folder: its socket is DIR/cups.sock, its files DIR/out/.
        cartella = QFileInfo(server).absolutePath();
    }

    QString uscita(const QString &file) const
    {
        return QStringLiteral("file:") + cartella + QStringLiteral("/out/") + file;
    }

    QString cartella;
};

} // namespace

TEST_F(ProvaStampantiCups, ListsEveryQueueOfTheSpooler)
{
    StampantiCups stampanti;
    EXPECT_EQ(stampanti.elenco(),
              (QStringList{QStringLiteral("Office"), QStringLiteral("PDFCreator"),
                           QStringLiteral("ZETAFAX_Office")}));
}

TEST_F(ProvaStampantiCups, DefaultPrinterIsTheSpoolersDefault)
{
    StampantiCups stampanti;
    EXPECT_EQ(stampanti.predefinita(), QStringLiteral("Office"));
}

TEST_F(ProvaStampantiCups, CurrentPrinterStartsAsTheDefault)
{
    StampantiCups stampanti;
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Office"));
}

TEST_F(ProvaStampantiCups, PortIsTheQueuesDeviceUri)
{
    StampantiCups stampanti;
    // PDFCreator as its installer made it: its backend writes spool.ps into
    // the spool folder.
    EXPECT_EQ(stampanti.porta(QStringLiteral("PDFCreator")),
              QStringLiteral("vorpla-spool:") + qEnvironmentVariable("VORPLA_SPOOL_PDF"));
    EXPECT_EQ(stampanti.porta(QStringLiteral("Office")), uscita(QStringLiteral("office.pdf")));
    EXPECT_EQ(stampanti.porta(QStringLiteral("ZETAFAX_Office")), uscita(QStringLiteral("zetafax.ps")));
}

TEST_F(ProvaStampantiCups, PortNeedsTheExactQueueName)
{
    StampantiCups stampanti;
    EXPECT_EQ(stampanti.porta(QStringLiteral("Stampante inesistente")), QString());
    EXPECT_EQ(stampanti.porta(QString()), QString());
}

TEST_F(ProvaStampantiCups, SelectionIgnoringCaseTakesTheQueuesOwnSpelling)
{
    StampantiCups stampanti;
    EXPECT_TRUE(stampanti.selezionaIgnorandoMaiuscole(QStringLiteral("pdfcreator")));
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("PDFCreator"));
    EXPECT_TRUE(stampanti.selezionaIgnorandoMaiuscole(QStringLiteral("zetafax_OFFICE")));
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("ZETAFAX_Office"));
}

TEST_F(ProvaStampantiCups, SelectingAnUnknownPrinterKeepsTheCurrentOne)
{
    StampantiCups stampanti;
    EXPECT_FALSE(stampanti.selezionaIgnorandoMaiuscole(QStringLiteral("ZETAFAX Office")));
    EXPECT_FALSE(stampanti.selezionaIgnorandoMaiuscole(QStringLiteral("Office2")));
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Office"));
}

TEST_F(ProvaStampantiCups, OnlyTheJobsWhoseTitleHoldsTheTokenAreCancelled)
{
    // Two jobs held in the spooler, so both are still active.
    const auto trattenuto = [](const char *titolo) {
        cups_option_t *opzioni = nullptr;
        const int n = cupsAddOption("job-hold-until", "indefinite", 0, &opzioni);
        const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, "Office", "/etc/hostname", titolo, n, opzioni);
        cupsFreeOptions(n, opzioni);
        return id;
    };
    const int mio = trattenuto("D0012345.TXT [vorpla 4242-17]");
    const int altro = trattenuto("D0099999.TXT [vorpla 4343-18]");
    ASSERT_GT(mio, 0) << cupsLastErrorString();
    ASSERT_GT(altro, 0) << cupsLastErrorString();
    EXPECT_EQ(annullaLavoriConTitolo(QStringLiteral("Office"), QStringLiteral("vorpla 4242-")), 1);
    const auto stato = [](int id) {
        cups_job_t *lavori = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lavori, "Office", 0, CUPS_WHICHJOBS_ALL);
        ipp_jstate_t s = IPP_JSTATE_PENDING;
        for (int i = 0; i < n; ++i)
            if (lavori[i].id == id)
                s = lavori[i].state;
        cupsFreeJobs(n, lavori);
        return s;
    };
    EXPECT_EQ(stato(mio), IPP_JSTATE_CANCELED);
    EXPECT_EQ(stato(altro), IPP_JSTATE_HELD);
    cupsCancelJob2(CUPS_HTTP_DEFAULT, "Office", altro, 0);
}
