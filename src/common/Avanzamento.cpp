#include "Avanzamento.h"

#include <algorithm>

namespace vorpla {

namespace {

OsservatoreAvanzamento *g_osservatore = nullptr;
int g_corse = 0; // runs open now, nested ones included

} // namespace

void impostaOsservatoreAvanzamento(OsservatoreAvanzamento *osservatore)
{
    g_osservatore = osservatore;
}

CorsaLunga::CorsaLunga(const QString &titolo)
{
    if (g_corse++ == 0 && g_osservatore)
        g_osservatore->inizio(titolo);
}

CorsaLunga::~CorsaLunga()
{
    if (--g_corse == 0 && g_osservatore)
        g_osservatore->fine();
}

void segnalaAvanzamento(const QString &testo, int fatto, int totale)
{
    if (g_corse > 0 && g_osservatore)
        g_osservatore->stato(testo, fatto, totale);
}

void segnalaPagina(int copia, int copie, int pagina, int pagine)
{
    const int totale = std::max(pagine, pagina);
    const QString p = QStringLiteral("pagina %1 di %2").arg(pagina).arg(totale);
    const QString testo = copie <= 1 ? p.at(0).toUpper() + p.mid(1)
                                     : QStringLiteral("Copia %1 di %2 - %3").arg(copia).arg(copie).arg(p);
    segnalaAvanzamento(testo, (copia - 1) * pagine + std::min(pagina, pagine) - 1, copie * pagine);
}

} // namespace vorpla
