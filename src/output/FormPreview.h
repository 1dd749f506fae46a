#pragma once
// The preview window frmPreview, as state and commands (the window itself,
// in ui/, only shows it): the job's print file one page at a time, drawn
// into a page buffer and copied into the visible area from the scroll bars'
// offsets. At the screen's 15 twips a pixel the buffer is 17010 twips square
// (1134 pixels) in text mode, and the 19 by 27 cm page, 10773 by 15309
// twips (718 by 1021 pixels), in graphic mode.
//
// The page count reads the whole file: every line whose first five
// characters (after trimming) are "@PAGE" or "@PAGV" ends a page, so text
// after the last one is no page of its own ("di 0" for a file without them;
// page 1 is still drawn from line 1). Any number of page ends is recorded.
// An "@LARG" line with "PRO" in columns 7 to 9 puts the window in graphic
// mode, otherwise it is in text mode, once for the job.
//
// Graphic mode (DISEGNA) draws the page with the preview's interpreter
// (InterpreteAnteprima), in centimetres; the scroll values are centimetres
// too, the vertical maximum 14 with steps of 3, no horizontal scrolling.
//
// Text mode (testo) draws the "@RIGA" lines of a page in character cells
// ("NetTerm OEM"): row r of the page at vertical position r + 2, the first
// character at column 2; the codes 2 (bold), 3 (underline), 4 (both) and 1
// (neither) change the attributes, which last across lines, and print
// nothing. "@LARG 132VER"/"132ORI" sets the font to 8 points, "@LARG 080" to
// 12. The buffer's font (its size, bold, underline) lasts from one page drawn
// to the next, only its name being set again. The page ends at "@PAGE"
// ("@PAGV" does not end it). The scroll maxima
// are the highest column used / 3 and the rows / 2, rounded half to even;
// the copy offsets are 9 and 19 pixels a step.
//
// ">" and "<" redraw the page whose number is in txtPag after adding or
// subtracting one within 1 and the page count; a page typed beyond the count
// draws from line 1, as the page table has no entry for it; a txtPag that is
// not a number keeps the page shown. Page Down and Page Up move the vertical
// bar by its large change.

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace vorpla {

class FormPreview
{
public:
    // The preview of the print file `file`.
    explicit FormPreview(QString file);

    struct BarraScorrimento
    {
        int Value = 0;
        int Max = 0;
        int LargeChange = 1;
    };

    // Opening: the page count, txtPag "1", Zoom 1, page 1 drawn.
    void Form_Load();
    void conta_pagine();
    // Draws the page starting at line `riga` (from 1) in the window's mode.
    void anteprima(qint64 riga);
    void testo(qint64 riga);
    void DISEGNA(qint64 riga);

    void cmdNext_Click();
    void cmdPrev_Click();
    // Key codes: 34 Page Down, 33 Page Up; others do nothing.
    void Form_KeyUp(int codice);
    // The part of the page buffer shown in a visible area of that size
    // (pixels), from the scroll bars.
    QRect areaDaCopiare(QSize visibile) const;

    // Draws page p (from 1; 1 when less), as the buttons do once they have
    // chosen it: txtPag shows it, the vertical bar goes back to the top.
    void mostraPagina(qint64 p);
    // The page shown (the last one drawn).
    int pagina() const { return m_pagina; }
    // Where page p (from 1) starts: the line after the previous page end.
    qint64 inizioPagina(qint64 p) const;

    qint32 NumPagine = 0;
    QList<qint64> InizioPagina{0}; // entry k: the line of the k-th page end
    bool ModoGrafico = false;
    qint16 RigheTesto = 0;
    qint16 ColonneTesto = 0;
    double Zoom = 1.0;
    QString txtPag;
    QString lblPagTot;
    BarraScorrimento HScroll1, VScroll1;
    QImage picBuffer;

    static constexpr int LatoBufferTwip = 17010;
    static constexpr int LarghezzaPaginaTwip = 10773, AltezzaPaginaTwip = 15309;
    static constexpr int TwipPerPixel = 15;

private:
    // The page buffer, w by h twips, at the screen's resolution.
    void preparaBuffer(int larghezzaTwip, int altezzaTwip);

    QString m_file;
    int m_pagina = 1;
    // The page buffer's font, which lasts from page to page as the window's
    // own does: the size an "@LARG" line gave it, bold and underline left on.
    double m_dimensioneFont = 9;
    bool m_grassetto = false, m_sottolineato = false;
};

} // namespace vorpla
