#include "ServiziTerminale.h"

#include "AppuntiQt.h"

#include "common/Attesa.h"
#include "common/AvviaProgramma.h"

#include <QCoreApplication>

namespace vorpla {

namespace {

int passoDallAmbiente()
{
    bool ok = false;
    const int passo = qEnvironmentVariableIntValue(VariabilePassoAttesa, &ok);
    return ok && passo >= 1 && passo <= 500 ? passo : 500;
}

} // namespace

ServiziTerminale serviziTerminale()
{
    static AppuntiQt appunti;
    ServiziTerminale s;
    s.appunti = &appunti;
    s.eventi = eventiInSospeso;
    s.attendi = attendiConEventi;
    s.avviaProgramma = avviaDallaCartella;
    s.mostraMsgFrm = [] {};
    s.copiaDaText1 = [](const QString &testo) { appunti.impostaTesto(testo); };
    s.passoAttesa = passoDallAmbiente();
    s.scalaPause = s.passoAttesa / 500.0;
    s.fileProgramma = QCoreApplication::applicationFilePath();
    return s;
}

} // namespace vorpla
