#pragma once
// What start-up calls outside itself: the platform (events, waits, programs,
// fonts, printers) and the commands and services of other modules. They are
// passed in as functions, so start-up's decisions are tested with recorded
// calls and run for real in the program.

#include "output/SceltaVorplante.h"

#include <QString>
#include <functional>

namespace vorpla {

class Form1;
class Stampanti;

struct ServiziAvvio
{
    Stampanti *stampanti = nullptr;

    std::function<void()> eventi;            // let pending window events run
    std::function<void(int ms)> attendi;     // wait, letting events run
    std::function<void(bool)> cursoreOccupato;

    // Running programs whose name contains the text (ignoring case); with the
    // flag, the first one is terminated and the answer is false.
    std::function<bool(const QString &nome, bool termina)> CercaProcesso;
    std::function<void()> AggiornaClient;    // client self-update
    std::function<void(const QString &archivio, const QString &cartella)> EstraiInCartella;
    // Starts a program of the program folder (found ignoring case) without
    // waiting; raises error 53 when there is no such file.
    std::function<void(const QString &percorso)> avviaProgramma;

    // Creates and releases one PDF report component object: raises error
    // 429 when its class is not registered.
    std::function<void()> creaPdfReport;
    std::function<void(const QString &dll)> registraPdfReport;
    // Makes the PDF of the job's print file through the PDF output form on
    // the current printer: the PDF written, or empty after a message.
    std::function<QString()> PdfDelLavoro;

    std::function<int(const QString &file)> KV_CheckSendTerm;
    std::function<void(const QString &file)> CreaPdf;
    // Cancels this instance's print jobs still in the spooler on the PDF
    // printer (a PDF job being spooled, abandoned by the exit).
    std::function<void()> abbandonaStampa;
    // The main window's print command without the customer-specific test
    // (ComandiMain::CliccoVorpla), for hidden jobs.
    std::function<void()> CliccoVorpla;
    std::function<void()> CliccoAnteprima;
    // Opens a document with the desktop's application for it, not waiting
    // (the PDF viewer of the preview); `fallito` is called later, with what
    // the opener said, when the desktop has no application for it.
    using Fallito = std::function<void(const QString &errori)>;
    std::function<void(const QString &file, Fallito fallito)> apriDocumento;
    // Moves the main window to the bottom of the stacking order (it is no
    // longer on top), neither moving nor resizing it.
    std::function<void()> abbassaFinestra;
    // The preview window (frmPreview) on the job, not blocking.
    std::function<void()> mostraAnteprima;
    // Loads the printer output form of a label job and shows its label
    // window (not blocking).
    std::function<void()> mostraFormEtichette;

    // The printer form's copies loop on the program's current printer: a new
    // print job a copy and its end, the device name, the default printer
    // and the attachments.
    ServiziSceltaVorplante stampa;
    // The system printer dialog on the current printer: true when the user
    // confirmed it (the current printer is then the one chosen), false when
    // the user cancelled.
    std::function<bool()> dialogoStampante;
    // The text editor window on the text, modal (returns when it closed).
    std::function<void(Form1 &editor)> mostraEditor;
    // The main window always on top again, where it is.
    std::function<void()> rialzaFinestra;
    // The file in the user's own editor ($VISUAL, $EDITOR, else the
    // desktop's application for it), not waited for; `fallito` as for
    // apriDocumento, when none could open it.
    std::function<void(const QString &file, Fallito fallito)> editorEsterno;
    // The voucher page settings dialog, modal.
    std::function<void()> Impostazioni;
    // The customer-specific document print ("TOLVEK" mode).
    std::function<void()> stampaCliente;
    // The mail command past its copies check (index 0 e-mail, 1 fax).
    std::function<void(int indice)> inviaMail;
    // The mail editing window on the document's recipients, not modal.
    std::function<void()> mostraModificaMail;

    // The user's font folder and the registration of a font file copied there.
    QString cartellaFont;
    std::function<void(const QString &file)> registraFont;
};

// The program's services that need neither a window nor a printer; those
// with no display answer as a user who cannot be there would (a dialog
// cancelled, the editor closed unchanged). The print jobs (stampa.nuovaCopia,
// fineCopia), the PDF routes (PdfDelLavoro, CreaPdf), the preview window, the
// mail command, the customer-specific print and the two main-window commands
// that start-up calls (CliccoVorpla, mostraFormEtichette) belong to the
// windows and the print support: the program binds them (ui/Programma).
ServiziAvvio serviziProgramma(Stampanti *stampanti);

} // namespace vorpla
