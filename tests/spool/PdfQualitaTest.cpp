// The quality PDF route as Ulka starts it: real `vorpla PDF` and `vorpla NO`
// processes printing on the test spooler's PDFCreator (installed by the
// project's installer, its backend writing spool.ps into the shared spool
// folder), converted by Ghostscript. Tests running beside these share that
// printer exactly as terminal-server users do.
//
// A PDF is compared with the document as the printer form draws it
// (--render printer) the way a reader sees it: both rasterised, in cells of
// 2 mm, no cell darker or lighter by more than a quarter (a different
// customer or invoice number changes several cells); and it is read as a
// reader's program reads it: its fonts embedded outline fonts, its words
// the document's, Italian letters included.

#include "TestSupport.h"

#include "pdf/MarcatoreSpool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

const char *const Clienti[] = {"ROSSI MARIO", "BIANCHI LUCA", "VERDI ANNA", "NERI PAOLO",
                               "GIALLI SARA", "MORI ELENA", "CONTI PIETRO", "RICCI GIULIA"};

// A two-page invoice of customer k, its table k rows long.
QByteArray documento(int k)
{
    QByteArray d = "@TIPS FATTURA\r\n@INTE\r\n@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.\r\n@INT2 Via Roma 1 - 40100 Bologna\r\n"
                   "@INDI\r\n@INDn Spett.le\r\n@INDb ";
    d += Clienti[k % 8];
    d += "\r\n@INDn Via Garibaldi " + QByteArray::number(k + 1) + "\r\n@INDf 40100 BOLOGNA (BO)\r\n";
    d += "@RIFE Pratica 2026/" + QByteArray::number(1000 + k) + "\r\n@DATA Bologna, 9 dicembre 2026\r\n";
    d += "@TITO FATTURA N. " + QByteArray::number(100 + k) + "/2026\r\n@BOXt 080\r\n@BOXi 080\r\n"
         "@BXt1 c                                     Cd          Dd             D  F\r\n"
         "@BXI1 Descrizione                            Notti        Importo\r\n";
    for (int r = 0; r <= k % 8; ++r)
        d += "@BXr1 Servizio " + QByteArray::number(r + 1) + " del cliente " + QByteArray::number(k) + "            "
             + QByteArray::number(r + 1) + "         " + QByteArray::number(100 * (r + 1) + k) + ",00\r\n";
    d += "@BOXf\r\n@TEXT\r\n@TXTn Condizioni generali di vendita, pagina 2.\r\n";
    // Host code page 437: à è é ì ò ù, and a rule of "─".
    d += "@TXTn Citt\x85 di Castello: caff\x8A, perch\x82 cos\x8D, per\x95 pi\x97 notti.\r\n"
         "@TXTn Servizi \xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4 totale " + QByteArray::number(450 + k) + ",00\r\n@PAGE\r\n";
    d += "@TITO CONDIZIONI FATTURA " + QByteArray::number(100 + k) + "\r\n@TEXT\r\n";
    for (int r = 0; r < 3 + k % 5; ++r)
        d += "@TXTn Clausola " + QByteArray::number(r + 1) + " per il cliente numero " + QByteArray::number(k) + ".\r\n";
    d += "@PAGE\r\n";
    return d;
}

QList<QImage> raster(const QString &pdf, const QString &radice)
{
    QList<QImage> pagine;
    if (eseguiProcesso(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"),
                                                     pdf, radice})
            .codice
        != 0)
        return pagine;
    const QFileInfo info(radice);
    QStringList file = QDir(info.absolutePath()).entryList({info.fileName() + QStringLiteral("-*.pgm")}, QDir::Files,
                                                           QDir::Name);
    for (const QString &f : file) {
        pagine << QImage(info.absolutePath() + u'/' + f).convertToFormat(QImage::Format_Grayscale8);
        QFile::remove(info.absolutePath() + u'/' + f);
    }
    return pagine;
}

// Cells of 2 mm whose mean grey differs by more than 60 of 255, over all
// pages; 100,000 for a different number or size of pages.
int celleDiverse(const QString &a, const QString &b)
{
    const QList<QImage> pa = raster(a, a + QStringLiteral(".r")), pb = raster(b, b + QStringLiteral(".r"));
    if (pa.isEmpty() || pa.size() != pb.size())
        return 100000;
    constexpr int lato = 8;
    int diverse = 0;
    for (qsizetype p = 0; p < pa.size(); ++p) {
        const QImage &x = pa[p], &y = pb[p];
        if (x.size() != y.size())
            return 100000;
        for (int cy = 0; cy + lato <= x.height(); cy += lato)
            for (int cx = 0; cx + lato <= x.width(); cx += lato) {
                int sx = 0, sy = 0;
                for (int r = cy; r < cy + lato; ++r) {
                    const uchar *rx = x.constScanLine(r), *ry = y.constScanLine(r);
                    for (int c = cx; c < cx + lato; ++c) {
                        sx += rx[c];
                        sy += ry[c];
                    }
                }
                diverse += std::abs(sx - sy) > 60 * lato * lato;
            }
    }
    return diverse;
}

// What a reader's program finds in a quality PDF of document k: every font
// embedded as an outline font (no Type 3 glyphs), and the words as written,
// letters and rules beyond ASCII included.
void testoComeScritto(const QString &pdf, int k)
{
    const EsitoProcesso font = eseguiProcesso(QStringLiteral("pdffonts"), {pdf});
    ASSERT_EQ(font.codice, 0) << font.errori.toStdString();
    const QStringList righe = font.uscita.split(u'\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_FALSE(righe.isEmpty()) << font.uscita.toStdString();
    // name type encoding emb sub uni object ID
    static const QRegularExpression colonne(QStringLiteral(R"(\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)"));
    for (const QString &riga : righe) {
        EXPECT_FALSE(riga.contains(QStringLiteral("Type 3"))) << font.uscita.toStdString();
        const QRegularExpressionMatch m = colonne.match(riga);
        ASSERT_TRUE(m.hasMatch()) << riga.toStdString();
        EXPECT_EQ(m.captured(1), QStringLiteral("yes")) << "not embedded: " << riga.toStdString();
        EXPECT_EQ(m.captured(3), QStringLiteral("yes")) << "no Unicode map: " << riga.toStdString();
    }
    const QString testo = eseguiProcesso(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).uscita.simplified();
    for (const QString &parola :
         {QStringLiteral("AGENZIA VIAGGI ESEMPIO S.R.L."), QString::fromLatin1(Clienti[k % 8]),
          QStringLiteral("FATTURA N. %1/2026").arg(100 + k), QStringLiteral("Servizio 1 del cliente %1").arg(k),
          QStringLiteral("Città di Castello: caffè, perché così, però più notti."),
          QStringLiteral("Servizi ──────── totale %1,00").arg(450 + k),
          QStringLiteral("CONDIZIONI FATTURA %1").arg(100 + k)})
        EXPECT_TRUE(testo.contains(parola)) << parola.toStdString() << " not in: " << testo.toStdString();
}

class PdfQualita : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (spoolerDiProva().isEmpty() || qEnvironmentVariable("VORPLA_SPOOL_PDF").isEmpty())
            GTEST_SKIP() << SenzaSpoolerDiProva;
        spool = qEnvironmentVariable("VORPLA_SPOOL_PDF") + u'/';
        QDir().mkpath(cartella.temp());
        QDir().mkpath(cartella.percorso(QStringLiteral("ulka/tempWB")));
        ini({});
    }

    void ini(const QByteArray &altro)
    {
        cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"),
                        "[PDF]\r\nPORTA=" + spool.toLocal8Bit() + "\r\n" + altro);
    }

    // The print file of document k in the temporary folder, and the
    // document as the printer form draws it.
    QString lavoroDi(int k, const QString &nome)
    {
        const QString file = cartella.scrivi(QStringLiteral("ulka/temp/") + nome, documento(k));
        if (!QFileInfo::exists(riferimento(k))) {
            const QString sorgente = cartella.scrivi(QStringLiteral("rif/%1.txt").arg(k), documento(k));
            const EsitoProcesso e = eseguiVorpla(cartella, {QStringLiteral("--render"), QStringLiteral("printer"),
                                                            QStringLiteral("--output"), riferimento(k),
                                                            QStringLiteral("--printer-name"), QStringLiteral("PDFCreator"),
                                                            sorgente});
            EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
        }
        return file;
    }
    QString riferimento(int k) const { return cartella.percorso(QStringLiteral("rif/%1.pdf").arg(k)); }
    QString pdfWB(const QString &nome) const
    {
        return cartella.percorso(QStringLiteral("ulka/tempWB/")) + QFileInfo(nome).completeBaseName()
               + QStringLiteral(".PDF");
    }

    QProcess *avvia(const QStringList &argomenti)
    {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), cartella.percorso(QStringLiteral("dati")));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(VORPLA_EXE), argomenti);
        processi.emplace_back(p);
        return p;
    }

    // No marker in the spool folder names one of this test's print files.
    bool nessunMarcatoreDelTest() const
    {
        return !MarcatoreSpool::fileDelMarcatore(spool + QStringLiteral("vorpla.SMR")).startsWith(cartella.radice());
    }

    // The records of Logging.smr about a print file.
    QString registroDi(const QString &file) const
    {
        const QString tutto = QString::fromLocal8Bit(leggiFile(spool + QStringLiteral("Logging.smr")));
        QString nostri;
        for (const QString &r : tutto.split(QString(55, u'-') + QStringLiteral("\r\n")))
            if (r.contains(QStringLiteral("FILE=") + file + QStringLiteral("\r\n")))
                nostri += r;
        return nostri;
    }

    CartellaProva cartella;
    QString spool;
    std::vector<std::unique_ptr<QProcess>> processi;
};

} // namespace

TEST_F(PdfQualita, PdfAndNoJobsWriteTheDocumentWhereTheRulesSay)
{
    // "PDF": the folder WB beside the temporary folder; the print file goes.
    const QString file = lavoroDi(0, QStringLiteral("F0012345.TXT"));
    EsitoProcesso e = eseguiVorpla(cartella, {QStringLiteral("PDF"), file});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    const QString pdf = pdfWB(file);
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(controlloQpdf(pdf), QString());
    EXPECT_EQ(celleDiverse(pdf, riferimento(0)), 0);
    lavoroDi(1, QStringLiteral("ALTRO.TXT"));
    EXPECT_GT(celleDiverse(pdf, riferimento(1)), 0) << "the comparison tells two customers apart";
    testoComeScritto(pdf, 0);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("F0012345.ps")));
    EXPECT_TRUE(nessunMarcatoreDelTest());

    // "NO": the destination's missing folders made, an old file replaced.
    const QString altro = lavoroDi(2, QStringLiteral("F0012346.TXT"));
    const QString destinazione = cartella.percorso(QStringLiteral("archivio/2026/12/F0012346.pdf"));
    e = eseguiVorpla(cartella, {QStringLiteral("NO"), altro, destinazione});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(celleDiverse(destinazione, riferimento(2)), 0);
    const QString vecchio = lavoroDi(3, QStringLiteral("F0012347.TXT"));
    e = eseguiVorpla(cartella, {QStringLiteral("NO"), vecchio, destinazione});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(celleDiverse(destinazione, riferimento(3)), 0);
    EXPECT_FALSE(QFileInfo::exists(vecchio));
}

TEST_F(PdfQualita, AnOldMarkerIsRemovedAndALiveOneWaitedFor)
{
    // 121 seconds old: removed at once (taken in one step, as a holder would).
    const QString marcatore = spool + QStringLiteral("vorpla.SMR");
    const QString privato = cartella.scrivi(QStringLiteral("vecchio.SMR"), "FILE=/srv/ulka/temp/VECCHIO.TXT\r\nDATA=ieri\r\n");
    {
        QFile f(privato);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-121), QFileDevice::FileModificationTime));
    }
    QElapsedTimer attesa;
    attesa.start();
    while (::link(privato.toLocal8Bit().constData(), marcatore.toLocal8Bit().constData()) != 0) {
        ASSERT_LT(attesa.elapsed(), 120000) << "the shared printer stayed busy";
        QThread::msleep(20);
    }
    const QString file = lavoroDi(4, QStringLiteral("F0020001.TXT"));
    QElapsedTimer tempo;
    tempo.start();
    EsitoProcesso e = eseguiVorpla(cartella, {QStringLiteral("PDF"), file});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_LT(tempo.elapsed(), 30000);
    EXPECT_EQ(celleDiverse(pdfWB(file), riferimento(4)), 0);

    // Held by a running instance (this test): the job waits for it.
    MarcatoreSpool tenuto(spool);
    attesa.restart();
    while (!tenuto.prendi(QStringLiteral("/srv/ulka/temp/TENUTO.TXT"))) {
        ASSERT_LT(attesa.elapsed(), 120000) << "the shared printer stayed busy";
        tenuto.rimuoviSeAbbandonato();
        QThread::msleep(20);
    }
    const QString secondo = lavoroDi(5, QStringLiteral("F0020002.TXT"));
    QProcess *p = avvia({QStringLiteral("PDF"), secondo});
    EXPECT_FALSE(p->waitForFinished(3000));
    EXPECT_FALSE(QFileInfo::exists(pdfWB(secondo)));
    tenuto.rilascia();
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    EXPECT_EQ(celleDiverse(pdfWB(secondo), riferimento(5)), 0);
}

TEST_F(PdfQualita, AFailedConversionIsRecordedAndLeavesNoPdfAndThePrintFile)
{
    // The PDF's folder does not exist: Ghostscript cannot write it.
    ini("CARTELLA=" + cartella.percorso(QStringLiteral("manca/F.pdf")).toLocal8Bit() + "\r\n");
    const QString file = lavoroDi(6, QStringLiteral("F0030001.TXT"));
    const EsitoProcesso e = eseguiVorpla(cartella, {QStringLiteral("PDF"), file});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("CreaPdf: ERRORE N° 53  File not found"))) << e.errori.toStdString();
    const QString registro = registroDi(file);
    EXPECT_TRUE(registro.contains(QStringLiteral("\r\nNUMBER=53\r\nDESCRIPTION=File not found")));
    EXPECT_TRUE(registro.contains(QStringLiteral("\r\nRIGA=2025\r\n"))) << registro.toStdString();
    EXPECT_FALSE(QFileInfo::exists(cartella.percorso(QStringLiteral("manca"))));
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("F0030001.ps")));
    EXPECT_TRUE(nessunMarcatoreDelTest());
}

TEST_F(PdfQualita, EightInstancesAtOnceNeverMixOrLoseADocument)
{
    // One round of eight here; the quality route's benchmark runs ten.
    constexpr int Istanze = 8, Giri = 1;
    for (int k = 0; k < Istanze; ++k)
        lavoroDi(k, QStringLiteral("RIF%1.TXT").arg(k));
    for (int giro = 0; giro < Giri; ++giro) {
        QStringList file;
        processi.clear();
        QList<QProcess *> avviati;
        for (int k = 0; k < Istanze; ++k) {
            // Every round the documents change hands.
            file << lavoroDi((k + giro) % Istanze, QStringLiteral("G%1J%2.TXT").arg(giro).arg(k));
            avviati << avvia({QStringLiteral("PDF"), file.last()});
        }
        for (int k = 0; k < Istanze; ++k) {
            ASSERT_TRUE(avviati[k]->waitForFinished(180000)) << "round " << giro << " job " << k;
            EXPECT_EQ(avviati[k]->exitCode(), 0) << avviati[k]->readAllStandardError().toStdString();
        }
        for (int k = 0; k < Istanze; ++k) {
            const QString pdf = pdfWB(file[k]);
            ASSERT_TRUE(QFileInfo::exists(pdf)) << pdf.toStdString();
            EXPECT_EQ(celleDiverse(pdf, riferimento((k + giro) % Istanze)), 0) << "round " << giro << " job " << k;
            EXPECT_FALSE(QFileInfo::exists(file[k]));
        }
        EXPECT_TRUE(nessunMarcatoreDelTest());
    }
}

TEST_F(PdfQualita, AJobKilledWhileHoldingThePrinterIsTakenOverAtOnce)
{
    const QString primo = lavoroDi(7, QStringLiteral("K0000001.TXT"));
    QProcess *p = avvia({QStringLiteral("PDF"), primo});
    // Killed as soon as its marker is there.
    QElapsedTimer attesa;
    attesa.start();
    while (MarcatoreSpool::fileDelMarcatore(spool + QStringLiteral("vorpla.SMR")) != primo) {
        ASSERT_LT(attesa.elapsed(), 120000) << "the job never held the printer";
        ASSERT_NE(p->state(), QProcess::NotRunning) << "the job ended before it could be killed";
        QThread::msleep(5);
    }
    ::kill(pid_t(p->processId()), SIGKILL);
    ASSERT_TRUE(p->waitForFinished(10000));

    const QString secondo = lavoroDi(0, QStringLiteral("K0000002.TXT"));
    QElapsedTimer tempo;
    tempo.start();
    const EsitoProcesso e = eseguiVorpla(cartella, {QStringLiteral("PDF"), secondo});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    // The dead holder is noticed within a second; the rest is the job itself
    // (and other tests' jobs queued on the shared printer).
    EXPECT_LT(tempo.elapsed(), 60000);
    EXPECT_EQ(celleDiverse(pdfWB(secondo), riferimento(0)), 0);
    EXPECT_FALSE(QFileInfo::exists(pdfWB(primo)));
    EXPECT_TRUE(QFileInfo::exists(primo)) << "the killed job's print file is kept";
    EXPECT_TRUE(nessunMarcatoreDelTest());
}

TEST_F(PdfQualita, ThePrinterArchiveOfTheBuildInstallsAWorkingPdfCreatorAtStartUp)
{
    // A spooler of this test alone, whose PDFCreator is not yet the PDF
    // printer: the installer re-creates it as an administrator would.
    const QString cups = cartella.percorso(QStringLiteral("cups"));
    // Its filters run as the spooler's user, who must reach it.
    QFile::setPermissions(cartella.radice(), QFile::permissions(cartella.radice()) | QFileDevice::ExeOther
                                                 | QFileDevice::ReadOther | QFileDevice::ExeGroup | QFileDevice::ReadGroup);
    const QString script = QStringLiteral(VORPLA_SOURCE_DIR "/scripts/cups-test-server.sh");
    const EsitoProcesso avvio = eseguiProcesso(QStringLiteral("bash"), {script, QStringLiteral("start"), cups});
    ASSERT_EQ(avvio.codice, 0) << avvio.errori.toStdString();
    struct Ferma
    {
        QString script, cups;
        ~Ferma() { eseguiProcesso(QStringLiteral("bash"), {script, QStringLiteral("stop"), cups}); }
    } ferma{script, cups};
    const auto ambiente = [&](QProcessEnvironment &env) {
        env.insert(QStringLiteral("CUPS_SERVER"), cups + QStringLiteral("/cups.sock"));
        env.insert(QStringLiteral("CUPS_SERVERBIN"), cups + QStringLiteral("/serverbin"));
    };

    // The archive the build makes, in the program folder; no PORTA, so the
    // spool folder is the temporary one.
    const QString archivio = QFileInfo(QStringLiteral(VORPLA_EXE)).absolutePath() + QStringLiteral("/../../PDFPrinter.ZIp");
    ASSERT_TRUE(QFile::copy(archivio, cartella.programma() + QStringLiteral("/PDFPrinter.ZIp")));
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[PDF]\r\n");
    const QString file = lavoroDi(1, QStringLiteral("I0000001.TXT"));
    EsitoProcesso e = eseguiVorpla(cartella, {file}, ambiente);
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    // The installer runs on its own; it makes DRIVERS when done.
    QElapsedTimer attesa;
    attesa.start();
    while (!QFileInfo(cartella.programma() + QStringLiteral("/DRIVERS")).isDir() && attesa.elapsed() < 30000)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo(cartella.programma() + QStringLiteral("/DRIVERS")).isDir())
        << leggiFile(cartella.programma() + QStringLiteral("/PDFPrinter.log")).toStdString();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    ambiente(env);
    const EsitoProcesso coda = eseguiProcesso(QStringLiteral("lpstat"), {QStringLiteral("-v"), QStringLiteral("PDFCreator")}, env);
    EXPECT_TRUE(coda.uscita.contains(QStringLiteral("vorpla-spool:") + cartella.temp().chopped(1))) << coda.uscita.toStdString();

    // And the quality PDF comes out of it, its text still text.
    e = eseguiVorpla(cartella, {QStringLiteral("PDF"), file}, ambiente);
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(celleDiverse(pdfWB(file), riferimento(1)), 0);
    testoComeScritto(pdfWB(file), 1);
    EXPECT_EQ(QDir(cartella.temp()).entryList(QDir::Files), QStringList());
}

TEST_F(PdfQualita, TheBackendWritesEachJobWithItsUsersRightsAndOnlyWhole)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the test spooler runs the backend as root only when the tests run as root";
    // The printer held as every instance holds it.
    MarcatoreSpool marcatore(spool);
    QElapsedTimer attesa;
    attesa.start();
    while (!marcatore.prendi(QStringLiteral("/srv/ulka/temp/UTENTE.TXT"))) {
        ASSERT_LT(attesa.elapsed(), 120000) << "the shared printer stayed busy";
        marcatore.rimuoviSeAbbandonato();
        QThread::msleep(20);
    }
    const QString file = spool + QStringLiteral("spool.ps");
    QFile::remove(file);
    // A job of the user "nobody": the file is that user's alone.
    const EsitoProcesso lp = eseguiProcesso(QStringLiteral("lp"), {QStringLiteral("-d"), QStringLiteral("PDFCreator"),
                                                                   QStringLiteral("-U"), QStringLiteral("nobody"),
                                                                   QStringLiteral("-t"), QStringLiteral("[prova] utente"),
                                                                   QStringLiteral("/etc/hostname")});
    ASSERT_EQ(lp.codice, 0) << lp.errori.toStdString();
    attesa.restart();
    while (!QFileInfo::exists(file) && attesa.elapsed() < 60000)
        QThread::msleep(20);
    const QFileInfo info(file);
    ASSERT_TRUE(info.exists());
    EXPECT_EQ(info.owner(), QStringLiteral("nobody"));
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
    EXPECT_TRUE(leggiFile(file).contains("%%Title: ([prova] utente)"));
    // Nothing but the whole file is left in the folder by the backend.
    for (const QString &nome : QDir(spool).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(nome.startsWith(QStringLiteral(".spool.ps."))) << nome.toStdString();
    QFile::remove(file);
}

TEST_F(PdfQualita, AsRootTheInstallerRefusesABackendOthersCouldHaveReplaced)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the installer's root rules apply to root";
    // The installer and its files in a folder every user can write into.
    const QString pacchetto = cartella.percorso(QStringLiteral("aperto"));
    QDir().mkpath(pacchetto);
    const QString origine = QFileInfo(QStringLiteral(VORPLA_EXE)).absolutePath() + QStringLiteral("/../../pdfprinter/");
    for (const char *nome : {"ZORV_PRADELK.EXE", "vorpla-spool", "PDFCreator.ppd"})
        ASSERT_TRUE(QFile::copy(origine + QLatin1String(nome), pacchetto + u'/' + QLatin1String(nome))) << nome;
    QFile::setPermissions(pacchetto, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                         | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Were it to go on, it would meet a spooler that is not there.
    env.insert(QStringLiteral("CUPS_SERVER"), cartella.percorso(QStringLiteral("nessuno.sock")));
    env.insert(QStringLiteral("CUPS_SERVERBIN"), cartella.percorso(QStringLiteral("serverbin")));
    const EsitoProcesso e = eseguiProcesso(pacchetto + QStringLiteral("/ZORV_PRADELK.EXE"),
                                           {cartella.percorso(QStringLiteral("spool")), cartella.programma()}, env);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("can be changed by users other than root"))) << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(cartella.percorso(QStringLiteral("serverbin/backend/vorpla-spool"))));
    EXPECT_FALSE(QFileInfo::exists(cartella.programma() + QStringLiteral("/DRIVERS")));
    EXPECT_FALSE(QFileInfo::exists(cartella.percorso(QStringLiteral("spool"))));
    // As root, nothing is written into the program folder.
    EXPECT_FALSE(QFileInfo::exists(cartella.programma() + QStringLiteral("/PDFPrinter.log")));
}

TEST_F(PdfQualita, APdfIsWholeOrNothingAndTitledAfterItsDocument)
{
    // Room enough: the PDF, titled after the document (its last "@TITO"),
    // never after the print job and its token.
    const QString file = lavoroDi(3, QStringLiteral("T0000001.TXT"));
    const QString destinazione = cartella.percorso(QStringLiteral("archivio/T0000001.pdf"));
    EsitoProcesso e = eseguiVorpla(cartella, {QStringLiteral("NO"), file, destinazione});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    const QString info = eseguiProcesso(QStringLiteral("pdfinfo"), {destinazione}).uscita;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("^Title:\\s+CONDIZIONI FATTURA 103$"),
                                                 QRegularExpression::MultilineOption)))
        << info.toStdString();
    ASSERT_GT(QFileInfo(destinazione).size(), 16 * 1024);

    // A destination with too little room for it: a file system of 16 KB of
    // the job's own (a mount namespace, so no administrator is needed).
    // Ghostscript stops writing half-way and still says it succeeded; the
    // job fails, nothing is left where the user looks, the print file stays.
    const QString altro = lavoroDi(3, QStringLiteral("T0000002.TXT"));
    const QString piccola = cartella.percorso(QStringLiteral("piccola"));
    QDir().mkpath(piccola);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), cartella.percorso(QStringLiteral("dati")));
    e = eseguiProcesso(QStringLiteral("unshare"),
                       {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                        QStringLiteral("mount -t tmpfs -o size=16k tmpfs \"$0\" || exit 99; \"$1\" NO \"$2\" \"$0/T0000002.pdf\"; "
                                       "r=$?; ls -A \"$0\"; exit $r"),
                        piccola, QStringLiteral(VORPLA_EXE), altro},
                       env);
    if (e.codice == 99 || e.errori.contains(QStringLiteral("unshare: ")))
        GTEST_SKIP() << "no mount namespace here: " << e.errori.toStdString();
    EXPECT_EQ(e.codice, 1) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("CreaPdf: ERRORE N° 57  Device I/O error: il PDF ")));
    EXPECT_TRUE(e.errori.contains(QStringLiteral("scritto da Ghostscript è danneggiato"))) << e.errori.toStdString();
    // What the small file system held at the end: nothing.
    EXPECT_EQ(e.uscita.trimmed(), QString()) << e.uscita.toStdString();
    EXPECT_TRUE(QFileInfo::exists(altro));
    EXPECT_TRUE(nessunMarcatoreDelTest());
}
