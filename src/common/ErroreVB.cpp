#include "ErroreVB.h"

#include <cerrno>

namespace vorpla {

int erroreFileDaErrno(int numero)
{
    return numero == EACCES || numero == EPERM || numero == EROFS ? Err::PermessoNegato : Err::AccessoPercorso;
}

QString descrizioneErroreVB(int numero)
{
    switch (numero) {
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 67: return QStringLiteral("Too many files");
    case 70: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 380: return QStringLiteral("Invalid property value");
    case 429: return QStringLiteral("ActiveX component can't create object");
    case 445: return QStringLiteral("Object doesn't support this action");
    case 481: return QStringLiteral("Invalid picture");
    case 482: return QStringLiteral("Printer error");
    case 521: return QStringLiteral("Can't open Clipboard");
    case 32001: return QStringLiteral("User cancelled process");
    case 32002: return QStringLiteral("Unspecified failure has occurred");
    case 32011: return QStringLiteral("Attachment not found");
    case 32014: return QStringLiteral("Unknown recipient");
    case 32021: return QStringLiteral("Ambiguous recipient");
    case 32755: return QStringLiteral("Cancel was selected.");
    case int(0x80040213u): return QStringLiteral("The transport failed to connect to the server.");
    case int(0x8004020Fu): return QStringLiteral("The server rejected one or more recipient addresses.");
    case int(0x80040211u): return QStringLiteral("The message could not be sent to the SMTP server.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

ErroreVB::ErroreVB(int numero, const QString &descrizione)
    : std::runtime_error(QString(QStringLiteral("Errore %1 %2"))
                             .arg(numero)
                             .arg(descrizione.isEmpty() ? descrizioneErroreVB(numero) : descrizione)
                             .toStdString()),
      m_numero(numero),
      m_descrizione(descrizione.isEmpty() ? descrizioneErroreVB(numero) : descrizione)
{
}

} // namespace vorpla
