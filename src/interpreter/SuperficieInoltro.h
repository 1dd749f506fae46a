#pragma once
// A surface with a state of its own (scale, pen, font, colours, line style)
// that draws on the device of another surface. It lets several runs of the
// interpreter draw one after the other into one document, each run starting
// as on a fresh print job: the copies of a job drawn into one PDF file.
//
// Page orientation belongs to the device: a change made through this
// surface changes the other surface's orientation too.
//
// With `paginaNuova` the surface starts on a new page of the device, begun
// when it first draws (or by iniziaPagina), as a print job begins its first
// page: an orientation chosen before anything is drawn applies to it.

#include "Superficie.h"

namespace vorpla {

class SuperficieInoltro : public Superficie
{
public:
    explicit SuperficieInoltro(Superficie &destinazione, bool paginaNuova = false);

    // Begins the new page now if nothing began it yet (a copy that drew
    // nothing still has its page).
    void iniziaPagina();

    QString DeviceName() const override { return m_destinazione.DeviceName(); }
    double risoluzione() const override { return m_destinazione.risoluzione(); }

protected:
    QSizeF paginaCm(int orientamento) const override { return m_destinazione.paginaCm(orientamento); }
    QSizeF areaStampabileCm(int orientamento) const override { return m_destinazione.areaStampabileCm(orientamento); }
    void disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font, const QColor &colore) override
    {
        iniziaPagina();
        m_destinazione.disegnaTesto(altoSinistra, testo, font, colore);
    }
    void disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore) override
    {
        iniziaPagina();
        m_destinazione.disegnaLinea(da, a, spessore, stile, colore);
    }
    void disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                           const QColor *riempimento) override
    {
        iniziaPagina();
        m_destinazione.disegnaRettangolo(r, spessore, stile, colore, riempimento);
    }
    void disegnaImmagine(const QImage &immagine, const QRectF &r) override
    {
        iniziaPagina();
        m_destinazione.disegnaImmagine(immagine, r);
    }
    void nuovaPagina() override
    {
        iniziaPagina();
        m_destinazione.NewPage();
    }
    void orientamentoCambiato(int orientamento) override { m_destinazione.impostaOrientamento(orientamento); }
    QSizeF misuraTesto(const QString &testo, const QFont &font) const override
    {
        return m_destinazione.misuraTesto(testo, font);
    }

private:
    Superficie &m_destinazione;
    bool m_paginaDaIniziare;
};

} // namespace vorpla
