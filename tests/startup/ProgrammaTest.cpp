// The vorpla program run as Ulka and scripts run it: a process with a
// command line, no display, messages on standard error and an exit status.

#include "TestSupport.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

using namespace vorpla::prova;

namespace {
using Esito = EsitoProcesso;
Esito esegui(const CartellaProva &cartella, const QStringList &argomenti)
{
    return eseguiVorpla(cartella, argomenti);
}
} // namespace

TEST(Programma, HeadlessJobSaysWhatStartUpDecided)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"),
                                         "@TIPS FATTURA\r\n@COPI 2\r\n@EMAI mario.rossi@example.it\r\n@INT1 Agenzia\r\n");
    const Esito e = esegui(cartella, {file});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("print file ") + file));
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("start-up complete")));
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("copies: 2")));
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("mail to: mario.rossi@example.it")));
    EXPECT_FALSE(e.errori.contains(QStringLiteral("not available"))) << e.errori.toStdString();
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST(Programma, ErrorsGoToStandardErrorWithExitStatusOne)
{
    CartellaProva cartella;
    struct Caso
    {
        QByteArray contenuto;
        QStringList attesi;
    };
    const QList<Caso> casi = {
        {"@COPI abc\r\n", {"vorpla: Routine frmMain - KV_CheckSendTerm", "vorpla:  Errore N.13 Type mismatch"}},
        {"", {"vorpla: Impossibile vorplare!", "vorpla: Il file in vorpla non contiene alcuna informazione!"}},
    };
    for (const Caso &caso : casi) {
        const QString file = cartella.scrivi(QStringLiteral("job/F2.txt"), caso.contenuto);
        const Esito e = esegui(cartella, {file});
        EXPECT_EQ(e.codice, 1);
        for (const QString &atteso : caso.attesi)
            EXPECT_TRUE(e.errori.contains(atteso)) << e.errori.toStdString();
    }
}

TEST(Programma, HandOverWithoutAClientEndsAfterTheAttemptLimit)
{
    CartellaProva cartella;
    // Headless, nobody can answer on the program's own clipboard: the job is
    // not taken as handed over, and its files stay.
    const QString cliente = cartella.scrivi(QStringLiteral("job/F5.txt"), "@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    const Esito e = eseguiVorpla(cartella, {cliente}, [](QProcessEnvironment &env) {
        env.insert(QStringLiteral("VORPLA_ATTESA_APPUNTI_MS"), QStringLiteral("5"));
    });
    EXPECT_EQ(e.codice, 1) << e.errori.toStdString();
    EXPECT_TRUE(QFileInfo::exists(cliente));
    EXPECT_TRUE(QFileInfo::exists(cartella.temp() + QStringLiteral("F5.cmp")));
    EXPECT_FALSE(e.uscita.contains(QStringLiteral("start-up complete")));
}

TEST(Programma, PdfPrinterArchiveIsExtractedAndItsInstallerStarted)
{
    CartellaProva cartella;
    // The installer: a script that leaves a mark where the test can see it.
    const QString segno = cartella.percorso(QStringLiteral("installato"));
    const QString installatore = cartella.scrivi(QStringLiteral("pacchetto/ZORV_PRADELK.EXE"),
                                                 "#!/bin/sh\ntouch '" + segno.toLocal8Bit() + "'\n");
    QFile::setPermissions(installatore, QFile::permissions(installatore) | QFileDevice::ExeOwner);
    const EsitoProcesso zip = eseguiProcesso(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("cd '%1' && zip -q '%2' ZORV_PRADELK.EXE")
                                   .arg(cartella.percorso(QStringLiteral("pacchetto")),
                                        cartella.programma() + QStringLiteral("/PDFPrinter.ZIp"))});
    ASSERT_EQ(zip.codice, 0) << zip.errori.toStdString();

    const QString file = cartella.scrivi(QStringLiteral("job/F6.txt"), "@TIPS FATTURA\r\n");
    const Esito e = esegui(cartella, {file});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_TRUE(QFileInfo(cartella.programma() + QStringLiteral("/ZORV_PRADELK.EXE")).isFile());
    // Started without waiting: give it a moment.
    for (int i = 0; i < 50 && !QFileInfo::exists(segno); ++i)
        QThread::msleep(100);
    EXPECT_TRUE(QFileInfo::exists(segno));
}

// A hidden job on a machine whose spooler does not answer: a printer error
// with the line it stopped on, exit status 1, and the print file kept.
TEST(Programma, HiddenJobWithoutASpoolerIsAPrinterErrorAndKeepsTheJob)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("ulka/temp/H1.TXT"), "@HIDE\r\n@TITO FATTURA\r\n");
    const Esito e = eseguiVorpla(cartella, {file}, [&](QProcessEnvironment &env) {
        env.insert(QStringLiteral("CUPS_SERVER"), cartella.percorso(QStringLiteral("nessuno.sock")));
        env.remove(QStringLiteral("LPDEST"));
        env.remove(QStringLiteral("PRINTER"));
    });
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore N.482 Printer error"))) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Tag: @TITO FATTURA")));
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST(Programma, APreviewOnlyJobMakesThePreviewPdfAndNamesItWithoutADisplay)
{
    if (spoolerDiProva().isEmpty())
        GTEST_SKIP() << SenzaSpoolerDiProva;
    CartellaProva cartella;
    QDir().mkpath(cartella.temp());
    const QString file = cartella.scrivi(QStringLiteral("ulka/temp/A0012345.TXT"),
                                         "@ESEG ANT\r\n@TIPS FATTURA\r\n@TITO FATTURA N. 77/2026\r\n@PAGE\r\n");
    const Esito e = esegui(cartella, {file});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    const QString pdf = cartella.temp() + QStringLiteral("A0012345.PDF");
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("Preview: ") + pdf)) << e.uscita.toStdString();
    EXPECT_TRUE(eseguiProcesso(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).uscita.contains(
        QStringLiteral("FATTURA N. 77/2026")));
    EXPECT_EQ(controlloQpdf(pdf), QString());
    // The preview ends the job without printing or deleting the print file.
    EXPECT_TRUE(QFileInfo::exists(file));
}
