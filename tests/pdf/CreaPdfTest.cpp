// The quality PDF job in one process: the printer held by the marker, the
// waits and their bounds, the spool file taken only when it is this job's,
// the failures recorded in Logging.smr. The PostScript printer is played by
// the test (it writes spool.ps as the backend does, titled as asked) and the
// waits take no time: the marker wait counts polls, not time. The real
// printer, spooler and processes are exercised by the start-up tests.

#include "pdf/CreaPdf.h"
#include "pdf/MarcatoreSpool.h"

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FileIni.h"
#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

QByteArray postScript(const QString &titolo, const QString &testo)
{
    return "%!PS-Adobe-3.0\n%%Title: (" + titolo.toLatin1() + ")\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n"
           "/Helvetica findfont 16 scalefont setfont 72 760 moveto (" + testo.toLatin1() + ") show showpage\n%%EOF\n";
}

class CreaPdfProva : public ::testing::Test
{
protected:
    void SetUp() override
    {
        azzeraLavoro();
        QDir().mkpath(cartella.temp());
        file = cartella.scrivi(QStringLiteral("ulka/temp/D0012345.TXT"), "@TIPS FATTURA\r\n");
        ini({});
        ambiente.stampanti = &stampanti;
        ambiente.eventi = [] {};
        ambiente.attendi = [this](int ms) {
            attese << ms;
            if (ms == 10)
                ++polls;
            if (durante)
                durante();
        };
        // The printer: its job comes out as spool.ps in the spool folder.
        ambiente.stampaDocumento = [this](const QString &titolo) {
            titoli << titolo;
            spoolAllaStampa = QFileInfo::exists(spool + QStringLiteral("spool.ps"));
            if (scriveSpool)
                cartella.scrivi(QDir(cartella.radice()).relativeFilePath(spool) + QStringLiteral("/spool.ps"),
                                postScript(titolo, QStringLiteral("FATTURA 123 ROSSI MARIO")));
            return true;
        };
    }
    void TearDown() override { azzeraLavoro(); }

    void ini(const QByteArray &pdf)
    {
        cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[PDF]\r\n" + pdf);
        dimenticaFileIni();
    }

    // A marker of another instance, `eta` seconds old.
    void marcatoreAltrui(const QByteArray &righe, int eta)
    {
        const QString percorso = spool + QStringLiteral("vorpla.SMR");
        QFile f(percorso);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(righe);
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-eta), QFileDevice::FileModificationTime));
    }

    // CreaPdf's end: its exit status, or -1 when it returned.
    int esegui(QString *pdf = nullptr)
    {
        try {
            const QString fatto = CreaPdf(file, ambiente);
            if (pdf)
                *pdf = fatto;
            return -1;
        } catch (const FineProgramma &f) {
            return f.codice();
        }
    }

    QString registro() const { return QString::fromLocal8Bit(leggiFile(spool + QStringLiteral("Logging.smr"))); }

    CartellaProva cartella;
    StampantiFisse stampanti{{{QStringLiteral("Office"), QString()}, {QStringLiteral("PDFCreator"), QString()}},
                             QStringLiteral("Office")};
    MessaggiRegistrati messaggi;
    AmbienteCreaPdf ambiente;
    QString spool = cartella.temp();
    QString file;
    QList<int> attese;
    int polls = 0;
    std::function<void()> durante;
    QStringList titoli;
    bool scriveSpool = true;
    bool spoolAllaStampa = false;
};

} // namespace

TEST_F(CreaPdfProva, PdfOnlyJobMakesItsPdfAndLeavesNeitherMarkerNorPostScript)
{
    lavoro().ModoPdf = true;
    QDir().mkpath(cartella.percorso(QStringLiteral("ulka/tempWB")));
    QString pdf;
    ASSERT_EQ(esegui(&pdf), -1) << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(pdf, cartella.percorso(QStringLiteral("ulka/tempWB/D0012345.PDF")));
    EXPECT_TRUE(eseguiProcesso(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).uscita.contains(
        QStringLiteral("FATTURA 123 ROSSI MARIO")));
    EXPECT_EQ(controlloQpdf(pdf), QString());
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("PDFCreator"));
    EXPECT_EQ(QDir(spool).entryList(QDir::Files), QStringList{QStringLiteral("D0012345.TXT")});
    // One print job, titled with the print file and this job's token; the
    // half-second pause before it, no marker wait.
    ASSERT_EQ(titoli.size(), 1);
    EXPECT_TRUE(titoli[0].startsWith(u'[' + gettoneDelProcesso())) << titoli[0].toStdString();
    EXPECT_TRUE(titoli[0].endsWith(QStringLiteral("] D0012345.TXT"))) << titoli[0].toStdString();
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(attese.value(0), 500);
    EXPECT_TRUE(messaggi.testi.isEmpty());
}

TEST_F(CreaPdfProva, ForcedSpoolFolderMovesThePdfIntoTheTemporaryFolder)
{
    spool = cartella.percorso(QStringLiteral("condivisa/"));
    QDir().mkpath(spool);
    ini("FORZAPORTA=1\r\nPORTA=" + spool.toLocal8Bit() + "\r\n");
    QString pdf;
    ASSERT_EQ(esegui(&pdf), -1) << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(pdf, cartella.temp() + QStringLiteral("D0012345.PDF"));
    EXPECT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(QDir(spool).entryList(QDir::Files), QStringList());
}

TEST_F(CreaPdfProva, MarkersLeftOverGoAtOnceAndALiveHoldersMarkerIsWaitedFor)
{
    // 121 seconds old, of another machine: deleted, no wait.
    marcatoreAltrui("FILE=/srv/altro.TXT\r\nDATA=ieri\r\nPID=1\r\nHOST=altro-server\r\nAVVIO=1\r\n", 121);
    ASSERT_EQ(esegui(), -1);
    EXPECT_EQ(polls, 0);

    // A holder of this machine that has ended, seconds ago: taken over
    // within a second of polls.
    const pid_t figlio = fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0)
        _exit(0);
    ASSERT_EQ(waitpid(figlio, nullptr, 0), figlio);
    marcatoreAltrui("FILE=/srv/altro.TXT\r\nDATA=oggi\r\nPID=" + QByteArray::number(figlio) + "\r\nHOST="
                        + QSysInfo::machineHostName().toLocal8Bit() + "\r\nAVVIO=1\r\n",
                    1);
    polls = 0;
    ASSERT_EQ(esegui(), -1);
    EXPECT_LE(polls, 100);

    // 60 seconds old, of another machine: an interactive job waits its
    // 12,000 polls, says so and makes nothing; the marker stays.
    marcatoreAltrui("FILE=/srv/altro.TXT\r\nDATA=oggi\r\nPID=1\r\nHOST=altro-server\r\nAVVIO=1\r\n", 60);
    polls = 0;
    titoli.clear();
    QString pdf = QStringLiteral("not returned");
    ASSERT_EQ(esegui(&pdf), -1);
    EXPECT_EQ(pdf, QString());
    EXPECT_EQ(polls, 12000);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Errore di timeout!")});
    EXPECT_TRUE(titoli.isEmpty());
    EXPECT_EQ(MarcatoreSpool::fileDelMarcatore(spool + QStringLiteral("vorpla.SMR")), QStringLiteral("/srv/altro.TXT"));

    // A PDF-only job waits again, without robbing the holder, until it ends.
    lavoro().ModoPdf = true;
    QDir().mkpath(cartella.percorso(QStringLiteral("ulka/tempWB")));
    polls = 0;
    bool tolto = false;
    durante = [&] {
        if (polls == 12001) {
            EXPECT_TRUE(QFileInfo::exists(spool + QStringLiteral("vorpla.SMR")));
        }
        if (polls == 15000 && !tolto)
            tolto = QFile::remove(spool + QStringLiteral("vorpla.SMR"));
    };
    ASSERT_EQ(esegui(&pdf), -1);
    EXPECT_TRUE(tolto);
    EXPECT_EQ(polls, 15000);
    EXPECT_TRUE(QFileInfo::exists(pdf));
}

TEST_F(CreaPdfProva, SpoolFilesOfOtherJobsAreNeverTakenForThisOne)
{
    lavoro().ModoPdf = true;
    QDir().mkpath(cartella.percorso(QStringLiteral("ulka/tempWB")));
    // Left by an earlier job: gone before the print.
    cartella.scrivi(QStringLiteral("ulka/temp/spool.ps"), postScript(QStringLiteral("VECCHIO.TXT [vorpla 1-1]"),
                                                                       QStringLiteral("VECCHIO")));
    // A file without a title put there, then a late job of a holder that
    // died, then this one's.
    scriveSpool = false;
    QString titolo;
    ambiente.stampaDocumento = [&](const QString &t) {
        spoolAllaStampa = QFileInfo::exists(spool + QStringLiteral("spool.ps"));
        titolo = t;
        cartella.scrivi(QStringLiteral("ulka/temp/spool.ps"),
                        postScript(QStringLiteral("X"), QStringLiteral("ANONIMO")).replace("%%Title: (X)\n", ""));
        return true;
    };
    int attesaSpool = 0;
    durante = [&] {
        if (attese.last() == 100 && ++attesaSpool == 2)
            cartella.scrivi(QStringLiteral("ulka/temp/spool.ps"),
                            postScript(QStringLiteral("[vorpla 1-2] ALTRO.TXT"), QStringLiteral("ALTRO CLIENTE")));
        if (attese.last() == 100 && attesaSpool == 4)
            cartella.scrivi(QStringLiteral("ulka/temp/spool.ps"), postScript(titolo, QStringLiteral("FATTURA 123 ROSSI MARIO")));
    };
    QString pdf;
    ASSERT_EQ(esegui(&pdf), -1) << messaggi.testi.join(u'|').toStdString();
    EXPECT_FALSE(spoolAllaStampa);
    const QString testo = eseguiProcesso(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).uscita;
    EXPECT_TRUE(testo.contains(QStringLiteral("ROSSI MARIO"))) << testo.toStdString();
    EXPECT_FALSE(testo.contains(QStringLiteral("ALTRO")));
    EXPECT_FALSE(testo.contains(QStringLiteral("ANONIMO")));
}

TEST_F(CreaPdfProva, HeldFilesAreWaitedForWithinTheirBound)
{
    lavoro().ModoPdf = true;
    QDir().mkpath(cartella.percorso(QStringLiteral("ulka/tempWB")));
    // The backend still writes (holds its lock) for five retries.
    int fd = -1, tentativi = 0;
    ambiente.stampaDocumento = [&](const QString &t) {
        const QString ps = cartella.scrivi(QStringLiteral("ulka/temp/spool.ps"), postScript(t, QStringLiteral("FATTURA 9")));
        fd = ::open(ps.toLocal8Bit().constData(), O_RDONLY);
        ::flock(fd, LOCK_EX);
        return true;
    };
    durante = [&] {
        if (fd >= 0 && attese.last() == 200 && ++tentativi == 5) {
            ::close(fd);
            fd = -1;
        }
    };
    QString pdf;
    ASSERT_EQ(esegui(&pdf), -1);
    EXPECT_EQ(tentativi, 5);
    EXPECT_TRUE(QFileInfo::exists(pdf));

    // Never released: the job fails after the bound, saying which file.
    ambiente.attesaFileTrattenutoMs = 2000;
    tentativi = -1000;
    file = cartella.scrivi(QStringLiteral("ulka/temp/D0012346.TXT"), "@TIPS FATTURA\r\n");
    EXPECT_EQ(esegui(), FineConErrore);
    ::close(fd);
    EXPECT_TRUE(registro().contains(QStringLiteral("NUMBER=70\r\nDESCRIPTION=Permission denied: ") + spool
                                    + QStringLiteral("spool.ps è ancora in uso dopo 2 secondi\r\nRIGA=2025\r\n")))
        << registro().toStdString();
    EXPECT_FALSE(QFileInfo::exists(spool + QStringLiteral("vorpla.SMR")));
}

TEST_F(CreaPdfProva, FailuresAreRecordedInTheLogAndEndTheJob)
{
    // Ghostscript writes nothing: file not found after the conversion (a PDF
    // of an earlier run at the path does not pass for it); an interactive
    // job says so.
    cartella.scrivi(QStringLiteral("ulka/temp/D0012345.PDF"), "%PDF-1.4 of an earlier run\n");
    ambiente.converti = [](const QString &, const QString &) { return false; };
    EXPECT_EQ(esegui(), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi[0].startsWith(QStringLiteral("ERRORE N° 53  File not found"))) << messaggi.testi[0].toStdString();
    const QStringList righe = registro().split(QStringLiteral("\r\n"));
    ASSERT_EQ(righe.size(), 7) << registro().toStdString();
    EXPECT_FALSE(righe[0].isEmpty());
    EXPECT_EQ(righe[1], QStringLiteral("NUMBER=53"));
    EXPECT_TRUE(righe[2].startsWith(QStringLiteral("DESCRIPTION=File not found")));
    EXPECT_EQ(righe[3], QStringLiteral("RIGA=2025"));
    EXPECT_EQ(righe[4], QStringLiteral("FILE=") + file);
    EXPECT_EQ(righe[5], QString(55, u'-'));
    // The printer is free again.
    EXPECT_FALSE(QFileInfo::exists(spool + QStringLiteral("vorpla.SMR")));
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("D0012345.PDF")));

    // A PDF-only job shows nothing; a printer that never writes the spool
    // file fails after the bound.
    lavoro().ModoPdf = true;
    messaggi.testi.clear();
    ambiente.converti = {};
    scriveSpool = false;
    ambiente.attesaSpoolMs = 3000;
    EXPECT_EQ(esegui(), FineConErrore);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_TRUE(registro().contains(QStringLiteral("NUMBER=482\r\nDESCRIPTION=La stampante PDFCreator non ha scritto ")
                                    + spool + QStringLiteral("spool.ps entro 3 secondi\r\nRIGA=2025")))
        << registro().toStdString();

    // No PostScript printer: nothing is printed on the paper printer.
    StampantiFisse senza{{{QStringLiteral("Office"), QString()}}, QStringLiteral("Office")};
    senza.impostaCorrente(QStringLiteral("Office"));
    ambiente.stampanti = &senza;
    titoli.clear();
    EXPECT_EQ(esegui(), FineConErrore);
    EXPECT_TRUE(titoli.isEmpty());
    EXPECT_EQ(senza.corrente(), QStringLiteral("Office"));
    EXPECT_TRUE(registro().endsWith(QStringLiteral("NUMBER=482\r\nDESCRIPTION=La stampante PDFCreator non è installata\r\nRIGA=\r\nFILE=")
                                    + file + QStringLiteral("\r\n") + QString(55, u'-') + QStringLiteral("\r\n")));
}
