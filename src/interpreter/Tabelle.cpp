// Boxed tables: a template line marks where each column starts and ends,
// and every later row is cut into cells at the same character positions.
//
// The host sends a table as fixed-pitch text: N characters (`CaratteriTabella`)
// span the usable width U = W - L - R - 2G, so a column starting at character
// p has its left edge at x = (p + S - 1) * U / N, drawn at x + L + G, where S
// (`ScostamentoColonne`) shifts the columns of a nested box to the right.
// Heading rows, data rows and totals rows print their cells at those edges;
// frames, inner rules and nested frames are drawn when the box closes.
// Sizes depend on the table's width: a condensed table (N above 100) uses
// smaller ones throughout.
//
// Lengths are written in centimetres, the printer's unit; lung() gives them
// in the unit of the layout drawing (the PDF form's layout is in
// millimetres), so every layout draws tables by these same rules.

#include "Interprete.h"
#include "Superficie.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"

#include <algorithm>

namespace vorpla {

namespace {

constexpr int DivisionePerZero = 11;

// The lower case of a Windows-1252 character, as the host's headings are
// lower-cased.
char minuscola(char c)
{
    const auto codice = static_cast<unsigned char>(c);
    if (codice < 0x80)
        return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    const QChar carattere(carattereWindows1252(codice));
    const QChar minuscolo = carattere.toLower();
    if (minuscolo == carattere)
        return c;
    const QByteArray byte = aWindows1252(QString(minuscolo));
    return byte.size() == 1 && byte[0] != '?' ? byte[0] : c;
}

QByteArray minuscole(QByteArray testo)
{
    for (char &c : testo)
        c = minuscola(c);
    return testo;
}

QByteArrayView senzaSpaziIniziali(QByteArrayView testo)
{
    qsizetype i = 0;
    while (i < testo.size() && testo[i] == ' ')
        ++i;
    return testo.sliced(i);
}

} // namespace

// ---- Geometry of the columns --------------------------------------------------

double Interprete::dimensioneTabella(double larga, double normale) const
{
    return m_t.CaratteriTabella > 100 ? larga : normale;
}

// The width of one character of the table. A table without a width (a blank
// or zero N) has no geometry: that is a division by zero, reported like
// every other error of the print file.
double Interprete::larghezzaCarattere() const
{
    if (m_t.CaratteriTabella == 0)
        throw ErroreVB(DivisionePerZero);
    const double U = m_s.LarghezzaPagina - m_s.MargineSinistro - m_s.MargineDestro - 2 * m_s.Rientro;
    return U / m_t.CaratteriTabella;
}

double Interprete::xColonna(const ColonnaTabella &colonna) const
{
    return colonna.x + m_s.MargineSinistro + m_s.Rientro;
}

double Interprete::destraColonna(const ColonnaTabella &colonna) const
{
    return xColonna(colonna) + colonna.larghezza * larghezzaCarattere();
}

// The characters of the row under the column.
QByteArrayView Interprete::cellaTabella(QByteArrayView testo, const ColonnaTabella &colonna) const
{
    const qsizetype inizio = colonna.inizio - 1;
    if (inizio < 0 || inizio >= testo.size() || colonna.larghezza <= 0)
        return {};
    return testo.sliced(inizio, qMin<qsizetype>(colonna.larghezza, testo.size() - inizio));
}

// Prints the text so that it ends at the column's right edge.
void Interprete::stampaADestra(QByteArrayView testo, const ColonnaTabella &colonna)
{
    m_sup.CurrentX = destraColonna(colonna) - m_sup.TextWidth(testo);
    m_sup.Print(testo);
}

// Where the horizontal rules of the current level end: the frame's right
// edge (the first F column), or the right margin.
double Interprete::fineRegolaTabella() const
{
    const LivelloTabella &livello = m_t.livello();
    for (int c = 0; c < livello.NumeroColonne; ++c)
        if (livello.Colonne[c].tipo == 'F')
            return xColonna(livello.Colonne[c]);
    return m_s.LarghezzaPagina - m_s.MargineDestro;
}

void Interprete::aggiungiRigaDifferita(double y)
{
    // Ten rules a level are kept; the frame has no room in its list for more.
    QList<double> &righe = m_t.livello().RigheDifferite;
    if (righe.size() < LivelloTabella::RigheDifferiteMassime)
        righe.append(y);
}

void Interprete::azzeraLivelliTabella()
{
    for (LivelloTabella &livello : m_t.livelli) {
        livello.StileLivello = 'S';
        livello.SinistraLivello = 0;
        livello.AltoLivello = 0;
        livello.RigheDifferite.clear();
    }
}

// ---- Geometry markers -----------------------------------------------------------

void Interprete::m_FLDB(const RigaStampa &)
{
    m_s.IntestazioniLetterali = true;
}

void Interprete::m_BOXt(const RigaStampa &riga)
{
    m_t.CaratteriTabella = riga.num3();
    m_t.AltoCornice = m_s.YCorrente + lung(0.5);
    fontOem(dimensioneTabella(9.5, m_s.dimensioni[8]));
    m_t.ScostamentoColonne = 0;
    m_t.CorniceEsterna = false;
    azzeraLivelliTabella();
}

void Interprete::m_BOXl(const RigaStampa &riga)
{
    m_t.CaratteriTabella = riga.num3();
}

void Interprete::m_BOxp(const RigaStampa &riga)
{
    m_t.ScostamentoColonne = riga.num3();
}

void Interprete::inizioBox(const RigaStampa &riga)
{
    m_t.AltoCornice = m_s.YCorrente;
    m_t.CaratteriTabella = riga.num3();
    m_t.AltoBox = m_s.YCorrente;
    m_s.YCorrente += lung(0.1);
}

void Interprete::m_BOXi(const RigaStampa &riga)
{
    m_s.YCorrente += lung(m_form.ConINTV ? 0.5 : 0.2);
    inizioBox(riga);
}

void Interprete::m_BoXi(const RigaStampa &riga)
{
    m_s.YCorrente -= lung(0.1);
    inizioBox(riga);
}

void Interprete::m_BOxi(const RigaStampa &riga)
{
    m_t.AltoAnnidato = m_s.YCorrente;
    m_s.YCorrente += lung(0.5);
    m_t.LarghezzaAnnidata = riga.num3();
    m_t.AltoBox = m_s.YCorrente;
    m_s.YCorrente += lung(0.1);
}

// ---- Template ---------------------------------------------------------------------

// Reads the columns of the current level from the letters of the template;
// nothing is drawn.
void Interprete::modelloTabella(const RigaStampa &riga)
{
    m_t.YModello = m_s.YCorrente;
    fontOem(dimensioneTabella(8.5, m_s.dimensioni[8] + 1));
    LivelloTabella &livello = m_t.livello();
    livello.NumeroColonne = 0;
    const QByteArrayView modello = riga.argomento();
    for (qsizetype i = 0; i < modello.size(); ++i) {
        const int p = int(i) + 1;
        const char lettera = modello[i];
        switch (lettera) {
        case 'c': case 't': case 'g': case 'd': case 'b': case 'F': case 'i': case 'I': {
            if (livello.NumeroColonne >= LivelloTabella::ColonneMassime)
                throw ErroreVB(Err::IndiceFuoriIntervallo);
            ColonnaTabella &colonna = livello.Colonne[livello.NumeroColonne++];
            colonna.tipo = (lettera == 'i' || lettera == 'I' || lettera == 'F') ? lettera : char(lettera - 'a' + 'A');
            colonna.inizio = p;
            // One character until its closing letter says otherwise.
            colonna.larghezza = 1;
            colonna.x = (p + m_t.ScostamentoColonne - 1) * larghezzaCarattere();
            if (lettera == 'i')
                m_t.XColonnaI = colonna.x;
            break;
        }
        case 'C': case 'T': case 'G': case 'D': case 'B':
            // A closing letter before any column closes nothing.
            if (livello.NumeroColonne > 0) {
                ColonnaTabella &ultima = livello.Colonne[livello.NumeroColonne - 1];
                ultima.larghezza = p - ultima.inizio + 1;
            }
            break;
        default:
            break;
        }
    }
}

void Interprete::m_BXt1(const RigaStampa &riga)
{
    modelloTabella(riga);
}

void Interprete::m_Bxt1(const RigaStampa &riga)
{
    modelloTabella(riga);
}

// ---- Heading rows --------------------------------------------------------------------

// `regola`: 'I' no rule under the heading, 'i' a rule drawn at once, 'x' a
// rule drawn when the frame closes.
void Interprete::intestazioneTabella(const RigaStampa &riga, char regola)
{
    fontOem(dimensioneTabella(8.5, m_s.dimensioni[8]));
    m_sup.FontBold(false);
    const double L = m_s.MargineSinistro, G = m_s.Rientro;
    const double piccola = dimensioneTabella(m_s.dimensioni[7] - 1.5, m_s.dimensioni[7] - 0.5);
    const LivelloTabella &livello = m_t.livello();
    for (int c = 0; c < livello.NumeroColonne; ++c) {
        const ColonnaTabella &colonna = livello.Colonne[c];
        QByteArray testo = cellaTabella(riga.argomento(), colonna).toByteArray();
        if (!m_s.IntestazioniLetterali)
            testo = minuscole(std::move(testo));
        m_sup.CurrentX = xColonna(colonna);
        m_sup.CurrentY = m_s.YCorrente;
        switch (colonna.tipo) {
        case 'T':
        case 'F':
            m_sup.FontSize(piccola);
            m_sup.Print(testo);
            break;
        case 'D':
        case 'B':
            m_sup.FontSize(piccola);
            stampaADestra(testo, colonna);
            break;
        case 'G':
            m_sup.FontBold(true);
            m_sup.Print(testo);
            m_sup.FontBold(false);
            break;
        case 'i': {
            // The heading's vertical rule, from the template down to below
            // this row, at the last "i" of the template.
            const double x = m_t.XColonnaI + L + G;
            const double fine = m_s.YCorrente + m_sup.TextHeight(testo) + lung(0.1);
            m_sup.Line(LineaColoreCorrente, x, m_t.YModello - lung(0.1), x, fine);
            break;
        }
        default: // C and I hold no heading text
            break;
        }
    }
    m_s.YCorrente = m_sup.CurrentY;
    if (regola != 'I') {
        m_s.YCorrente -= lung(0.1);
        if (regola == 'x') {
            aggiungiRigaDifferita(m_s.YCorrente + lung(0.1));
        } else {
            m_sup.DrawWidth(1);
            const double y = m_s.YCorrente + lung(0.1);
            m_sup.Line(LineaColoreCorrente, L, y, fineRegolaTabella(), y);
            m_sup.DrawWidth(3);
        }
        m_s.YCorrente += lung(0.2);
    }
    m_sup.CurrentY = m_s.YCorrente;
}

void Interprete::m_BXI1(const RigaStampa &riga)
{
    intestazioneTabella(riga, 'I');
}

void Interprete::m_BXi1(const RigaStampa &riga)
{
    intestazioneTabella(riga, 'i');
}

void Interprete::m_Bxi1(const RigaStampa &riga)
{
    intestazioneTabella(riga, 'x');
}

// ---- Data rows -------------------------------------------------------------------------

void Interprete::rigaTabella(const RigaStampa &riga, bool grassetto, bool rialzata)
{
    m_sup.FontBold(false);
    m_sup.FontName(QLatin1String(FontOem));
    if (rialzata)
        m_s.YCorrente = m_s.YCorrente - m_sup.TextHeight("A") / 2 + lung(0.05);
    const double y = m_s.YCorrente;
    double h = 0;
    const LivelloTabella &livello = m_t.livello();
    for (int c = 0; c < livello.NumeroColonne; ++c) {
        const ColonnaTabella &colonna = livello.Colonne[c];
        m_sup.CurrentX = xColonna(colonna);
        m_sup.CurrentY = y;
        m_sup.FontSize(dimensioneTabella(8.5, m_s.dimensioni[8] + 1));
        h = m_sup.TextHeight("A");
        const QByteArrayView testo = cellaTabella(riga.argomento(), colonna);
        // A cell of a smaller size keeps the row's baseline.
        auto allinea = [&] { m_sup.CurrentY = y + h - m_sup.TextHeight("A"); };
        switch (colonna.tipo) {
        case 'C':
            if (grassetto)
                m_sup.FontBold(true);
            m_sup.FontSize(dimensioneTabella(8, m_s.dimensioni[8] - 0.5));
            allinea();
            m_sup.Print(testo);
            m_sup.FontBold(false);
            break;
        case 'T':
            if (grassetto)
                m_sup.FontBold(true);
            m_sup.FontSize(m_sup.FontSize() - 0.5);
            allinea();
            m_sup.Print(testo);
            m_sup.FontBold(false);
            break;
        case 'G':
            m_sup.FontBold(true);
            allinea();
            m_sup.Print(testo);
            m_sup.FontBold(false);
            break;
        case 'D':
            m_sup.FontBold(false);
            if (grassetto)
                m_sup.FontBold(true);
            allinea();
            stampaADestra(senzaSpaziIniziali(testo), colonna);
            m_sup.FontBold(false);
            m_sup.FontSize(m_s.dimensioni[8]);
            break;
        case 'F':
            if (grassetto)
                m_sup.FontBold(true);
            allinea();
            m_sup.Print(testo);
            m_sup.FontBold(false);
            break;
        case 'B': {
            // A framed total: the frame reaches the right margin, and bold
            // stays on for the cell that follows.
            m_sup.FillStyle(1);
            m_sup.DrawWidth(3);
            m_sup.FontSize(11);
            m_sup.Line(Rettangolo, xColonna(colonna), y - lung(0.1), m_s.LarghezzaPagina - m_s.MargineDestro, y + lung(0.4));
            m_sup.FillStyle(0);
            m_sup.FontSize(dimensioneTabella(8.5, m_s.dimensioni[8]));
            m_sup.FontBold(true);
            allinea();
            stampaADestra(senzaSpaziIniziali(testo), colonna);
            break;
        }
        default: // I and i
            break;
        }
    }
    m_sup.FontBold(false);
    m_sup.CurrentY = y + h;
    m_s.YCorrente = m_sup.CurrentY;
    if (m_t.CaratteriTabella > 100)
        m_s.YCorrente += lung(0.1);
}

void Interprete::m_BXr1(const RigaStampa &riga)
{
    rigaTabella(riga, false, false);
}

void Interprete::m_BXR1(const RigaStampa &riga)
{
    rigaTabella(riga, true, false);
}

void Interprete::m_BXr2(const RigaStampa &riga)
{
    rigaTabella(riga, false, true);
}

// ---- Horizontal rules -------------------------------------------------------------------

void Interprete::regolaTabella(bool differita)
{
    m_s.YCorrente += lung(0.1);
    if (differita) {
        aggiungiRigaDifferita(m_sup.CurrentY);
    } else {
        m_sup.FillStyle(1);
        m_sup.DrawWidth(1);
        m_sup.Line(LineaColoreCorrente, m_s.MargineSinistro, m_s.YCorrente, fineRegolaTabella(), m_s.YCorrente);
    }
    m_s.YCorrente += lung(0.1);
}

void Interprete::m_BXRI(const RigaStampa &)
{
    regolaTabella(false);
}

void Interprete::m_BXri(const RigaStampa &)
{
    regolaTabella(true);
}

// ---- Nested frames -------------------------------------------------------------------------

// Ends the current level's box and opens the next one to its right, starting
// again at the top of the nested boxes. `stile` 0 keeps the level's style.
void Interprete::apriLivelloTabella(char stile)
{
    if (m_t.LivelloBox >= StatoTabelle::LivelliMassimi)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    LivelloTabella &livello = m_t.livello();
    if (m_t.ScostamentoColonne != 0) {
        const double x = livello.NumeroColonne > 0 ? livello.Colonne[0].x : 0;
        livello.SinistraLivello = x + m_s.MargineSinistro + m_s.Rientro - m_sup.TextWidth("A") / 2;
    } else {
        livello.SinistraLivello = m_s.MargineSinistro;
    }
    if (stile == 'N') {
        livello.StileLivello = 'N';
        m_t.CorniceEsterna = true;
    } else if (stile == 's') {
        livello.StileLivello = 's';
    }
    livello.AltoLivello = m_s.YCorrente;
    m_t.ScostamentoColonne += m_t.LarghezzaAnnidata;
    ++m_t.LivelloBox;
    // The new box has no columns until its own template.
    m_t.livello().NumeroColonne = 0;
    m_s.YCorrente = m_t.AltoAnnidato;
}

void Interprete::m_Bxfi(const RigaStampa &)
{
    apriLivelloTabella(0);
}

void Interprete::m_Bxfn(const RigaStampa &)
{
    apriLivelloTabella('N');
}

void Interprete::m_BxfI(const RigaStampa &)
{
    apriLivelloTabella('s');
}

// ---- Closing ---------------------------------------------------------------------------------

// Draws the frames of every level, their inner vertical rules and deferred
// horizontal rules, and the outer frame when asked ("@BOXf").
void Interprete::chiudiTabella(bool cornice)
{
    const double L = m_s.MargineSinistro, R = m_s.MargineDestro, W = m_s.LarghezzaPagina;
    // In voucher layout frames end on the last line instead of 1 mm below it.
    const double sotto = m_form.ConINTV ? 0 : lung(0.1);
    m_sup.FillStyle(1);
    m_sup.DrawWidth(3);

    const bool annidato = m_t.LivelloBox > 1;
    double sinistra = L, destra = W - R;
    char stile = 'S';
    if (!annidato) {
        m_s.YCorrente = m_sup.CurrentY;
    } else {
        --m_t.LivelloBox;
        double piuBasso = m_t.livelli[1].AltoLivello;
        for (int k = 2; k <= m_t.LivelloBox; ++k)
            piuBasso = std::max(piuBasso, m_t.livelli[k].AltoLivello);
        m_s.YCorrente = piuBasso;
    }

    for (int k = 1; k <= m_t.LivelloBox; ++k) {
        const LivelloTabella &livello = m_t.livelli[k];
        if (annidato) {
            sinistra = livello.SinistraLivello;
            stile = livello.StileLivello;
            destra = k < m_t.LivelloBox ? m_t.livelli[k + 1].SinistraLivello : W - R;
        }
        double fondo = m_s.YCorrente;
        if (stile == 'S' || stile == 's') {
            if (stile == 's') {
                fondo = livello.AltoLivello;
                m_sup.DrawWidth(1);
            }
            double bordo = destra;
            for (int c = 0; c < livello.NumeroColonne; ++c) {
                if (livello.Colonne[c].tipo == 'F') {
                    bordo = xColonna(livello.Colonne[c]);
                    break;
                }
            }
            m_sup.Line(Rettangolo, sinistra, m_t.AltoBox, bordo, fondo + sotto);
        }
        for (int c = 0; c < livello.NumeroColonne; ++c) {
            if (livello.Colonne[c].tipo == 'I') {
                const double x = xColonna(livello.Colonne[c]) + lung(0.1);
                m_sup.Line(LineaColoreCorrente, x, m_t.AltoBox, x, fondo + sotto);
            }
        }
        m_sup.DrawWidth(1);
        for (const double r : livello.RigheDifferite)
            m_sup.Line(LineaColoreCorrente, sinistra, r + lung(0.1), destra, r + lung(0.1));
        m_sup.DrawWidth(3);
    }

    if (cornice && m_t.CorniceEsterna)
        m_sup.Line(Rettangolo, L, m_t.AltoCornice, destra, m_s.YCorrente + sotto);

    m_sup.FillStyle(0);
    m_t.ScostamentoColonne = 0;
    azzeraLivelliTabella();
    m_t.LivelloBox = 1;
    m_s.YCorrente += lung(cornice ? 0.1 : -0.5);
    m_t.AltoTotali = m_s.YCorrente;
}

void Interprete::m_BOXf(const RigaStampa &)
{
    chiudiTabella(true);
}

void Interprete::m_BOxf(const RigaStampa &)
{
    chiudiTabella(false);
}

// ---- Totals ------------------------------------------------------------------------------------

void Interprete::totaliTabella(const RigaStampa &riga)
{
    const LivelloTabella &livello = m_t.livello();
    const double dimensione = dimensioneTabella(8.5, m_s.dimensioni[7] + 1.5);
    for (int c = 0; c < livello.NumeroColonne; ++c) {
        const ColonnaTabella &colonna = livello.Colonne[c];
        const QByteArrayView testo = cellaTabella(riga.argomento(), colonna);
        m_sup.CurrentX = xColonna(colonna);
        m_sup.CurrentY = m_s.YCorrente + lung(0.2);
        m_sup.FontSize(dimensione);
        switch (colonna.tipo) {
        case 'T':
            m_sup.FontName(QLatin1String(FontOem));
            // The host's check mark prints at the totals' normal size.
            if (!testo.isEmpty() && static_cast<unsigned char>(testo[0]) == 251)
                m_sup.FontSize(9);
            m_sup.Print(testo);
            m_sup.FontSize(dimensione);
            break;
        case 'B': {
            m_sup.FontBold(false);
            m_sup.FontSize(dimensioneTabella(8.5, m_s.dimensioni[8]));
            m_sup.FontBold(true);
            stampaADestra(testo, colonna);
            m_sup.FontBold(false);
            // The totals frame runs from the top of the totals to the
            // table's right edge, like the frames of the rows' totals.
            m_sup.FillStyle(1);
            m_sup.Line(Rettangolo, xColonna(colonna), m_t.AltoTotali, m_s.LarghezzaPagina - m_s.MargineDestro,
                       m_s.YCorrente + lung(0.6));
            m_sup.FillStyle(0);
            m_s.YCorrente += lung(0.6);
            break;
        }
        case 'D':
            stampaADestra(testo, colonna);
            break;
        default:
            break;
        }
    }
    m_s.YCorrente = m_sup.CurrentY;
}

void Interprete::m_BXT1(const RigaStampa &riga)
{
    totaliTabella(riga);
}

void Interprete::m_BXT2(const RigaStampa &riga)
{
    m_s.YCorrente += lung(0.2);
    m_t.AltoTotali = m_s.YCorrente;
    totaliTabella(riga);
}

} // namespace vorpla
