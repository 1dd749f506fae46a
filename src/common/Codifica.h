#pragma once
// Text from bytes. Print files and vorpla.ini are bytes; the fields the
// program uses as text (file paths, mail addresses, fax numbers, job orders)
// become a QString here: bytes that form valid UTF-8 are read as UTF-8 (files
// written on Linux), any other bytes as Windows-1252 (files from the Windows
// workstations and the host). Text that is drawn on a page is decoded by the
// glyph rule of TabellaCaratteri instead.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vorpla {

namespace detail {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five codes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same value, as Windows' own conversion does, so every byte
// survives a decode/encode round trip.
inline constexpr char16_t Windows1252Alti[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace detail

// The Unicode character of one Windows-1252 byte.
constexpr char16_t carattereWindows1252(unsigned char codice)
{
    return (codice >= 0x80 && codice < 0xA0) ? detail::Windows1252Alti[codice - 0x80] : char16_t(codice);
}

QString daWindows1252(QByteArrayView byte);
// Encodes to Windows-1252; a character it cannot hold becomes one "?".
QByteArray aWindows1252(const QString &testo);

bool eUtf8Valido(QByteArrayView byte);

// UTF-8 when valid, else Windows-1252.
QString testoDaByte(QByteArrayView byte);

// Blanks (spaces only, as Visual Basic's Trim and RTrim take them; tabs and
// the rest stay) off both ends, or off the end.
QString senzaSpazi(const QString &testo);
QByteArrayView senzaSpaziFinali(QByteArrayView riga);
// Every blank out (a fax number "02 1234" is dialled "021234").
QString senzaAlcunoSpazio(QString testo);

} // namespace vorpla
