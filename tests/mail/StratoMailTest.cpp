// The mail layer over the real mail systems of the test command: messages
// built with GMime and sent to the SMTP server with libcurl, handed to the
// real sendmail, or given to the desktop's mail client; read back as a mail
// reader reads them.

#include "ProvaPosta.h"

#include "mail/ClientPosta.h"
#include "mail/InvioSmtp.h"
#include "mail/MessaggioMail.h"

#include <QFile>
#include <QRegularExpression>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

ServerSmtp serverDiProva()
{
    ServerSmtp s;
    s.nome = QStringLiteral("127.0.0.1");
    s.porta = portaPosta();
    s.attesaSecondi = 20;
    return s;
}

class ProvaStratoMail : public ProvaPosta
{
};

} // namespace

TEST_F(ProvaStratoMail, SmtpDeliversSubjectBodyAndFilesAsAMailReaderExpects)
{
    const QString a = indirizzoUnico(), cc = indirizzoUnico(QStringLiteral("copia"));
    const QString pdf = cartella.temp() + QStringLiteral("Fattura città.pdf");
    scriviPdf(pdf, QStringLiteral("FATTURA"));
    const QString testo = cartella.scrivi(QStringLiteral("job/D123.TXT"), "PRATICA 123\r\nRIGA\r\n");
    MessaggioMail m;
    m.mittente = QStringLiteral("agenzia@vorpla.prova");
    m.destinatari = {a};
    m.copie = {cc};
    m.oggetto = QStringLiteral("Fattura n. 12 \u2013 città già pagata");
    m.testo = QStringLiteral("Gentile cliente,\r\nin allegato la fattura della città.\r\n");
    m.allegati = {pdf, testo};
    inviaSmtp(serverDiProva(), m.mittente, m.destinatari + m.copie, m.mime());

    const QList<MailRicevuta> ricevute = posteRicevute(a);
    ASSERT_EQ(ricevute.size(), 1);
    const MailRicevuta &r = ricevute.first();
    EXPECT_EQ(r.mittenteBusta, m.mittente);
    EXPECT_TRUE(r.destinatariBusta.contains(cc));
    EXPECT_EQ(r.oggetto, m.oggetto);
    // RFC 2047: the words outside ASCII travel as encoded words.
    EXPECT_TRUE(QString::fromLatin1(r.grezzo).contains(
        QRegularExpression(QStringLiteral("^Subject: [^\r\n]*=\\?utf-8\\?[bq]\\?"),
                           QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption)))
        << r.grezzo.left(600).toStdString();
    EXPECT_EQ(r.a, a);
    EXPECT_EQ(r.cc, cc);
    EXPECT_EQ(r.testo, m.testo);
    ASSERT_EQ(r.allegati.size(), 2);
    EXPECT_EQ(r.allegati[0].nome, QStringLiteral("Fattura città.pdf"));
    EXPECT_TRUE(r.grezzo.contains("filename*=")) << "RFC 2231 name";
    EXPECT_EQ(r.allegati[0].tipo, QStringLiteral("application/pdf"));
    EXPECT_EQ(r.allegati[0].codifica, QStringLiteral("base64"));
    EXPECT_EQ(r.allegati[0].dati, leggiFile(pdf));
    EXPECT_EQ(r.allegati[1].nome, QStringLiteral("D123.TXT"));
    EXPECT_EQ(r.allegati[1].tipo, QStringLiteral("text/plain"));
    EXPECT_EQ(r.allegati[1].codifica, QStringLiteral("base64"));
    EXPECT_EQ(r.allegati[1].dati, leggiFile(testo));
}

TEST_F(ProvaStratoMail, NoTextAddsAHeaderOrARecipient)
{
    const QString a = indirizzoUnico(), spia = indirizzoUnico(QStringLiteral("spia"));
    MessaggioMail m;
    m.mittente = QStringLiteral("agenzia@vorpla.prova");
    m.destinatari = {a};
    m.oggetto = QStringLiteral("Fattura\r\nBcc: ") + spia;
    m.testo = QStringLiteral("ciao\r\n");
    const QString nome = cartella.scrivi(QStringLiteral("job/x\r\nBcc: y.txt"), "x");
    m.allegati = {nome};
    inviaSmtp(serverDiProva(), m.mittente, m.destinatari, m.mime());
    const QList<MailRicevuta> r = posteRicevute(a);
    ASSERT_EQ(r.size(), 1);
    EXPECT_FALSE(r[0].oggetto.contains(u'\n'));
    EXPECT_TRUE(r[0].oggetto.startsWith(QStringLiteral("Fattura")));
    EXPECT_FALSE(r[0].grezzo.contains("\r\nBcc:"));
    EXPECT_FALSE(r[0].destinatariBusta.contains(spia));
    ASSERT_EQ(r[0].allegati.size(), 1);
    EXPECT_FALSE(r[0].allegati[0].nome.contains(u'\n'));

    // An address with a line break is no address: refused before anything is sent.
    for (const QString &guasto : {a + QStringLiteral("\r\nBcc: ") + spia, QStringLiteral("Rossi <") + a + u'>',
                                  a + QStringLiteral(",") + spia, QStringLiteral("senza-chiocciola")}) {
        MessaggioMail g = m;
        g.destinatari = {guasto};
        try {
            g.mime();
            ADD_FAILURE() << guasto.toStdString();
        } catch (const ErroreVB &e) {
            EXPECT_EQ(e.numero(), Err::DestinatarioSconosciuto);
        }
    }
    EXPECT_TRUE(posteRicevute(spia).isEmpty());
}

TEST_F(ProvaStratoMail, SmtpFailuresSayWhatTheServerAnswered)
{
    MessaggioMail m;
    m.mittente = QStringLiteral("agenzia@vorpla.prova");
    m.destinatari = {indirizzoUnico(QStringLiteral("rifiuta"))};
    m.oggetto = QStringLiteral("x");
    try {
        inviaSmtp(serverDiProva(), m.mittente, m.destinatari, m.mime());
        FAIL() << "a refused recipient is not sent";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), Err::SmtpRifiutato);
        EXPECT_TRUE(e.descrizione().contains(QStringLiteral("550"))) << e.descrizione().toStdString();
        EXPECT_TRUE(e.descrizione().contains(QStringLiteral("User unknown"))) << e.descrizione().toStdString();
    }

    // Nobody listening: a connection failure naming server and port.
    ServerSmtp spento = serverDiProva();
    spento.porta = 1;
    try {
        inviaSmtp(spento, m.mittente, {indirizzoUnico()}, m.mime());
        FAIL() << "nothing listens on port 1";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), Err::SmtpConnessione);
        EXPECT_TRUE(e.descrizione().contains(QStringLiteral("127.0.0.1"))) << e.descrizione().toStdString();
    }

    // With a login the failure never tells the password.
    spento.utente = QStringLiteral("agenzia");
    spento.password = QStringLiteral("segreta-123");
    try {
        inviaSmtp(spento, m.mittente, {indirizzoUnico()}, m.mime());
        FAIL() << "nothing listens on port 1";
    } catch (const ErroreVB &e) {
        EXPECT_FALSE(e.descrizione().contains(QStringLiteral("segreta-123")));
        EXPECT_FALSE(QString::fromUtf8(e.what()).contains(QStringLiteral("segreta-123")));
    }
}

TEST_F(ProvaStratoMail, TheClientRoutesUseSendmailAndTheDesktopsMailClient)
{
    const QString uno = indirizzoUnico(), due = indirizzoUnico();
    const QString pdf = cartella.temp() + QStringLiteral("F1.PDF");
    scriviPdf(pdf, QStringLiteral("FATTURA"));
    ClientPosta posta;
    posta.SignOn();
    EXPECT_NE(posta.SessionID(), 0);
    posta.Compose();
    posta.RecipIndex(0);
    posta.RecipType(1);
    posta.RecipAddress(QStringLiteral("SMTP:") + uno);
    posta.ResolveName();
    posta.RecipIndex(1);
    posta.RecipAddress(due);
    posta.ResolveName();
    posta.MsgSubject = QStringLiteral("FATTURA 1");
    posta.MsgNoteText = QStringLiteral("Testo\r\n");
    posta.AttachmentPathName(pdf);
    posta.Send(false);
    const QList<MailRicevuta> r = posteRicevute(uno);
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r[0].destinatariBusta.contains(due));
    EXPECT_EQ(r[0].mittenteBusta, QStringLiteral("agenzia@vorpla.prova")); // sendmail's own sender
    EXPECT_EQ(r[0].oggetto, QStringLiteral("FATTURA 1"));
    EXPECT_EQ(r[0].testo, QStringLiteral("Testo\r\n"));
    ASSERT_EQ(r[0].allegati.size(), 1);
    EXPECT_EQ(r[0].allegati[0].dati, leggiFile(pdf));

    // Resolution is a syntax check.
    posta.Compose();
    posta.RecipAddress(QStringLiteral("Mario Rossi"));
    EXPECT_THROW(posta.ResolveName(), ErroreVB);

    // With the dialog the desktop's mail client gets it all.
    posta.Compose();
    posta.RecipAddress(uno);
    posta.MsgSubject = QStringLiteral("Città");
    posta.MsgNoteText = QStringLiteral("Riga 1\r\nRiga 2");
    posta.AttachmentPathName(pdf);
    posta.Send(true);
    const QList<Composizione> c = composizioni();
    ASSERT_EQ(c.size(), 1);
    EXPECT_EQ(c[0].destinatari, QStringList{uno});
    EXPECT_EQ(c[0].oggetto, QStringLiteral("Città"));
    EXPECT_EQ(QString(c[0].testo).remove(u'\r'), QStringLiteral("Riga 1\nRiga 2"));
    EXPECT_EQ(c[0].allegati, QStringList{pdf});

    // A client that fails is an error of the layer, never a mail sent.
    QFile::remove(cartella.percorso(QStringLiteral("dati/applications/vorpla-client-prova.desktop")));
    QFile::remove(cartella.percorso(QStringLiteral("config/mimeapps.list")));
    EXPECT_THROW(posta.Send(true), ErroreVB);
    EXPECT_EQ(composizioni().size(), 1);
}
