#pragma once
// What both output forms read from the print file when they load, before
// anything is drawn: the job markers of its header and the page-count table
// of its numbered documents.
//
// The header is read line by line up to the first "@PERC" (markers at the
// start of the line as written, letter case significant). The page count
// runs over the whole file (markers after the line's blanks are trimmed):
// every "@PAGE" counts a page, every "@SNPG S" closes a numbered section,
// "@SNPG" with anything else turns the numbering off. Element i of
// PagineSezione is the page count of section i; the count after the last
// section closes the table, and a document without sections has two equal
// entries, its page count. The same pass counts the pages a copy has, as
// its page ends tell, for a long run's progress (PagineCopia): every
// "@PAGE" followed by a line that is not empty (nor a fax directive) begins
// a page. Errors are raised as ErroreVB (53 for a missing print file, 6
// when a count passes 32767).

#include "interpreter/ValoriForm.h"

#include <QString>
#include <optional>

namespace vorpla {

struct MarcatoriLavoro
{
    bool etichetteBloccate = false; // "@LARG ETIC"
    bool catalogo = false;          // "@PERC": the label catalogue is named
    bool copie = false;             // "@COPI"
    QString copieChieste;           // its columns 7 and 8
    std::optional<QString> tipo;    // "@TIPS", trimmed (the last one)
    bool voucher = false;           // "@INTV"
};

MarcatoriLavoro leggiMarcatoriLavoro(const QString &file);

// Builds the page-count table into the form's values.
void contaPagineLavoro(ValoriForm &valori, const QString &file);

} // namespace vorpla
