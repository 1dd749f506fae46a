#include "SuperficieDocumento.h"

#include "SuperficieRegistrata.h"
#include "common/Numeri.h"

#include <algorithm>

namespace vorpla {

SuperficieDocumento::SuperficieDocumento(DocumentoPdf &documento, Superficie &stampante)
    : m_documento(documento), m_stampante(stampante)
{
}

double SuperficieDocumento::ascesa() const
{
    return ascesaCm(fontCorrente(), risoluzione()) * 10;
}

void SuperficieDocumento::disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font,
                                       const QColor &)
{
    const double base = altoSinistra.y() + ascesaCm(font, risoluzione());
    m_documento.DrawText(testo, altoSinistra.x() * 10 + Scostamento, base * 10, m_documento.DocFontSize(), 0,
                         QLatin1String(RisorsaFont), 0);
}

void SuperficieDocumento::riquadro(QPointF a, QPointF b)
{
    m_documento.DrawBox(1.0, 0, 1, a.x() * 10 + Scostamento, b.x() * 10 + Scostamento, a.y() * 10, b.y() * 10);
}

void SuperficieDocumento::disegnaLinea(QPointF da, QPointF a, double, Qt::PenStyle, const QColor &)
{
    riquadro(da, a);
}

void SuperficieDocumento::disegnaRettangolo(const QRectF &r, double, Qt::PenStyle, const QColor &,
                                            const QColor *)
{
    riquadro(r.topLeft(), r.bottomRight());
}

double SuperficieDocumento::dimensioneScelta(double punti)
{
    // The document holds sizes as whole points, from 1 to 2000.
    const double limitata = std::clamp(std::isnan(punti) ? 1.0 : punti, 1.0, 2000.0);
    m_documento.DocFontSize(qint32(arrotondaPari(limitata)));
    return std::max<qint32>(1, m_documento.DocFontSize());
}

void SuperficieDocumento::grassettoScelto(bool grassetto)
{
    m_documento.DocFontBold(grassetto ? -1 : 0);
}

} // namespace vorpla
