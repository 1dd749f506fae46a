#include "LettoreRighe.h"

#include "ErroreVB.h"
#include "FileRegolare.h"

#include <QFileInfo>
#include <cstring>

namespace vorpla {

namespace {

// The first CR or LF of the bytes, or null. The search goes a slice at a
// time, so a file whose lines end with CR alone (no LF anywhere) costs no
// more than one with CR LF: looking for an LF that never comes would scan the
// whole rest of the buffer for every line.
const char *fineRiga(const char *da, qsizetype n)
{
    constexpr qsizetype Fetta = 256;
    for (qsizetype fatto = 0; fatto < n; fatto += Fetta) {
        const char *fetta = da + fatto;
        const size_t lunghezza = size_t(qMin(Fetta, n - fatto));
        const char *lf = static_cast<const char *>(std::memchr(fetta, '\n', lunghezza));
        const char *cr = static_cast<const char *>(
            std::memchr(fetta, '\r', lf ? size_t(lf - fetta) : lunghezza));
        if (cr)
            return cr;
        if (lf)
            return lf;
    }
    return nullptr;
}

} // namespace

void LettoreRighe::verificaApertura(const QString &percorso)
{
    if (percorso.isEmpty())
        throw ErroreVB(Err::AccessoPercorso);
    const QFileInfo info(percorso);
    if (!info.exists())
        throw ErroreVB(Err::FileNonTrovato);
    if (!info.isFile())
        throw ErroreVB(Err::AccessoPercorso); // a folder, device, FIFO or socket
    if (!info.isReadable())
        throw ErroreVB(Err::PermessoNegato);
}

LettoreRighe::LettoreRighe(const QString &percorso, qsizetype dimensioneBlocco)
{
    // The open checks what the name is (missing, no permission, not a
    // regular file) once; an empty name is no file at all.
    if (percorso.isEmpty())
        throw ErroreVB(Err::AccessoPercorso);
    const EsitoFile esito = apriInLettura(m_file, percorso);
    if (esito != EsitoFile::Aperto)
        throw ErroreVB(erroreVBDi(esito));
    m_dimensione = m_file.size();
    m_buffer.resize(qMax<qsizetype>(dimensioneBlocco, 16));
}

bool LettoreRighe::riempi()
{
    if (m_eof)
        return false;
    if (m_inizio > 0) {
        const qsizetype resto = m_fine - m_inizio;
        if (resto > 0)
            std::memmove(m_buffer.data(), m_buffer.constData() + m_inizio, size_t(resto));
        m_fine = resto;
        m_inizio = 0;
    }
    if (m_fine == m_buffer.size()) {
        // A line longer than the buffer: grow it up to the longest line kept.
        m_buffer.resize(m_buffer.size() * 2);
    }
    const qint64 letti = m_file.read(m_buffer.data() + m_fine, m_buffer.size() - m_fine);
    if (letti <= 0) {
        m_eof = true;
        return false;
    }
    m_fine += letti;
    return true;
}

bool LettoreRighe::prossima(QByteArrayView &riga)
{
    for (;;) {
        if (m_saltaLF) {
            if (m_inizio == m_fine && !riempi()) {
                m_saltaLF = false;
                return false;
            }
            if (m_inizio < m_fine) {
                if (m_buffer[m_inizio] == '\n')
                    ++m_inizio;
                m_saltaLF = false;
            }
        }
        const char *base = m_buffer.constData();
        const char *da = base + m_inizio;
        const qsizetype disponibili = m_fine - m_inizio;
        const char *termine = fineRiga(da, disponibili);

        if (termine) {
            const qsizetype lunghezza = termine - da;
            const bool scartata = m_scarta;
            m_scarta = false;
            m_inizio += lunghezza + 1;
            if (*termine == '\r')
                m_saltaLF = true;
            if (scartata)
                continue; // the tail of an over-long line, already returned cut
            // A buffer larger than LunghezzaMassima (a large block, or a small
            // one grown past it) can hold a longer line whole: cut it too.
            riga = QByteArrayView(da, qMin(lunghezza, LunghezzaMassima));
            return true;
        }

        // No line break in the buffer.
        if (m_scarta) {
            m_inizio = m_fine;
            if (!riempi())
                return false;
            continue;
        }
        if (disponibili >= LunghezzaMassima) {
            riga = QByteArrayView(da, LunghezzaMassima);
            m_inizio = m_fine; // the rest of the buffer belongs to the same line
            m_scarta = true;
            return true;
        }
        if (!riempi()) {
            if (m_fine > m_inizio) {
                riga = QByteArrayView(m_buffer.constData() + m_inizio, m_fine - m_inizio);
                m_inizio = m_fine;
                return true;
            }
            return false;
        }
    }
}

} // namespace vorpla
