// Publishing a batch into a real folder tree: real PDFs made by the PDF
// output form, read back with poppler; what happens to each document when a
// step fails.

#include "maintenance/Pubblicazione.h"

#include "output/FRMCreaPDF.h"
#include "interpreter/SuperficieRegistrata.h"

#include "AvanzamentoRegistrato.h"
#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/StatoLavoro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

QByteArray documento(const QByteArray &cliente, const QByteArray &riferimento, const QByteArray &titolo)
{
    return "@CCLI " + cliente + "\r\n@RFRI " + riferimento + "\r\n@INTE\r\n@INT1 AGENZIA\r\n@TITO " + titolo
           + "\r\n@PAGE\r\n@FAXS\r\n";
}

class ProvaPubblicazione : public ::testing::Test
{
protected:
    ProvaPubblicazione()
    {
        azzeraLavoro();
        radice = cartella.percorso(QStringLiteral("pubblicati"));
        servizi.pdfMese = [this](const QString &file) -> QString {
            fatti << QFileInfo(file).fileName();
            if (senzaPdf.contains(QFileInfo(file).fileName()))
                return {};
            SuperficieRegistrata stampante(QStringLiteral("Office"));
            FRMCreaPDF form(stampante);
            return form.Form_Load();
        };
        servizi.CreaPdf = [this](const QString &file) {
            qualita << QFileInfo(file).fileName();
            lavoro().FileIngresso = file;
            SuperficieRegistrata stampante(QStringLiteral("PDFCreator"));
            FRMCreaPDF form(stampante);
            form.Form_Load();
        };
        servizi.eventi = [] {};
        servizi.attendi = [](int) {};
        servizi.progresso = [this](int k, int n) { progressi << QStringLiteral("%1/%2").arg(k).arg(n); };
    }

    void ini(const QByteArray &tipo)
    {
        cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"),
                        "[PUBBLICA]\r\nABILITATO=SI\r\nPERCORSO=" + radice.toUtf8() + "\\\r\nTIPO=" + tipo + "\r\n");
    }
    int pubblica(const QByteArray &stampa)
    {
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/LOTTO.txt"), stampa);
        Pubblicazione p(servizi);
        return p.CmdPub_Click();
    }
    QStringList pubblicati(const QString &sotto) const
    {
        QStringList f = QDir(radice + u'/' + sotto).entryList(QDir::Files | QDir::Hidden);
        f.sort();
        return f;
    }
    QStringList parole(const QString &pdf) const
    {
        EXPECT_EQ(controlloQpdf(pdf), QString());
        QStringList testi;
        for (const ParolaLetta &p : paroleLette(pdf))
            testi << p.testo;
        return testi;
    }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    ServiziPubblicazione servizi;
    QString radice;
    QStringList fatti, qualita, progressi, senzaPdf;
};

} // namespace

TEST_F(ProvaPubblicazione, EachDocumentAPdfInTheMonthFolder)
{
    ini("MESE");
    AvanzamentoRegistrato avanzamento;
    const QByteArray lotto = "@AARI 2025\r\n@MMRI 11\r\n" + documento("C1", "R1", "UNO") + documento("C2", "R2", "DUE")
                             + "@MMRI 12\r\n@AARI 2026\r\n" + documento("C3", "R3", "TRE") + "@TITO NON CHIUSO\r\n";
    EXPECT_EQ(pubblica(lotto), 0) << messaggi.testi.join(u'|').toStdString();
    // The codes current at each "@FAXS" name the document; the folder is
    // the last year and month read.
    EXPECT_EQ(pubblicati(QStringLiteral("2026/12")),
              (QStringList{QStringLiteral("C1112025R1.PDF"), QStringLiteral("C2112025R2.PDF"), QStringLiteral("C3122026R3.PDF")}));
    EXPECT_TRUE(parole(radice + QStringLiteral("/2026/12/C1112025R1.PDF")).contains(QStringLiteral("UNO")));
    EXPECT_TRUE(parole(radice + QStringLiteral("/2026/12/C3122026R3.PDF")).contains(QStringLiteral("TRE")));
    EXPECT_FALSE(parole(radice + QStringLiteral("/2026/12/C3122026R3.PDF")).contains(QStringLiteral("CHIUSO")));
    EXPECT_FALSE(QDir(radice + QStringLiteral("/2025")).exists());
    EXPECT_EQ(progressi, (QStringList{QStringLiteral("1/3"), QStringLiteral("2/3"), QStringLiteral("3/3")}));
    // One run, the PDFs made inside it: the window shows the document, then
    // the PDF's page.
    EXPECT_EQ(avanzamento.titoli, QStringList{QStringLiteral("Pubblicazione")});
    EXPECT_EQ(avanzamento.aperte, 0);
    EXPECT_EQ(avanzamento.stati.filter(QStringLiteral("Documento")),
              (QStringList{QStringLiteral("Documento 1 di 3"), QStringLiteral("Documento 2 di 3"),
                           QStringLiteral("Documento 3 di 3")}));
    EXPECT_EQ(avanzamento.stati.value(1), QStringLiteral("Pagina 1 di 1"));
    // The work folder and the PDFs in the temporary folder are gone; the
    // print file stays.
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
    EXPECT_TRUE(QDir(cartella.temp()).entryList({QStringLiteral("*.PDF")}, QDir::Files).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(lavoro().FileIngresso));
    EXPECT_TRUE(qualita.isEmpty());
}

TEST_F(ProvaPubblicazione, SameKeysOverwriteAndNoFaxsPublishesNothing)
{
    ini("anno");
    const QByteArray lotto = "@AARI 2026\r\n" + documento("C1", "R1", "PRIMO") + documento("C1", "R1", "SECONDO");
    EXPECT_EQ(pubblica(lotto), 0);
    // Year folders only, through the quality route.
    EXPECT_EQ(pubblicati(QStringLiteral("2026")), QStringList{QStringLiteral("C12026R1.PDF")});
    const QStringList testo = parole(radice + QStringLiteral("/2026/C12026R1.PDF"));
    EXPECT_TRUE(testo.contains(QStringLiteral("SECONDO")));
    EXPECT_FALSE(testo.contains(QStringLiteral("PRIMO")));
    EXPECT_EQ(qualita, QStringList{QStringLiteral("C12026R1.stx")});

    qualita.clear();
    EXPECT_EQ(pubblica("@AARI 2027\r\n@TITO NESSUN DOCUMENTO\r\n"), 0);
    EXPECT_TRUE(qualita.isEmpty());
    EXPECT_FALSE(QDir(radice + QStringLiteral("/2027")).exists());
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
}

TEST_F(ProvaPubblicazione, AFailedDocumentIsReportedAndTheOthersPublished)
{
    ini("mese");
    // An older copy in the tree is replaced whole, and nothing is left
    // beside it.
    cartella.scrivi(QStringLiteral("pubblicati/2026/12/C3122026R3.PDF"), QByteArray(200000, 'x'));
    senzaPdf << QStringLiteral("C2122026R2.stx");
    const QByteArray lotto =
        "@AARI 2026\r\n@MMRI 12\r\n" + documento("C1", "R1", "UNO") + documento("C2", "R2", "DUE") + documento("C3", "R3", "TRE");
    EXPECT_EQ(pubblica(lotto), 1);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Routine frmMain - CmdPub_Click\r Errore N.53 File not found: "
                                                         "C2122026R2.stx")});
    EXPECT_EQ(pubblicati(QStringLiteral("2026/12")),
              (QStringList{QStringLiteral("C1122026R1.PDF"), QStringLiteral("C3122026R3.PDF")}));
    EXPECT_TRUE(parole(radice + QStringLiteral("/2026/12/C3122026R3.PDF")).contains(QStringLiteral("TRE")));

    // A tree that cannot be made: every document reported by name, the work
    // folder still cleaned up.
    messaggi.testi.clear();
    senzaPdf.clear();
    scriviFile(radice + QStringLiteral("/2030"), "a file where the year folder goes");
    EXPECT_EQ(pubblica("@AARI 2030\r\n@MMRI 01\r\n" + documento("C1", "R1", "UNO") + documento("C2", "R2", "DUE")), 2);
    ASSERT_EQ(messaggi.testi.size(), 2);
    for (const QString &m : messaggi.testi)
        EXPECT_TRUE(m.startsWith(QStringLiteral("Routine frmMain - CmdPub_Click\r Errore N.76 "))) << m.toStdString();
    EXPECT_TRUE(messaggi.testi.join(u'|').contains(QStringLiteral("C1012030R1.stx")));
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
}

TEST_F(ProvaPubblicazione, NamesReadTheHostLettersAsThePagePrintsThem)
{
    ini("mese");
    EXPECT_EQ(pubblica("@AARI 2026\r\n@MMRI 12\r\n" + documento("ROSS\x85", "N\x8A\x95\x97\x80", "FATTURA CITT\x85")), 0)
        << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(pubblicati(QStringLiteral("2026/12")), QStringList{QStringLiteral("ROSSà122026Nèòù‡.PDF")});
    EXPECT_TRUE(parole(radice + QStringLiteral("/2026/12/ROSSà122026Nèòù‡.PDF")).contains(QStringLiteral("CITTà")));
}

TEST_F(ProvaPubblicazione, PrintFileValuesStayInsideTheTree)
{
    ini("mese");
    EXPECT_EQ(parteDiNome(QStringLiteral("../a\\b")), QStringLiteral(".._a_b"));
    EXPECT_EQ(parteDiNome(QStringLiteral("..")), QStringLiteral("__"));
    EXPECT_EQ(pubblica("@AARI ..\r\n@MMRI ../../fuori\r\n" + documento("../../C1", "R1", "UNO")), 0);
    EXPECT_EQ(pubblicati(QStringLiteral("__/.._.._fuori")), QStringList{QStringLiteral(".._.._C1.._.._fuori__R1.PDF")});
    EXPECT_FALSE(QFileInfo::exists(cartella.percorso(QStringLiteral("fuori"))));

    // Without a root folder nothing is published at the file system's root.
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[PUBBLICA]\r\nTIPO=mese\r\n");
    EXPECT_EQ(erroreDi([&] { pubblica("@AARI 2026\r\n" + documento("C1", "R1", "UNO")); }), Err::PercorsoNonTrovato);
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
}

TEST_F(ProvaPubblicazione, AQualityPdfThatFailsIsOneDocumentNotTheRun)
{
    ini("anno");
    // The quality route ends its job after its own message when the PDF
    // cannot be made.
    const auto vero = servizi.CreaPdf;
    servizi.CreaPdf = [&](const QString &file) {
        if (file.endsWith(QStringLiteral("C12026R1.stx")))
            fine(FineConErrore);
        vero(file);
    };
    EXPECT_EQ(pubblica("@AARI 2026\r\n" + documento("C1", "R1", "UNO") + documento("C2", "R2", "DUE")), 1);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Routine frmMain - CmdPub_Click\r Errore N.53 File not found: "
                                                         "C12026R1.stx")});
    EXPECT_EQ(pubblicati(QStringLiteral("2026")), QStringList{QStringLiteral("C22026R2.PDF")});
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
    EXPECT_EQ(QFileInfo(lavoro().FileIngresso).fileName(), QStringLiteral("LOTTO.txt"));

    // A user's end stops the run, and still cleans up.
    servizi.CreaPdf = [](const QString &) { fine(FineNormale); };
    EXPECT_THROW(pubblica("@AARI 2026\r\n" + documento("C1", "R1", "UNO")), FineProgramma);
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
}

TEST_F(ProvaPubblicazione, DocumentsWhoseNamesCollideAreNeverOneFile)
{
    ini("anno");
    // Left by someone else: neither published nor taken for a document's.
    cartella.scrivi(QStringLiteral("ulka/temp/RF/ESTRANEO.stx"), documento("X", "Y", "ESTRANEO"));
    scriviFile(cartella.temp() + QStringLiteral("C2122026R2.PDF"), "%PDF-1.4 VECCHIO");
    senzaPdf << QStringLiteral("C2122026R2.stx");
    const QByteArray lotto = "@AARI 2026\r\n@MMRI 12\r\n" + documento("C1", "R1", "UNO")
                             + "@MMRI 2\r\n" + documento("C11", "R1", "UNDICI") + "@MMRI 12\r\n"
                             + documento("A/1", "", "BARRA") + documento("A\\1", "", "ROVESCIA") + documento("A_1", "", "TRATTINO")
                             + documento(QByteArray(300, 'L'), "R9", "LUNGO") + documento("C2", "R2", "DUE")
                             + documento("C3", "R3", "TRE");
    servizi.CreaPdf = [this](const QString &file) {
        qualita << QFileInfo(file).fileName();
        if (senzaPdf.contains(QFileInfo(file).fileName()))
            return;
        lavoro().FileIngresso = file;
        SuperficieRegistrata stampante(QStringLiteral("PDFCreator"));
        FRMCreaPDF form(stampante);
        form.Form_Load();
    };
    EXPECT_EQ(pubblica(lotto), 5);
    // The first of each name is published; C11 + 2 would be C1 + 12's, A\1
    // and A_1 A/1's; the 300-character code is its own failure only; C2
    // made no PDF, and the one of an earlier run is not taken for it.
    EXPECT_EQ(pubblicati(QStringLiteral("2026")),
              (QStringList{QStringLiteral("A_1122026.PDF"), QStringLiteral("C1122026R1.PDF"), QStringLiteral("C3122026R3.PDF")}));
    EXPECT_TRUE(parole(radice + QStringLiteral("/2026/C1122026R1.PDF")).contains(QStringLiteral("UNO")));
    EXPECT_TRUE(parole(radice + QStringLiteral("/2026/A_1122026.PDF")).contains(QStringLiteral("BARRA")));
    const QString m = messaggi.testi.join(u'|');
    EXPECT_EQ(messaggi.testi.filter(QStringLiteral("Errore N.58 File already exists: ")).size(), 3) << m.toStdString();
    EXPECT_TRUE(m.contains(QStringLiteral("C1122026R1.PDF: il documento 2 (@CCLI \"C11\" @MMRI \"2\" @AARI \"2026\" "
                                          "@RFRI \"R1\") avrebbe lo stesso nome del documento 1")))
        << m.toStdString();
    EXPECT_EQ(messaggi.testi.filter(QStringLiteral("Errore N.52 Bad file name or number: il nome del documento 6")).size(), 1)
        << m.toStdString();
    EXPECT_EQ(messaggi.testi.filter(QStringLiteral("Errore N.53 File not found: C2122026R2.stx")).size(), 1) << m.toStdString();
    EXPECT_FALSE(qualita.contains(QStringLiteral("ESTRANEO.stx")));
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("RF")));
}
