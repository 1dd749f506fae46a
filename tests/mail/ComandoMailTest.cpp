// The headless mail command in real processes: vorpla --mail makes each
// document's PDF with the PDF output form and mails it to the test SMTP
// server; the messages are read back, their PDF with poppler.

#include "ProvaPosta.h"

#include <QFile>

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

    EsitoProcesso mail(const QStringList &opzioni, const QString &file)
    {
        return eseguiVorpla(cartella, QStringList{QStringLiteral("--mail")} + opzioni + QStringList{file},
                            [this](QProcessEnvironment &env) {
                                env.insert(QStringLiteral("XDG_CONFIG_HOME"), cartella.percorso(QStringLiteral("config")));
                            });
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

    const EsitoProcesso sbagliato = eseguiVorpla(cartella, {QStringLiteral("--mail"), QStringLiteral("--telex"), file});
    EXPECT_EQ(sbagliato.codice, 2);
    EXPECT_TRUE(sbagliato.errori.contains(QStringLiteral("usage: vorpla --mail")));
}
