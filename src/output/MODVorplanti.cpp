#include "MODVorplanti.h"

#include "common/FileRegolare.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cups/cups.h>

namespace vorpla {

QString &DispositivoDestinazione()
{
    static QString nome;
    return nome;
}

void ImpostaPredefinita()
{
    const QByteArray nome = DispositivoDestinazione().toUtf8();
    if (!nome.isEmpty()) {
        cups_dest_t *destinazioni = nullptr;
        const int quante = cupsGetDests2(CUPS_HTTP_DEFAULT, &destinazioni);
        // As lpoptions -d: the named printer (its main instance) becomes the
        // one default, then the user's destinations file is written again.
        if (cupsGetDest(nome.constData(), nullptr, quante, destinazioni)) {
            for (int i = 0; i < quante; ++i)
                destinazioni[i].is_default = 0;
            cupsGetDest(nome.constData(), nullptr, quante, destinazioni)->is_default = 1;
            cupsSetDests2(CUPS_HTTP_DEFAULT, quante, destinazioni);
        }
        cupsFreeDests(quante, destinazioni);
    }
    QCoreApplication::processEvents();
}

void DriverEPorta(const QString &voce, QString &driver, QString &porta)
{
    driver.clear();
    porta.clear();
    const qsizetype prima = voce.indexOf(u',');
    if (prima < 0)
        return;
    driver = voce.left(prima);
    const qsizetype seconda = voce.indexOf(u',', prima + 1);
    if (seconda < 0)
        return;
    porta = voce.mid(prima + 1, seconda - prima - 1);
}

int StampaFile(const QString &stampante, const QString &file)
{
    // CUPS would stream a device for ever or wait on a FIFO: only a regular
    // file is an attachment.
    if (QFileInfo::exists(file) && !eFileRegolare(file)) {
        std::fprintf(stderr, "vorpla: %s is not a regular file; not printed\n", qPrintable(file));
        return 0;
    }
    const QByteArray coda = stampante.toUtf8();
    const QByteArray percorso = QFile::encodeName(file);
    const QByteArray titolo = QFileInfo(file).fileName().toUtf8();
    return cupsPrintFile2(CUPS_HTTP_DEFAULT, coda.constData(), percorso.constData(), titolo.constData(), 0,
                          nullptr);
}

} // namespace vorpla
