#include "StatoTerminale.h"

namespace vorpla {

StatoTerminale &statoTerminale()
{
    static StatoTerminale stato;
    return stato;
}

} // namespace vorpla
