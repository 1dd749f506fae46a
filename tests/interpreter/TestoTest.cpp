// Text layout: letterhead, address window, dates, titles, free text,
// two-column print and the character grid, positions in centimetres.

#include "ProvaInterprete.h"

using namespace vorpla;
using namespace vorpla::prova;

TEST_F(ProvaInterprete, LetterheadNeedsItsSwitchExceptTheFourthLine)
{
    disegna("@INT1 prima\r\n@INT4 quarta\r\n");
    EXPECT_FALSE(haTesto(QStringLiteral("prima")));
    EXPECT_TRUE(haTesto(QStringLiteral("quarta")));

    ini("[MARGINI]\r\nMARGINESUP=1\r\n");
    disegna("@INTE\r\n@INT1 AGENZIA\r\n@INT2 Via Roma 1\r\n@INT3 Bologna\r\n@INT4 www\r\n");
    const auto r1 = testo(QStringLiteral("AGENZIA"));
    EXPECT_NEAR(r1.a.x(), 0.7, 1e-9);
    EXPECT_NEAR(r1.a.y(), 2, 1e-9); // T + 1
    EXPECT_TRUE(r1.grassetto);
    EXPECT_TRUE(r1.sottolineato);
    EXPECT_NEAR(r1.dimensione, 11, 0.05);
    const auto r2 = testo(QStringLiteral("Via Roma 1"));
    const auto r3 = testo(QStringLiteral("Bologna"));
    const auto r4 = testo(QStringLiteral("www"));
    EXPECT_FALSE(r2.grassetto);
    EXPECT_GT(r2.a.y(), r1.a.y());
    EXPECT_GT(r3.a.y(), r2.a.y());
    EXPECT_GT(r4.a.y(), r3.a.y());
    EXPECT_NEAR(r4.dimensione, 7, 0.05);
}

TEST_F(ProvaInterprete, AddressWindowAndItsLines)
{
    ini("[MARGINI]\r\nMARGINESUP=1\r\n");
    disegna("@INDI\r\n@INDb ROSSI MARIO\r\n@INDn Via Verdi 2\r\n@INDs Mittente\r\n@INDf 40100 BOLOGNA\r\n");
    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 1);
    EXPECT_NEAR(rettangoli[0].a.x(), 11.5, 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 5, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), 20.3, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), 7.55, 1e-9);
    EXPECT_FALSE(rettangoli[0].pieno);
    EXPECT_NEAR(rettangoli[0].spessore, 2.54 / 600, 1e-9);
    const auto mittente = testo(QStringLiteral("Mittente"));
    EXPECT_NEAR(mittente.a.x(), 0.7, 1e-9);
    EXPECT_NEAR(mittente.a.y(), 7.6, 1e-9);
    const auto nome = testo(QStringLiteral("ROSSI MARIO"));
    EXPECT_NEAR(nome.a.x(), 11.7, 1e-9);
    EXPECT_NEAR(nome.a.y(), 5.2, 1e-9);
    EXPECT_TRUE(nome.grassetto);
    EXPECT_FALSE(testo(QStringLiteral("Via Verdi 2")).grassetto);
    const auto citta = testo(QStringLiteral("40100 BOLOGNA"));
    EXPECT_NEAR(citta.a.x(), 11.7, 1e-9);
    EXPECT_NEAR(citta.a.y(), 7.6, 1e-9); // pulled down to T + 6.6
}

TEST_F(ProvaInterprete, AnAddressLineTooWideShrinksAndTheNextStartsSmaller)
{
    const QByteArray lunga = "SOCIETA COOPERATIVA DI VIAGGI E TURISMO";
    disegna("@INDI\r\n@INDb " + lunga + "\r\n@INDs dopo\r\n");
    const auto r = testo(QString::fromLatin1(lunga));
    EXPECT_LT(r.dimensione, 11);
    const double larghezza = misuraTestoCm(r.testo, [&] {
        QFont f(r.famiglia);
        f.setPointSizeF(r.dimensione);
        f.setBold(true);
        return f;
    }(), 600).width();
    EXPECT_LE(11.7 + larghezza, 21 - 0.7 + 1e-9);
    // 2 points at a time from 11.
    EXPECT_NEAR(std::fmod(11 - r.dimensione, 2), 0, 0.05);
}

TEST_F(ProvaInterprete, DatesAreRightAlignedAndAnEmptyDateStillAdvances)
{
    disegna("@DATA\r\n@DAT1 Bologna, 9 dicembre 2026\r\n");
    EXPECT_TRUE(haTesto(QStringLiteral(" ")));
    const auto data = testo(QStringLiteral("Bologna, 9 dicembre 2026"));
    EXPECT_NEAR(data.a.y(), 7.6 + 0.3 + 0.7, 1e-9);
    const double larghezza = misuraTestoCm(data.testo, [&] {
        QFont f(data.famiglia);
        f.setPointSizeF(data.dimensione);
        return f;
    }(), 600).width();
    EXPECT_NEAR(data.a.x() + larghezza, 21 - 0.7, 1e-6);
}

TEST_F(ProvaInterprete, BoxedTitleIsCentredBetweenTheMargins)
{
    ini("[MARGINI]\r\nMARGINESUP=1\r\n");
    disegna("@TITO FATTURA N. 123\r\n@TEXT\r\n@TXTn dopo\r\n");
    const auto t = testo(QStringLiteral("FATTURA N. 123"));
    EXPECT_TRUE(t.grassetto);
    EXPECT_NEAR(t.a.y(), 8.6, 1e-9);
    QFont f(t.famiglia);
    f.setPointSizeF(t.dimensione);
    f.setBold(true);
    const QSizeF m = misuraTestoCm(t.testo, f, 600);
    EXPECT_NEAR(t.a.x() + m.width() / 2, 0.7 + (21 - 1.4) / 2, 1e-6);
    const auto box = di(Tipo::Rettangolo);
    ASSERT_EQ(box.size(), 1);
    EXPECT_NEAR(box[0].a.x(), t.a.x() - 0.2, 1e-6);
    EXPECT_NEAR(box[0].b.x(), t.a.x() + m.width() + 0.4, 1e-6);
    EXPECT_NEAR(box[0].a.y(), 8.5, 1e-9);
    EXPECT_NEAR(box[0].b.y(), 8.6 + m.height() + 0.1, 1e-6);
    EXPECT_NEAR(box[0].spessore, 5 * 2.54 / 600, 1e-9);
    // The top margin counts twice below the title: 2T + 7.9, then 0.2 for the text block.
    EXPECT_NEAR(testo(QStringLiteral("dopo")).a.y(), 2 + 7.9 + 0.2, 1e-9);
}

TEST_F(ProvaInterprete, FiveTwoColumnLinesFillLeftThenRightWithTheMiddleOneAlone)
{
    disegna("@TEXT\r\n@TXT2 uno\r\n@TXT2 due\r\n@TXT2 tre\r\n@TXT2 quattro\r\n@TXT2 cinque\r\n@TXTn fine\r\n");
    const auto uno = testo(QStringLiteral("uno")), due = testo(QStringLiteral("due")), tre = testo(QStringLiteral("tre"));
    const auto quattro = testo(QStringLiteral("quattro")), cinque = testo(QStringLiteral("cinque"));
    const double C = (21 - 1.4 - 0.4) / 2;
    EXPECT_NEAR(uno.a.x(), 0.9, 1e-9);
    EXPECT_NEAR(quattro.a.x(), C + 1, 1e-9);
    EXPECT_NEAR(cinque.a.x(), C + 1, 1e-9);
    EXPECT_NEAR(uno.a.y(), quattro.a.y(), 1e-9);
    EXPECT_NEAR(due.a.y(), cinque.a.y(), 1e-9);
    EXPECT_GT(tre.a.y(), due.a.y());
    EXPECT_NEAR(tre.a.x(), 0.9, 1e-9);
    EXPECT_NEAR(uno.dimensione, 5, 0.05);
    // The rule between the columns, from where the first line arrived.
    const auto linee = di(Tipo::Linea);
    bool regola = false;
    for (const auto &l : linee)
        regola = regola || (qAbs(l.a.x() - (0.7 + C + 0.2)) < 1e-9 && l.a.x() == l.b.x());
    EXPECT_TRUE(regola);
    EXPECT_GT(testo(QStringLiteral("fine")).a.y(), tre.a.y());
}

TEST_F(ProvaInterprete, ItalicOfCentredTwoColumnPrintStaysOn)
{
    disegna("@TEXT\r\n@TX2c centro\r\n@TXTb dopo\r\n");
    EXPECT_TRUE(testo(QStringLiteral("centro")).corsivo);
    EXPECT_TRUE(testo(QStringLiteral("dopo")).corsivo);
}

TEST_F(ProvaInterprete, GridDoubleWidthShiftsEachPrintedCharacter)
{
    disegna("@LARG 080VER\r\n@RIGA \x06" "AB CD\r\n");
    const double passo = 21.0 / 83;
    const struct
    {
        const char *c;
        double x;
    } attesi[] = {{"A", 2 * passo + 0.1}, {"B", 3 * passo + 0.2}, {"C", 5 * passo + 0.3}, {"D", 6 * passo + 0.4}};
    for (const auto &a : attesi) {
        const auto op = testo(QLatin1String(a.c));
        EXPECT_NEAR(op.a.x(), a.x, 1e-9) << a.c;
        EXPECT_NEAR(op.a.y(), 1, 1e-9);
        EXPECT_NEAR(op.dimensione, 14, 0.05);
    }
    EXPECT_NEAR(testo(QStringLiteral(" ")).a.x(), 4 * passo, 1e-9);
}

TEST_F(ProvaInterprete, GridLineOfDashesIsARule)
{
    disegna("@LARG 080VER\r\n@RIGA ------\r\n@RIGA --x--\r\n");
    const double passo = 21.0 / 83, riga = 29.7 / 67;
    int segmenti = 0;
    for (const auto &l : di(Tipo::Linea)) {
        if (qAbs(l.a.y() - 1) < 1e-9) {
            ++segmenti;
            EXPECT_NEAR(l.b.x() - l.a.x(), passo, 1e-9);
        }
    }
    EXPECT_EQ(segmenti, 6);
    int trattiniStampati = 0;
    for (const auto &op : di(Tipo::Testo))
        if (op.testo == QStringLiteral("-") && qAbs(op.a.y() - (1 + riga)) < 1e-9)
            ++trattiniStampati;
    EXPECT_EQ(trattiniStampati, 4);
    EXPECT_TRUE(haTesto(QStringLiteral("x")));
}

TEST_F(ProvaInterprete, BoxedTitlesReachAsFarAsTheirRulesSay)
{
    disegna("@TIT3 RIEPILOGO\r\n@TITB VOUCHER\r\n@TITB  \r\n");
    const auto box = di(Tipo::Rettangolo);
    ASSERT_EQ(box.size(), 3);
    const auto riepilogo = testo(QStringLiteral("RIEPILOGO"));
    QFont f(riepilogo.famiglia);
    f.setPointSizeF(riepilogo.dimensione);
    f.setBold(true);
    const QSizeF m = misuraTestoCm(riepilogo.testo, f, 600);
    // "@TIT3": the inner gap on both sides, 0.2 above and below.
    EXPECT_NEAR(box[0].a.x(), riepilogo.a.x() - 0.2, 1e-6);
    EXPECT_NEAR(box[0].b.x(), riepilogo.a.x() + m.width() + 0.2, 1e-6);
    EXPECT_NEAR(box[0].a.y(), 10.3, 1e-9);
    EXPECT_NEAR(box[0].b.y(), 10.5 + m.height() + 0.2, 1e-6);
    // "@TITB": one character and 0.1 further; a blank title keeps that reach.
    const auto voucher = testo(QStringLiteral("VOUCHER"));
    QFont fb(voucher.famiglia);
    fb.setPointSizeF(voucher.dimensione);
    fb.setBold(true);
    const double e = misuraTestoCm(QStringLiteral("V"), fb, 600).width() + 0.1;
    EXPECT_NEAR(voucher.dimensione, 10, 0.05);
    EXPECT_NEAR(box[1].b.x(), voucher.a.x() + misuraTestoCm(voucher.testo, fb, 600).width() + e + 0.2, 1e-6);
    // (the reader removed its trailing blanks: the title itself is empty)
    EXPECT_NEAR(box[2].b.x() - box[2].a.x(), 0.2 + e + 0.2, 1e-6);
}
