#include "CaricoLavoro.h"

#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/LettoreRighe.h"

#include <QByteArrayView>
#include <limits>

namespace vorpla {

namespace {

// The line without the blanks at both ends (blanks only, not tabs).
QByteArrayView senzaBlanchi(QByteArrayView riga)
{
    qsizetype inizio = 0, fine = riga.size();
    while (inizio < fine && riga[inizio] == ' ')
        ++inizio;
    while (fine > inizio && riga[fine - 1] == ' ')
        --fine;
    return riga.sliced(inizio, fine - inizio);
}

// n bytes from column c (1-based); fewer at the end of the line.
QByteArrayView colonne(QByteArrayView riga, qsizetype c, qsizetype n)
{
    if (c - 1 >= riga.size())
        return {};
    return riga.sliced(c - 1, qMin(n, riga.size() - (c - 1)));
}

// The counts are 16-bit integers: one more than 32767 is an overflow.
void incrementa16(qint16 &n)
{
    if (n == std::numeric_limits<qint16>::max())
        throw ErroreVB(Err::Overflow);
    ++n;
}

// Element `indice` of the table, the table grown to reach it.
void memorizza(QList<qint16> &tabella, qint16 indice, qint16 valore)
{
    if (tabella.size() <= indice)
        tabella.resize(indice + 1);
    tabella[indice] = valore;
}

} // namespace

MarcatoriLavoro leggiMarcatoriLavoro(const QString &file)
{
    MarcatoriLavoro m;
    LettoreRighe lettore(file);
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        if (riga.startsWith("@LARG")) {
            if (colonne(riga, 7, 4) == "ETIC")
                m.etichetteBloccate = true;
        } else if (riga.startsWith("@PERC")) {
            m.catalogo = true;
            break;
        } else if (riga.startsWith("@COPI")) {
            m.copie = true;
            m.copieChieste = testoDaByte(colonne(riga, 7, 2));
        } else if (riga.startsWith("@TIPS")) {
            m.tipo = testoDaByte(senzaBlanchi(colonne(riga, 7, riga.size())));
        } else if (riga.startsWith("@INTV")) {
            m.voucher = true;
        }
    }
    return m;
}

void contaPagineLavoro(ValoriForm &f, const QString &file)
{
    f.NumerazioneAttiva = true;
    f.PagineCopia = 1;
    bool fineDiPagina = false;
    qint16 sezione = 0;
    LettoreRighe lettore(file);
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        const QByteArrayView marcatore = senzaBlanchi(riga);
        if (marcatore.startsWith("@PAGE")) {
            incrementa16(f.ContaPagine);
            fineDiPagina = true;
            continue;
        }
        if (fineDiPagina && !riga.isEmpty() && !riga.startsWith("@FAXS")) {
            ++f.PagineCopia;
            fineDiPagina = false;
        }
        if (marcatore.startsWith("@SNPG")) {
            // Column 7 of the line as written, blanks included.
            if (colonne(riga, 7, 1) == "S") {
                f.NumerazioneAttiva = true;
                memorizza(f.PagineSezione, sezione, f.ContaPagine);
                f.ContaPagine = 0;
                incrementa16(sezione);
            } else {
                f.NumerazioneAttiva = false;
            }
        }
    }
    memorizza(f.PagineSezione, sezione, f.ContaPagine);
    // A document without sections: one section of all its pages.
    if (sezione == 0 && f.NumerazioneAttiva)
        memorizza(f.PagineSezione, 1, f.ContaPagine);
}

} // namespace vorpla
