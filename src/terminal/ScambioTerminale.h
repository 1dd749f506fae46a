#pragma once
// The terminal-server hand-over. Ulka says on the print file's first line
// whether the document is printed where Vorpla runs or handed to the remote
// client:
//   "@ULKA=LOCALE"   hand over, zipped (the private clipboard format);
//   "@ULKA=LOCALENC" hand over, as plain text;
//   "@ULKA=?"        ask the user (Yes: plain text);
// anything else (letter case counts): print here.
//
// Handed over, the program watches the clipboard for the client's answer,
// a status word of 14 characters at the start of the clipboard's text:
//   "@ULKA=VORPLATO" printed: "@ULKA=REGISTRA" is written 12 times, 300 ms
//                    apart, for the client to read, then the job's files go;
//   "@ULKA=REGISTRA" the job's files go;
//   "@ULKA=ANNULLAT" cancelled: the program ends at once;
//   "@ULKA=AGGIORNA" the client is out of date: a copy of this program
//                    (vorplaAGG.exe) is made and, zipped mode, sent with the
//                    program's fonts; the watch goes on;
//   "@ULKA=KVERRORE" "Errore nella comunicazione [1]", and the end.
// On X11 the clipboard's content lives in the program that offered it: the
// last acknowledgement is kept on offer until another program takes the
// clipboard (the client, or a clipboard manager), ten seconds at most, and
// a clipboard manager that runs receives it when the program ends.
// No answer within the attempt limit (150 looks zipped, 600 plain text, a
// poll step apart) ends the program, leaving the job's files in place.

#include "ServiziTerminale.h"

#include <QString>

namespace vorpla {

class SendTerm;

// The answer words.
namespace ParoleStato {
inline constexpr char Stampato[] = "@ULKA=VORPLATO";
inline constexpr char Registrato[] = "@ULKA=REGISTRA";
inline constexpr char Annullato[] = "@ULKA=ANNULLAT";
inline constexpr char Aggiorna[] = "@ULKA=AGGIORNA";
inline constexpr char Errore[] = "@ULKA=KVERRORE";
inline constexpr char Locale[] = "@ULKA=LOCALE";
inline constexpr char LocaleNC[] = "@ULKA=LOCALENC";
inline constexpr char Chiedi[] = "@ULKA=?";
} // namespace ParoleStato

// How long the last acknowledgement stays on offer, at most (ms).
inline constexpr int AttesaLetturaMassima = 10000;

// The status word a clipboard text carries: its first 14 characters when it
// starts with "@ULKA=", else "".
QString parolaDiStato(const QString &testo);

// -1: the print file is empty; 1: the job was handed to the client (the
// caller ends the program); 0 or 2 (the user chose the server): process the
// document here. Raises the file's open errors.
int KV_CheckSendTerm(const QString &file, const ServiziTerminale &servizi);
// The same with the program's services.
int KV_CheckSendTerm(const QString &file);

// Hands the job over and acts on the client's answer; every answer but an
// update request ends the program, and so does an error, after its message
// (exit status 1).
void KV_DoSendTerm(const QString &file, const ServiziTerminale &servizi);

// The watch for the client's answer, as each mode runs it.
struct Sondaggio
{
    int limite = 150;             // looks at the clipboard before giving up
    bool vuotoOccupato = false;   // an empty clipboard counts as a busy one
    bool eliminaStampa = true;    // "@ULKA=VORPLATO" deletes the print file
    SendTerm *trasferimento = nullptr; // "@ULKA=AGGIORNA" sends the copy through it (none: the copy is only made)
    int *contaRegistra = nullptr; // the acknowledgements' counter
    QString file;                 // the print file
};

// Runs the watch; returns only after an error message (the routine message
// of the current NomeRoutine), for the caller to end the program.
void sondaRisposta(const ServiziTerminale &servizi, const Sondaggio &sondaggio);

} // namespace vorpla
