#pragma once
// One copy of a job on a CUPS printer: a QPrinter on the queue (high
// resolution, page layout from the printable area) painted through
// SuperficiePittore. Ending it hands the job to the spooler, so every copy
// is its own spool job.

#include "interpreter/SuperficiePittore.h"

#include <QString>
#include <memory>

class QPrinter;

namespace vorpla {

namespace dettaglio {
// Holds the printer so that it is built before, and destroyed after, the
// surface that paints on it.
struct StampanteDelLavoro
{
    explicit StampanteDelLavoro(const QString &stampante, const QString &titolo);
    ~StampanteDelLavoro();
    std::unique_ptr<QPrinter> stampante;
};
} // namespace dettaglio

class LavoroStampante : private dettaglio::StampanteDelLavoro, public SuperficiePittore
{
public:
    // A new print job on the queue `stampante`, titled `titolo`.
    LavoroStampante(const QString &stampante, const QString &titolo);
    // A job left before its end (the run was stopped by the user, or ended
    // by an error) is abandoned, not handed to the spooler: half a copy of
    // a customer's document must not come out of the printer.
    ~LavoroStampante() override;

    // Ends the job: error 482 when the printer reports a failure.
    void fine();
};

// The copies loop's collaborators for the printer `stampante`: a new job a
// copy (titled with the print file's name), ended with fine().
std::unique_ptr<Superficie> nuovaCopia(const QString &stampante);
// The same with a title of the caller's.
std::unique_ptr<Superficie> nuovaCopia(const QString &stampante, const QString &titolo);
void fineCopia(Superficie &copia);

} // namespace vorpla
