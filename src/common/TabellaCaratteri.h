#pragma once
// Characters from the host. Ulka writes its print files in the host's OEM
// code page (437); the program keeps them as bytes and converts every byte
// above 127 through TabellaHostWin before it looks at a line, which turns the
// host's box-drawing characters into "|", "=", "+" and blanks and moves a few
// letters to their Windows codes. Text becomes Unicode only where it is drawn
// or shown, through decodificaPerVisualizzazione.

#include <QByteArray>
#include <QString>
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

} // namespace vorpla
