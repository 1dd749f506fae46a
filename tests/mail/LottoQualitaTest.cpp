// A mail batch through the quality PDF route in this process: the real
// CreaPdf on the shared printer's marker, the real Ghostscript and the test
// SMTP server; the PostScript printer is played by the test (it writes
// spool.ps as the backend does), and the marker wait counts polls without
// taking their time.

#include "ProvaPosta.h"

#include "common/FileIni.h"
#include "common/ModPubblico.h"
#include "common/Stampanti.h"
#include "mail/FrmMAPI.h"
#include "mail/InvioMail.h"
#include "pdf/CreaPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

QByteArray postScript(const QString &titolo, const QString &testo)
{
    return "%!PS-Adobe-3.0\n%%Title: (" + titolo.toLatin1() + ")\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n"
           "/Helvetica findfont 16 scalefont setfont 72 760 moveto (" + testo.toLatin1() + ") show showpage\n%%EOF\n";
}

} // namespace

TEST_F(ProvaPosta, AQualityBatchDocumentThatTimesOutIsNotMailedWithAnOldPdf)
{
    const QString primo = indirizzoUnico(), secondo = indirizzoUnico();
    ini("[MAIL]\r\nINDIRIZZO=agenzia@vorpla.prova\r\nSMTP=127.0.0.1\r\nPORTA=" + QByteArray::number(portaPosta())
        + "\r\n[Testo mail IT]\r\nNASCONDI_TESTO_PDF=1\r\n");
    dimenticaFileIni();
    const QString spool = cartella.temp();
    // Another day's customer's PDF where the batch makes its documents'.
    scriviPdf(spool + QStringLiteral("Documento0001.PDF"), QStringLiteral("CLIENTE DI IERI"));

    // The printer held by a live instance: its marker, locked by a process
    // of this machine that runs.
    const QString marcatore = spool + QStringLiteral("vorpla.SMR");
    scriviFile(marcatore, "FILE=/srv/ulka/temp/ALTRO.TXT\r\nDATA=oggi\r\nPID=1\r\nHOST="
                              + QSysInfo::machineHostName().toLocal8Bit() + "\r\n");
    QProcess titolare;
    titolare.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QStringLiteral("import fcntl, sys, time\n"
                                                         "f = open(sys.argv[1], 'a')\n"
                                                         "fcntl.flock(f, fcntl.LOCK_EX)\n"
                                                         "print('tenuto', flush=True)\n"
                                                         "time.sleep(60)\n"),
                    marcatore});
    ASSERT_TRUE(titolare.waitForReadyRead(10000));

    StampantiFisse stampanti({{QStringLiteral("Office"), QString()}, {QStringLiteral("PDFCreator"), QString()}},
                             QStringLiteral("Office"));
    AmbienteCreaPdf ambiente;
    ambiente.stampanti = &stampanti;
    ambiente.eventi = [] {};
    int polls = 0;
    ambiente.attendi = [&](int ms) {
        // The holder finishes once the first document has waited its whole
        // time (its marker then left over, its lock gone).
        if (ms == 10 && ++polls == 12000) {
            titolare.kill();
            titolare.waitForFinished();
        }
    };
    // The printer's backend: the document's own PostScript, titled as asked.
    ambiente.stampaDocumento = [&](const QString &titolo) {
        QString cliente;
        for (const QString &r : QString::fromLatin1(leggiFile(lavoro().FileIngresso)).split(QStringLiteral("\r\n")))
            if (r.startsWith(QStringLiteral("@FAXD ")))
                cliente = r.mid(6);
        lavoro().OggettoMail = QStringLiteral("FATTURA ") + cliente;
        scriviFile(spool + QStringLiteral("spool.ps"), postScript(titolo, QStringLiteral("FATTURA ") + cliente));
        return true;
    };

    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/temp/Q0001.TXT"),
                                            "@FAXD Rossi\r\n@EMAI " + primo.toUtf8() + "\r\n@TITO UNO\r\n@FAXS\r\n"
                                            "@FAXD Verdi\r\n@EMAI " + secondo.toUtf8() + "\r\n@TITO DUE\r\n@FAXS\r\n");
    lavoro().ContaFax = 2;
    FrmMAPI frm;
    frm.ChkSmtp = [] { return true; };
    InvioMail invio;
    invio.CreaPdf = [&](const QString &file) { CreaPdf(file, ambiente); };
    invio.Spedisci_Mail = [&](bool a) { frm.Spedisci_Mail(a); };
    InvioMail::Finestra f;
    f.smtp = true;
    f.anteprimaQualita = true;
    EXPECT_FALSE(invio.esegui(f));

    // The first customer gets nothing, the old PDF least of all; the wait's
    // message is its reason, shown in the report, not in a box that would
    // stop the batch.
    EXPECT_TRUE(posteRicevute(primo).isEmpty());
    ASSERT_EQ(invio.documenti.size(), 2);
    EXPECT_EQ(invio.documenti[0].esito, InvioMail::Esito::NonInviato);
    EXPECT_EQ(invio.documenti[0].motivo, QStringLiteral("il PDF del documento non è stato creato (Errore di timeout!)"));
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(invio.statoUscita(), 1);
    // The second one, its own PDF, whole, titled after its document.
    const QList<MailRicevuta> r = posteRicevute(secondo);
    ASSERT_EQ(r.size(), 1) << invio.documenti[1].motivo.toStdString();
    ASSERT_EQ(r[0].allegati.size(), 1);
    const QString ricevuto = cartella.scrivi(QStringLiteral("ricevuto.pdf"), r[0].allegati[0].dati);
    EXPECT_EQ(controlloQpdf(ricevuto), QString());
    const QString testo = eseguiProcesso(QStringLiteral("pdftotext"), {ricevuto, QStringLiteral("-")}).uscita;
    EXPECT_TRUE(testo.contains(QStringLiteral("FATTURA Verdi"))) << testo.toStdString();
    EXPECT_FALSE(testo.contains(QStringLiteral("IERI")));
    EXPECT_TRUE(eseguiProcesso(QStringLiteral("pdfinfo"), {ricevuto}).uscita.contains(QStringLiteral("FATTURA Verdi")));
    // The batch's files are gone, the print file stays.
    EXPECT_TRUE(QDir(spool).entryList({QStringLiteral("Documento0001.*")}, QDir::Files).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(lavoro().FileIngresso));
}
