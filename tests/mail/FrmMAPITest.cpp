// The mail dispatch of one document: the body from the settings, the default
// paragraphs and the booking instructions, the attachments (duplicates,
// missing files, the booking extract), the route the main window's boxes and
// the desktop's mail client choose, and what each route hands over; read
// back from the test SMTP server and the recording mail client.

#include "ProvaPosta.h"

#include "mail/FrmMAPI.h"
#include "mail/InvioMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString paragrafiPredefiniti()
{
    return QStringLiteral("Questa email è stata creata automaticamente dal software Ulka by Korvenal ") + SitoProduttore
           + QStringLiteral(".\r\nPer leggere il documento allegato occorre disporre del software Acrobat Reader scaricabile "
                            "gratuitamente dal sito ")
           + PaginaLettorePdf
           + QStringLiteral("\r\n\r\nThis e-mail has been created automatically by the software Ulka by Korvenal ")
           + SitoProduttore
           + QStringLiteral(".\r\nTo open the attached document it's necessary to have installed Acrobat Reader on your "
                            "computer. You can download it free of charge from ")
           + PaginaLettorePdf;
}

class ProvaDispatch : public ProvaPosta
{
protected:
    // The SMTP route to the test server, with these extra settings.
    void iniSmtp(const QByteArray &altro = {})
    {
        ini("[MAIL]\r\nINDIRIZZO=agenzia@vorpla.prova\r\nSMTP=127.0.0.1\r\nPORTA=" + QByteArray::number(portaPosta())
            + "\r\n" + altro);
    }
    FrmMAPI frm;
};

} // namespace

TEST_F(ProvaDispatch, TheSmtpBodyComesFromTheSettingsLineByLine)
{
    const QString a = indirizzoUnico(), cc = indirizzoUnico(QStringLiteral("cc"));
    iniSmtp("CC=" + cc.toUtf8() + "\r\n[Testo mail IT]\r\n1=Gentile cliente,\r\n3=Cordiali saluti\r\n4=*\r\n5=\" * \"\r\n");
    lavoroConPdf("@TITO FATTURA 1\r\n");
    StatoLavoro &job = lavoro();
    job.IndirizzoMail = a;
    job.OggettoMail = QStringLiteral("FATTURA 1/2026");
    job.ElencoTitoli = QStringLiteral("FATTURA 1/2026\r\n");
    job.TestoAggiunto = QStringLiteral("Aggiunto a mano");
    frm.ChkSmtp = [] { return true; };
    frm.Spedisci_Mail(true);

    const QList<MailRicevuta> r = posteRicevute(a);
    ASSERT_EQ(r.size(), 1);
    // Line 1, the missing line 2 empty, line 3, no line for "*", " * " a
    // line of its own, 95 more empty lines, the default paragraphs, then
    // the typed text and the titles.
    QString atteso = QStringLiteral("Gentile cliente,\r\n\r\nCordiali saluti\r\n * \r\n");
    for (int n = 6; n <= 100; ++n)
        atteso += CrLf;
    atteso += paragrafiPredefiniti() + CrLf + QStringLiteral("Aggiunto a mano") + CrLf + CrLf + QStringLiteral("FATTURA 1/2026\r\n");
    EXPECT_EQ(r[0].testo, atteso);
    EXPECT_EQ(r[0].oggetto, QStringLiteral("FATTURA 1/2026"));
    // "To" is the document's address and "; ": one recipient; the copy too.
    EXPECT_EQ(r[0].a, a);
    EXPECT_TRUE(r[0].destinatariBusta.contains(cc));
    EXPECT_EQ(r[0].mittenteBusta, QStringLiteral("agenzia@vorpla.prova"));
    ASSERT_EQ(r[0].allegati.size(), 1);
    EXPECT_EQ(r[0].allegati[0].nome, QStringLiteral("F0001.PDF"));
    EXPECT_EQ(r[0].allegati[0].dati, leggiFile(cartella.temp() + QStringLiteral("F0001.PDF")));
    // The SMTP route takes the address and reports not handled.
    EXPECT_TRUE(job.IndirizzoMail.isEmpty());
    EXPECT_TRUE(job.OggettoMail.isEmpty());
    EXPECT_TRUE(job.ElencoTitoli.isEmpty());
}

TEST_F(ProvaDispatch, BookingFilesExtractsAndAttachmentsEachOnce)
{
    const QString a = indirizzoUnico();
    iniSmtp("[Testo mail IT]\r\nNASCONDI_TESTO_PDF=1\r\n[BOA]\r\nALLEGO=si\r\n");
    const QString pratica = cartella.scrivi(QStringLiteral("job/d0042.txt"), "PRATICA 42\r\n");
    const QString contratto = cartella.scrivi(QStringLiteral("job/Contratto.pdf"), "%PDF-1.4 contratto");
    const QString manca = cartella.percorso(QStringLiteral("job/manca.pdf"));
    lavoroConPdf("@TITO FATTURA 42\r\n@FILE " + pratica.toUtf8() + "\r\n@BOA altro\r\nprima\r\n@boa\r\nPRENOTAZIONE 42\r\n"
                 "@FINE\r\n",
                 QStringLiteral("FATTURA 42"), QStringLiteral("F0042"));
    StatoLavoro &job = lavoro();
    job.IndirizzoMail = a;
    job.ElencoAllegati = {QString(), contratto, contratto.toUpper(), manca, contratto};
    frm.ChkSmtp = [] { return true; };
    frm.Spedisci_Mail(false);

    const QList<MailRicevuta> r = posteRicevute(a);
    ASSERT_EQ(r.size(), 1);
    // No custom lines and no default paragraphs: seven blanks, then the
    // booking instructions with their typographic apostrophe; the missing
    // file is named, the contract's second spelling was a duplicate.
    EXPECT_TRUE(r[0].testo.startsWith(QStringLiteral("       \r\nUtilizzando il software ULKA hai la possibilità "
                                                     "d\u2019inserire la pratica")))
        << r[0].testo.toStdString();
    EXPECT_TRUE(r[0].testo.contains(QStringLiteral("(CTRL-V).\r\n")));
    EXPECT_TRUE(r[0].testo.endsWith(QStringLiteral("(CTRL-V).\r\n\r\n\r\n\r\n\r\nFile ") + manca + QStringLiteral("  NON trovato")))
        << r[0].testo.toStdString();
    // The PDF, the contract once, the booking file, the extract from the
    // line holding only "@boa".
    QStringList nomi;
    for (const AllegatoRicevuto &f : r[0].allegati)
        nomi << f.nome;
    EXPECT_EQ(nomi, (QStringList{QStringLiteral("F0042.PDF"), QStringLiteral("Contratto.pdf"), QStringLiteral("d0042.txt"),
                                 QStringLiteral("D0042.TTF")}));
    ASSERT_EQ(r[0].allegati.size(), 4);
    EXPECT_EQ(r[0].allegati[3].dati, QByteArray("@boa\r\nPRENOTAZIONE 42\r\n@FINE\r\n"));
    EXPECT_EQ(frm.PercorsoFileBOA, cartella.temp() + QStringLiteral("D0042.TTF"));
}

TEST_F(ProvaDispatch, ASmtpFailureStopsTheDispatchWithTheServersAnswer)
{
    iniSmtp();
    lavoroConPdf("@TITO FATTURA 1\r\n");
    lavoro().IndirizzoMail = indirizzoUnico(QStringLiteral("rifiuta"));
    lavoro().OggettoMail = QStringLiteral("FATTURA 1");
    frm.ChkSmtp = [] { return true; };
    try {
        frm.Spedisci_Mail(true);
        FAIL() << "a refused recipient is no mail sent";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), Err::SmtpRifiutato);
        EXPECT_TRUE(e.descrizione().contains(QStringLiteral("550")));
    }
    EXPECT_TRUE(QFileInfo::exists(cartella.temp() + QStringLiteral("F0001.PDF")));
}

TEST_F(ProvaDispatch, AnyOtherMailClientTakesTheSendmailRoute)
{
    const QString uno = indirizzoUnico(), due = indirizzoUnico();
    ini("[Testo mail IT]\r\nNASCONDI_TESTO_PDF=1\r\n");
    lavoroConPdf("@TITO Fattura 7\r\n", QStringLiteral("FATTURA 7"), QStringLiteral("F0007"));
    StatoLavoro &job = lavoro();
    // Two addresses, "Invia tutti": no dialog, through sendmail.
    job.IndirizzoMail = uno + u';' + due;
    job.OggettoMail = QStringLiteral("Fattura 7");
    frm.Check1 = [] { return true; };
    frm.gestoreMailto = [] { return QStringLiteral("thunderbird -compose %u"); };
    frm.Spedisci_Mail(true);
    const QList<MailRicevuta> r = posteRicevute(uno);
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r[0].destinatariBusta.contains(due));
    EXPECT_EQ(r[0].oggetto, QStringLiteral("FATTURA 7")) << "upper-cased";
    EXPECT_EQ(job.OggettoMail, QStringLiteral("FATTURA 7"));
    ASSERT_EQ(r[0].allegati.size(), 1);
    // A copy of the PDF under a name of its own.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^F0007_\\d+\\.pdf$")).match(r[0].allegati[0].nome).hasMatch())
        << r[0].allegati[0].nome.toStdString();
    EXPECT_EQ(r[0].allegati[0].dati, leggiFile(cartella.temp() + QStringLiteral("F0007.PDF")));

    // No address: the mail client's compose window, even with "Invia tutti".
    job.IndirizzoMail.clear();
    frm.Spedisci_Mail(true);
    const QList<Composizione> c = composizioni();
    ASSERT_EQ(c.size(), 1);
    EXPECT_TRUE(c[0].destinatari.isEmpty());
    EXPECT_EQ(c[0].oggetto, QStringLiteral("FATTURA 7"));
    EXPECT_TRUE(c[0].testo.startsWith(QStringLiteral("       ")));
    ASSERT_EQ(c[0].allegati.size(), 1);
    EXPECT_TRUE(QFileInfo(c[0].allegati[0]).fileName().startsWith(QStringLiteral("F0007_")));

    // An address that is no mailbox is the route's failure: nothing sent,
    // nothing handed to the client, the copy of the PDF gone.
    job.IndirizzoMail = QStringLiteral("Mario Rossi");
    try {
        frm.Spedisci_Mail(true);
        ADD_FAILURE() << "an address that is no mailbox is no send";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), Err::DestinatarioSconosciuto);
        EXPECT_TRUE(e.descrizione().endsWith(QStringLiteral(" in SendMail."))) << e.descrizione().toStdString();
        EXPECT_EQ(lavoro().NomeRoutine, QStringLiteral("frmMAPI - SENDMAIL"));
    }
    EXPECT_EQ(composizioni().size(), 1);
    // The copy handed to sendmail went once sent; the compose window's stays.
    EXPECT_EQ(QDir(cartella.temp()).entryList({QStringLiteral("F0007_*.pdf")}, QDir::Files).size(), 1);
}

TEST_F(ProvaDispatch, OutlooksRouteNamesMissingFilesItsOwnWayAndShowsItsErrors)
{
    const QString a = indirizzoUnico();
    ini("[Testo mail IT]\r\nNASCONDI_TESTO_PDF=1\r\n");
    lavoroConPdf("@TITO Fattura 8\r\n", QStringLiteral("FATTURA 8"), QStringLiteral("F0008"));
    StatoLavoro &job = lavoro();
    const QString manca = cartella.percorso(QStringLiteral("job/manca.pdf"));
    job.IndirizzoMail = a;
    job.OggettoMail = QStringLiteral("Fattura 8");
    job.ElencoAllegati = {QString(), manca};
    frm.Check1 = [] { return true; };
    frm.gestoreMailto = [] { return QStringLiteral("\"C:\\Programmi\\Office\\OUTLOOK.EXE\" -c IPM.Note /m \"%1\""); };
    frm.Spedisci_Mail(true);
    const QList<MailRicevuta> r = posteRicevute(a);
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].oggetto, QStringLiteral("Fattura 8")) << "as it is";
    EXPECT_TRUE(r[0].testo.endsWith(QStringLiteral("\r\nFile allegato: ") + manca + QStringLiteral("  NON trovato")));
    ASSERT_EQ(r[0].allegati.size(), 1);
    EXPECT_EQ(r[0].allegati[0].nome, QStringLiteral("F0008.PDF"));

    // No mail client for the compose window: the route fails, saying what
    // is missing in one sentence, the routine and what xdg-email said below.
    job.IndirizzoMail.clear();
    QFile::remove(cartella.percorso(QStringLiteral("dati/applications/vorpla-client-prova.desktop")));
    QFile::remove(cartella.percorso(QStringLiteral("config/mimeapps.list")));
    try {
        frm.Spedisci_Mail(true);
        ADD_FAILURE() << "a compose window that never opened is no send";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), Err::MailFallita);
        const QStringList righe = InvioMail::testoErrore(e).split(QStringLiteral("\r\n"));
        ASSERT_EQ(righe.size(), 3) << InvioMail::testoErrore(e).toStdString();
        EXPECT_EQ(righe[0], QStringLiteral("Su questo computer non è impostato alcun programma di posta elettronica che "
                                           "apra il messaggio: il documento non è stato inviato."));
        EXPECT_TRUE(righe[2].startsWith(QStringLiteral("Routine frmMAPI - SENDMAIL2000\r Errore N.32002 xdg-email (codice "
                                                       "di uscita 3): xdg-email: no method available")))
            << righe[2].toStdString();
        EXPECT_TRUE(righe[2].endsWith(QStringLiteral(" in Sendmail2000.")));
        // xdg-email's tries before its verdict are left out.
        EXPECT_FALSE(righe[2].contains(QStringLiteral("not found")));
    }
    EXPECT_TRUE(messaggi.testi.isEmpty());
}

TEST_F(ProvaDispatch, SmtpSendsEachRecipientOnce)
{
    // "Modifica E-mail" shows the document's address and hands it back with
    // what the user added; the copy is one of them too.
    const QString a = indirizzoUnico(), b = indirizzoUnico();
    iniSmtp("CC=" + b.toUtf8() + "\r\n");
    lavoroConPdf("@TITO FATTURA 5\r\n");
    lavoro().IndirizzoMail = a;
    lavoro().DestinatariModificati = a.toUpper() + QStringLiteral("; ") + b;
    frm.ChkSmtp = [] { return true; };
    frm.Spedisci_Mail(true);
    const QList<MailRicevuta> r = posteRicevute(a);
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].a, a + QStringLiteral(", ") + b);
    EXPECT_EQ(r[0].cc, QString());
    EXPECT_EQ(r[0].destinatariBusta, (QStringList{a, b}));

    // Nobody to send to (the copy is the agency's own): refused before the
    // server is asked anything.
    lavoro().IndirizzoMail.clear();
    lavoro().DestinatariModificati.clear();
    EXPECT_EQ(erroreDi([&] { frm.Spedisci_Mail(true); }), Err::SmtpRifiutato);
}
