#include "StampantiCups.h"

#include <QPrinterInfo>
#include <cups/cups.h>

namespace vorpla {

StampantiCups::StampantiCups()
{
    impostaCorrente(predefinita());
}

QStringList StampantiCups::elenco() const
{
    return QPrinterInfo::availablePrinterNames();
}

QString StampantiCups::predefinita() const
{
    return QPrinterInfo::defaultPrinterName();
}

QString StampantiCups::porta(const QString &nome) const
{
    if (nome.isEmpty())
        return {};
    cups_dest_t *destinazioni = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &destinazioni);
    QString uri;
    const QByteArray nomeCups = nome.toUtf8();
    if (cups_dest_t *d = cupsGetDest(nomeCups.constData(), nullptr, n, destinazioni)) {
        if (const char *valore = cupsGetOption("device-uri", d->num_options, d->options))
            uri = QString::fromUtf8(valore);
    }
    cupsFreeDests(n, destinazioni);
    return uri;
}

} // namespace vorpla
