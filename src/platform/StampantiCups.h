#pragma once
// The installed printers as Qt's print support sees them over CUPS: device
// name = queue name, port = the queue's device URI.

#include "common/Stampanti.h"

namespace vorpla {

class StampantiCups : public Stampanti
{
public:
    StampantiCups(); // the current printer starts as the default one
    QStringList elenco() const override;
    QString predefinita() const override;
    QString porta(const QString &nome) const override;
};

// Cancels the jobs of this user still pending, held or printing on the
// queue `coda` whose title contains `parteTitolo`; the number cancelled.
int annullaLavoriConTitolo(const QString &coda, const QString &parteTitolo);

// The same for the jobs of this user the spooler holds on `coda` titled
// exactly `titolo` (abandoned copies, handed over held).
int annullaLavoriTrattenuti(const QString &coda, const QString &titolo);

} // namespace vorpla
