#pragma once
// Routines every part of the program shares: file names, the job's temporary
// folder, the end-of-job clean-up, mail domain substitution, the booking
// file of a job, folder tests and the platform family.

#include <QString>

namespace vorpla {

// The file-name part of a path (after the last "\" or "/"; the whole path
// when there is none) without its last four characters (the extension with
// its dot). A name part of fewer than four characters raises error 5, which
// callers let reach their own error handler.
QString trovanome(const QString &percorso);

// The file-name part of a path upper-cased, nothing removed.
QString trovanomeMaiuscolo(const QString &percorso);

// The job's temporary folder: the program folder's path up to and including
// its last separator, followed by "temp/" (the folder "temp" beside the
// program folder); "" when the program folder path has no separator.
QString KV_GetTempPath();

// Deletes the job's temporary files (temporary folder + print-file name +
// ".CMP", ".TMP", ".STX", ".pdf", ".htm", ".TXT", each found ignoring
// letter case), ignoring every error, then ends the program.
[[noreturn]] void termina();

// Replaces the domain of a mail address by the one [EMAIL] of vorpla.ini
// gives for it (key: the domain upper-cased). Without "@", without
// vorpla.ini or without a value the address comes back unchanged.
QString SostituisciDominio(const QString &indirizzo);

// The last "@FILE" line of the print file (marker compared ignoring case)
// whose file name starts with "D" and ends with ".TXT" (ignoring case): the
// booking extract Ulka attaches to a document; "" when there is none.
QString TrovaFilePratica();

// True when the path names an existing folder; any error gives false.
bool KV_DirExists(const QString &percorso);

// The platform family as the program has always asked for it: "1" would be
// the Windows 95/98/Me family; Linux answers as the NT family, "2".
QString FamigliaWindows();

} // namespace vorpla
