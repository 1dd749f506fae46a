#include "ProvaTerminale.h"

namespace vorpla::prova {

QStringList vociArchivio(const QString &archivio)
{
    // "unzip -Z1" lists one entry name a line.
    const QByteArray elenco = uscitaDi(QStringLiteral("unzip"), {QStringLiteral("-Z1"), archivio});
    QStringList voci = QString::fromUtf8(elenco).split(u'\n', Qt::SkipEmptyParts);
    voci.sort();
    return voci;
}

} // namespace vorpla::prova
