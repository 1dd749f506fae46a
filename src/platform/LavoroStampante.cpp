#include "LavoroStampante.h"
#include "StampantiCups.h"

#include "common/ErroreVB.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"

#include <QFileInfo>
#include <QPrintEngine>
#include <QPrinter>
#include <cups/cups.h>

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

namespace {

// The CUPS options of Qt's CUPS print engine (a list of names and values),
// a property key of its own.
constexpr auto OpzioniCups = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

LavoroStampante::~LavoroStampante()
{
    if (!documentoAperto())
        return;
    // Qt's CUPS engine hands what was drawn to the spooler whenever the
    // painting ends, and cannot abort: the job is handed over held, never
    // printed, and cancelled at once.
    QPrintEngine *motore = stampante->printEngine();
    QStringList opzioni = motore->property(OpzioniCups).toStringList();
    opzioni << QStringLiteral("job-hold-until") << QStringLiteral("indefinite");
    motore->setProperty(OpzioniCups, opzioni);
    FineDocumento();
    if (annullaLavoriTrattenuti(stampante->printerName(), stampante->docName()) == 0)
        scriviErrore(QStringLiteral("vorpla: the abandoned print job \"%1\" on %2 could not be cancelled: %3")
                         .arg(stampante->docName(), stampante->printerName(), QString::fromUtf8(cupsLastErrorString())));
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
