#pragma once
// A surface with a state of its own (scale, pen, font, colours, line style)
// that draws on the device of another surface. It lets several runs of the
// interpreter draw one after the other into one document, each run starting
// as on a fresh print job: the copies of a job drawn into one PDF file.
//
// Page orientation belongs to the device: a change made through this
// surface changes the other surface's orientation too.

#include "Superficie.h"

namespace vorpla {

class SuperficieInoltro : public Superficie
{
public:
    explicit SuperficieInoltro(Superficie &destinazione);

    QString DeviceName() const override { return m_destinazione.DeviceName(); }
    double risoluzione() const override { return m_destinazione.risoluzione(); }

protected:
    QSizeF paginaCm(int orientamento) const override { return m_destinazione.paginaCm(orientamento); }
    QSizeF areaStampabileCm(int orientamento) const override { return m_destinazione.areaStampabileCm(orientamento); }
    void disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font, const QColor &colore) override
    {
        m_destinazione.disegnaTesto(altoSinistra, testo, font, colore);
    }
    void disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore) override
    {
        m_destinazione.disegnaLinea(da, a, spessore, stile, colore);
    }
    void disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                           const QColor *riempimento) override
    {
        m_destinazione.disegnaRettangolo(r, spessore, stile, colore, riempimento);
    }
    void disegnaImmagine(const QImage &immagine, const QRectF &r) override { m_destinazione.disegnaImmagine(immagine, r); }
    void nuovaPagina() override { m_destinazione.NewPage(); }
    void orientamentoCambiato(int orientamento) override { m_destinazione.impostaOrientamento(orientamento); }
    QSizeF misuraTesto(const QString &testo, const QFont &font) const override
    {
        return m_destinazione.misuraTesto(testo, font);
    }

private:
    Superficie &m_destinazione;
};

} // namespace vorpla
