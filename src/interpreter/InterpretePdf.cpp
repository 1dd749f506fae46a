// The PDF page layout. Letters as in the text rules, all in millimetres:
// W page width, H page height, T top margin, O voucher offset, L, R and G
// the margins and the inner gap; tw and th a text's width and height as the
// runtime printer measures it; s the document's font size in points; X the
// left edge of a centred title, (W - tw) / 2. A position said "rounded" is
// a whole millimetre, halves to even, before the offset.

#include "InterpretePdf.h"

#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>

namespace vorpla {

namespace {

QString testo(QByteArrayView byte)
{
    return daWindows1252(byte);
}

double tondo(double mm)
{
    return arrotondaPari(mm);
}

// A length in centimetres as a page size in points (0 for what is not a
// size a page can have).
qint32 punti(double cm)
{
    const double p = arrotondaPari(cm / 0.0353);
    return p > 0 && p < 1e6 ? qint32(p) : 0;
}

// A whole number of millimetres for a size or position the document takes
// as an integer (0 for what is not a number).
qint32 interoMm(double mm)
{
    if (!(mm > -1e6 && mm < 1e6))
        return 0;
    return qint32(arrotondaPari(mm));
}

// The same file with ".jpg" in place of its four-character extension.
QString comeJpeg(const QString &nome)
{
    return (nome.size() >= 4 ? nome.first(nome.size() - 4) : nome) + QStringLiteral(".jpg");
}

} // namespace

InterpretePdf::InterpretePdf(DocumentoPdf &documento, Superficie &stampante, ValoriForm &form, QString file)
    : PaginaDelDocumento(documento, stampante), Interprete(m_pagina, form, std::move(file), NumeriPdf),
      m_doc(documento), m_stampante(stampante)
{
}

// ---- Dispatch ------------------------------------------------------------------

void InterpretePdf::disegnaRiga(const RigaStampa &riga)
{
#define VORPLA_VOCE_PROPRIA(testo, nome, s, p, a) VORPLA_PDF_PROPRIA_##p(testo, nome)
#define VORPLA_PDF_PROPRIA_P(testo, nome) {chiaveMarcatore(testo), &InterpretePdf::p_##nome},
#define VORPLA_PDF_PROPRIA_S(testo, nome)
#define VORPLA_PDF_PROPRIA__(testo, nome)
#define VORPLA_VOCE_CONDIVISA(testo, nome, s, p, a) VORPLA_PDF_CONDIVISA_##p(testo, nome)
#define VORPLA_PDF_CONDIVISA_P(testo, nome)
#define VORPLA_PDF_CONDIVISA_S(testo, nome) {chiaveMarcatore(testo), &InterpretePdf::m_##nome},
#define VORPLA_PDF_CONDIVISA__(testo, nome)
    static const TabellaMarcatori<InterpretePdf> proprie{VORPLA_MARCATORI(VORPLA_VOCE_PROPRIA)};
    static const TabellaMarcatori<InterpretePdf> condivise{VORPLA_MARCATORI(VORPLA_VOCE_CONDIVISA)};
#undef VORPLA_VOCE_PROPRIA
#undef VORPLA_VOCE_CONDIVISA
    if (const auto r = proprie.trova(riga.byte())) {
        (this->*r)(riga);
        // The shared rules that read the pen find it at the running position.
        m_sup.CurrentY = m_s.YCorrente;
    } else if (const auto c = condivise.trova(riga.byte())) {
        (this->*c)(riga);
    }
}

// ---- The run ---------------------------------------------------------------------

bool InterpretePdf::GRAFICA()
{
    m_errore = false;
    corsa();
    return !m_errore;
}

void InterpretePdf::inizioCorsa()
{
    impostaRoutine(QStringLiteral("FRMCreaPDF"), QStringLiteral("GRAFICA"));
    m_s = Stato{};
    m_t = StatoTabelle{};
    m_immagini.svuota();
    m_scostamentoRiga = 0;
    m_paginaSeContinua = false;
    m_ultimaImmagine = {};

    m_doc.LoadFontFile(inCartellaProgramma(QStringLiteral("ntoem.ttf")));
    m_doc.BeginDocument();
    m_doc.SetOptionA(1);
    m_doc.SetInfoText(QStringLiteral("ULKA"));
    m_doc.SetOptionB(1);

    m_s.dispositivo = m_stampante.DeviceName().toUpper();
    const double larghezza = m_stampante.Width() / 567, altezza = m_stampante.Height() / 567;
    m_s.paginaAlta = altezza > 30;
    m_sup.FontName(QLatin1String(FontOem));
    const QString margine = m_s.dispositivo.contains(QStringLiteral("FAX"))
                                ? Leggi(QStringLiteral("FAX"), QStringLiteral("MARGINESUP"))
                                : margineDelTipo();
    m_s.MargineAlto = margine.isEmpty() ? 0 : CDbl(margine) * 10;

    m_doc.SetPageSize(punti(larghezza), punti(altezza));
    m_sup.ScaleWidth(larghezza * 10);
    m_sup.ScaleHeight(altezza * 10);
    m_sup.FontSize(m_stampante.FontSize());

    m_s.MargineSinistro = m_numeri.margineSinistro;
    m_s.MargineDestro = m_numeri.margineDestro;
    m_s.Rientro = m_numeri.rientro;
    const QString w = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Larghezza"));
    const QString h = Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Altezza"));
    m_s.LarghezzaPagina = (w.isEmpty() ? tondo(larghezza) : CDbl(w)) * 10 - 5;
    m_s.AltezzaPagina = (h.isEmpty() ? tondo(altezza) : CDbl(h)) * 10;
    m_s.YIntestazione = m_s.MargineAlto + 70;
    m_s.YCorrente = m_s.MargineAlto;
    m_s.dimensioni = m_numeri.dimensioni;

    // The voucher layout is this run's own, off until a voucher marker.
    m_form.ConINTV = false;
    m_form.ScostamentoVoucher = 0;
    m_form.NumeroVoucher = 1;
    m_form.ContatoreCopia = 1;
    m_form.PassoVoucher = 0;

    // Label geometry from the form's six fields, whole millimetres.
    // Each operand of a division is a whole number first: the sheet's width,
    // its height less the two margins, a label's width and height.
    const qint64 px = interoMm(Val(m_form.txtPX));
    const qint64 lx = interoMm(Val(m_form.txtEtX)), ly = interoMm(Val(m_form.txtETY));
    const qint64 margineEt = interoMm(Val(m_form.txtMarg));
    if (lx == 0 || ly == 0)
        throw ErroreVB(11);
    m_s.larghezzaEtichetta = double(lx);
    m_s.altezzaEtichetta = double(ly);
    m_s.margineEtichetta = double(margineEt);
    m_s.etichettePerRiga = double(px / lx);
    m_s.etichettePerPagina =
        double(interoMm(Val(m_form.txtPY) - 2 * Val(m_form.txtMarg)) / ly * (px / lx));

    StatoLavoro &job = lavoro();
    job.ElencoTitoli.clear();
    job.ElencoAllegati = QStringList{QString()};
    m_s.PaginaDocumento = 1;
    m_s.IndiceDocumento = 0;
}

// Before each line: a fax page left for the lines that follow, the pending
// two columns, and the page overflow of buffered two-column text.
void InterpretePdf::primaDellaRiga(QByteArrayView letta)
{
    if (m_s.DueColonnePendenti && !letta.startsWith("@TXT2") && !letta.startsWith("@TX2"))
        stampaDueColonnePdf();
    if (m_s.DueColonnePendenti && m_s.YCorrente >= m_s.AltezzaPagina - 30) {
        stampaDueColonnePdf();
        p_PAGE(RigaStampa(QByteArrayView()));
    }
    if (m_paginaSeContinua) {
        m_paginaSeContinua = false;
        m_sup.NewPage();
        m_form.ScostamentoVoucher = 0;
    }
}

bool InterpretePdf::recupera(const ErroreVB &)
{
    return false;
}

void InterpretePdf::fineFile()
{
    if (eventi)
        eventi();
    salva();
    m_sup.FontSize(8);
}

void InterpretePdf::salva()
{
    qint32 esito = 0;
    m_doc.SaveDocument(filePdf, esito);
    if (esito != 0)
        throw ErroreVB(esito);
}

void InterpretePdf::errore(int numero, const QString &descrizione)
{
    m_errore = true;
    if (numero == Err::ErroreStampante && m_form.StampanteSelezionata.contains(QStringLiteral("pdf"), Qt::CaseInsensitive))
        return;
    messaggi().mostra(messaggioRoutine(numero, descrizione));
}

// ---- Drawing helpers ----------------------------------------------------------------

void InterpretePdf::scriviSenzaScostamento(QByteArrayView t, double x, double y, int stile)
{
    m_doc.DrawText(m_sup.testoPerFont(t), x, y, m_doc.DocFontSize(), 0, QLatin1String(RisorsaFont), stile);
}

void InterpretePdf::scrivi(QByteArrayView t, double x, double y, int stile)
{
    scriviSenzaScostamento(t, x + SuperficieDocumento::Scostamento, y, stile);
}

// A text line at the running position, then one line down.
void InterpretePdf::riga(QByteArrayView t, double x, int stile)
{
    scrivi(t, x, m_s.YCorrente, stile);
    avanza();
}

// The shared text rules draw at the running position.
double InterpretePdf::posizioneTesto() const
{
    return m_s.YCorrente;
}

void InterpretePdf::posizionaTesto(double y)
{
    m_s.YCorrente = y;
}

void InterpretePdf::rigaDiTesto(QByteArrayView testo, double x, int stile)
{
    riga(testo, x, stile);
    m_sup.CurrentY = m_s.YCorrente;
}

void InterpretePdf::riquadro(double x1, double y1, double x2, double y2, double spessore)
{
    m_doc.DrawBox(spessore, 0, 1, x1, x2, y1, y2);
}

double InterpretePdf::centrato(QByteArrayView t) const
{
    return (m_s.LarghezzaPagina - m_sup.TextWidth(t)) / 2;
}

// A title in bold at `punti`, centred on the page at the running position
// (its text one line lower with `unaRigaSotto`), in a frame of `spessore`
// from 1 mm left of it and `sopra` above it to `oltre` past its end and
// `sotto` below its height; then bold off and the base size.
void InterpretePdf::titoloIncorniciato(QByteArrayView t, double punti, double sopra, double oltre, double sotto,
                                       double spessore, bool unaRigaSotto)
{
    m_sup.FontSize(punti);
    m_sup.FontBold(true);
    const double X = centrato(t), y = m_s.YCorrente;
    riquadro(X - 1, y - sopra, X + m_sup.TextWidth(t) + oltre, y + m_sup.TextHeight(t) + sotto, spessore);
    scrivi(t, X, unaRigaSotto ? y + dimensione() * 0.353 : y);
    m_sup.FontBold(false);
    m_sup.FontSize(m_s.dimensioni[5]);
}

void InterpretePdf::avviaPaginaPendente()
{
    if (!m_s.NuovaPaginaPendente)
        return;
    m_s.NuovaPaginaPendente = false;
    m_sup.NewPage();
    m_form.ScostamentoVoucher = 0;
    m_s.RigaGriglia = 0;
}

bool InterpretePdf::testoADestra() const
{
    return Leggi(QStringLiteral("Pagina voucher"), QStringLiteral("Testo a destra")) == QStringLiteral("si");
}

// ---- Page end -------------------------------------------------------------------------

void InterpretePdf::p_PAGE(const RigaStampa &)
{
    if (m_form.NumerazioneAttiva) {
        const double prima = dimensione();
        m_sup.FontSize(6);
        if (m_s.IndiceDocumento == 0)
            m_s.IndiceDocumento = 1;
        if (m_s.IndiceDocumento >= m_form.PagineSezione.size())
            throw ErroreVB(Err::IndiceFuoriIntervallo);
        const QString numero = QStringLiteral("Pagina %1 di %2")
                                   .arg(m_s.PaginaDocumento)
                                   .arg(m_form.PagineSezione.at(m_s.IndiceDocumento));
        scriviSenzaScostamento(numero.toLatin1(), m_s.LarghezzaPagina - 15, 292);
        m_sup.FontSize(prima);
        ++m_s.PaginaDocumento;
    }
    if (!dispositivoZetafax())
        m_sup.NewPage();
    else if (m_form.ConINTV)
        m_s.NuovaPaginaPendente = true;
    else
        m_paginaSeContinua = true;
    m_s.YIntestazione = 70;
    m_s.RigaGriglia = 0;
    m_scostamentoRiga = 0;
    m_form.NumeroVoucher = 1;
    if (m_form.ConINTV) {
        m_form.ScostamentoVoucher = 0;
        m_form.ContatoreCopia = 1;
    }
    m_s.YCorrente = 10;
}

// ---- Letterhead, logos and address -----------------------------------------------------

// The logo: the line's picture as a JPEG of the program folder, placed with
// no offset, its size from vorpla.ini or a given height and its proportions.
void InterpretePdf::logoPdf(const RigaStampa &riga, bool voucher)
{
    const QByteArrayView argomento = riga.argomento();
    if (argomento.size() < 4)
        throw ErroreVB(Err::ChiamataNonValida);
    const QString file = trovaIgnorandoMaiuscole(
        inCartellaProgramma(testo(argomento.first(argomento.size() - 4)) + QStringLiteral(".jpg")));
    const bool esiste = QFileInfo(file).isFile();
    const bool attiva = m_s.IntestazioneAttiva == QStringLiteral("SI");
    const bool fax = m_s.dispositivo.contains(QStringLiteral("FAX"));
    if (voucher)
        m_form.ConINTV = true;
    // The logo replaces the text letterhead where the letterhead is on, and
    // on fax and PDF devices, which have no pre-printed paper.
    if (!(attiva || fax || (!voucher && m_s.dispositivo.contains(QStringLiteral("ACROBAT")))))
        return;
    if (!esiste && (voucher || attiva))
        return;
    m_s.IntestazioneAttiva = QStringLiteral("NO");
    if (!esiste)
        return;
    const QString sezione = voucher ? QStringLiteral("LOGV") : QStringLiteral("LOGO");
    const QString l = Leggi(sezione, QStringLiteral("Larghezza")), a = Leggi(sezione, QStringLiteral("Altezza"));
    double larghezza, altezza;
    if (!l.isEmpty() && !a.isEmpty()) {
        larghezza = CDbl(l) * 10;
        altezza = CDbl(a) * 10;
    } else {
        const QSizeF h = dimensioneImmagine(file);
        if (!(h.width() > 0 && h.height() > 0))
            return; // no picture in the file
        altezza = voucher ? 35 : 70;
        larghezza = altezza * h.width() / h.height();
    }
    const double y = tondo(voucher ? m_s.YCorrente : m_s.MargineAlto);
    disegnaImmagine(file, (voucher ? 13 : 0) - SuperficieDocumento::Scostamento, y, larghezza, altezza);
    if (!voucher)
        m_s.LogoPresente = true;
}

void InterpretePdf::p_LOGO(const RigaStampa &riga)
{
    logoPdf(riga, false);
}

void InterpretePdf::p_LOGV(const RigaStampa &riga)
{
    logoPdf(riga, true);
}

// The size of a picture the document can use; none for a file that is no
// whole JPEG, which is then not drawn.
QSizeF InterpretePdf::dimensioneImmagine(const QString &percorso)
{
    return nomeImmagine(percorso).isEmpty() ? QSizeF() : Interprete::dimensioneImmagine(percorso);
}

// The document's name of a picture file: added once for its size and its
// placing (an empty name for a file the document cannot use).
QString InterpretePdf::nomeImmagine(const QString &percorso)
{
    if (percorso != m_ultimaImmagine.first) {
        QString nome;
        m_doc.AddImage(percorso, nome);
        m_ultimaImmagine = {percorso, nome};
    }
    return m_ultimaImmagine.second;
}

// A picture of the layout at (x, y), x before the offset: added to the
// document (which keeps one copy of each file) and placed.
void InterpretePdf::disegnaImmagine(const QString &percorso, double x, double y, double larghezza, double altezza)
{
    const QString nome = nomeImmagine(percorso);
    m_ultimaImmagine = {};
    if (nome.isEmpty())
        return; // not a JPEG the document can use: nothing drawn
    m_doc.DrawImage(nome, interoMm(larghezza), interoMm(altezza), interoMm(x + SuperficieDocumento::Scostamento),
                    interoMm(y));
}

QString InterpretePdf::fileImmagineInLinea(const QString &nome) const
{
    return Interprete::fileImmagineInLinea(comeJpeg(nome));
}

void InterpretePdf::p_INDI(const RigaStampa &)
{
    if (tipoAstoi())
        return iniziaIndirizzoAstoi();
    const double T = m_s.MargineAlto;
    m_sup.FontSize(m_s.dimensioni[5] + 0.5);
    riquadro(101, T + 40, m_s.LarghezzaPagina - 6, T + 70);
    m_s.YCorrente = T + 45;
}

void InterpretePdf::p_INDV(const RigaStampa &)
{
    const double O = m_form.ScostamentoVoucher;
    m_form.ConINTV = true;
    m_sup.FontSize(m_s.dimensioni[5] + 0.5);
    if (testoADestra())
        riquadro(8, O, 110, O + 24);
    else
        riquadro(111, O, m_s.LarghezzaPagina - 6, O + 24);
    m_s.YCorrente = O + 6;
}

void InterpretePdf::p_INDb(const RigaStampa &r)
{
    if (tipoAstoi()) {
        m_s.RigheIndirizzo.append(r.argomento().toByteArray());
        return;
    }
    const bool grassetto = r.colonne(1, 5) == "@INDb";
    const double base = m_form.ConINTV ? (testoADestra() ? 8 : 110) : 100;
    m_sup.FontSize(m_s.dimensioni[5] + (m_form.ConINTV ? 0.5 : 1));
    const double x = tondo(base + m_s.Rientro);
    if (grassetto)
        m_sup.FontBold(true);
    riduciIndirizzo(r.argomento(), x);
    riga(r.argomento(), x, grassetto ? 1 : 0);
    if (grassetto)
        m_sup.FontBold(false);
}

void InterpretePdf::p_INDn(const RigaStampa &r)
{
    p_INDb(r);
}

void InterpretePdf::p_INDf(const RigaStampa &r)
{
    if (tipoAstoi()) {
        m_s.RigheIndirizzo.append(r.argomento().toByteArray());
        return;
    }
    double x = 110 + m_s.Rientro;
    if (!m_form.ConINTV) {
        m_sup.FontSize(m_s.dimensioni[5] + 1);
        x = 100 + m_s.Rientro;
    }
    if (m_s.YCorrente < 75)
        m_s.YCorrente = 75;
    riga(r.argomento(), x);
}

void InterpretePdf::p_SCAD(const RigaStampa &r)
{
    m_s.YCorrente = 90;
    m_sup.FontSize(m_s.dimensioni[5]);
    riga(r.argomento(), m_s.MargineSinistro);
    m_s.YCorrente = 93;
}

// ---- Titles ------------------------------------------------------------------------------

void InterpretePdf::p_TITO(const RigaStampa &r)
{
    const QByteArrayView t = r.argomento();
    const double T = m_s.MargineAlto;
    m_s.YCorrente = T + 90;
    titoloIncorniciato(t, 11, 5, 10, 0, 2.0);
    m_s.YCorrente = T + 93;
    titoloDocumento(t);
}

// A title in 11-point bold centred on the page, one line.
void InterpretePdf::titoloCentrato(QByteArrayView t)
{
    m_sup.FontSize(11);
    m_sup.FontBold(true);
    riga(t, centrato(t));
    m_sup.FontBold(false);
    m_sup.FontSize(m_s.dimensioni[5]);
}

// An ASTOI title: centred between the address column and the right margin,
// as the document measures it; fax software gets it on the clipboard.
void InterpretePdf::titoloAstoi(QByteArrayView t)
{
    titoloFaxMail(t);
    m_sup.FontSize(m_s.dimensioni[5] + 1);
    double larghezza = 0;
    m_doc.MeasureText(m_sup.testoPerFont(t), larghezza);
    riga(t, (m_s.LarghezzaPagina - m_s.MargineDestro - 115 - larghezza) / 2 + 115);
}

void InterpretePdf::p_TIT1(const RigaStampa &r)
{
    const QByteArrayView t = r.argomento();
    m_s.YCorrente = 90;
    if (!tipoAstoi()) {
        titoloFaxMail(t, false);
        return titoloCentrato(t);
    }
    if (m_s.IntestazioneAttiva == QStringLiteral("SI"))
        m_s.YCorrente = m_s.MargineAlto + m_form.ScostamentoVoucher + 10;
    titoloAstoi(t);
}

void InterpretePdf::p_TIT2(const RigaStampa &r)
{
    if (tipoAstoi())
        titoloAstoi(r.argomento());
    else
        titoloCentrato(r.argomento());
}

void InterpretePdf::p_TIT3(const RigaStampa &r)
{
    const QByteArrayView t = r.argomento();
    m_s.YCorrente = 105;
    titoloIncorniciato(t, 11, 6, 3, 0);
    m_s.YCorrente = 108;
}

void InterpretePdf::p_TITV(const RigaStampa &r)
{
    const QByteArrayView t = r.argomento();
    m_form.ConINTV = true;
    m_s.YCorrente = m_form.ScostamentoVoucher + 30;
    titoloIncorniciato(t, 11, 0.1, 3, 1, 1.0, true);
    titoloFaxMail(t, false);
}

void InterpretePdf::p_TITB(const RigaStampa &r)
{
    const QByteArrayView t = r.argomento();
    m_s.YCorrente += 7;
    titoloIncorniciato(t, 10, 5, 3, 2);
    m_s.YCorrente += 3;
    titoloFaxMail(t, false);
}

void InterpretePdf::p_TIFE(const RigaStampa &r)
{
    const QString organizzazione = testoDaConvertito(r.argomento());
    m_s.YCorrente = m_form.ScostamentoVoucher + 35;
    m_s.SuffissoTitolo = organizzazione;
    organizzazioneMail(organizzazione);
}

void InterpretePdf::p_TITn(const RigaStampa &r)
{
    if (!tipoAstoi())
        return;
    m_sup.FontSize(11);
    riga(r.argomento(), xTitoloIndirizzo(r.argomento()));
}

void InterpretePdf::p_TITf(const RigaStampa &r)
{
    if (!tipoAstoi())
        return;
    m_sup.FontSize(m_s.dimensioni[5] + 1);
    const double xt = m_s.XTitoli, yTitolo = m_s.YCorrente;
    scriviSenzaScostamento(r.argomento(), xt, yTitolo);
    m_s.YCorrente = yTitolo + 5;
    for (qsizetype i = 1; i < m_s.RigheIndirizzo.size(); ++i) {
        scriviSenzaScostamento(m_s.RigheIndirizzo.at(i), xt + m_s.Rientro, m_s.YCorrente);
        avanza();
    }
    riquadro(xt, yTitolo + 1, m_s.LarghezzaPagina - m_s.MargineDestro, m_s.YCorrente + 2);
    m_s.YCorrente += 3;
    m_s.ContaTitoli = 0;
}

void InterpretePdf::p_TXTe(const RigaStampa &r)
{
    if (!tipoAstoi())
        return;
    m_s.YCorrente += 1;
    m_doc.DocFontName(QLatin1String(FontOem));
    m_sup.FontSize(11);
    m_sup.FontBold(false);
    scriviSenzaScostamento(r.argomento(), m_s.MargineSinistro, m_s.YCorrente);
    avanza();
}

// ---- Dates --------------------------------------------------------------------------------

void InterpretePdf::p_DAT1(const RigaStampa &r)
{
    m_s.YCorrente += 7;
    m_sup.FontSize(m_s.dimensioni[5]);
    riga(r.argomento(), tondo(m_s.LarghezzaPagina - m_s.MargineDestro - m_sup.TextWidth(r.argomento())));
}

void InterpretePdf::p_DATA(const RigaStampa &r)
{
    m_s.YCorrente = 90;
    m_sup.FontSize(m_s.dimensioni[5]);
    const QByteArrayView t = r.argomento().isEmpty() ? QByteArrayView(" ") : r.argomento();
    scrivi(t, tondo(m_s.LarghezzaPagina - m_s.MargineDestro - m_sup.TextWidth(t)) - 5, m_s.YCorrente);
    m_s.YCorrente = 93;
}

void InterpretePdf::p_DATV(const RigaStampa &r)
{
    const double O = m_form.ScostamentoVoucher;
    const QByteArrayView t = r.argomento();
    m_s.YCorrente = O + 30;
    m_sup.FontSize(m_s.dimensioni[5] + 1);
    const double x = tondo(m_s.LarghezzaPagina - m_s.MargineDestro - m_s.Rientro - m_sup.TextWidth(t)) - 5;
    scrivi(t, x, m_s.YCorrente + dimensione() * 0.353);
    m_s.YCorrente = O + 29.7;
    m_s.YDopoData = m_s.YCorrente;
}

void InterpretePdf::p_DAT3(const RigaStampa &r)
{
    m_s.YCorrente = 105;
    m_sup.FontSize(m_s.dimensioni[5]);
    scrivi(r.argomento(), tondo(m_s.LarghezzaPagina - m_s.MargineDestro - m_sup.TextWidth(r.argomento())),
           m_s.YCorrente);
    m_s.YCorrente = 108;
}

// ---- Free text and voucher text ---------------------------------------------------------

// A line of free text with its inline objects, its baseline at the running
// position, then one line down.
void InterpretePdf::testoLibero(QByteArrayView t, double x)
{
    QByteArray linea = t.toByteArray();
    CodiceABarrePdf(linea);
    const double y = m_s.YCorrente;
    LogoAggiuntivo(linea, x, y - m_pagina.ascesa());
    m_s.YCorrente = y;
    avanza();
}

void InterpretePdf::p_TEXT(const RigaStampa &)
{
    m_s.YCorrente += 5;
    fontOem(m_s.dimensioni[9]);
}

void InterpretePdf::p_TXTn(const RigaStampa &r)
{
    fontOem(m_s.dimensioni[9]);
    testoConAttributiPdf(r.argomento(), false, false, false);
}

// A free-text line at L + G or centred, bold or underlined 0.3 mm below
// its line, a little closer to the next one unless `rigaIntera`.
void InterpretePdf::testoConAttributiPdf(QByteArrayView t, bool grassetto, bool sottolineato, bool centrato,
                                         bool rigaIntera)
{
    if (grassetto)
        m_sup.FontBold(true);
    const double L = m_s.MargineSinistro + m_s.Rientro;
    const double x = tondo(centrato ? (m_s.LarghezzaPagina - L - m_sup.TextWidth(t)) / 2 : L);
    const double y = m_s.YCorrente;
    testoLibero(t, x);
    if (sottolineato) {
        const double da = x + SuperficieDocumento::Scostamento;
        m_doc.DrawLine(da, da + m_sup.TextWidth(t), y + 0.3, y + 0.3);
    }
    if (!rigaIntera)
        m_s.YCorrente -= 0.125;
    if (grassetto)
        m_sup.FontBold(false);
}

void InterpretePdf::p_TXTb(const RigaStampa &r) { testoConAttributiPdf(r.argomento(), true, false, false); }
void InterpretePdf::p_TXTs(const RigaStampa &r) { testoConAttributiPdf(r.argomento(), false, true, false); }
void InterpretePdf::p_TXTc(const RigaStampa &r) { testoConAttributiPdf(r.argomento(), false, false, true); }
void InterpretePdf::p_TXTd(const RigaStampa &r) { testoConAttributiPdf(r.argomento(), true, false, true); }
void InterpretePdf::p_TXTa(const RigaStampa &r) { testoConAttributiPdf(r.argomento(), true, true, true, true); }

void InterpretePdf::p_TXTV(const RigaStampa &)
{
    m_s.YCorrente += (m_s.YDopoData && m_s.YCorrente == *m_s.YDopoData) ? 4 : 1;
    fontOem(m_s.dimensioni[9] - 0.5);
}

void InterpretePdf::p_TXVb(const RigaStampa &r)
{
    testoConAttributiPdf(r.argomento(), true, false, false);
}

void InterpretePdf::p_TXVn(const RigaStampa &r)
{
    testoLibero(r.argomento(), tondo(m_s.MargineSinistro + 15 + m_s.Rientro));
    m_s.YCorrente -= 0.125;
}

// ---- Two-column small print ----------------------------------------------------------------

void InterpretePdf::p_TXT2(const RigaStampa &r)
{
    if (m_s.DueColonne.isEmpty())
        m_s.YInizioDueColonne = m_s.YCorrente;
    if (m_s.DueColonne.size() >= 999)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    m_s.DueColonne.append(r.argomento().toByteArray());
    m_s.DueColonnePendenti = true;
}

void InterpretePdf::p_TX2b(const RigaStampa &r) { p_TXT2(r); }
void InterpretePdf::p_TX2s(const RigaStampa &r) { p_TXT2(r); }
void InterpretePdf::p_TX2c(const RigaStampa &r) { p_TXT2(r); }
void InterpretePdf::p_TX2d(const RigaStampa &r) { p_TXT2(r); }
void InterpretePdf::p_TX2a(const RigaStampa &r) { p_TXT2(r); }

// The first half of the buffered lines on the left, the second on the
// right, an odd middle line alone on the left; a rule between the columns.
void InterpretePdf::stampaDueColonnePdf()
{
    m_sup.FontSize(m_s.dimensioni[10]);
    m_sup.FontBold(false);
    const qsizetype n = m_s.DueColonne.size(), h = n / 2, dispari = n % 2;
    const double sinistra = tondo(m_s.MargineSinistro + m_s.Rientro);
    for (qsizetype i = 0; i < h; ++i) {
        const double y = m_s.YCorrente;
        testoLibero(m_s.DueColonne.at(i), sinistra);
        m_s.YCorrente = y;
        testoLibero(m_s.DueColonne.at(i + h + dispari), 105);
        m_s.YCorrente -= 0.125;
    }
    if (dispari)
        testoLibero(m_s.DueColonne.at(h), sinistra);
    if (m_s.YInizioDueColonne != 0)
        riquadro(96 + SuperficieDocumento::Scostamento, m_s.YInizioDueColonne, 96 + SuperficieDocumento::Scostamento,
                 m_s.YCorrente);
    m_s.YInizioDueColonne = 0;
    m_s.DueColonne.clear();
    m_s.DueColonnePendenti = false;
}

// ---- Character grid and page sizes -------------------------------------------------------

void InterpretePdf::p_RIGA(const RigaStampa &r)
{
    scriviSenzaScostamento(r.argomento(), 10, 10 + m_scostamentoRiga);
    m_scostamentoRiga += tondo(dimensione() * 0.353) + 1;
    ++m_s.RigaGriglia;
}

void InterpretePdf::p_LARG(const RigaStampa &r)
{
    const QByteArrayView codice = r.colonne(7, 3);
    const QByteArrayView verso = r.colonne(10, 3);
    const bool largo = codice == "132" && (verso == "VER" || verso == "ORI");
    if (!largo && codice != "080")
        return;
    m_doc.SetPageSize(punti(m_stampante.Width() / 567), punti(m_stampante.Height() / 567));
    m_sup.FontSize(largo ? 8 : 10);
    if (largo)
        m_sup.FontBold(false);
}

// ---- Vouchers ------------------------------------------------------------------------------

bool InterpretePdf::unaCopia() const
{
    // The PDF is one rendering: no copies asked is one copy.
    return m_form.NumCopie.isEmpty() || Interprete::unaCopia();
}

// A fax printer's third voucher only counts: the fax server pages itself.
bool InterpretePdf::voucherSenzaNuovaPagina() const
{
    return dispositivoZetafax();
}

// No fold marks on a PDF.
void InterpretePdf::Trattino() {}

// A voucher letterhead starts a fax page left pending, and the voucher
// layout.
void InterpretePdf::inizioVoucher()
{
    avviaPaginaPendente();
    m_form.ConINTV = true;
}

void InterpretePdf::p_VRIV(const RigaStampa &r)
{
    m_s.VoucherPerPagina = r.num2();
}

// ---- Labels ---------------------------------------------------------------------------------

void InterpretePdf::p_ETTI(const RigaStampa &r)
{
    m_s.NumeroEtichetta = 0;
    const QSizeF foglio = foglioEtichette ? foglioEtichette() : QSizeF(Val(m_form.txtPX), Val(m_form.txtPY));
    // Loading the printer form for its sheet names its own routine.
    impostaRoutine(QStringLiteral("FRMCreaPDF"), QStringLiteral("GRAFICA"));
    m_doc.SetPageSize(punti(foglio.width() / 10), punti(foglio.height() / 10));
    const QByteArrayView scelta = r.colonne(7, 1);
    if (scelta == "N" || scelta == "C") {
        m_doc.DocFontName(QLatin1String(FontOem));
        fontOem(scelta == "N" ? 9 : 7);
    }
}

// Label lines: x rounded, the baseline 3 mm below the line's place.
void InterpretePdf::rigaEtichetta(QByteArrayView linea, double x, double y)
{
    scrivi(linea, tondo(x), y + 3);
}

// ---- Fax directives and job records ---------------------------------------------------------

void InterpretePdf::direttiva(const QString &t)
{
    m_doc.DocFontName(QStringLiteral("arial"));
    m_doc.PutText(t, 0, 0);
}

void InterpretePdf::p_FAXN(const RigaStampa &r)
{
    if (!dispositivoZetafax())
        return;
    avviaPaginaPendente();
    QString numero = testoDaConvertito(r.argomento());
    const qsizetype barra = numero.indexOf(u'/');
    if (barra >= 0)
        numero.remove(barra, 1);
    direttiva(QStringLiteral("%%[Fax: ") + numero + u']');
}

void InterpretePdf::p_FAXD(const RigaStampa &r)
{
    if (!dispositivoZetafax())
        return;
    avviaPaginaPendente();
    direttiva(QStringLiteral("%%[Name: ") + testoDaConvertito(r.argomento()) + u']');
}

void InterpretePdf::p_FAXS(const RigaStampa &)
{
    if (dispositivoZetafax()) {
        direttiva(QStringLiteral("%%[SEND]"));
        salva();
    }
    m_s.ContaMittente = 0;
}

void InterpretePdf::p_FILE(const RigaStampa &r)
{
    lavoro().ElencoAllegati.append(testo(r.argomento()));
}

// ---- Bar codes ----------------------------------------------------------------------------------

// A "<<CB=" tag becomes the picture the converter program makes of it, when
// the program is there: started with a random name and the tag's first
// three fields, it has 500 ms to leave name.jpg in the temporary folder; the
// tag then gives way to an "<<IMG=" tag of that file with the tag's fourth
// to seventh fields. Without the converter the tag stays as it is.
void InterpretePdf::CodiceABarrePdf(QByteArray &linea)
{
    const qsizetype p = linea.indexOf("<<CB=");
    if (p < 0)
        return;
    const QString convertitore = trovaIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("PRAVOLINKT.EXE")));
    if (!QFileInfo(convertitore).isFile())
        return;
    const qsizetype q = linea.indexOf(">>", p);
    if (q < 0)
        throw ErroreVB(Err::TipoNonCorrispondente);
    const QList<QByteArray> campi = linea.mid(p + 5, q - p - 5).split(';');
    const QString nome = QString::number(QRandomGenerator::global()->bounded(1, 100001)) + QStringLiteral("CB");
    QString argomento = nome + u';';
    for (int i = 0; i < 3; ++i)
        argomento += testo(campi.value(i)) + u';';
    if (avviaConvertitore)
        avviaConvertitore(convertitore, argomento);
    else
        QProcess::startDetached(convertitore, {argomento});
    if (attendi) {
        attendi(500);
    } else {
        // The converter's time, pending events let run meanwhile.
        QElapsedTimer orologio;
        orologio.start();
        while (orologio.elapsed() < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(10);
        }
    }
    QByteArray immagine = "<<IMG=" + aWindows1252(KV_GetTempPath() + nome + QStringLiteral(".jpg"));
    // The fields the tag has: a picture's missing size is its own.
    for (int i = 3; i < 7 && i < campi.size(); ++i)
        immagine += ';' + campi.at(i);
    immagine += ">>";
    linea.replace(p, q + 2 - p, immagine);
}

} // namespace vorpla
