#include "AvviaProgramma.h"

#include "CartellaProgramma.h"
#include "ErroreVB.h"

#include <QFileInfo>
#include <QProcess>

namespace vorpla {

void avviaDallaCartella(const QString &percorso)
{
    const QString trovato = trovaIgnorandoMaiuscole(percorso);
    if (!QFileInfo(trovato).isFile())
        throw ErroreVB(Err::FileNonTrovato);
    if (!QProcess::startDetached(trovato, {}, QFileInfo(trovato).absolutePath()))
        throw ErroreVB(Err::PermessoNegato);
}

} // namespace vorpla
