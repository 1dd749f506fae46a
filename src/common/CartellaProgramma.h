#pragma once
// The program folder and the path conventions every module shares.
//
// The program folder is where vorpla.ini, the logos, the fonts and etich.DB
// live: the folder named by the environment variable VORPLA_HOME, or else the
// folder of the executable. Paths read from print files and from vorpla.ini
// come from Windows workstations as often as from Linux ones, so "\" and "/"
// both separate folders; file names the program writes in one case and opens
// in another (".PDF" written, ".pdf" opened) are found ignoring letter case.

#include <QString>

namespace vorpla {

// The program folder, without a trailing separator (except for "/").
QString cartellaProgramma();

// cartellaProgramma() + "/" + nome.
QString inCartellaProgramma(const QString &nome);

// vorpla.ini in the program folder.
QString fileIni();

// Every "\" turned into "/".
QString separatoriLinux(QString percorso);

// The existing file or folder whose path equals `percorso` ignoring the
// letter case of its last component (the folders before it are taken as
// written); `percorso` itself when it exists as written or when nothing
// matches.
QString trovaIgnorandoMaiuscole(const QString &percorso);

// Whether a file or folder exists at `percorso`, its last component
// compared ignoring letter case.
bool esisteIgnorandoMaiuscole(const QString &percorso);

} // namespace vorpla
