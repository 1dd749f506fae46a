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

} // namespace vorpla
