#pragma once
// Making zip archives. The clipboard transfer packs the print file (and the
// program's TrueType fonts) into an ordinary zip archive that the client side
// unpacks, so what this module writes must be a standard zip file any unzip
// reads: entries deflated, Unix permissions and modification times kept, no
// comment and no encryption.
//
// The routine keeps the interface of the Info-ZIP library the program was
// built on: a table of names, the junk / recurse / update / freshen flags and
// a root folder, and Info-ZIP's result codes. It reports nothing else: a
// failed archive shows up to the caller as a missing or short file.

#include <QString>
#include <QtGlobal>

#include <array>

namespace vorpla {

// The name table: 100 slots, of which the first `argc` are used.
using TabellaNomiZip = std::array<QString, 100>;

// Results of VBZip, with Info-ZIP's numbers.
namespace RisultatoZip {
inline constexpr qint32 Ok = 0;                  // ZE_OK
inline constexpr qint32 ArchivioNonValido = 3;   // ZE_FORM: the archive exists and is not a zip file
inline constexpr qint32 NienteDaFare = 12;       // ZE_NONE: no name gave an entry to write
inline constexpr qint32 ArchivioNonScritto = 15; // ZE_CREAT: the archive could not be written
inline constexpr qint32 NomiRipetuti = 16;       // ZE_PARMS: two different files would get one entry name
inline constexpr qint32 FileNonLeggibile = 18;   // ZE_OPEN: a named file is missing or unreadable
} // namespace RisultatoZip

// Adds the first `argc` names of `nomi` to the archive `archivio` (created
// when missing; entries of an existing archive that are not named are kept,
// named ones are replaced). Flags are set when not 0:
// - `junk`: entries are named by the file name alone, and folders get no
//   entry of their own;
// - `recurse`: a named folder brings everything below it (hidden files and
//   folders, whose names start with ".", are left out, as Info-ZIP leaves
//   out hidden and system files without its system-files option);
//   without it a named folder is stored as a folder entry only;
// - `update`: a named file is written only when the archive lacks it or
//   holds an older copy;
// - `freshen`: only entries the archive already holds are written, and only
//   from newer files.
//
// Names are paths ("\" or "/" separated; a leading drive "c:" is dropped);
// relative names are taken below the root folder `radice`. A drive root
// such as "c:\" stands for the file-system root "/"; an empty root is the
// current folder. An entry is named by its path below the root folder
// ("c:\" and "/ulka/temp/X.cmp" give "ulka/temp/X.cmp"); a file outside the
// root folder is named by its full path without the leading "/", as Info-ZIP
// names absolute paths. Entry names never hold "." or ".." components.
//
// The same file named twice is stored once. Two different files that would
// get the same entry name (possible with `junk`) leave the archive untouched
// and give NomiRipetuti. A name that is missing or cannot be read is left
// out, the others are written, and the result is FileNonLeggibile. The
// archive itself is never added to itself.
qint32 VBZip(qint16 argc, const QString &archivio, const TabellaNomiZip &nomi, qint32 junk,
             qint32 recurse, qint32 update, qint32 freshen, const QString &radice);

} // namespace vorpla
