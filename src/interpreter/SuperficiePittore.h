#pragma once
// A surface that paints with QPainter on a paged device: a printer (QPrinter
// over CUPS) or a PDF file (QPdfWriter). The device's page layout gives the
// page and its printable area. Line widths are device dots: a PDF writer is
// set to 600 dpi so lines come out as on a 600 dpi printer.
//
// It also paints on an image, a page buffer of one page: the image is the
// page and all of it printable, at the image's own resolution; a new page
// starts the image blank again.

#include "Superficie.h"

#include <QPainter>

class QPagedPaintDevice;

namespace vorpla {

class SuperficiePittore : public Superficie
{
public:
    SuperficiePittore(QPagedPaintDevice *dispositivo, QString nomeDispositivo, double dpi);
    // On an image (white where nothing is drawn), at its resolution.
    SuperficiePittore(QImage *immagine, QString nomeDispositivo);
    ~SuperficiePittore() override;

    QString DeviceName() const override { return m_nome; }
    double risoluzione() const override { return m_dpi; }

    // Ends the document (the print job, the PDF file). Returns false when
    // the device reported a failure.
    bool FineDocumento();

protected:
    // Painting has begun on the device and the document is not ended yet.
    bool documentoAperto() const;

    QSizeF paginaCm(int orientamento) const override;
    QSizeF areaStampabileCm(int orientamento) const override;
    void disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font, const QColor &colore) override;
    void disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore) override;
    void disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                           const QColor *riempimento) override;
    void disegnaImmagine(const QImage &immagine, const QRectF &r) override;
    void nuovaPagina() override;
    void orientamentoCambiato(int orientamento) override;
    QSizeF misuraTesto(const QString &testo, const QFont &font) const override;

private:
    QPainter &pittore();
    double punti(double cm) const { return cm / 2.54 * m_dpi; }
    QPointF punti(QPointF cm) const { return {punti(cm.x()), punti(cm.y())}; }
    QPen penna(double spessore, Qt::PenStyle stile, const QColor &colore) const;

    QPagedPaintDevice *m_dispositivo = nullptr; // a paged device, or
    QImage *m_immagine = nullptr;               // an image
    QPaintDevice *m_superficie;
    QString m_nome;
    double m_dpi;
    QPainter m_pittore;
    void svuotaSequenza();
    void impostaFont(const QFont &font);

    // Characters drawn one by one at a regular pitch on one line (the
    // character grid) are collected and drawn as one run, spaced to the
    // pitch: a printer or PDF then gets one text operation a run instead
    // of one a character.
    struct Sequenza
    {
        bool attiva = false;
        QPointF inizio; // baseline origin of the first character, dots
        double passo = 0;
        QString testo;
        QFont font;
        QColor colore;
    };
    Sequenza m_sequenza;
    bool m_fontFisso = false;
    double m_avanzamento = 0;    // advance of one glyph of a fixed-pitch font, dots

    QFont m_fontImpostato;       // the font last given to the painter
    double m_ascesaImpostata = 0; // its ascent, device dots
    QColor m_coloreImpostato;
    bool m_fontPronto = false;
};

} // namespace vorpla
