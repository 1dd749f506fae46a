#include "common/FileIni.h"
#include "common/FileRegolare.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace vorpla;
using vorpla::prova::CartellaProva;
using vorpla::prova::leggiFile;

namespace {

// The special files a name can turn out to be. A character device is made
// only where this user may (root): a copy of /dev/null, never a device of
// the system's.
struct Speciali
{
    explicit Speciali(const CartellaProva &cartella)
    {
        fifo = cartella.percorso(QStringLiteral("fifo"));
        EXPECT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
        const QString nodo = cartella.percorso(QStringLiteral("nullo"));
        if (::mknod(QFile::encodeName(nodo).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
            dispositivo = nodo;
        linkAZero = cartella.percorso(QStringLiteral("zero"));
        EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), linkAZero));
        cartellaVera = cartella.percorso(QStringLiteral("cartella"));
        QDir().mkpath(cartellaVera);
    }
    QStringList tutti() const
    {
        QStringList t{fifo, linkAZero, cartellaVera};
        if (!dispositivo.isEmpty())
            t << dispositivo;
        return t;
    }
    QString fifo, dispositivo, linkAZero, cartellaVera;
};

bool eFifo(const QString &percorso)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(percorso).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

bool scriviTramite(const QString &percorso, const QByteArray &contenuto, QString *errore = nullptr)
{
    FileDestinazione f(percorso);
    const bool ok = f.apri() && f.dispositivo()->write(contenuto) == contenuto.size() && f.conferma();
    if (errore)
        *errore = f.errore();
    return ok;
}

// ---- reading ------------------------------------------------------------------

TEST(FileRegolare, SoloFileRegolariLetti)
{
    CartellaProva cartella;
    const Speciali speciali(cartella);
    for (const QString &p : speciali.tutti()) {
        EsitoFile esito = EsitoFile::Aperto;
        EXPECT_FALSE(leggiFileRegolare(p, SenzaLimite, &esito)) << p.toStdString();
        EXPECT_EQ(esito, EsitoFile::NonRegolare) << p.toStdString();
        EXPECT_FALSE(eFileRegolare(p));
    }
    const QString file = cartella.scrivi(QStringLiteral("a.txt"), "abc");
    const QString link = cartella.percorso(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_EQ(leggiFileRegolare(link, 3).value_or("-"), "abc") << "links are followed";
    EsitoFile esito;
    EXPECT_FALSE(leggiFileRegolare(file, 2, &esito));
    EXPECT_EQ(esito, EsitoFile::TroppoGrande);
    EXPECT_FALSE(leggiFileRegolare(cartella.percorso(QStringLiteral("manca")), 2, &esito));
    EXPECT_EQ(esito, EsitoFile::Assente);
}

// ---- writing ------------------------------------------------------------------

// A target that is no regular file is left as it is, and the refusal names
// the file; nothing is left beside it.
TEST(FileRegolare, DestinazioneNonRegolareRifiutata)
{
    CartellaProva cartella;
    const Speciali speciali(cartella);
    for (const QString &p : speciali.tutti()) {
        QString errore;
        EXPECT_FALSE(scriviTramite(p, "%PDF", &errore)) << p.toStdString();
        EXPECT_TRUE(errore.contains(QFileInfo(p).fileName()) && errore.contains(QStringLiteral("not a regular file")))
            << errore.toStdString();
    }
    EXPECT_TRUE(eFifo(speciali.fifo));
    if (!speciali.dispositivo.isEmpty()) {
        struct stat st{};
        ASSERT_EQ(::stat(QFile::encodeName(speciali.dispositivo).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device node must stay a device";
    }
    const QStringList voci =
        QDir(cartella.radice()).entryList(QDir::Hidden | QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &v : voci)
        EXPECT_FALSE(v.startsWith(u'.')) << "temporary file left: " << v.toStdString();
}

// Links: a symbolic link stays a link to the new content; a file with two
// hard links keeps both, and both see the new content. An unconfirmed write
// changes nothing.
TEST(FileRegolare, CollegamentiConservati)
{
    CartellaProva cartella;
    const QString vero = cartella.scrivi(QStringLiteral("dati/vero.pdf"), "vecchio");
    const QString simbolico = cartella.percorso(QStringLiteral("simbolico.pdf"));
    ASSERT_TRUE(QFile::link(vero, simbolico));
    ASSERT_TRUE(scriviTramite(simbolico, "nuovo"));
    EXPECT_TRUE(QFileInfo(simbolico).isSymLink());
    EXPECT_EQ(leggiFile(vero), "nuovo");

    const QString secondo = cartella.percorso(QStringLiteral("secondo.pdf"));
    ASSERT_EQ(::link(QFile::encodeName(vero).constData(), QFile::encodeName(secondo).constData()), 0);
    ASSERT_TRUE(scriviTramite(secondo, "terzo"));
    EXPECT_EQ(leggiFile(vero), "terzo");
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(vero).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);

    {
        FileDestinazione f(vero);
        ASSERT_TRUE(f.apri());
        f.dispositivo()->write("mai");
    }
    EXPECT_EQ(leggiFile(vero), "terzo");
    EXPECT_EQ(QDir(cartella.percorso(QStringLiteral("dati"))).entryList(QDir::Hidden | QDir::Files).size(), 1);

    const QString nuovo = cartella.percorso(QStringLiteral("dati/nuovo.pdf"));
    ASSERT_TRUE(scriviTramite(nuovo, "x"));
    ASSERT_EQ(::stat(QFile::encodeName(nuovo).constData(), &st), 0);
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~maschera) << "a new file gets the usual permissions";
}

// In place: created when absent, refused when not regular (a FIFO without a
// reader would block an ordinary open for ever).
TEST(FileRegolare, ScritturaSulPosto)
{
    CartellaProva cartella;
    const Speciali speciali(cartella);
    for (const QString &p : speciali.tutti()) {
        QFile f;
        EXPECT_EQ(apriInScrittura(f, p, QIODevice::WriteOnly | QIODevice::Append), EsitoFile::NonRegolare)
            << p.toStdString();
    }
    const QString log = cartella.percorso(QStringLiteral("giorno.log"));
    for (int i = 0; i < 2; ++i) {
        QFile f;
        ASSERT_EQ(apriInScrittura(f, log, QIODevice::WriteOnly | QIODevice::Append), EsitoFile::Aperto);
        f.write("riga\n");
    }
    EXPECT_EQ(leggiFile(log), "riga\nriga\n");
}

// ---- vorpla.ini -----------------------------------------------------------------

// The file is parsed at its first lookup and not read again: a change made
// behind the program's back is not seen, its own writes are.
TEST(FileRegolare, IniLettoUnaVoltaAProcesso)
{
    CartellaProva cartella;
    const QString ini = cartella.scrivi(QStringLiteral("vorpla.ini"), "[A]\r\nuno=1\r\ndue=2\r\n");
    EXPECT_EQ(LeggiIni("A", "uno", ini), "1");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[A]\r\nuno=X\r\ndue=Y\r\ntre=Z\r\n");
    }
    EXPECT_EQ(LeggiIni("A", "due", ini), "2") << "a lookup must not read the file again";
    EXPECT_EQ(LeggiIni("A", "tre", ini), "");
    ASSERT_TRUE(ScriviIni("B", "quattro", "4", ini));
    EXPECT_EQ(LeggiIni("A", "tre", ini), "Z") << "a write makes the file read again";
    EXPECT_EQ(LeggiIni("b", "QUATTRO", ini), "4");
    QFile::remove(ini);
    EXPECT_EQ(LeggiIni("A", "uno", ini), "X");
    dimenticaFileIni(ini);
    EXPECT_EQ(LeggiIni("A", "uno", ini), "");
}

// A configuration that is a device or FIFO reads as absent and is never
// replaced.
TEST(FileRegolare, IniSpecialeLettoVuoto)
{
    CartellaProva cartella;
    const Speciali speciali(cartella);
    for (const QString &p : speciali.tutti()) {
        EXPECT_EQ(LeggiIni("A", "b", p), "") << p.toStdString();
        EXPECT_FALSE(ScriviIni("A", "b", "c", p)) << p.toStdString();
    }
    EXPECT_TRUE(eFifo(speciali.fifo));
}

} // namespace
