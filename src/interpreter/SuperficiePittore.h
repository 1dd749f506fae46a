#pragma once
// A surface that paints with QPainter on a paged device: a printer (QPrinter
// over CUPS) or a PDF file (QPdfWriter). The device's page layout gives the
// page and its printable area. Line widths are device dots: a PDF writer is
// set to 600 dpi so lines come out as on a 600 dpi printer.

#include "Superficie.h"

#include <QPainter>

class QPagedPaintDevice;

namespace vorpla {

class SuperficiePittore : public Superficie
{
public:
    SuperficiePittore(QPagedPaintDevice *dispositivo, QString nomeDispositivo, double dpi);
    ~SuperficiePittore() override;

    QString DeviceName() const override { return m_nome; }
    double risoluzione() const override { return m_dpi; }

    // Ends the document (the print job, the PDF file). Returns false when
    // the device reported a failure.
    bool FineDocumento();
    bool iniziato() const { return m_pittore.isActive(); }

protected:
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

    QPagedPaintDevice *m_dispositivo;
    QString m_nome;
    double m_dpi;
    QPainter m_pittore;
    bool m_paginaAperta = false;
};

} // namespace vorpla
