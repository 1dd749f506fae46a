#pragma once
// Reads a print file line by line without keeping it in memory.
//
// Print files are Windows text files (lines ended by CR LF), but files that
// went through Linux tools end lines with LF alone and old ones with CR
// alone: all three end a line. After the last line break there is no further
// (empty) line. A line longer than LunghezzaMassima bytes is cut there (the
// rest of it is skipped), so a damaged file without line breaks cannot make
// the program's memory grow with the file.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace vorpla {

class LettoreRighe
{
public:
    static constexpr qsizetype LunghezzaMassima = 1 << 20;

    // Opens the file; raises ErroreVB 53 (file not found), 70 (permission
    // denied) or 75 (empty name, or not a regular file: a device or a FIFO
    // would never end or never start).
    explicit LettoreRighe(const QString &percorso, qsizetype dimensioneBlocco = 1 << 20);

    // The next line without its line break, valid until the next call;
    // false at the end of the file.
    bool prossima(QByteArrayView &riga);

    // The file is empty (zero bytes).
    bool vuoto() const { return m_dimensione == 0; }

    // Raises the open errors for a path without opening it.
    static void verificaApertura(const QString &percorso);

private:
    bool riempi();

    QFile m_file;
    QByteArray m_buffer;
    qsizetype m_inizio = 0;
    qsizetype m_fine = 0;
    qint64 m_dimensione = 0;
    bool m_eof = false;
    bool m_saltaLF = false;   // the last line ended with CR: a following LF belongs to it
    bool m_scarta = false;    // skipping the rest of an over-long line
};

} // namespace vorpla
