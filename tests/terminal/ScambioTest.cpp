// The status-word exchange on a scripted clipboard: where the first line
// sends the job, what each answer does, the attempt limits, and the text
// the plain-text hand-over puts on the clipboard.

#include "terminal/MsgFrm.h"
#include "terminal/ScambioTerminale.h"
#include "terminal/SendTerm.h"
#include "terminal/StatoTerminale.h"
#include "terminal/Versione.h"

#include "MessaggiRegistrati.h"
#include "ProvaTerminale.h"
#include "TestSupport.h"

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/StatoLavoro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <optional>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaScambio : public ::testing::Test
{
protected:
    ProvaScambio()
    {
        m_cartellaPrima = QDir::currentPath();
        QDir::setCurrent(cartella.radice());
        azzeraLavoro();
        statoTerminale() = StatoTerminale();
        servizi.appunti = &appunti;
        servizi.eventi = [] {};
        // The waits run on the test's clock: each moves it on at once.
        appunti.orologio = [this] { return orologio; };
        servizi.attendi = [this](int ms) {
            orologio += ms;
            if (ms == servizi.passoAttesa)
                ++passi;
        };
        servizi.avviaProgramma = [this](const QString &p) {
            avviati << p;
            throw ErroreVB(Err::FileNonTrovato); // no companion program here
        };
        servizi.mostraMsgFrm = [this] { ++finestreMostrate; };
        servizi.copiaDaText1 = [this](const QString &t) { appunti.impostaTesto(t); };
        servizi.passoAttesa = 7;
        servizi.fileProgramma = cartella.scrivi(QStringLiteral("bin/vorpla"), QByteArray(20000, 'v'));
    }
    ~ProvaScambio() override { QDir::setCurrent(m_cartellaPrima); }

    QString lavoroDi(const QByteArray &contenuto)
    {
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/FATT01.txt"), contenuto);
        return lavoro().FileIngresso;
    }
    // The client's answer from the n-th look at the clipboard on.
    void risponde(const QString &parola, int dallaLettura = 3)
    {
        appunti.letture = 0;
        appunti.risposta = [this, parola, dallaLettura](int n) -> std::optional<QString> {
            if (n == dallaLettura)
                return parola;
            return appunti.contenuto.value_or(QString());
        };
    }
    // Runs the check to its end: the exit status, or nothing when it returned.
    std::optional<int> consegna(const QString &file)
    {
        try {
            KV_CheckSendTerm(file, servizi);
        } catch (const FineProgramma &f) {
            return f.codice();
        }
        return std::nullopt;
    }
    bool esiste(const QString &relativo) const { return QFileInfo::exists(cartella.percorso(relativo)); }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    AppuntiProva appunti;
    ServiziTerminale servizi;
    qint64 orologio = 0;
    int passi = 0;
    QStringList avviati;
    int finestreMostrate = 0;

private:
    QString m_cartellaPrima;
};

} // namespace

TEST_F(ProvaScambio, FirstLineDecidesWhereTheJobPrints)
{
    EXPECT_EQ(KV_CheckSendTerm(lavoroDi("@TIPS FATTURA\r\n"), servizi), 0);
    EXPECT_EQ(KV_CheckSendTerm(lavoroDi(""), servizi), -1);
    // Status words are exact: letter case counts.
    EXPECT_EQ(KV_CheckSendTerm(lavoroDi("@ulka=locale\r\n@TIPS X\r\n"), servizi), 0);
    // Blanks around it are taken off, nothing else.
    EXPECT_EQ(KV_CheckSendTerm(lavoroDi("\t@ULKA=LOCALE\r\n@TIPS X\r\n"), servizi), 0);
    EXPECT_EQ(lavoro().NomeRoutine, QStringLiteral("frmMain - KV_CheckSendTerm"));
    EXPECT_EQ(appunti.letture, 0);

    // Answering No prints on the server.
    EXPECT_EQ(KV_CheckSendTerm(lavoroDi("@ULKA=?\r\n@TIPS X\r\n"), servizi), 2);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Se si desidera usare lo vorpla in locale premere 'SI' "
                                                         "altirmenti premere 'NO' per lavorare con il server")});
    EXPECT_TRUE(avviati.isEmpty());
    EXPECT_NE(erroreDi([&] { KV_CheckSendTerm(cartella.percorso(QStringLiteral("missing.txt")), servizi); }), 0);

    // Blanks around the word count for nothing; the missing companion
    // program does not stop the hand-over.
    risponde(QStringLiteral("@ULKA=ANNULLAT"));
    EXPECT_EQ(consegna(lavoroDi("  @ULKA=LOCALE  \r\n@TIPS X\r\n")), FineNormale);
    EXPECT_EQ(avviati, QStringList{cartella.programma() + QStringLiteral("/Trevasunko.exe")});
    EXPECT_EQ(ModoNC(), QString());
    EXPECT_EQ(finestreMostrate, 1);
    EXPECT_EQ(appunti.formato, QStringLiteral("KV_ZIP"));

    // Yes: plain text.
    messaggi.risposte << Risposta::Si;
    risponde(QStringLiteral("@ULKA=ANNULLAT"));
    EXPECT_EQ(consegna(lavoroDi("@ULKA=?\r\n")), FineNormale);
    EXPECT_EQ(ModoNC(), QStringLiteral("NC"));
}

TEST_F(ProvaScambio, PrintedAcknowledgedThenTheJobFilesGo)
{
    const QString file = lavoroDi("@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    cartella.scrivi(QStringLiteral("ulka/temp/FATT01.pdf"), "%PDF");
    // More text after the word counts for the word.
    risponde(QStringLiteral("@ULKA=VORPLATO and more"), 4);
    EXPECT_EQ(consegna(file), FineNormale);
    EXPECT_EQ(appunti.scritti, QStringList(12, QStringLiteral("@ULKA=REGISTRA")));
    // Each acknowledgement is on the clipboard 300 ms after the one before.
    ASSERT_EQ(appunti.istantiScritti.size(), 12);
    for (int i = 1; i < 12; ++i)
        EXPECT_EQ(appunti.istantiScritti[i] - appunti.istantiScritti[i - 1], 300) << i;
    // The last word is kept on offer until another program takes the
    // clipboard, ten seconds at most.
    EXPECT_EQ(orologio - appunti.istantiScritti.last(), AttesaLetturaMassima);
    EXPECT_EQ(appunti.contenuto, QStringLiteral("@ULKA=REGISTRA"));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(esiste(QStringLiteral("ulka/temp/FATT01.tmp")));
    EXPECT_FALSE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));
    EXPECT_FALSE(esiste(QStringLiteral("ulka/temp/FATT01.pdf")));
    EXPECT_TRUE(esiste(QStringLiteral("ulka/temp/SendTerm.log")));

    // In plain-text mode the print file stays; the client taking the
    // clipboard ends the wait for it at once.
    appunti.scritti.clear();
    const QString testo = lavoroDi("@ULKA=LOCALENC\r\n@TIPS FATTURA\r\n");
    risponde(QStringLiteral("@ULKA=VORPLATO"));
    servizi.attendi = [this](int ms) {
        orologio += ms;
        appunti.proprio = false;
    };
    EXPECT_EQ(consegna(testo), FineNormale);
    EXPECT_EQ(appunti.scritti.mid(2), QStringList(12, QStringLiteral("@ULKA=REGISTRA")));
    EXPECT_LE(orologio - appunti.istantiScritti.last(), 50);
    EXPECT_TRUE(QFileInfo::exists(testo));
}

TEST_F(ProvaScambio, AnswersThatEndAtOnce)
{
    const QString file = lavoroDi("@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    risponde(QStringLiteral("@ULKA=KVERRORE"));
    EXPECT_EQ(consegna(file), FineConErrore);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Errore nella comunicazione [1]")});
    // "End": nothing is cleaned up.
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));

    risponde(QStringLiteral("@ULKA=REGISTRA"));
    EXPECT_EQ(consegna(file), FineNormale);
    EXPECT_FALSE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(appunti.scritti.isEmpty());
}

TEST_F(ProvaScambio, NoAnswerEndsAfterTheAttemptLimit)
{
    // A busy clipboard counts as an unanswered attempt.
    appunti.risposta = [](int n) -> std::optional<QString> {
        if (n % 2)
            return std::nullopt;
        return QStringLiteral("@ULKA=LOCALE? not an answer");
    };
    const QString file = lavoroDi("@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    EXPECT_EQ(consegna(file), FineConErrore);
    EXPECT_EQ(passi, 150);
    EXPECT_EQ(appunti.letture, 150);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_TRUE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));

    // Plain text: 600 attempts; an empty clipboard is waited for as a busy
    // one.
    passi = 0;
    appunti.letture = 0;
    appunti.risposta = [](int) -> std::optional<QString> { return QString(); };
    EXPECT_EQ(consegna(lavoroDi("@ULKA=LOCALENC\r\n")), FineConErrore);
    EXPECT_EQ(passi, 600);
}

TEST_F(ProvaScambio, UpdateRequestSendsACopyOfTheProgram)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/NetTerm.ttf"), "font");
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorplaAGG.exe"), "an older copy");
    appunti.risposta = [this](int n) -> std::optional<QString> {
        if (n == 3)
            return QStringLiteral("@ULKA=AGGIORNA");
        if (n == 6)
            return QStringLiteral("@ULKA=ANNULLAT");
        return appunti.contenuto.value_or(QString());
    };
    EXPECT_EQ(consegna(lavoroDi("@ULKA=LOCALE\r\n")), FineNormale);
    const QString copia = cartella.percorso(QStringLiteral("ulka/vorpla/vorplaAGG.exe"));
    EXPECT_EQ(leggiFile(copia), leggiFile(servizi.fileProgramma));
    EXPECT_TRUE(statoTerminale().ConFont);
    // The copy and the fonts went on the clipboard, and the watch went on.
    const QString archivio = cartella.temp() + QStringLiteral("kvSend.cmp");
    EXPECT_EQ(appunti.dati, bloccoAppunti(leggiFile(archivio)));
    QStringList nomi;
    for (const QString &voce : vociArchivio(archivio))
        nomi << voce.section(u'/', -1);
    EXPECT_EQ(nomi, (QStringList{QStringLiteral("NetTerm.ttf"), QStringLiteral("vorplaAGG.exe")}));
    EXPECT_EQ(appunti.letture, 6);

    // Plain text: the copy is made, nothing is sent.
    QFile::remove(archivio);
    QFile::remove(copia);
    appunti.letture = 0;
    EXPECT_EQ(consegna(lavoroDi("@ULKA=LOCALENC\r\n")), FineNormale);
    EXPECT_TRUE(QFileInfo::exists(copia));
    EXPECT_FALSE(QFileInfo::exists(archivio));

    // A copy that cannot be made: the routine's message, and the end after
    // an error.
    servizi.fileProgramma = cartella.percorso(QStringLiteral("bin/gone"));
    appunti.letture = 0;
    EXPECT_EQ(consegna(lavoroDi("@ULKA=LOCALE\r\n")), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_EQ(messaggi.testi.at(0), QStringLiteral("Routine frmMain - KV_DoSendTerm\r Errore N.53 File not found"));
}

TEST(TestoPerIlClient, VersionBecomesTheSecondLine)
{
    EXPECT_EQ(MsgFrm::testoPerIlClient(QStringLiteral("@ULKA=?\r\n@TIPS X\r\n@TEXT ask @ULKA=? again\r\n"),
                                       QStringLiteral("2.1.0")),
              QStringLiteral("@ULKA=LOCALENC\r\n@VERSIONE=2.1.0\r\n@TIPS X\r\n@TEXT ask @ULKA=LOCALENC again\r\n"));
    // Blanks after the word go; a text that does not start with it goes as
    // it is.
    EXPECT_EQ(MsgFrm::testoPerIlClient(QStringLiteral("@ULKA=LOCALENC   \r\n  @TIPS X"), QStringLiteral("2.1.0")),
              QStringLiteral("@ULKA=LOCALENC\r\n@VERSIONE=2.1.0\r\n  @TIPS X"));
    EXPECT_EQ(MsgFrm::testoPerIlClient(QStringLiteral(" @ULKA=LOCALENC\r\n@TIPS X"), QStringLiteral("2.1.0")),
              QStringLiteral(" @ULKA=LOCALENC\r\n@TIPS X"));
}

TEST_F(ProvaScambio, PlainTextGoesAfterTheTextBoxCopy)
{
    lavoroDi("@ULKA=LOCALENC\r\n@TIPS FATTURA\r\n");
    risponde(QStringLiteral("@ULKA=ANNULLAT"));
    EXPECT_EQ(consegna(lavoro().FileIngresso), FineNormale);
    ASSERT_GE(appunti.scritti.size(), 2);
    EXPECT_EQ(appunti.scritti.at(0), QStringLiteral("STR2"));
    EXPECT_EQ(appunti.scritti.at(1), QStringLiteral("@ULKA=LOCALENC\r\n@VERSIONE=") + versioneProgramma()
                                         + QStringLiteral("\r\n@TIPS FATTURA\r\n"));
    // The timer's interval, then the text 237 ms after the copy, and the
    // first look at the answer 537 ms later.
    ASSERT_GE(appunti.istantiScritti.size(), 2);
    EXPECT_EQ(appunti.istantiScritti.at(0), 500);
    EXPECT_EQ(appunti.istantiScritti.at(1), 500 + 237);
    ASSERT_FALSE(appunti.istantiLetture.isEmpty());
    EXPECT_EQ(appunti.istantiLetture.first(), 500 + 237 + 537);
    EXPECT_EQ(finestreMostrate, 1);
}
