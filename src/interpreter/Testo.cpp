// Text: letterhead, address window, references and dates, titles, free text,
// two-column small print, voucher text, text colour, the ASTOI document type
// and the character grid of "@RIGA" lines. Every position is absolute, from
// the interpreter state, in centimetres: W page width, L and R the left and
// right margins, G the inner gap, T the top margin, O the voucher offset.

#include "Interprete.h"

#include "Adattamento.h"
#include "Superficie.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"

namespace vorpla {

namespace {

constexpr int RigheDueColonneMassime = 999;

bool vuotoSenzaTrattini(QByteArrayView testo)
{
    for (char c : testo) {
        if (c != '-' && c != ' ')
            return false;
    }
    return true;
}

} // namespace

// ---- Letterhead -------------------------------------------------------------------

// Text lines follow each other from the pen: each one moves it a line down.
double Interprete::posizioneTesto() const
{
    return m_sup.CurrentY;
}

void Interprete::posizionaTesto(double y)
{
    m_sup.CurrentY = y;
}

void Interprete::rigaDiTesto(QByteArrayView testo, double x, int)
{
    m_sup.CurrentX = x;
    m_sup.Print(testo);
}

// A letterhead starts: the text letterhead follows unless columns 7-8 say
// "NO".
void Interprete::apriIntestazione(const RigaStampa &riga)
{
    m_sup.FontName(QLatin1String(FontOem));
    m_s.IntestazioneAttiva = riga.colonne(7, 2) == "NO" ? QStringLiteral("NO") : QStringLiteral("SI");
}

void Interprete::m_INTE(const RigaStampa &riga)
{
    apriIntestazione(riga);
    m_s.YCorrente = m_s.MargineAlto + m_form.ScostamentoVoucher + lung(1);
}

void Interprete::inizioVoucher() {}

void Interprete::m_INTV(const RigaStampa &riga)
{
    inizioVoucher();
    apriIntestazione(riga);
    if (!m_s.dispositivo.contains(QStringLiteral("EPSON SQ-")))
        m_form.ScostamentoVoucher += lung(0.5);
    m_s.YCorrente = m_form.ScostamentoVoucher;
}

void Interprete::m_INT1(const RigaStampa &riga)
{
    if (m_s.IntestazioneAttiva != QStringLiteral("SI"))
        return;
    m_sup.FontSize(m_s.dimensioni[1]);
    m_sup.FontBold(true);
    m_sup.FontUnderline(true);
    posizionaTesto(m_s.YCorrente);
    rigaDiTesto(riga.argomento(), m_s.MargineSinistro, 1);
    m_sup.FontBold(false);
    m_sup.FontUnderline(false);
    m_s.YIntestazione = posizioneTesto();
}

// The second and third letterhead lines continue below the previous one.
void Interprete::rigaIntestazione(const RigaStampa &riga, double dimensione)
{
    if (m_s.IntestazioneAttiva != QStringLiteral("SI"))
        return;
    m_sup.FontSize(dimensione);
    rigaDiTesto(riga.argomento(), m_s.MargineSinistro);
    m_s.YIntestazione = posizioneTesto();
}

void Interprete::m_INT2(const RigaStampa &riga)
{
    rigaIntestazione(riga, m_s.dimensioni[2]);
}

void Interprete::m_INT3(const RigaStampa &riga)
{
    rigaIntestazione(riga, m_s.dimensioni[3]);
}

void Interprete::m_INT4(const RigaStampa &riga)
{
    m_sup.FontSize(m_s.dimensioni[4]);
    posizionaTesto(m_s.YIntestazione);
    rigaDiTesto(riga.argomento(), m_s.MargineSinistro);
    m_s.YIntestazione = posizioneTesto();
}

// ---- Address window ------------------------------------------------------------------

bool Interprete::tipoAstoi() const
{
    return m_form.TipoDocumento == QStringLiteral("ASTOI");
}

bool Interprete::indirizzoASinistra() const
{
    return Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Indirizzo a sx")) == QStringLiteral("si");
}

// The left base of address lines.
double Interprete::baseIndirizzo() const
{
    if (m_form.ConINTV)
        return indirizzoASinistra() ? 1.3 : 11;
    return 11.5;
}

void Interprete::iniziaIndirizzoAstoi()
{
    m_s.RigheIndirizzo = {QByteArray()};
    m_s.XTitoli = 0;
    m_sup.FontBold(false);
    m_sup.FontSize(11);
}

// The address window, an outline through the two corners; the address
// lines start 0.2 below its top at the base size + 0.5.
void Interprete::finestraIndirizzo(double x1, double y1, double x2, double y2)
{
    m_sup.FontSize(m_s.dimensioni[5] + 0.5);
    m_sup.DrawWidth(1);
    m_sup.FillStyle(1);
    m_sup.Line(Rettangolo, x1, y1, x2, y2);
    m_sup.FillStyle(0);
    m_sup.CurrentY = y1 + 0.2;
    m_sup.DrawStyle(0);
    m_sup.DrawWidth(3);
}

void Interprete::m_INDI(const RigaStampa &)
{
    if (tipoAstoi())
        return iniziaIndirizzoAstoi();
    const double T = m_s.MargineAlto;
    finestraIndirizzo(11.5, T + 4, m_s.LarghezzaPagina - 0.7, T + 6.55);
}

void Interprete::m_IN2I(const RigaStampa &)
{
    if (tipoAstoi())
        return iniziaIndirizzoAstoi();
    m_s.SecondaFinestra = true;
    const double T = m_s.MargineAlto;
    finestraIndirizzo(11.5, T + 7, m_s.LarghezzaPagina - 0.7, T + 9.55);
}

void Interprete::m_INDV(const RigaStampa &)
{
    const double O = m_form.ScostamentoVoucher;
    m_form.ConINTV = true;
    m_sup.FontName(QLatin1String(FontOem));
    m_s.MargineSinistro = 1.3;
    if (indirizzoASinistra()) {
        m_s.MargineDestro = 11;
        finestraIndirizzo(1.3, O, 11, O + 2.4);
    } else {
        m_s.MargineDestro = 0.7;
        finestraIndirizzo(11, O, m_s.LarghezzaPagina - 0.7, O + 2.4);
    }
}

void Interprete::m_INDs(const RigaStampa &riga)
{
    if (tipoAstoi()) {
        m_s.RigheIndirizzo.append(riga.argomento().toByteArray());
        return;
    }
    if (m_form.ConINTV) {
        m_sup.FontSize(10.5);
        m_sup.CurrentX = m_s.Rientro + baseIndirizzo();
    } else {
        fontOem(9);
        m_sup.CurrentX = m_s.MargineSinistro;
        m_sup.CurrentY = m_s.MargineAlto + 6.6 + 0.3 * m_s.ContaMittente;
    }
    ++m_s.ContaMittente;
    m_sup.Print(riga.argomento());
}

void Interprete::rigaIndirizzo(const RigaStampa &riga, bool grassetto)
{
    if (tipoAstoi()) {
        m_s.RigheIndirizzo.append(riga.argomento().toByteArray());
        return;
    }
    if (m_form.ConINTV)
        m_sup.FontSize(m_s.dimensioni[5] + 0.5);
    else
        fontOem(m_s.dimensioni[5] + 1);
    const double x = m_s.Rientro + baseIndirizzo();
    m_sup.CurrentX = x;
    m_sup.FontBold(grassetto || m_s.Bold);
    riduciIndirizzo(riga.argomento(), x);
    m_sup.Print(riga.argomento());
    if (grassetto)
        m_sup.FontBold(false);
}

// Shrinks the font of an address line wider than the window, 2 points at a
// time, until it fits or the font will not get any smaller.
void Interprete::riduciIndirizzo(QByteArrayView testo, double x)
{
    const double limite = m_s.LarghezzaPagina - m_s.MargineDestro;
    const double prima = m_sup.FontSize();
    const auto sta = [&](qsizetype k) { return x + m_sup.TextWidth(testo.first(k)) <= limite; };
    while (!staIntero(testo.size(), sta)) {
        const double attuale = m_sup.FontSize();
        m_sup.FontSize(attuale - 2);
        if (m_sup.FontSize() == prima || m_sup.FontSize() >= attuale)
            break;
    }
}

void Interprete::m_INDb(const RigaStampa &riga)
{
    rigaIndirizzo(riga, true);
}

void Interprete::m_INDn(const RigaStampa &riga)
{
    rigaIndirizzo(riga, false);
}

// The last address line: at `x` in `dimensione` outside vouchers, and no
// higher than `alto`.
void Interprete::ultimaRigaIndirizzo(const RigaStampa &riga, double alto, double dimensione, double x)
{
    if (tipoAstoi()) {
        m_s.RigheIndirizzo.append(riga.argomento().toByteArray());
        return;
    }
    if (m_form.ConINTV) {
        m_sup.CurrentX = m_s.Rientro + 11;
    } else {
        fontOem(dimensione);
        m_sup.CurrentX = m_s.Rientro + x;
    }
    if (m_s.YCorrente < m_s.MargineAlto + alto) {
        m_s.YCorrente = m_s.MargineAlto + alto;
        m_sup.CurrentY = m_s.YCorrente;
    }
    m_sup.Print(riga.argomento());
}

void Interprete::m_INDf(const RigaStampa &riga)
{
    ultimaRigaIndirizzo(riga, 6.6, 9, 10 + 1.5);
}

void Interprete::m_IN2f(const RigaStampa &riga)
{
    ultimaRigaIndirizzo(riga, 9.6, 9, 10 + 1.5);
}

// ---- References and dates -------------------------------------------------------------

void Interprete::m_RIFE(const RigaStampa &riga)
{
    m_s.YCorrente = m_s.MargineAlto + lung(7.5);
    m_sup.FontSize(m_s.dimensioni[5]);
    posizionaTesto(m_s.YCorrente);
    rigaDiTesto(riga.argomento(), m_s.MargineSinistro);
}

void Interprete::m_RIFr(const RigaStampa &riga)
{
    rigaDiTesto(riga.argomento(), m_s.MargineSinistro);
}

void Interprete::m_SCAD(const RigaStampa &riga)
{
    m_s.YCorrente = m_s.MargineAlto + 7.6;
    m_sup.FontSize(m_s.dimensioni[5]);
    m_sup.CurrentX = m_s.MargineSinistro;
    m_sup.CurrentY = m_s.YCorrente;
    m_sup.Print(riga.argomento());
    m_s.YCorrente = 7.9;
}

// A text at `dimensione` ending at `destra`, on the line at y.
void Interprete::allineaADestra(QByteArrayView testo, double destra, double y, double dimensione)
{
    m_sup.FontSize(dimensione);
    m_sup.CurrentX = destra - m_sup.TextWidth(testo);
    m_sup.CurrentY = y;
    m_sup.Print(testo);
}

void Interprete::m_DAT1(const RigaStampa &riga)
{
    m_s.YCorrente += 0.7;
    allineaADestra(riga.argomento(), m_s.LarghezzaPagina - m_s.MargineDestro, m_s.YCorrente, m_s.dimensioni[5]);
}

void Interprete::m_DATA(const RigaStampa &riga)
{
    m_s.YCorrente = m_s.MargineAlto + (m_s.SecondaFinestra ? 10.6 : 7.6);
    const QByteArrayView testo = riga.argomento().isEmpty() ? QByteArrayView(" ") : riga.argomento();
    allineaADestra(testo, m_s.LarghezzaPagina - m_s.MargineDestro, m_s.YCorrente, m_s.dimensioni[5]);
    m_s.YCorrente += 0.3;
}

void Interprete::m_DATV(const RigaStampa &riga)
{
    const double O = m_form.ScostamentoVoucher;
    m_s.YCorrente = O + 3;
    allineaADestra(riga.argomento(), m_s.LarghezzaPagina - m_s.MargineDestro - m_s.Rientro, m_s.YCorrente,
                  m_s.dimensioni[5]);
    m_s.YCorrente = O + 2.97;
    m_s.YDopoData = m_s.YCorrente;
}

// ---- Titles -----------------------------------------------------------------------

double Interprete::xCentrato(QByteArrayView testo) const
{
    return (m_s.LarghezzaPagina - m_s.MargineSinistro - m_s.MargineDestro - m_sup.TextWidth(testo)) / 2
           + m_s.MargineSinistro;
}

// Centred between the address column (11.5) and the right margin.
double Interprete::xCentratoIndirizzo(QByteArrayView testo) const
{
    return (m_s.LarghezzaPagina - m_s.MargineDestro - lung(11.5) - m_sup.TextWidth(testo)) / 2 + lung(11.5);
}

// A boxed title centred between the margins, printed bold at `dimensione`:
// the box runs from the inner gap left of the text, `sopra` above it, to
// `oltre` past its end and `sotto` below it. Bold goes off and the base
// size comes back afterwards.
void Interprete::titoloInRiquadro(QByteArrayView t, double y, double dimensione, double sopra, double sotto,
                                  double oltre)
{
    m_sup.FontSize(dimensione);
    m_sup.FontBold(true);
    const double x = xCentrato(t);
    riquadro(x - m_s.Rientro, y - sopra, x + m_sup.TextWidth(t) + oltre, y + m_sup.TextHeight(t) + sotto);
    m_sup.CurrentX = x;
    m_sup.CurrentY = y;
    m_sup.Print(t);
    m_sup.DrawWidth(3);
    m_sup.FontBold(false);
    m_sup.FontSize(m_s.dimensioni[5]);
}

// A title centred between the margins, bold at `dimensione`, on the line
// at y; bold goes off and the base size comes back afterwards.
void Interprete::titoloInRiga(QByteArrayView t, double y, double dimensione)
{
    m_sup.FontSize(dimensione);
    m_sup.FontBold(true);
    m_sup.CurrentX = xCentrato(t);
    m_sup.CurrentY = y;
    m_sup.Print(t);
    m_sup.FontBold(false);
    m_sup.FontSize(m_s.dimensioni[5]);
}

void Interprete::riquadro(double x1, double y1, double x2, double y2)
{
    m_sup.DrawWidth(5);
    m_sup.FillStyle(1);
    m_sup.Line(Rettangolo, x1, y1, x2, y2);
    m_sup.FillStyle(0);
}

void Interprete::m_TITO(const RigaStampa &riga)
{
    const QByteArrayView t = riga.argomento();
    const double T = m_s.MargineAlto, G = m_s.Rientro;
    m_s.YCorrente = T + (m_s.SecondaFinestra ? 10.6 : 7.6);
    titoloInRiquadro(t, m_s.YCorrente, m_s.dimensioni[6], 0.1, 0.1, 2 * G);
    m_s.YCorrente = m_s.YCorrente + 0.3 + T;
    titoloDocumento(t);
}

void Interprete::m_TIT1(const RigaStampa &riga)
{
    const QByteArrayView t = riga.argomento();
    titoloFaxMail(t);
    if (tipoAstoi()) {
        if (m_s.IntestazioneAttiva == QStringLiteral("SI"))
            m_s.YCorrente = m_s.MargineAlto + m_form.ScostamentoVoucher + 1;
        m_sup.FontSize(11);
        m_sup.CurrentX = xCentratoIndirizzo(t);
        m_sup.CurrentY = m_s.YCorrente;
        m_sup.Print(t);
        m_s.YCorrente = m_sup.CurrentY;
        return;
    }
    m_s.YCorrente = m_s.MargineAlto + 7.6;
    titoloInRiga(t, m_s.YCorrente, 8);
}

void Interprete::m_TIT2(const RigaStampa &riga)
{
    const QByteArrayView t = riga.argomento();
    if (tipoAstoi()) {
        titoloFaxMail(t);
        const double y = m_sup.CurrentY;
        m_sup.FontSize(11);
        m_sup.CurrentX = xCentratoIndirizzo(t);
        m_sup.CurrentY = y;
        m_sup.Print(t);
        return;
    }
    titoloInRiga(t, m_sup.CurrentY, m_s.dimensioni[6]);
    m_s.YCorrente = m_sup.CurrentY - 0.2;
}

void Interprete::m_TIT3(const RigaStampa &riga)
{
    const QByteArrayView t = riga.argomento();
    const double T = m_s.MargineAlto;
    m_s.YCorrente = T + 10.5;
    titoloInRiquadro(t, m_s.YCorrente, m_s.dimensioni[6], 0.2, 0.2, m_s.Rientro);
    m_s.YCorrente = T + 10.8;
}

void Interprete::m_TITV(const RigaStampa &riga)
{
    const QByteArrayView t = riga.argomento();
    m_form.ConINTV = true;
    m_s.MargineSinistro = 1.3;
    m_s.MargineDestro = 0.7;
    m_s.YCorrente = m_form.ScostamentoVoucher + 3;
    titoloInRiquadro(t, m_s.YCorrente, m_s.dimensioni[6], 0.1, 0.05, m_s.Rientro);
    titoloFaxMail(t);
}

void Interprete::m_TITB(const RigaStampa &riga)
{
    const QByteArrayView t = riga.argomento();
    m_s.YCorrente += 0.7;
    if (!Leggi(QStringLiteral("MARGINI"), QStringLiteral("MARGINESUP")).isEmpty())
        m_s.YCorrente += m_s.MargineAlto;
    const double dimensione = m_s.dimensioni[6] - 1;
    // The box reaches one character further; a blank title keeps the
    // extension of the previous one.
    if (!t.trimmed().isEmpty()) {
        m_sup.FontSize(dimensione);
        m_sup.FontBold(true);
        m_s.estensioneTitoloB = m_sup.TextWidth(t.first(1)) + 0.1;
    }
    titoloInRiquadro(t, m_s.YCorrente, dimensione, 0.2, 0.2, m_s.estensioneTitoloB + m_s.Rientro);
    m_s.YCorrente += 0.39;
    titoloFaxMail(t);
}

void Interprete::m_TITn(const RigaStampa &riga)
{
    if (!tipoAstoi())
        return;
    const QByteArrayView t = riga.argomento();
    const double y = m_sup.CurrentY;
    m_sup.FontSize(11);
    m_sup.CurrentX = xTitoloIndirizzo(t);
    m_sup.CurrentY = y;
    m_sup.Print(t);
    m_s.YCorrente = m_sup.CurrentY;
}

// The x of the next line of the ASTOI title block: the first four centred
// by the address column, the block taking the leftmost of them; later
// lines at the block's edge.
double Interprete::xTitoloIndirizzo(QByteArrayView t)
{
    ++m_s.ContaTitoli;
    if (m_s.ContaTitoli >= 5)
        return m_s.XTitoli;
    const double x = xCentratoIndirizzo(t);
    if (m_s.ContaTitoli == 1 || x < m_s.XTitoli)
        m_s.XTitoli = x;
    return x;
}

void Interprete::m_TITf(const RigaStampa &riga)
{
    if (!tipoAstoi())
        return;
    m_sup.FontSize(11);
    m_sup.CurrentX = m_s.XTitoli;
    m_sup.Print(riga.argomento());
    m_s.YCorrente = m_sup.CurrentY + 0.2;
    m_sup.CurrentY = m_s.YCorrente;
    for (qsizetype i = 1; i < m_s.RigheIndirizzo.size(); ++i) {
        m_sup.CurrentX = m_s.XTitoli + m_s.Rientro;
        m_sup.Print(m_s.RigheIndirizzo.at(i));
    }
    m_sup.FillStyle(1);
    m_sup.Line(Rettangolo, m_s.XTitoli, m_s.YCorrente - 0.2, m_s.LarghezzaPagina - m_s.MargineDestro,
               m_sup.CurrentY + 0.2);
    m_s.YCorrente = m_sup.CurrentY;
    m_s.ContaTitoli = 0;
}

void Interprete::m_TXTe(const RigaStampa &riga)
{
    if (!tipoAstoi())
        return;
    m_s.YCorrente += 0.1;
    m_sup.CurrentX = m_s.MargineSinistro;
    m_sup.CurrentY = m_s.YCorrente;
    fontOem(11);
    m_sup.FontBold(true);
    m_sup.Print(riga.argomento());
    m_sup.FontBold(false);
    m_s.YCorrente = m_sup.CurrentY;
}

// ---- Free text ------------------------------------------------------------------------

// A block of free text starts `passo` below the running position, in
// `dimensione`.
void Interprete::apriTesto(double passo, double dimensione)
{
    m_s.YCorrente += passo;
    m_sup.CurrentY = m_s.YCorrente;
    fontOem(dimensione);
}

void Interprete::m_TEXT(const RigaStampa &)
{
    apriTesto(0.2, m_s.dimensioni[9]);
}

void Interprete::m_TXTn(const RigaStampa &riga)
{
    fontOem(m_s.dimensioni[9]);
    m_sup.FontBold(false);
    m_sup.FontItalic(false);
    m_sup.FontUnderline(false);
    m_sup.CurrentX = m_s.MargineSinistro + m_s.Rientro;
    stampaConOggetti(riga.argomento());
    m_sup.CurrentY -= 0.0125;
    m_s.YCorrente = m_sup.CurrentY;
}

void Interprete::testoConAttributi(QByteArrayView testo, bool grassetto, bool sottolineato, bool centrato)
{
    if (grassetto)
        m_sup.FontBold(true);
    if (sottolineato)
        m_sup.FontUnderline(true);
    const double L = m_s.MargineSinistro, G = m_s.Rientro, R = m_s.MargineDestro;
    m_sup.CurrentX = centrato ? (m_s.LarghezzaPagina - (2 * G + R + L) - m_sup.TextWidth(testo)) / 2 + (L + G)
                              : L + G;
    stampaConOggetti(testo);
    if (grassetto)
        m_sup.FontBold(false);
    if (sottolineato)
        m_sup.FontUnderline(false);
    m_s.YCorrente = m_sup.CurrentY;
}

void Interprete::m_TXTb(const RigaStampa &riga) { testoConAttributi(riga.argomento(), true, false, false); }
void Interprete::m_TXTs(const RigaStampa &riga) { testoConAttributi(riga.argomento(), false, true, false); }
void Interprete::m_TXTc(const RigaStampa &riga) { testoConAttributi(riga.argomento(), false, false, true); }
void Interprete::m_TXTd(const RigaStampa &riga) { testoConAttributi(riga.argomento(), true, false, true); }
void Interprete::m_TXTa(const RigaStampa &riga) { testoConAttributi(riga.argomento(), true, true, true); }

// ---- Two-column small print -----------------------------------------------------------

void Interprete::rigaDueColonne(QByteArrayView testo, bool grassetto, bool corsivo, bool sottolineato, bool centrata)
{
    fontOem(m_s.dimensioni[9]);
    m_sup.FontBold(grassetto);
    m_sup.FontItalic(corsivo);
    m_sup.FontUnderline(sottolineato);
    if (m_s.DueColonne.isEmpty())
        m_s.YInizioDueColonne = m_sup.CurrentY;
    if (m_s.DueColonne.size() >= RigheDueColonneMassime)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    m_s.DueColonne.append(testo.toByteArray());
    m_s.DueColonnePendenti = true;
    if (centrata)
        m_s.DueColonneCentrate = true;
}

void Interprete::m_TXT2(const RigaStampa &riga) { rigaDueColonne(riga.argomento(), false, false, false, false); }
void Interprete::m_TX2b(const RigaStampa &riga) { rigaDueColonne(riga.argomento(), true, false, false, false); }
void Interprete::m_TX2s(const RigaStampa &riga) { rigaDueColonne(riga.argomento(), false, false, true, false); }
void Interprete::m_TX2c(const RigaStampa &riga) { rigaDueColonne(riga.argomento(), false, true, false, true); }
void Interprete::m_TX2d(const RigaStampa &riga) { rigaDueColonne(riga.argomento(), true, false, false, true); }
void Interprete::m_TX2a(const RigaStampa &riga) { rigaDueColonne(riga.argomento(), true, false, true, true); }

void Interprete::stampaDueColonne()
{
    const double L = m_s.MargineSinistro, R = m_s.MargineDestro, G = m_s.Rientro;
    const double C = (m_s.LarghezzaPagina - L - R - 2 * G) / 2;
    stampaDueColonne(C + 1, L + C + G, 5);
}

// Prints the buffered lines in two columns at `dimensione`: the first half
// on the left, the second on the right starting at `xDestra`, an odd middle
// line alone on the left below them, and a rule between the columns at
// `xRegola`. Centred lines are centred in their half of the usable width.
void Interprete::stampaDueColonne(double xDestra, double xRegola, double dimensione)
{
    if (m_sup.CurrentY < 1)
        m_sup.CurrentY = 1;
    const double L = m_s.MargineSinistro, R = m_s.MargineDestro, G = m_s.Rientro;
    const double C = (m_s.LarghezzaPagina - L - R - 2 * G) / 2;
    const qsizetype n = m_s.DueColonne.size();
    const qsizetype h = n / 2, dispari = n % 2;
    const bool centrate = m_s.DueColonneCentrate;
    auto sinistra = [&](const QByteArray &testo) {
        m_sup.FontSize(dimensione);
        m_sup.CurrentX = centrate ? (C - 2 * G - m_sup.TextWidth(testo)) / 2 + L : L + G;
        stampaConOggetti(testo);
    };
    for (qsizetype i = 0; i < h; ++i) {
        const double y = m_sup.CurrentY;
        sinistra(m_s.DueColonne.at(i));
        m_sup.CurrentY = y;
        const QByteArray &destra = m_s.DueColonne.at(i + h + dispari);
        m_sup.CurrentX = centrate ? (C - m_sup.TextWidth(destra)) / 2 + (C + G + L) : xDestra;
        stampaConOggetti(destra);
        m_sup.CurrentY -= 0.0125;
    }
    if (dispari)
        sinistra(m_s.DueColonne.at(h));
    m_sup.DrawWidth(1);
    if (m_s.YInizioDueColonne != 0) {
        const double fine = m_sup.CurrentY;
        m_sup.Line(LineaColoreCorrente, xRegola, m_s.YInizioDueColonne, xRegola, fine);
    }
    m_s.YInizioDueColonne = 0;
    m_s.DueColonne.clear();
    m_s.YCorrente = m_sup.CurrentY;
    m_sup.FontBold(false);
    m_sup.FontUnderline(false);
    m_s.DueColonneCentrate = false;
    m_s.DueColonnePendenti = false;
}

// ---- Voucher text ------------------------------------------------------------------------

void Interprete::m_TXTV(const RigaStampa &)
{
    apriTesto((m_s.YDopoData && m_s.YCorrente == *m_s.YDopoData) ? 0.6 : 0.1, m_s.dimensioni[9] - 0.5);
}

void Interprete::m_TXVb(const RigaStampa &riga)
{
    m_sup.FontBold(true);
    m_sup.CurrentX = m_s.MargineSinistro + m_s.Rientro;
    stampaConOggetti(riga.argomento());
    m_sup.FontBold(false);
    m_sup.CurrentY = m_s.YCorrente;
}

void Interprete::m_TXVn(const RigaStampa &riga)
{
    const bool senzaSpazio = Leggi(QStringLiteral("Pagina Voucher"), QStringLiteral("Spaz sx")) == QStringLiteral("no");
    m_sup.CurrentX = m_s.MargineSinistro + m_s.Rientro + (senzaSpazio ? 0 : 1.5);
    stampaConOggetti(riga.argomento());
    m_sup.CurrentY -= 0.0125;
    m_s.YCorrente = m_sup.CurrentY;
}

// ---- Text colour ---------------------------------------------------------------------------

void Interprete::m_PgSP(const RigaStampa &riga)
{
    m_sup.ForeColor(riga.argomento().trimmed() == "INIZIO" ? ColoreTestoGrigio : 0);
}

// ---- Character grid ---------------------------------------------------------------------------

void Interprete::m_RIGA(const RigaStampa &riga)
{
    const QByteArrayView testo = riga.argomento();
    if (testo.indexOf("<<IMG=") >= 0) {
        stampaConOggetti(testo);
        ++m_s.RigaGriglia;
        return;
    }
    const bool soloTrattini = vuotoSenzaTrattini(testo);
    int k = 1;
    for (const char c : testo) {
        m_sup.CurrentY = 1 + m_s.PassoRiga * m_s.RigaGriglia + (m_s.LogoPresente ? 2.5 : 0);
        switch (c) {
        case 1:
            m_sup.FontBold(false);
            m_sup.FontUnderline(false);
            m_sup.FontSize(8);
            m_s.doppiaLarghezza = false;
            continue;
        case 2:
            m_sup.FontBold(true);
            continue;
        case 3:
            m_sup.FontUnderline(true);
            continue;
        case 4:
            m_sup.FontBold(true);
            m_sup.FontUnderline(true);
            continue;
        case 5:
            m_sup.FontItalic(true);
            continue;
        case 6:
            m_sup.FontSize(14);
            m_s.doppiaLarghezza = true;
            m_s.contatoreDoppio = 0;
            continue;
        default:
            break;
        }
        ++k;
        if (m_s.doppiaLarghezza && c != ' ' && static_cast<unsigned char>(c) > 6) {
            ++m_s.contatoreDoppio;
            m_sup.CurrentX = m_s.PassoCarattere * k + 0.1 * m_s.contatoreDoppio;
        } else {
            m_sup.CurrentX = m_s.PassoCarattere * k;
        }
        if (soloTrattini && c == '-') {
            const double x = m_sup.CurrentX, y = m_sup.CurrentY;
            m_sup.Line(LineaColoreCorrente, x, y, x + m_s.PassoCarattere, y);
        } else {
            m_sup.Print(QByteArrayView(&c, 1));
        }
    }
    ++m_s.RigaGriglia;
}

} // namespace vorpla
