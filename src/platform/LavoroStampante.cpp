#include "LavoroStampante.h"

#include "common/ErroreVB.h"
#include "common/StatoLavoro.h"

#include <QFileInfo>
#include <QPrinter>

namespace vorpla {

namespace dettaglio {

StampanteDelLavoro::StampanteDelLavoro(const QString &nome, const QString &titolo)
    : stampante(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    stampante->setPrinterName(nome);
    // The page starts where the printer can print, as a Windows printer's
    // does: its margins are the device's unprintable edges (from its PPD),
    // not Qt's default 10 points, which would move and cut every page of a
    // printer that prints to the edge (the PDF printer PDFCreator).
    stampante->setFullPage(false);
    stampante->setPageMargins(stampante->pageLayout().minimumMargins(), QPageLayout::Point);
    stampante->setDocName(titolo);
}

StampanteDelLavoro::~StampanteDelLavoro() = default;

} // namespace dettaglio

LavoroStampante::LavoroStampante(const QString &nome, const QString &titolo)
    : dettaglio::StampanteDelLavoro(nome, titolo),
      SuperficiePittore(stampante.get(), nome, stampante->resolution())
{
}

void LavoroStampante::fine()
{
    if (!FineDocumento())
        throw ErroreVB(Err::ErroreStampante);
}

std::unique_ptr<Superficie> nuovaCopia(const QString &stampante)
{
    return std::make_unique<LavoroStampante>(stampante, QFileInfo(lavoro().FileIngresso).fileName());
}

std::unique_ptr<Superficie> nuovaCopia(const QString &stampante, const QString &titolo)
{
    return std::make_unique<LavoroStampante>(stampante, titolo);
}

void fineCopia(Superficie &copia)
{
    if (auto *stampa = dynamic_cast<LavoroStampante *>(&copia))
        stampa->fine();
}

} // namespace vorpla
