#pragma once
// The drawing surface the interpreter draws on: the printer of the job, a
// PDF page, the preview's page picture, or a recording for tests.
//
// Coordinates are user units, centimetres after ScaleMode7, with the origin
// at the top-left corner of the printable area and Y growing downwards;
// ScaleWidth / ScaleHeight map a given width / height onto the printable
// area. Text sizes are typographic points. The base class keeps the state
// every surface shares (scale, pen, font, colours, line style) and turns
// every operation into physical centimetres from the printable area's
// top-left corner; a backend only draws and measures in those.
//
// Text reaches the surface as the bytes the interpreter converted through
// the host character table; the surface decodes them for the font in use
// (see decodificaPerVisualizzazione).

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace vorpla {

// A colour as the program writes it: &H00BBGGRR, or a system colour
// (&H800000nn, nn the system colour index).
using ColoreVB = quint32;
inline constexpr ColoreVB ColoreTestoGrigio = 0x80000011u; // system colour "grey text"
QColor coloreDaVB(ColoreVB colore);

// Line flags of Line: a line from the first point in the foreground colour,
// the same in the given colour, and a rectangle outline (box) through the two
// corners, filled according to FillStyle.
inline constexpr int LineaColoreCorrente = 4;
inline constexpr int LineaColoreDato = 6;
inline constexpr int Rettangolo = 20;

// The program's fixed-pitch font, and the installed font that stands in for
// it when it is missing (metric-compatible with Courier New).
inline constexpr const char *FontOem = "NetTerm OEM";
inline constexpr const char *FontOemSostitutivo = "Liberation Mono";

class Superficie
{
public:
    virtual ~Superficie();

    // ---- The device --------------------------------------------------------
    virtual QString DeviceName() const = 0;
    // Physical page size in twips (567 a centimetre), orientation applied.
    double Width() const;
    double Height() const;
    // 1 portrait, 2 landscape; Width and Height follow at once.
    void impostaOrientamento(int orientamento);
    int orientamento() const { return m_orientamento; }
    // Resolution of the device, dots per inch: the unit of DrawWidth.
    virtual double risoluzione() const = 0;

    // ---- Units -------------------------------------------------------------
    void ScaleMode7();
    void ScaleWidth(double larghezza);
    void ScaleHeight(double altezza);
    // The printable area's width / height in user units (centimetres after
    // ScaleMode7), as a printer's ScaleWidth / ScaleHeight read.
    double ScaleWidth() const;
    double ScaleHeight() const;

    double CurrentX = 0;
    double CurrentY = 0;

    // ---- Font --------------------------------------------------------------
    void FontName(const QString &nome);
    const QString &FontName() const { return m_nomeFont; }
    // Sizes are taken in whole device dots, as printers do; reading gives
    // the size actually selected. Sizes below one dot select one dot.
    void FontSize(double punti);
    double FontSize() const { return m_dimensione; }
    void FontBold(bool b)
    {
        cambiaFont(m_grassetto, b);
        grassettoScelto(b);
    }
    bool FontBold() const { return m_grassetto; }
    void FontItalic(bool b) { cambiaFont(m_corsivo, b); }
    bool FontItalic() const { return m_corsivo; }
    void FontUnderline(bool b) { cambiaFont(m_sottolineato, b); }
    bool FontUnderline() const { return m_sottolineato; }
    // The font family actually drawn for FontName (the stand-in for a
    // missing "NetTerm OEM"), and the QFont for the current settings (built
    // again only when a setting changes).
    QString famigliaEffettiva() const;
    const QFont &fontCorrente() const;

    // ---- Colours and lines -------------------------------------------------
    void ForeColor(ColoreVB c) { m_primoPiano = c; }
    ColoreVB ForeColor() const { return m_primoPiano; }
    void DrawStyle(int s) { m_stileLinea = s; }
    int DrawStyle() const { return m_stileLinea; }
    void DrawWidth(int w) { m_spessore = w < 1 ? 1 : w; }
    int DrawWidth() const { return m_spessore; }
    void FillStyle(int s) { m_stileRiempimento = s; }
    int FillStyle() const { return m_stileRiempimento; }

    // ---- Drawing -----------------------------------------------------------
    // Draws the text with its top-left corner at the pen; then the pen is at
    // the start of the next line: CurrentY one line of the font lower,
    // CurrentX 0. What would land off the sheet is not drawn.
    void Print(QByteArrayView testo);
    double TextWidth(QByteArrayView testo) const;
    double TextHeight(QByteArrayView testo) const;
    // Flags LineaColoreCorrente, LineaColoreDato or Rettangolo; the pen ends
    // at the second point.
    void Line(int flags, double x1, double y1, double x2, double y2, ColoreVB colore = 0);
    void PaintPicture(const QImage &immagine, double x, double y, double larghezza, double altezza);
    // The device dots a picture placed larghezza x altezza covers.
    QSize puntiImmagine(double larghezza, double altezza) const;
    void NewPage();
    // The page being drawn, from 1: every NewPage begins the next.
    int paginaCorrente() const { return m_pagina; }

    // Text decoded for the font drawn (shared with the measuring code).
    QString testoPerFont(QByteArrayView testo) const;

protected:
    Superficie();
    // Draws on another surface's device with a state of its own.
    friend class SuperficieInoltro;
    friend class SuperficieDocumento;

    // Backend: physical page and printable area, in centimetres.
    virtual QSizeF paginaCm(int orientamento) const = 0;
    virtual QSizeF areaStampabileCm(int orientamento) const = 0;
    // Backend drawing, in centimetres from the printable area's top-left.
    virtual void disegnaTesto(QPointF altoSinistra, const QString &testo, const QFont &font, const QColor &colore) = 0;
    virtual void disegnaLinea(QPointF da, QPointF a, double spessore, Qt::PenStyle stile, const QColor &colore) = 0;
    virtual void disegnaRettangolo(const QRectF &r, double spessore, Qt::PenStyle stile, const QColor &colore,
                                   const QColor *riempimento) = 0;
    virtual void disegnaImmagine(const QImage &immagine, const QRectF &r) = 0;
    virtual void nuovaPagina() = 0;
    virtual void orientamentoCambiato(int orientamento);
    // The size the device selects for a size asked (whole device dots by
    // default), and the bold flag given to it.
    virtual double dimensioneScelta(double punti);
    virtual void grassettoScelto(bool grassetto);
    // Backend measuring, in centimetres.
    virtual QSizeF misuraTesto(const QString &testo, const QFont &font) const = 0;

private:
    QString testoSulFoglio(QByteArrayView testo, QPointF &punto) const;
    QPointF fisico(double x, double y) const { return {x * m_scalaX, y * m_scalaY}; }
    void cambiaFont(bool &attributo, bool valore)
    {
        if (attributo != valore) {
            attributo = valore;
            m_fontValido = false;
        }
    }
    double altezzaRigaCm() const;
    Qt::PenStyle stilePenna() const;
    double spessoreCm() const { return m_spessore / risoluzione() * 2.54; }

    int m_orientamento = 1;
    int m_pagina = 1;
    double m_scalaX = 1, m_scalaY = 1; // physical cm per user unit
    QString m_nomeFont;
    double m_dimensione = 10;
    bool m_grassetto = false, m_corsivo = false, m_sottolineato = false;
    ColoreVB m_primoPiano = 0;
    ColoreVB m_riempimento = 0; // solid boxes fill in black, as printers start
    int m_stileLinea = 0;
    int m_spessore = 1;
    int m_stileRiempimento = 1; // transparent, as a printer starts
    mutable int m_oemInstallato = -1; // unknown, no, yes
    mutable bool m_fontValido = false;
    mutable QFont m_font;
    mutable double m_altezzaRiga = 0;
};

} // namespace vorpla
