// Pictures and bar codes: inline pictures in text lines, bar codes, the
// company logo, the voucher logo and the footer picture.

#include "ProvaInterprete.h"

#include "common/ErroreVB.h"

#include <QImage>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// A picture of w x h pixels at 96 dpi: its HIMETRIC size is w / 3780 x 100000.
QString immagine(const QString &percorso, int w, int h, const char *formato = "PNG")
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::red);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    img.save(percorso, formato);
    return percorso;
}

} // namespace

TEST_F(ProvaInterprete, InlinePictureTakesItsMillimetresAndTheTextKeepsItsColumns)
{
    const QByteArray pic = immagine(cartella.programma() + QStringLiteral("/pic.png"), 40, 20).toLocal8Bit();
    const QByteArray costrutto = "<<IMG=" + pic + ";150;20;30;10>>";
    disegna("@TEXT\r\n@TXTn AB" + costrutto + "CD\r\n");
    const auto figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_NEAR(figure[0].a.x(), 15, 1e-9);
    EXPECT_NEAR(figure[0].a.y(), 2, 1e-9);
    EXPECT_NEAR(figure[0].b.x(), 18, 1e-9);
    EXPECT_NEAR(figure[0].b.y(), 3, 1e-9);
    // One character a cell of the width of "A"; the construct became blanks.
    const double a = testo(QStringLiteral("A")).a.x();
    const double cella = testo(QStringLiteral("B")).a.x() - a;
    EXPECT_NEAR(a, 0.9, 1e-9);
    EXPECT_NEAR(testo(QStringLiteral("C")).a.x(), a + cella * double(2 + costrutto.size()), 1e-6);
    EXPECT_NEAR(testo(QStringLiteral("C")).a.y(), testo(QStringLiteral("A")).a.y(), 1e-9);
    EXPECT_FALSE(haTesto(QStringLiteral("<")));
}

TEST_F(ProvaInterprete, InlinePictureLandsOnTheCurrentVoucher)
{
    const QByteArray pic = immagine(cartella.programma() + QStringLiteral("/pic.png"), 10, 10).toLocal8Bit();
    disegna("@VRIV 01\r\n@VRIP 03\r\n@PAGV\r\n@VRIP 03\r\n@PAGV\r\n@VRIP 03\r\n@TEXT\r\n@TXTn <<IMG=" + pic
            + ";100;20;10;10>>\r\n");
    const auto figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_NEAR(figure[0].a.y(), 2 + 2 * double(float(29.7 / 3)), 1e-5);
}

TEST_F(ProvaInterprete, InlinePictureSizesDefaultFromThePicture)
{
    // Absent width and height: the HIMETRIC size divided by 567; blank X: the
    // width field (0) plus the cells up to the construct's fields.
    const QByteArray pic = immagine(cartella.programma() + QStringLiteral("/pic.png"), 378, 189).toLocal8Bit();
    disegna("@TEXT\r\n@TXTn xy<<IMG=" + pic + "; ;5>>\r\n");
    const auto figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_NEAR(figure[0].b.x() - figure[0].a.x(), 10000.0 / 567, 1e-6);
    EXPECT_NEAR(figure[0].b.y() - figure[0].a.y(), 5000.0 / 567, 1e-6);
    EXPECT_NEAR(figure[0].a.y(), 0.5, 1e-9);
}

TEST_F(ProvaInterprete, AMissingInlinePictureDrawsNothingInItsPlace)
{
    disegna("@TEXT\r\n@TXTn AB<<IMG=/nowhere/pic.png;150;20;30;10>>CD\r\n");
    EXPECT_TRUE(di(Tipo::Immagine).isEmpty());
    EXPECT_TRUE(haTesto(QStringLiteral("A")));
    EXPECT_TRUE(haTesto(QStringLiteral("D")));
}

TEST_F(ProvaInterprete, BarCodeLinePrintsOnlyTheCodeInItsFont)
{
    disegna("@TEXT\r\n@TXTn prima<<CB=*12345*;Free 3 of 9;24;5;10;0;0>>dopo\r\n@TXTn dopo la riga\r\n");
    const auto codice = testo(QStringLiteral("*12345*"));
    EXPECT_NEAR(codice.a.x(), 5, 1e-9);
    EXPECT_NEAR(codice.a.y(), 10, 1e-9);
    EXPECT_NEAR(codice.dimensione, 24, 0.1);
    for (const auto &op : di(Tipo::Testo))
        EXPECT_FALSE(op.testo.contains(QStringLiteral("prima"))) << op.testo.toStdString();
    // The next line is in the program's font again.
    EXPECT_NE(testo(QStringLiteral("dopo la riga")).famiglia, codice.famiglia);
}

TEST_F(ProvaInterprete, BadInlineConstructsEndTheProgramNamingTheLine)
{
    const QByteArray pic = immagine(cartella.programma() + QStringLiteral("/pic.png"), 10, 10).toLocal8Bit();
    const QList<QByteArray> righe = {
        "@TXTn a<<IMG=" + pic + ";1;2;3;4",      // no closing ">>"
        "@TXTn a<<IMG=" + pic + ";1;2; ;4>>",    // blank width
        "@TXTn a<<IMG=" + pic + ";x;2;3;4>>",    // X not a number
        "@TXTn a<<CB=123;Arial;12;;3>>",         // blank bar-code X
        "@TXTn a<<CB=123;Arial;12;2;3;zz>>",     // field 6 not a number
    };
    for (const QByteArray &riga : righe) {
        messaggi.testi.clear();
        EXPECT_EQ(disegna("@TEXT\r\n" + riga + "\r\n"), FineConErrore) << riga.constData();
        ASSERT_EQ(messaggi.testi.size(), 1) << riga.constData();
        EXPECT_TRUE(messaggi.testi.at(0).endsWith(QStringLiteral("\r\nTag: ") + QString::fromLatin1(riga)));
    }
}

TEST_F(ProvaInterprete, LogoReplacesTheTextLetterhead)
{
    immagine(cartella.programma() + QStringLiteral("/LOGO.bmp"), 200, 100, "BMP");
    disegna("@INTE\r\n@LOGO logo.xyz\r\n@INT1 AGENZIA\r\n");
    auto figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_EQ(figure[0].a, QPointF(0, 0));
    EXPECT_NEAR(figure[0].b.y(), 7, 1e-9);
    EXPECT_NEAR(figure[0].b.x(), 14, 1e-6); // height 7, proportional width
    EXPECT_FALSE(haTesto(QStringLiteral("AGENZIA")));
    EXPECT_TRUE(stato.LogoPresente);

    // An invoice: at pos_x, below the top margin, with the size of vorpla.ini.
    ini("[FATTURE]\r\nMARGINESUP=1,5\r\n[MARGINI]\r\nMARGINESUP=2\r\n[LOGO]\r\nLarghezza=6\r\nAltezza=3\r\npos_x=1\r\n");
    form.TipoDocumento = QStringLiteral("FATTURA");
    disegna("@INTE\r\n@LOGO logo.xyz\r\n");
    figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_NEAR(figure[0].a.x(), 1, 1e-9);
    EXPECT_NEAR(figure[0].a.y(), 2, 1e-9);
    EXPECT_NEAR(figure[0].b.x(), 7, 1e-9);
    EXPECT_NEAR(figure[0].b.y(), 5, 1e-9);
}

TEST_F(ProvaInterprete, LogoWithoutTheLetterheadOnlyOnFaxAndPdfDevices)
{
    immagine(cartella.programma() + QStringLiteral("/logo.bmp"), 200, 100, "BMP");
    disegna("@INTE NO\r\n@LOGO logo.xyz\r\n");
    EXPECT_TRUE(di(Tipo::Immagine).isEmpty());
    disegna("@INTE NO\r\n@LOGO logo.xyz\r\n", QStringLiteral("Acrobat PDFWriter"));
    EXPECT_EQ(di(Tipo::Immagine).size(), 1);
    // A missing logo keeps the text letterhead.
    disegna("@INTE\r\n@LOGO altro.xyz\r\n@INT1 AGENZIA\r\n");
    EXPECT_TRUE(haTesto(QStringLiteral("AGENZIA")));
}

TEST_F(ProvaInterprete, VoucherLogoAtTheVoucherMargin)
{
    immagine(cartella.programma() + QStringLiteral("/logo.bmp"), 200, 100, "BMP");
    disegna("@VRIV 01\r\n@INTE\r\n@LOGV logo.xyz\r\n");
    const auto figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 1);
    EXPECT_NEAR(figure[0].a.x(), 1.3, 1e-9);
    EXPECT_NEAR(figure[0].b.y() - figure[0].a.y(), 3.5, 1e-9);
    EXPECT_TRUE(form.ConINTV);
}

namespace {
class StampanteSenzaImmagini : public SuperficieRegistrata
{
protected:
    void disegnaImmagine(const QImage &, const QRectF &) override { throw ErroreVB(Err::ErroreStampante); }
};
} // namespace

TEST_F(ProvaInterprete, ALogoThePrinterRefusesGivesWayToTheTextLetterhead)
{
    immagine(cartella.programma() + QStringLiteral("/logo.bmp"), 200, 100, "BMP");
    StampanteSenzaImmagini stampante;
    superficie.reset();
    EXPECT_FALSE(disegnaSu(stampante, "@INTE\r\n@LOGO logo.xyz\r\n@INT1 AGENZIA\r\n").has_value());
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral(
                                  "Errore di Windows!\rImpossibile inserire il logo nella pagina.\rVerrà inserita l'intestazione.")});
    bool agenzia = false;
    for (const auto &op : stampante.operazioni())
        agenzia = agenzia || op.testo == QStringLiteral("AGENZIA");
    EXPECT_TRUE(agenzia);
}

TEST_F(ProvaInterprete, FooterPictureAtEveryPageEnd)
{
    immagine(cartella.programma() + QStringLiteral("/piede.png"), 100, 20);
    ini("[FOOTER]\r\nFOOTER=piede.png\r\nX=1\r\nY=27\r\nWIDTH=19\r\nHEIGHT=2\r\n");
    disegna("@LARG PRO\r\n@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n");
    const auto figure = di(Tipo::Immagine);
    ASSERT_EQ(figure.size(), 2);
    EXPECT_EQ(figure[0].pagina, 0);
    EXPECT_EQ(figure[1].pagina, 1);
    EXPECT_NEAR(figure[0].a.y(), 27, 1e-9);
    EXPECT_NEAR(figure[0].b.x(), 20, 1e-9);
}
