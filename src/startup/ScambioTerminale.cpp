#include "ScambioTerminale.h"

#include "common/Codifica.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/Routine.h"

namespace vorpla {

QString &ModoNC()
{
    static QString modo;
    return modo;
}

int KV_CheckSendTerm(const QString &file)
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("KV_CheckSendTerm"));
    QString prima;
    {
        LettoreRighe lettore(file);
        if (lettore.vuoto())
            return -1;
        QByteArrayView riga;
        if (lettore.prossima(riga))
            prima = testoDaByte(riga).trimmed();
    }
    if (prima == QStringLiteral("@ULKA=LOCALE")) {
        ModoNC().clear();
        KV_DoSendTerm(file);
        return 1;
    }
    if (prima == QStringLiteral("@ULKA=LOCALENC")) {
        ModoNC() = QStringLiteral("NC");
        KV_DoSendTerm(file);
        return 1;
    }
    if (prima == QStringLiteral("@ULKA=?")) {
        const Risposta r = messaggi().mostra(QStringLiteral("Se si desidera usare lo vorpla in locale premere 'SI' ")
                                                 + QStringLiteral("altirmenti premere 'NO' per lavorare con il server"),
                                             Pulsanti::SiNo);
        if (r != Risposta::Si)
            return 2;
        ModoNC() = QStringLiteral("NC");
        KV_DoSendTerm(file);
        return 1;
    }
    return 0;
}

void KV_DoSendTerm(const QString &file)
{
    // The companion program and the clipboard exchange with the client.
    nonDisponibile(QStringLiteral("frmMain - KV_DoSendTerm"),
                   QStringLiteral("Handing the job to the terminal-server client"));
}

} // namespace vorpla
