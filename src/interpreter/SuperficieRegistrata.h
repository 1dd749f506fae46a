#pragma once
// A surface that records what is drawn, in centimetres from the printable
// area's top-left corner, page by page: for tests and for the fuzz target.
// It measures text as a 600 dpi printer would.

#include "Superficie.h"

#include <QList>

namespace vorpla {

struct OperazioneRegistrata
{
    enum class Tipo { Testo, Linea, Rettangolo, Immagine };
    Tipo tipo = Tipo::Testo;
    int pagina = 0;          // from 0
    QPointF a, b;        // text: top-left; line: ends; rectangle/picture: corners
    QString testo;       // text drawn
    QString famiglia;    // font family drawn
    double dimensione = 0;
    bool grassetto = false, corsivo = false, sottolineato = false;
    QColor colore;
    double spessore = 0; // line width, cm
    bool pieno = false;  // rectangle filled
    QSizeF dimensioniImmagine; // picture, pixels
};

class SuperficieRegistrata : public Superficie
{
public:
    // A4 portrait by default, printable area the whole page.
    explicit SuperficieRegistrata(QString nomeDispositivo = QStringLiteral("Vorpla"),
                                  QSizeF paginaCm = QSizeF(21.0, 29.7), QSizeF areaCm = QSizeF());

    QString DeviceName() const override { return m_nome; }
    double risoluzione() const override { return 600; }

    const QList<OperazioneRegistrata> &operazioni() const { return m_operazioni; }
    int pagine() const { return m_pagina + 1; }
    // Keeps nothing (the fuzz target's long runs).
    void soloConteggio(bool s) { m_soloConteggio = s; }

protected:
    QSizeF paginaCm(int orientamento) const override;
    QSizeF areaStampabileCm(int orientamento) const override;
    void disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font, const QColor &colore) override;
    void disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore) override;
    void disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                           const QColor *riempimento) override;
    void disegnaImmagine(const QImage &immagine, const QRectF &r) override;
    void nuovaPagina() override;
    QSizeF misuraTesto(const QString &testo, const QFont &font) const override;

private:
    void aggiungi(OperazioneRegistrata op);

    QString m_nome;
    QSizeF m_dimPagina, m_area;
    int m_pagina = 0;
    QList<OperazioneRegistrata> m_operazioni;
    bool m_soloConteggio = false;
};

// Text extents in centimetres as a device of the given resolution measures
// them (no hinting, so that every resolution agrees).
QSizeF misuraTestoCm(const QString &testo, const QFont &font, double dpi);
// The font's ascent (baseline below the top of a line), centimetres.
double ascesaCm(const QFont &font, double dpi);

} // namespace vorpla
