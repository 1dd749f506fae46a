// Zip archives: what VBZip writes must open in the system's unzip, and what
// EstraiInCartella / EstraiZip extract comes from outside (archives made by
// the system's zip, and hostile ones built entry by entry with libzip, since
// the zip command cleans the names it stores).

#include "maintenance/VBUnzBas.h"
#include "maintenance/VBZipBas.h"

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

using namespace vorpla;
using vorpla::prova::CartellaProva;
using vorpla::prova::eseguiProcesso;
using vorpla::prova::leggiFile;
using vorpla::prova::MessaggiRegistrati;
using vorpla::prova::scriviFile;

namespace {

// The entry names of an archive as the system's "unzip -l" lists them.
QStringList vociUnzip(const QString &archivio)
{
    const auto esito = eseguiProcesso(QStringLiteral("unzip"), {QStringLiteral("-l"), archivio});
    EXPECT_EQ(esito.codice, 0) << esito.uscita.toStdString() << esito.errori.toStdString();
    QStringList voci;
    bool dentroTabella = false;
    static const QRegularExpression riga(QStringLiteral("^\\s*\\d+\\s+\\S+\\s+\\S+\\s+(.*)$"));
    for (const QString &r : esito.uscita.split(u'\n')) {
        if (r.startsWith(QLatin1String("---------"))) {
            if (dentroTabella)
                break;
            dentroTabella = true;
            continue;
        }
        const auto m = riga.match(r);
        if (dentroTabella && m.hasMatch())
            voci << m.captured(1);
    }
    voci.sort();
    return voci;
}

// One entry's bytes as the system's "unzip -p" writes them.
QString contenutoUnzip(const QString &archivio, const QString &voce)
{
    const auto esito = eseguiProcesso(QStringLiteral("unzip"), {QStringLiteral("-p"), archivio, voce});
    EXPECT_EQ(esito.codice, 0) << esito.errori.toStdString();
    return esito.uscita;
}

// An archive made by the system's zip in `cartella` from everything below it,
// with the extra options given (-y stores links as links).
void zipDelSistema(const QString &cartella, const QString &archivio, const QStringList &opzioni = {})
{
    const auto esito = eseguiProcesso(
        QStringLiteral("sh"),
        QStringList{QStringLiteral("-c"), QStringLiteral("cd \"$1\" && shift && zip -qr \"$@\" ."), QStringLiteral("sh"),
                    cartella}
            + opzioni + QStringList{archivio});
    ASSERT_EQ(esito.codice, 0) << esito.errori.toStdString();
}

// An entry of an archive built by hand.
struct VoceGrezza
{
    QByteArray nome;
    QByteArray contenuto;
    mode_t modo = S_IFREG | 0644;
    time_t modificato = 0;
};

// Writes the entries exactly as named (nothing cleaned), with Unix modes.
void archivioGrezzo(const QString &archivio, const std::vector<VoceGrezza> &voci)
{
    int errore = 0;
    zip_t *z = zip_open(QFile::encodeName(archivio).constData(), ZIP_CREATE | ZIP_TRUNCATE, &errore);
    ASSERT_NE(z, nullptr);
    for (const VoceGrezza &v : voci) {
        zip_source_t *s = zip_source_buffer(z, v.contenuto.constData(), zip_uint64_t(v.contenuto.size()), 0);
        ASSERT_NE(s, nullptr);
        const zip_int64_t i = zip_file_add(z, v.nome.constData(), s, ZIP_FL_ENC_RAW);
        ASSERT_GE(i, 0) << v.nome.constData();
        zip_file_set_external_attributes(z, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX, zip_uint32_t(v.modo) << 16);
        if (v.modificato)
            zip_file_set_mtime(z, zip_uint64_t(i), v.modificato, 0);
    }
    ASSERT_EQ(zip_close(z), 0);
    // The names really are in the archive as written.
    z = zip_open(QFile::encodeName(archivio).constData(), ZIP_RDONLY, &errore);
    ASSERT_NE(z, nullptr);
    for (const VoceGrezza &v : voci)
        EXPECT_GE(zip_name_locate(z, v.nome.constData(), ZIP_FL_ENC_RAW), 0) << v.nome.constData();
    zip_discard(z);
}

TabellaNomiZip tabella(const QStringList &nomi)
{
    TabellaNomiZip t;
    for (int i = 0; i < nomi.size(); ++i)
        t[size_t(i)] = nomi.at(i);
    return t;
}

void impostaData(const QString &percorso, const QDateTime &quando)
{
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(quando, QFileDevice::FileModificationTime));
}

bool esisteCollegamentoOFile(const QString &percorso)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(percorso).constData(), &st) == 0;
}

} // namespace

// The clipboard transfer's call: the same file twice, root "c:\", folder
// names kept. Every entry is there once, named by its path below "/".
TEST(VBZip, ArchivioDellaTrasmissioneLettoDaUnzip)
{
    CartellaProva c;
    const QString stampa = c.scrivi(QStringLiteral("ulka/temp/STAMPA.TXT"), "@ULKA=VORPLA\r\n@TITO Fattura\r\n");
    const QString font = c.scrivi(QStringLiteral("ulka/vorpla/netterm.ttf"), QByteArray(5000, 'f'));
    const QString archivio = c.temp() + QStringLiteral("STAMPA.cmp");
    // The print file three times, once through "..", and a font.
    const auto nomi = tabella({stampa, stampa, c.temp() + QStringLiteral("../temp/STAMPA.TXT"), font});
    ASSERT_EQ(VBZip(4, archivio, nomi, 0, 0, 0, 0, QStringLiteral("c:\\")), RisultatoZip::Ok);

    const QString radice = c.radice().mid(1);
    EXPECT_EQ(vociUnzip(archivio),
              (QStringList{radice + QStringLiteral("/ulka/temp/STAMPA.TXT"),
                           radice + QStringLiteral("/ulka/vorpla/netterm.ttf")}));
    EXPECT_EQ(contenutoUnzip(archivio, radice + QStringLiteral("/ulka/temp/STAMPA.TXT")),
              QStringLiteral("@ULKA=VORPLA\r\n@TITO Fattura\r\n"));
    EXPECT_EQ(contenutoUnzip(archivio, radice + QStringLiteral("/ulka/vorpla/netterm.ttf")), QString(5000, u'f'));

    // Only the first argc names count.
    const QString solo = c.temp() + QStringLiteral("solo.cmp");
    ASSERT_EQ(VBZip(1, solo, nomi, 0, 0, 0, 0, QStringLiteral("c:\\")), RisultatoZip::Ok);
    EXPECT_EQ(vociUnzip(solo), QStringList{radice + QStringLiteral("/ulka/temp/STAMPA.TXT")});
}

// Entry names below another root, with Windows separators, and with the
// junk flag.
TEST(VBZip, NomiDelleVoci)
{
    CartellaProva c;
    c.scrivi(QStringLiteral("dati/a.txt"), "a");
    c.scrivi(QStringLiteral("dati/sotto/b.txt"), "b");
    const QString fuori = c.scrivi(QStringLiteral("altrove/c.txt"), "c");

    // Relative names below the root, "\" or "/" separated; an absolute name
    // below the root gives its path below it; a file outside the root its
    // full path without "/".
    const QString relativi = c.percorso(QStringLiteral("relativi.zip"));
    ASSERT_EQ(VBZip(3, relativi,
                    tabella({c.percorso(QStringLiteral("dati/a.txt")), QStringLiteral("sotto\\b.txt"), fuori}), 0, 0,
                    0, 0, c.percorso(QStringLiteral("dati"))),
              RisultatoZip::Ok);
    QStringList attese{fuori.mid(1), QStringLiteral("a.txt"), QStringLiteral("sotto/b.txt")};
    attese.sort();
    EXPECT_EQ(vociUnzip(relativi), attese);

    const QString soloNomi = c.percorso(QStringLiteral("solonomi.zip"));
    ASSERT_EQ(VBZip(2, soloNomi, tabella({QStringLiteral("dati/a.txt"), QStringLiteral("dati/sotto/b.txt")}), 1, 0, 0, 0,
                    c.radice()),
              RisultatoZip::Ok);
    EXPECT_EQ(vociUnzip(soloNomi), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));

    // Two different files that would share a name: nothing is written.
    c.scrivi(QStringLiteral("dati/sotto/a.txt"), "altra a");
    const QString ripetuti = c.percorso(QStringLiteral("ripetuti.zip"));
    EXPECT_EQ(VBZip(2, ripetuti, tabella({QStringLiteral("dati/a.txt"), QStringLiteral("dati/sotto/a.txt")}), 1, 0, 0, 0,
                    c.radice()),
              RisultatoZip::NomiRipetuti);
    EXPECT_FALSE(QFileInfo::exists(ripetuti));
}

TEST(VBZip, CartelleFileMancantiEArchiviNonValidi)
{
    CartellaProva c;
    c.scrivi(QStringLiteral("dati/a.txt"), "a");
    c.scrivi(QStringLiteral("dati/sotto/b.txt"), "b");
    c.scrivi(QStringLiteral("dati/.nascosto"), "h");

    const QString ricorsivo = c.percorso(QStringLiteral("ricorsivo.zip"));
    ASSERT_EQ(VBZip(1, ricorsivo, tabella({QStringLiteral("dati")}), 0, 1, 0, 0, c.radice()), RisultatoZip::Ok);
    EXPECT_EQ(vociUnzip(ricorsivo), (QStringList{QStringLiteral("dati/"), QStringLiteral("dati/a.txt"),
                                                 QStringLiteral("dati/sotto/"), QStringLiteral("dati/sotto/b.txt")}));

    const QString senzaRicorsione = c.percorso(QStringLiteral("cartella.zip"));
    ASSERT_EQ(VBZip(1, senzaRicorsione, tabella({QStringLiteral("dati")}), 0, 0, 0, 0, c.radice()), RisultatoZip::Ok);
    EXPECT_EQ(vociUnzip(senzaRicorsione), QStringList{QStringLiteral("dati/")});

    // A missing file is left out and said; the others are written.
    const QString mancante = c.percorso(QStringLiteral("mancante.zip"));
    EXPECT_EQ(VBZip(2, mancante, tabella({QStringLiteral("dati/manca.txt"), QStringLiteral("dati/a.txt")}), 0, 0, 0, 0,
                    c.radice()),
              RisultatoZip::FileNonLeggibile);
    EXPECT_EQ(vociUnzip(mancante), QStringList{QStringLiteral("dati/a.txt")});

    // Nothing to write: no archive.
    const QString vuoto = c.percorso(QStringLiteral("vuoto.zip"));
    EXPECT_EQ(VBZip(0, vuoto, tabella({QStringLiteral("dati/a.txt")}), 0, 0, 0, 0, c.radice()),
              RisultatoZip::NienteDaFare);
    EXPECT_FALSE(QFileInfo::exists(vuoto));

    // An existing file that is not an archive is left as it is.
    const QString testo = c.scrivi(QStringLiteral("testo.zip"), "non sono un archivio");
    EXPECT_EQ(VBZip(1, testo, tabella({QStringLiteral("dati/a.txt")}), 0, 0, 0, 0, c.radice()),
              RisultatoZip::ArchivioNonValido);
    EXPECT_EQ(leggiFile(testo), QByteArray("non sono un archivio"));

    // An archive in a folder that does not exist cannot be written.
    EXPECT_EQ(VBZip(1, c.percorso(QStringLiteral("manca/a.zip")), tabella({QStringLiteral("dati/a.txt")}), 0, 0, 0, 0,
                    c.radice()),
              RisultatoZip::ArchivioNonScritto);
}

// Adding to an existing archive: named entries replaced, others kept;
// freshen only replaces older entries, update also adds new files.
TEST(VBZip, AggiuntaAggiornamentoERinfresco)
{
    CartellaProva c;
    const QDateTime ora = QDateTime::currentDateTime();
    const QString a = c.scrivi(QStringLiteral("a.txt"), "prima");
    c.scrivi(QStringLiteral("b.txt"), "b");
    impostaData(a, ora.addSecs(-600));
    const QString archivio = c.percorso(QStringLiteral("archivio.zip"));
    ASSERT_EQ(VBZip(2, archivio, tabella({QStringLiteral("a.txt"), QStringLiteral("b.txt")}), 0, 0, 0, 0, c.radice()),
              RisultatoZip::Ok);

    // b is kept while a new file is added.
    c.scrivi(QStringLiteral("n.txt"), "nuovo");
    ASSERT_EQ(VBZip(1, archivio, tabella({QStringLiteral("n.txt")}), 0, 0, 0, 0, c.radice()), RisultatoZip::Ok);
    EXPECT_EQ(vociUnzip(archivio), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("n.txt")}));

    // Freshen: a is newer and replaced; c is not in the archive and stays out.
    scriviFile(a, "dopo");
    impostaData(a, ora.addSecs(-300));
    c.scrivi(QStringLiteral("c.txt"), "c");
    ASSERT_EQ(VBZip(2, archivio, tabella({QStringLiteral("a.txt"), QStringLiteral("c.txt")}), 0, 0, 0, 1, c.radice()),
              RisultatoZip::Ok);
    EXPECT_EQ(contenutoUnzip(archivio, QStringLiteral("a.txt")), QStringLiteral("dopo"));
    EXPECT_FALSE(vociUnzip(archivio).contains(QStringLiteral("c.txt")));

    // Update: c is added; a, now older than its entry, is not replaced.
    scriviFile(a, "vecchia");
    impostaData(a, ora.addSecs(-900));
    ASSERT_EQ(VBZip(2, archivio, tabella({QStringLiteral("a.txt"), QStringLiteral("c.txt")}), 0, 0, 1, 0, c.radice()),
              RisultatoZip::Ok);
    EXPECT_EQ(contenutoUnzip(archivio, QStringLiteral("a.txt")), QStringLiteral("dopo"));
    EXPECT_EQ(contenutoUnzip(archivio, QStringLiteral("c.txt")), QStringLiteral("c"));
}

// The client update's archive, made by the system's zip with folders:
// extracted into the program folder with its folders, existing files
// replaced without a question, other files left alone.
TEST(EstraiInCartella, ArchivioConCartelleSostituisceSenzaChiedere)
{
    CartellaProva c;
    MessaggiRegistrati messaggi;
    const QString sorgente = c.percorso(QStringLiteral("sorgente"));
    const QString client = c.scrivi(QStringLiteral("sorgente/cliente/bin/kelvoria.exe"), "#!/bin/sh\necho nuovo\n");
    QFile::setPermissions(client, QFile::permissions(client) | QFileDevice::ExeOwner | QFileDevice::ExeGroup);
    c.scrivi(QStringLiteral("sorgente/cliente/leggimi.txt"), "nuovo leggimi");
    c.scrivi(QStringLiteral("sorgente/radice.txt"), "nuova radice");
    const QDateTime data(QDate(2023, 11, 20), QTime(9, 30, 0));
    impostaData(c.percorso(QStringLiteral("sorgente/radice.txt")), data);
    const QString archivio = c.temp() + QStringLiteral("TEMP.EXE");
    zipDelSistema(sorgente, archivio);

    const QString p = c.programma();
    scriviFile(p + QStringLiteral("/radice.txt"), "vecchia radice, più lunga della nuova");
    scriviFile(p + QStringLiteral("/cliente/leggimi.txt"), "vecchio");
    scriviFile(p + QStringLiteral("/vorpla.ini"), "[FATTURE]\r\n");
    TestoUnzip = QStringLiteral("resto di prima");
    ElencoUnzip = QStringLiteral("resto di prima");

    EstraiInCartella(archivio);

    EXPECT_EQ(leggiFile(p + QStringLiteral("/radice.txt")), QByteArray("nuova radice"));
    EXPECT_EQ(leggiFile(p + QStringLiteral("/cliente/leggimi.txt")), QByteArray("nuovo leggimi"));
    EXPECT_EQ(leggiFile(p + QStringLiteral("/cliente/bin/kelvoria.exe")), QByteArray("#!/bin/sh\necho nuovo\n"));
    EXPECT_TRUE(QFileInfo(p + QStringLiteral("/cliente/bin/kelvoria.exe")).isExecutable());
    EXPECT_EQ(QFileInfo(p + QStringLiteral("/radice.txt")).lastModified(), data);
    EXPECT_EQ(leggiFile(p + QStringLiteral("/vorpla.ini")), QByteArray("[FATTURE]\r\n"));
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    // No temporary file is left beside the extracted ones.
    EXPECT_EQ(QDir(p).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("cliente"), QStringLiteral("radice.txt"), QStringLiteral("vorpla.ini")}));
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("  inflating: cliente/bin/kelvoria.exe\n")))
        << TestoUnzip.toStdString();
    EXPECT_FALSE(TestoUnzip.contains(QStringLiteral("resto di prima")));
    EXPECT_TRUE(ElencoUnzip.isEmpty());

    // A missing archive changes nothing and says why.
    EstraiInCartella(c.temp() + QStringLiteral("manca.zip"));
    EXPECT_TRUE(TestoUnzip.startsWith(QStringLiteral("cannot open "))) << TestoUnzip.toStdString();
    EXPECT_EQ(leggiFile(p + QStringLiteral("/radice.txt")), QByteArray("nuova radice"));
}

// Entries that climb out of the extraction folder or name an absolute path
// are refused one by one; every good entry is still extracted.
TEST(EstraiInCartella, VociFuoriDallaCartellaRifiutate)
{
    CartellaProva c;
    const QString archivio = c.temp() + QStringLiteral("ostile.zip");
    const QByteArray assoluto = QFile::encodeName(c.percorso(QStringLiteral("assoluto.txt")));
    archivioGrezzo(archivio, {
                                 {"buono.txt", "buono"},
                                 {"../fuori.txt", "male"},
                                 {"cartella/../../fuori2.txt", "male"},
                                 {"..\\fuori3.txt", "male"},
                                 {"cartella/../../../fuori4.txt", "male"},
                                 {assoluto, "male"},
                                 {"C:\\fuori5.txt", "male"},
                                 {"cartella/buono2.txt", "buono 2"},
                                 {"./cartella/./buono3.txt", "buono 3"},
                             });

    EstraiInCartella(archivio);

    const QString p = c.programma();
    EXPECT_EQ(leggiFile(p + QStringLiteral("/buono.txt")), QByteArray("buono"));
    EXPECT_EQ(leggiFile(p + QStringLiteral("/cartella/buono2.txt")), QByteArray("buono 2"));
    EXPECT_EQ(leggiFile(p + QStringLiteral("/cartella/buono3.txt")), QByteArray("buono 3"));
    EXPECT_EQ(QDir(p).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("buono.txt"), QStringLiteral("cartella")}));
    EXPECT_EQ(QDir(p + QStringLiteral("/cartella")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("buono2.txt"), QStringLiteral("buono3.txt")}));
    // Nothing beside or above the program folder.
    EXPECT_EQ(QDir(c.percorso(QStringLiteral("ulka"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("temp"), QStringLiteral("vorpla")}));
    EXPECT_EQ(QDir(c.radice()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("ulka")});
    EXPECT_EQ(QDir(c.temp()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("ostile.zip")});

    for (const char *nome : {"../fuori.txt", "cartella/../../fuori2.txt", "..\\fuori3.txt"})
        EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: ") + QLatin1String(nome)
                                        + QStringLiteral("  outside the extraction folder\n")))
            << nome << "\n" << TestoUnzip.toStdString();
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: ") + QFile::decodeName(assoluto)
                                    + QStringLiteral("  absolute path\n")))
        << TestoUnzip.toStdString();
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: C:\\fuori5.txt  absolute path\n")));
}

// Symbolic links are never created, and extraction never writes through a
// link, whether the link comes in the archive or already stands in the
// extraction folder.
TEST(EstraiInCartella, CollegamentiSimboliciRifiutati)
{
    CartellaProva c;
    const QString fuori = c.percorso(QStringLiteral("fuori"));
    ASSERT_TRUE(QDir().mkpath(fuori));
    const QString segreto = c.scrivi(QStringLiteral("fuori/segreto.txt"), "segreto");
    const QString p = c.programma();

    // A link stored by the system's zip (-y).
    const QString sorgente = c.percorso(QStringLiteral("sorgente"));
    c.scrivi(QStringLiteral("sorgente/normale.txt"), "normale");
    ASSERT_TRUE(QFile::link(fuori, sorgente + QStringLiteral("/collegamento")));
    const QString conLink = c.temp() + QStringLiteral("collegamento.zip");
    zipDelSistema(sorgente, conLink, {QStringLiteral("-y")});
    ASSERT_TRUE(vociUnzip(conLink).contains(QStringLiteral("collegamento")));

    EstraiInCartella(conLink);
    EXPECT_FALSE(esisteCollegamentoOFile(p + QStringLiteral("/collegamento")));
    EXPECT_EQ(leggiFile(p + QStringLiteral("/normale.txt")), QByteArray("normale"));
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: collegamento  symbolic link\n"))) << TestoUnzip.toStdString();

    // A link and an entry through it; links already in the program folder,
    // one to a folder outside, one to a file outside.
    ASSERT_TRUE(QFile::link(fuori, p + QStringLiteral("/uscita")));
    ASSERT_TRUE(QFile::link(segreto, p + QStringLiteral("/config.txt")));
    const QString ostile = c.temp() + QStringLiteral("ostile.zip");
    archivioGrezzo(ostile, {
                               {"via", QFile::encodeName(fuori), S_IFLNK | 0777},
                               {"via/dentro.txt", "via"},
                               {"uscita/x.txt", "male"},
                               {"config.txt", "configurazione"},
                               {"fifo", "", S_IFIFO | 0644},
                           });
    EstraiInCartella(ostile);

    EXPECT_EQ(QDir(fuori).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("segreto.txt")});
    EXPECT_EQ(leggiFile(segreto), QByteArray("segreto"));
    // "via" is an ordinary folder of the program folder now.
    EXPECT_FALSE(QFileInfo(p + QStringLiteral("/via")).isSymLink());
    EXPECT_EQ(leggiFile(p + QStringLiteral("/via/dentro.txt")), QByteArray("via"));
    // The link to a file is replaced by the file, not written through.
    EXPECT_FALSE(QFileInfo(p + QStringLiteral("/config.txt")).isSymLink());
    EXPECT_EQ(leggiFile(p + QStringLiteral("/config.txt")), QByteArray("configurazione"));
    EXPECT_FALSE(esisteCollegamentoOFile(p + QStringLiteral("/fifo")));
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: via  symbolic link\n")));
    EXPECT_TRUE(
        TestoUnzip.contains(QStringLiteral("skipping: uscita/x.txt  a link leading outside the extraction folder\n")))
        << TestoUnzip.toStdString();
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: fifo  not a regular file\n")));

    // A FIFO already standing where a file goes stays (renaming over it is
    // refused like writing into it), and so does an archive that is one.
    const QString tubo = p + QStringLiteral("/tubo.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tubo).constData(), 0666), 0);
    const QString suTubo = c.temp() + QStringLiteral("tubo.zip");
    archivioGrezzo(suTubo, {{"tubo.txt", "testo"}});
    EstraiInCartella(suTubo);
    struct stat st{};
    ASSERT_EQ(::lstat(QFile::encodeName(tubo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("skipping: tubo.txt  a device, FIFO or socket of that name exists\n")))
        << TestoUnzip.toStdString();
    EstraiInCartella(tubo);
    EXPECT_TRUE(TestoUnzip.contains(QStringLiteral("not a regular file"))) << TestoUnzip.toStdString();
}

// The listing of a list-only run: heading and entries in their columns,
// nothing written.
TEST(EstraiZip, ElencoSenzaEstrarre)
{
    CartellaProva c;
    const time_t quando = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 10)).toSecsSinceEpoch();
    const QString archivio = c.temp() + QStringLiteral("elenco.zip");
    const QByteArray lungo = "un nome di file molto lungo che supera le cinquanta lettere.txt";
    archivioGrezzo(archivio, {{"dati/fattura.txt", "dodici byte!", S_IFREG | 0644, quando},
                              {lungo, QByteArray(1234567, 'x'), S_IFREG | 0644, quando}});
    const QString cartella = c.percorso(QStringLiteral("estratti"));
    ElencoUnzip.clear();
    SeparatoreUnzip = QStringLiteral("\r\n");

    EstraiZip(archivio, cartella, 1, 1, 1, 1, 0, 0);

    ASSERT_TRUE(ElencoUnzip.startsWith(QStringLiteral("\r\n")));
    const QStringList righe = ElencoUnzip.mid(2).split(QStringLiteral("\r\n"));
    ASSERT_EQ(righe.size(), 3) << ElencoUnzip.toStdString();
    for (const QString &r : righe)
        EXPECT_EQ(r.size(), 80) << r.toStdString();
    EXPECT_EQ(righe[0].left(9), QStringLiteral("Filename:"));
    EXPECT_EQ(righe[0].mid(52, 4), QStringLiteral("Size"));
    EXPECT_EQ(righe[0].mid(61, 4), QStringLiteral("Date"));
    EXPECT_EQ(righe[0].mid(70, 4), QStringLiteral("Time"));
    EXPECT_EQ(righe[1].left(50), QStringLiteral("dati/fattura.txt").leftJustified(50));
    EXPECT_EQ(righe[1].mid(50, 7), QStringLiteral("     12"));
    EXPECT_EQ(righe[1].mid(59, 8), QStringLiteral("05/03/24"));
    EXPECT_EQ(righe[1].mid(69, 5), QStringLiteral("14:07"));
    EXPECT_EQ(righe[2].left(50), QString::fromLatin1(lungo.left(50)));
    EXPECT_EQ(righe[2].mid(50, 7), QStringLiteral("1234567"));
    EXPECT_FALSE(QFileInfo::exists(cartella + QStringLiteral("/dati/fattura.txt")));

    // Extraction runs list nothing.
    ElencoUnzip.clear();
    EstraiZip(archivio, cartella, 1, 1, 0, 1, 0, 0);
    EXPECT_TRUE(ElencoUnzip.isEmpty());
    EXPECT_EQ(leggiFile(cartella + QStringLiteral("/dati/fattura.txt")), QByteArray("dodici byte!"));
}

// Without the always-overwrite flag the user is asked for each existing
// file; without either flag existing files are kept.
TEST(EstraiZip, DomandaDiSostituzione)
{
    CartellaProva c;
    const QString archivio = c.temp() + QStringLiteral("domanda.zip");
    archivioGrezzo(archivio, {{"a.txt", "nuovo a"}, {"b.txt", "nuovo b"}, {"c.txt", "nuovo c"}});
    const QString cartella = c.percorso(QStringLiteral("estratti"));
    for (const char *n : {"a.txt", "b.txt"})
        scriviFile(cartella + u'/' + QLatin1String(n), "vecchio");

    {
        MessaggiRegistrati messaggi;
        messaggi.risposte = {Risposta::No, Risposta::Si};
        EstraiZip(archivio, cartella, 1, 0, 0, 1, 0, 0);
        EXPECT_EQ(messaggi.testi, (QStringList{QStringLiteral("Overwrite a.txt?"), QStringLiteral("Overwrite b.txt?")}));
    }
    EXPECT_EQ(leggiFile(cartella + QStringLiteral("/a.txt")), QByteArray("vecchio"));
    EXPECT_EQ(leggiFile(cartella + QStringLiteral("/b.txt")), QByteArray("nuovo b"));
    EXPECT_EQ(leggiFile(cartella + QStringLiteral("/c.txt")), QByteArray("nuovo c"));

    MessaggiRegistrati messaggi;
    scriviFile(cartella + QStringLiteral("/c.txt"), "vecchio c");
    EstraiZip(archivio, cartella, 0, 0, 0, 1, 0, 0);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_EQ(leggiFile(cartella + QStringLiteral("/a.txt")), QByteArray("vecchio"));
    EXPECT_EQ(leggiFile(cartella + QStringLiteral("/c.txt")), QByteArray("vecchio c"));
}

// Without folder names every file lands in the extraction folder; selected
// and excluded names choose the entries.
TEST(EstraiZip, SenzaCartelleEConNomiScelti)
{
    CartellaProva c;
    const QString archivio = c.temp() + QStringLiteral("scelta.zip");
    archivioGrezzo(archivio, {{"uno/", "", S_IFDIR | 0755},
                              {"uno/a.txt", "a"},
                              {"uno/due/b.txt", "b"},
                              {"uno/due/c.dat", "c"},
                              {"d.txt", "d"}});

    const QString piatta = c.percorso(QStringLiteral("piatta"));
    EstraiZip(archivio, piatta, 0, 1, 0, 0, 0, 0);
    EXPECT_EQ(QDir(piatta).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.dat"),
                           QStringLiteral("d.txt")}));

    const QString scelti = c.percorso(QStringLiteral("scelti"));
    EstraiZip(archivio, scelti, 0, 1, 0, 1, 1, 1, {QStringLiteral("uno/*"), QStringLiteral("d.txt")},
              {QStringLiteral("*/a.txt")});
    EXPECT_FALSE(QFileInfo::exists(scelti + QStringLiteral("/d.txt")));
    EXPECT_FALSE(QFileInfo::exists(scelti + QStringLiteral("/uno/a.txt")));
    EXPECT_EQ(leggiFile(scelti + QStringLiteral("/uno/due/b.txt")), QByteArray("b"));
    EXPECT_EQ(leggiFile(scelti + QStringLiteral("/uno/due/c.dat")), QByteArray("c"));
}
