// The exit command and the window's close request: a PDF job of this
// instance still being spooled abandoned, another's left alone, the
// download program waited for, the customers not mailed listed, and a
// repeating error that cannot keep the program alive.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"
#include "pdf/MarcatoreSpool.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class Uscita : public ::testing::Test
{
protected:
    Uscita() : comandi(form, servizi)
    {
        azzeraLavoro();
        servizi.eventi = [] {};
        servizi.attendi = [this](int ms) { chiamate << QStringLiteral("attendi %1").arg(ms); };
        servizi.CercaProcesso = [this](const QString &nome, bool) { return processi.contains(nome); };
        servizi.abbandonaStampa = [this] {
            // The files are still there when the print job is cancelled.
            chiamate << QStringLiteral("abbandonaStampa %1").arg(QFileInfo::exists(marcatore()));
        };
        QDir().mkpath(cartella.temp());
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/temp/D0012345.TXT"), "@TIPS FATTURA\r\n");
    }
    ~Uscita() override { azzeraLavoro(); }

    QString marcatore() const { return cartella.temp() + QStringLiteral("vorpla.SMR"); }
    void scriviMarcatore(const QString &file)
    {
        cartella.scrivi(QStringLiteral("ulka/temp/vorpla.SMR"),
                        "FILE=" + file.toLocal8Bit() + "\r\nDATA=09/12/2026 10:00:00\r\n");
    }
    // The command's end: its exit status, or nothing when the window stays.
    template<typename F> std::optional<int> esegui(F &&comando)
    {
        try {
            comando();
        } catch (const FineProgramma &f) {
            return f.codice();
        }
        return std::nullopt;
    }
    std::optional<int> esci() { return esegui([this] { comandi.cmdEsci_Click(); }); }

    CartellaProva cartella;
    FormMain form;
    ServiziAvvio servizi;
    ComandiMain comandi;
    MessaggiRegistrati messaggi;
    QStringList chiamate, processi;
};

} // namespace

TEST_F(Uscita, OnlyThisJobsOwnPdfJobIsAbandoned)
{
    const QString t = cartella.temp();
    for (const char *nome : {"spool.ps", "D0012345.ps", "D0012345.PDF"})
        cartella.scrivi(QStringLiteral("ulka/temp/") + QLatin1String(nome), "%!PS\n");

    // Another job's marker: nothing is touched.
    scriviMarcatore(cartella.temp() + QStringLiteral("D0099999.TXT"));
    EXPECT_EQ(esci(), FineNormale);
    EXPECT_TRUE(chiamate.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(marcatore()));
    EXPECT_TRUE(QFileInfo::exists(t + QStringLiteral("spool.ps")));

    // No print file: an empty name is in every marker, yet owns none.
    const QString mio = lavoro().FileIngresso;
    lavoro().FileIngresso.clear();
    EXPECT_EQ(esci(), FineNormale);
    EXPECT_TRUE(chiamate.isEmpty());

    // This job's: its print job cancelled, two seconds, then both PostScript
    // files and the marker go; its other files stay for termina.
    lavoro().FileIngresso = mio;
    scriviMarcatore(mio);
    EXPECT_EQ(esci(), FineNormale);
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("abbandonaStampa 1"), QStringLiteral("attendi 2000")}));
    EXPECT_FALSE(QFileInfo::exists(marcatore()));
    EXPECT_FALSE(QFileInfo::exists(t + QStringLiteral("spool.ps")));
    EXPECT_FALSE(QFileInfo::exists(t + QStringLiteral("D0012345.ps")));
    EXPECT_TRUE(QFileInfo::exists(t + QStringLiteral("D0012345.PDF")));

    // Another instance took the printer during the pause: its files stay.
    scriviMarcatore(mio);
    cartella.scrivi(QStringLiteral("ulka/temp/spool.ps"), "%!PS\n");
    servizi.attendi = [this](int) { scriviMarcatore(cartella.temp() + QStringLiteral("D0099999.TXT")); };
    EXPECT_EQ(esci(), FineNormale);
    EXPECT_EQ(MarcatoreSpool::fileDelMarcatore(marcatore()), cartella.temp() + QStringLiteral("D0099999.TXT"));
    EXPECT_TRUE(QFileInfo::exists(t + QStringLiteral("spool.ps")));
}

TEST_F(Uscita, TheDownloadProgramKeepsTheWindowAndCustomersNotMailedAreListedAtEveryClose)
{
    processi << QStringLiteral("zol.exe");
    EXPECT_EQ(esci(), std::nullopt);
    lavoro().ClientiSenzaMail = QStringLiteral("ROSSI MARIO\r\nBIANCHI LUCA");
    EXPECT_EQ(esegui([this] { comandi.Form_QueryUnload(); }), std::nullopt);
    const QString elenco = QStringLiteral("I clienti con le seguenti anagrafiche non sono stati inviati.\r\n"
                                          "Controllare l'indirizzo e-mail all'interno di Ulka.\r\n"
                                          "ROSSI MARIO\r\nBIANCHI LUCA");
    EXPECT_EQ(messaggi.testi, QStringList{elenco});
    processi.clear();
    EXPECT_EQ(esegui([this] { comandi.Form_QueryUnload(); }), FineNormale);
    EXPECT_EQ(messaggi.testi, (QStringList{elenco, elenco}));
}

TEST_F(Uscita, AnErrorRepeatingOnEveryTryEndsTheProgramOnTheSecond)
{
    // A marker that cannot be read (a folder of that name).
    ASSERT_TRUE(QDir().mkpath(marcatore()));
    EXPECT_EQ(esci(), FineConErrore);
    EXPECT_EQ(messaggi.testi, (QStringList{QStringLiteral("err: 75  Path/File access error  "),
                                           QStringLiteral("err: 75  Path/File access error  ")}));

    // An error that goes away: the second try ends normally.
    messaggi.testi.clear();
    ASSERT_TRUE(QDir().rmdir(marcatore()));
    scriviMarcatore(lavoro().FileIngresso);
    int tentativi = 0;
    servizi.abbandonaStampa = [&] {
        if (++tentativi == 1)
            throw ErroreVB(Err::ErroreStampante);
    };
    EXPECT_EQ(esci(), FineNormale);
    EXPECT_EQ(tentativi, 2);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("err: 482  Printer error  ")});
}

TEST_F(Uscita, AnEndAskedWhileACommandWaitsStopsThatCommandAtItsNextWait)
{
    // The program's own waits, as a PDF job waiting for the printer uses them.
    StampantiFisse stampanti({{QStringLiteral("PDFCreator"), QString()}}, QStringLiteral("PDFCreator"));
    const ServiziAvvio programma = serviziProgramma(&stampanti);
    programma.attendi(20);
    // The exit, clicked meanwhile, ended through the window's handler.
    richiediFine(FineNormale);
    EXPECT_EQ(esegui([&] { programma.attendi(20); }), FineNormale);
    // Raised once: the command that stopped is not stopped twice.
    EXPECT_EQ(esegui([&] { programma.eventi(); }), std::nullopt);
    richiediFine(FineConErrore);
    EXPECT_EQ(esegui([&] { programma.eventi(); }), FineConErrore);
}
