#include "ComandiMain.h"

#include "FormMain.h"
#include "ServiziAvvio.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "output/SceltaVorplante.h"

namespace vorpla {

namespace {
const QString Form = QStringLiteral("frmMain");
}

ComandiMain::ComandiMain(FormMain &form, ServiziAvvio &servizi)
    : m_form(form), m_s(servizi)
{
}

ComandiMain::~ComandiMain() = default;

void ComandiMain::cmdVorpla_Click()
{
    impostaRoutine(Form, QStringLiteral("cmdVorpla_Click"));
    if (m_form.Parametri.size() > 1 && m_form.Parametri.at(1).toUpper() == QStringLiteral("TOLVEK")) {
        try {
            m_s.stampaCliente();
        } catch (const ErroreVB &errore) {
            mostraErroreRoutine(errore);
            fine(FineConErrore);
        }
        fine(FineNormale);
    }
    CliccoVorpla();
}

bool ComandiMain::copieValide()
{
    Controllo &copie = m_form.controllo(QStringLiteral("TXTNumCopie"));
    if (IsNumeric(copie.testo))
        return true;
    messaggi().mostra(QStringLiteral("Numero di copie errato!"));
    m_form.controlloConFocus = copie.nome;
    copie.selezioneInizio = 0;
    copie.selezioneLunghezza = int(qMin<qsizetype>(2, copie.testo.size()));
    m_form.aggiorna();
    return false;
}

FormVorpla &ComandiMain::caricaFrmVorpla()
{
    if (!m_frmvorpla) {
        auto form = std::make_unique<FormVorpla>();
        form->Form_Load();
        m_frmvorpla = std::move(form);
    }
    return *m_frmvorpla;
}

bool ComandiMain::stampa()
{
    FormVorpla *form = nullptr;
    try {
        form = &caricaFrmVorpla();
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
        return false;
    }
    // "@COPI": the copies are the box's, taken as the printing starts.
    if (form->CopieDaFinestra)
        form->valori.NumCopie = m_form.controllo(QStringLiteral("TXTNumCopie")).testo;
    return SCELTA_VORPLANTE(*form, m_s.stampa);
}

void ComandiMain::CliccoVorpla()
{
    impostaRoutine(Form, QStringLiteral("cmdVorpla_Click"));
    if (!copieValide())
        return;
    if (!stampa()) {
        // The message has been shown; the job's files stay for another try.
        m_form.aggiorna();
        fine(FineConErrore);
    }
    termina();
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

void ComandiMain::cmdProp_Click(int indice)
{
    impostaRoutine(Form, QStringLiteral("cmdProp_Click"));
    try {
        if (indice == 0) {
            m_s.Impostazioni();
            return;
        }
        m_form.SelezioneInCorso = true;
        if (m_s.dialogoStampante()) {
            // Select the entries in turn until the current printer's; while
            // the flag is set a selection does not change the printer.
            Controllo &elenco = m_form.controllo(QStringLiteral("cmbPrinter"));
            const QString corrente = m_s.stampanti->corrente();
            for (int i = 0; i < elenco.voci.size(); ++i) {
                elenco.indice = i;
                elenco.testo = elenco.voci.at(i);
                if (elenco.testo == corrente)
                    break;
            }
        }
    } catch (const ErroreVB &errore) {
        m_form.SelezioneInCorso = false;
        m_form.aggiorna();
        mostraErroreRoutine(errore);
        return;
    }
    m_form.SelezioneInCorso = false;
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

void ComandiMain::CmdVplEma_Click()
{
    // The copies box is checked by the e-mail command, after the printing.
    stampa();
    cmdEmail_Click(0);
}

void ComandiMain::cmdEmail_Click(int indice)
{
    impostaRoutine(Form, QStringLiteral("cmdEmail_Click") + QString::number(indice));
    if (!copieValide())
        return;
    try {
        m_s.inviaMail(indice);
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
    }
    m_form.aggiorna();
}

void ComandiMain::cmdEsci_Click()
{
    impostaRoutine(Form, QStringLiteral("cmdEsci_Click"));
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

void ComandiMain::frmvorpla_cmdVorpla_Click()
{
    if (m_frmvorpla)
        m_frmvorpla->visibile = false;
    m_form.visibile = true;
    m_form.aggiorna();
}

void ComandiMain::frmvorpla_cmdAnnulla_Click()
{
    fine(FineNormale);
}

void ComandiMain::frmvorpla_Form_Unload()
{
    m_frmvorpla.reset();
    m_form.visibile = true;
    m_form.aggiorna();
}

} // namespace vorpla
