#include "Messaggi.h"

#include <cstdio>

namespace vorpla {

namespace {
MessaggiErroreStandard g_erroreStandard;
Messaggi *g_messaggi = nullptr;
} // namespace

QString testoPerTerminale(const QString &testo)
{
    QString t = testo;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

TipoMessaggio tipoMessaggio(const QString &testo, Pulsanti pulsanti)
{
    if (pulsanti != Pulsanti::Ok)
        return TipoMessaggio::Domanda;
    static const char *const errori[] = {"Routine ", "Errore", "ERRORE", "errore", "Impossibile", "errato", "Failed",
                                         "failed", "Cannot", "cannot", "non è stato", "non contiene"};
    for (const char *e : errori)
        if (testo.contains(QString::fromUtf8(e)))
            return TipoMessaggio::Errore;
    return TipoMessaggio::Avviso;
}

Risposta MessaggiErroreStandard::mostra(const QString &testo, Pulsanti pulsanti, const QString &)
{
    QString uscita = QStringLiteral("vorpla: ") + testoPerTerminale(testo).replace(u'\n', QStringLiteral("\nvorpla: "));
    if (pulsanti == Pulsanti::SiNo)
        uscita += QStringLiteral("\nvorpla: (no display to answer the question: answered No)");
    if (pulsanti == Pulsanti::SiNoAnnulla || pulsanti == Pulsanti::OkAnnulla)
        uscita += QStringLiteral("\nvorpla: (no display to answer the question: cancelled)");
    const QByteArray b = uscita.toLocal8Bit() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
    switch (pulsanti) {
    case Pulsanti::SiNo: return Risposta::No;
    case Pulsanti::SiNoAnnulla:
    case Pulsanti::OkAnnulla: return Risposta::Annulla;
    case Pulsanti::Ok: break;
    }
    return Risposta::Ok;
}

Messaggi &messaggi()
{
    return g_messaggi ? *g_messaggi : static_cast<Messaggi &>(g_erroreStandard);
}

Messaggi *impostaMessaggi(Messaggi *m)
{
    Messaggi *vecchio = g_messaggi ? g_messaggi : &g_erroreStandard;
    g_messaggi = m;
    return vecchio;
}

} // namespace vorpla
