// The e-mail and fax command's documents: the single send and the batch
// split at "@FAXS", the header lines carried forward, the addresses of each
// document, the documents not sent, the PDF route of each, and the end.

#include "ProvaPosta.h"

#include "common/ModPubblico.h"
#include "mail/InvioMail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaInvio : public ::testing::Test
{
protected:
    ProvaInvio()
    {
        azzeraLavoro();
        invio.spostaFinestra = [this] { ++spostamenti; };
        invio.pdfRapido = [this] {
            ++rapidi;
            ProvaPosta::scriviPdf(cartella.temp() + trovanome(lavoro().FileIngresso) + QStringLiteral(".PDF"),
                                  QStringLiteral("PDF"));
        };
        invio.CreaPdf = [this](const QString &file) {
            qualita << file;
            ProvaPosta::scriviPdf(cartella.temp() + trovanome(file) + QStringLiteral(".PDF"), QStringLiteral("PDF"));
        };
        invio.Spedisci_Mail = [this](bool allegato) {
            inviati << Inviato{lavoro().IndirizzoMail, QString::fromLatin1(leggiFile(lavoro().FileIngresso)), allegato,
                               lavoro().OggettoMail, lavoro().ElencoAllegati};
        };
        invio.mostraReport = [this](const QString &elenco, const QString &errori) {
            report << elenco;
            falliti << errori;
        };
        invio.progresso = [this](int k, int n) { passi << QStringLiteral("%1/%2").arg(k).arg(n); };
    }

    // The print file, its counts as start-up makes them.
    void lavoroDa(const QByteArray &righe)
    {
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("job/L0001.txt"), righe);
        lavoro().ContaFax = qint16(righe.count("@FAXS"));
        lavoro().ContaInt = qint16(righe.count("@INT1"));
    }

    struct Inviato
    {
        QString indirizzo, documento;
        bool allegato;
        QString oggetto;
        QStringList allegati;
    };
    CartellaProva cartella;
    InvioMail invio;
    QList<Inviato> inviati;
    QStringList qualita, report, falliti, passi;
    int rapidi = 0, spostamenti = 0;
    MessaggiRegistrati messaggi;
};

const QByteArray Lotto = "@COPI 1\r\n@FAXD Rossi\r\n@EMAI rossi@esempio.it\r\n@EMA2 rossi2@esempio.it\r\n@TITO Uno\r\n@FAXS\r\n"
                         "@FAXD Verdi\r\n@TITO Due\r\n@FAXS\r\n"
                         "@FAXD Bianchi\r\n@LARG 080VER\r\n@emai minuscolo@esempio.it\r\n@EMAI bianchi@esempio.it\r\n@TITO Tre\r\n@FAXS\r\n"
                         "@TITO Coda mai inviata\r\n";

} // namespace

TEST_F(ProvaInvio, ABatchIsSplitAtItsEndsAndCarriesItsHeaderForward)
{
    lavoroDa(Lotto);
    const QString file = lavoro().FileIngresso;
    InvioMail::Finestra f;
    f.allegato = true;
    ASSERT_TRUE(invio.esegui(f));
    EXPECT_EQ(lavoro().FileIngresso, file) << "restored";
    EXPECT_EQ(spostamenti, 1);
    // Without "Invia tutti" and with one letterhead at most, the document
    // without an address is still handed over (the mail client asks).
    ASSERT_EQ(inviati.size(), 3);
    EXPECT_EQ(inviati[0].indirizzo, QStringLiteral("rossi@esempio.it;rossi2@esempio.it"));
    EXPECT_EQ(inviati[1].indirizzo, QString());
    EXPECT_EQ(inviati[2].indirizzo, QStringLiteral("bianchi@esempio.it")) << "\"@emai\" is not the marker";
    EXPECT_TRUE(inviati[0].allegato);
    // Each document: the header so far, a blank line, its lines from the
    // previous "@FAXS" on; "@COPI" and "@LARG" only in front.
    EXPECT_EQ(inviati[0].documento, QStringLiteral("@COPI 1\r\n\r\n@FAXD Rossi\r\n@EMAI rossi@esempio.it\r\n"
                                                   "@EMA2 rossi2@esempio.it\r\n@TITO Uno\r\n\r\n"));
    EXPECT_EQ(inviati[1].documento, QStringLiteral("@COPI 1\r\n\r\n@FAXS\r\n@FAXD Verdi\r\n@TITO Due\r\n\r\n"));
    EXPECT_TRUE(inviati[2].documento.startsWith(QStringLiteral("@COPI 1\r\n@LARG 080VER\r\n\r\n@FAXS\r\n@FAXD Bianchi\r\n")));
    EXPECT_FALSE(inviati[2].documento.contains(QStringLiteral("@LARG 080VER\r\n@emai")));
    for (const Inviato &i : inviati)
        EXPECT_FALSE(i.documento.contains(QStringLiteral("Coda"))) << "text after the last @FAXS is never sent";
    EXPECT_EQ(rapidi, 3);
    EXPECT_EQ(passi, (QStringList{QStringLiteral("1/3"), QStringLiteral("2/3"), QStringLiteral("3/3")}));
    EXPECT_TRUE(report.isEmpty());
    // The batch's work files go with it.
    EXPECT_TRUE(QDir(cartella.temp()).entryList({QStringLiteral("Documento0001.*")}, QDir::Files).isEmpty());
}

TEST_F(ProvaInvio, DocumentsWithoutAnAddressAreListedInsteadOfSent)
{
    // "Invia tutti": the second document is listed, the others mailed.
    lavoroDa(Lotto);
    InvioMail::Finestra f;
    f.inviaTutti = true;
    ASSERT_TRUE(invio.esegui(f));
    ASSERT_EQ(inviati.size(), 2);
    EXPECT_EQ(invio.ElencoNonInviati, QStringLiteral("Verdi\r\n"));
    EXPECT_EQ(report, QStringList{QStringLiteral("Verdi\r\n")});
    EXPECT_TRUE(lavoro().ClientiSenzaMail.isEmpty());

    // Several letterheads: listed as a customer without mail too, ticked or
    // not; the customer of the text after the last "@FAXS" is not.
    azzeraLavoro();
    inviati.clear();
    InvioMail secondo = invio;
    secondo.ElencoNonInviati.clear();
    lavoroDa("@INT1 A\r\n" + Lotto + "@INT1 B\r\n");
    f.inviaTutti = false;
    f.anteprimaQualita = true;
    // (The same print file again: what went the first time is not skipped.)
    f.inviaDiNuovo = true;
    ASSERT_TRUE(secondo.esegui(f));
    EXPECT_EQ(inviati.size(), 2);
    EXPECT_EQ(lavoro().ClientiSenzaMail, QStringLiteral("Verdi\r\n"));
    EXPECT_EQ(secondo.ElencoNonInviati, QStringLiteral("Verdi\r\n"));
    // The quality route for each document sent, on its own file.
    EXPECT_EQ(qualita.size(), 2);
}

TEST_F(ProvaInvio, TheFaxButtonAndTheSingleSend)
{
    // One "@FAXS": no batch. The fax button takes the fax addresses.
    lavoroDa("@FAXN 051 123\r\n@TITO Uno\r\n@FAXS\r\n");
    InvioMail::Finestra f;
    f.indice = 1;
    f.NumeroFax = QStringLiteral("051123@fax.esempio.it");
    bool abilitata = true;
    invio.abilitaFinestra = [&](bool a) { abilitata = a; };
    ASSERT_TRUE(invio.esegui(f));
    ASSERT_EQ(inviati.size(), 1);
    EXPECT_EQ(inviati[0].indirizzo, f.NumeroFax);
    EXPECT_TRUE(abilitata);

    // A batch of faxes: each document's number between the prefix and suffix.
    inviati.clear();
    lavoroDa("@FAXN 051 1\r\n@FAXS\r\n@FAXN 051 2\r\n@FAXS\r\n");
    f.FaxPrima = QStringLiteral("fax+");
    f.FaxDopo = QStringLiteral("@gateway.esempio.it");
    ASSERT_TRUE(invio.esegui(f));
    ASSERT_EQ(inviati.size(), 2);
    EXPECT_EQ(inviati[0].indirizzo, QStringLiteral("fax+0511@gateway.esempio.it"));
    EXPECT_EQ(inviati[1].indirizzo, QStringLiteral("fax+0512@gateway.esempio.it"));

    // No PDF made: nothing sent, and the program stays open.
    inviati.clear();
    lavoroDa("@TITO Uno\r\n");
    QFile::remove(cartella.temp() + QStringLiteral("L0001.PDF"));
    invio.pdfRapido = [] {};
    EXPECT_FALSE(invio.esegui(InvioMail::Finestra{}));
    EXPECT_TRUE(inviati.isEmpty());
    EXPECT_TRUE(abilitata);
}

TEST_F(ProvaInvio, EachDocumentStartsFromNothing)
{
    // Start-up took the file's last address; an earlier document left its
    // subject and attachments. By SMTP a document with nobody to send to is
    // one without an address.
    lavoroDa("@FAXD Rossi\r\n@TITO Uno\r\n@FAXS\r\n@FAXD Verdi\r\n@EMAI verdi@esempio.it\r\n@TITO Due\r\n@FAXS\r\n"
             "@TITO Tre\r\n@FAXS\r\n");
    lavoro().IndirizzoMail = QStringLiteral("verdi@esempio.it");
    lavoro().OggettoMail = QStringLiteral("ALTRO CLIENTE");
    lavoro().ElencoAllegati = {QString(), QStringLiteral("/srv/altro.pdf")};
    InvioMail::Finestra f;
    f.smtp = true;
    ASSERT_TRUE(invio.esegui(f));
    ASSERT_EQ(inviati.size(), 1);
    EXPECT_EQ(inviati[0].indirizzo, QStringLiteral("verdi@esempio.it"));
    EXPECT_EQ(inviati[0].oggetto, QString());
    EXPECT_EQ(inviati[0].allegati, QStringList{QString()});
    // Listed by customer, or by number without one; never under the
    // previous document's customer.
    EXPECT_EQ(invio.ElencoNonInviati, QStringLiteral("Rossi\r\nDocumento 3\r\n"));
    EXPECT_EQ(invio.statoUscita(), 1);
}

TEST_F(ProvaInvio, AFaxNumberIsOneNumberNeverRecipients)
{
    lavoroDa("@FAXD Rossi\r\n@FAXN 0612345@evil.com;x\r\n@FAXS\r\n@FAXD Verdi\r\n@FAXN +39 (06) 123-45/67\r\n@FAXS\r\n");
    InvioMail::Finestra f;
    f.indice = 1;
    f.FaxPrima = QStringLiteral("fax");
    f.FaxDopo = QStringLiteral("@fax.esempio.it");
    EXPECT_FALSE(invio.esegui(f)) << "a document refused is no send";
    ASSERT_EQ(inviati.size(), 1);
    EXPECT_EQ(inviati[0].indirizzo, QStringLiteral("fax+39(06)123-45/67@fax.esempio.it"));
    ASSERT_EQ(invio.documenti.size(), 2);
    EXPECT_EQ(invio.documenti[0].esito, InvioMail::Esito::NonInviato);
    EXPECT_TRUE(invio.documenti[0].motivo.contains(QStringLiteral("Numero di fax non valido: \"0612345@evil.com;x\"")))
        << invio.documenti[0].motivo.toStdString();
    EXPECT_EQ(falliti.value(0).left(7), QStringLiteral("Rossi: "));

    // The single send: the numbers as start-up read them.
    inviati.clear();
    InvioMail singolo = invio;
    singolo.documenti.clear();
    lavoroDa("@FAXN 0612345\r\n@FA2N 0612345@evil.com;x\r\n@TITO Uno\r\n");
    f.numeriFax = {QStringLiteral("0612345"), QStringLiteral("0612345@evil.com;x")};
    f.NumeroFax = QStringLiteral("fax0612345@fax.esempio.it; fax0612345@evil.com;x@fax.esempio.it");
    EXPECT_FALSE(singolo.esegui(f));
    EXPECT_TRUE(inviati.isEmpty());
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi[0].contains(QStringLiteral("Errore N.32014 Numero di fax non valido")))
        << messaggi.testi[0].toStdString();
}
