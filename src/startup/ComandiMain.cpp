#include "ComandiMain.h"

#include "FormMain.h"
#include "ServiziAvvio.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Routine.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"

namespace vorpla {

ComandiMain::ComandiMain(FormMain &form, ServiziAvvio &servizi)
    : m_form(form), m_s(servizi)
{
}

void ComandiMain::cmdVorpla_Click()
{
    try {
        m_s.CliccoVorpla();
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
    }
    m_form.aggiorna();
}

void ComandiMain::cmbPrinter_Click(int indice)
{
    Controllo &elenco = m_form.controllo(QStringLiteral("cmbPrinter"));
    if (indice < 0 || indice >= elenco.voci.size() || m_form.SelezioneInCorso)
        return;
    const QString nome = elenco.voci.at(indice);
    elenco.indice = indice;
    elenco.testo = nome;
    m_s.stampanti->impostaCorrente(nome);
    m_form.controllo(QStringLiteral("lblPorta")).testo = u' ' + m_s.stampanti->porta(nome);
    lavoro().DispositivoRegistrato = nome;
    m_form.aggiorna();
}

void ComandiMain::Check2_Click(bool spuntato)
{
    m_form.controllo(QStringLiteral("Check2")).spuntato = spuntato;
    m_form.AnteprimaQualita = spuntato;
}

void ComandiMain::TXTNumCopie_Change(const QString &testo)
{
    m_form.controllo(QStringLiteral("TXTNumCopie")).testo = testo;
}

void ComandiMain::cmdEsci_Click()
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("cmdEsci_Click"));
    // The download program of the client update must finish first.
    if (!m_s.CercaProcesso(QStringLiteral("zol.exe"), false))
        fine(FineNormale);
}

void ComandiMain::nonAncoraDisponibile(const QString &routine, const QString &capacita)
{
    try {
        nonDisponibile(routine, capacita);
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
    }
}

} // namespace vorpla
