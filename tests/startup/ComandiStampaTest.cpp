// The main window's print commands on the job: the copies box, the printer
// form loaded by the print or by a label job, the copies loop drawing on
// recorded surfaces, the end of the program, the printer dialog's
// re-synchronisation and "Vorpla + Email".

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "interpreter/SuperficieRegistrata.h"
#include "output/FRMCreaPDF.h"
#include "output/FormVorpla.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"

#include <QFileInfo>
#include <QtEndian>
#include <gtest/gtest.h>
#include <optional>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ComandiStampa : public ::testing::Test
{
protected:
    ComandiStampa()
        : stampanti({{QStringLiteral("Office"), QStringLiteral("ipp://s/office")},
                     {QStringLiteral("Laser"), QStringLiteral("socket://192.0.2.9")},
                     {QStringLiteral("ZETAFAX_Office"), QStringLiteral("file:/dev/null")}},
                    QStringLiteral("Office")),
          comandi(form, servizi)
    {
        azzeraLavoro();
        stampanti.impostaCorrente(QStringLiteral("Office"));
        lavoro().DispositivoRegistrato = QStringLiteral("Office");
        servizi.stampanti = &stampanti;
        servizi.eventi = [] {};
        servizi.cursoreOccupato = [](bool) {};
        servizi.stampa.dispositivo = [this] { return stampanti.corrente(); };
        servizi.stampa.nuovaCopia = [this]() -> std::unique_ptr<Superficie> {
            if (erroreStampante)
                throw ErroreVB(Err::ErroreStampante);
            chiamate << QStringLiteral("copia su ") + stampanti.corrente();
            return std::make_unique<SuperficieRegistrata>(stampanti.corrente());
        };
        servizi.stampa.fineCopia = [this](Superficie &s) {
            auto &r = static_cast<SuperficieRegistrata &>(s);
            QStringList testi;
            for (const OperazioneRegistrata &op : r.operazioni())
                if (op.testo == QLatin1String("UNO") || op.testo == QLatin1String("DUE")
                    || (conNumeriPagina && op.testo.startsWith(QLatin1String("Pagina "))))
                    testi << op.testo;
            chiamate << QStringLiteral("fine copia: %1 pagine, %2").arg(r.pagine()).arg(testi.join(u'|'));
        };
        servizi.stampa.impostaPredefinita = [this] { chiamate << QStringLiteral("predefinita"); };
        servizi.stampa.stampaFile = [this](const QString &p, const QString &f) {
            chiamate << QStringLiteral("allegato %1 su %2").arg(QFileInfo(f).fileName(), p);
        };
        servizi.dialogoStampante = [this] {
            chiamate << QStringLiteral("dialogo");
            // A list click while the dialog is open changes nothing.
            comandi.cmbPrinter_Click(1);
            if (sceltaDialogo.isEmpty())
                return false;
            stampanti.impostaCorrente(sceltaDialogo);
            return true;
        };
        servizi.stampaCliente = [this] { chiamate << QStringLiteral("stampa cliente"); };
        servizi.inviaMail = [this](int i) { chiamate << QStringLiteral("mail %1").arg(i); };
        servizi.Impostazioni = [this] { chiamate << QStringLiteral("Impostazioni"); };

        Controllo &elenco = form.controllo(QStringLiteral("cmbPrinter"));
        elenco.voci = stampanti.elenco();
        elenco.indice = 0;
        elenco.testo = elenco.voci.at(0);
        form.controllo(QStringLiteral("lblPorta")).testo = QStringLiteral(" ipp://s/office");
        form.visibile = true;
    }

    // A print file in the temporary folder, as Ulka writes it.
    QString fileStampa(const QByteArray &contenuto)
    {
        const QString f = cartella.temp() + QStringLiteral("F1.TXT");
        cartella.scrivi(f.mid(cartella.radice().size() + 1), contenuto);
        lavoro().FileIngresso = f;
        return f;
    }

    void copie(const QString &testo) { comandi.TXTNumCopie_Change(testo); }

    // Runs a command; the exit status when it ended the program.
    template<typename F>
    std::optional<int> esegui(F &&comando)
    {
        try {
            comando();
        } catch (const FineProgramma &f) {
            return f.codice();
        }
        return std::nullopt;
    }

    int copieStampate() const { return int(chiamate.filter(QStringLiteral("copia su")).size()); }

    CartellaProva cartella;
    StampantiFisse stampanti;
    FormMain form;
    ServiziAvvio servizi;
    ComandiMain comandi;
    MessaggiRegistrati messaggi;
    QStringList chiamate;
    QString sceltaDialogo;
    bool erroreStampante = false;
    bool conNumeriPagina = false; // the page numbers drawn recorded too
};

const QByteArray DueCopie = "@COPI 2\r\n@TITO UNO\r\n@PAGE\r\n@TITO DUE\r\n";

} // namespace

TEST_F(ComandiStampa, CopiesThatAreNotANumberStopThePrintAndKeepTheWindow)
{
    fileStampa(DueCopie);
    for (const QString &testo : {QStringLiteral("abc"), QString(), QStringLiteral("x")}) {
        messaggi.testi.clear();
        copie(testo);
        EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), std::nullopt) << testo.toStdString();
        EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Numero di copie errato!")});
        const Controllo &box = form.controllo(QStringLiteral("TXTNumCopie"));
        EXPECT_EQ(form.controlloConFocus, QStringLiteral("TXTNumCopie"));
        EXPECT_EQ(box.selezioneInizio, 0);
        EXPECT_EQ(box.selezioneLunghezza, qMin(2, int(testo.size())));
    }
    EXPECT_EQ(copieStampate(), 0);
    EXPECT_TRUE(form.visibile);
    EXPECT_TRUE(QFileInfo::exists(lavoro().FileIngresso));
}

TEST_F(ComandiStampa, PrintDrawsTheCopiesOfTheBoxThenEndsThroughTermina)
{
    const QString f = fileStampa(DueCopie);
    const QString pdf = cartella.scrivi(QStringLiteral("ulka/temp/F1.pdf"), "%PDF");
    copie(QStringLiteral("2"));
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineNormale);
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("copia su Office"), QStringLiteral("fine copia: 2 pagine, UNO|DUE"),
                                     QStringLiteral("copia su Office"), QStringLiteral("fine copia: 2 pagine, UNO|DUE")}));
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    // termina: the job's files are gone.
    EXPECT_FALSE(QFileInfo::exists(f));
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(ComandiStampa, WithoutCopiMarkerTheBoxDoesNotCount)
{
    fileStampa("@TITO UNO\r\n");
    copie(QStringLiteral("3"));
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineNormale);
    EXPECT_EQ(copieStampate(), 1);
}

TEST_F(ComandiStampa, ZeroCopiesPrintNothingAndStillEnd)
{
    fileStampa(DueCopie);
    copie(QStringLiteral("0"));
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineNormale);
    EXPECT_EQ(copieStampate(), 0);
}

TEST_F(ComandiStampa, AFailedPrintKeepsTheJobAndEndsWithTheErrorStatus)
{
    const QString f = fileStampa(DueCopie);
    erroreStampante = true;
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Routine frmvorpla - SCELTA_VORPLANTE\r Errore N.482 ")))
        << messaggi.testi.at(0).toStdString();
    EXPECT_TRUE(QFileInfo::exists(f));
}

TEST_F(ComandiStampa, AMissingPrintFileIsReportedByTheFormLoad)
{
    lavoro().FileIngresso = cartella.temp() + QStringLiteral("MANCA.TXT");
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Routine frmvorpla - Form_Load\r Errore N.53 ")));
    EXPECT_EQ(comandi.frmvorpla(), nullptr);
    EXPECT_EQ(copieStampate(), 0);
}

TEST_F(ComandiStampa, CustomerSpecificModeRunsItsPrintOnlyFromTheButton)
{
    fileStampa(DueCopie);
    form.Parametri = {lavoro().FileIngresso, QStringLiteral("tolvek")};
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineNormale);
    EXPECT_EQ(chiamate, QStringList{QStringLiteral("stampa cliente")});
    EXPECT_TRUE(QFileInfo::exists(lavoro().FileIngresso));

    // The hidden job's print (CliccoVorpla) never takes that branch.
    chiamate.clear();
    EXPECT_EQ(esegui([&] { comandi.CliccoVorpla(); }), FineNormale);
    EXPECT_EQ(copieStampate(), 1);
    EXPECT_FALSE(chiamate.contains(QStringLiteral("stampa cliente")));
}

TEST_F(ComandiStampa, CustomerSpecificPrintThatFailsIsReportedAndEnds)
{
    fileStampa(DueCopie);
    form.Parametri = {lavoro().FileIngresso, QStringLiteral("TOLVEK")};
    servizi.stampaCliente = [] { throw ErroreVB(Err::FileNonTrovato); };
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Routine frmMain - cmdVorpla_Click\r Errore N.53 ")));
}

TEST_F(ComandiStampa, PrinterDialogResynchronisesTheListOnTheChosenPrinter)
{
    // Confirmed: the list walks to the printer chosen; the list click during
    // the dialog and the walk's own selections change nothing else.
    sceltaDialogo = QStringLiteral("ZETAFAX_Office");
    comandi.cmdProp_Click(1);
    const Controllo &elenco = form.controllo(QStringLiteral("cmbPrinter"));
    EXPECT_EQ(elenco.indice, 2);
    EXPECT_EQ(elenco.testo, QStringLiteral("ZETAFAX_Office"));
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("ZETAFAX_Office"));
    EXPECT_EQ(lavoro().DispositivoRegistrato, QStringLiteral("Office"));
    EXPECT_FALSE(form.SelezioneInCorso);

    // A printer the list does not know: the walk ends on the last entry.
    form.controllo(QStringLiteral("cmbPrinter")).indice = 0;
    sceltaDialogo = QStringLiteral("Nuova");
    comandi.cmdProp_Click(1);
    EXPECT_EQ(form.controllo(QStringLiteral("cmbPrinter")).indice, 2);
    EXPECT_FALSE(form.SelezioneInCorso);

    // Cancelled: nothing moves, and the list works again afterwards.
    stampanti.impostaCorrente(QStringLiteral("Office"));
    form.controllo(QStringLiteral("cmbPrinter")).indice = 0;
    sceltaDialogo.clear();
    comandi.cmdProp_Click(1);
    EXPECT_EQ(form.controllo(QStringLiteral("cmbPrinter")).indice, 0);
    EXPECT_FALSE(form.SelezioneInCorso);
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Office"));
    comandi.cmbPrinter_Click(1);
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Laser"));
    EXPECT_EQ(lavoro().DispositivoRegistrato, QStringLiteral("Laser"));
    EXPECT_EQ(form.controllo(QStringLiteral("lblPorta")).testo, QStringLiteral(" socket://192.0.2.9"));
    EXPECT_TRUE(messaggi.testi.isEmpty());

    // The voucher settings are the other properties button.
    comandi.cmdProp_Click(0);
    EXPECT_EQ(chiamate.last(), QStringLiteral("Impostazioni"));
}

TEST_F(ComandiStampa, PrinterDialogFailureClearsTheResynchronisationFlag)
{
    servizi.dialogoStampante = []() -> bool { throw ErroreVB(Err::AzioneNonSupportata); };
    comandi.cmdProp_Click(1);
    EXPECT_FALSE(form.SelezioneInCorso);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Routine frmMain - cmdProp_Click\r Errore N.445 ")));
}

TEST_F(ComandiStampa, PrintAndMailPrintsFirstThenTheMailCommandChecksTheCopies)
{
    fileStampa(DueCopie);
    copie(QStringLiteral("1"));
    EXPECT_EQ(esegui([&] { comandi.CmdVplEma_Click(); }), std::nullopt);
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("copia su Office"), QStringLiteral("fine copia: 2 pagine, UNO|DUE"),
                                     QStringLiteral("mail 0")}));

    // Copies that are not a number: the print attempt reports the loop's
    // error, then the mail command says so, and nothing is mailed.
    chiamate.clear();
    copie(QStringLiteral("abc"));
    EXPECT_EQ(esegui([&] { comandi.CmdVplEma_Click(); }), std::nullopt);
    EXPECT_EQ(copieStampate(), 0);
    EXPECT_FALSE(chiamate.contains(QStringLiteral("mail 0")));
    EXPECT_EQ(messaggi.testi, (QStringList{QStringLiteral("Routine frmvorpla - SCELTA_VORPLANTE\r Errore N.13 Type mismatch"),
                                           QStringLiteral("Numero di copie errato!")}));
}

TEST_F(ComandiStampa, LabelJobPrintsWithTheFormatChosenInTheCatalogue)
{
    // A catalogue of two formats; the job asks for the catalogue.
    auto record = [](const char *nome, qint32 px, qint32 py, qint32 marg, qint32 ex, qint32 ey) {
        QByteArray r = QByteArray(nome).leftJustified(20, ' ', true);
        for (qint32 v : {px, py, marg, ex, ey}) {
            char b[4];
            qToLittleEndian(v, b);
            r.append(b, 4);
        }
        return r;
    };
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"),
                    record("A4 tre colonne", 210, 297, 10, 70, 37) + record("Buste", 220, 110, 5, 100, 50));
    fileStampa("@LARG ETIC\r\n@PERC\r\n@ETIC ROSSI MARIO\r\n");
    lavoro().LavoroEtichette = true;

    // Start-up loads the form and shows its label window.
    FormVorpla &f = comandi.caricaFrmVorpla();
    ASSERT_EQ(f.catalogo.cmbFormati.size(), 2);
    EXPECT_EQ(f.catalogo.txtPX.Text, QStringLiteral("210"));
    f.catalogo.selezionaFormato(1);
    EXPECT_EQ(f.catalogo.txtPX.Text, QStringLiteral("220"));

    // "Continua": the main window again, the form kept for the print.
    form.visibile = false;
    f.visibile = true;
    comandi.frmvorpla_cmdVorpla_Click();
    EXPECT_TRUE(form.visibile);
    EXPECT_FALSE(f.visibile);
    ASSERT_EQ(comandi.frmvorpla(), &f);

    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineNormale);
    EXPECT_EQ(copieStampate(), 1);
    EXPECT_EQ(f.valori.txtPX, QStringLiteral("220"));
    EXPECT_EQ(f.valori.txtPY, QStringLiteral("110"));
    EXPECT_EQ(f.valori.txtMarg, QStringLiteral("5"));
    EXPECT_EQ(f.valori.txtEtX, QStringLiteral("100"));
    EXPECT_EQ(f.valori.txtETY, QStringLiteral("50"));
}

TEST_F(ComandiStampa, LabelWindowClosedOrCancelled)
{
    fileStampa("@LARG ETIC\r\n@ETIC ROSSI MARIO\r\n");
    lavoro().LavoroEtichette = true;
    comandi.caricaFrmVorpla().visibile = true;
    form.visibile = false;
    // Closing the window unloads the form and shows the main window; the
    // print loads it again.
    comandi.frmvorpla_Form_Unload();
    EXPECT_EQ(comandi.frmvorpla(), nullptr);
    EXPECT_TRUE(form.visibile);
    // "Annulla" ends the program at once, the job's files untouched.
    EXPECT_EQ(esegui([&] { comandi.frmvorpla_cmdAnnulla_Click(); }), FineNormale);
    EXPECT_TRUE(QFileInfo::exists(lavoro().FileIngresso));
    EXPECT_EQ(esegui([&] { comandi.cmdVorpla_Click(); }), FineNormale);
    EXPECT_EQ(copieStampate(), 1);
}

TEST_F(ComandiStampa, PublishButtonPublishesTheBatchThenEndsWithItsStatus)
{
    const QString albero = cartella.percorso(QStringLiteral("pubblicati"));
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"),
                    "[PUBBLICA]\r\nABILITATO=SI\r\nTIPO=mese\r\nPERCORSO=" + albero.toUtf8() + "\\\r\n");
    bool pdfFatti = true;
    servizi.attendi = [](int) {};
    servizi.PdfDelLavoro = [&]() -> QString {
        if (!pdfFatti)
            return {};
        SuperficieRegistrata stampante(stampanti.corrente());
        FRMCreaPDF pdf(stampante);
        return pdf.Form_Load();
    };
    const QByteArray lotto = "@AARI 2026\r\n@MMRI 12\r\n@CCLI A\r\n@TITO UNO\r\n@FAXS\r\n@CCLI B\r\n@TITO DUE\r\n@FAXS\r\n";
    fileStampa(lotto);
    EXPECT_EQ(esegui([&] { comandi.CmdPub_Click(); }), FineNormale) << messaggi.testi.join(u'|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(albero + QStringLiteral("/2026/12/A122026.PDF")));
    EXPECT_TRUE(QFileInfo::exists(albero + QStringLiteral("/2026/12/B122026.PDF")));
    EXPECT_EQ(form.controllo(QStringLiteral("lblMail")).testo, QStringLiteral(" Documento 2 di 2"));

    // No PDF made: each document reported, and the error status.
    pdfFatti = false;
    messaggi.testi.clear();
    fileStampa(lotto);
    EXPECT_EQ(esegui([&] { comandi.CmdPub_Click(); }), FineConErrore);
    EXPECT_EQ(messaggi.testi.size(), 2);
}

TEST_F(ComandiStampa, EachDocumentOfABatchIsPrintedFromItsOwnMarkers)
{
    // The quality route prints each document of a batch (or of a publishing
    // run) from the same file, rewritten: a 1-page document, then a 3-page
    // one asking two copies. The job's own copies box says 1.
    servizi.CreaPdf = [this](const QString &file) {
        lavoro().FileIngresso = file;
        comandi.stampa(servizi.stampa);
    };
    conNumeriPagina = true;
    fileStampa("@COPI 1\r\n@TITO UNO\r\n");
    copie(QStringLiteral("1"));
    const QString documento = cartella.temp() + QStringLiteral("Documento0001.stx");
    scriviFile(documento, "@COPI 1\r\n@SNPG S\r\n@TITO UNO\r\n@PAGE\r\n");
    comandi.CreaPdfDocumento(documento);
    scriviFile(documento, "@COPI 2\r\n@SNPG S\r\n@TITO DUE\r\n@PAGE\r\n@PAGE\r\n@PAGE\r\n");
    comandi.CreaPdfDocumento(documento);
    const QString tre = QStringLiteral("fine copia: 3 pagine, DUE|Pagina 1 di 3|Pagina 2 di 3|Pagina 3 di 3");
    EXPECT_EQ(chiamate.filter(QStringLiteral("fine copia")),
              (QStringList{QStringLiteral("fine copia: 1 pagine, UNO|Pagina 1 di 1"), tre, tre}));
    // The job's own form is not the documents'.
    EXPECT_EQ(comandi.frmvorpla(), nullptr);
}
