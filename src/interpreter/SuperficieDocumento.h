#pragma once
// The drawing surface of the PDF form's layout: the rules the layouts share
// (boxed tables above all) draw here as they draw on a printer, and it
// hands what they draw to the PDF document object.
//
// Its user unit is the millimetre: the layout scales it so, and the rules
// give their lengths in that unit. Every x reaches the document 1 mm right
// of where the rules put it (the layout's offset). Text goes to DrawText
// with the pen's Y as the top of the line, the baseline one ascent lower,
// as on the printer; lines and rectangles become DrawBox frames of width
// 1.0, a line being a box of zero width or height. Pictures reach the
// document by file (AddImage), never as bitmaps, so none is drawn here.
//
// Fonts: the size the rules ask is rounded to a whole point, halves to the
// even neighbour, set on the document and read back from it; bold is set
// on the document too. Texts are measured on the runtime printer, in the
// font as read back, which is all the runtime printer is used for.

#include "DocumentoPdf.h"
#include "Superficie.h"

namespace vorpla {

class SuperficieDocumento : public Superficie
{
public:
    // `stampante` is the runtime printer; nothing is drawn on it.
    SuperficieDocumento(DocumentoPdf &documento, Superficie &stampante);

    QString DeviceName() const override { return m_stampante.DeviceName(); }
    double risoluzione() const override { return m_stampante.risoluzione(); }

    DocumentoPdf &documento() { return m_documento; }
    // The layout's own offset, millimetres, added to every x drawn here.
    static constexpr double Scostamento = 1;
    // The top of a line of the current font above its baseline, user units.
    double ascesa() const;

protected:
    QSizeF paginaCm(int orientamento) const override { return m_stampante.paginaCm(orientamento); }
    QSizeF areaStampabileCm(int orientamento) const override { return m_stampante.paginaCm(orientamento); }
    void disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font, const QColor &colore) override;
    void disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore) override;
    void disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                           const QColor *riempimento) override;
    void disegnaImmagine(const QImage &, const QRectF &) override {}
    void nuovaPagina() override { m_documento.NewPage(); }
    QSizeF misuraTesto(const QString &testo, const QFont &font) const override
    {
        return m_stampante.misuraTesto(testo, font);
    }
    double dimensioneScelta(double punti) override;
    void grassettoScelto(bool grassetto) override;

private:
    void riquadro(QPointF a, QPointF b);

    DocumentoPdf &m_documento;
    Superficie &m_stampante;
};

} // namespace vorpla
