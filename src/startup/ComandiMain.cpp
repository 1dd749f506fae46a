#include "ComandiMain.h"

#include "Form1.h"
#include "maintenance/Pubblicazione.h"

#include "FormMain.h"
#include "ServiziAvvio.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "output/CaricoLavoro.h"
#include "output/SceltaVorplante.h"
#include "common/LettoreRighe.h"
#include "common/CartellaProgramma.h"

#include <QFile>
#include <QFileInfo>

namespace vorpla {

namespace {
const QString Form = QStringLiteral("frmMain");

QString primaRigaMarcatore(const QString &percorso)
{
    LettoreRighe righe(percorso);
    QByteArrayView riga;
    return righe.prossima(riga) ? QString::fromLocal8Bit(riga) : QString();
}
} // namespace

ComandiMain::ComandiMain(FormMain &form, ServiziAvvio &servizi)
    : m_form(form), m_s(servizi)
{
}

ComandiMain::~ComandiMain() = default;

void ComandiMain::cmdVorpla_Click()
{
    impostaRoutine(Form, QStringLiteral("cmdVorpla_Click"));
    if (m_form.Parametri.size() > 1 && m_form.Parametri.at(1).toUpper() == QStringLiteral("TOLVEK")) {
        try {
            m_s.stampaCliente();
        } catch (const ErroreVB &errore) {
            mostraErroreRoutine(errore);
            fine(FineConErrore);
        }
        fine(FineNormale);
    }
    CliccoVorpla();
}

bool ComandiMain::copieValide()
{
    Controllo &copie = m_form.controllo(QStringLiteral("TXTNumCopie"));
    if (IsNumeric(copie.testo))
        return true;
    messaggi().mostra(QStringLiteral("Numero di copie errato!"));
    m_form.controlloConFocus = copie.nome;
    copie.selezioneInizio = 0;
    copie.selezioneLunghezza = int(qMin<qsizetype>(2, copie.testo.size()));
    m_form.aggiorna();
    return false;
}

FormVorpla &ComandiMain::caricaFrmVorpla()
{
    if (!m_frmvorpla) {
        auto form = std::make_unique<FormVorpla>();
        form->Form_Load();
        m_frmvorpla = std::move(form);
    }
    return *m_frmvorpla;
}

bool ComandiMain::stampa()
{
    return stampa(m_s.stampa);
}

bool ComandiMain::stampa(const ServiziSceltaVorplante &servizi)
{
    FormVorpla *form = nullptr;
    // A document of a batch or of a publishing run gets a printer form of
    // its own, loaded on its file: its page table, copies and document type
    // are its own, never the first document's (every document of a batch is
    // the same file, rewritten).
    std::unique_ptr<FormVorpla> delDocumento;
    try {
        if (m_stampaDocumento) {
            delDocumento = std::make_unique<FormVorpla>();
            delDocumento->Form_Load();
            form = delDocumento.get();
        } else {
            form = &caricaFrmVorpla();
        }
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
        return false;
    }
    // "@COPI": the copies are the box's, taken as the printing starts; a
    // document's are its own "@COPI".
    if (form->CopieDaFinestra)
        form->valori.NumCopie = delDocumento
                                    ? QString::number(Val(leggiMarcatoriLavoro(lavoro().FileIngresso).copieChieste))
                                    : m_form.controllo(QStringLiteral("TXTNumCopie")).testo;
    return SCELTA_VORPLANTE(*form, servizi);
}

void ComandiMain::CreaPdfDocumento(const QString &file)
{
    struct Documento
    {
        bool &attivo;
        explicit Documento(bool &a) : attivo(a) { attivo = true; }
        ~Documento() { attivo = false; }
    } documento(m_stampaDocumento);
    m_s.CreaPdf(file);
}

void ComandiMain::CliccoVorpla()
{
    impostaRoutine(Form, QStringLiteral("cmdVorpla_Click"));
    if (!copieValide())
        return;
    if (!stampa()) {
        // The message has been shown; the job's files stay for another try.
        m_form.aggiorna();
        fine(FineConErrore);
    }
    termina();
}

void ComandiMain::cmbPrinter_Click(int indice)
{
    Controllo &elenco = m_form.controllo(QStringLiteral("cmbPrinter"));
    if (indice < 0 || indice >= elenco.voci.size() || m_form.SelezioneInCorso)
        return;
    const QString nome = elenco.voci.at(indice);
    elenco.indice = indice;
    elenco.testo = nome;
    m_s.stampanti->impostaCorrente(nome);
    m_form.controllo(QStringLiteral("lblPorta")).testo = u' ' + m_s.stampanti->porta(nome);
    lavoro().DispositivoRegistrato = nome;
    m_form.aggiorna();
}

void ComandiMain::cmdProp_Click(int indice)
{
    impostaRoutine(Form, QStringLiteral("cmdProp_Click"));
    try {
        if (indice == 0) {
            m_s.Impostazioni();
            return;
        }
        m_form.SelezioneInCorso = true;
        if (m_s.dialogoStampante()) {
            // Select the entries in turn until the current printer's; while
            // the flag is set a selection does not change the printer.
            Controllo &elenco = m_form.controllo(QStringLiteral("cmbPrinter"));
            const QString corrente = m_s.stampanti->corrente();
            for (int i = 0; i < elenco.voci.size(); ++i) {
                elenco.indice = i;
                elenco.testo = elenco.voci.at(i);
                if (elenco.testo == corrente)
                    break;
            }
        }
    } catch (const ErroreVB &errore) {
        m_form.SelezioneInCorso = false;
        m_form.aggiorna();
        mostraErroreRoutine(errore);
        return;
    }
    m_form.SelezioneInCorso = false;
    m_form.aggiorna();
}

void ComandiMain::cmdPreview_Click()
{
    impostaRoutine(Form, QStringLiteral("cmdPreview_Click"));
    lavoro().AnteprimaRichiesta = true;
    anteprima(true);
}

void ComandiMain::CliccoAnteprima()
{
    anteprima(false);
}

void ComandiMain::abilitaControlliAnteprima(bool abilitati)
{
    for (const char *nome : {"Frame1", "Frame2", "cmdPreview", "cmdVorpla"})
        m_form.controllo(QString::fromLatin1(nome)).abilitato = abilitati;
    m_form.aggiorna();
}

void ComandiMain::anteprima(bool visibile)
{
    if (!copieValide())
        return;
    abilitaControlliAnteprima(false);
    // Both routes write it; CreaPdf names it ".PDF".
    const auto filePdf = [] { return KV_GetTempPath() + trovanome(lavoro().FileIngresso) + QStringLiteral(".pdf"); };
    const auto mostraPdf = [&](const QString &pdf) {
        // After "Errore di timeout!" there is no PDF to open.
        if (const QString trovato = trovaIgnorandoMaiuscole(pdf); QFileInfo::exists(trovato))
            m_s.apriDocumento(trovato, [this](const QString &errori) {
                scriviErrore(QStringLiteral("vorpla: no application for PDF files (%1): the preview window instead")
                                 .arg(errori));
                visualizzatoreMancante();
            });
        m_s.eventi();
        m_form.inPrimoPiano = false;
        m_s.abbassaFinestra();
    };
    if (m_form.AnteprimaQualita) {
        m_s.CreaPdf(lavoro().FileIngresso);
        mostraPdf(filePdf());
        // The quality route left the PostScript printer current.
        m_s.stampanti->selezionaIgnorandoMaiuscole(lavoro().DispositivoRegistrato);
    } else {
        const QString fatto = m_s.PdfDelLavoro();
        m_s.eventi();
        m_s.attendi(200);
        const QString pdf = filePdf();
        if (fatto.isEmpty() || !esisteIgnorandoMaiuscole(pdf)) {
            // The PDF could not be made: the program's own preview window,
            // with its own print and exit commands.
            mostraFinestraAnteprima();
            return;
        }
        mostraPdf(pdf);
    }
    m_s.eventi();
    m_form.visibile = visibile;
    abilitaControlliAnteprima(true);
}

void ComandiMain::mostraFinestraAnteprima()
{
    // The main window, always on top in the corner, would cover the
    // preview's top-left corner.
    m_form.inPrimoPiano = false;
    m_s.abbassaFinestra();
    m_form.aggiorna();
    m_s.mostraAnteprima();
}

void ComandiMain::visualizzatoreMancante()
{
    abilitaControlliAnteprima(false);
    mostraFinestraAnteprima();
}

void ComandiMain::frmPreview_cmdEsci_Click()
{
    m_form.inPrimoPiano = true;
    abilitaControlliAnteprima(true);
}

void ComandiMain::frmPreview_cmdVorpla_Click()
{
    // The printer form's "Continua" (loading it first), then the print.
    try {
        caricaFrmVorpla();
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
    }
    frmvorpla_cmdVorpla_Click();
    frmPreview_cmdEsci_Click();
    cmdVorpla_Click();
}

void ComandiMain::Check2_Click(bool spuntato)
{
    m_form.controllo(QStringLiteral("Check2")).spuntato = spuntato;
    m_form.AnteprimaQualita = spuntato;
}

void ComandiMain::ChkSmtp_Click(bool spuntato)
{
    m_form.controllo(QStringLiteral("ChkSmtp")).spuntato = spuntato;
}

void ComandiMain::Check1_Click(bool spuntato)
{
    m_form.controllo(QStringLiteral("Check1")).spuntato = spuntato;
}

void ComandiMain::chkAttach_Click(bool spuntato)
{
    m_form.controllo(QStringLiteral("chkAttach")).spuntato = spuntato;
}

void ComandiMain::CmbEtich_Click(int indice)
{
    Controllo &tipi = m_form.controllo(QStringLiteral("CmbEtich"));
    if (indice < 0 || indice >= tipi.voci.size())
        return;
    tipi.indice = indice;
    tipi.testo = tipi.voci.at(indice);
}

void ComandiMain::TXTNumCopie_Change(const QString &testo)
{
    m_form.controllo(QStringLiteral("TXTNumCopie")).testo = testo;
}

void ComandiMain::Edit_Click()
{
    impostaRoutine(Form, QStringLiteral("Edit_Click"));
    // Off the top while an editor is in front; back on top after the
    // program's own, which is modal. The user's own editor stays in front.
    m_form.inPrimoPiano = false;
    m_s.abbassaFinestra();
    try {
        Form1 editor;
        editor.carica();
        if (editor.Text1.size() <= Form1::LunghezzaMassima) {
            m_s.mostraEditor(editor);
            m_form.inPrimoPiano = true;
            m_s.rialzaFinestra();
        } else {
            m_s.editorEsterno(lavoro().FileIngresso, [this](const QString &errori) {
                // Nothing came in front after all.
                m_form.inPrimoPiano = true;
                m_form.aggiorna();
                messaggi().mostra(QStringLiteral("Il file di stampa è troppo grande per l'editor di Vorpla e non è "
                                                 "installato nessun programma per modificarlo.")
                                  + (errori.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + errori));
            });
        }
    } catch (const ErroreVB &errore) {
        // No editor in front after all.
        m_form.inPrimoPiano = true;
        mostraErroreRoutine(errore);
    }
    m_form.visibile = true;
    m_form.aggiorna();
}

void ComandiMain::CmdPub_Click()
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("CmdPub_Click"));
    ServiziPubblicazione servizi;
    // The PDF output form on the document, which is FileIngresso by then.
    servizi.pdfMese = [this](const QString &) { return m_s.PdfDelLavoro(); };
    servizi.CreaPdf = [this](const QString &documento) { CreaPdfDocumento(documento); };
    servizi.eventi = m_s.eventi;
    servizi.attendi = m_s.attendi;
    servizi.progresso = [this](int k, int n) {
        m_form.controllo(QStringLiteral("lblMail")).testo = QStringLiteral(" Documento %1 di %2").arg(k).arg(n);
        m_form.aggiorna();
        m_s.eventi();
    };
    int falliti = 0;
    try {
        falliti = Pubblicazione(std::move(servizi)).CmdPub_Click();
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
        fine(FineConErrore);
    }
    fine(falliti ? FineConErrore : FineNormale);
}

void ComandiMain::CmdVplEma_Click()
{
    // The copies box is checked by the e-mail command, after the printing.
    stampa();
    cmdEmail_Click(0);
}

void ComandiMain::cmdEmail_Click(int indice)
{
    impostaRoutine(Form, QStringLiteral("cmdEmail_Click") + QString::number(indice));
    if (!copieValide())
        return;
    try {
        m_s.inviaMail(indice);
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
    }
    m_form.aggiorna();
}

void ComandiMain::cmdEditEmail_Click()
{
    impostaRoutine(Form, QStringLiteral("cmdEditEmail_Click"));
    m_s.mostraModificaMail();
}

void ComandiMain::FrmEditMail_CmdMod_Click(const QString &destinatari, const QString &testo)
{
    lavoro().DestinatariModificati = destinatari;
    lavoro().TestoAggiunto = testo;
    m_form.controllo(QStringLiteral("ChkSmtp")).spuntato = true;
    m_form.aggiorna();
}

void ComandiMain::cmdEsci_Click()
{
    impostaRoutine(Form, QStringLiteral("cmdEsci_Click"));
    try {
        abbandonaPdfInCorso();
        m_erroriUscita = 0;
        // The download program of the client update must finish first.
        if (!m_s.CercaProcesso(QStringLiteral("zol.exe"), false))
            fine(FineNormale);
    } catch (const ErroreVB &errore) {
        messaggi().mostra(QStringLiteral("err: %1  %2  ").arg(errore.numero()).arg(errore.descrizione()));
        // The error path asks the window to close, which runs this command
        // again; the same error a second time no longer keeps the program.
        if (m_erroriUscita++ > 0) {
            m_erroriUscita = 0;
            fine(FineConErrore);
        }
        Form_QueryUnload();
    }
}

void ComandiMain::Form_QueryUnload()
{
    const QString &clienti = lavoro().ClientiSenzaMail;
    if (!clienti.isEmpty())
        messaggi().mostra(QStringLiteral("I clienti con le seguenti anagrafiche non sono stati inviati.\r\n"
                                         "Controllare l'indirizzo e-mail all'interno di Ulka.\r\n")
                          + clienti);
    cmdEsci_Click();
}

void ComandiMain::abbandonaPdfInCorso()
{
    const QString temp = KV_GetTempPath();
    const QString marcatore = temp + QStringLiteral("vorpla.SMR");
    if (!QFileInfo::exists(marcatore))
        return;
    const QString prima = primaRigaMarcatore(marcatore);
    m_s.eventi();
    // A job without a print file owns no PDF job (an empty name would match
    // every marker).
    const QString &file = lavoro().FileIngresso;
    if (file.isEmpty() || !prima.contains(file))
        return;
    m_s.abbandonaStampa();
    m_s.eventi();
    m_s.attendi(2000);
    // Still this job's after the pause: otherwise another instance holds the
    // printer now, and its files are not this job's to delete.
    if (!QFileInfo::exists(marcatore) || !primaRigaMarcatore(marcatore).contains(file))
        return;
    for (const QString &ps : {temp + QStringLiteral("spool.ps"), temp + trovanome(file) + QStringLiteral(".ps")})
        if (QFileInfo::exists(ps) && !QFile::remove(ps))
            throw ErroreVB(Err::PermessoNegato);
    if (!QFile::remove(marcatore) && QFileInfo::exists(marcatore))
        throw ErroreVB(Err::PermessoNegato);
}

void ComandiMain::frmvorpla_cmdVorpla_Click()
{
    if (m_frmvorpla)
        m_frmvorpla->visibile = false;
    m_form.visibile = true;
    m_form.aggiorna();
}

void ComandiMain::frmvorpla_cmdAnnulla_Click()
{
    fine(FineNormale);
}

void ComandiMain::frmvorpla_Form_Unload()
{
    m_frmvorpla.reset();
    m_form.visibile = true;
    m_form.aggiorna();
}

} // namespace vorpla
