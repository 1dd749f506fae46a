// Markers whose rendering this version does not have yet: logos, fax
// directives, page numbers, job records and boxed tables. They are known to
// the dispatch (so they are not mistaken for unknown lines) and draw nothing.

#include "Interprete.h"

namespace vorpla {

// Footer picture and page number at the end of a page.
void Interprete::pieDiPagina() {}

// What a title hands to the fax software and to the mail.
void Interprete::titoloIniziato(QByteArrayView) {}

#define VORPLA_NON_ANCORA(nome) \
    void Interprete::m_##nome(const RigaStampa &) {}

VORPLA_NON_ANCORA(LOGO)
VORPLA_NON_ANCORA(LOGV)
VORPLA_NON_ANCORA(SNPG)
VORPLA_NON_ANCORA(FILE)
VORPLA_NON_ANCORA(TIFE)
VORPLA_NON_ANCORA(FAXN)
VORPLA_NON_ANCORA(FAXD)

#undef VORPLA_NON_ANCORA

// The end of one document of a batch: the next document's sender lines start
// again under its own address window (the fax send directive comes with the
// fax directives).
void Interprete::m_FAXS(const RigaStampa &)
{
    m_s.ContaMittente = 0;
}

} // namespace vorpla
