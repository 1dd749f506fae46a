#include "MsgFrm.h"

#include "Appunti.h"
#include "ScambioTerminale.h"
#include "StatoTerminale.h"
#include "Versione.h"

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

#include <QFile>

namespace vorpla {

QString MsgFrm::testoPerIlClient(const QString &stampa, const QString &versione)
{
    QString testo = stampa;
    testo.replace(QLatin1String(ParoleStato::Chiedi), QLatin1String(ParoleStato::LocaleNC));
    if (!testo.startsWith(QLatin1String(ParoleStato::LocaleNC)))
        return testo;
    // The version line goes right after the word, before the rest of the
    // first line (blanks removed, then its own line break).
    QStringView resto = QStringView(testo).mid(14);
    while (resto.startsWith(u' '))
        resto = resto.mid(1);
    return QLatin1String(ParoleStato::LocaleNC) + QStringLiteral("\r\n@VERSIONE=") + versione + resto.toString();
}

void MsgFrm::Form_Load()
{
    impostaRoutine(QStringLiteral("MsgFrm"), QStringLiteral("Form_load"));
    m_s.mostraMsgFrm();
    if (ModoNC() != QLatin1String("NC"))
        return;
    QFile file(lavoro().FileIngresso);
    if (!file.open(QIODevice::ReadOnly))
        throw ErroreVB(file.exists() ? Err::PermessoNegato : Err::FileNonTrovato);
    // The print text as the page reads it, whatever bytes the host wrote.
    statoTerminale().TestoClipboard = testoPerIlClient(testoDalHost(file.readAll()), versioneProgramma());
    m_timer = true;
}

void MsgFrm::esegui()
{
    if (!m_timer)
        return;
    m_s.attendi(m_s.pausa(IntervalloTimer));
    Timer1_Timer();
}

void MsgFrm::Timer1_Timer()
{
    impostaRoutine(QStringLiteral("MsgFrm"), QStringLiteral("Timer1_Timer"));
    m_timer = false;
    try {
        m_s.copiaDaText1(QStringLiteral("STR2"));
        m_s.eventi();
        m_s.attendi(m_s.pausa(237));
        m_s.appunti->impostaTesto(statoTerminale().TestoClipboard);
        m_s.attendi(m_s.pausa(537));
    } catch (const ErroreVB &e) {
        mostraErroreRoutine(e);
        return;
    }
    int conta = 0;
    Sondaggio sondaggio;
    sondaggio.limite = 600;
    sondaggio.vuotoOccupato = true;
    sondaggio.eliminaStampa = false;
    sondaggio.contaRegistra = &conta;
    sondaggio.file = lavoro().FileIngresso;
    sondaRisposta(m_s, sondaggio);
}

} // namespace vorpla
