#include "SuperficieInoltro.h"

namespace vorpla {

SuperficieInoltro::SuperficieInoltro(Superficie &destinazione, bool paginaNuova)
    : m_destinazione(destinazione), m_paginaDaIniziare(paginaNuova)
{
    // The device's orientation is where this surface starts.
    if (destinazione.orientamento() == 2)
        Superficie::impostaOrientamento(2);
}

void SuperficieInoltro::iniziaPagina()
{
    if (!m_paginaDaIniziare)
        return;
    m_paginaDaIniziare = false;
    m_destinazione.NewPage();
}

} // namespace vorpla
