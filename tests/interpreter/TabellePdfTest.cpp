// Boxed tables as a user sees them: the interpreter draws into a real PDF (a
// 600 dpi A4 page standing for a printer) and poppler reads the words back
// with their positions, which must be within half a millimetre of the
// table's character grid.

#include "ProvaPdf.h"

using namespace vorpla;
using namespace vorpla::prova;

namespace {

constexpr double Carattere80 = 19.2 / 80;

// The left edge on the page of a column starting at character p of an
// 80-character table shifted by s characters.
double x80(int p, int s = 0)
{
    return 0.9 + (p + s - 1) * Carattere80;
}

} // namespace

TEST_F(ProvaPdf, CellsStandOnTheCharacterGridOfTheTable)
{
    // C 1-15, D 17-26, T 41-55, framed total 57-70, frame edge at 80.
    const QByteArray righe = "@BOXt 080\r\n@BOXi 080\r\n"
                             "@BXt1 c             C d        D              t             T b            B         F\r\n"
                             "@BXI1 VOCE               IMPORTO              DESTINAZIONE       TOTALE\r\n"
                             "@BXr1 Volo                 12,50              Roma\r\n"
                             "@BXr1 Hotel               140,00              Milano                 152,50\r\n"
                             "@BOXf\r\n";
    auto p = pdfSenzaErrori(righe);
    // The column at 41 of 80 characters between margins 0.7 on A4: 10.5 cm.
    EXPECT_NEAR(parola(p, QStringLiteral("Roma")).x1, 10.5, Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("Milano")).x1, 10.5, Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("Volo")).x1, 0.9, Tolleranza);
    // Amounts end at the right edge of their column.
    EXPECT_NEAR(parola(p, QStringLiteral("12,50")).x2, x80(27), Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("140,00")).x2, x80(27), Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("152,50")).x2, x80(71), Tolleranza);
    // Rows follow each other, the framed total on its row.
    EXPECT_GT(parola(p, QStringLiteral("Hotel")).y1, parola(p, QStringLiteral("Volo")).y1 + 0.3);
    EXPECT_NEAR(parola(p, QStringLiteral("152,50")).y2, parola(p, QStringLiteral("Milano")).y2, Tolleranza);
    // Headings are lower-cased; C columns carry none.
    EXPECT_NEAR(parola(p, QStringLiteral("destinazione")).x1, 10.5, Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("importo")).x2, x80(27), Tolleranza);
    EXPECT_FALSE(ha(p, QStringLiteral("IMPORTO")));
    EXPECT_FALSE(ha(p, QStringLiteral("voce")));
    EXPECT_FALSE(ha(p, QStringLiteral("VOCE")));

    // "@FLDB" keeps them as written.
    p = pdfSenzaErrori("@FLDB\r\n" + righe);
    EXPECT_TRUE(ha(p, QStringLiteral("IMPORTO")));
    EXPECT_TRUE(ha(p, QStringLiteral("DESTINAZIONE")));
    EXPECT_FALSE(ha(p, QStringLiteral("importo")));
}

TEST_F(ProvaPdf, NestedBoxesSideBySideAndTheTotalsBelow)
{
    const auto p = pdfSenzaErrori("@BOXt 080\r\n"
                          "@BOxi 040\r\n"
                          "@BXt1 t                T                  F\r\n"
                          "@BXr1 Partenza\r\n"
                          "@BXr1 Ritorno\r\n"
                          "@Bxfn\r\n"
                          "@BOxi 040\r\n"
                          "@BXt1 t                T\r\n"
                          "@BXr1 Bologna\r\n"
                          "@BOXf\r\n"
                          "@BXt1 t              T                b             B\r\n"
                          "@BXT2 Totale                                   450,00\r\n");
    // The right box: its columns 40 characters on, level with the left box.
    const Parola bologna = parola(p, QStringLiteral("Bologna"));
    EXPECT_NEAR(bologna.x1, x80(1, 40), Tolleranza);
    EXPECT_NEAR(bologna.y1, parola(p, QStringLiteral("Partenza")).y1, Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("Partenza")).x1, 0.9, Tolleranza);
    // The totals come below the taller left box, the total right-aligned in its column.
    const Parola totale = parola(p, QStringLiteral("450,00"));
    EXPECT_GT(parola(p, QStringLiteral("Totale")).y1, parola(p, QStringLiteral("Ritorno")).y2 + 0.3);
    EXPECT_NEAR(totale.x2, x80(48), Tolleranza);
    EXPECT_NEAR(parola(p, QStringLiteral("Totale")).x1, 0.9, Tolleranza);
}
