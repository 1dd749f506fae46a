#pragma once
// Fitting a text into a width with few measurements.
//
// The layouts shorten a line one character at a time until it fits (label
// lines), or shrink its font until it fits (address lines). Measured whole at
// every step, a line of a megabyte would take hours. Both rules only need to
// know where a text stops fitting, and the width of a text grows with every
// character added (kerning is off), so "the first k characters fit" holds up
// to some k and never after. These searches find that k with a logarithmic
// number of measurements, each of a prefix no longer than twice the part
// that fits, and give the same answer as the character-by-character rule.

#include <QtGlobal>

namespace vorpla {

// Lines this short are measured whole first, as the plain rule does: one
// measurement for the line that fits, the usual case.
inline constexpr qsizetype PrefissoDiProva = 256;

// The largest k in 0..n such that sta(k) holds, k = 0 taken as holding (the
// plain rule stops at an empty text). sta must hold for every prefix of a
// prefix it accepts.
template <typename Sta>
qsizetype prefissoCheSta(qsizetype n, Sta &&sta)
{
    if (n <= 0)
        return 0;
    if (n <= PrefissoDiProva && sta(n))
        return n;
    // Doubling from the start until a prefix no longer fits: sta(basso)
    // holds, sta(alto) does not.
    qsizetype basso = 0;
    qsizetype alto = -1;
    for (qsizetype k = 1; alto < 0; k = k > n / 2 ? n : k * 2) {
        if (!sta(k))
            alto = k;
        else if (k == n)
            return n;
        else
            basso = k;
    }
    while (alto - basso > 1) {
        const qsizetype mezzo = basso + (alto - basso) / 2;
        if (sta(mezzo))
            basso = mezzo;
        else
            alto = mezzo;
    }
    return basso;
}

// Whether sta(n) holds, for the same kind of sta: a long text that stops
// fitting early is known not to fit without being measured whole.
template <typename Sta>
bool staIntero(qsizetype n, Sta &&sta)
{
    for (qsizetype k = PrefissoDiProva; k < n; k *= 2) {
        if (!sta(k))
            return false;
    }
    return sta(n);
}

} // namespace vorpla
