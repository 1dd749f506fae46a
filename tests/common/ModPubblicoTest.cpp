#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/ModPubblico.h"
#include "common/StatoLavoro.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vorpla;
using vorpla::prova::erroreDi;
using vorpla::prova::CartellaProva;

namespace {


// VORPLA_HOME set to a value of the test's own for the lifetime of the
// object, restored afterwards.
class HomeProvvisoria
{
public:
    explicit HomeProvvisoria(const QByteArray &valore)
        : m_aveva(qEnvironmentVariableIsSet("VORPLA_HOME")), m_vecchio(qgetenv("VORPLA_HOME"))
    {
        qputenv("VORPLA_HOME", valore);
    }
    ~HomeProvvisoria()
    {
        if (m_aveva)
            qputenv("VORPLA_HOME", m_vecchio);
        else
            qunsetenv("VORPLA_HOME");
    }

private:
    bool m_aveva;
    QByteArray m_vecchio;
};

// ---- file names ---------------------------------------------------------------------

TEST(ModPubblico, Trovanome)
{
    const struct
    {
        const char *percorso;
        const char *atteso;
    } casi[] = {
        {"C:\\a\\doc.prn", "doc"},
        {"doc.prn", "doc"},
        {"/a/b/doc.prn", "doc"},
        {"C:\\a/b\\doc.prn", "doc"},
        {"/a\\b/doc.prn", "doc"},
        {"/a/b.dir/docs", ""}, // no extension: the last four characters go all the same
        {"a.pd", ""},
        {"/x/archivio.2024.txt", "archivio.2024"},
        {"\\\\server\\spool\\Lavoro 1.PRN", "Lavoro 1"},
    };
    for (const auto &caso : casi) {
        azzeraLavoro();
        EXPECT_EQ(trovanome(QString::fromUtf8(caso.percorso)), QString::fromUtf8(caso.atteso)) << caso.percorso;
        EXPECT_EQ(lavoro().NomeRoutine, "ModPubblico - trovanome") << caso.percorso;
    }
}

TEST(ModPubblico, TrovanomeNomeTroppoCorto)
{
    for (const char *percorso : {"x.p", "", "/a/b.dir/doc", "C:\\dir.prn\\ab", "/a/long.dir/", "C:\\spool\\"}) {
        azzeraLavoro();
        EXPECT_EQ(erroreDi([&] { trovanome(QString::fromUtf8(percorso)); }), Err::ChiamataNonValida) << percorso;
        EXPECT_EQ(lavoro().NomeRoutine, "ModPubblico - trovanome")
            << "the error handler names the routine that failed: " << percorso;
    }
}

TEST(ModPubblico, TrovanomeMaiuscolo)
{
    const struct
    {
        const char *percorso;
        const char *atteso;
    } casi[] = {
        {"C:\\Pratiche\\d0042.txt", "D0042.TXT"},
        {"/srv/ulka/Pratiche/d0042.Txt", "D0042.TXT"},
        {"c:/a\\b/città.prn", "CITTÀ.PRN"},
        {"ab", "AB"},
        {"/dir/", ""},
        {"", ""},
    };
    for (const auto &caso : casi)
        EXPECT_EQ(trovanomeMaiuscolo(QString::fromUtf8(caso.percorso)), QString::fromUtf8(caso.atteso))
            << caso.percorso;
}

// ---- temporary folder ---------------------------------------------------------------

TEST(ModPubblico, CartellaTemporanea)
{
    const struct
    {
        QByteArray programma;
        const char *atteso;
    } casi[] = {
        {"/x/ulka/vorpla", "/x/ulka/temp/"},
        {"/x/ulka/vorpla/", "/x/ulka/temp/"},
        {"/x/ulka/vorpla//", "/x/ulka/temp/"},
        {"/", "/temp/"},
        {"/vorpla", "/temp/"},
        {"C:\\Ulka\\Vorpla", "C:/Ulka/temp/"},
        {"C:\\Ulka\\Vorpla\\", "C:/Ulka/temp/"},
        {"vorpla", ""},
    };
    for (const auto &caso : casi) {
        HomeProvvisoria home(caso.programma);
        EXPECT_EQ(KV_GetTempPath(), QString::fromUtf8(caso.atteso)) << caso.programma.constData();
    }
}

TEST(ModPubblico, CartellaTemporaneaAccantoAlProgramma)
{
    CartellaProva cartella;
    EXPECT_EQ(KV_GetTempPath(), cartella.temp());
}

// ---- end of job -----------------------------------------------------------------------

// termina always ends the program normally; returns the exit status it raised.
int codiceDiTermina()
{
    try {
        termina();
    } catch (const FineProgramma &f) {
        return f.codice();
    }
    ADD_FAILURE() << "termina returned without ending the program";
    return -1;
}

TEST(ModPubblico, TerminaCancellaIFileDelLavoro)
{
    const QStringList cancellati = {"job.PDF", "JOB.cmp", "job.tmp", "Job.Stx", "job.HTM", "job.TXT"};
    const QStringList lasciati = {"job.ps", "other.pdf", "job2.pdf", "xjob.pdf", "job.pdf.bak", "job.CMP2",
                                  "job", "jobpdf"};
    for (const char *ingresso : {"/some/where/job.txt", "C:\\spool\\job.prn", "job.txt"}) {
        CartellaProva cartella;
        for (const QString &nome : cancellati + lasciati)
            cartella.scrivi(QStringLiteral("ulka/temp/") + nome, "dati");
        cartella.scrivi(QStringLiteral("ulka/vorpla/job.pdf"), "non nella cartella temporanea");
        azzeraLavoro();
        lavoro().FileIngresso = QString::fromUtf8(ingresso);

        EXPECT_EQ(codiceDiTermina(), FineNormale) << ingresso;

        for (const QString &nome : cancellati)
            EXPECT_FALSE(QFileInfo::exists(cartella.temp() + nome)) << ingresso << ": " << nome.toStdString();
        for (const QString &nome : lasciati)
            EXPECT_TRUE(QFileInfo::exists(cartella.temp() + nome)) << ingresso << ": " << nome.toStdString();
        EXPECT_TRUE(QFileInfo::exists(cartella.programma() + "/job.pdf")) << ingresso;
    }
}

TEST(ModPubblico, TerminaSenzaFile)
{
    for (const bool conCartella : {true, false}) {
        CartellaProva cartella;
        if (!conCartella) {
            ASSERT_TRUE(QDir(cartella.temp()).removeRecursively());
        }
        azzeraLavoro();
        lavoro().FileIngresso = QStringLiteral("/some/where/job.txt");
        EXPECT_EQ(codiceDiTermina(), FineNormale) << (conCartella ? "empty" : "no") << " temporary folder";
    }
}

// A print-file name too short to have an extension has no job files: the
// program still ends normally and nothing is deleted, in particular not the
// files an empty job name would reach.
TEST(ModPubblico, TerminaConNomeTroppoCorto)
{
    const char *const presenti[] = {".CMP", ".pdf", ".TXT", "x.p.TMP", "x.CMP"};
    for (const char *ingresso : {"x.p", "", "C:\\spool\\ab"}) {
        CartellaProva cartella;
        for (const char *nome : presenti)
            cartella.scrivi(QStringLiteral("ulka/temp/") + nome, "dati");
        azzeraLavoro();
        lavoro().FileIngresso = QString::fromUtf8(ingresso);

        EXPECT_EQ(codiceDiTermina(), FineNormale) << '"' << ingresso << '"';
        for (const char *nome : presenti)
            EXPECT_TRUE(QFileInfo::exists(cartella.temp() + nome)) << '"' << ingresso << "\": " << nome;
    }
}

// ---- mail domains ---------------------------------------------------------------------

TEST(ModPubblico, SostituisciDominio)
{
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"),
                    "[ALTRO]\r\nPOSTA.IT=sbagliato.it\r\n"
                    "[EMAIL]\r\nULKA.IT=mail.ulka.it\r\nVUOTO.IT=\r\nagenzia.com=posta.agenzia.com\r\n");
    const struct
    {
        const char *indirizzo;
        const char *atteso;
    } casi[] = {
        {"mario@ulka.it", "mario@mail.ulka.it"},
        {"mario@Ulka.It", "mario@mail.ulka.it"},
        {"Mario.Rossi@ULKA.IT", "Mario.Rossi@mail.ulka.it"},
        {"anna@AGENZIA.com", "anna@posta.agenzia.com"},
        {"mario@ulka.it@resto.it", "mario@mail.ulka.it"},
        {"@ulka.it", "@mail.ulka.it"},
        {"mario.rossi", "mario.rossi"},
        {"", ""},
        {"mario@vuoto.it", "mario@vuoto.it"},
        {"mario@posta.it", "mario@posta.it"},
        {"mario@sconosciuto.it", "mario@sconosciuto.it"},
        {"mario@sconosciuto.it@ulka.it", "mario@sconosciuto.it@ulka.it"},
        {"mario@ulka.itx", "mario@ulka.itx"},
    };
    for (const auto &caso : casi)
        EXPECT_EQ(SostituisciDominio(QString::fromUtf8(caso.indirizzo)), QString::fromUtf8(caso.atteso))
            << caso.indirizzo;
}

TEST(ModPubblico, SostituisciDominioSenzaVorplaIni)
{
    CartellaProva cartella;
    // The same section in a file that is not the program's vorpla.ini.
    cartella.scrivi(QStringLiteral("ulka/vorpla.ini"), "[EMAIL]\r\nULKA.IT=mail.ulka.it\r\n");
    cartella.scrivi(QStringLiteral("vorpla.ini"), "[EMAIL]\r\nULKA.IT=mail.ulka.it\r\n");
    for (const char *indirizzo : {"mario@ulka.it", "mario@ulka.it@resto.it", "mario"})
        EXPECT_EQ(SostituisciDominio(QString::fromUtf8(indirizzo)), QString::fromUtf8(indirizzo)) << indirizzo;
}

// ---- booking file of a job ------------------------------------------------------------

TEST(ModPubblico, TrovaFilePratica)
{
    const struct
    {
        const char *nome;
        QByteArray stampa;
        const char *atteso;
    } casi[] = {
        {"no @FILE line", "@LARG 80\r\nTesto D1.TXT\r\n", ""},
        {"empty file", "", ""},
        {"Windows path", "@LARG 80\r\n@FILE C:\\ulka\\pratiche\\D000123.TXT\r\nfine\r\n",
         "C:\\ulka\\pratiche\\D000123.TXT"},
        {"Linux path, lower case", "@FILE /srv/ulka/pratiche/d42.txt\n", "/srv/ulka/pratiche/d42.txt"},
        {"marker in lower case", "@file D7.TXT\r\n", "D7.TXT"},
        {"marker in mixed case", "@FiLe d7.Txt\r\n", "d7.Txt"},
        {"last one wins", "@FILE D1.TXT\r\nriga\r\n@FILE C:\\x\\D2.TXT\r\n", "C:\\x\\D2.TXT"},
        {"later non-matching lines do not count",
         "@FILE D1.TXT\r\n@FILE X1.TXT\r\n@FILE D1.PDF\r\n@FILE D1.TXT.BAK\r\n", "D1.TXT"},
        {"the name decides, not the folder", "@FILE C:\\D\\X.TXT\r\n@FILE /D.TXT/a.txt\r\n", ""},
        {"the shortest name", "@FILE D.TXT\r\n", "D.TXT"},
        {"blanks around the path", "@FILE   D5.TXT  \t\r\n", "D5.TXT"},
        {"marker not at the start", " @FILE D1.TXT\r\nX@FILE D2.TXT\r\n", ""},
        {"lines too short", "@\r\n@F\r\n@FIL\r\n@FILE\r\n@FILE \r\n", ""},
        {"short lines around a good one", "@FIL\r\n@FILE D3.TXT\r\n@FILE\r\n@FILE \r\n", "D3.TXT"},
        {"last line without a break", "@FILE D1.TXT\r\n@FILE D8.TXT", "D8.TXT"},
        {"CR and LF line ends", "@FILE D1.TXT\r@FILE D2.TXT\n@FILE D3.TXT\r", "D3.TXT"},
        {"Windows-1252 path", "@FILE C:\\citt\xE0\\D9.TXT\r\n", "C:\\città\\D9.TXT"},
        {"UTF-8 path", "@FILE /srv/citt\xC3\xA0/D9.TXT\n", "/srv/città/D9.TXT"},
    };
    for (const auto &caso : casi) {
        CartellaProva cartella;
        azzeraLavoro();
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("spool/job.prn"), caso.stampa);
        EXPECT_EQ(TrovaFilePratica(), QString::fromUtf8(caso.atteso)) << caso.nome;
        EXPECT_EQ(lavoro().NomeRoutine, "ModPubblico - TrovaFilePratica") << caso.nome;
    }
}

// ---- folders --------------------------------------------------------------------------

TEST(ModPubblico, KV_DirExists)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[A]\r\n");
    QString windows = cartella.programma();
    windows.replace(u'/', u'\\');
    const struct
    {
        const char *nome;
        QString percorso;
        bool atteso;
    } casi[] = {
        {"folder", cartella.programma(), true},
        {"folder with a trailing separator", cartella.temp(), true},
        {"folder written with backslashes", windows, true},
        {"file", file, false},
        {"missing", cartella.percorso(QStringLiteral("manca")), false},
        {"inside a file", file + QStringLiteral("/x"), false},
        {"empty", QString(), false},
    };
    for (const auto &caso : casi)
        EXPECT_EQ(KV_DirExists(caso.percorso), caso.atteso) << caso.nome;
}

} // namespace
