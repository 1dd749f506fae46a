// The headless mail command in real processes: vorpla --mail makes each
// document's PDF with the PDF output form and mails it to the test SMTP
// server; the messages are read back, their PDF with poppler.

#include "ProvaPosta.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <memory>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaComandoMail : public ProvaPosta
{
protected:
    void SetUp() override
    {
        ProvaPosta::SetUp();
        if (spoolerDiProva().isEmpty())
            GTEST_SKIP() << SenzaSpoolerDiProva;
        ini("[MAIL]\r\nINDIRIZZO=agenzia@vorpla.prova\r\nSMTP=127.0.0.1\r\nPORTA=" + QByteArray::number(portaPosta())
            + "\r\n[Testo mail IT]\r\nNASCONDI_TESTO_PDF=1\r\n1=Gentile cliente,\r\n");
    }

    EsitoProcesso mail(const QStringList &opzioni, const QString &file, const QString &primaNelPath = {})
    {
        return eseguiVorpla(cartella, QStringList{QStringLiteral("--mail")} + opzioni + QStringList{file},
                            [&](QProcessEnvironment &env) {
                                env.insert(QStringLiteral("XDG_CONFIG_HOME"), cartella.percorso(QStringLiteral("config")));
                                if (!primaNelPath.isEmpty())
                                    env.insert(QStringLiteral("PATH"), primaNelPath + u':' + env.value(QStringLiteral("PATH")));
                            });
    }

    // The command's line a document on standard output.
    static QStringList righeDocumenti(const EsitoProcesso &e)
    {
        return e.uscita.split(u'\n').filter(QRegularExpression(QStringLiteral("^documento \\d+\t")));
    }

    // The words of a received PDF.
    QStringList parole(const AllegatoRicevuto &pdf)
    {
        const QString file = cartella.scrivi(QStringLiteral("ricevuto/") + pdf.nome, pdf.dati);
        EXPECT_EQ(controlloQpdf(file), QString());
        QStringList r;
        for (const ParolaLetta &p : paroleLette(file))
            r << p.testo;
        return r;
    }
};

QByteArray documento(const QByteArray &nome, const QByteArray &indirizzo, const QByteArray &titolo)
{
    QByteArray d = "@FAXD " + nome + "\r\n";
    if (!indirizzo.isEmpty())
        d += "@EMAI " + indirizzo + "\r\n";
    return d + "@INTE\r\n@INT1 AGENZIA VIAGGI\r\n@TITO " + titolo + "\r\n@TEXT\r\n@TXTn Cliente " + nome
           + "\r\n@PAGE\r\n@FAXS\r\n";
}

} // namespace

TEST_F(ProvaComandoMail, OneInvoiceIsMailedWithItsPdfAndTheProgramEnds)
{
    const QString a = indirizzoUnico();
    const QString file = cartella.scrivi(QStringLiteral("job/F0012.txt"), "@EMAI " + a.toUtf8()
                                                                             + "\r\n@INTE\r\n@INT1 AGENZIA VIAGGI\r\n"
                                                                               "@TITO FATTURA 12/2026\r\n@TEXT\r\n"
                                                                               "@TXTn Totale 100 euro\r\n@PAGE\r\n");
    const EsitoProcesso e = mail({QStringLiteral("--smtp")}, file);
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    const QList<MailRicevuta> r = posteRicevute(a);
    ASSERT_EQ(r.size(), 1) << e.errori.toStdString();
    EXPECT_EQ(r[0].oggetto, QStringLiteral("FATTURA 12/2026"));
    EXPECT_TRUE(r[0].testo.startsWith(QStringLiteral("Gentile cliente,\r\n")));
    EXPECT_TRUE(r[0].testo.endsWith(QStringLiteral("FATTURA 12/2026\r\n"))) << "the titles listed";
    ASSERT_EQ(r[0].allegati.size(), 1);
    EXPECT_EQ(r[0].allegati[0].nome, QStringLiteral("F0012.PDF"));
    EXPECT_EQ(r[0].allegati[0].tipo, QStringLiteral("application/pdf"));
    const QStringList p = parole(r[0].allegati[0]);
    EXPECT_TRUE(p.contains(QStringLiteral("FATTURA"))) << p.join(u' ').toStdString();
    EXPECT_TRUE(p.contains(QStringLiteral("Totale")));
    // Sent: termina cleared the job's files.
    EXPECT_FALSE(QFile::exists(cartella.temp() + QStringLiteral("F0012.PDF")));
}

TEST_F(ProvaComandoMail, ABatchMailsEachDocumentAndReportsTheOneWithoutAddress)
{
    const QString uno = indirizzoUnico(), tre = indirizzoUnico();
    const QString file = cartella.scrivi(QStringLiteral("job/E0001.txt"),
                                         "@COPI 1\r\n" + documento("Rossi", uno.toUtf8(), "ESTRATTO 1")
                                             + documento("Verdi", {}, "ESTRATTO 2")
                                             + documento("Bianchi", tre.toUtf8(), "ESTRATTO 3") + "@TXTn coda\r\n");
    const EsitoProcesso e = mail({QStringLiteral("--smtp"), QStringLiteral("--invia-tutti")}, file);
    // Not every document went: the exit status says so, the report names it.
    EXPECT_EQ(e.codice, 1) << e.errori.toStdString();
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("non è presente l'indirizzo mail del destinatario:\nVerdi\n")))
        << e.uscita.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("document 3 of 3"))) << e.errori.toStdString();
    const QList<MailRicevuta> r1 = posteRicevute(uno), r3 = posteRicevute(tre);
    ASSERT_EQ(r1.size(), 1);
    ASSERT_EQ(r3.size(), 1);
    EXPECT_EQ(r1[0].oggetto, QStringLiteral("ESTRATTO 1"));
    EXPECT_EQ(r3[0].oggetto, QStringLiteral("ESTRATTO 3"));
    // Each document's own PDF, under the batch's document name.
    ASSERT_EQ(r3[0].allegati.size(), 1);
    EXPECT_EQ(r3[0].allegati[0].nome, QStringLiteral("Documento0001.PDF"));
    const QStringList p = parole(r3[0].allegati[0]);
    EXPECT_TRUE(p.contains(QStringLiteral("Bianchi"))) << p.join(u' ').toStdString();
    EXPECT_FALSE(p.contains(QStringLiteral("Rossi")));
}

// The host's letters (0x85 "à", 0x8A "è", 0x95 "ò", 0x97 "ù", 0x80 "‡") read
// in the subject, the body's titles and the report's names as on the page.
TEST_F(ProvaComandoMail, HostLettersReadAsThePagePrintsThemInTheMailAndTheReport)
{
    const QString uno = indirizzoUnico();
    const QString file = cartella.scrivi(QStringLiteral("job/E0002.txt"),
                                         documento("ROSS\x85", uno.toUtf8(), "FATTURA CITT\x85 \x8A\x95\x97\x80")
                                             + documento("VERD\x8A", {}, "FATTURA PER\x95"));
    const EsitoProcesso e = mail({QStringLiteral("--smtp"), QStringLiteral("--invia-tutti")}, file);
    EXPECT_EQ(e.codice, 1) << e.errori.toStdString();
    const QList<MailRicevuta> r = posteRicevute(uno);
    ASSERT_EQ(r.size(), 1) << e.errori.toStdString();
    EXPECT_EQ(r[0].oggetto, QStringLiteral("FATTURA CITTà èòù‡"));
    EXPECT_TRUE(r[0].testo.endsWith(QStringLiteral("\r\nFATTURA CITTà èòù‡\r\n"))) << r[0].testo.toStdString();
    ASSERT_EQ(r[0].allegati.size(), 1);
    const QStringList p = parole(r[0].allegati[0]);
    EXPECT_TRUE(p.contains(QStringLiteral("CITTà")) && p.contains(QStringLiteral("ROSSà"))) << p.join(u' ').toStdString();
    const QStringList documenti = righeDocumenti(e);
    ASSERT_EQ(documenti.size(), 2) << e.uscita.toStdString();
    EXPECT_TRUE(documenti[0].startsWith(QStringLiteral("documento 1\tROSSà\t"))) << documenti[0].toStdString();
    EXPECT_TRUE(documenti[1].startsWith(QStringLiteral("documento 2\tVERDè\t"))) << documenti[1].toStdString();
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("non è presente l'indirizzo mail del destinatario:\nVERDè\n")))
        << e.uscita.toStdString();
}

TEST_F(ProvaComandoMail, ARefusedRecipientIsReportedAndNothingIsTakenAsSent)
{
    const QString file = cartella.scrivi(QStringLiteral("job/F0013.txt"),
                                         "@EMAI " + indirizzoUnico(QStringLiteral("rifiuta")).toUtf8()
                                             + "\r\n@TITO FATTURA 13\r\n@PAGE\r\n");
    const EsitoProcesso e = mail({QStringLiteral("--smtp")}, file);
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Routine frmMAPI - InvioMailSmtp"))) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("550"))) << e.errori.toStdString();
    // The job's files stay for another try.
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(QFile::exists(cartella.temp() + QStringLiteral("F0013.PDF")));

    // Nobody to send to by SMTP: no send (libcurl would run the server's
    // HELP and call it one), a document without an address.
    const QString senza = cartella.scrivi(QStringLiteral("ulka/temp/F0014.TXT"), "@TITO FATTURA 14\r\n@PAGE\r\n");
    const EsitoProcesso nessuno = mail({QStringLiteral("--smtp")}, senza);
    EXPECT_EQ(nessuno.codice, 1) << nessuno.errori.toStdString();
    EXPECT_EQ(righeDocumenti(nessuno), QStringList{QStringLiteral("documento 1\tF0014.TXT\t\tsenza indirizzo")});
    EXPECT_FALSE(nessuno.uscita.contains(QStringLiteral("214"))) << nessuno.uscita.toStdString();

    const EsitoProcesso sbagliato = eseguiVorpla(cartella, {QStringLiteral("--mail"), QStringLiteral("--telex"), file});
    EXPECT_EQ(sbagliato.codice, 2);
    EXPECT_TRUE(sbagliato.errori.contains(QStringLiteral("usage: vorpla --mail")));
    EXPECT_TRUE(sbagliato.errori.contains(QStringLiteral("75 a document not sent because the mail server failed")));
}

QByteArray documentoGuasto(const QByteArray &nome, const QByteArray &indirizzo)
{
    // A picture tag without its closing ">>": the PDF form refuses the line.
    return "@FAXD " + nome + "\r\n@EMAI " + indirizzo + "\r\n@INTE\r\n@INT1 AGENZIA VIAGGI\r\n@TEXT\r\n@TXTn <<IMG=abc\r\n"
           "@PAGE\r\n@FAXS\r\n";
}

TEST_F(ProvaComandoMail, EachCustomerGetsTheirOwnDocumentAndAFailureIsNoSend)
{
    const QString due = indirizzoUnico(), tre = indirizzoUnico(), quattro = indirizzoUnico();
    // An earlier run's PDF, another customer's, where the batch makes its own.
    scriviPdf(cartella.temp() + QStringLiteral("Documento0001.PDF"), QStringLiteral("CLIENTE DI IERI"));
    // The first document has no address: start-up's (the file's last) is not its.
    const QString file = cartella.scrivi(QStringLiteral("job/E0002.txt"),
                                         documento("Rossi", {}, "ESTRATTO 1") + documentoGuasto("Verdi", due.toUtf8())
                                             + documento("Bianchi", tre.toUtf8(), "ESTRATTO 3")
                                             + documento("Neri", quattro.toUtf8(), "ESTRATTO 4"));
    const EsitoProcesso e = mail({QStringLiteral("--smtp")}, file);
    EXPECT_EQ(e.codice, 1) << e.errori.toStdString();
    const QStringList righe = righeDocumenti(e);
    ASSERT_EQ(righe.size(), 4) << e.uscita.toStdString();
    EXPECT_EQ(righe[0], QStringLiteral("documento 1\tRossi\t\tsenza indirizzo"));
    EXPECT_TRUE(righe[1].startsWith(QStringLiteral("documento 2\tVerdi\t") + due
                                    + QStringLiteral("\tnon inviato: il PDF del documento non è stato creato (Routine "
                                                     "FRMCreaPDF - GRAFICA Errore N.13")))
        << righe[1].toStdString();
    EXPECT_EQ(righe[2], QStringLiteral("documento 3\tBianchi\t") + tre + QStringLiteral("\tinviato"));
    EXPECT_EQ(righe[3], QStringLiteral("documento 4\tNeri\t") + quattro + QStringLiteral("\tinviato"));
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("Documenti non inviati per un errore:\nVerdi: il PDF")));

    EXPECT_TRUE(posteRicevute(due).isEmpty());
    const QStringList nomi{QStringLiteral("Rossi"), QStringLiteral("Verdi"), QStringLiteral("Bianchi"), QStringLiteral("Neri")};
    for (const auto &[indirizzo, proprio] : {std::pair{tre, QStringLiteral("Bianchi")}, std::pair{quattro, QStringLiteral("Neri")}}) {
        const QList<MailRicevuta> r = posteRicevute(indirizzo);
        ASSERT_EQ(r.size(), 1) << proprio.toStdString();
        ASSERT_EQ(r[0].allegati.size(), 1);
        const QStringList p = parole(r[0].allegati[0]);
        for (const QString &n : nomi)
            EXPECT_EQ(p.contains(n), n == proprio) << proprio.toStdString() << " / " << n.toStdString();
        EXPECT_FALSE(p.contains(QStringLiteral("IERI")));
    }
    // The batch's work files are gone; the record of what went stays for a
    // second try.
    EXPECT_TRUE(QDir(cartella.temp()).entryList({QStringLiteral("Documento0001.*")}, QDir::Files).isEmpty());
    EXPECT_EQ(QString::fromUtf8(leggiFile(file + QStringLiteral(".inviati"))).count(u'\n'), 2);
}

TEST_F(ProvaComandoMail, ARunAgainAfterTheServerFailedSendsOnlyWhatDidNotGo)
{
    // The server takes the second customer's mail only at the second try.
    const QString uno = indirizzoUnico(), due = indirizzoUnico(QStringLiteral("rinvia")), tre = indirizzoUnico();
    const QString file = cartella.scrivi(QStringLiteral("ulka/temp/E0003.TXT"),
                                         documento("Rossi", uno.toUtf8(), "ESTRATTO 1")
                                             + documento("Verdi", due.toUtf8(), "ESTRATTO 2")
                                             + documento("Bianchi", tre.toUtf8(), "ESTRATTO 3"));
    const EsitoProcesso primo = mail({QStringLiteral("--smtp")}, file);
    EXPECT_EQ(primo.codice, 75) << primo.uscita.toStdString();
    QStringList righe = righeDocumenti(primo);
    ASSERT_EQ(righe.size(), 3);
    EXPECT_TRUE(righe[1].contains(QStringLiteral("\tnon inviato: Routine frmMAPI - InvioMailSmtp Errore N.")));
    EXPECT_TRUE(righe[1].contains(QStringLiteral("451"))) << righe[1].toStdString();
    EXPECT_TRUE(QFile::exists(file)) << "a batch that did not all go keeps its print file";
    const QByteArray stampa = leggiFile(file), registro = leggiFile(file + QStringLiteral(".inviati"));

    const EsitoProcesso secondo = mail({QStringLiteral("--smtp")}, file);
    EXPECT_EQ(secondo.codice, 0) << secondo.uscita.toStdString() << secondo.errori.toStdString();
    righe = righeDocumenti(secondo);
    ASSERT_EQ(righe.size(), 3);
    EXPECT_EQ(righe[0], QStringLiteral("documento 1\tRossi\t") + uno + QStringLiteral("\tgià inviato"));
    EXPECT_EQ(righe[1], QStringLiteral("documento 2\tVerdi\t") + due + QStringLiteral("\tinviato"));
    EXPECT_TRUE(secondo.errori.contains(QStringLiteral("document 1 (Rossi) was sent by an earlier run")));
    for (const QString &a : {uno, due, tre})
        EXPECT_EQ(posteRicevute(a).size(), 1) << a.toStdString();
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".inviati"))) << "everything went: no record left";

    // Asked to, everything goes again, the record of the first run
    // notwithstanding.
    scriviFile(file, stampa);
    scriviFile(file + QStringLiteral(".inviati"), registro);
    const EsitoProcesso terzo = mail({QStringLiteral("--smtp"), QStringLiteral("--invia-di-nuovo")}, file);
    EXPECT_EQ(terzo.codice, 0) << terzo.uscita.toStdString();
    EXPECT_EQ(righeDocumenti(terzo).filter(QStringLiteral("\tinviato")).size(), 3);
    EXPECT_EQ(posteRicevute(uno).size(), 2);
}


TEST_F(ProvaComandoMail, TwoThousandDocumentsEachTheirOwnPastThe16BitLineCount)
{
    // 2,000 documents of 20 lines (40,000 lines, past what a 16-bit counter
    // holds); every 40th has an address, the others none and are listed.
    constexpr int Documenti = 2000, OgniQuanti = 40;
    QByteArray lotto;
    QStringList indirizzi;
    for (int k = 1; k <= Documenti; ++k) {
        const QByteArray n = QByteArray::number(k).rightJustified(4, '0');
        lotto += "@FAXD Cliente" + n + "\r\n";
        if (k % OgniQuanti == 0) {
            indirizzi << indirizzoUnico(QStringLiteral("lotto"));
            lotto += "@EMAI " + indirizzi.last().toUtf8() + "\r\n";
        }
        lotto += "@INTE\r\n@INT1 AGENZIA VIAGGI\r\n@TITO ESTRATTO " + n + "\r\n@TEXT\r\n";
        for (int r = 0; r < 12; ++r)
            lotto += "@TXTn movimento " + QByteArray::number(r) + "\r\n";
        lotto += "@TXTn Cliente" + n + "\r\n@PAGE\r\n@FAXS\r\n";
    }
    const QString file = cartella.scrivi(QStringLiteral("job/L2000.txt"), lotto);
    ASSERT_GT(lotto.count("\r\n"), 32767);
    const EsitoProcesso e = mail({QStringLiteral("--smtp")}, file);
    EXPECT_EQ(e.codice, 1) << e.errori.right(2000).toStdString();

    // One line a document, in order, each with its own customer and outcome.
    const QStringList righe = righeDocumenti(e);
    ASSERT_EQ(righe.size(), Documenti);
    for (int k = 1; k <= Documenti; ++k) {
        const QString cliente = QStringLiteral("Cliente%1").arg(k, 4, 10, QLatin1Char('0'));
        const QString attesa = k % OgniQuanti == 0
                                   ? QStringLiteral("documento %1\t%2\t%3\tinviato").arg(k).arg(cliente, indirizzi[k / OgniQuanti - 1])
                                   : QStringLiteral("documento %1\t%2\t\tsenza indirizzo").arg(k).arg(cliente);
        if (righe[k - 1] != attesa) {
            ADD_FAILURE() << righe[k - 1].toStdString() << " instead of " << attesa.toStdString();
            break;
        }
    }
    const qsizetype elenco = e.uscita.indexOf(QStringLiteral("destinatario:\n"));
    ASSERT_GE(elenco, 0);
    EXPECT_EQ(e.uscita.mid(elenco).count(QStringLiteral("\nCliente")), Documenti - Documenti / OgniQuanti);

    // Every message received: its own customer's PDF, read back with poppler
    // (the PDFs joined into one, a page a message, read in one pass).
    QStringList pdf;
    for (int i = 0; i < indirizzi.size(); ++i) {
        const QList<MailRicevuta> r = posteRicevute(indirizzi[i]);
        ASSERT_EQ(r.size(), 1) << indirizzi[i].toStdString();
        ASSERT_EQ(r[0].allegati.size(), 1);
        pdf << cartella.scrivi(QStringLiteral("ricevuti/%1.pdf").arg(i), r[0].allegati[0].dati);
    }
    EXPECT_EQ(controlloQpdf(pdf.first()), QString());
    EXPECT_EQ(controlloQpdf(pdf.last()), QString());
    const QString uniti = cartella.percorso(QStringLiteral("ricevuti.pdf"));
    ASSERT_EQ(eseguiProcesso(QStringLiteral("pdfunite"), pdf + QStringList{uniti}).codice, 0);
    // In the messages' order, the customers their pages name: each one's
    // own, once.
    const QString testo = eseguiProcesso(QStringLiteral("pdftotext"), {uniti, QStringLiteral("-")}).uscita;
    static const QRegularExpression clienti(QStringLiteral("Cliente\\d{4}"));
    QStringList trovati, attesi;
    for (auto m = clienti.globalMatch(testo); m.hasNext();)
        trovati << m.next().captured();
    for (int i = 1; i <= indirizzi.size(); ++i)
        attesi << QStringLiteral("Cliente%1").arg(i * OgniQuanti, 4, 10, QLatin1Char('0'));
    EXPECT_EQ(trovati, attesi);
}

TEST_F(ProvaComandoMail, TheClientRoutesReportAFailingSendmailAndARefusedAddress)
{
    // A sendmail that cannot pass the message on now (EX_TEMPFAIL), first
    // on PATH; "Invia tutti" with an address takes the sendmail route.
    const QString bin = cartella.percorso(QStringLiteral("bin"));
    const QString sendmail = cartella.scrivi(QStringLiteral("bin/sendmail"),
                                             "#!/bin/sh\ncat >/dev/null\necho 'sendmail: cannot connect to the relay' >&2\n"
                                             "exit 75\n");
    QFile::setPermissions(sendmail, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString a = indirizzoUnico();
    const QString file = cartella.scrivi(QStringLiteral("ulka/temp/F0020.TXT"),
                                         "@FAXD Rossi\r\n@EMAI " + a.toUtf8() + "\r\n@TITO FATTURA 20\r\n@PAGE\r\n");
    const EsitoProcesso e = mail({QStringLiteral("--invia-tutti")}, file, bin);
    EXPECT_EQ(e.codice, 75) << e.uscita.toStdString() << e.errori.toStdString();
    const QStringList righe = righeDocumenti(e);
    ASSERT_EQ(righe.size(), 1);
    EXPECT_TRUE(righe[0].startsWith(QStringLiteral("documento 1\tRossi\t") + a
                                    + QStringLiteral("\tnon inviato: Routine frmMAPI - SENDMAIL Errore N.32002 ")))
        << righe[0].toStdString();
    EXPECT_TRUE(righe[0].contains(QStringLiteral("sendmail: cannot connect to the relay"))) << righe[0].toStdString();
    EXPECT_TRUE(posteRicevute(a).isEmpty());
    // Nothing taken as sent: the print file and its PDF stay; the copy
    // handed to sendmail does not.
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(QFile::exists(cartella.temp() + QStringLiteral("F0020.PDF")));
    EXPECT_TRUE(QDir(cartella.temp()).entryList({QStringLiteral("F0020_*")}, QDir::Files).isEmpty());

    // An address that is no mailbox, on the real sendmail: refused, with
    // the routine message, and nothing sent.
    const QString rifiutato = cartella.scrivi(QStringLiteral("ulka/temp/F0021.TXT"),
                                              "@FAXD Bianchi\r\n@EMAI mario rossi@example.com\r\n@TITO FATTURA 21\r\n@PAGE\r\n");
    const EsitoProcesso r = mail({QStringLiteral("--invia-tutti")}, rifiutato);
    EXPECT_EQ(r.codice, 1) << r.uscita.toStdString() << r.errori.toStdString();
    EXPECT_TRUE(r.errori.contains(QStringLiteral("vorpla: Routine frmMAPI - SENDMAIL\nvorpla:  Errore N.32014 Unknown "
                                                 "recipient \"mario rossi@example.com\" in SendMail.")))
        << r.errori.toStdString();
    EXPECT_EQ(righeDocumenti(r).size(), 1);
    EXPECT_TRUE(QFile::exists(rifiutato));
}

TEST_F(ProvaComandoMail, TwoBatchesAtOnceOnOneMachineNeverTradeDocuments)
{
    // Two users' night batches at once: their work files have the same
    // names in the one temporary folder.
    QStringList indirizzi;
    QList<QStringList> clienti;
    QList<std::shared_ptr<QProcess>> processi;
    for (int lotto = 0; lotto < 2; ++lotto) {
        QByteArray testo;
        clienti << QStringList();
        for (int k = 0; k < 4; ++k) {
            const QByteArray nome = "Lotto" + QByteArray::number(lotto) + "Cliente" + QByteArray::number(k);
            indirizzi << indirizzoUnico();
            clienti.last() << QString::fromLatin1(nome);
            testo += documento(nome, indirizzi.last().toUtf8(), "ESTRATTO " + nome);
        }
        const QString file = cartella.scrivi(QStringLiteral("job/C%1.txt").arg(lotto), testo);
        auto p = std::make_shared<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), cartella.percorso(QStringLiteral("dati")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), cartella.percorso(QStringLiteral("config")));
        p->setProcessEnvironment(env);
        p->start(QStringLiteral(VORPLA_EXE), {QStringLiteral("--mail"), QStringLiteral("--smtp"), file});
        processi << p;
    }
    for (const auto &p : processi) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    QStringList tutti = clienti[0] + clienti[1];
    for (int i = 0; i < indirizzi.size(); ++i) {
        const QList<MailRicevuta> r = posteRicevute(indirizzi[i]);
        ASSERT_EQ(r.size(), 1);
        ASSERT_EQ(r[0].allegati.size(), 1);
        const QStringList p = parole(r[0].allegati[0]);
        for (const QString &c : tutti)
            EXPECT_EQ(p.contains(c), c == tutti[i]) << tutti[i].toStdString() << " / " << c.toStdString();
    }
}
