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

QString daWindows1252(QByteArrayView byte);
// Encodes to Windows-1252; characters it cannot hold become "?".
QByteArray aWindows1252(const QString &testo);

bool eUtf8Valido(QByteArrayView byte);

// UTF-8 when valid, else Windows-1252.
QString testoDaByte(QByteArrayView byte);

} // namespace vorpla
