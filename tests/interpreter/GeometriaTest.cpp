// Page geometry: margins by document type and device, labels, vouchers and
// the character grid.

#include "ProvaInterprete.h"

using namespace vorpla;
using namespace vorpla::prova;

TEST_F(ProvaInterprete, TopMarginByDocumentTypeThenGeneralThenFax)
{
    ini("[FATTURE]\r\nMARGINESUP=2\r\n[ASTOI]\r\nMARGINESUP=3\r\n");
    form.TipoDocumento = QStringLiteral("FATTURA");
    disegna("@INTE\r\n@INT1 AGENZIA\r\n");
    EXPECT_NEAR(testo(QStringLiteral("AGENZIA")).a.y(), 2 + 1, 1e-9); // T + O + 1

    form.TipoDocumento = QStringLiteral("PREVENTIVO"); // no section of its own
    disegna("@INTE\r\n@INT1 AGENZIA\r\n");
    EXPECT_NEAR(testo(QStringLiteral("AGENZIA")).a.y(), 1, 1e-9);

    ini("[FATTURE]\r\nMARGINESUP=2\r\n[MARGINI]\r\nMARGINESUP=1,5\r\n");
    form.TipoDocumento = QStringLiteral("FATTURA");
    disegna("@INTE\r\n@INT1 AGENZIA\r\n");
    EXPECT_NEAR(stato.MargineAlto, 1.5, 1e-9); // under every locale

    // A fax device takes the fax section's margin, even when it is missing.
    disegna("@INTE\r\n@INT1 AGENZIA\r\n", QStringLiteral("Zetafax Server"));
    EXPECT_NEAR(stato.MargineAlto, 0, 1e-9);
}

TEST_F(ProvaInterprete, NonNumericMarginEndsTheProgram)
{
    ini("[MARGINI]\r\nMARGINESUP=alto\r\n");
    EXPECT_EQ(disegna("@INTE\r\n"), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).contains(QStringLiteral("Errore N.13")));
}

TEST_F(ProvaInterprete, LabelSheetGeometry)
{
    // 70 x 34 mm labels on 210 x 297 mm with a 25 mm margin: 3 a row,
    // (29.7 - 5) / 3.4 x 3 = 21.79 -> 22 a page.
    QByteArray righe = "@ETTI N\r\n";
    for (int i = 1; i <= 23; ++i)
        righe += "@ETRI Etichetta " + QByteArray::number(i) + "\r\n@ETRB Riga\r\n@ETFI\r\n";
    disegna(righe);
    EXPECT_EQ(stato.etichettePerRiga, 3);
    EXPECT_EQ(stato.etichettePerPagina, 22);
    const auto prima = testo(QStringLiteral("Etichetta 1"));
    EXPECT_NEAR(prima.a.x(), 0, 1e-9);
    EXPECT_NEAR(prima.a.y(), 2.5, 1e-9);
    const auto quinta = testo(QStringLiteral("Etichetta 5")); // row 1, column 1
    EXPECT_NEAR(quinta.a.x(), 7, 1e-9);
    EXPECT_NEAR(quinta.a.y(), 2.5 + 3.4, 1e-9);
    const auto sesta = testo(QStringLiteral("Etichetta 6")); // row 1, last column
    EXPECT_NEAR(sesta.a.x(), 14, 1e-9);
    EXPECT_NEAR(sesta.a.y(), 2.5 + 3.4, 1e-9);
    EXPECT_EQ(testo(QStringLiteral("Etichetta 22")).pagina, 0);
    const auto ventitreesima = testo(QStringLiteral("Etichetta 23"));
    EXPECT_EQ(ventitreesima.pagina, 1);
    EXPECT_NEAR(ventitreesima.a.y(), 2.5, 1e-9);
    // The bold line: without its marker, bold, 2 points larger, 0.4 cm lower.
    bool trovata = false;
    for (const auto &op : superficie->operazioni()) {
        if (op.tipo == Tipo::Testo && op.testo == QStringLiteral("Riga") && op.pagina == 0 && op.a.x() == 0
            && qAbs(op.a.y() - 2.9) < 1e-9) {
            trovata = true;
            EXPECT_TRUE(op.grassetto);
            EXPECT_NEAR(op.dimensione, 11, 0.1);
        }
    }
    EXPECT_TRUE(trovata);
}

TEST_F(ProvaInterprete, LabelLinesAreCutToTheLabelWidth)
{
    form.txtEtX = QStringLiteral("30");
    disegna("@ETTI N\r\n@ETRI Una riga di etichetta molto piu lunga di tre centimetri\r\n@ETFI\r\n");
    const auto righe = di(Tipo::Testo);
    ASSERT_EQ(righe.size(), 1);
    EXPECT_LT(misuraTestoCm(righe[0].testo, QFont(righe[0].famiglia, 9), 600).width() + 0.3, 3.0 + 0.05);
    EXPECT_TRUE(QStringLiteral("Una riga di etichetta molto piu lunga").startsWith(righe[0].testo.left(10)));
}

TEST_F(ProvaInterprete, SixteenthLabelLineEndsTheProgram)
{
    QByteArray righe = "@ETTI N\r\n";
    for (int i = 0; i < 16; ++i)
        righe += "@ETRI x\r\n";
    EXPECT_EQ(disegna(righe), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).endsWith(QStringLiteral("Tag: @ETRI x")));
}

TEST_F(ProvaInterprete, WideGridIsTheSameUprightOrLandscapeAndUnknownWordsDoNothing)
{
    disegna("@LARG 132VER\r\n");
    const double passoVer = stato.PassoCarattere;
    disegna("@LARG 132ORI\r\n");
    EXPECT_DOUBLE_EQ(stato.PassoCarattere, passoVer);
    EXPECT_NEAR(passoVer, 21.0 / 137, 1e-9);
    disegna("@LARG 132LAN\r\n");
    EXPECT_EQ(stato.PassoCarattere, 0);
}

TEST_F(ProvaInterprete, ThreeVouchersWithOneCopyStackThenTurnThePage)
{
    // Three to a page: the pitch is a third of the sheet (9.9 cm on A4); with
    // one copy the vouchers stand at 0, one and two pitches, then a new page.
    QByteArray righe = "@VRIV 01\r\n";
    for (int i = 1; i <= 4; ++i)
        righe += "@VRIP 03\r\n@INTE\r\n@INT1 Voucher " + QByteArray::number(i) + "\r\n@PAGV\r\n";
    disegna(righe);
    const double passo = double(float(29.7 / 3));
    EXPECT_NEAR(testo(QStringLiteral("Voucher 1")).a.y(), 1, 1e-6);
    EXPECT_NEAR(testo(QStringLiteral("Voucher 2")).a.y(), 1 + passo, 1e-6);
    EXPECT_NEAR(testo(QStringLiteral("Voucher 3")).a.y(), 1 + 2 * passo, 1e-6);
    EXPECT_EQ(testo(QStringLiteral("Voucher 3")).pagina, 0);
    const auto quarto = testo(QStringLiteral("Voucher 4"));
    EXPECT_EQ(quarto.pagina, 1);
    EXPECT_NEAR(quarto.a.y(), 1, 1e-6);
    EXPECT_EQ(form.NumeroVoucher, 5);
}
