#include "StatoLavoro.h"

namespace vorpla {

namespace {
StatoLavoro g_lavoro;
}

StatoLavoro &lavoro()
{
    return g_lavoro;
}

void azzeraLavoro()
{
    g_lavoro = StatoLavoro{};
}

} // namespace vorpla
