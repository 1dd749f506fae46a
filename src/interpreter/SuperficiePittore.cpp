#include "SuperficiePittore.h"

#include "SuperficieRegistrata.h"

#include <QPageLayout>
#include <QPagedPaintDevice>

namespace vorpla {

SuperficiePittore::SuperficiePittore(QPagedPaintDevice *dispositivo, QString nomeDispositivo, double dpi)
    : m_dispositivo(dispositivo), m_nome(std::move(nomeDispositivo)), m_dpi(dpi)
{
    if (m_dispositivo->pageLayout().orientation() == QPageLayout::Landscape)
        impostaOrientamento(2);
}

SuperficiePittore::~SuperficiePittore()
{
    if (m_pittore.isActive())
        m_pittore.end();
}

QSizeF SuperficiePittore::paginaCm(int orientamento) const
{
    QPageLayout layout = m_dispositivo->pageLayout();
    layout.setOrientation(orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout.fullRect(QPageLayout::Millimeter).size() / 10.0;
}

QSizeF SuperficiePittore::areaStampabileCm(int orientamento) const
{
    QPageLayout layout = m_dispositivo->pageLayout();
    layout.setOrientation(orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    return layout.paintRect(QPageLayout::Millimeter).size() / 10.0;
}

void SuperficiePittore::orientamentoCambiato(int orientamento)
{
    // Takes effect from the next page started (a page cannot turn half-way).
    m_dispositivo->setPageOrientation(orientamento == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QPainter &SuperficiePittore::pittore()
{
    if (!m_pittore.isActive()) {
        m_pittore.begin(m_dispositivo);
        m_pittore.setRenderHint(QPainter::Antialiasing, true);
        // One painter unit is one device dot of the resolution asked.
        const double scala = m_dispositivo->logicalDpiX() / m_dpi;
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

void SuperficiePittore::disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font,
                                     const QColor &colore)
{
    QPainter &p = pittore();
    QFont f(font);
    f.setHintingPreference(QFont::PreferNoHinting);
    // Point sizes as on a device of m_dpi dots per inch.
    f.setPointSizeF(font.pointSizeF() * m_dpi / m_dispositivo->logicalDpiY());
    p.setFont(f);
    p.setPen(colore);
    const QFontMetricsF m(f, m_dispositivo);
    const QPointF origine = punti(altoSinistra);
    p.drawText(QPointF(origine.x(), origine.y() + m.ascent() * m_dpi / m_dispositivo->logicalDpiY()), testo);
}

void SuperficiePittore::disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore)
{
    QPainter &p = pittore();
    p.setPen(penna(spessore, stile, colore));
    p.drawLine(punti(da), punti(a));
}

void SuperficiePittore::disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                                          const QColor *riempimento)
{
    QPainter &p = pittore();
    p.setPen(penna(spessore, stile, colore));
    p.setBrush(riempimento ? QBrush(*riempimento) : QBrush(Qt::NoBrush));
    p.drawRect(QRectF(punti(r.topLeft()), punti(r.bottomRight())));
    p.setBrush(Qt::NoBrush);
}

void SuperficiePittore::disegnaImmagine(const QImage &immagine, const QRectF &r)
{
    pittore().drawImage(QRectF(punti(r.topLeft()), punti(r.bottomRight())), immagine);
}

void SuperficiePittore::nuovaPagina()
{
    pittore();
    m_dispositivo->newPage();
}

QSizeF SuperficiePittore::misuraTesto(const QString &testo, const QFont &font) const
{
    return misuraTestoCm(testo, font, m_dpi);
}

bool SuperficiePittore::FineDocumento()
{
    if (!m_pittore.isActive())
        pittore(); // an empty document still has its one page
    return m_pittore.end();
}

} // namespace vorpla
