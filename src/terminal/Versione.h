#pragma once
// The program's version, as the client side of the hand-over reads it:
// major.minor.revision ("2.1.0"). The build writes it into the program file
// itself, in an ELF section of its own (".vorpla.versione"), so the version
// of a copy of the program (the one sent for an update) can be read from the
// file without running it.

#include <QString>

namespace vorpla {

// The version of this program.
QString versioneProgramma();

// The version written in a program file. A file without one (another
// program, a damaged copy, no file at all) shows the message "No fixed
// version information in this file" and gives "".
QString KV_GetVersion(const QString &percorso);

// The version section of a file's bytes; "" when there is none. Reads only
// inside the bytes it is given, whatever they hold.
QString versioneNelFile(const QByteArray &contenuto);

} // namespace vorpla
