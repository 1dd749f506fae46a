// The vorpla program run as Ulka and scripts run it: a process with a
// command line, no display, messages on standard error and an exit status.

#include "TestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace vorpla::prova;

namespace {

struct Esito
{
    int codice = -1;
    QString uscita;
    QString errori;
};

Esito esegui(const CartellaProva &cartella, const QStringList &argomenti)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), cartella.percorso(QStringLiteral("dati")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VORPLA_EXE), argomenti);
    if (!p.waitForFinished(60000)) {
        p.kill();
        return {};
    }
    Esito e;
    e.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    e.uscita = QString::fromLocal8Bit(p.readAllStandardOutput());
    e.errori = QString::fromLocal8Bit(p.readAllStandardError());
    return e;
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
