#pragma once
// Errors of the program. Every failure the program reports carries the
// Visual Basic error number and description that Ulka's help desk knows from
// the messages ("Routine ... Errore N.13 Type mismatch"), so the numbers are
// part of the interface, not an implementation detail.

#include <QString>
#include <stdexcept>

namespace vorpla {

namespace Err {
inline constexpr int ChiamataNonValida = 5;   // Invalid procedure call or argument
inline constexpr int Overflow = 6;
inline constexpr int IndiceFuoriIntervallo = 9; // Subscript out of range
inline constexpr int TipoNonCorrispondente = 13; // Type mismatch
inline constexpr int NomeFileErrato = 52;     // Bad file name or number
inline constexpr int FileNonTrovato = 53;
inline constexpr int FileGiaAperto = 55;
inline constexpr int FileGiaEsistente = 58; // File already exists
inline constexpr int ErroreIO = 57;           // Device I/O error
inline constexpr int OltreFineFile = 62;      // Input past end of file
inline constexpr int PermessoNegato = 70;
inline constexpr int AccessoPercorso = 75;    // Path/File access error
inline constexpr int PercorsoNonTrovato = 76;
inline constexpr int ComponenteNonCreabile = 429; // ActiveX component can't create object
inline constexpr int AzioneNonSupportata = 445;   // Object doesn't support this action
inline constexpr int ImmagineNonValida = 481;
inline constexpr int ErroreStampante = 482;
inline constexpr int AppuntiNonApribili = 521;  // Can't open Clipboard
inline constexpr int Annullato = 32755;         // common dialog: Cancel was selected
// The mail layer's errors, numbered as the mail controls numbered them.
inline constexpr int MailAnnullata = 32001;     // User cancelled process
inline constexpr int MailFallita = 32002;       // Unspecified failure has occurred
inline constexpr int AllegatoNonTrovato = 32011; // Attachment not found
inline constexpr int DestinatarioSconosciuto = 32014; // Unknown recipient
inline constexpr int DestinatarioAmbiguo = 32021;     // Ambiguous recipient
// The SMTP route's, numbered as the SMTP message object numbered them.
inline constexpr int SmtpConnessione = int(0x80040213u); // The transport failed to connect to the server
inline constexpr int SmtpRifiutato = int(0x8004020Fu);   // The server rejected one or more recipient addresses
inline constexpr int SmtpInvio = int(0x80040211u);       // The message could not be sent to the SMTP server
} // namespace Err

// The description Visual Basic gives for an error number ("Type mismatch").
QString descrizioneErroreVB(int numero);

// The error a failed file operation of the system (its errno) raises:
// permission denied (70) when the rights or a read-only file system refused
// it, a path/file access error (75) otherwise.
int erroreFileDaErrno(int numero);

class ErroreVB : public std::runtime_error
{
public:
    // Without a description the standard one for the number is used.
    explicit ErroreVB(int numero, const QString &descrizione = {});

    int numero() const { return m_numero; }
    const QString &descrizione() const { return m_descrizione; }

    // A failure that may pass by itself (a mail server unreachable or
    // answering 4xx, the local mail transfer agent's EX_TEMPFAIL): trying
    // again later can succeed.
    bool temporaneo() const { return m_temporaneo; }
    ErroreVB &temporaneo(bool si)
    {
        m_temporaneo = si;
        return *this;
    }

private:
    int m_numero;
    QString m_descrizione;
    bool m_temporaneo = false;
};

} // namespace vorpla
