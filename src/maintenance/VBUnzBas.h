#pragma once
// Extracting zip archives: the client self-update unpacks the terminal
// client's new files into the program folder, and start-up unpacks the PDF
// printer installation there. Archives come from outside (a download, an
// installation kit), so extraction never writes outside the extraction
// folder: entries whose names climb out of it ("..") or are absolute ("/x",
// "c:\x"), symbolic links, special files, and entries that would pass
// through a link leading outside are refused one by one, with a line in
// TestoUnzip, and every other entry of the archive is still extracted.
//
// The routines keep the interface of the Info-ZIP library the program was
// built on and report nothing: a failed extraction shows up later as a
// missing or short file.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vorpla {

// What the extraction said, one line (LF-ended) a message: "  inflating: a/b.txt",
// "   creating: a/", "skipping: ../x  outside the extraction folder" ...
// Nothing displays it.
extern QString TestoUnzip;
// The listing of a list-only run, lines preceded by SeparatoreUnzip.
extern QString ElencoUnzip;
// The line separator of the listing (CR LF unless changed).
extern QString SeparatoreUnzip;

// Answers of the replace question, with Info-ZIP's numbers.
namespace RispostaSostituzione {
inline constexpr int NonSostituire = 100;       // IDM_REPLACE_NO: keep this file
inline constexpr int Sostituisci = 102;         // IDM_REPLACE_YES: replace this file
inline constexpr int NessunaSostituzione = 104; // IDM_REPLACE_NONE: keep this and every further file
} // namespace RispostaSostituzione

// Asks "Overwrite <nome>?" through the program's message boxes (question
// with Yes and No): Yes gives Sostituisci, No NonSostituire. Without a user
// (no display) the answer is No, which keeps the file.
int ChiediSostituzione(const QString &nome);

// Whether the file is a zip archive the extraction can open (a regular file
// with a readable central directory).
bool ArchivioZipValido(const QString &archivio);

// Extracts the whole archive into the program folder, keeping folder names
// and replacing existing files without a question. Empties TestoUnzip and
// ElencoUnzip and sets the listing separator to CR LF first.
void EstraiInCartella(const QString &archivio);

// Extracts (or lists) the archive into `cartella` (created when missing; the
// current folder when empty). Flags are set when not 0:
// - `sovrascrivi`: existing files are replaced without a question;
// - otherwise `chiedi`: ChiediSostituzione decides for each existing file
//   (a NessunaSostituzione answer keeps every further one too); with
//   neither, existing files are kept;
// - `soloElenco`: nothing is written; ElencoUnzip gets a heading line
//   ("Filename:" at column 1, "Size" at 53, "Date" at 62, "Time" at 71) and
//   one 80-column line an entry: the name's first 50 characters, the size
//   right-aligned in columns 51-57, the date (dd/mm/yy) from column 60 and
//   the time (hh:mm) from column 70;
// - `conCartelle`: entries keep their folders below `cartella`; without it
//   every file lands in `cartella` itself under its own name.
// The first `numeroSelezionati` names of `selezionati` choose the entries
// to take (all when none), the first `numeroEsclusi` of `esclusi` the ones
// to leave; names are shell patterns ("*" also matches "/"), letter case
// counting. Replaced files are replaced whole (written beside and renamed
// over), so a link standing at an entry's place is replaced, not followed.
// Entries keep their modification times and, from archives made on Unix,
// their permissions. Encrypted entries are skipped: no password is given.
void EstraiZip(const QString &archivio, const QString &cartella, int chiedi, int sovrascrivi,
               int soloElenco, int conCartelle, int numeroSelezionati, int numeroEsclusi,
               const QStringList &selezionati = {}, const QStringList &esclusi = {});

} // namespace vorpla
