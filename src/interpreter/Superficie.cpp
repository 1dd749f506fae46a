#include "Superficie.h"

#include "Adattamento.h"

#include "common/Codifica.h"
#include "common/TabellaCaratteri.h"

#include <QFontDatabase>
#include <algorithm>
#include <cmath>

namespace vorpla {

QColor coloreDaVB(ColoreVB colore)
{
    if (colore & 0x80000000u) {
        // The few system colours the program uses, as a standard desktop
        // scheme draws them.
        switch (colore & 0xFFu) {
        case 0x11: return QColor(128, 128, 128); // grey (disabled) text
        case 0x05: return QColor(255, 255, 255); // window background
        default: return QColor(0, 0, 0);
        }
    }
    return QColor(int(colore & 0xFF), int((colore >> 8) & 0xFF), int((colore >> 16) & 0xFF));
}

Superficie::Superficie() : m_nomeFont(QString::fromLatin1(FontOem)) {}

Superficie::~Superficie() = default;

double Superficie::Width() const
{
    return paginaCm(m_orientamento).width() * 567.0;
}

double Superficie::Height() const
{
    return paginaCm(m_orientamento).height() * 567.0;
}

void Superficie::impostaOrientamento(int orientamento)
{
    const int nuovo = orientamento == 2 ? 2 : 1;
    if (nuovo == m_orientamento)
        return;
    m_orientamento = nuovo;
    orientamentoCambiato(nuovo);
}

void Superficie::orientamentoCambiato(int) {}

void Superficie::ScaleMode7()
{
    m_scalaX = m_scalaY = 1;
}

void Superficie::ScaleWidth(double larghezza)
{
    if (larghezza != 0)
        m_scalaX = areaStampabileCm(m_orientamento).width() / larghezza;
}

void Superficie::ScaleHeight(double altezza)
{
    if (altezza != 0)
        m_scalaY = areaStampabileCm(m_orientamento).height() / altezza;
}

double Superficie::ScaleWidth() const
{
    return areaStampabileCm(m_orientamento).width() / m_scalaX;
}

double Superficie::ScaleHeight() const
{
    return areaStampabileCm(m_orientamento).height() / m_scalaY;
}

void Superficie::FontName(const QString &nome)
{
    if (nome != m_nomeFont) {
        m_nomeFont = nome;
        m_fontValido = false;
    }
}

double Superficie::dimensioneScelta(double punti)
{
    const double dpi = risoluzione();
    // Whole device dots, at least one; no font is larger than 2000 points.
    double punti_ = std::round(std::min(punti, 2000.0) * dpi / 72.0);
    if (!(punti_ >= 1))
        punti_ = 1;
    return punti_ * 72.0 / dpi;
}

void Superficie::grassettoScelto(bool) {}

void Superficie::FontSize(double punti)
{
    const double dimensione = dimensioneScelta(punti);
    if (dimensione != m_dimensione) {
        m_dimensione = dimensione;
        m_fontValido = false;
    }
}

QString Superficie::famigliaEffettiva() const
{
    if (m_nomeFont.compare(QLatin1String(FontOem), Qt::CaseInsensitive) != 0)
        return m_nomeFont;
    if (m_oemInstallato < 0)
        m_oemInstallato = QFontDatabase::hasFamily(QLatin1String(FontOem)) ? 1 : 0;
    return QLatin1String(m_oemInstallato ? FontOem : FontOemSostitutivo);
}

const QFont &Superficie::fontCorrente() const
{
    if (!m_fontValido) {
        QFont font(famigliaEffettiva());
        font.setPointSizeF(m_dimensione);
        font.setBold(m_grassetto);
        font.setItalic(m_corsivo);
        font.setUnderline(m_sottolineato);
        font.setKerning(false);
        font.setStyleStrategy(QFont::PreferOutline);
        font.setHintingPreference(QFont::PreferNoHinting);
        m_font = font;
        m_altezzaRiga = misuraTesto(QStringLiteral("A"), m_font).height();
        m_fontValido = true;
    }
    return m_font;
}

double Superficie::altezzaRigaCm() const
{
    fontCorrente();
    return m_altezzaRiga;
}

QString Superficie::testoPerFont(QByteArrayView testo) const
{
    const bool oem = m_nomeFont.compare(QLatin1String(FontOem), Qt::CaseInsensitive) == 0;
    if (oem && famigliaEffettiva() != QLatin1String(FontOem))
        return decodificaPerVisualizzazione(testo.toByteArray(), false);
    // The OEM font itself, and every other font (Windows text).
    return daWindows1252(testo);
}

// What of a text starting at `punto` (physical centimetres) lands on the
// sheet. Nothing of a text that starts past its right or bottom edge. A long
// text loses the characters wholly left of the sheet (`punto` moves to the
// first one kept) and those past its right edge, both found with a few
// measurements (Adattamento.h), so a line of a megabyte costs what a
// page-wide one does. Shorter texts are drawn as they are, unmeasured.
QString Superficie::testoSulFoglio(QByteArrayView testo, QPointF &punto) const
{
    // The sheet of either orientation: the device turns it only at the next
    // page.
    const QSizeF pagina = paginaCm(m_orientamento);
    const double lato = qMax(pagina.width(), pagina.height());
    if (punto.x() > lato || punto.y() > lato)
        return {};
    constexpr qsizetype TestoLungo = 4 * PrefissoDiProva;
    if (testo.size() <= TestoLungo)
        return testoPerFont(testo);
    const QFont &font = fontCorrente();
    const auto larghezza = [&](QByteArrayView t) { return misuraTesto(testoPerFont(t), font).width(); };
    // The printable area starts at most this far right of the sheet's edge.
    const double bordoSinistro = areaStampabileCm(m_orientamento).width() - lato;
    // Widths add up piece by piece only without tabs (a tab's width depends
    // on where it stands): a text with tabs is measured from its start.
    if (punto.x() < bordoSinistro && !testo.contains('\t')) {
        // A piece at a time (widths add up: kerning is off), then within the
        // piece that reaches the sheet.
        constexpr qsizetype Pezzo = 16 * PrefissoDiProva;
        qsizetype fuori = 0;
        while (fuori < testo.size()) {
            const QByteArrayView pezzo = testo.sliced(fuori, qMin(Pezzo, testo.size() - fuori));
            const double tutto = larghezza(pezzo);
            if (punto.x() + tutto >= bordoSinistro) {
                const qsizetype k = prefissoCheSta(pezzo.size(), [&](qsizetype j) {
                    return punto.x() + larghezza(pezzo.first(j)) < bordoSinistro;
                });
                punto.rx() += larghezza(pezzo.first(k));
                fuori += k;
                break;
            }
            punto.rx() += tutto;
            fuori += pezzo.size();
        }
        testo = testo.sliced(fuori);
        if (testo.isEmpty())
            return {};
    }
    const qsizetype dentro = prefissoCheSta(testo.size(), [&](qsizetype k) {
        return punto.x() + larghezza(testo.first(k)) <= lato;
    });
    // The character that crosses the edge shows in part.
    return testoPerFont(testo.first(qMin(testo.size(), dentro + 1)));
}

void Superficie::Print(QByteArrayView testo)
{
    const QFont &font = fontCorrente();
    QPointF punto = fisico(CurrentX, CurrentY);
    const QString t = testoSulFoglio(testo, punto);
    if (!t.isEmpty())
        disegnaTesto(punto, t, font, coloreDaVB(m_primoPiano));
    CurrentY += m_altezzaRiga / m_scalaY;
    CurrentX = 0;
}

double Superficie::TextWidth(QByteArrayView testo) const
{
    return misuraTesto(testoPerFont(testo), fontCorrente()).width() / m_scalaX;
}

double Superficie::TextHeight(QByteArrayView) const
{
    return altezzaRigaCm() / m_scalaY;
}

Qt::PenStyle Superficie::stilePenna() const
{
    switch (m_stileLinea) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

void Superficie::Line(int flags, double x1, double y1, double x2, double y2, ColoreVB colore)
{
    const QPointF a = fisico(x1, y1), b = fisico(x2, y2);
    if (flags == Rettangolo) {
        const QColor riempimento = coloreDaVB(m_riempimento);
        disegnaRettangolo(QRectF(a, b).normalized(), spessoreCm(), stilePenna(), coloreDaVB(m_primoPiano),
                          m_stileRiempimento == 0 ? &riempimento : nullptr);
    } else {
        disegnaLinea(a, b, spessoreCm(), stilePenna(),
                     coloreDaVB(flags == LineaColoreDato ? colore : m_primoPiano));
    }
    CurrentX = x2;
    CurrentY = y2;
}

void Superficie::PaintPicture(const QImage &immagine, double x, double y, double larghezza, double altezza)
{
    disegnaImmagine(immagine, QRectF(fisico(x, y), QSizeF(larghezza * m_scalaX, altezza * m_scalaY)));
}

QSize Superficie::puntiImmagine(double larghezza, double altezza) const
{
    const double perCm = risoluzione() / 2.54;
    auto punti = [perCm](double cm) {
        const double p = std::ceil(std::abs(cm) * perCm);
        return p >= 1 && p < 1e6 ? int(p) : (p >= 1e6 ? 1000000 : 1);
    };
    return QSize(punti(larghezza * m_scalaX), punti(altezza * m_scalaY));
}

void Superficie::NewPage()
{
    nuovaPagina();
    ++m_pagina;
    CurrentX = 0;
    CurrentY = 0;
}

} // namespace vorpla
