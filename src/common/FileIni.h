#pragma once
// vorpla.ini access with the semantics of Windows profile files, which the
// sites' configuration files were written for:
// - section and key names are compared ignoring letter case (and the blanks
//   around them);
// - an absent file, section or key reads as the empty string;
// - a value is read into a 255-character buffer, so a value of 255 or more
//   characters comes back cut to its first 254 characters;
// - blanks around a value are dropped, and so is one pair of matching quotes
//   enclosing it;
// - a write creates the file and the section when they are missing, replaces
//   the key's line when it exists, keeps every other line (other sections,
//   keys, comments, blank lines) byte for byte, and replaces the file
//   atomically (a temporary file renamed over the old one), so a crash never
//   leaves a truncated vorpla.ini behind.
//
// A file is parsed once a process, at its first lookup; a lookup after that
// costs no file access. ScriviIni refreshes the file it wrote; whatever else
// changes a configuration file while the program runs (an archive extracted
// over it) says so with dimenticaFileIni.
//
// Only a regular file is read: one that is not (a device, a FIFO), or that is
// larger than any configuration (64 MB), is said once on standard error and
// reads as absent.
//
// Files are bytes: a file that is valid UTF-8 is read as UTF-8, any other as
// Windows-1252 (files brought over from the Windows workstations); a write
// encodes the new line the way the file was read.

#include <QString>

namespace vorpla {

inline constexpr int LunghezzaBufferIni = 255;

// GetPrivateProfileString with an empty default and a 255-character buffer.
QString LeggiIni(const QString &sezione, const QString &chiave, const QString &file);

// WritePrivateProfileString. Returns false when the file could not be
// written (callers of the program ignore it, as they always did). Line
// breaks inside the value are written as blanks, so a value can never
// smuggle in another key or section.
bool ScriviIni(const QString &sezione, const QString &chiave, const QString &valore,
               const QString &file);

// Forgets what was read of `file` (of every file when empty), so the next
// lookup reads it again.
void dimenticaFileIni(const QString &file = {});

} // namespace vorpla
