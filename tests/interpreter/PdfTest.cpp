// Pages as a user sees them (see ProvaPdf.h). Every position must be within
// half a millimetre of what the layout rules compute.

#include "ProvaPdf.h"

#include <QProcess>
#include <QImage>

using namespace vorpla;
using namespace vorpla::prova;


TEST_F(ProvaPdf, LetterheadAddressTitleAndDateWhereTheRulesPutThem)
{
    ini("[FATTURE]\r\nMARGINESUP=1\r\n");
    form.TipoDocumento = QStringLiteral("FATTURA");
    const auto parole = pdf("@INTE\r\n@INT1 AGENZIA\r\n@INT4 www.agenzia.it\r\n"
                            "@INDI\r\n@INDb ROSSI\r\n@INDf BOLOGNA\r\n"
                            "@DATA 09/12/2026\r\n"
                            "@TITO FATTURA\r\n"
                            "@TEXT\r\n@TXTn Libero\r\n@TXTc Centrato\r\n");
    const Parola agenzia = parola(parole, QStringLiteral("AGENZIA"));
    EXPECT_NEAR(agenzia.x1, 0.7, Tolleranza);
    EXPECT_NEAR(agenzia.y1, 2.0, Tolleranza);
    const Parola rossi = parola(parole, QStringLiteral("ROSSI"));
    EXPECT_NEAR(rossi.x1, 11.7, Tolleranza);
    EXPECT_NEAR(rossi.y1, 5.2, Tolleranza);
    const Parola bologna = parola(parole, QStringLiteral("BOLOGNA"));
    EXPECT_NEAR(bologna.x1, 11.7, Tolleranza);
    EXPECT_NEAR(bologna.y1, 7.6, Tolleranza);
    const Parola data = parola(parole, QStringLiteral("09/12/2026"));
    EXPECT_NEAR(data.x2, 20.3, Tolleranza); // right-aligned on the right margin
    EXPECT_NEAR(data.y1, 8.6, Tolleranza);
    const Parola titolo = parola(parole, QStringLiteral("FATTURA"));
    EXPECT_NEAR((titolo.x1 + titolo.x2) / 2, 10.5, Tolleranza);
    EXPECT_NEAR(titolo.y1, 8.6, Tolleranza);
    const Parola libero = parola(parole, QStringLiteral("Libero"));
    EXPECT_NEAR(libero.x1, 0.9, Tolleranza);
    EXPECT_NEAR(libero.y1, 2 + 7.9 + 0.2, Tolleranza);
    const Parola centrato = parola(parole, QStringLiteral("Centrato"));
    EXPECT_NEAR((centrato.x1 + centrato.x2) / 2, 10.5, Tolleranza);
}

TEST_F(ProvaPdf, ItalianTextFromTheHostReadsBackAsItalian)
{
    const auto parole = pdf("@TEXT\r\n@TXTn Citt\x85 di Forl\x8D: perch\x82 pi\x97 caff\x8A e per\x95\r\n");
    QStringList testi;
    for (const Parola &p : parole)
        testi << p.testo;
    EXPECT_EQ(testi.join(u' '), QStringLiteral("Città di Forlì: perché più caffè e però"));
}

TEST_F(ProvaPdf, TwoColumnPrintVouchersAndLabels)
{
    auto parole = pdf("@TEXT\r\n@TXT2 Sinistra\r\n@TXT2 Destra\r\n@TXTn fine\r\n");
    const double C = (21 - 1.4 - 0.4) / 2;
    EXPECT_NEAR(parola(parole, QStringLiteral("Sinistra")).x1, 0.9, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("Destra")).x1, C + 1, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("Sinistra")).y1, parola(parole, QStringLiteral("Destra")).y1, Tolleranza);

    QByteArray voucher = "@VRIV 01\r\n";
    for (int i = 1; i <= 3; ++i)
        voucher += "@VRIP 03\r\n@INTE\r\n@INT1 V" + QByteArray::number(i) + "\r\n@PAGV\r\n";
    parole = pdf(voucher);
    EXPECT_NEAR(parola(parole, QStringLiteral("V1")).y1, 1, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("V2")).y1, 1 + 9.9, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("V3")).y1, 1 + 19.8, Tolleranza);

    QByteArray etichette = "@ETTI N\r\n";
    for (int i = 1; i <= 5; ++i)
        etichette += "@ETRI E" + QByteArray::number(i) + "\r\n@ETFI\r\n";
    parole = pdf(etichette);
    EXPECT_NEAR(parola(parole, QStringLiteral("E1")).x1, 0, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("E1")).y1, 2.5, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("E5")).x1, 7, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("E5")).y1, 2.5 + 3.4, Tolleranza);
}

TEST_F(ProvaPdf, CharacterGridCellsAndRows)
{
    const auto parole = pdf("@LARG 080VER\r\n@RIGA X\r\n@RIGA  Y\r\n@RIGA   CELLE \x06" "AB\r\n");
    const double passo = 21.0 / 83, riga = 29.7 / 67;
    EXPECT_NEAR(parola(parole, QStringLiteral("X")).x1, 2 * passo, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("X")).y1, 1, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("Y")).x1, 3 * passo, Tolleranza);
    EXPECT_NEAR(parola(parole, QStringLiteral("Y")).y1, 1 + riga, Tolleranza);
    // A run of characters keeps one character a cell; double width adds
    // 0.1 cm a character.
    const Parola celle = parola(parole, QStringLiteral("CELLE"));
    EXPECT_NEAR(celle.x1, 4 * passo, Tolleranza);
    EXPECT_NEAR(celle.y1, 1 + 2 * riga, Tolleranza);
    const double avanzamento = (celle.x2 - celle.x1) - 4 * passo; // the last glyph's own width
    EXPECT_GT(avanzamento, 0.1);
    EXPECT_LT(avanzamento, passo);
    const Parola ab = parola(parole, QStringLiteral("AB"));
    EXPECT_NEAR(ab.x1, 10 * passo + 0.1, Tolleranza);
    // B one cell and 0.1 cm after A, in the 14-point font.
    EXPECT_NEAR(ab.x2 - ab.x1, passo + 0.1 + avanzamento * 1.4, Tolleranza);
}

TEST_F(ProvaPdf, PagesAsThePrintFileEndsThem)
{
    pdf("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n@FAXS\r\n");
    EXPECT_EQ(pagine, 2);
}

TEST_F(ProvaPdf, InlinePictureAtItsMillimetresWithTheTextInItsColumns)
{
    QImage rosso(60, 20, QImage::Format_RGB32);
    rosso.fill(Qt::red);
    const QString pic = cartella.programma() + QStringLiteral("/rosso.png");
    rosso.save(pic);
    const QByteArray costrutto = "<<IMG=" + pic.toLocal8Bit() + ";150;20;30;10>>";
    const auto parole = pdf("@TEXT\r\n@TXTn PRIMA" + costrutto + "DOPO\r\n");
    // Where the red pixels are on the page, at 100 dpi.
    const QString uscita = cartella.percorso(QStringLiteral("out.pdf"));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                                    QStringLiteral("-singlefile"), uscita, cartella.percorso(QStringLiteral("pagina"))});
    const QImage pagina(cartella.percorso(QStringLiteral("pagina.png")));
    ASSERT_FALSE(pagina.isNull());
    int x1 = pagina.width(), y1 = pagina.height(), x2 = -1, y2 = -1;
    for (int y = 0; y < pagina.height(); ++y)
        for (int x = 0; x < pagina.width(); ++x) {
            const QColor c = pagina.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60) {
                x1 = qMin(x1, x), y1 = qMin(y1, y), x2 = qMax(x2, x), y2 = qMax(y2, y);
            }
        }
    const double cmPerPixel = 2.54 / 100;
    EXPECT_NEAR(x1 * cmPerPixel, 15, Tolleranza);
    EXPECT_NEAR(y1 * cmPerPixel, 2, Tolleranza);
    EXPECT_NEAR((x2 + 1) * cmPerPixel, 18, Tolleranza);
    EXPECT_NEAR((y2 + 1) * cmPerPixel, 3, Tolleranza);
    // The text around it keeps its cells: "DOPO" starts as many cells after
    // "PRIMA" as the construct had characters.
    const Parola prima = parola(parole, QStringLiteral("PRIMA"));
    const Parola dopo = parola(parole, QStringLiteral("DOPO"));
    const double cella = (prima.x2 - prima.x1) / 5; // a fixed-pitch font: 5 cells, the last glyph full width
    EXPECT_NEAR(dopo.x1, prima.x1 + cella * double(5 + costrutto.size()), 0.1);
    EXPECT_NEAR(dopo.y1, prima.y1, Tolleranza);
}

TEST_F(ProvaPdf, PageNumberWhereTheFooterSettingsPutIt)
{
    ini("[FOOTER]\r\nPOSNUMPAGINA=CN\r\n");
    form.NumerazioneAttiva = true;
    form.PagineSezione = {2, 2};
    const auto parole = pdf("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n");
    int trovate = 0;
    for (const Parola &p : parole) {
        if (p.testo != QStringLiteral("Pagina"))
            continue;
        ++trovate;
        EXPECT_NEAR(p.x1, 9.5, Tolleranza);
        EXPECT_NEAR(p.y1, 29, Tolleranza);
    }
    EXPECT_EQ(trovate, 2);
    EXPECT_EQ(pagine, 2);
}

TEST_F(ProvaPdf, FaxDirectivesAreTextTheFaxDriverCanRead)
{
    const auto parole = pdf("@FAXN 02/1234\r\n@TEXT\r\n@TXTn Gentile cliente\r\n@FAXN 021234\r\n@FAXN 06 5555\r\n"
                            "@PAGE\r\n@FAXS\r\n",
                            QStringLiteral("ZETAFAX Office"));
    QStringList testi;
    for (const Parola &p : parole)
        testi << p.testo;
    const QString tutto = testi.join(u' ');
    EXPECT_EQ(tutto.count(QStringLiteral("%%[Fax:")), 2) << tutto.toStdString();
    EXPECT_TRUE(tutto.contains(QStringLiteral("%%[Fax: 021234]")));
    EXPECT_TRUE(tutto.contains(QStringLiteral("%%[SEND]")));
    EXPECT_EQ(pagine, 1);

    // The customer's name as the page prints it (host 0x85 "à", 0x95 "ò").
    testi.clear();
    for (const Parola &p : pdf("@FAXD CLIENTE CITT\x85\r\n@TIFE AGENZIA PER\x95\r\n@TEXT\r\n@TXTn CITT\x85\r\n@PAGE\r\n@FAXS\r\n",
                               QStringLiteral("ZETAFAX Office")))
        testi << p.testo;
    EXPECT_TRUE(testi.join(u' ').contains(QStringLiteral("%%[Name: CLIENTE CITTà]"))) << testi.join(u' ').toStdString();
    EXPECT_TRUE(testi.contains(QStringLiteral("CITTà")));
    EXPECT_EQ(lavoro().OggettoMail, QStringLiteral("AGENZIA PERò"));
}
