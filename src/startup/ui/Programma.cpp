#include "Programma.h"

#include "FinestraAvanzamento.h"
#include "FinestraImpostazioni.h"
#include "FinestraEditor.h"
#include "FrmMain.h"
#include "startup/Form1.h"
#include "maintenance/AggiornamentoClient.h"
#include "startup/FormImpostazioni.h"
#include "mail/FrmMAPI.h"
#include "mail/InvioMail.h"
#include "mail/ui/FinestreMail.h"
#include "output/ComandoRender.h"
#include "pdf/CreaPdf.h"
#include "output/FRMCreaPDF.h"
#include "output/FormVorpla.h"
#include "output/FormPreview.h"
#include "output/VorplaTolvek.h"
#include "output/ui/Collocazione.h"
#include "output/ui/FrmPreview.h"
#include "output/ui/FrmVorpla.h"
#include "platform/DialogoStampante.h"
#include "platform/LavoroStampante.h"
#include "platform/MessaggiQt.h"
#include "platform/StampantiCups.h"
#include "startup/Avvio.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "terminal/ScambioTerminale.h"
#include "terminal/ui/FinestraMsg.h"
#include "common/AperturaDesktop.h"
#include "common/Avanzamento.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Routine.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/Messaggi.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"

#include <QApplication>
#include <QTimer>
#include <QGuiApplication>
#include <memory>
#include <cstdio>

namespace vorpla {

namespace {

void scrivi(const QString &testo)
{
    const QByteArray b = testo.toLocal8Bit();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fflush(stdout);
}

// What start-up decided, for a run without a display.
QString riepilogo(const FormMain &form, const Stampanti &stampanti, bool completato)
{
    const StatoLavoro &stato = lavoro();
    QString t;
    t += QStringLiteral("Vorpla %1: ").arg(form.caption.section(u' ', -1));
    if (stato.FileIngresso.isEmpty())
        t += QStringLiteral("no print file given.\n");
    else
        t += QStringLiteral("print file %1\n").arg(stato.FileIngresso);
    t += completato ? QStringLiteral("  start-up complete\n") : QStringLiteral("  start-up stopped by an error (see above)\n");
    t += QStringLiteral("  printer: %1%2\n")
             .arg(stampanti.corrente().isEmpty() ? QStringLiteral("(none installed)") : stampanti.corrente(),
                  form.controllo(QStringLiteral("lblPorta")).testo.trimmed().isEmpty()
                      ? QString()
                      : QStringLiteral(" on") + form.controllo(QStringLiteral("lblPorta")).testo);
    t += QStringLiteral("  copies: %1\n").arg(form.controllo(QStringLiteral("TXTNumCopie")).testo);
    if (!stato.IndirizzoMail.isEmpty())
        t += QStringLiteral("  mail to: %1\n").arg(stato.IndirizzoMail);
    if (!form.NumeroFax.isEmpty())
        t += QStringLiteral("  fax to: %1\n").arg(form.NumeroFax);
    if (stato.ContaFax > 0)
        t += QStringLiteral("  documents in the fax batch: %1\n").arg(stato.ContaFax);
    if (!form.Esegui.isEmpty())
        t += QStringLiteral("  job order: %1\n").arg(form.Esegui);
    t += QStringLiteral("  quality preview: %1\n").arg(form.AnteprimaQualita ? QStringLiteral("on") : QStringLiteral("off"));
    t += QStringLiteral("No display: the main window cannot wait for a user, so the job ends here; the print file is left as it was.\n");
    return t;
}

} // namespace

Programma::Programma(QStringList argomenti)
    : m_argomenti(std::move(argomenti))
{
}

bool Programma::senzaDisplay()
{
    const QString piattaforma = QGuiApplication::platformName();
    return piattaforma == QLatin1String("offscreen") || piattaforma == QLatin1String("minimal");
}

// The headless mail command: vorpla --mail [--fax] [--smtp] [--invia-tutti]
// [--allegato] [--qualita] [--invia-di-nuovo] PRINTFILE, the main window's
// mail (or fax) button with those boxes ticked; --invia-di-nuovo sends
// again the documents an earlier run of the print file sent.
struct ComandoMail
{
    bool attivo = false;
    bool fax = false, smtp = false, inviaTutti = false, allegato = false, qualita = false, inviaDiNuovo = false;
    QString file;
    QString errore; // a bad command line
};

static ComandoMail leggiComandoMail(const QStringList &argomenti)
{
    ComandoMail c;
    if (argomenti.value(0) != QLatin1String("--mail"))
        return c;
    c.attivo = true;
    for (qsizetype i = 1; i < argomenti.size(); ++i) {
        const QString &a = argomenti.at(i);
        if (a == QLatin1String("--fax"))
            c.fax = true;
        else if (a == QLatin1String("--smtp"))
            c.smtp = true;
        else if (a == QLatin1String("--invia-tutti"))
            c.inviaTutti = true;
        else if (a == QLatin1String("--allegato"))
            c.allegato = true;
        else if (a == QLatin1String("--qualita"))
            c.qualita = true;
        else if (a == QLatin1String("--invia-di-nuovo"))
            c.inviaDiNuovo = true;
        else if (a.startsWith(QLatin1String("--")) || !c.file.isEmpty())
            c.errore = QStringLiteral("unknown argument %1").arg(a);
        else
            c.file = a;
    }
    if (c.file.isEmpty() && c.errore.isEmpty())
        c.errore = QStringLiteral("no print file");
    return c;
}

int Programma::esegui()
{
    // The render command runs no start-up and opens no window; its messages
    // go to standard error.
    if (eComandoRender(m_argomenti))
        return eseguiComandoRender(m_argomenti);
    const ComandoMail comandoMail = leggiComandoMail(m_argomenti);
    if (!comandoMail.errore.isEmpty()) {
        scriviErrore(QStringLiteral("vorpla: %1\nusage: vorpla --mail [--fax] [--smtp] [--invia-tutti] [--allegato] "
                                    "[--qualita] [--invia-di-nuovo] PRINTFILE\n"
                                    "  one line a document on standard output: number, customer, recipients, outcome\n"
                                    "  --invia-di-nuovo  send again the documents an earlier run sent\n"
                                    "exit status: 0 every document sent; 1 a document not sent (no address, its PDF "
                                    "not made, refused) or an error;\n"
                                    "  75 a document not sent because the mail server failed for now (run again "
                                    "later: what went is not sent twice); 2 a bad command line")
                         .arg(comandoMail.errore));
        return 2;
    }

    const bool senzaSchermo = senzaDisplay();
    MessaggiQt messaggiQt;
    if (!senzaSchermo) {
        impostaMessaggi(&messaggiQt);
        // The printer dialog, the file dialogs and the standard buttons in
        // Italian (Qt's own translations, where installed).
        installaTraduzioniQt();
    }

    StampantiCups stampanti;
    FormMain form;
    ServiziAvvio servizi = serviziProgramma(&stampanti);
    ComandiMain comandi(form, servizi);
    // With a display the window exists from the start, hidden, so that what
    // start-up shows (the PDF printer installation) reaches the screen.
    std::unique_ptr<FrmMain> finestra;
    std::unique_ptr<FrmVorpla> finestraEtichette;
    std::unique_ptr<FinestraAvanzamento> finestraAvanzamento;
    if (!senzaSchermo) {
        finestra = std::make_unique<FrmMain>(form, comandi);
        // The windows come and go under the program's commands; hiding one
        // to show another never ends the program.
        QApplication::setQuitOnLastWindowClosed(false);
        // A long run's progress; its "Annulla" is the window's exit.
        finestraAvanzamento = std::make_unique<FinestraAvanzamento>([&finestra] { finestra->esci(); }, finestra.get());
        impostaOsservatoreAvanzamento(finestraAvanzamento.get());
    }
    struct SenzaOsservatore
    {
        ~SenzaOsservatore() { impostaOsservatoreAvanzamento(nullptr); }
    } senzaOsservatore;

    // Every copy is a print job on the current printer.
    servizi.stampa.nuovaCopia = [&stampanti] { return nuovaCopia(stampanti.corrente()); };
    servizi.stampa.fineCopia = fineCopia;
    // A PDF through the PDF output form: the current printer is consulted
    // for its name, page and text measures; no job is started on it.
    servizi.PdfDelLavoro = [&] {
        LavoroStampante stampante(stampanti.corrente(), trovanomeMaiuscolo(lavoro().FileIngresso));
        ServiziCreaPdf creaPdf;
        creaPdf.eventi = servizi.eventi;
        creaPdf.attendi = servizi.attendi;
        creaPdf.foglioEtichette = [&comandi] {
            const CatalogoEtichette &c = comandi.caricaFrmVorpla().catalogo;
            return QSizeF(Val(c.txtPX.Text), Val(c.txtPY.Text));
        };
        creaPdf.mostraFinestraPrincipale = [&form, &finestra] {
            form.visibile = true;
            if (finestra)
                finestra->show();
        };
        return PdfDelLavoro(stampante, creaPdf);
    };
    // The quality PDF: the printer form prints the job on PDFCreator, every
    // copy a print job with CreaPdf's title, and Ghostscript converts it.
    servizi.CreaPdf = [&](const QString &file) {
        AmbienteCreaPdf ambiente;
        ambiente.stampanti = &stampanti;
        ambiente.eventi = servizi.eventi;
        ambiente.attendi = servizi.attendi;
        ambiente.PercorsoDestinazione = form.PercorsoDestinazione;
        ambiente.stampaDocumento = [&](const QString &titolo) {
            ServiziSceltaVorplante stampa = servizi.stampa;
            stampa.nuovaCopia = [&stampanti, titolo] { return nuovaCopia(stampanti.corrente(), titolo); };
            return comandi.stampa(stampa);
        };
        CreaPdf(file, ambiente);
    };
    // This instance's jobs on the PDF printer, wherever the current printer is now.
    servizi.abbandonaStampa = [&stampanti] {
        for (const QString &coda : stampanti.elenco())
            if (coda.compare(QLatin1String(StampantePdf), Qt::CaseInsensitive) == 0)
                annullaLavoriConTitolo(coda, gettoneDelProcesso());
    };
    // The mail command: each document's PDF by its route, handed to the mail
    // dispatch (made once, on first use); the program ends through termina
    // unless a document was not sent or an error stopped the command (the
    // print file then stays for another try).
    std::unique_ptr<FrmMAPI> frmMAPI;
    int statoMail = FineNormale;
    servizi.inviaMail = [&](int indice) {
        if (!frmMAPI)
            frmMAPI = std::make_unique<FrmMAPI>();
        frmMAPI->posta.eventi = servizi.eventi;
        frmMAPI->ChkSmtp = [&form] { return form.controllo(QStringLiteral("ChkSmtp")).spuntato; };
        frmMAPI->Check1 = [&form] { return form.controllo(QStringLiteral("Check1")).spuntato; };
        InvioMail::Finestra valori;
        valori.indice = indice;
        valori.allegato = form.controllo(QStringLiteral("chkAttach")).spuntato;
        valori.inviaTutti = form.controllo(QStringLiteral("Check1")).spuntato;
        valori.smtp = form.controllo(QStringLiteral("ChkSmtp")).spuntato;
        valori.anteprimaQualita = form.AnteprimaQualita;
        valori.inviaDiNuovo = comandoMail.inviaDiNuovo;
        valori.numeriFax = form.NumeriFax;
        valori.NumeroFax = form.NumeroFax;
        valori.FaxPrima = form.FaxPrima;
        valori.FaxDopo = form.FaxDopo;
        InvioMail invio;
        invio.spostaFinestra = [&] {
            if (finestra)
                collocaFinestra(finestra.get(), QPoint(0, 0));
            servizi.abbassaFinestra();
        };
        invio.abilitaFinestra = [&finestra](bool abilitata) {
            if (finestra)
                finestra->setEnabled(abilitata);
        };
        invio.cursoreOccupato = servizi.cursoreOccupato;
        invio.attendi = servizi.attendi;
        // A document of a batch is printed from its own markers.
        invio.CreaPdf = [&](const QString &file) { comandi.CreaPdfDocumento(file); };
        invio.pdfRapido = [&] { servizi.PdfDelLavoro(); };
        invio.Spedisci_Mail = [&](bool allegato) { frmMAPI->Spedisci_Mail(allegato); };
        // Each document of a batch, in the window's mail label, or on
        // standard error without a window.
        invio.progresso = [&](int k, int n) {
            if (senzaSchermo) {
                scriviErrore(QStringLiteral("vorpla: document %1 of %2").arg(k).arg(n));
                return;
            }
            form.controllo(QStringLiteral("lblMail")).testo = QStringLiteral(" Documento %1 di %2").arg(k).arg(n);
            form.aggiorna();
            servizi.eventi();
        };
        // The mail command's line a document: number, customer, recipients,
        // outcome (tab-separated).
        invio.documentoConcluso = [&](const InvioMail::Documento &d) {
            if (!comandoMail.attivo)
                return;
            QString esito;
            switch (d.esito) {
            case InvioMail::Esito::Inviato: esito = QStringLiteral("inviato"); break;
            case InvioMail::Esito::SenzaIndirizzo: esito = QStringLiteral("senza indirizzo"); break;
            case InvioMail::Esito::GiaInviato: esito = QStringLiteral("già inviato"); break;
            case InvioMail::Esito::NonInviato: esito = QStringLiteral("non inviato: ") + d.motivo; break;
            }
            scrivi(QStringLiteral("documento %1\t%2\t%3\t%4\n").arg(d.numero).arg(d.cliente, d.destinatari, esito));
        };
        invio.mostraReport = [&](const QString &elenco, const QString &falliti) {
            if (senzaSchermo) {
                if (!elenco.trimmed().isEmpty())
                    scrivi(QStringLiteral("Elenco documenti non inviati perchè non è presente l'indirizzo mail del "
                                          "destinatario:\n")
                           + QString(elenco).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
                if (!falliti.isEmpty())
                    scrivi(QStringLiteral("Documenti non inviati per un errore:\n")
                           + QString(falliti).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
                return;
            }
            FormReportMail report(elenco, falliti, finestra.get());
            report.exec();
        };
        const bool finito = invio.esegui(valori);
        statoMail = invio.statoUscita();
        if (finito)
            termina();
    };
    if (!senzaSchermo)
        servizi.mostraModificaMail = [&] {
            auto *modifica = new FrmEditMail(lavoro().IndirizzoMail, [&comandi](const QString &d, const QString &t) {
                comandi.FrmEditMail_CmdMod_Click(d, t);
            }, finestra.get());
            modifica->show();
        };
    // The client self-update: the start-up part, then the window's Timer1
    // (every second) for the archive. A tick never starts inside another
    // (a tick waits letting events run).
    std::unique_ptr<AggiornamentoClient> aggiornamento;
    QTimer timer1;
    timer1.setInterval(AggiornamentoClient::IntervalloTimer);
    bool tickInCorso = false;
    QObject::connect(&timer1, &QTimer::timeout, [&] {
        if (tickInCorso || !aggiornamento)
            return;
        tickInCorso = true;
        try {
            aggiornamento->Timer1_Timer();
        } catch (const FineProgramma &f) {
            richiediFine(f.codice());
            QApplication::exit(f.codice());
        }
        tickInCorso = false;
    });
    servizi.AggiornaClient = [&] {
        ServiziAggiornamento s = serviziAggiornamentoProgramma();
        s.Timer1 = [&timer1](bool attivo) {
            if (attivo)
                timer1.start();
            else
                timer1.stop();
        };
        aggiornamento = std::make_unique<AggiornamentoClient>(s);
        aggiornamento->AggiornaClient();
    };

    // The text editor, modal, over the main window.
    if (!senzaSchermo) {
        servizi.mostraEditor = [&finestra](Form1 &editor) {
            FinestraEditor *w = nullptr;
            FinestraEditor dialogo(editor, [&w] { return chiediNomeFileTesto(w); }, finestra.get());
            w = &dialogo;
            dialogo.exec();
        };
        servizi.rialzaFinestra = [&finestra] {
            impostaInPrimoPiano(finestra.get(), true);
            finestra->show();
        };
    }

    // The voucher page settings, modal; confirmed, the job's PDF is made
    // again with them.
    servizi.Impostazioni = [&] {
        FormImpostazioni impostazioni([&servizi] { servizi.PdfDelLavoro(); });
        impostazioni.Form_Load();
        int indice = 1;
        if (!senzaSchermo) {
            FinestraImpostazioni dialogo(impostazioni, finestra.get());
            indice = dialogo.exec() == QDialog::Accepted ? 0 : 1;
        }
        impostazioni.Command1_Click(indice);
    };
    // The customer-specific documents: the data file named on the command
    // line, the kind chosen in the window's list, the copies box; one print
    // job on the current printer.
    servizi.stampaCliente = [&] {
        std::unique_ptr<Superficie> stampante;
        VorplaTolvek(
            [&]() -> Superficie & {
                if (!stampante)
                    stampante = nuovaCopia(stampanti.corrente());
                return *stampante;
            },
            lavoro().FileIngresso, form.controllo(QStringLiteral("CmbEtich")).testo,
            form.controllo(QStringLiteral("TXTNumCopie")).testo);
        // Nothing drawn, no job: no blank sheet comes out.
        if (stampante)
            fineCopia(*stampante);
    };
    servizi.CliccoVorpla = [&comandi] { comandi.CliccoVorpla(); };
    servizi.CliccoAnteprima = [&comandi] { comandi.CliccoAnteprima(); };
    // The preview's PDF in the desktop's viewer; without a display there is
    // none to start, and the file is named on standard output.
    servizi.apriDocumento = [senzaSchermo](const QString &file, const ServiziAvvio::Fallito &fallito) {
        if (senzaSchermo)
            scrivi(QStringLiteral("Preview: %1 (no display to show it on)\n").arg(file));
        else
            apriSenzaAttendere(QStringLiteral("xdg-open"), {file}, fallito);
    };
    // The program's own preview window, when the PDF could not be made.
    std::unique_ptr<FormPreview> anteprima;
    std::unique_ptr<FrmPreview> finestraAnteprima;
    servizi.mostraAnteprima = [&] {
        impostaRoutine(QStringLiteral("frmPreview"), QStringLiteral("Form_Load"));
        auto nuova = std::make_unique<FormPreview>(lavoro().FileIngresso);
        try {
            nuova->Form_Load();
        } catch (const ErroreVB &errore) {
            // The window's failures end the program.
            mostraErroreRoutine(errore);
            fine(FineConErrore);
        }
        if (senzaSchermo) {
            scrivi(QStringLiteral("Preview window: %1, %2 (no display to show it on)\n")
                       .arg(lavoro().FileIngresso, nuova->lblPagTot));
            return;
        }
        // The window goes before the preview it shows.
        finestraAnteprima.reset();
        anteprima = std::move(nuova);
        FrmPreview::Uscite uscite;
        // On to printing through the printer form, as a command of the main
        // window: the job printed, and the program ends.
        uscite.vorpla = [&] {
            finestraAnteprima->hide();
            finestra->eseguiComando([&] { comandi.frmPreview_cmdVorpla_Click(); });
        };
        uscite.esci = [&] {
            finestraAnteprima->hide();
            comandi.frmPreview_cmdEsci_Click();
            servizi.eventi();
            finestraAnteprima.release()->deleteLater();
        };
        finestraAnteprima = std::make_unique<FrmPreview>(*anteprima, std::move(uscite));
        finestraAnteprima->showMaximized();
        finestraAnteprima->raise();
        finestraAnteprima->activateWindow();
    };
    servizi.abbassaFinestra = [&finestra] {
        if (!finestra)
            return;
        impostaInPrimoPiano(finestra.get(), false);
        finestra->lower();
    };
    servizi.mostraFormEtichette = [&] {
        FormVorpla &frmvorpla = comandi.caricaFrmVorpla();
        frmvorpla.visibile = true;
        if (senzaSchermo)
            return;
        FrmVorpla::Uscite uscite;
        uscite.continua = [&] {
            comandi.frmvorpla_cmdVorpla_Click();
            finestraEtichette->hide();
        };
        uscite.annulla = [&comandi] { comandi.frmvorpla_cmdAnnulla_Click(); };
        uscite.chiusa = [&] {
            comandi.frmvorpla_Form_Unload();
            // The window goes once its close event is over.
            finestraEtichette.release()->deleteLater();
        };
        finestraEtichette = std::make_unique<FrmVorpla>(frmvorpla.catalogo, std::move(uscite));
        finestraEtichette->show();
    };
    if (!senzaSchermo)
        servizi.dialogoStampante = [&] { return mostraDialogoStampante(stampanti, finestra.get()); };

    // The hand-over to the terminal-server client, with its "Vorpla in
    // corso..." window when there is a display.
    std::unique_ptr<FinestraMsg> finestraMsg;
    servizi.KV_CheckSendTerm = [&](const QString &file) {
        ServiziTerminale terminale = serviziTerminale();
        if (!senzaSchermo) {
            auto msg = [&finestraMsg]() -> FinestraMsg & {
                if (!finestraMsg)
                    finestraMsg = std::make_unique<FinestraMsg>();
                return *finestraMsg;
            };
            terminale.mostraMsgFrm = [msg] { msg().mostra(); };
            terminale.copiaDaText1 = [msg](const QString &testo) { msg().copia(testo); };
        }
        return KV_CheckSendTerm(file, terminale);
    };

    Avvio avvio(form, servizi);
    int codice = FineNormale;
    try {
        if (comandoMail.attivo) {
            // The job as Ulka starts it, then the mail button with the boxes
            // ticked; the program ends with the command (termina), or stays
            // when it stopped.
            avvio.esegui(comandoMail.file);
            if (!avvio.completato())
                return FineConErrore;
            form.controllo(QStringLiteral("ChkSmtp")).spuntato = comandoMail.smtp;
            form.controllo(QStringLiteral("Check1")).spuntato = comandoMail.inviaTutti;
            form.controllo(QStringLiteral("chkAttach")).spuntato = comandoMail.allegato;
            comandi.Check2_Click(comandoMail.qualita);
            // 0 every document sent, 1 one not sent or an error, 75 one
            // not sent because the mail server failed for now.
            statoMail = FineConErrore;
            try {
                comandi.cmdEmail_Click(comandoMail.fax ? 1 : 0);
            } catch (const FineProgramma &f) {
                impostaMessaggi(nullptr);
                return f.codice() == FineNormale ? statoMail : f.codice();
            }
            impostaMessaggi(nullptr);
            return statoMail == FineNormale ? FineConErrore : statoMail;
        }
        // The command line is one string, as Ulka passes it.
        avvio.esegui(m_argomenti.join(u' '));
        codice = avvio.completato() ? FineNormale : FineConErrore;
        if (senzaSchermo)
            scrivi(riepilogo(form, stampanti, avvio.completato()));
        else if (form.visibile || (comandi.frmvorpla() && comandi.frmvorpla()->visibile))
            codice = QGuiApplication::exec();
        // Otherwise nothing is on screen and nothing is left to do.
    } catch (const FineProgramma &f) {
        codice = f.codice();
    }
    impostaMessaggi(nullptr);
    return codice;
}

} // namespace vorpla
