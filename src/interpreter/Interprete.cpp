#include "Interprete.h"

#include "Superficie.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/Numeri.h"
#include "common/Routine.h"

namespace vorpla {

// ---- Dispatch ----------------------------------------------------------------

void Interprete::disegnaRiga(const RigaStampa &riga)
{
#define VORPLA_VOCE(testo, nome, s, p, a) VORPLA_SE_##s({chiaveMarcatore(testo), &Interprete::m_##nome},)
    static const TabellaMarcatori<Interprete> tabella{VORPLA_MARCATORI(VORPLA_VOCE)};
#undef VORPLA_VOCE
    if (const auto r = tabella.trova(riga.byte()))
        (this->*r)(riga);
}

// ---- The run -------------------------------------------------------------------

Interprete::Interprete(Superficie &superficie, ValoriForm &form, QString file, const NumeriStrato &numeri)
    : LettoreStampa(std::move(file)), m_sup(superficie), m_form(form), m_numeri(numeri)
{
}

double Interprete::numeroIni(const QString &sezione, const QString &chiave, double seVuoto) const
{
    const QString valore = Leggi(sezione, chiave);
    return valore.isEmpty() ? seVuoto : CDbl(valore);
}

void Interprete::fontOem(double punti)
{
    m_sup.FontName(QLatin1String(FontOem));
    m_sup.FontSize(punti);
}

void Interprete::GRAFICA()
{
    corsa();
}

void Interprete::inizioCorsa()
{
    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("GRAFICA"));
    m_s = Stato{};
    m_t = StatoTabelle{};
    m_immagini.svuota();
    preparaPagina();
}

void Interprete::errore(int numero, const QString &descrizione)
{
    if (numero == Err::ErroreStampante && m_form.StampanteSelezionata.contains(QStringLiteral("PDF"), Qt::CaseInsensitive))
        return; // the PDF printer stopped the job: end the run quietly
    messaggi().mostra(messaggioRoutine(numero, descrizione) + QStringLiteral("\r\nTag: ")
                      + daWindows1252(rigaCorrente()));
    fine(FineConErrore);
}

// A logo the printer refuses (error 482 outside PDF printers): the text
// letterhead stands in, and the run goes on.
bool Interprete::recupera(const ErroreVB &e)
{
    const QByteArray &riga = rigaCorrente();
    const QByteArrayView m = QByteArrayView(riga).first(qMin<qsizetype>(5, riga.size()));
    const bool logo = m == "@LOGO" || m == "@LOGV";
    if (e.numero() != Err::ErroreStampante || logo == false
        || m_form.StampanteSelezionata.contains(QStringLiteral("PDF"), Qt::CaseInsensitive))
        return false;
    messaggi().mostra(QStringLiteral("Errore di Windows!\rImpossibile inserire il logo nella pagina.\r"
                                     "Verrà inserita l'intestazione."));
    m_s.IntestazioneAttiva = QStringLiteral("SI");
    return true;
}

void Interprete::fineFile()
{
    if (m_s.PaginaDocumento == 1)
        Trattino();
}

// Before each line: the pending two columns, the footer's height, the page
// overflow and the deferred page change.
void Interprete::primaDellaRiga(QByteArrayView letta)
{
    const QByteArrayView marcatoreLetto = letta.first(qMin<qsizetype>(5, letta.size()));
    if (m_s.DueColonnePendenti && !letta.startsWith("@TXT2") && !letta.startsWith("@TX2"))
        stampaDueColonne();

    if (m_s.PiedeAttivo && !Leggi(QStringLiteral("FOOTER"), QStringLiteral("FOOTER")).isEmpty() && !m_form.ConINTV) {
        const QString altezza = Leggi(QStringLiteral("FOOTER"), QStringLiteral("HEIGHT"));
        m_s.AltezzaPiede = altezza.isEmpty() ? 0 : CDbl(altezza);
    }

    if (m_sup.CurrentY >= m_s.AltezzaPagina - 0.9 - m_s.AltezzaPiede) {
        if (m_s.DueColonnePendenti)
            stampaDueColonne();
        if (letta != "@PAGE")
            fineDiPagina();
    }

    if (marcatoreLetto != "@FAXS" && m_s.NuovaPaginaPendente && !letta.isEmpty()) {
        Trattino();
        m_sup.NewPage();
        m_s.NuovaPaginaPendente = false;
    }

    m_sup.DrawStyle(0);
}

int Interprete::paginaCorrente() const
{
    return m_sup.paginaCorrente();
}

// The fold mark: a short grey line in the left margin two thirds down the
// sheet, where a window envelope's letter is folded.
void Interprete::Trattino()
{
    const double y = m_sup.Height() / 567.0 / 3.0 * 2.0;
    m_sup.Line(LineaColoreDato, 0, y, 0.1, y, 0x808080);
}


} // namespace vorpla
