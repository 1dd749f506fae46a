#pragma once
// The printer output form (frmvorpla): the form that prints the job. Its
// load prepares what the interpreter reads from the form before the first
// copy is drawn:
//
//  - the character table of the host, and NomeRoutine "frmvorpla - Form_Load";
//  - the job markers of the print file's header, read line by line up to the
//    first "@PERC" (markers at the start of the line as written, letter case
//    significant): "@LARG ETIC" locks the label window (its confirm button
//    hidden, its six fields disabled), "@PERC" points the label catalogue at
//    etich.DB / etich.tmp in the program folder, "@COPI" makes the copies
//    asked the main window's copies box, "@TIPS" gives the document type,
//    "@INTV" the voucher layout;
//  - the page-count table of the numbered documents, over the whole file
//    (markers after the line's blanks are trimmed): every "@PAGE" counts a
//    page, every "@SNPG S" closes a numbered section, "@SNPG" with anything
//    else turns the numbering off. Element i of PagineSezione is the page
//    count of section i; the count after the last section closes the table,
//    and a document without sections has two equal entries, its page count;
//  - the label catalogue: when "@PERC" names it, the formats of etich.DB fill
//    the label window's list and the first one is shown in its six fields,
//    which the interpreter reads as the label sheet.
//
// The load reads the file named by lavoro().FileIngresso. Errors are raised
// as ErroreVB (53 for a missing print file, 6 when a count passes 32767) with
// NomeRoutine naming the load, for the caller to report with the standard
// message.

#include "CatalogoEtichette.h"
#include "interpreter/ValoriForm.h"

#include <QString>

namespace vorpla {

class FormVorpla
{
public:
    // Runs the load on the print file lavoro().FileIngresso.
    void Form_Load();

    // What the interpreter reads from the form.
    ValoriForm valori;

    // The label catalogue (empty until "@PERC" names it).
    QString PercorsoDB;
    QString PercorsoTmp;

    // "@COPI": the copies asked are the main window's copies box; whoever
    // starts the printing copies the box's text into valori.NumCopie then.
    bool CopieDaFinestra = false;

    // "@LARG ETIC": the label window hides its confirm button and disables
    // its six fields (sheet and label sizes come from the print file).
    bool EtichetteBloccate = false;

    // The label window's catalogue and fields, and whether the window is
    // on screen (a label job shows it instead of the main window).
    CatalogoEtichette catalogo;
    bool visibile = false;

    // The label sheet of the six fields, as the interpreter reads it; done
    // when printing starts, so the format the operator chose is used.
    void prendiFormatoEtichette();

private:
    void leggiMarcatori(const QString &file);
};

} // namespace vorpla
