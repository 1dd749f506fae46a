#include "common/FileIni.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QScopeGuard>
#include <gtest/gtest.h>

using namespace vorpla;
using vorpla::prova::CartellaProva;
using vorpla::prova::leggiFile;

namespace {

class FileIni : public ::testing::Test
{
protected:
    QString ini(const QByteArray &contenuto) { return cartella.scrivi(QStringLiteral("cfg/vorpla.ini"), contenuto); }
    QString nuovo() const { return cartella.percorso(QStringLiteral("cfg/vorpla.ini")); }

    CartellaProva cartella;
};

// ---- reading ---------------------------------------------------------------

TEST_F(FileIni, NomiEAssenze)
{
    const QString f = ini("Orfana=1\n[ Stampa ]\n  Stampante = HP \n;k=nota\nk\n[senza chiusa\nk=vera\nk=seconda\n"
                          "[B]\ny=2\n[stampa]\nnuova=3\n");
    EXPECT_EQ(LeggiIni(" STAMPA ", "stampante", f), "HP");
    EXPECT_EQ(LeggiIni("Stampa", "K", f), "vera") << "comments and lines without = are no keys; first key wins";
    EXPECT_EQ(LeggiIni("Stampa", "nuova", f), "") << "only the first matching section is searched";
    EXPECT_EQ(LeggiIni("Stampa", "y", f), "");
    EXPECT_EQ(LeggiIni("Stampa", "Orfana", f), "") << "lines before any section belong to none";
    EXPECT_EQ(LeggiIni("C", "y", f), "");
    EXPECT_EQ(LeggiIni("B", "y", cartella.percorso("nessuno.ini")), "");
}

TEST_F(FileIni, ValoreSpogliatoETagliato)
{
    QByteArray lungo;
    for (int i = 0; i < 300; ++i)
        lungo += char('a' + i % 26);
    const QByteArray giusto(254, 'z');
    const QString f = ini("[A]\ndoppie = \"  a b  \" \nsingole='x'\nmiste=\"x'\nsola=\"\ntab=\t7\t\nuguale=a=b\n"
                          "lungo=" + lungo + "\nvirgolette=\"" + giusto + "\"\n");
    EXPECT_EQ(LeggiIni("A", "doppie", f), "  a b  ");
    EXPECT_EQ(LeggiIni("A", "singole", f), "x");
    EXPECT_EQ(LeggiIni("A", "miste", f), "\"x'");
    EXPECT_EQ(LeggiIni("A", "sola", f), "\"");
    EXPECT_EQ(LeggiIni("A", "tab", f), "7");
    EXPECT_EQ(LeggiIni("A", "uguale", f), "a=b");
    EXPECT_EQ(LeggiIni("A", "lungo", f), QString::fromLatin1(lungo.left(254)));
    EXPECT_EQ(LeggiIni("A", "virgolette", f), QString::fromLatin1(giusto)) << "quotes go before the cut";
}

// ---- writing ---------------------------------------------------------------

TEST_F(FileIni, FileNuovoInUtf8ConAcapoWindows)
{
    EXPECT_FALSE(ScriviIni("A", "k", "v", nuovo())) << "the folder does not exist";
    EXPECT_FALSE(QDir(cartella.percorso("cfg")).exists());

    ASSERT_TRUE(QDir().mkpath(cartella.percorso("cfg")));
    ASSERT_TRUE(ScriviIni("Sede", "Città", "Forlì", nuovo()));
    ASSERT_TRUE(ScriviIni("Sede", "Nome", "Agenzia €uro", nuovo()));
    ASSERT_TRUE(ScriviIni("sede", "città", "Cesena", nuovo()));
    EXPECT_EQ(LeggiIni("SEDE", "CITTÀ", nuovo()), "Cesena");
    EXPECT_EQ(leggiFile(nuovo()), QString("[Sede]\r\nCittà=Cesena\r\nNome=Agenzia €uro\r\n").toUtf8());
}

TEST_F(FileIni, SostituzioneChiaveLasciaIntattoIlResto)
{
    const QString f = ini("; sede\n[Generale]\n  PerCorso = C:\\vecchio  \n\n; stampanti\n[Stampa]\npercorso=x\n");
    ASSERT_TRUE(ScriviIni("GENERALE", "percorso", "/srv/ulka", f));
    EXPECT_EQ(leggiFile(f), QByteArray("; sede\n[Generale]\nPerCorso=/srv/ulka\n\n; stampanti\n[Stampa]\npercorso=x\n"));
}

TEST_F(FileIni, NuovaChiaveDopoLUltimaRigaPienaDellaSezione)
{
    const QString f = ini("[A]\r\nx=1\r\n; nota\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(ScriviIni("a", "Nuova", "v", f));
    EXPECT_EQ(leggiFile(f), QByteArray("[A]\r\nx=1\r\n; nota\r\nNuova=v\r\n\r\n[B]\r\ny=2\r\n"));

    const QString g = cartella.scrivi("g.ini", "[A]\n[B]\ny=2");
    ASSERT_TRUE(ScriviIni("B", "z", "3", g));
    ASSERT_TRUE(ScriviIni("A", "w", "0", g));
    EXPECT_EQ(leggiFile(g), QByteArray("[A]\nw=0\n[B]\ny=2\nz=3\n"));
}

TEST_F(FileIni, NuovaSezioneInFondoConLAcapoDelFile)
{
    const QString lf = ini("[A]\nx=1");
    const QString crlf = cartella.scrivi("crlf.ini", "[A]\r\nx=1\r\n\r\n");
    ASSERT_TRUE(ScriviIni("Nuova", "k", "v", lf));
    ASSERT_TRUE(ScriviIni("Nuova", "k", "v", crlf));
    EXPECT_EQ(leggiFile(lf), QByteArray("[A]\nx=1\n[Nuova]\nk=v\n"));
    EXPECT_EQ(leggiFile(crlf), QByteArray("[A]\r\nx=1\r\n\r\n[Nuova]\r\nk=v\r\n"));
}

TEST_F(FileIni, AcapoNelValoreENomiNonScrivibili)
{
    const QString f = ini("[A]\r\nx=1\r\n");
    ASSERT_TRUE(ScriviIni("A", "k", "uno\r\n[B]\ny=2", f));
    EXPECT_EQ(LeggiIni("B", "y", f), "");
    const QByteArray dopo = "[A]\r\nx=1\r\nk=uno  [B] y=2\r\n";
    EXPECT_EQ(leggiFile(f), dopo);

    for (const char *chiave : {"", "a=b", "a\nb", "[k", ";k"})
        EXPECT_FALSE(ScriviIni("A", chiave, "v", f)) << chiave;
    EXPECT_FALSE(ScriviIni("A]x", "k", "v", f));
    EXPECT_EQ(leggiFile(f), dopo);
}

// ---- encodings -------------------------------------------------------------

TEST_F(FileIni, FileWindows1252LettoEScrittoNellaSuaCodifica)
{
    // "Città=Forlì" and a euro sign, as the workstations saved them.
    const QByteArray prima = "[Sede]\r\nCitt\xE0=Forl\xEC\r\nValuta=\x80\r\n; \xAB nota \xBB\r\n";
    const QString f = ini(prima);
    EXPECT_EQ(LeggiIni("SEDE", "CITTÀ", f), QStringLiteral("Forlì"));
    EXPECT_EQ(LeggiIni("Sede", "Valuta", f), QStringLiteral("€"));

    ASSERT_TRUE(ScriviIni("Sede", "Note", "perché € ✓", f));
    EXPECT_EQ(leggiFile(f), prima + "Note=perch\xE9 \x80 ?\r\n") << "what Windows-1252 cannot hold becomes ?";
    ASSERT_TRUE(ScriviIni("sede", "città", "Rimini", f));
    EXPECT_EQ(leggiFile(f), QByteArray("[Sede]\r\nCitt\xE0=Rimini\r\nValuta=\x80\r\n; \xAB nota \xBB\r\nNote=perch\xE9 \x80 ?\r\n"));
}

TEST_F(FileIni, FileUtf8ConBomScrittoInUtf8)
{
    const QByteArray prima = "\xEF\xBB\xBF[Sede]\nCitt\xC3\xA0=Forl\xC3\xAC\n";
    const QString f = ini(prima);
    EXPECT_EQ(LeggiIni("Sede", "Città", f), QStringLiteral("Forlì"));
    ASSERT_TRUE(ScriviIni("Sede", "Note", "perché", f));
    EXPECT_EQ(leggiFile(f), prima + "Note=perch\xC3\xA9\n");
}

// ---- replacing the file ----------------------------------------------------

QStringList contenutoCartella(const QString &percorso)
{
    return QDir(percorso).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST_F(FileIni, NessunTemporaneoRimaneEPermessiConservati)
{
    const QString f = ini("[A]\nx=1\n");
    const auto permessi = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(f, permessi));
    ASSERT_TRUE(ScriviIni("A", "x", "2", f));
    ASSERT_TRUE(ScriviIni("B", "y", "3", f));
    EXPECT_EQ(contenutoCartella(cartella.percorso("cfg")), QStringList{"vorpla.ini"});
    EXPECT_EQ(QFile::permissions(f) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), permessi);
}

// Permissions do not stop root: then the refused writes cannot be staged.
bool scritturaPossibile(const QString &percorso)
{
    QFile sonda(percorso);
    const bool esisteva = sonda.exists();
    if (!sonda.open(QIODevice::Append))
        return false;
    if (!esisteva)
        sonda.remove();
    return true;
}

TEST_F(FileIni, ScritturaRifiutataLasciaIlVecchioFile)
{
    const QByteArray prima = "[A]\r\nx=1\r\n";
    const QString f = ini(prima);
    const QString solaLettura = cartella.scrivi("ro/vorpla.ini", prima);
    const auto rx = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(cartella.percorso("cfg"), rx));
    const auto ripristina = qScopeGuard([&] { QFile::setPermissions(cartella.percorso("cfg"), rx | QFileDevice::WriteOwner); });
    ASSERT_TRUE(QFile::setPermissions(solaLettura, QFileDevice::ReadOwner));
    if (scritturaPossibile(cartella.percorso("cfg/sonda")) || scritturaPossibile(solaLettura))
        GTEST_SKIP() << "permissions do not stop this user (root)";

    EXPECT_FALSE(ScriviIni("A", "x", "2", f)) << "read-only folder";
    EXPECT_FALSE(ScriviIni("A", "x", "2", solaLettura)) << "read-only file";
    EXPECT_EQ(leggiFile(f), prima);
    EXPECT_EQ(leggiFile(solaLettura), prima);
    EXPECT_EQ(contenutoCartella(cartella.percorso("cfg")), QStringList{"vorpla.ini"});
}

} // namespace
