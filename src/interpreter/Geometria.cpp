// Page geometry and document types: page setup, page end, the character
// grid of "@RIGA" lines, vouchers and sticky labels.

#include "Interprete.h"

#include "Adattamento.h"
#include "NumeriStrato.h"
#include "Superficie.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/Numeri.h"
#include "common/StatoLavoro.h"

#include <QStringList>
#include <cmath>

namespace vorpla {

namespace {

QString testo(QByteArrayView byte)
{
    return daWindows1252(byte);
}

// A setting that says yes or no: empty is no, a number is yes unless 0,
// "True"/"Vero" and "False"/"Falso" are what they say; anything else is a
// type mismatch.
bool siONo(const QString &valore)
{
    const QString v = valore.trimmed();
    if (v.isEmpty())
        return false;
    if (v.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0 || v.compare(QStringLiteral("Vero"), Qt::CaseInsensitive) == 0)
        return true;
    if (v.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0 || v.compare(QStringLiteral("Falso"), Qt::CaseInsensitive) == 0)
        return false;
    return CDbl(v) != 0;
}

double dividi(double a, double b)
{
    if (b == 0)
        throw ErroreVB(11);
    return a / b;
}

qint64 intero(double v)
{
    return qint64(arrotondaPari(v));
}

} // namespace

// The top margin of the document type's own section.
QString Interprete::margineDelTipo() const
{
    const QString &tipo = m_form.TipoDocumento;
    if (tipo == QStringLiteral("FATTURA"))
        return Leggi(QStringLiteral("FATTURE"), QStringLiteral("MARGINESUP"));
    if (tipo == QStringLiteral("ASTOI") || tipo == QStringLiteral("ESTRATTO CONTO"))
        return Leggi(tipo, QStringLiteral("MARGINESUP"));
    return {};
}

// Before the first line: units, page size, margins, fonts.
void Interprete::preparaPagina()
{
    m_sup.ScaleMode7();
    m_s.dispositivo = m_sup.DeviceName().toUpper();
    m_s.paginaAlta = m_sup.Height() / 567.0 > 30;
    m_sup.FontName(QLatin1String(FontOem));

    // Top margin: the document type's own, then the general one, then the
    // fax one for fax devices (even when empty).
    QString margine = margineDelTipo();
    const QString generale = Leggi(QStringLiteral("MARGINI"), QStringLiteral("MARGINESUP"));
    if (!generale.isEmpty())
        margine = generale;
    if (m_s.dispositivo.contains(QStringLiteral("FAX")))
        margine = Leggi(QStringLiteral("FAX"), QStringLiteral("MARGINESUP"));
    m_s.MargineAlto = margine.isEmpty() ? 0 : CDbl(margine);

    m_s.YCorrente = m_s.MargineAlto;
    m_form.ConINTV = false;

    // Label geometry from the label window's fields.
    m_s.larghezzaEtichetta = Val(m_form.txtEtX) / 10;
    m_s.altezzaEtichetta = Val(m_form.txtETY) / 10;
    m_s.margineEtichetta = Val(m_form.txtMarg) / 10;
    m_s.etichettePerRiga = double(intero(dividi(Val(m_form.txtPX) / 10, m_s.larghezzaEtichetta)));
    m_s.etichettePerPagina = double(intero(
        dividi(Val(m_form.txtPY) / 10 - 2 * m_s.margineEtichetta, m_s.altezzaEtichetta) * m_s.etichettePerRiga));

    m_s.MargineSinistro = m_numeri.margineSinistro;
    m_s.MargineDestro = m_numeri.margineDestro;
    m_s.Rientro = m_numeri.rientro;

    const QString larghezza = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Larghezza"));
    const QString altezza = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Altezza"));
    m_s.Bold = siONo(Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Bold")));
    m_s.LarghezzaPagina = larghezza.isEmpty() ? m_sup.Width() / 567.0 : CDbl(larghezza);
    m_s.AltezzaPagina = altezza.isEmpty() ? m_sup.Height() / 567.0 : CDbl(altezza);
    m_sup.ScaleWidth(m_s.LarghezzaPagina);
    m_sup.ScaleHeight(m_s.AltezzaPagina);

    m_sup.FontSize(10);
    m_s.dimensioni = m_numeri.dimensioni;

    StatoLavoro &job = lavoro();
    job.ElencoTitoli.clear();
    if (m_s.dispositivo.contains(QStringLiteral("FAX")))
        appuntiTitolo(QString());
    m_s.YIntestazione = m_s.MargineAlto + 7;
    m_form.ScostamentoVoucher = 0;
    m_form.NumeroVoucher = 1;
    job.ElencoAllegati = QStringList{QString()};
    m_sup.CurrentY = m_s.MargineAlto;
    m_s.PaginaDocumento = 1;
    m_s.IndiceDocumento = 0;
    m_s.AltezzaPiede = 0;
}

// End of a page: the next page starts lazily, at the next line drawn.
void Interprete::fineDiPagina()
{
    m_s.NuovaPaginaPendente = true;
    m_s.YIntestazione = m_s.MargineAlto + 7;
    m_s.RigaGriglia = 0;
    m_s.DueColonne.clear();
    m_s.LogoPresente = false;
    if (m_form.ConINTV) {
        if (m_s.ModoVoucher == 1)
            m_form.ScostamentoVoucher -= 0.5;
        else if (m_s.ModoVoucher == 2 || m_s.ModoVoucher == 3)
            m_form.ScostamentoVoucher = 0;
        m_form.ContatoreCopia = 1;
        m_s.YCorrente = 0;
    } else {
        m_form.ScostamentoVoucher = 0;
        m_s.YCorrente = m_s.MargineAlto;
        pieDiPagina();
    }
    m_form.NumeroVoucher = 1;
    m_sup.CurrentY = 1.0;
}

void Interprete::m_PAGE(const RigaStampa &)
{
    fineDiPagina();
}

// ---- Character grid ------------------------------------------------------------

void Interprete::m_FORM(const RigaStampa &riga)
{
    m_s.RighePagina = Leggi(testo(riga.argomento()).trimmed(), QStringLiteral("NCARY"));
    if (m_s.RighePagina.isEmpty())
        m_s.RighePagina = QStringLiteral("67");
}

void Interprete::m_LARG(const RigaStampa &riga)
{
    const QByteArrayView codice = riga.colonne(7, 3);
    const double larghezza = m_sup.Width(), altezza = m_sup.Height();
    if (codice == "080") {
        if (m_s.RighePagina.isEmpty() || !IsNumeric(m_s.RighePagina))
            m_s.RighePagina = QStringLiteral("67");
        m_s.PassoCarattere = larghezza / 83 / 567;
        m_s.PassoRiga = dividi(altezza, CDbl(m_s.RighePagina)) / 567;
        fontOem(10);
    } else if (codice == "099") {
        m_s.PassoCarattere = larghezza / 102 / 567;
        m_s.PassoRiga = altezza / 67 / 567;
        fontOem(10);
    } else if (codice == "132") {
        const QByteArrayView verso = riga.colonne(10, 3);
        if (verso == "VER" || verso == "ORI") {
            m_s.PassoCarattere = larghezza / 137 / 567;
            m_s.PassoRiga = altezza / 67 / 567;
            fontOem(8);
            m_sup.FontBold(false);
        }
    } else if (codice == "PRO") {
        m_s.PiedeAttivo = true;
    }
}

void Interprete::m_VNET(const RigaStampa &riga)
{
    const QStringList campi = testo(riga.argomento()).split(u';');
    if (campi.size() < 4)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    const QString verso = campi.at(0).trimmed();
    if (verso == QStringLiteral("VER") || verso == QStringLiteral("ORI")) {
        m_sup.impostaOrientamento(verso == QStringLiteral("VER") ? 1 : 2);
        m_s.PassoCarattere = dividi(m_sup.Width(), CDbl(campi.at(2)) + 5) / 567;
        m_s.PassoRiga = dividi(m_sup.Height(), CDbl(campi.at(3)) + 2) / 567;
        if (verso == QStringLiteral("ORI")) {
            m_s.LarghezzaPagina = m_sup.Width() / 567;
            m_s.AltezzaPagina = m_sup.Height() / 567;
        }
    }
    fontOem(IsNumeric(campi.at(1)) ? CDbl(campi.at(1)) : 8);
    m_sup.FontBold(false);
}

// ---- Vouchers ------------------------------------------------------------------

void Interprete::m_VRIV(const RigaStampa &riga)
{
    m_form.ConINTV = true;
    m_s.MargineSinistro = 1.3;
    m_s.VoucherPerPagina = riga.num2();
    const QString larghezza = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Larghezza"));
    const QString altezza = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Altezza"));
    m_s.LarghezzaPagina = larghezza.isEmpty() ? m_sup.Width() / 567.0 : CDbl(larghezza);
    m_s.AltezzaPagina = altezza.isEmpty() ? m_sup.Height() / 567.0 : CDbl(altezza);
    const QString offsetLarg = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Offset Larg"));
    const QString offsetAlt = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Offset Alt"));
    m_sup.ScaleWidth(m_s.LarghezzaPagina + (offsetLarg.isEmpty() ? 0 : CDbl(offsetLarg)));
    m_sup.ScaleHeight(m_s.AltezzaPagina + (offsetAlt.isEmpty() ? 0 : CDbl(offsetAlt)));
}

void Interprete::m_VRIP(const RigaStampa &riga)
{
    const qint16 n = riga.num2();
    if (m_s.VoucherPerPagina != 0) {
        const int modo = n / m_s.VoucherPerPagina;
        if (modo > 32767)
            throw ErroreVB(Err::Overflow); // -32768 / -1
        m_s.ModoVoucher = qint16(modo);
    } else {
        m_s.VoucherPerPagina = n;
        m_s.ModoVoucher = m_numeri.modoPrimoVoucher;
    }
    double &scostamento = m_form.ScostamentoVoucher;
    // The physical page's height in the layout's unit; a step of a third
    // or less, or of the whole page, loses the layout's margin.
    const double altezza = lung(m_sup.Height() / 567);
    const double scarto = m_numeri.scartoPassoVoucher;
    switch (m_s.ModoVoucher) {
    case 1:
        scostamento += lung(numeroIni(QStringLiteral("Pagina voucher"), QStringLiteral("Margine voucher singolo"), 4));
        m_s.YCorrente = scostamento;
        break;
    case 2:
        scostamento += lung(numeroIni(QStringLiteral("Pagina voucher"), QStringLiteral("Margine voucher doppio"), 2));
        m_s.YCorrente = scostamento;
        m_form.PassoVoucher = float(altezza / 2);
        break;
    case 0:
        m_s.YCorrente = scostamento;
        m_form.PassoVoucher = float(altezza - scarto);
        break;
    default:
        if (m_s.ModoVoucher >= 3) {
            m_s.YCorrente = scostamento;
            m_form.PassoVoucher = float(altezza / m_s.ModoVoucher - scarto);
        }
        break;
    }
}

bool Interprete::unaCopia() const
{
    return IsNumeric(m_form.NumCopie) && CDbl(m_form.NumCopie) == 1;
}

bool Interprete::voucherSenzaNuovaPagina() const
{
    return false;
}

void Interprete::m_PAGV(const RigaStampa &)
{
    const bool unaCopia = this->unaCopia();
    switch (m_form.ContatoreCopia) {
    case 1:
        m_form.ScostamentoVoucher = m_form.PassoVoucher;
        if (unaCopia)
            ++m_form.ContatoreCopia;
        break;
    case 2:
        m_form.ScostamentoVoucher = m_s.paginaAlta && m_s.dispositivo.contains(QStringLiteral("EPSON SQ-"))
                                        ? lung(18.2)
                                        : 2 * double(m_form.PassoVoucher);
        if (unaCopia)
            ++m_form.ContatoreCopia;
        break;
    case 3:
        if (voucherSenzaNuovaPagina()) {
            m_form.ContatoreCopia = 4;
            break;
        }
        m_form.ContatoreCopia = 1;
        Trattino();
        m_sup.NewPage();
        m_form.ScostamentoVoucher = 0;
        m_s.YCorrente = 0;
        break;
    default:
        break;
    }
    ++m_form.NumeroVoucher;
}

// ---- Labels --------------------------------------------------------------------

void Interprete::m_ETTI(const RigaStampa &riga)
{
    m_s.NumeroEtichetta = 0;
    m_sup.ScaleHeight(Val(m_form.txtPY) / 10);
    m_sup.ScaleWidth(Val(m_form.txtPX) / 10);
    m_sup.ScaleMode7();
    const QByteArrayView scelta = riga.colonne(7, 1);
    if (scelta == "N")
        fontOem(9);
    else if (scelta == "C")
        fontOem(7);
}

namespace {
constexpr int RigheMassimeEtichetta = 15;
}

static void aggiungiRigaEtichetta(QList<QByteArray> &righe, QByteArray riga)
{
    if (righe.size() >= RigheMassimeEtichetta)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    righe.append(std::move(riga));
}

void Interprete::m_ETDI(const RigaStampa &riga)
{
    aggiungiRigaEtichetta(m_s.RigheEtichetta, QByteArray(" Dal:\t") + riga.argomento().toByteArray());
}

void Interprete::m_ETDF(const RigaStampa &riga)
{
    aggiungiRigaEtichetta(m_s.RigheEtichetta, QByteArray(" Al:\t") + riga.argomento().toByteArray());
}

// A label line loses its last characters, one at a time, until it is
// narrower than the label by more than 0.3 cm (or nothing is left).
void Interprete::accorciaRigaEtichetta(QByteArray &riga) const
{
    const QByteArrayView testo(riga);
    riga.truncate(prefissoCheSta(testo.size(), [&](qsizetype k) {
        return m_sup.TextWidth(testo.first(k)) + m_numeri.scartoEtichetta < m_s.larghezzaEtichetta;
    }));
}

void Interprete::m_ETRI(const RigaStampa &riga)
{
    aggiungiRigaEtichetta(m_s.RigheEtichetta, riga.argomento().toByteArray());
    accorciaRigaEtichetta(m_s.RigheEtichetta.last());
}

void Interprete::m_ETRB(const RigaStampa &riga)
{
    aggiungiRigaEtichetta(m_s.RigheEtichetta, QByteArray("BBB") + riga.argomento().toByteArray());
    QByteArray &r = m_s.RigheEtichetta.last();
    const double dimensione = m_sup.FontSize();
    const bool grassetto = m_sup.FontBold();
    m_sup.FontBold(true);
    m_sup.FontSize(dimensione + 2);
    accorciaRigaEtichetta(r);
    m_sup.FontSize(dimensione);
    m_sup.FontBold(grassetto);
}

void Interprete::m_ETFI(const RigaStampa &)
{
    const qint64 perPagina = qint64(m_s.etichettePerPagina);
    const qint64 perRiga = qint64(m_s.etichettePerRiga);
    if (perPagina == 1) {
        m_sup.NewPage();
        m_s.NumeroEtichetta = 1;
    } else {
        ++m_s.NumeroEtichetta;
        if (perPagina == 0)
            throw ErroreVB(11);
        if (m_s.NumeroEtichetta > 1 && m_s.NumeroEtichetta % perPagina == 1) {
            m_sup.NewPage();
            m_s.NumeroEtichetta = 1;
        }
    }
    if (perRiga == 0)
        throw ErroreVB(11);
    qint64 r = m_s.NumeroEtichetta / perRiga;
    qint64 c = m_s.NumeroEtichetta % perRiga - 1;
    if (m_s.NumeroEtichetta % perRiga == 0) {
        c = perRiga - 1;
        r -= 1;
    }
    for (int k = 0; k < m_s.RigheEtichetta.size(); ++k) {
        const QByteArray &linea = m_s.RigheEtichetta.at(k);
        const double x = m_s.larghezzaEtichetta * double(c);
        const double y = m_s.margineEtichetta + m_s.altezzaEtichetta * double(r) + lung(0.4) * k;
        if (linea.startsWith("BBB")) {
            const double dimensione = m_sup.FontSize();
            const bool grassetto = m_sup.FontBold();
            m_sup.FontBold(true);
            m_sup.FontSize(dimensione + 2);
            rigaEtichetta(QByteArrayView(linea).sliced(3), x, y);
            m_sup.FontSize(dimensione);
            m_sup.FontBold(grassetto);
        } else {
            rigaEtichetta(linea, x, y);
        }
    }
    m_s.RigheEtichetta.clear();
}

void Interprete::rigaEtichetta(QByteArrayView linea, double x, double y)
{
    m_sup.CurrentX = x;
    m_sup.CurrentY = y;
    m_sup.Print(linea);
}

} // namespace vorpla
