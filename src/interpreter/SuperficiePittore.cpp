#include "SuperficiePittore.h"

#include "SuperficieRegistrata.h"
#include "common/ErroreVB.h"

#include <QFontInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>

namespace vorpla {

SuperficiePittore::SuperficiePittore(QPagedPaintDevice *dispositivo, QString nomeDispositivo, double dpi)
    : m_dispositivo(dispositivo), m_superficie(dispositivo), m_nome(std::move(nomeDispositivo)), m_dpi(dpi)
{
    if (m_dispositivo->pageLayout().orientation() == QPageLayout::Landscape)
        impostaOrientamento(2);
}

SuperficiePittore::SuperficiePittore(QImage *immagine, QString nomeDispositivo)
    : m_immagine(immagine), m_superficie(immagine), m_nome(std::move(nomeDispositivo)),
      m_dpi(immagine->dotsPerMeterX() * 0.0254)
{
    m_immagine->fill(Qt::white);
}

SuperficiePittore::~SuperficiePittore()
{
    if (m_pittore.isActive()) {
        svuotaSequenza();
        m_pittore.end();
    }
}

QSizeF SuperficiePittore::paginaCm(int orientamento) const
{
    if (m_immagine)
        return QSizeF(m_immagine->width() / m_dpi * 2.54, m_immagine->height() / m_dpi * 2.54);
    QPageLayout layout = m_dispositivo->pageLayout();
    layout.setOrientation(orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout.fullRect(QPageLayout::Millimeter).size() / 10.0;
}

QSizeF SuperficiePittore::areaStampabileCm(int orientamento) const
{
    if (m_immagine)
        return paginaCm(orientamento);
    QPageLayout layout = m_dispositivo->pageLayout();
    layout.setOrientation(orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout.paintRect(QPageLayout::Millimeter).size() / 10.0;
}

void SuperficiePittore::orientamentoCambiato(int orientamento)
{
    // Takes effect from the next page started (a page cannot turn half-way);
    // an image keeps its shape.
    if (m_dispositivo)
        m_dispositivo->setPageOrientation(orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QPainter &SuperficiePittore::pittore()
{
    if (!m_pittore.isActive()) {
        // A printer that cannot start the job (no such queue, no spooler)
        // is a printer error, raised at the first thing drawn.
        if (!m_pittore.begin(m_superficie))
            throw ErroreVB(Err::ErroreStampante);
        m_pittore.setRenderHint(QPainter::Antialiasing, true);
        // One painter unit is one device dot of the resolution asked.
        const double scala = m_superficie->logicalDpiX() / m_dpi;
        m_pittore.scale(scala, scala);
    }
    return m_pittore;
}

QPen SuperficiePittore::penna(double spessore, Qt::PenStyle stile, const QColor &colore) const
{
    QPen p(colore);
    p.setWidthF(punti(spessore));
    p.setStyle(stile);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

void SuperficiePittore::impostaFont(const QFont &font)
{
    if (m_fontPronto && font == m_fontImpostato)
        return;
    QPainter &p = pittore();
    QFont f(font);
    f.setHintingPreference(QFont::PreferNoHinting);
    // Point sizes as on a device of m_dpi dots per inch.
    f.setPointSizeF(font.pointSizeF() * m_dpi / m_superficie->logicalDpiY());
    p.setFont(f);
    const QFontMetricsF metriche(f, m_superficie);
    const double scala = m_dpi / m_superficie->logicalDpiY();
    m_ascesaImpostata = metriche.ascent() * scala;
    m_avanzamento = metriche.horizontalAdvance(QLatin1Char('M')) * scala;
    m_fontFisso = QFontInfo(f).fixedPitch();
    m_fontImpostato = font;
    m_fontPronto = true;
}

void SuperficiePittore::disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font,
                                     const QColor &colore)
{
    Sequenza &seq = m_sequenza;
    if (seq.attiva && (font != seq.font || colore != seq.colore))
        svuotaSequenza();
    impostaFont(font);
    QPainter &p = pittore();
    if (colore != m_coloreImpostato || p.pen().style() != Qt::SolidLine || p.pen().widthF() != 0) {
        p.setPen(QPen(colore, 0));
        m_coloreImpostato = colore;
    }
    const QPointF origine = punti(altoSinistra) + QPointF(0, m_ascesaImpostata);
    if (testo.size() == 1 && m_fontFisso) {
        if (seq.attiva && qAbs(origine.y() - seq.inizio.y()) < 1e-6) {
            const double dx = origine.x() - seq.inizio.x();
            if (seq.testo.size() == 1 && dx > 0) {
                seq.passo = dx;
                seq.testo += testo;
                return;
            }
            if (seq.testo.size() > 1 && qAbs(dx - seq.passo * double(seq.testo.size())) < 1e-6) {
                seq.testo += testo;
                return;
            }
        }
        svuotaSequenza();
        seq = Sequenza{true, origine, 0, testo, font, colore};
        return;
    }
    svuotaSequenza();
    p.drawText(origine, testo);
}

void SuperficiePittore::svuotaSequenza()
{
    Sequenza &seq = m_sequenza;
    if (!seq.attiva)
        return;
    seq.attiva = false;
    QPainter &p = pittore();
    if (seq.testo.size() == 1) {
        p.drawText(seq.inizio, seq.testo);
        return;
    }
    const QFont normale = p.font();
    QFont spaziato(normale);
    // Every glyph of a fixed-pitch font advances the same: stretch that
    // advance to the pitch (a relative spacing does not depend on the units
    // the device lays text out in).
    spaziato.setLetterSpacing(QFont::PercentageSpacing, seq.passo / m_avanzamento * 100);
    p.setFont(spaziato);
    p.drawText(seq.inizio, seq.testo);
    p.setFont(normale);
}

void SuperficiePittore::disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore)
{
    svuotaSequenza();
    QPainter &p = pittore();
    p.setPen(penna(spessore, stile, colore));
    p.drawLine(punti(da), punti(a));
}

void SuperficiePittore::disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                                          const QColor *riempimento)
{
    svuotaSequenza();
    QPainter &p = pittore();
    p.setPen(penna(spessore, stile, colore));
    p.setBrush(riempimento ? QBrush(*riempimento) : QBrush(Qt::NoBrush));
    p.drawRect(QRectF(punti(r.topLeft()), punti(r.bottomRight())));
    p.setBrush(Qt::NoBrush);
}

void SuperficiePittore::disegnaImmagine(const QImage &immagine, const QRectF &r)
{
    svuotaSequenza();
    pittore().drawImage(QRectF(punti(r.topLeft()), punti(r.bottomRight())), immagine);
}

void SuperficiePittore::nuovaPagina()
{
    svuotaSequenza();
    pittore();
    if (m_dispositivo)
        m_dispositivo->newPage();
    else {
        // The whole image, in its own pixels.
        QPainter &p = pittore();
        p.save();
        p.resetTransform();
        p.fillRect(m_immagine->rect(), Qt::white);
        p.restore();
    }
}

QSizeF SuperficiePittore::misuraTesto(const QString &testo, const QFont &font) const
{
    return misuraTestoCm(testo, font, m_dpi);
}

bool SuperficiePittore::documentoAperto() const
{
    return m_pittore.isActive();
}

bool SuperficiePittore::FineDocumento()
{
    if (!m_pittore.isActive()) {
        // An empty document still has its one page.
        try {
            pittore();
        } catch (const ErroreVB &) {
            return false;
        }
    }
    svuotaSequenza();
    return m_pittore.end();
}

} // namespace vorpla
