#pragma once
// The pictures of a run: logos, inline pictures, the footer.
//
// A picture is drawn at the resolution its placed size needs on the device
// (600 dpi on a printer page), never at the file's: a 5000 x 5000 photo placed
// 2 cm wide is 472 x 472 dots on the page, and that is what is kept and what
// the printer or the PDF receives. The pictures kept are bounded by their
// decoded bytes (one picture larger than the bound is kept beside them); the
// same picture at the same size is one image for the whole run, so the logo
// of every page is one picture in the PDF, not one a page.
// Only one picture at a time is held at file resolution, while it is placed.

#include <QHash>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace vorpla {

class CacheImmagini
{
public:
    // Pictures kept at device resolution, in decoded bytes.
    static constexpr qint64 LimitePredefinito = qint64(64) << 20;
    // No picture file is larger than this.
    static constexpr qint64 DimensioneMassimaFile = qint64(256) << 20;

    explicit CacheImmagini(qint64 limiteByte = LimitePredefinito) : m_limite(limiteByte) {}

    // The picture's size in HIMETRIC units (hundredths of a millimetre at its
    // own resolution). Raises ErroreVB 481 for a file that is no picture or
    // cannot be read (a device or FIFO is never read).
    QSizeF himetric(const QString &percorso);

    // The picture for `pixel` device dots: scaled down to them, or as the
    // file has it when it has fewer.
    QImage perDispositivo(const QString &percorso, QSize pixel);

    void svuota();

    // Decoded bytes kept now, and decodes of a file done so far (for tests).
    qint64 byteTenuti() const { return m_byte; }
    int decodifiche() const { return m_decodifiche; }

private:
    const QImage &originale(const QString &percorso);

    struct Voce
    {
        QImage immagine;
        quint64 uso = 0;
    };

    qint64 m_limite;
    qint64 m_byte = 0;
    quint64 m_orologio = 0;
    int m_decodifiche = 0;
    QHash<QString, QSizeF> m_himetric;
    QHash<QString, Voce> m_voci; // path and size
    QString m_percorsoOriginale;
    QImage m_originale;
    QString m_chiaveGrande; // the last picture larger than the bound
    QImage m_grande;
};

} // namespace vorpla
