// Boxed tables: a template line marks where each column starts and ends,
// and every later row is cut into cells at the same character positions.

#include "Interprete.h"

namespace vorpla {

void Interprete::m_FLDB(const RigaStampa &) {}
void Interprete::m_BOXt(const RigaStampa &) {}
void Interprete::m_BOXl(const RigaStampa &) {}
void Interprete::m_BOxp(const RigaStampa &) {}
void Interprete::m_BOXi(const RigaStampa &) {}
void Interprete::m_BoXi(const RigaStampa &) {}
void Interprete::m_BOxi(const RigaStampa &) {}
void Interprete::m_BXt1(const RigaStampa &) {}
void Interprete::m_Bxt1(const RigaStampa &) {}
void Interprete::m_BXI1(const RigaStampa &) {}
void Interprete::m_BXi1(const RigaStampa &) {}
void Interprete::m_Bxi1(const RigaStampa &) {}
void Interprete::m_BXr1(const RigaStampa &) {}
void Interprete::m_BXR1(const RigaStampa &) {}
void Interprete::m_BXr2(const RigaStampa &) {}
void Interprete::m_BXRI(const RigaStampa &) {}
void Interprete::m_BXri(const RigaStampa &) {}
void Interprete::m_Bxfi(const RigaStampa &) {}
void Interprete::m_Bxfn(const RigaStampa &) {}
void Interprete::m_BxfI(const RigaStampa &) {}
void Interprete::m_BOXf(const RigaStampa &) {}
void Interprete::m_BOxf(const RigaStampa &) {}
void Interprete::m_BXT1(const RigaStampa &) {}
void Interprete::m_BXT2(const RigaStampa &) {}

} // namespace vorpla
