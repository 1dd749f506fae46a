// The PDF layout as a reader sees it: positions read back from the PDF the
// PDF output form writes, within half a millimetre of the layout's rules
// (A4: W = 205, H = 300, L = R = 7, G = 2, every x 1 mm right of the rule).

#include "ProvaLayoutPdf.h"

using namespace vorpla;
using namespace vorpla::prova;

namespace {
constexpr double W = 205;
// One line of a size, millimetres.
double riga(double punti)
{
    return punti * 0.353;
}
} // namespace

TEST_F(ProvaLayoutPdf, PageLetterheadAndAddressWindow)
{
    ini("[FATTURE]\r\nMARGINESUP=1\r\n");
    const QByteArray righe = "@TIPS FATTURA\r\n@INTE\r\n@INT1 AGENZIA\r\n@INT2 Bologna\r\n@INDI\r\n@INDb ROSSI\r\n"
                             "@INDn Via\r\n@INDf 40100\r\n";
    auto p = pdf(righe);
    ASSERT_FALSE(uscita.isEmpty());
    EXPECT_EQ(dimensionePagina(), QStringLiteral("595 x 841"));
    // T = 10: the letterhead from T + 10, one 11-point line apart.
    EXPECT_NEAR(parola(p, QStringLiteral("AGENZIA")).x1, 8, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("AGENZIA")).base(), 20, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Bologna")).base(), 20 + riga(11), TolleranzaMm);
    // The window from (101, T + 40) to (W - 6, T + 70), its lines from T + 45.
    const QImage pagina = raster();
    EXPECT_TRUE(orizzontale(pagina, 50, 101, W - 6));
    EXPECT_TRUE(orizzontale(pagina, 80, 101, W - 6));
    EXPECT_TRUE(verticale(pagina, 101, 50, 80));
    EXPECT_TRUE(verticale(pagina, W - 6, 50, 80));
    EXPECT_NEAR(parola(p, QStringLiteral("ROSSI")).x1, 103, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("ROSSI")).base(), 55, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Via")).base(), 55 + riga(11), TolleranzaMm);
    // The last address line no higher than 75 mm.
    EXPECT_NEAR(parola(p, QStringLiteral("40100")).base(), 75, TolleranzaMm);

    // With T = 30 the block ends below 75, and the last line follows it.
    ini("[FATTURE]\r\nMARGINESUP=3\r\n");
    p = pdf(righe);
    EXPECT_NEAR(parola(p, QStringLiteral("40100")).base(), 75 + 2 * riga(11), TolleranzaMm);
}

TEST_F(ProvaLayoutPdf, TitlesCentredInTheirFrames)
{
    const auto p = pdf("@TITO FATTURA\r\n@TIT3 RIEPILOGO\r\n@TITB VOUCHER\r\n");
    const QImage pagina = raster();
    const double th = 4.396; // an 11-point line of the fixed-pitch font
    // "@TITO": centred, at T + 90, framed from 5 mm above to th below.
    const ParolaPdf tito = parola(p, QStringLiteral("FATTURA"));
    const double tw = tito.x2 - tito.x1, X = (W - tw) / 2;
    EXPECT_NEAR(tito.x1, X + 1, TolleranzaMm);
    EXPECT_NEAR(tito.base(), 90, TolleranzaMm);
    EXPECT_TRUE(orizzontale(pagina, 85, X - 1, X + tw + 10));
    EXPECT_TRUE(orizzontale(pagina, 90 + th, X - 1, X + tw + 10));
    EXPECT_TRUE(verticale(pagina, X - 1, 85, 90 + th));
    // "@TIT3" at 105, framed from 6 mm above.
    const ParolaPdf tit3 = parola(p, QStringLiteral("RIEPILOGO"));
    const double X3 = (W - (tit3.x2 - tit3.x1)) / 2;
    EXPECT_NEAR(tit3.x1, X3 + 1, TolleranzaMm);
    EXPECT_NEAR(tit3.base(), 105, TolleranzaMm);
    EXPECT_TRUE(orizzontale(pagina, 99, X3 - 1, tit3.x2 + 2));
    // "@TITB" 7 mm below the 108 that "@TIT3" left, in 10 points.
    const ParolaPdf titb = parola(p, QStringLiteral("VOUCHER"));
    EXPECT_NEAR(titb.base(), 115, TolleranzaMm);
    EXPECT_NEAR(titb.basso - titb.alto, 10 * 1.1328 * 0.3528, 0.3);
    EXPECT_TRUE(orizzontale(pagina, 110, titb.x1 - 2, titb.x2 + 2));
}

TEST_F(ProvaLayoutPdf, DatesAreRightAlignedOnWholeMillimetres)
{
    const auto p = pdf("@DAT1 09/12/2026\r\n@DATA Bologna\r\n@DAT3 Milano\r\n");
    const ParolaPdf dat1 = parola(p, QStringLiteral("09/12/2026"));
    const double tw1 = dat1.x2 - dat1.x1;
    EXPECT_NEAR(dat1.x1, std::nearbyint(W - 7 - tw1) + 1, TolleranzaMm);
    EXPECT_NEAR(dat1.base(), 7, TolleranzaMm);
    const ParolaPdf data = parola(p, QStringLiteral("Bologna"));
    EXPECT_NEAR(data.x1, std::nearbyint(W - 7 - (data.x2 - data.x1)) - 5 + 1, TolleranzaMm);
    EXPECT_NEAR(data.base(), 90, TolleranzaMm);
    const ParolaPdf dat3 = parola(p, QStringLiteral("Milano"));
    EXPECT_NEAR(dat3.x2, W - 7 + 1, TolleranzaMm + 0.5);
    EXPECT_NEAR(dat3.base(), 105, TolleranzaMm);
}

TEST_F(ProvaLayoutPdf, FreeTextLinesAndTheirAdvance)
{
    const auto p = pdf("@TEXT\r\n@TXTn uno\r\n@TXTn due\r\n@TXTb tre\r\n@TXTc quattro\r\n@TXTa cinque\r\n@TXTn sei\r\n");
    // 5 mm down, then 10-point lines 3.53 - 0.125 mm apart at L + G.
    const double passo = riga(10) - 0.125;
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).x1, 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).base(), 5, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("due")).base(), 5 + passo, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("tre")).base(), 5 + 2 * passo, TolleranzaMm);
    const ParolaPdf quattro = parola(p, QStringLiteral("quattro"));
    EXPECT_NEAR(quattro.x1, std::nearbyint((W - 9 - (quattro.x2 - quattro.x1)) / 2) + 1, TolleranzaMm);
    EXPECT_NEAR(quattro.base(), 5 + 3 * passo, TolleranzaMm);
    // "@TXTa" is underlined 0.3 mm below its line and takes a whole line.
    const ParolaPdf cinque = parola(p, QStringLiteral("cinque"));
    EXPECT_NEAR(cinque.base(), 5 + 4 * passo, TolleranzaMm);
    EXPECT_TRUE(orizzontale(raster(), cinque.base() + 0.3, cinque.x1, cinque.x2));
    EXPECT_NEAR(parola(p, QStringLiteral("sei")).base(), 5 + 4 * passo + riga(10), TolleranzaMm);
}

TEST_F(ProvaLayoutPdf, TwoColumnSmallPrint)
{
    const auto p = pdf("@TEXT\r\n@TXTn inizio\r\n@TXT2 uno\r\n@TXT2 due\r\n@TXT2 tre\r\n@TXT2 quattro\r\n"
                       "@TX2b cinque\r\n@TXTn fine\r\n");
    const double inizio = 5 + riga(10) - 0.125, passo = riga(6) - 0.125;
    // Lines 1 and 4, 2 and 5 side by side; line 3 alone on the left.
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).x1, 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).base(), inizio, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("quattro")).x1, 106, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("quattro")).base(), inizio, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("due")).base(), inizio + passo, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("cinque")).x1, 106, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("tre")).x1, 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("tre")).base(), inizio + 2 * passo, TolleranzaMm);
    // The rule between the columns at x 97, from the first line to the end.
    const double fine = inizio + 2 * passo + riga(6);
    EXPECT_TRUE(verticale(raster(), 97, inizio, fine));
    EXPECT_NEAR(parola(p, QStringLiteral("fine")).base(), fine, TolleranzaMm);
    // Small print at 6 points, without the attributes of its markers.
    const ParolaPdf cinque = parola(p, QStringLiteral("cinque"));
    EXPECT_NEAR(cinque.basso - cinque.alto, 6 * 1.1328 * 0.3528, 0.2);
}

TEST_F(ProvaLayoutPdf, CharacterGridRowsAndTheEmptyLastPage)
{
    const auto p = pdf("@RIGA uno\r\n@RIGA due\r\n@PAGE\r\n@RIGA tre\r\n@PAGE\r\n");
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).x1, 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).base(), 10, TolleranzaMm);
    // Two 10-point rows are 4 + 1 mm apart; a page starts them again.
    EXPECT_NEAR(parola(p, QStringLiteral("due")).base(), 15, TolleranzaMm);
    EXPECT_EQ(parola(p, QStringLiteral("tre")).pagina, 1);
    EXPECT_NEAR(parola(p, QStringLiteral("tre")).base(), 10, TolleranzaMm);
    EXPECT_EQ(pagine(), 3);
}

TEST_F(ProvaLayoutPdf, VoucherPage)
{
    const auto p = pdf("@INTV\r\n@INDV\r\n@INDn ROSSI\r\n@TITV VOUCHER\r\n@DATV 09/12/2026\r\n@TXTV\r\n"
                       "@TXVb Hotel\r\n@TXVn Bellavista\r\n");
    // O = 5: the address box from (111, O) to (W - 6, O + 24).
    const QImage pagina = raster();
    EXPECT_TRUE(orizzontale(pagina, 5, 111, W - 6));
    EXPECT_TRUE(orizzontale(pagina, 29, 111, W - 6));
    EXPECT_NEAR(parola(p, QStringLiteral("ROSSI")).x1, 113, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("ROSSI")).base(), 11, TolleranzaMm);
    // The title one line below O + 30, in its frame.
    const ParolaPdf titolo = parola(p, QStringLiteral("VOUCHER"));
    EXPECT_NEAR(titolo.x1, (W - (titolo.x2 - titolo.x1)) / 2 + 1, TolleranzaMm);
    EXPECT_NEAR(titolo.base(), 35 + riga(11), TolleranzaMm);
    EXPECT_TRUE(orizzontale(pagina, 34.9, titolo.x1 - 2, titolo.x2 + 2));
    const ParolaPdf data = parola(p, QStringLiteral("09/12/2026"));
    EXPECT_NEAR(data.x1, std::nearbyint(W - 9 - (data.x2 - data.x1)) - 5 + 1, TolleranzaMm);
    EXPECT_NEAR(data.base(), 35 + riga(11), TolleranzaMm);
    // The text after the date starts 4 mm below O + 29.7.
    EXPECT_NEAR(parola(p, QStringLiteral("Hotel")).x1, 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Hotel")).base(), 38.7, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Bellavista")).x1, 25, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Bellavista")).base(), 38.7 + riga(10) - 0.125, TolleranzaMm);
}

TEST_F(ProvaLayoutPdf, ThreeVouchersAPageThenANewPage)
{
    // Three a page: each a third of the page lower, the fourth at the top of
    // the next page.
    const auto p = pdf("@VRIV 01\r\n@VRIP 03\r\n@DATV uno\r\n@PAGV\r\n@DATV due\r\n@PAGV\r\n@DATV tre\r\n@PAGV\r\n"
                       "@DATV quattro\r\n");
    const double passo = 297.0 / 3 - 1;
    EXPECT_NEAR(parola(p, QStringLiteral("uno")).base(), 30 + riga(11), TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("due")).base(), passo + 30 + riga(11), TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("tre")).base(), 2 * passo + 30 + riga(11), TolleranzaMm);
    EXPECT_EQ(parola(p, QStringLiteral("tre")).pagina, 0);
    EXPECT_EQ(parola(p, QStringLiteral("quattro")).pagina, 1);
    EXPECT_NEAR(parola(p, QStringLiteral("quattro")).base(), 30 + riga(11), TolleranzaMm);
}

TEST_F(ProvaLayoutPdf, LabelSheets)
{
    // Labels of 70 x 34 mm from 25 mm down: three a row.
    const QByteArray righe = "@ETTI N\r\n@ETRI Mario\r\n@ETRI Roma\r\n@ETFI\r\n@ETRI Anna\r\n@ETFI\r\n@ETRI Luca\r\n@ETFI\r\n"
                             "@ETRI Sara\r\n@ETFI\r\n";
    auto p = pdf(righe);
    EXPECT_EQ(dimensionePagina(), QStringLiteral("595 x 841"));
    EXPECT_NEAR(parola(p, QStringLiteral("Mario")).x1, 1, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Mario")).base(), 28, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Roma")).base(), 32, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Anna")).x1, 71, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Luca")).x1, 141, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Sara")).x1, 1, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Sara")).base(), 28 + 34, TolleranzaMm);
    // The 9-point fixed-pitch font.
    EXPECT_NEAR(parola(p, QStringLiteral("Mario")).x2 - parola(p, QStringLiteral("Mario")).x1, 5 * 0.6 * 9 * 0.3528,
                0.2);
    // The page is the printer form's label sheet.
    foglio = QSizeF(297, 210);
    p = pdf(righe);
    EXPECT_EQ(dimensionePagina(), QStringLiteral("841 x 595"));
}

TEST_F(ProvaLayoutPdf, BoxedTableByThePrintersRulesInMillimetres)
{
    const auto p = pdf("@BOXt 080\r\n@BOXi 080\r\n"
                       "@BXt1 c             C d        D              t             T\r\n"
                       "@BXr1 Volo                 12,50              Roma\r\n"
                       "@BXr1 Hotel               140,00              Milano\r\n"
                       "@BOXf\r\n");
    // 80 characters over W - L - R - 2G = 187 mm, from L + G and the offset.
    const double carattere = 187.0 / 80;
    EXPECT_NEAR(parola(p, QStringLiteral("Volo")).x1, 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("Roma")).x1, 40 * carattere + 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("12,50")).x2, 26 * carattere + 10, TolleranzaMm);
    EXPECT_NEAR(parola(p, QStringLiteral("140,00")).x2, 26 * carattere + 10, TolleranzaMm);
    // The first row's top 2 + 1 mm down, as the printer's 0.2 + 0.1 cm; the
    // frame from 2 mm, L to W - R.
    EXPECT_NEAR(parola(p, QStringLiteral("Volo")).alto, 3, TolleranzaMm);
    EXPECT_GT(parola(p, QStringLiteral("Hotel")).alto, parola(p, QStringLiteral("Volo")).basso - 0.5);
    const QImage pagina = raster();
    EXPECT_TRUE(orizzontale(pagina, 2, 8, W - 6));
    EXPECT_TRUE(verticale(pagina, 8, 2, parola(p, QStringLiteral("Hotel")).basso));
}

TEST_F(ProvaLayoutPdf, PageNumbersAtAFixedPlace)
{
    ini("[FOOTER]\r\nPOSNUMPAGINA=SX\r\n");
    const auto p = pdf("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n");
    for (int pagina = 0; pagina < 2; ++pagina) {
        const ParolaPdf numero = parola(p, QStringLiteral("Pagina"), pagina);
        EXPECT_NEAR(numero.x1, W - 15, TolleranzaMm);
        EXPECT_NEAR(numero.base(), 292, TolleranzaMm);
        EXPECT_NEAR(numero.basso - numero.alto, 6 * 1.1328 * 0.3528, 0.2);
    }
    EXPECT_EQ(parola(p, QStringLiteral("2"), 1).pagina, 1);
    EXPECT_EQ(pagine(), 3);
}

TEST_F(ProvaLayoutPdf, TheJobsPdfAndASendOnAFaxPrinter)
{
    // D0012345.TXT makes D0012345.PDF in the temporary folder.
    pdf("@COPI 02\r\n@TEXT\r\n@TXTn uno\r\n", QStringLiteral("Vorpla"), QStringLiteral("D0012345.TXT"));
    EXPECT_EQ(uscita, cartella.temp() + QStringLiteral("D0012345.PDF"));
    EXPECT_EQ(valori.NumCopie, QStringLiteral("2"));

    // On a fax printer "@FAXS" writes the file at once: an error later
    // leaves the document as it was sent.
    const auto p = pdf("@FAXN 1\r\n@TEXT\r\n@TXTn inviato\r\n@FAXS\r\n@TXTn dopo\r\n@VRIV xx\r\n",
                       QStringLiteral("ZETAFAX"), QStringLiteral("D0012346.TXT"));
    EXPECT_TRUE(uscita.isEmpty());
    ASSERT_EQ(messaggi.testi.size(), 1);
    const QString inviato = cartella.temp() + QStringLiteral("D0012346.PDF");
    EXPECT_EQ(controlloQpdf(inviato), QString());
    const QList<ParolaPdf> scritte = parole(inviato);
    QStringList testi;
    for (const ParolaPdf &w : scritte)
        testi << w.testo;
    EXPECT_TRUE(testi.contains(QStringLiteral("inviato")));
    EXPECT_TRUE(testi.contains(QStringLiteral("%%[SEND]")));
    EXPECT_FALSE(testi.contains(QStringLiteral("dopo")));
}
