#include "FormVorpla.h"

#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/LettoreRighe.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

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

void FormVorpla::Form_Load()
{
    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("Form_Load"));
    CARATTERI_WINPC();

    PercorsoDB.clear();
    PercorsoTmp.clear();
    CopieDaFinestra = false;
    EtichetteBloccate = false;
    valori.NumCopie = QStringLiteral("1");
    valori.ContaPagine = 0;
    valori.PagineSezione = {0};

    const QString file = lavoro().FileIngresso;
    leggiMarcatori(file);
    contaPagine(file);

    catalogo = CatalogoEtichette{};
    catalogo.impostaDaForm(*this);
    catalogo.caricaCatalogo();
    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("Form_Load"));
}

void FormVorpla::prendiFormatoEtichette()
{
    valori.txtPX = catalogo.txtPX.Text;
    valori.txtPY = catalogo.txtPY.Text;
    valori.txtMarg = catalogo.txtMarg.Text;
    valori.txtEtX = catalogo.txtEtX.Text;
    valori.txtETY = catalogo.txtETY.Text;
}

void FormVorpla::leggiMarcatori(const QString &file)
{
    LettoreRighe lettore(file);
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        if (riga.startsWith("@LARG")) {
            if (colonne(riga, 7, 4) == "ETIC")
                EtichetteBloccate = true;
        } else if (riga.startsWith("@PERC")) {
            PercorsoDB = inCartellaProgramma(QStringLiteral("etich.DB"));
            PercorsoTmp = inCartellaProgramma(QStringLiteral("etich.tmp"));
            return;
        } else if (riga.startsWith("@COPI")) {
            CopieDaFinestra = true;
        } else if (riga.startsWith("@TIPS")) {
            valori.TipoDocumento = testoDaByte(senzaBlanchi(colonne(riga, 7, riga.size())));
        } else if (riga.startsWith("@INTV")) {
            valori.ConINTV = true;
        }
    }
}

void FormVorpla::contaPagine(const QString &file)
{
    ValoriForm &f = valori;
    f.NumerazioneAttiva = true;
    qint16 sezione = 0;
    LettoreRighe lettore(file);
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        const QByteArrayView marcatore = senzaBlanchi(riga);
        if (marcatore.startsWith("@PAGE")) {
            incrementa16(f.ContaPagine);
        } else if (marcatore.startsWith("@SNPG")) {
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
