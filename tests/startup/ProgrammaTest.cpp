// The vorpla program run as Ulka and scripts run it: a process with a
// command line, no display, messages on standard error and an exit status.

#include "TestSupport.h"

#include <QFileInfo>
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
    // The process search is not in this version: it says so, and what it assumes.
    EXPECT_TRUE(e.errori.contains(QStringLiteral("CercaProcesso: The search of running programs is not available in this version")));
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

TEST(Programma, CapabilitiesOfLaterVersionsAreNeverTakenAsDone)
{
    CartellaProva cartella;
    // A PDF-only job: the PDF cannot be made yet, so the print file must stay.
    const QString file = cartella.scrivi(QStringLiteral("job/F3.txt"), "@TIPS FATTURA\r\n");
    Esito e = esegui(cartella, {QStringLiteral("PDF"), file});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("CreaPdf: Making PDFs through the PostScript printer is not available in this version")));
    EXPECT_TRUE(e.errori.contains(QStringLiteral("vorpla: Routine CreaPdf")));
    EXPECT_TRUE(QFileInfo::exists(file));

    // A hidden job cannot print yet: reported, not silently ended.
    const QString nascosto = cartella.scrivi(QStringLiteral("job/F4.txt"), "@HIDE\r\n@TIPS FATTURA\r\n");
    e = esegui(cartella, {nascosto});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("frmMain - cmdVorpla_Click: Printing is not available in this version")));
    EXPECT_TRUE(QFileInfo::exists(nascosto));

    // A hand-over to the terminal-server client neither.
    const QString cliente = cartella.scrivi(QStringLiteral("job/F5.txt"), "@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    e = esegui(cartella, {cliente});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("frmMain - KV_DoSendTerm: Handing the job to the terminal-server client is not available")));
}
