#pragma once
// The main window's commands, as the window forwards them: what the user
// clicked, applied to the window's state and the job. The printer output
// form (frmvorpla) lives here once loaded: by a label job's start-up, which
// shows its label window, or by the first print.

#include "output/FormVorpla.h"
#include "output/SceltaVorplante.h"

#include <QString>
#include <memory>

namespace vorpla {

class FormMain;
class Stampanti;
struct ServiziAvvio;

class ComandiMain
{
public:
    ComandiMain(FormMain &form, ServiziAvvio &servizi);
    ~ComandiMain();

    // Print button: in the customer-specific mode ("TOLVEK" after the print
    // file) the customer-specific print, then the end of the program;
    // otherwise CliccoVorpla.
    void cmdVorpla_Click();
    // The print command: a copies box that is not a number gives "Numero di
    // copie errato!" and the window stays; otherwise the printer form prints
    // the job (SCELTA_VORPLANTE) and the program ends through termina.
    // When the printing stopped on an error message the job's files are kept
    // and the program ends with the error status instead, so a document that
    // did not come out is never deleted.
    void CliccoVorpla();
    // An entry of the printer list chosen: it becomes the current and the
    // recorded printer, unless the list is being re-synchronised.
    void cmbPrinter_Click(int indice);
    // "Proprietà vorple Ulka" (0): the voucher settings; "Proprietà
    // vorplante" (1): the printer dialog, then the list re-synchronised on
    // the current printer.
    void cmdProp_Click(int indice);
    // The preview button: the document as a PDF in the desktop's viewer, by
    // the quality route (CreaPdf, then the user's printer again) when
    // "Anteprima di qualità" is ticked, otherwise by the PDF output form;
    // when that fails, the preview window instead. The printer and mail
    // controls and the two buttons are disabled meanwhile (and stay so when
    // the preview window opens); the main window is no longer on top.
    void cmdPreview_Click();
    // The same for start-up's preview-only and hidden jobs: NomeRoutine and
    // AnteprimaRichiesta are left alone, and the main window stays hidden.
    void CliccoAnteprima();
    // "Anteprima di qualità" ticked or unticked.
    void Check2_Click(bool spuntato);
    // "Invia con SMTP", "Invia tutti" and "Allegato" ticked or unticked: the
    // mail command reads them when it runs.
    void ChkSmtp_Click(bool spuntato);
    void Check1_Click(bool spuntato);
    void chkAttach_Click(bool spuntato);
    // An entry of the customer-specific "Tipo di etichette" list chosen.
    void CmbEtich_Click(int indice);
    // The preview window's print button: on to printing through the printer
    // form ("Continua" shows the main window, its commands on again), then
    // the print command, as its print button would.
    void frmPreview_cmdVorpla_Click();
    // The preview window closed: the main window has its commands back, and
    // is on top again.
    void frmPreview_cmdEsci_Click();
    // The desktop has no application for the preview's PDF: the program's
    // own preview window instead, as when the PDF could not be made.
    void visualizzatoreMancante();
    // The copies box edited.
    void TXTNumCopie_Change(const QString &testo);
    // "Vorpla + Email": prints the job, then runs the e-mail command.
    void CmdVplEma_Click();
    // "Pubblica": every document of the batch published as a PDF into the
    // folder tree of [PUBBLICA]; ends the program (exit status 1 when a
    // document could not be published).
    void CmdPub_Click();
    // E-mail (0) and fax (1) buttons.
    void cmdEmail_Click(int indice);
    // "Edit Mail": the mail editing window (FrmEditMail), not modal; its
    // "Modifica" keeps the recipients and the text for the SMTP route and
    // ticks "Invia con SMTP", the only route that uses them.
    void cmdEditEmail_Click();
    void FrmEditMail_CmdMod_Click(const QString &destinatari, const QString &testo);
    // Exit button, and closing the window (Form_QueryUnload). A PDF job of
    // this instance still being spooled (the marker of the temporary folder
    // names this job's print file) is abandoned first: its print job
    // cancelled, and after two seconds spool.ps, the job's ".ps" and the
    // marker deleted. Then the program ends, unless the download program of
    // the client update ("zol.exe") still runs: the window then stays.
    // An error shows "err: " + number + two blanks + description + two
    // blanks and the command is tried again, as closing the window does; an
    // error on the second try in a row ends the program anyway.
    void cmdEsci_Click();
    // The window's close request: the customers whose documents were not
    // mailed are listed, then the exit command runs.
    void Form_QueryUnload();
    // Any command this version does not have yet, by its routine name.
    // "Edit": the print file in the text editor (modal), or in the user's
    // own editor when it is longer than the editor takes.
    void Edit_Click();

    // The printer output form: loaded (Form_Load) on first use; raises
    // ErroreVB when its load fails (the form then stays unloaded).
    FormVorpla &caricaFrmVorpla();
    FormVorpla *frmvorpla() const { return m_frmvorpla.get(); }
    // The label window's "Continua": hides it and shows the main window; the
    // form stays loaded with the chosen format for the print.
    void frmvorpla_cmdVorpla_Click();
    // The label window's "Annulla": the program ends at once, nothing is
    // cleaned up.
    void frmvorpla_cmdAnnulla_Click();
    // The label window closed: the form is unloaded and the main window
    // shows again.
    void frmvorpla_Form_Unload();

    // Loads the printer form when needed and runs its copies loop with the
    // copies box on the given print services; false when the printing
    // stopped on an error message.
    bool stampa(const ServiziSceltaVorplante &servizi);
    // The quality PDF (CreaPdf) of a document of a batch or of a publishing
    // run: the printer form that prints it on the PDF printer is loaded on
    // the document's file, not the job's.
    void CreaPdfDocumento(const QString &file);

private:
    // False (after the message) when the copies box is not a number.
    bool copieValide();
    // The copies loop on the program's print services.
    bool stampa();
    // The preview of either command; `visibile`: the main window after it.
    void anteprima(bool visibile);
    void abilitaControlliAnteprima(bool abilitati);
    // The preview window, in front of the main window, which is no longer
    // on top meanwhile; the controls of the preview stay off.
    void mostraFinestraAnteprima();
    // The PDF job of this instance still being spooled, abandoned: its print
    // job cancelled, its PostScript files and the marker deleted.
    void abbandonaPdfInCorso();

    FormMain &m_form;
    ServiziAvvio &m_s;
    std::unique_ptr<FormVorpla> m_frmvorpla;
    int m_erroriUscita = 0; // exit commands in a row that failed
    bool m_stampaDocumento = false; // CreaPdfDocumento is printing a document
};

} // namespace vorpla
