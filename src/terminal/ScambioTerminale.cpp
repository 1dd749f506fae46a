#include "ScambioTerminale.h"

#include "Appunti.h"
#include "MsgFrm.h"
#include "SendTerm.h"
#include "StatoTerminale.h"
#include "Versione.h"

#include "common/Attesa.h"
#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"

#include <QFile>
#include <QFileInfo>

namespace vorpla {

namespace {

// The companion program on the client's side of the session; a missing one
// does not stop the hand-over.
void avviaCompagno(const ServiziTerminale &s)
{
    try {
        s.avviaProgramma(inCartellaProgramma(QStringLiteral("Trevasunko.exe")));
    } catch (const ErroreVB &) {
    }
}

// The copy of this program an out-of-date client asks for, under the name
// the client's side knows it by.
QString copiaDelProgramma(const ServiziTerminale &s)
{
    const QString copia = trovaIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("vorplaAGG.exe")));
    if (QFileInfo::exists(copia) && !QFile::remove(copia))
        throw ErroreVB(Err::PermessoNegato);
    bool copiato = false;
    eseguiSenzaBloccare([&] { copiato = QFile::copy(s.fileProgramma, copia); }, s.attendi);
    if (!copiato)
        throw ErroreVB(QFileInfo(s.fileProgramma).isFile() ? Err::AccessoPercorso : Err::FileNonTrovato);
    return copia;
}

} // namespace

QString parolaDiStato(const QString &testo)
{
    return testo.startsWith(QLatin1String("@ULKA=")) ? testo.left(14) : QString();
}

int KV_CheckSendTerm(const QString &file)
{
    return KV_CheckSendTerm(file, serviziTerminale());
}

int KV_CheckSendTerm(const QString &file, const ServiziTerminale &servizi)
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("KV_CheckSendTerm"));
    QString prima;
    {
        LettoreRighe lettore(file);
        if (lettore.vuoto())
            return -1;
        QByteArrayView riga;
        if (lettore.prossima(riga))
            prima = senzaSpazi(testoDaByte(riga));
    }
    if (prima == QLatin1String(ParoleStato::Locale)) {
        avviaCompagno(servizi);
        ModoNC().clear();
        KV_DoSendTerm(file, servizi);
        return 1;
    }
    if (prima == QLatin1String(ParoleStato::LocaleNC)) {
        avviaCompagno(servizi);
        ModoNC() = QStringLiteral("NC");
        KV_DoSendTerm(file, servizi);
        return 1;
    }
    if (prima == QLatin1String(ParoleStato::Chiedi)) {
        const Risposta r = messaggi().mostra(QStringLiteral("Se si desidera usare lo vorpla in locale premere 'SI' ")
                                                 + QStringLiteral("altirmenti premere 'NO' per lavorare con il server"),
                                             Pulsanti::SiNo);
        if (r != Risposta::Si)
            return 2;
        avviaCompagno(servizi);
        ModoNC() = QStringLiteral("NC");
        KV_DoSendTerm(file, servizi);
        return 1;
    }
    return 0;
}

void KV_DoSendTerm(const QString &file, const ServiziTerminale &servizi)
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("KV_DoSendTerm"));
    if (ModoNC() == QLatin1String("NC")) {
        // The window runs the plain-text exchange; it returns only after an
        // error message, and the program ends then as when the window is
        // closed.
        MsgFrm finestra(servizi);
        finestra.Form_Load();
        finestra.esegui();
        fine(FineConErrore);
    }
    SendTerm trasferimento(*servizi.appunti);
    trasferimento.impostaAttesa(servizi.attendi);
    const QString temp = KV_GetTempPath();
    servizi.mostraMsgFrm();
    trasferimento.StartST(file, temp, QStringLiteral("VORPLA"), versioneProgramma(), true);
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("KV_DoSendTerm"));
    Sondaggio sondaggio;
    sondaggio.limite = 150;
    sondaggio.contaRegistra = &statoTerminale().ContaRegistra;
    sondaggio.file = file;
    sondaggio.trasferimento = &trasferimento;
    sondaRisposta(servizi, sondaggio);
    // Stopped by an error, after its message.
    fine(FineConErrore);
}

void sondaRisposta(const ServiziTerminale &s, const Sondaggio &p)
{
    const QString routine = lavoro().NomeRoutine;
    int tentativi = 0;
    for (;;) {
        try {
            for (;;) {
                if (tentativi >= p.limite)
                    fine(FineConErrore);
                const std::optional<QString> testo = s.appunti->testo();
                if (!testo || (p.vuotoOccupato && testo->isEmpty()))
                    throw ErroreVB(Err::AppuntiNonApribili);
                const QString parola = parolaDiStato(*testo);
                if (parola == QLatin1String(ParoleStato::Stampato)) {
                    // The acknowledgement stays on the clipboard long enough
                    // for the client to read it.
                    for (;;) {
                        s.appunti->svuota();
                        s.attendi(s.pausa(300));
                        s.appunti->impostaTesto(QLatin1String(ParoleStato::Registrato));
                        const bool passato = *p.contaRegistra > 10;
                        ++*p.contaRegistra;
                        if (passato)
                            break;
                    }
                    for (int atteso = 0; atteso < AttesaLetturaMassima && s.appunti->possiede(); atteso += 50)
                        s.attendi(50);
                    if (p.eliminaStampa)
                        QFile::remove(p.file);
                    termina();
                }
                if (parola == QLatin1String(ParoleStato::Annullato))
                    fine(FineNormale);
                if (parola == QLatin1String(ParoleStato::Aggiorna)) {
                    s.appunti->svuota();
                    statoTerminale().ConFont = true;
                    const QString copia = copiaDelProgramma(s);
                    if (p.trasferimento) {
                        p.trasferimento->SendFile(copia, KV_GetTempPath(), true);
                        lavoro().NomeRoutine = routine;
                    }
                }
                if (parola == QLatin1String(ParoleStato::Errore)) {
                    messaggi().mostra(QStringLiteral("Errore nella comunicazione [1]"));
                    fine(FineConErrore);
                }
                if (parola == QLatin1String(ParoleStato::Registrato))
                    termina();
                s.eventi();
                s.attendi(s.passoAttesa);
                ++tentativi;
            }
        } catch (const ErroreVB &e) {
            if (e.numero() != Err::AppuntiNonApribili) {
                mostraErroreRoutine(e);
                return;
            }
            s.attendi(s.passoAttesa);
            ++tentativi;
        }
    }
}

} // namespace vorpla
