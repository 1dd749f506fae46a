#pragma once
// The printer form's SCELTA_VORPLANTE: turns the job loaded by FormVorpla
// into printed copies on the current printer.
//
// For every copy the interpreter GRAFICA draws the whole document on a fresh
// print job, which is then ended, so each copy is its own spool job. After
// the first copy the job's attachments (lavoro().ElencoAllegati, element 0
// unused, listed again by every run of GRAFICA from the "@FILE" lines) are
// printed once on the same printer, the list being emptied after every
// copy. Before an attachment the printer is made the user's default when it
// is not the user's recorded printer (lavoro().DispositivoRegistrato); it
// stays the default afterwards. The printer "PDFCreator" gets no
// attachments and keeps the list. A printer whose name holds "ZETAFAX" gets
// one copy whatever the copies asked.
//
// The label sheet is taken from the form's six fields when the loop starts.
//
// Errors: 483 and 521 skip the step that failed; 32755 returns quietly; any
// other error shows the standard routine message ("Routine frmvorpla -
// SCELTA_VORPLANTE ...") and returns. An error inside GRAFICA has already
// been reported by the interpreter and ends the program (FineProgramma
// passes through).
//
// The answer is false when the method returned after showing an error
// message (the job did not come out whole), true otherwise.

#include <QString>
#include <functional>
#include <memory>

namespace vorpla {

class FormVorpla;
class Superficie;

struct ServiziSceltaVorplante
{
    // A drawing surface on a new print job for one copy on the current printer.
    std::function<std::unique_ptr<Superficie>()> nuovaCopia;
    // Ends the print job of that copy (hands it to the spooler).
    std::function<void(Superficie &)> fineCopia;
    // The current printer's device name.
    std::function<QString()> dispositivo;
    // Makes DispositivoDestinazione the default printer (MODVorplanti's
    // ImpostaPredefinita unless set).
    std::function<void()> impostaPredefinita;
    // Prints a document file on a printer (MODVorplanti's StampaFile unless
    // set); the answer is not examined.
    std::function<void(const QString &stampante, const QString &file)> stampaFile;
    // Optional: the main window's busy pointer on / off, pending events.
    std::function<void(bool)> cursoreOccupato;
    std::function<void()> eventi;
};

bool SCELTA_VORPLANTE(FormVorpla &form, const ServiziSceltaVorplante &servizi);

} // namespace vorpla
