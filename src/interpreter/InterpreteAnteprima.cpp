// The preview's page layout. Letters as in the text rules, in centimetres:
// W = 19 the page width, L, R and G = 0.2 the margins and the inner gap, no
// top margin, O the voucher offset (0 at the start of a page); X the left
// edge of a centred title.

#include "InterpreteAnteprima.h"

#include "Superficie.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/Routine.h"

namespace vorpla {

InterpreteAnteprima::InterpreteAnteprima(Superficie &pagina, QString file)
    : Interprete(pagina, m_valoriAnteprima, std::move(file), NumeriAnteprima)
{
}

// ---- Dispatch ------------------------------------------------------------------

void InterpreteAnteprima::disegnaRiga(const RigaStampa &riga)
{
#define VORPLA_VOCE_ANTEPRIMA(testo, nome, s, p, a) VORPLA_ANTEPRIMA_VOCE_##a(testo, nome)
#define VORPLA_ANTEPRIMA_VOCE_A(testo, nome) {chiaveMarcatore(testo), &InterpreteAnteprima::a_##nome},
#define VORPLA_ANTEPRIMA_VOCE_S(testo, nome) {chiaveMarcatore(testo), &InterpreteAnteprima::m_##nome},
#define VORPLA_ANTEPRIMA_VOCE__(testo, nome)
    static const TabellaMarcatori<InterpreteAnteprima> tabella{VORPLA_MARCATORI(VORPLA_VOCE_ANTEPRIMA)};
#undef VORPLA_VOCE_ANTEPRIMA
    if (const auto r = tabella.trova(riga.byte()))
        (this->*r)(riga);
}

// ---- The page --------------------------------------------------------------------

void InterpreteAnteprima::DISEGNA(qint64 primaRiga)
{
    corsa(primaRiga);
}

void InterpreteAnteprima::inizioCorsa()
{
    impostaRoutine(QStringLiteral("frmPreview"), QStringLiteral("DISEGNA"));
    m_s = Stato{};
    m_t = StatoTabelle{};
    m_immagini.svuota();
    m_form = ValoriForm{};

    m_sup.ScaleWidth(LarghezzaPagina);
    m_sup.ScaleHeight(AltezzaPagina);
    fontOem(m_numeri.dimensioni[5]);
    m_sup.CurrentX = 0;
    m_sup.CurrentY = 0;

    m_s.LarghezzaPagina = LarghezzaPagina;
    m_s.AltezzaPagina = AltezzaPagina;
    m_s.MargineAlto = 0;
    m_s.MargineSinistro = m_numeri.margineSinistro;
    m_s.MargineDestro = m_numeri.margineDestro;
    m_s.Rientro = m_numeri.rientro;
    m_s.dimensioni = m_numeri.dimensioni;
}

// The page ends at its page-end line, which is not drawn.
void InterpreteAnteprima::primaDellaRiga(QByteArrayView letta)
{
    while (!letta.isEmpty() && letta.front() == ' ')
        letta = letta.sliced(1);
    if (letta.startsWith("@PAGE") || letta.startsWith("@PAGV")) {
        fermaLettura();
        return;
    }
    m_sup.DrawStyle(0);
}

bool InterpreteAnteprima::recupera(const ErroreVB &)
{
    return false;
}

void InterpreteAnteprima::fineFile() {}

void InterpreteAnteprima::errore(int numero, const QString &descrizione)
{
    const QString testo = descrizione.isEmpty() ? descrizioneErroreVB(numero) : descrizione;
    throw ErroreVB(numero, testo + QStringLiteral("\r\nTag: ") + daWindows1252(rigaCorrente()));
}

QString InterpreteAnteprima::Leggi(const QString &, const QString &) const
{
    return {};
}

double InterpreteAnteprima::baseIndirizzo() const
{
    return m_form.ConINTV ? 11 : 10;
}

QString InterpreteAnteprima::fileImmagineInLinea(const QString &) const
{
    return {};
}

// ---- Letterhead and address window ----------------------------------------------

void InterpreteAnteprima::a_INTV(const RigaStampa &riga)
{
    apriIntestazione(riga);
    m_form.ScostamentoVoucher += 1;
}

void InterpreteAnteprima::a_INDI(const RigaStampa &)
{
    finestraIndirizzo(10, 4, m_s.LarghezzaPagina - m_s.MargineSinistro, 7);
}

void InterpreteAnteprima::a_INDV(const RigaStampa &)
{
    const double O = m_form.ScostamentoVoucher;
    m_form.ConINTV = true;
    m_sup.FontName(QLatin1String(FontOem));
    finestraIndirizzo(11, O, m_s.LarghezzaPagina - m_s.MargineSinistro, O + 2.4);
}

void InterpreteAnteprima::a_INDf(const RigaStampa &riga)
{
    ultimaRigaIndirizzo(riga, 7.5, m_s.dimensioni[5] + 1, 10);
}

// The voucher logo, without the voucher layout: only "@INDV" and "@TITV"
// switch that on here.
void InterpreteAnteprima::a_LOGV(const RigaStampa &riga)
{
    const bool voucher = m_form.ConINTV;
    logo(riga, true);
    m_form.ConINTV = voucher;
}

// ---- Titles and dates --------------------------------------------------------------

void InterpreteAnteprima::a_TITO(const RigaStampa &riga)
{
    titoloInRiquadro(riga.argomento(), 9, m_s.dimensioni[6], 0.2, 0.2, m_s.Rientro);
}

void InterpreteAnteprima::a_TIT1(const RigaStampa &riga)
{
    m_s.YCorrente = 9;
    titoloInRiga(riga.argomento(), m_s.YCorrente, m_s.dimensioni[6]);
}

void InterpreteAnteprima::a_TITV(const RigaStampa &riga)
{
    m_form.ConINTV = true;
    m_s.YCorrente = m_form.ScostamentoVoucher + 3;
    titoloInRiquadro(riga.argomento(), m_s.YCorrente, m_s.dimensioni[6], 0.1, 0.1, m_s.Rientro);
}

void InterpreteAnteprima::a_TITB(const RigaStampa &riga)
{
    m_s.YCorrente += 0.7;
    titoloInRiquadro(riga.argomento(), m_s.YCorrente, m_s.dimensioni[6] - 1, 0.2, 0.2, m_s.Rientro);
    m_s.YCorrente += 0.3;
}

void InterpreteAnteprima::a_DATA(const RigaStampa &riga)
{
    const QByteArrayView testo = riga.argomento().isEmpty() ? QByteArrayView(" ") : riga.argomento();
    allineaADestra(testo, m_s.LarghezzaPagina - m_s.MargineSinistro, 9, m_s.dimensioni[5]);
}

void InterpreteAnteprima::a_DATV(const RigaStampa &riga)
{
    const double O = m_form.ScostamentoVoucher;
    m_s.YCorrente = O + 3;
    allineaADestra(riga.argomento(), m_s.LarghezzaPagina - m_s.MargineSinistro, m_s.YCorrente, m_s.dimensioni[6]);
    m_s.YCorrente = O + 2.97;
    m_s.YDopoData = m_s.YCorrente;
}

void InterpreteAnteprima::a_DAT3(const RigaStampa &riga)
{
    allineaADestra(riga.argomento(), m_s.LarghezzaPagina - m_s.MargineDestro, 10.5, m_s.dimensioni[5]);
}

// ---- Free text --------------------------------------------------------------------

void InterpreteAnteprima::a_TEXT(const RigaStampa &)
{
    apriTesto(0.5, m_s.dimensioni[9]);
}

void InterpreteAnteprima::a_TXTV(const RigaStampa &)
{
    apriTesto(0.1, m_s.dimensioni[9] - 0.5);
}

// The collected two-column lines, drawn when their block ends.
void InterpreteAnteprima::a_TXTf(const RigaStampa &)
{
    if (m_s.DueColonnePendenti)
        stampaDueColonne(10.5, 9.6, m_s.dimensioni[10]);
}

} // namespace vorpla
