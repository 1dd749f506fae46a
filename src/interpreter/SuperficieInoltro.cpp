#include "SuperficieInoltro.h"

namespace vorpla {

SuperficieInoltro::SuperficieInoltro(Superficie &destinazione)
    : m_destinazione(destinazione)
{
    // The device's orientation is where this surface starts.
    if (destinazione.orientamento() == 2) {
        Superficie::impostaOrientamento(2);
    }
}

} // namespace vorpla
