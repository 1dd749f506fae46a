#include "CacheImmagini.h"

#include "common/ErroreVB.h"
#include "common/FileRegolare.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace vorpla {

const QImage &CacheImmagini::originale(const QString &percorso)
{
    if (m_percorsoOriginale == percorso && !m_originale.isNull())
        return m_originale;
    m_originale = QImage();
    m_percorsoOriginale.clear();
    QFile file;
    const EsitoFile esito = apriInLettura(file, percorso, DimensioneMassimaFile);
    if (esito != EsitoFile::Aperto)
        throw ErroreVB(Err::ImmagineNonValida); // as for a file that holds no picture
    QImageReader lettore(&file, QFileInfo(percorso).suffix().toLatin1());
    lettore.setAutoTransform(true);
    QImage immagine = lettore.read();
    ++m_decodifiche;
    if (immagine.isNull())
        throw ErroreVB(Err::ImmagineNonValida);
    m_originale = std::move(immagine);
    m_percorsoOriginale = percorso;
    return m_originale;
}

QSizeF CacheImmagini::himetric(const QString &percorso)
{
    const auto trovata = m_himetric.constFind(percorso);
    if (trovata != m_himetric.constEnd())
        return *trovata;
    const QImage &immagine = originale(percorso);
    const double dpmX = immagine.dotsPerMeterX() > 0 ? immagine.dotsPerMeterX() : 3780;
    const double dpmY = immagine.dotsPerMeterY() > 0 ? immagine.dotsPerMeterY() : 3780;
    const QSizeF dimensione(immagine.width() / dpmX * 100000.0, immagine.height() / dpmY * 100000.0);
    m_himetric.insert(percorso, dimensione);
    return dimensione;
}

QImage CacheImmagini::perDispositivo(const QString &percorso, QSize pixel)
{
    const QString chiave = percorso + u'\n' + QString::number(pixel.width()) + u'x' + QString::number(pixel.height());
    const auto trovata = m_voci.find(chiave);
    if (trovata != m_voci.end()) {
        trovata->uso = ++m_orologio;
        return trovata->immagine;
    }
    if (m_chiaveGrande == chiave)
        return m_grande;
    const QImage &file = originale(percorso);
    const QSize meta(qBound(1, pixel.width(), file.width()), qBound(1, pixel.height(), file.height()));
    QImage immagine = file;
    if (meta != file.size()) {
        // Two-colour pictures (fax logos) stay two-colour: smoothing would
        // make them grey and four times larger.
        immagine = file.scaled(meta, Qt::IgnoreAspectRatio,
                               file.depth() == 1 ? Qt::FastTransformation : Qt::SmoothTransformation);
        immagine.setDotsPerMeterX(file.dotsPerMeterX());
        immagine.setDotsPerMeterY(file.dotsPerMeterY());
    }
    const qint64 byte = immagine.sizeInBytes();
    if (byte > m_limite) {
        // Larger than the whole bound (a page-wide background at 600 dpi):
        // kept on its own, so that on every page it is the same image.
        m_chiaveGrande = chiave;
        m_grande = immagine;
        return immagine;
    }
    // The pictures used longest ago make room.
    while (m_byte + byte > m_limite && !m_voci.isEmpty()) {
        auto vecchia = m_voci.begin();
        for (auto it = m_voci.begin(); it != m_voci.end(); ++it) {
            if (it->uso < vecchia->uso)
                vecchia = it;
        }
        m_byte -= vecchia->immagine.sizeInBytes();
        m_voci.erase(vecchia);
    }
    m_voci.insert(chiave, Voce{immagine, ++m_orologio});
    m_byte += byte;
    return immagine;
}

void CacheImmagini::svuota()
{
    m_himetric.clear();
    m_voci.clear();
    m_byte = 0;
    m_percorsoOriginale.clear();
    m_originale = QImage();
    m_chiaveGrande.clear();
    m_grande = QImage();
}

} // namespace vorpla
