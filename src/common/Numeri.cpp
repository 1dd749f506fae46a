#include "Numeri.h"

#include "ErroreVB.h"

#include <QByteArray>
#include <QStringView>
#include <charconv>
#include <cmath>
#include <limits>

namespace vorpla {

namespace {

enum class Esito { Ok, NonNumero, Overflow };

// Exponents beyond this already overflow or underflow any double; capping
// them keeps the arithmetic on the exponent itself safe.
constexpr long EsponenteMassimo = 100000;

// A decimal number taken apart by one of the scanners below.
struct NumeroDecimale
{
    bool negativo = false;
    QByteArray intero;       // integer digits
    QByteArray frazione;     // digits after the decimal separator
    long esponente = 0;
};

Esito componi(const NumeroDecimale &n, double &risultato)
{
    QByteArray testo;
    testo.reserve(n.intero.size() + n.frazione.size() + 16);
    if (n.negativo)
        testo += '-';
    testo += n.intero.isEmpty() ? QByteArray("0") : n.intero;
    if (!n.frazione.isEmpty())
        testo += '.' + n.frazione;
    testo += 'e' + QByteArray::number(qlonglong(n.esponente));

    double valore = 0;
    const auto [fine, errore] = std::from_chars(testo.constData(), testo.constData() + testo.size(), valore);
    if (errore == std::errc()) {
        risultato = valore;
        return Esito::Ok;
    }
    if (errore != std::errc::result_out_of_range)
        return Esito::NonNumero;

    // Too large or too small: tell which from the position of the first
    // significant digit.
    long grandezza;
    const qsizetype zeriIniziali = [&] {
        qsizetype i = 0;
        while (i < n.intero.size() && n.intero.at(i) == '0')
            ++i;
        return i;
    }();
    if (zeriIniziali < n.intero.size()) {
        grandezza = long(n.intero.size() - zeriIniziali) + n.esponente;
    } else {
        qsizetype i = 0;
        while (i < n.frazione.size() && n.frazione.at(i) == '0')
            ++i;
        grandezza = n.esponente - long(i);
    }
    if (grandezza > 0)
        return Esito::Overflow;
    risultato = n.negativo ? -0.0 : 0.0;
    return Esito::Ok;
}

int valoreCifra(QChar c, int base)
{
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= u'0' && u <= u'9')
        v = u - u'0';
    else if (u >= u'a' && u <= u'f')
        v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        v = u - u'A' + 10;
    return v < base ? v : -1;
}

// "&H"/"&O" digits as Visual Basic reads them: a value that fits in 16 bits
// is an Integer, so its top bit is the sign ("&HFFFF" = -1); a larger one up
// to 32 bits is a Long ("&H10000" = 65536, "&HFFFFFFFF" = -1); beyond that
// the number overflows. Reads from testo[i] while digits of the base follow
// and leaves i after them; trovate tells whether any were there.
Esito leggiOttaleEsadecimale(QStringView testo, qsizetype &i, int base, double &risultato, bool &trovate)
{
    quint64 valore = 0;
    trovate = false;
    bool troppoGrande = false;
    for (; i < testo.size(); ++i) {
        const int cifra = valoreCifra(testo.at(i), base);
        if (cifra < 0)
            break;
        trovate = true;
        if (!troppoGrande) {
            valore = valore * quint64(base) + quint64(cifra);
            troppoGrande = valore > 0xFFFFFFFFull;
        }
    }
    if (troppoGrande)
        return Esito::Overflow;
    if (valore <= 0xFFFF)
        risultato = double(qint16(quint16(valore)));
    else
        risultato = double(qint32(quint32(valore)));
    return Esito::Ok;
}

// The base of an "&H"/"&O" prefix at testo[i], 0 when there is none.
int basePrefisso(QStringView testo, qsizetype i)
{
    if (i + 1 >= testo.size() || testo.at(i) != u'&')
        return 0;
    const QChar lettera = testo.at(i + 1);
    if (lettera == u'H' || lettera == u'h')
        return 16;
    if (lettera == u'O' || lettera == u'o')
        return 8;
    return 0;
}

bool eCifra(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool eLetteraEsponente(QChar c)
{
    return c == u'E' || c == u'e' || c == u'D' || c == u'd';
}

// Reads an exponent's optional sign and digits from testo[i]; leaves i
// after them and returns false (i untouched) when no digit follows.
bool leggiEsponente(QStringView testo, qsizetype &i, long &esponente)
{
    qsizetype j = i;
    bool negativo = false;
    if (j < testo.size() && (testo.at(j) == u'+' || testo.at(j) == u'-')) {
        negativo = testo.at(j) == u'-';
        ++j;
    }
    if (j >= testo.size() || !eCifra(testo.at(j)))
        return false;
    long valore = 0;
    for (; j < testo.size() && eCifra(testo.at(j)); ++j)
        valore = std::min(EsponenteMassimo, valore * 10 + (testo.at(j).unicode() - u'0'));
    esponente = negativo ? -valore : valore;
    i = j;
    return true;
}

// The whole text as a number, "," or "." its decimal separator (see
// Numeri.h).
Esito convertiTesto(const QString &testo, double &risultato)
{
    const QString t = testo.trimmed();
    if (t.isEmpty())
        return Esito::NonNumero;

    qsizetype i = 0;
    if (const int base = basePrefisso(t, 0)) {
        i = 2;
        bool trovate = false;
        const Esito esito = leggiOttaleEsadecimale(t, i, base, risultato, trovate);
        if (!trovate || i != t.size())
            return Esito::NonNumero;
        return esito;
    }

    // With a "," in the text it is the decimal separator and "." groups
    // thousands (ignored in the integer part), as Italian writes numbers;
    // without one the "." is the decimal separator.
    const bool virgola = t.contains(u',');
    const QChar separatore = virgola ? QChar(u',') : QChar(u'.');
    const QChar raggruppamento = virgola ? QChar(u'.') : QChar();

    NumeroDecimale n;
    if (t.at(i) == u'+' || t.at(i) == u'-') {
        n.negativo = t.at(i) == u'-';
        ++i;
    }
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (eCifra(c))
            n.intero += char(c.unicode());
        else if (!raggruppamento.isNull() && c == raggruppamento && !n.intero.isEmpty())
            continue;
        else
            break;
    }
    if (i < t.size() && t.at(i) == separatore) {
        for (++i; i < t.size() && eCifra(t.at(i)); ++i)
            n.frazione += char(t.at(i).unicode());
    }
    if (n.intero.isEmpty() && n.frazione.isEmpty())
        return Esito::NonNumero;
    if (i < t.size() && eLetteraEsponente(t.at(i))) {
        ++i;
        if (!leggiEsponente(t, i, n.esponente))
            return Esito::NonNumero;
    }
    if (i != t.size())
        return Esito::NonNumero;
    return componi(n, risultato);
}

template<typename Intero>
Intero convertiIntero(double valore)
{
    const double arrotondato = arrotondaPari(valore);
    if (std::isnan(arrotondato) || arrotondato < double(std::numeric_limits<Intero>::min())
        || arrotondato > double(std::numeric_limits<Intero>::max()))
        throw ErroreVB(Err::Overflow);
    return static_cast<Intero>(arrotondato);
}

} // namespace

double Val(const QString &testo)
{
    // Blanks, tabs and line feeds do not count anywhere in the number.
    QString t;
    t.reserve(testo.size());
    for (QChar c : testo) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            t.append(c);
    }

    double risultato = 0;
    qsizetype i = 0;
    if (const int base = basePrefisso(t, 0)) {
        i = 2;
        bool trovate = false;
        if (leggiOttaleEsadecimale(t, i, base, risultato, trovate) == Esito::Overflow)
            throw ErroreVB(Err::Overflow);
        return trovate ? risultato : 0.0;
    }

    NumeroDecimale n;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-')) {
        n.negativo = t.at(i) == u'-';
        ++i;
    }
    for (; i < t.size() && eCifra(t.at(i)); ++i)
        n.intero += char(t.at(i).unicode());
    if (i < t.size() && t.at(i) == u'.') {
        for (++i; i < t.size() && eCifra(t.at(i)); ++i)
            n.frazione += char(t.at(i).unicode());
    }
    if (n.intero.isEmpty() && n.frazione.isEmpty())
        return 0.0;
    if (i < t.size() && eLetteraEsponente(t.at(i))) {
        ++i;
        leggiEsponente(t, i, n.esponente); // "1e" is just 1
    }
    if (componi(n, risultato) == Esito::Overflow)
        throw ErroreVB(Err::Overflow);
    return risultato;
}

bool IsNumeric(const QString &testo)
{
    double risultato = 0;
    return convertiTesto(testo, risultato) == Esito::Ok;
}

double CDbl(const QString &testo)
{
    double risultato = 0;
    switch (convertiTesto(testo, risultato)) {
    case Esito::Ok:
        return risultato;
    case Esito::Overflow:
        throw ErroreVB(Err::Overflow);
    case Esito::NonNumero:
        break;
    }
    throw ErroreVB(Err::TipoNonCorrispondente);
}

qint16 CInt(const QString &testo)
{
    return CInt(CDbl(testo));
}

qint32 CLng(const QString &testo)
{
    return CLng(CDbl(testo));
}

double arrotondaPari(double valore)
{
    if (!std::isfinite(valore))
        return valore;
    // Worked on the magnitude, independent of the floating-point rounding
    // mode: the distance of a non-negative double from its floor is exact,
    // so halves are recognised exactly.
    const double modulo = std::fabs(valore);
    const double sotto = std::floor(modulo);
    const double distanza = modulo - sotto;
    double risultato;
    if (distanza < 0.5)
        risultato = sotto;
    else if (distanza > 0.5)
        risultato = sotto + 1;
    else
        risultato = std::fmod(sotto, 2.0) == 0 ? sotto : sotto + 1;
    // The sign comes back, a negative value rounded to zero included (-0).
    return std::copysign(risultato, valore);
}

qint16 CInt(double valore)
{
    return convertiIntero<qint16>(valore);
}

qint32 CLng(double valore)
{
    return convertiIntero<qint32>(valore);
}

} // namespace vorpla
