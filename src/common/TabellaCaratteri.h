#pragma once
// Characters from the host. Ulka writes its print files in the host's OEM
// code page (437); the program keeps them as bytes and converts every byte
// above 127 through TabellaHostWin before it looks at a line, which turns the
// host's box-drawing characters into "|", "=", "+" and blanks and moves a few
// letters to their Windows codes. Text becomes Unicode only where it is drawn
// or shown: on the page through decodificaPerVisualizzazione, everywhere else
// (the mail, the names of documents and files, fax directives, the
// clipboard, the plain-text hand-over, the editor) through testoDalHost,
// which reads the host's bytes exactly as the page shows them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>

namespace vorpla {

using TabellaCaratteriHost = std::array<unsigned char, 256>;

// Builds the host-to-Windows table (entries 0..127 are the identity and are
// never used). Cheap and idempotent; the output forms run it when they load.
void CARATTERI_WINPC();

// The table built by CARATTERI_WINPC (built on first use if needed).
const TabellaCaratteriHost &TabellaHostWin();

// A print-file line with every byte above 127 replaced through TabellaHostWin.
QByteArray convertiHostWin(const QByteArray &riga);

// How converted bytes are shown. "NetTerm OEM" is an 8-bit OEM font: when it
// is installed it is handed the bytes as Windows-1252 text and its own glyphs
// do the rest (fontOemInstallato = true). When a fallback font stands in, the
// bytes are decoded through one 256-entry table that reproduces what the OEM
// font shows: the host's letters at the codes the table leaves as the host
// wrote them, the Windows-1252 characters at the codes it produces by
// remapping, the Italian letters winning every conflict.
QString decodificaPerVisualizzazione(const QByteArray &convertito, bool fontOemInstallato);

// The Unicode character the fallback table gives for one converted byte.
QChar carattereFontSostitutivo(unsigned char codice);

// Host text as the page shows it, for every place other than the page: each
// byte through TabellaHostWin, then the character the OEM font shows for the
// code (carattereFontSostitutivo, whichever font draws the page), so host
// 0x85 reads "à" in a mail subject as on the sheet. The one exception is the
// code 0 (host 0x98, which the page draws as a missing glyph): in a text it
// becomes U+FFFD, the character that says so, since a NUL cuts clipboard
// texts, file names and mail headers short.
QString testoDalHost(QByteArrayView host);
// The same for bytes the interpreter has already converted.
QString testoDaConvertito(QByteArrayView convertito);

// The host bytes testoDalHost reads as `testo`: what the editor writes back.
// A character the page can show from several host codes is written as the
// plainest of them: the ASCII code ("|" rather than a box-drawing bar),
// else the host's own code for that letter (0x97 for "ù" rather than the box
// corners that print as "ù"), else the lowest. `rifiutato` is the index in
// `testo` of the first character no host byte shows, -1 when there is none;
// the bytes are then incomplete and must not be written. Such characters
// are those the host's code page cannot hold ("€", "…") and those the page
// shows as another character ("í", which prints as "ì"; "Ç", since host
// 0x80 prints as "‡"): written, they would print as something else.
QByteArray byteHost(QStringView testo, qsizetype &rifiutato);

} // namespace vorpla
