// The spool folder's marker: one holder at a time among real processes,
// markers left over by age or by a holder that no longer runs.

#include "pdf/MarcatoreSpool.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

QString cartellaSpool(const CartellaProva &cartella)
{
    const QString c = cartella.percorso(QStringLiteral("spool/"));
    QDir().mkpath(c);
    return c;
}

void invecchia(const QString &file, int secondi)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondi), QFileDevice::FileModificationTime));
}

} // namespace

TEST(MarcatoreSpool, OneHolderAtATimeItsFirstTwoLinesAsTheExitCommandReadsThem)
{
    CartellaProva cartella;
    const QString spool = cartellaSpool(cartella);
    MarcatoreSpool mio(spool), altro(spool);
    ASSERT_TRUE(mio.prendi(QStringLiteral("/srv/ulka/D0012345.TXT")));
    EXPECT_FALSE(altro.prendi(QStringLiteral("/srv/ulka/D0099999.TXT")));
    const QList<QByteArray> righe = leggiFile(mio.percorso()).split('\n');
    ASSERT_GE(righe.size(), 2);
    EXPECT_EQ(righe[0], QByteArray("FILE=/srv/ulka/D0012345.TXT\r"));
    EXPECT_TRUE(righe[1].startsWith("DATA=")) << righe[1].toStdString();
    EXPECT_EQ(MarcatoreSpool::fileDelMarcatore(mio.percorso()), QStringLiteral("/srv/ulka/D0012345.TXT"));
    // A marker of a running holder is not left over; the other cannot
    // release what it does not hold.
    EXPECT_FALSE(altro.abbandonato());
    altro.rilascia();
    EXPECT_TRUE(mio.esiste());
    mio.rilascia();
    EXPECT_FALSE(mio.esiste());
    EXPECT_TRUE(altro.prendi(QStringLiteral("/srv/ulka/D0099999.TXT")));
    // Nothing else is left in the folder.
    EXPECT_EQ(QDir(spool).entryList(QDir::Files), QStringList{QStringLiteral("vorpla.SMR")});
}

TEST(MarcatoreSpool, ProcessesRacingForThePrinterNeverHoldItTogether)
{
    CartellaProva cartella;
    const QString spool = cartellaSpool(cartella);
    const QByteArray registro = cartella.percorso(QStringLiteral("registro")).toLocal8Bit();
    constexpr int Processi = 8, Giri = 40;
    QList<pid_t> figli;
    for (int p = 0; p < Processi; ++p) {
        const pid_t figlio = fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) {
            MarcatoreSpool marcatore(spool);
            const QByteArray io = QByteArray::number(getpid());
            int presi = 0;
            while (presi < Giri) {
                if (!marcatore.prendi(QStringLiteral("job"))) {
                    usleep(100);
                    continue;
                }
                const int fd = ::open(registro.constData(), O_WRONLY | O_CREAT | O_APPEND, 0666);
                const QByteArray entra = "+" + io + "\n", esce = "-" + io + "\n";
                (void)!::write(fd, entra.constData(), size_t(entra.size()));
                usleep(200);
                (void)!::write(fd, esce.constData(), size_t(esce.size()));
                ::close(fd);
                marcatore.rilascia();
                ++presi;
            }
            _exit(0);
        }
        figli << figlio;
    }
    for (const pid_t figlio : figli) {
        int stato = 0;
        ASSERT_EQ(waitpid(figlio, &stato, 0), figlio);
        EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0);
    }
    // Every holder left before the next came in.
    QList<QByteArray> righe = leggiFile(QString::fromLocal8Bit(registro)).split('\n');
    righe.removeAll(QByteArray());
    ASSERT_EQ(righe.size(), 2 * Processi * Giri);
    for (qsizetype i = 0; i < righe.size(); i += 2) {
        ASSERT_TRUE(righe[i].startsWith('+')) << i;
        ASSERT_EQ(righe[i + 1], "-" + righe[i].mid(1)) << i;
    }
    EXPECT_FALSE(MarcatoreSpool(spool).esiste());
}

TEST(MarcatoreSpool, LeftOverMarkersByAgeOrByAHolderGone)
{
    CartellaProva cartella;
    const QString spool = cartellaSpool(cartella);
    MarcatoreSpool marcatore(spool);
    const QString percorso = marcatore.percorso();

    // A marker of the two lines alone (an older instance's): its age tells.
    scriviFile(percorso, "FILE=/srv/a.TXT\r\nDATA=ieri\r\n");
    invecchia(percorso, 60);
    EXPECT_FALSE(marcatore.rimuoviSeAbbandonato());
    invecchia(percorso, 121);
    EXPECT_TRUE(marcatore.rimuoviSeAbbandonato());
    EXPECT_FALSE(marcatore.esiste());

    // A holder of this machine that no longer holds its marker locked (it
    // ended, however it ended): left over at once.
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    scriviFile(percorso, "FILE=/srv/a.TXT\r\nDATA=oggi\r\nPID=999999\r\nHOST=" + host + "\r\n");
    EXPECT_TRUE(marcatore.abbandonato());
    // A holder that runs keeps it locked, whatever its process number says;
    // another machine's marker is waited for, locked or not.
    {
        const int fd = ::open(percorso.toLocal8Bit().constData(), O_RDONLY);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        EXPECT_FALSE(marcatore.abbandonato());
        EXPECT_FALSE(marcatore.rimuoviSeAbbandonato());
        ::close(fd);
    }
    EXPECT_TRUE(marcatore.rimuoviSeAbbandonato());
    scriviFile(percorso, "FILE=/srv/a.TXT\r\nDATA=oggi\r\nPID=999999\r\nHOST=altro-server\r\n");
    EXPECT_FALSE(marcatore.abbandonato());
    // Whoever holds it, 121 seconds make it left over.
    invecchia(percorso, 121);
    EXPECT_TRUE(marcatore.abbandonato());
}

TEST(MarcatoreSpool, AHeldMarkerStaysYoungAndItsReleaseSparesAnotherHoldersMarker)
{
    CartellaProva cartella;
    const QString spool = cartellaSpool(cartella);
    // Renewed every 50 ms while held: a long job is never taken for one
    // that did not finish.
    {
        MarcatoreSpool lungo(spool, std::chrono::milliseconds(50), std::chrono::milliseconds(1000));
        ASSERT_TRUE(lungo.prendi(QStringLiteral("/srv/lungo.TXT")));
        invecchia(lungo.percorso(), 200);
        MarcatoreSpool altro(spool);
        EXPECT_TRUE(altro.abbandonato());
        QElapsedTimer attesa;
        attesa.start();
        while (altro.abbandonato() && attesa.elapsed() < 900)
            QThread::msleep(10);
        EXPECT_FALSE(altro.abbandonato()) << "renewed within a few steps";
        // The renewal ends: a holder that hangs frees the printer by age,
        // lock or not.
        QThread::msleep(1500);
        invecchia(lungo.percorso(), 200);
        QThread::msleep(200);
        EXPECT_TRUE(altro.abbandonato());
        // Leaving scope releases it.
    }
    MarcatoreSpool controllo(spool);
    EXPECT_FALSE(controllo.esiste());

    // Taken over meanwhile: releasing does not delete the new holder's marker.
    MarcatoreSpool primo(spool), secondo(spool);
    ASSERT_TRUE(primo.prendi(QStringLiteral("/srv/primo.TXT")));
    ASSERT_TRUE(QFile::remove(primo.percorso()));
    ASSERT_TRUE(secondo.prendi(QStringLiteral("/srv/secondo.TXT")));
    primo.rilascia();
    EXPECT_EQ(MarcatoreSpool::fileDelMarcatore(secondo.percorso()), QStringLiteral("/srv/secondo.TXT"));
}
