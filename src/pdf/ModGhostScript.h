#pragma once
// The PostScript-to-PDF conversion of the "quality" PDF route: the job,
// printed on the PostScript printer into a spool file, is turned into PDF by
// Ghostscript's pdfwrite device inside this process, with a fixed argument
// list and the program's fixed PDF settings.

#include <QString>
#include <QStringList>

namespace vorpla {

// The process-wide argument list of the next Ghostscript run. Element 0 is
// always the empty string (the program name slot of a C argv); arguments
// follow from element 1 on, and its size is the count handed to Ghostscript.
// Read it on the thread that fills it.
const QStringList &argomentiGhostscript();

// Clears the argument list: only the empty element 0 is left.
void AzzeraArgomenti();

// Appends one argument to the list.
void AggiungiArgomento(const QString &testo);

// Converts the PostScript file `ps` into the PDF file `pdf`: clears the
// argument list, fills it with the conversion's arguments, lets the windows
// repaint once (Ghostscript then holds this thread until it returns) and runs
// Ghostscript over the list. Returns the success flag; it never raises an
// error and never shows a message. After a failure no file is left at `pdf`
// (Ghostscript opens its output before it reads the input, so a failed job
// would otherwise leave a blank page there). The folder of `pdf` must exist.
//
// Ghostscript's initialisation files and fonts are looked for first in the
// folders "lib" and "fonts" of the program folder, then where the system's
// Ghostscript keeps its own: folders that do not exist are passed over.
//
// Conversions from several threads run one after the other; a conversion
// started on a thread that is already converting (from a window event
// delivered during the repaint) fails at once and touches nothing.
bool ConvertiPsInPdf(const QString &ps, const QString &pdf);
// The same, the PDF's document title being `titolo` (what a PDF reader
// shows) instead of the one the print job's comments give.
bool ConvertiPsInPdf(const QString &ps, const QString &pdf, const QString &titolo);

} // namespace vorpla
