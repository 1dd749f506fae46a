// The preview window's state and pages: the page count and its table, the
// page buttons and the typed page, the keys, the scroll maxima, and text
// mode's character cells read back from the page buffer.

#include "output/FormPreview.h"

#include "TestSupport.h"

#include "common/ErroreVB.h"

#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// Dark pixels of the character cell at column c, row r (text mode: 8 by 16
// pixels, row r of the page at vertical position r + 2).
int inchiostro(const QImage &buffer, int c, int r, int daRiga = 0, int aRiga = 16)
{
    int n = 0;
    for (int y = (r + 2) * 16 + daRiga; y < (r + 2) * 16 + aRiga; ++y)
        for (int x = c * 8; x < c * 8 + 8; ++x)
            n += qGray(buffer.pixel(x, y)) < 128;
    return n;
}

} // namespace

TEST(FormPreview, PagesAreCountedByTheirEndsAndTheButtonsStayWithinThem)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("tre.txt"),
                                         "@RIGA uno\r\n  @PAGE  \r\n@RIGA due\r\n@PAGV\r\n@RIGA tre\r\n@PAGE\r\n@RIGA coda\r\n");
    FormPreview p(file);
    p.Form_Load();
    EXPECT_EQ(p.NumPagine, 3);
    EXPECT_EQ(p.lblPagTot, QStringLiteral("di 3"));
    EXPECT_EQ(p.InizioPagina, (QList<qint64>{0, 2, 4, 6}));
    EXPECT_EQ(p.txtPag, QStringLiteral("1"));
    EXPECT_FALSE(p.ModoGrafico);

    p.cmdPrev_Click(); // on page 1 it stays
    EXPECT_EQ(p.txtPag, QStringLiteral("1"));
    p.txtPag = QStringLiteral("2"); // typed, used at the next press
    p.cmdNext_Click();
    EXPECT_EQ(p.txtPag, QStringLiteral("3"));
    EXPECT_EQ(p.pagina(), 3);
    EXPECT_GT(inchiostro(p.picBuffer, 2, 0), 0); // "tre"
    p.cmdNext_Click(); // on the last page it stays, redrawn
    EXPECT_EQ(p.txtPag, QStringLiteral("3"));
    // Not a number: the page shown stays.
    p.txtPag = QStringLiteral("tre");
    p.cmdPrev_Click();
    EXPECT_EQ(p.txtPag, QStringLiteral("2"));
    // Beyond the count: drawn from line 1, as the table has no entry for it.
    p.txtPag = QStringLiteral("40");
    p.cmdNext_Click();
    EXPECT_EQ(p.txtPag, QStringLiteral("40"));
    EXPECT_EQ(p.inizioPagina(40), 1);

    // No page ends: "di 0", page 1 from line 1.
    const QString senza = cartella.scrivi(QStringLiteral("senza.txt"), "@RIGA sola\r\n");
    FormPreview q(senza);
    q.Form_Load();
    EXPECT_EQ(q.lblPagTot, QStringLiteral("di 0"));
    EXPECT_GT(inchiostro(q.picBuffer, 2, 0), 0);

    // More than 9999 page ends still page correctly.
    QByteArray lungo;
    for (int i = 0; i < 10050; ++i)
        lungo += "@RIGA p" + QByteArray::number(i + 1) + "\r\n@PAGE\r\n";
    FormPreview l(cartella.scrivi(QStringLiteral("lungo.txt"), lungo));
    l.conta_pagine();
    EXPECT_EQ(l.NumPagine, 10050);
    EXPECT_EQ(l.inizioPagina(10040), 2 * 10039 + 1);
}

TEST(FormPreview, TextModeDrawsTheCellsWithTheirAttributesAndSetsTheScrollMaxima)
{
    CartellaProva cartella;
    QByteArray righe = "@RIGA \x02" "AB\x01" "C\r\n@RIGA \x03x\x01x\r\n";
    for (int r = 2; r < 40; ++r)
        righe += "@RIGA " + QByteArray(r == 20 ? 119 : 10, 'm') + "\r\n";
    righe += "@PAGE\r\n@RIGA pagina due\r\n";
    FormPreview p(cartella.scrivi(QStringLiteral("testo.txt"), righe));
    p.Form_Load();
    // Bold A and B in columns 2 and 3, plain C in column 4, on the first row.
    const int a = inchiostro(p.picBuffer, 2, 0), b = inchiostro(p.picBuffer, 3, 0), c = inchiostro(p.picBuffer, 4, 0);
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
    EXPECT_GT(c, 0);
    FormPreview piano(cartella.scrivi(QStringLiteral("piano.txt"), "@RIGA AB\r\n"));
    piano.Form_Load();
    EXPECT_GT(a, inchiostro(piano.picBuffer, 2, 0) + 3) << "A is bold";
    // Underline: the first x has ink low in its cell, the second none there.
    EXPECT_GT(inchiostro(p.picBuffer, 2, 1, 13, 16), inchiostro(p.picBuffer, 3, 1, 13, 16));
    // 40 rows, the longest reaching column 120: maxima 20 and 40.
    EXPECT_EQ(p.RigheTesto, 40);
    EXPECT_EQ(p.ColonneTesto, 120);
    EXPECT_EQ(p.VScroll1.Max, 20);
    EXPECT_EQ(p.HScroll1.Max, 40);
    // Page Down and Page Up by the large change, within the bar.
    p.VScroll1.LargeChange = 7;
    for (const int atteso : {7, 14, 20, 20})
        EXPECT_EQ((p.Form_KeyUp(34), p.VScroll1.Value), atteso);
    for (const int atteso : {13, 6, 0, 0})
        EXPECT_EQ((p.Form_KeyUp(33), p.VScroll1.Value), atteso);
    p.HScroll1.Value = 2;
    p.VScroll1.Value = 3;
    EXPECT_EQ(p.areaDaCopiare(QSize(600, 400)), QRect(18, 57, 600, 400));
}

TEST(FormPreview, GraphicModeDrawsThePageAtItsCentimetres)
{
    CartellaProva cartella;
    // A table of 80 characters: columns 1-37 and 41-78, an inner rule at 39,
    // the frame's right edge at 80.
    QByteArray modello = "@BXt1 " + QByteArray(80, ' ');
    for (const auto &[p, c] : {std::pair{1, 'c'}, {37, 'C'}, {39, 'I'}, {41, 't'}, {78, 'T'}, {80, 'F'}})
        modello[6 + p - 1] = c;
    modello += "\r\n";
    const QByteArray righe = "@LARG PRO\r\n@RIGA nascosta nascosta nascosta\r\n@INDI\r\n@INDb ROSSI\r\n@TITO FATTURA\r\n"
                             "@TIT3 RIEPILOGO\r\n@BOXt 080\r\n@BOXi 080\r\n" + modello
                             + "@BXr1 uno\r\n@BXr1 due\r\n@BXr1 tre\r\n@BOXf\r\n@PAGE\r\n@TITO SECONDA\r\n@PAGE\r\n";
    FormPreview p(cartella.scrivi(QStringLiteral("grafica.txt"), righe));
    p.Form_Load();
    ASSERT_TRUE(p.ModoGrafico);
    // 10773 by 15309 twips at 15 a pixel.
    ASSERT_EQ(p.picBuffer.size(), QSize(718, 1021));
    const QImage &b = p.picBuffer;
    const double px = 718 / 19.0, py = 1021 / 27.0;
    auto scuro = [&](double xCm, double yCm) {
        const int x = qRound(xCm * px), y = qRound(yCm * py);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (qGray(b.pixel(qBound(0, x + dx, b.width() - 1), qBound(0, y + dy, b.height() - 1))) < 128)
                    return true;
        return false;
    };
    // The address window: its left side at 10 cm from 4 to 7 cm, its top and
    // bottom reaching the right margin at 18.8; nothing to its left.
    for (double y = 4.3; y < 6.9; y += 0.3) {
        EXPECT_TRUE(scuro(10, y)) << y;
        EXPECT_FALSE(scuro(9.6, y)) << y;
    }
    for (double x = 10.3; x < 18.7; x += 0.5) {
        EXPECT_TRUE(scuro(x, 4)) << x;
        EXPECT_TRUE(scuro(x, 7)) << x;
    }
    // The title frame's top at 8.8 cm, around the centre of the page.
    EXPECT_TRUE(scuro(9.5, 8.8));
    EXPECT_FALSE(scuro(3, 8.8));
    // "@RIGA" lines are not drawn: the top of the page is blank.
    for (double x = 0.5; x < 9; x += 0.25)
        EXPECT_FALSE(scuro(x, 0.5)) << x;
    // The table (below "@TIT3", which leaves the running position at 10.8):
    // the frame's sides at the left margin and at character 80, the inner
    // rule at character 39, each character 18.2 / 80 cm from 0.4 cm.
    auto verticale = [&](double xCm) {
        int righe = 0;
        for (double y = 11.3; y < 11.8; y += 0.05)
            righe += scuro(xCm, y);
        return righe;
    };
    const double carattere = 18.2 / 80;
    EXPECT_EQ(verticale(0.2), 10);
    EXPECT_EQ(verticale(0.4 + 79 * carattere), 10);
    EXPECT_EQ(verticale(0.4 + 38 * carattere), 10);
    EXPECT_EQ(verticale(5), 0);
    EXPECT_EQ(verticale(14), 0);
    EXPECT_EQ(p.HScroll1.Max, 0);
    EXPECT_EQ(p.VScroll1.Max, 14);
    EXPECT_EQ(p.VScroll1.LargeChange, 3);
    p.HScroll1.Value = 0;
    p.VScroll1.Value = 2;
    EXPECT_EQ(p.areaDaCopiare(QSize(500, 300)), QRect(0, 76, 500, 300));

    // The next page is drawn afresh: its own title, no address window.
    p.cmdNext_Click();
    EXPECT_EQ(p.txtPag, QStringLiteral("2"));
    EXPECT_FALSE(scuro(10, 5));
    EXPECT_TRUE(scuro(9.5, 8.8));
}

TEST(FormPreview, TheBuffersFontLastsFromPageToPageAndPagvDoesNotEndATextPage)
{
    CartellaProva cartella;
    const auto pagina2 = [&](const QByteArray &testa) {
        FormPreview p(cartella.scrivi(QStringLiteral("f.txt"), testa + "@RIGA mmmm\r\n@PAGE\r\n@RIGA mmmm\r\n@PAGE\r\n"));
        p.Form_Load();
        p.cmdNext_Click();
        return inchiostro(p.picBuffer, 2, 0) + inchiostro(p.picBuffer, 3, 0);
    };
    // "@LARG" is read on page 1; page 2 keeps its size.
    const int normale = pagina2({}), piccolo = pagina2("@LARG 132VER\r\n"), grande = pagina2("@LARG 080\r\n");
    EXPECT_LT(piccolo, normale);
    EXPECT_GT(grande, normale);

    // Bold left on at the end of a line, and of a page, stays on.
    FormPreview b(cartella.scrivi(QStringLiteral("b.txt"), "@RIGA \x02" "A\r\n@RIGA A\r\n@PAGE\r\n@RIGA A\r\n@PAGE\r\n"));
    b.Form_Load();
    FormPreview piano(cartella.scrivi(QStringLiteral("piano.txt"), "@RIGA A\r\n"));
    piano.Form_Load();
    const int pianoA = inchiostro(piano.picBuffer, 2, 0);
    EXPECT_GT(inchiostro(b.picBuffer, 2, 1), pianoA + 3);
    b.cmdNext_Click();
    EXPECT_GT(inchiostro(b.picBuffer, 2, 0), pianoA + 3);

    // "@PAGV" ends a page in the count but not in the drawing.
    FormPreview v(cartella.scrivi(QStringLiteral("v.txt"), "@RIGA uno\r\n@PAGV\r\n@RIGA due\r\n@PAGE\r\n"));
    v.Form_Load();
    EXPECT_EQ(v.NumPagine, 2);
    EXPECT_GT(inchiostro(v.picBuffer, 2, 1), 0);
    // A page beyond the count shows what page 1 shows.
    const QImage prima = v.picBuffer;
    v.txtPag = QStringLiteral("7");
    v.cmdNext_Click();
    EXPECT_EQ(v.picBuffer, prima);
}
