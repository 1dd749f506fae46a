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

Risposta MessaggiErroreStandard::mostra(const QString &testo, Pulsanti pulsanti)
{
    QString uscita = QStringLiteral("vorpla: ") + testoPerTerminale(testo).replace(u'\n', QStringLiteral("\nvorpla: "));
    if (pulsanti == Pulsanti::SiNo)
        uscita += QStringLiteral("\nvorpla: (no display to answer the question: answered No)");
    if (pulsanti == Pulsanti::SiNoAnnulla)
        uscita += QStringLiteral("\nvorpla: (no display to answer the question: cancelled)");
    const QByteArray b = uscita.toLocal8Bit() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
    switch (pulsanti) {
    case Pulsanti::SiNo: return Risposta::No;
    case Pulsanti::SiNoAnnulla: return Risposta::Annulla;
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
