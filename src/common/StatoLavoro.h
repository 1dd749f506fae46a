#pragma once
// The process-wide job state. One process serves one print file; start-up
// sets these values, the interpreter and the later commands read them and
// fill the job records. Everything runs on the one user-interface thread, so
// nothing here is locked.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vorpla {

struct StatoLavoro
{
    QString FileIngresso;          // full path of the print file
    QString NomeRoutine;           // "<form or module> - <procedure>" now running
    bool ModoDebug = false;        // the interpreter writes its daily log
    bool ModoPdf = false;          // PDF-only job ("PDF" or "NO" on the command line)
    bool AnteprimaRichiesta = false; // the preview command ran
    bool PdfReportDisponibile = false; // the PDF report component can be created
    bool LavoroEtichette = false;  // label job ("@LARG ETIC")
    QString DispositivoRegistrato; // the user's printer
    QString IndirizzoMail;         // recipient of the document ("@EMAI")
    QString ClientiSenzaMail;      // customers whose documents were not mailed
    qint16 ContaFax = 0;           // "@FAXS" lines
    qint16 ContaInt = 0;           // "@INT1" lines

    // The mail of the current document: its body, and what the user typed in
    // the mail editing window (recipients and text, for the SMTP route).
    QString TestoMail;
    QString DestinatariModificati;
    QString TestoAggiunto;

    // Job records the interpreter fills while it draws.
    QString OggettoMail;
    QString ElencoTitoli; // titles, each followed by CR LF
    QStringList ElencoAllegati{QString()}; // element 0 is never used
};

// The process's job state.
StatoLavoro &lavoro();

// Back to a fresh state (a new process; used by tests that run several jobs).
void azzeraLavoro();

} // namespace vorpla
