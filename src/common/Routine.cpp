#include "Routine.h"

#include "Messaggi.h"
#include "StatoLavoro.h"

#include <cstdio>

namespace vorpla {

void impostaRoutine(const QString &modulo, const QString &procedura)
{
    lavoro().NomeRoutine = modulo + QStringLiteral(" - ") + procedura;
}

QString messaggioRoutine(int numero, const QString &descrizione)
{
    return QStringLiteral("Routine ") + lavoro().NomeRoutine + u'\r' + QStringLiteral(" Errore N.")
           + QString::number(numero) + u' ' + descrizione;
}

QString messaggioRoutine(const ErroreVB &errore)
{
    return messaggioRoutine(errore.numero(), errore.descrizione());
}

void mostraErroreRoutine(const ErroreVB &errore)
{
    messaggi().mostra(messaggioRoutine(errore), Pulsanti::Ok);
}

void scriviErrore(const QString &riga)
{
    const QByteArray b = (riga + u'\n').toLocal8Bit();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

} // namespace vorpla
