#include "SuperficieRegistrata.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>

namespace vorpla {

namespace {
// A paint device of the resolution asked, for font metrics.
const QPaintDevice *dispositivoMisure(double dpi)
{
    static QHash<int, QImage *> dispositivi;
    QImage *&img = dispositivi[int(dpi)];
    if (!img) {
        img = new QImage(1, 1, QImage::Format_Mono);
        const int puntiMetro = int(dpi / 0.0254 + 0.5);
        img->setDotsPerMeterX(puntiMetro);
        img->setDotsPerMeterY(puntiMetro);
    }
    return img;
}
} // namespace

namespace {
const QFontMetricsF &metriche(const QFont &font, double dpi)
{
    // Metrics objects are costly to make and a document uses a handful of
    // fonts: keep the last few.
    struct Voce
    {
        QFont font;
        double dpi;
        QFontMetricsF metriche;
    };
    static QList<Voce> cache;
    const QFontMetricsF *m = nullptr;
    for (const Voce &v : cache) {
        if (v.dpi == dpi && v.font == font) {
            m = &v.metriche;
            break;
        }
    }
    if (!m) {
        QFont f(font);
        f.setHintingPreference(QFont::PreferNoHinting);
        if (cache.size() >= 16)
            cache.removeFirst();
        cache.append(Voce{font, dpi, QFontMetricsF(f, dispositivoMisure(dpi))});
        m = &cache.last().metriche;
    }
    return *m;
}
} // namespace

QSizeF misuraTestoCm(const QString &testo, const QFont &font, double dpi)
{
    const QFontMetricsF &m = metriche(font, dpi);
    return QSizeF(m.horizontalAdvance(testo) / dpi * 2.54, m.height() / dpi * 2.54);
}

double ascesaCm(const QFont &font, double dpi)
{
    return metriche(font, dpi).ascent() / dpi * 2.54;
}

SuperficieRegistrata::SuperficieRegistrata(QString nomeDispositivo, QSizeF paginaCm, QSizeF areaCm)
    : m_nome(std::move(nomeDispositivo)), m_dimPagina(paginaCm), m_area(areaCm.isEmpty() ? paginaCm : areaCm)
{
}

QSizeF SuperficieRegistrata::paginaCm(int orientamento) const
{
    return orientamento == 2 ? m_dimPagina.transposed() : m_dimPagina;
}

QSizeF SuperficieRegistrata::areaStampabileCm(int orientamento) const
{
    return orientamento == 2 ? m_area.transposed() : m_area;
}

void SuperficieRegistrata::aggiungi(OperazioneRegistrata op)
{
    if (m_soloConteggio)
        return;
    op.pagina = m_pagina;
    m_operazioni.append(std::move(op));
}

void SuperficieRegistrata::disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font,
                                        const QColor &colore)
{
    OperazioneRegistrata op;
    op.tipo = OperazioneRegistrata::Tipo::Testo;
    op.a = altoSinistra;
    op.b = altoSinistra;
    op.testo = testo;
    op.famiglia = font.family();
    op.dimensione = font.pointSizeF();
    op.grassetto = font.bold();
    op.corsivo = font.italic();
    op.sottolineato = font.underline();
    op.colore = colore;
    aggiungi(std::move(op));
}

void SuperficieRegistrata::disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle, const QColor &colore)
{
    OperazioneRegistrata op;
    op.tipo = OperazioneRegistrata::Tipo::Linea;
    op.a = da;
    op.b = a;
    op.spessore = spessore;
    op.colore = colore;
    aggiungi(std::move(op));
}

void SuperficieRegistrata::disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle, const QColor &colore,
                                             const QColor *riempimento)
{
    OperazioneRegistrata op;
    op.tipo = OperazioneRegistrata::Tipo::Rettangolo;
    op.a = r.topLeft();
    op.b = r.bottomRight();
    op.spessore = spessore;
    op.colore = colore;
    op.pieno = riempimento != nullptr;
    aggiungi(std::move(op));
}

void SuperficieRegistrata::disegnaImmagine(const QImage &immagine, const QRectF &r)
{
    OperazioneRegistrata op;
    op.tipo = OperazioneRegistrata::Tipo::Immagine;
    op.a = r.topLeft();
    op.b = r.bottomRight();
    op.dimensioniImmagine = immagine.size();
    aggiungi(std::move(op));
}

void SuperficieRegistrata::nuovaPagina()
{
    ++m_pagina;
}

QSizeF SuperficieRegistrata::misuraTesto(const QString &testo, const QFont &font) const
{
    return misuraTestoCm(testo, font, risoluzione());
}

} // namespace vorpla
