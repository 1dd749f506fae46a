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

namespace {

// Cancels this user's active jobs on `coda` that `scelto` picks.
template<typename F> int annullaLavori(const QString &coda, F &&scelto)
{
    if (coda.isEmpty())
        return 0;
    cups_job_t *lavori = nullptr;
    const QByteArray nome = coda.toUtf8();
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &lavori, nome.constData(), 1, CUPS_WHICHJOBS_ACTIVE);
    int annullati = 0;
    for (int i = 0; i < n; ++i)
        if (scelto(lavori[i]) && cupsCancelJob2(CUPS_HTTP_DEFAULT, nome.constData(), lavori[i].id, 0) == IPP_STATUS_OK)
            ++annullati;
    cupsFreeJobs(n, lavori);
    return annullati;
}

} // namespace

int annullaLavoriConTitolo(const QString &coda, const QString &parteTitolo)
{
    if (parteTitolo.isEmpty())
        return 0;
    return annullaLavori(coda, [&](const cups_job_t &l) { return QString::fromUtf8(l.title).contains(parteTitolo); });
}

int annullaLavoriTrattenuti(const QString &coda, const QString &titolo)
{
    return annullaLavori(coda, [&](const cups_job_t &l) {
        return l.state == IPP_JSTATE_HELD && QString::fromUtf8(l.title) == titolo;
    });
}

} // namespace vorpla
