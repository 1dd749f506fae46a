#pragma once
// CreaPdf: the "quality" PDF of a print file. The printer output form prints
// the job on the PostScript printer "PDFCreator", whose backend writes it as
// spool.ps into the spool folder; the file is taken under the job's own name
// and turned into PDF by Ghostscript in this process.
//
// Every instance on the machine (one per terminal-server user) shares that
// printer and its spool.ps, so the route is held by one job at a time
// through the marker vorpla.SMR of the spool folder (MarcatoreSpool):
//  - a marker left over (older than 120 seconds, or held by a process of this
//    machine that no longer runs) is deleted; any other one is waited for, in
//    12,000 polls of 10 ms, a dead holder being noticed within a second;
//  - after the whole wait an interactive job says "Errore di timeout!" and
//    makes no PDF; a PDF-only job waits again (a live holder is never robbed
//    of the printer: two jobs in one spool.ps would mix two customers'
//    documents);
//  - the marker is taken in one step, and released at the end, also when the
//    job fails.
// Before printing, a spool.ps left by an earlier job is deleted, and the
// spool file taken is checked to be this job's: every print job is titled
// "[" + token + "] " + the print file's name, and a spool file whose
// PostScript title does not hold the token (a late job of a holder that
// died, a file put there) is deleted and waited past. A PDF already at the
// output path is deleted before the conversion, so it never passes for
// this job's.
//
// A PDF is whole before it is the job's: the spool file must end as a
// print stream ends ("%%EOF", as many pages as it says), Ghostscript must
// report success, and its PDF, written beside the output path under a
// hidden name (.vorpla-PID.pdf.part), must read back whole (qpdf) with the
// spool file's page count; only then is it renamed over the output path.
// Anything less is the job's failure, and nothing half written is left
// where a user or the mail looks. The PDF's document title is the
// document's subject ("@TITO"), else the print file's name.
//
// The marker is retried every 200 ms while the folder refuses it. Waits the
// spooler and Ghostscript decide are bounded: the spool file must
// appear within attesaSpoolMs of the print, a file held by the printer or by
// Ghostscript must be released within attesaFileTrattenutoMs. No printer
// "PDFCreator" at all fails at once, before anything is printed.
//
// Failures: in an interactive job the message "ERRORE N° " + number + two
// blanks + description, in a PDF-only job none (the line goes to standard
// error); then a record in Logging.smr of the spool folder (date, NUMBER=,
// DESCRIPTION=, RIGA= the last milestone passed: "2008" waiting, "2017" the
// wait over, "2025" the printer held; FILE= the print file, 55 hyphens) and
// the program ends with the error status (FineProgramma).

#include <QString>
#include <functional>

namespace vorpla {

class Stampanti;

struct AmbienteCreaPdf
{
    Stampanti *stampanti = nullptr;
    std::function<void()> eventi;          // let pending window events run
    std::function<void(int ms)> attendi;   // sleep, letting events run
    // Prints the job on the current printer through the printer output
    // form, every print job titled `titolo`; false when the printing stopped
    // on an error message.
    std::function<bool(const QString &titolo)> stampaDocumento;
    // PostScript to PDF (ConvertiPsInPdf when unset): false when it failed.
    std::function<bool(const QString &ps, const QString &pdf)> converti;
    // The main window's destination of a "NO" job ("" otherwise).
    QString PercorsoDestinazione;

    int attesaSpoolMs = 180000;
    int attesaFileTrattenutoMs = 30000;
};

// Makes the PDF of NomeFile (which becomes FileIngresso) and answers its
// path; "" when an interactive job timed out waiting for the printer.
QString CreaPdf(const QString &NomeFile, AmbienteCreaPdf &ambiente);

// What the title of every print job CreaPdf starts in this process holds
// ("vorpla " + process number + "-"), followed by the job's own number.
QString gettoneDelProcesso();

} // namespace vorpla
