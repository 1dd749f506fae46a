#pragma once
// The PDF output form (FRMCreaPDF): loading it turns the job's print file
// into a PDF through the document object, with no printer and no
// Ghostscript. It is never shown.
//
// Its load reads the job markers and counts the pages as the printer form's
// does (CaricoLavoro), with these differences: "@LARG" lines are skipped,
// "@COPI" sets NumCopie to the number in its columns 7 and 8 (NumCopie is
// empty otherwise), "@INTV" is not looked at, and no label catalogue is
// loaded, so the six label fields keep their initial texts. Then its
// SCELTA_VORPLANTE runs GRAFICA once (a printer whose name holds "ZETAFAX"
// makes NumCopie 1): the PDF interpreter draws the job on a new document
// object, which it saves as KV_GetTempPath + trovanome(print file) + ".PDF",
// and the object is released.
//
// The runtime printer is consulted for its device name, its page size and
// its text measures only; nothing is printed on it.
//
// Errors of the load and of SCELTA_VORPLANTE show the standard routine
// message; an error of GRAFICA has shown its own (or none, for a printing
// error on a "pdf" printer). The answer is the PDF written, or empty.

#include "interpreter/ValoriForm.h"

#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>

namespace vorpla {

class DocumentoPdf;
class Superficie;

struct ServiziCreaPdf
{
    // A new document object (the built-in one unless set).
    std::function<std::unique_ptr<DocumentoPdf>()> nuovoDocumento;
    // The printer form's label sheet, millimetres, for "@ETTI" (the printer
    // form is loaded for it; unset, a printer form is loaded on the job).
    std::function<QSizeF()> foglioEtichette;
    // Pending events, a wait that lets them run, the bar-code converter.
    std::function<void()> eventi;
    std::function<void(int ms)> attendi;
    std::function<void(const QString &programma, const QString &argomento)> avviaConvertitore;
    // Shows the main window again at the end.
    std::function<void()> mostraFinestraPrincipale;
};

class FRMCreaPDF
{
public:
    FRMCreaPDF(Superficie &stampante, ServiziCreaPdf servizi = {});

    // Loads the form on lavoro().FileIngresso: the whole PDF job.
    QString Form_Load();

    // What the interpreter reads from the form.
    ValoriForm valori;
    // Where the PDF goes; empty for the job's own name in the temporary
    // folder.
    QString destinazione;

    // The PDF file of the job.
    static QString filePdfDelLavoro();

private:
    bool SCELTA_VORPLANTE();

    Superficie &m_stampante;
    ServiziCreaPdf m_servizi;
    QString m_file;
};

// Makes the PDF of the job's print file on the runtime printer: what the
// main window, the preview, the mail and publishing call. The PDF written,
// or empty after a message.
QString PdfDelLavoro(Superficie &stampante, const ServiziCreaPdf &servizi = {});

} // namespace vorpla
