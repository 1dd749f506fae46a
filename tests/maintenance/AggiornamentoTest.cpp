// The client self-update with real programs in the program folder: the
// download program is a script that reads kdTorvamilSond.ini and delivers
// TEMP.EXE after a pause, the terminal client a long-running program named
// kelvoria.exe, the client archive a real zip.

#include "maintenance/AggiornamentoClient.h"
#include "maintenance/ProcessSession.h"
#include "maintenance/VBUnzBas.h"

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/AvviaProgramma.h"
#include "common/FineProgramma.h"
#include "common/StatoLavoro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>
#include <optional>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// The download program: what it fetched goes to fetched.log; "zol1.exe"
// arrives as a copy of this script padded to the size in dimensione-zol1
// (still a script that runs), "CLI_AGG.zip" as the archive archivio.zip.
// The file is written under another name and renamed, as a download
// finishes; with the file "lento" it is written in place instead, held open
// with a pause halfway.
const QByteArray ProgrammaDownload = R"sh(#!/bin/sh
cd "$(dirname "$0")"
nome=$(sed -n 's/^NomeFileExe=//p' kdTorvamilSond.ini | tr -d '\r')
echo "$nome" >> fetched.log
[ -f muto ] && exit 0
sleep 0.2
parte=../temp/TEMP.EXE.part
case "$nome" in
  zol1.exe)
    cat "$0" > "$parte"
    totale=$(cat dimensione-zol1 2>/dev/null || echo 20000)
    resto=$((totale - $(wc -c < "$parte")))
    [ "$resto" -gt 0 ] && head -c "$resto" /dev/zero | tr '\0' '#' >> "$parte"
    if [ -f zol1-dopo ]; then
      # The program file comes half a second after TEMP.EXE.
      (sleep 0.5; cp "$parte.copia" zol1.exe.part && mv zol1.exe.part zol1.exe) &
      cp "$parte" "$parte.copia"
    else
      cp "$parte" zol1.exe
    fi ;;
  CLI_AGG.zip)
    cp archivio.zip "$parte" ;;
esac
if [ -f lento ]; then
  # Holding TEMP.EXE open while it is written, a pause halfway.
  exec 3> ../temp/TEMP.EXE
  head -c 6000 "$parte" >&3
  sleep 1
  tail -c +6001 "$parte" >&3
  exec 3>&-
  rm "$parte"
  exit 0
fi
mv "$parte" ../temp/TEMP.EXE
)sh";

class ProvaAggiornamento : public ::testing::Test
{
protected:
    ProvaAggiornamento()
    {
        azzeraLavoro();
        programma = cartella.programma();
        scrivi(QStringLiteral("zol.exe"), ProgrammaDownload, true);
        servizi.eventi = [] {};
        servizi.attendi = [](int ms) { QThread::msleep(quint64(ms)); };
        servizi.avviaProgramma = [this](const QString &p, StileFinestra stile) {
            avviati << QFileInfo(p).fileName() + QStringLiteral(" %1").arg(int(stile));
            avviaDallaCartella(p);
        };
        // The terminal client of the test, whatever its name: a real
        // "kelvoria.exe" would be found by every vorpla the other tests
        // start, and each would update this folder.
        servizi.CercaProcesso = [this](const QString &nome, bool termina) {
            cercati << nome + (termina ? QStringLiteral(" termina") : QString());
            const bool gira = client.state() != QProcess::NotRunning;
            if (gira && termina && QStringLiteral("kelvoria.exe").contains(nome, Qt::CaseInsensitive))
                TerminaProcesso(client.processId());
            return gira && !termina;
        };
        servizi.archivioValido = ArchivioZipValido;
        servizi.EstraiInCartella = [](const QString &a) { EstraiInCartella(a); };
        servizi.fileInUso = FileInUso;
        servizi.Timer1 = [this](bool attivo) { timer = attivo; };
        servizi.attesaMassimaMs = 5000;
    }
    ~ProvaAggiornamento() override
    {
        if (client.state() != QProcess::NotRunning) {
            client.kill();
            client.waitForFinished();
        }
    }

    QString scrivi(const QString &nome, const QByteArray &contenuto, bool eseguibile = false)
    {
        const QString f = cartella.scrivi(QStringLiteral("ulka/vorpla/") + nome, contenuto);
        if (eseguibile)
            QFile::setPermissions(f, QFile::permissions(f) | QFileDevice::ExeOwner);
        return f;
    }
    bool esiste(const QString &nome) const { return QFileInfo::exists(programma + u'/' + nome); }
    QStringList scaricati() const
    {
        return QString::fromUtf8(leggiFile(programma + QStringLiteral("/fetched.log"))).split(u'\n', Qt::SkipEmptyParts);
    }
    // The client's archive: a new kelvoria.exe that says it was started, a
    // file in a folder, and enough incompressible bytes to pass for a
    // download.
    void archivioClient()
    {
        const QString fonte = cartella.percorso(QStringLiteral("cli"));
        QDir().mkpath(fonte + QStringLiteral("/dati"));
        scriviFile(fonte + QStringLiteral("/kelvoria.exe"),
                   "#!/bin/sh\ntouch \"" + cartella.percorso(QStringLiteral("client-avviato")).toUtf8() + "\"\n");
        QFile::setPermissions(fonte + QStringLiteral("/kelvoria.exe"),
                              QFile::permissions(fonte + QStringLiteral("/kelvoria.exe")) | QFileDevice::ExeOwner);
        QByteArray casuale(20000, '\0');
        for (char &c : casuale)
            c = char(QRandomGenerator::global()->generate());
        scriviFile(fonte + QStringLiteral("/dati/tabelle.bin"), casuale);
        const EsitoProcesso zip = eseguiProcesso(
            QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("cd '%1' && zip -qr '%2' kelvoria.exe dati")
                                                                  .arg(fonte, programma + QStringLiteral("/archivio.zip"))});
        ASSERT_EQ(zip.codice, 0) << zip.errori.toStdString();
    }
    // The terminal client running (a long-running program).
    void clientInEsecuzione()
    {
        const QString programmaClient = cartella.percorso(QStringLiteral("client-di-prova"));
        QFile::copy(QStringLiteral("/bin/sleep"), programmaClient);
        client.start(programmaClient, {QStringLiteral("600")});
        ASSERT_TRUE(client.waitForStarted());
    }
    std::optional<int> aggiorna(AggiornamentoClient &a)
    {
        try {
            a.AggiornaClient();
        } catch (const FineProgramma &f) {
            return f.codice();
        }
        return std::nullopt;
    }
    // The timer's ticks until it is switched off (at most `secondi`).
    void lasciaAndareIlTimer(AggiornamentoClient &a, int secondi = 20)
    {
        for (int i = 0; i < secondi * 10 && timer; ++i) {
            a.Timer1_Timer();
            QThread::msleep(100);
        }
    }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    QString programma;
    ServiziAggiornamento servizi;
    QStringList avviati, cercati;
    bool timer = false;
    QProcess client;
};

} // namespace

TEST_F(ProvaAggiornamento, FirstStartReplacesTheDownloadProgramThenInstallsTheClient)
{
    archivioClient();
    clientInEsecuzione();
    AggiornamentoClient a(servizi);
    EXPECT_EQ(aggiorna(a), std::nullopt) << messaggi.testi.join(u'|').toStdString();
    // Fetched twice, replaced twice (still a program that runs), marker
    // written, timer on.
    EXPECT_EQ(scaricati(), (QStringList{QStringLiteral("zol1.exe"), QStringLiteral("zol1.exe")}));
    EXPECT_EQ(leggiFile(programma + QStringLiteral("/zol.exe")), leggiFile(programma + QStringLiteral("/zol1.exe")));
    EXPECT_EQ(QFileInfo(programma + QStringLiteral("/zol.exe")).size(), 20000);
    EXPECT_TRUE(esiste(QStringLiteral("agg3.tst")));
    EXPECT_TRUE(timer);
    EXPECT_EQ(leggiFile(programma + QStringLiteral("/kdTorvamilSond.ini")),
              "[FTP]\r\nPercorsoFileEXE=ULKA/KELVORIA/AGG/\r\nNomeFileExe=zol1.exe\r\n");

    // In the background: the archive fetched hidden, the running client
    // stopped, the archive installed over it, the new client started.
    lasciaAndareIlTimer(a);
    EXPECT_FALSE(timer);
    EXPECT_EQ(scaricati().value(2), QStringLiteral("CLI_AGG.zip"));
    EXPECT_TRUE(client.waitForFinished(5000)) << "the running terminal client was not stopped";
    EXPECT_TRUE(esiste(QStringLiteral("dati/tabelle.bin")));
    EXPECT_TRUE(esiste(QStringLiteral("agg1.tst")));
    for (int i = 0; i < 50 && !QFileInfo::exists(cartella.percorso(QStringLiteral("client-avviato"))); ++i)
        QThread::msleep(100);
    EXPECT_TRUE(QFileInfo::exists(cartella.percorso(QStringLiteral("client-avviato"))));
    EXPECT_EQ(avviati, (QStringList{QStringLiteral("ZOL.EXE 0"), QStringLiteral("ZOL.EXE 0"), QStringLiteral("ZOL.EXE 1"),
                                    QStringLiteral("kelvoria.exe 2")}));
    EXPECT_EQ(cercati, QStringList{QStringLiteral("Kelvoria.exe termina")});
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
}

TEST_F(ProvaAggiornamento, TheMarkersSayWhatIsLeftToDo)
{
    // Both: nothing at all.
    scrivi(QStringLiteral("agg3.tst"), {});
    scrivi(QStringLiteral("AGG1.TST"), {});
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt);
        EXPECT_TRUE(scaricati().isEmpty());
        EXPECT_FALSE(timer);
    }
    // agg3.tst alone: the download program once more, then the archive.
    QFile::remove(programma + QStringLiteral("/AGG1.TST"));
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt);
        EXPECT_EQ(scaricati().size(), 1);
        EXPECT_TRUE(timer);
    }
    // agg1.tst alone: the download program replaced, then nothing more.
    timer = false;
    QFile::remove(programma + QStringLiteral("/fetched.log"));
    QFile::remove(programma + QStringLiteral("/agg3.tst"));
    scrivi(QStringLiteral("agg1.tst"), {});
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt);
        EXPECT_EQ(scaricati().size(), 1);
        EXPECT_TRUE(esiste(QStringLiteral("agg3.tst")));
        EXPECT_FALSE(timer);
    }
}

TEST_F(ProvaAggiornamento, ShortDownloadsFailAndAreTriedAtTheNextStart)
{
    scrivi(QStringLiteral("dimensione-zol1"), "9999");
    const QByteArray vecchio = leggiFile(programma + QStringLiteral("/zol.exe"));
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt);
        EXPECT_EQ(scaricati().size(), 1);
        EXPECT_FALSE(esiste(QStringLiteral("agg3.tst")));
        EXPECT_FALSE(timer);
        EXPECT_EQ(leggiFile(programma + QStringLiteral("/zol.exe")), vecchio);
    }
    scrivi(QStringLiteral("dimensione-zol1"), "10000");
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt);
        EXPECT_TRUE(esiste(QStringLiteral("agg3.tst")));
        EXPECT_TRUE(timer);
    }
    // A file still being written is waited for until it is let go.
    QFile::remove(programma + QStringLiteral("/agg3.tst"));
    scrivi(QStringLiteral("lento"), {});
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt);
        EXPECT_TRUE(esiste(QStringLiteral("agg3.tst")));
        EXPECT_EQ(QFileInfo(programma + QStringLiteral("/zol.exe")).size(), 10000);
    }
    QFile::remove(programma + QStringLiteral("/lento"));

    // The new program file written after TEMP.EXE is waited for too.
    QFile::remove(programma + QStringLiteral("/agg3.tst"));
    scrivi(QStringLiteral("dimensione-zol1"), "30000");
    scrivi(QStringLiteral("zol1-dopo"), {});
    {
        AggiornamentoClient a(servizi);
        EXPECT_EQ(aggiorna(a), std::nullopt) << messaggi.testi.join(u'|').toStdString();
        EXPECT_EQ(QFileInfo(programma + QStringLiteral("/zol.exe")).size(), 30000);
    }

    // A short archive, or one of the right size that is no zip: no marker,
    // nothing installed, the running client not stopped.
    clientInEsecuzione();
    for (const QByteArray &archivio : {QByteArray(9999, 'z'), QByteArray(20000, 'z')}) {
        scrivi(QStringLiteral("archivio.zip"), archivio);
        AggiornamentoClient a(servizi);
        timer = true;
        a.Timer1_Timer();
        lasciaAndareIlTimer(a);
        EXPECT_FALSE(timer);
        EXPECT_FALSE(esiste(QStringLiteral("agg1.tst")));
        EXPECT_EQ(client.state(), QProcess::Running);
    }
    EXPECT_TRUE(cercati.filter(QStringLiteral("termina")).isEmpty());
}

TEST_F(ProvaAggiornamento, WithoutTheClientRunningTheArchiveIsStillInstalled)
{
    archivioClient();
    scrivi(QStringLiteral("agg3.tst"), {});
    AggiornamentoClient a(servizi);
    EXPECT_EQ(aggiorna(a), std::nullopt);
    lasciaAndareIlTimer(a);
    EXPECT_TRUE(esiste(QStringLiteral("agg1.tst")));
    EXPECT_TRUE(esiste(QStringLiteral("dati/tabelle.bin")));
}

TEST_F(ProvaAggiornamento, ADownloadThatNeverComesIsGivenUp)
{
    // The download program runs and delivers nothing: start-up goes on
    // after the bound, two minutes, as after a failed fetch. The waits run
    // on the test's clock: each pause moves it on at once.
    qint64 orologio = 0;
    ServiziAggiornamento suOrologio = servizi;
    suOrologio.attesaMassimaMs = ServiziAggiornamento{}.attesaMassimaMs;
    suOrologio.adesso = [&] { return orologio; };
    suOrologio.attendi = [&](int ms) { orologio += ms; };
    scrivi(QStringLiteral("muto"), {});
    AggiornamentoClient a(suOrologio);
    EXPECT_EQ(aggiorna(a), std::nullopt);
    EXPECT_GE(orologio, 120000);
    EXPECT_LT(orologio, 121000);
    EXPECT_FALSE(esiste(QStringLiteral("agg3.tst")));
    EXPECT_FALSE(timer);

    // A program folder where the settings cannot be written: tried again
    // for ten seconds, then given up as a failed fetch, the job going on.
    {
        orologio = 0;
        QFile::remove(programma + QStringLiteral("/muto"));
        QFile::remove(programma + QStringLiteral("/kdTorvamilSond.ini"));
        ASSERT_TRUE(QDir().mkpath(programma + QStringLiteral("/kdTorvamilSond.ini"))); // a folder where the file goes
        AggiornamentoClient b(suOrologio);
        EXPECT_EQ(aggiorna(b), std::nullopt);
        EXPECT_GE(orologio, AggiornamentoClient::RitentiMassimiMs);
        EXPECT_LT(orologio, AggiornamentoClient::RitentiMassimiMs + 1000);
        EXPECT_FALSE(timer);
        EXPECT_TRUE(messaggi.testi.isEmpty());
        QDir(programma + QStringLiteral("/kdTorvamilSond.ini")).removeRecursively();
    }

    // No download program at all: the error, agg.tst deleted, the end.
    QFile::remove(programma + QStringLiteral("/zol.exe"));
    scrivi(QStringLiteral("agg.tst"), {});
    EXPECT_EQ(aggiorna(a), FineConErrore);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("ERRORE N° 53  File not found")});
    EXPECT_FALSE(esiste(QStringLiteral("agg.tst")));
}
