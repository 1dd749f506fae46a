// Boxed tables on the recording surface: columns at their character
// positions, heading, data and totals rows, frames of plain and nested boxes,
// and the print-file faults that end the program.

#include "ProvaInterprete.h"

#include <cmath>
#include <initializer_list>
#include <utility>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// A4, margins 0.7, inner gap 0.2: 80 characters span 19.2 cm.
constexpr double Carattere80 = 19.2 / 80;
constexpr double Punto = 2.54 / 600; // one dot of pen width at 600 dpi

// The left edge on the page of a column starting at character p of an
// 80-character table.
double x80(int p, int scostamento = 0)
{
    return 0.9 + (p + scostamento - 1) * Carattere80;
}

// A print-file line: the marker, then texts placed at character positions
// of the argument (1 = column 7 of the line).
QByteArray riga(const char *marcatore, std::initializer_list<std::pair<int, const char *>> testi)
{
    QByteArray argomento;
    for (const auto &[p, t] : testi) {
        const QByteArray testo(t);
        if (argomento.size() < p - 1 + testo.size())
            argomento.resize(p - 1 + testo.size(), ' ');
        argomento.replace(p - 1, testo.size(), testo);
    }
    return QByteArray(marcatore) + ' ' + argomento + "\r\n";
}

// The reference table: C 1-15, D 17-26, G 28-37, inner rule at 39, T 41-55,
// D 57-70, right edge of the frame at 80.
const QByteArray Modello =
    riga("@BXt1", {{1, "c"}, {15, "C"}, {17, "d"}, {26, "D"}, {28, "g"}, {37, "G"}, {39, "I"}, {41, "t"}, {55, "T"},
                   {57, "d"}, {70, "D"}, {80, "F"}});

QFont fontDi(const OperazioneRegistrata &op)
{
    QFont f(op.famiglia);
    f.setPointSizeF(op.dimensione);
    f.setBold(op.grassetto);
    return f;
}

double larghezza(const OperazioneRegistrata &op)
{
    return misuraTestoCm(op.testo, fontDi(op), 600).width();
}

// The height of "A" (one line) in the font family drawn, at a size.
double altezzaA(const QString &famiglia, double punti)
{
    QFont f(famiglia);
    f.setPointSizeF(std::round(punti * 600 / 72) * 72 / 600);
    return misuraTestoCm(QStringLiteral("A"), f, 600).height();
}

double larghezzaA(const QString &famiglia, double punti)
{
    QFont f(famiglia);
    f.setPointSizeF(std::round(punti * 600 / 72) * 72 / 600);
    return misuraTestoCm(QStringLiteral("A"), f, 600).width();
}

bool vicino(double a, double b)
{
    return qAbs(a - b) < 1e-9;
}

class ProvaTabelle : public ProvaInterprete
{
protected:
    // The text operation of a cell: cells keep the blanks of their columns.
    OperazioneRegistrata cella(const QString &t) const
    {
        for (const auto &op : superficie->operazioni())
            if (op.tipo == Tipo::Testo && op.testo.trimmed() == t)
                return op;
        ADD_FAILURE() << "no cell " << t.toStdString();
        return {};
    }

    bool haCella(const QString &t) const
    {
        for (const auto &op : superficie->operazioni())
            if (op.tipo == Tipo::Testo && op.testo.trimmed() == t)
                return true;
        return false;
    }

    // The lines of the table, without the fold mark in the left margin.
    void linee(QList<OperazioneRegistrata> &orizzontali, QList<OperazioneRegistrata> &verticali) const
    {
        for (const auto &l : di(Tipo::Linea)) {
            if (vicino(l.a.x(), 0) && vicino(l.b.x(), 0.1))
                continue;
            (vicino(l.a.y(), l.b.y()) ? orizzontali : verticali) << l;
        }
    }
};

} // namespace

TEST_F(ProvaTabelle, ColumnsStandAtTheirCharacterPositionsBetweenTheMargins)
{
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + Modello
            + riga("@BXr1", {{1, "Descrizione"}, {22, "12,50"}, {28, "Forte"}, {41, "Tipo"}, {80, "Z"}}));
    // 80 characters between margins 0.7 on A4: the column at 41 is drawn at 10.5.
    EXPECT_NEAR(cella(QStringLiteral("Tipo")).a.x(), 10.5, 1e-9);
    EXPECT_NEAR(cella(QStringLiteral("Descrizione")).a.x(), 0.9, 1e-9);
    EXPECT_NEAR(cella(QStringLiteral("Forte")).a.x(), x80(28), 1e-9);
    EXPECT_NEAR(cella(QStringLiteral("Z")).a.x(), x80(80), 1e-9);
    // A right-aligned cell ends at its column's right edge.
    const auto importo = cella(QStringLiteral("12,50"));
    EXPECT_EQ(importo.testo, QStringLiteral("12,50")); // leading blanks dropped
    EXPECT_NEAR(importo.a.x() + larghezza(importo), x80(17) + 10 * Carattere80, 1e-6);

    // "@BOxp" shifts the columns right by whole characters.
    disegna("@BOXt 080\r\n@BOxp 010\r\n@BOXi 080\r\n" + Modello + riga("@BXr1", {{41, "Tipo"}}));
    EXPECT_NEAR(cella(QStringLiteral("Tipo")).a.x(), 10.5 + 10 * Carattere80, 1e-9);

    // The same template on 132 characters: narrower columns.
    disegna("@BOXt 132\r\n@BOXi 132\r\n" + Modello + riga("@BXr1", {{41, "Tipo"}}));
    EXPECT_NEAR(cella(QStringLiteral("Tipo")).a.x(), 0.9 + 40 * 19.2 / 132, 1e-9);

    // "@BOXl" changes the width of the next template only.
    disegna("@BOXt 080\r\n@BOXi 080\r\n@BOXl 040\r\n" + Modello + riga("@BXr1", {{11, "Dieci"}}));
    EXPECT_NEAR(cella(QStringLiteral("Dieci")).a.x(), 0.9, 1e-9); // inside column 1..15
    disegna("@BOXt 080\r\n@BOXi 080\r\n@BOXl 040\r\n" + riga("@BXt1", {{11, "t"}, {20, "T"}})
            + riga("@BXr1", {{11, "Dieci"}}));
    EXPECT_NEAR(cella(QStringLiteral("Dieci")).a.x(), 0.9 + 10 * 19.2 / 40, 1e-9);
}

TEST_F(ProvaTabelle, HeadingCellsAreLowerCasedUnlessTheFileAsksToKeepThem)
{
    // Host byte 0x90 is the capital E acute.
    const QByteArray intestazione = riga(
        "@BXI1", {{1, "DESCRIZIONE"}, {20, "IMPORTO"}, {28, "PREZZO"}, {41, "CITT\x90 DI ARRIVO"}, {65, "TOTALE"}});
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + Modello + intestazione);
    // C columns hold no heading text.
    EXPECT_FALSE(haCella(QStringLiteral("descrizione")));
    EXPECT_FALSE(haCella(QStringLiteral("DESCRIZIONE")));
    const auto citta = cella(superficie->testoPerFont("citt\xE9 di arrivo"));
    EXPECT_NEAR(citta.a.x(), 10.5, 1e-9);
    EXPECT_NEAR(citta.a.y(), 0.3, 1e-9);
    EXPECT_NEAR(citta.dimensione, 7, 0.1);
    EXPECT_FALSE(citta.grassetto);
    EXPECT_TRUE(cella(QStringLiteral("prezzo")).grassetto);
    // Right-aligned headings end at the right edge of their columns, in 7 points.
    const auto importo = cella(QStringLiteral("importo"));
    EXPECT_NEAR(importo.dimensione, 7, 0.1);
    EXPECT_NEAR(importo.a.x() + larghezza(importo), x80(17) + 10 * Carattere80, 1e-6);
    const auto totale = cella(QStringLiteral("totale"));
    EXPECT_NEAR(totale.a.x() + larghezza(totale), x80(57) + 14 * Carattere80, 1e-6);
    EXPECT_FALSE(haCella(QStringLiteral("TOTALE")));

    disegna("@FLDB\r\n@BOXt 080\r\n@BOXi 080\r\n" + Modello + intestazione);
    EXPECT_TRUE(haCella(superficie->testoPerFont("CITT\xC9 DI ARRIVO")));
    EXPECT_TRUE(haCella(QStringLiteral("TOTALE")));
    EXPECT_FALSE(haCella(QStringLiteral("totale")));
}

TEST_F(ProvaTabelle, HeadingRulesNowAtClosingAndAtTheTemplatesLastSmallI)
{
    const QByteArray modello = riga("@BXt1", {{1, "c"}, {20, "C"}, {30, "i"}, {50, "i"}, {60, "F"}});
    // "@BXi1": a thin rule at once, from the left margin to the frame's right edge.
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + modello + riga("@BXi1", {{60, "X"}}) + riga("@BXr1", {{1, "dopo"}}));
    const auto x = cella(QStringLiteral("x")); // headings are lower-cased
    EXPECT_NEAR(x.a.y(), 0.3, 1e-9);
    const double fineIntestazione = 0.3 + altezzaA(x.famiglia, 7);
    QList<OperazioneRegistrata> orizzontali, verticali;
    linee(orizzontali, verticali);
    ASSERT_EQ(orizzontali.size(), 1);
    EXPECT_NEAR(orizzontali[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(orizzontali[0].b.x(), x80(60), 1e-9);
    EXPECT_NEAR(orizzontali[0].a.y(), fineIntestazione, 1e-6); // 0.1 up, then 0.1 down
    EXPECT_NEAR(orizzontali[0].spessore, Punto, 1e-12);
    // The next row starts 0.1 below the rule.
    EXPECT_NEAR(cella(QStringLiteral("dopo")).a.y() + altezzaA(x.famiglia, 9.5),
                fineIntestazione + 0.1 + altezzaA(x.famiglia, 11), 1e-6);
    // Both "i" columns draw their rule at the last "i" of the template, from
    // just above the template down to below the heading.
    ASSERT_EQ(verticali.size(), 2);
    for (const auto &v : verticali) {
        EXPECT_NEAR(v.a.x(), x80(50), 1e-9);
        EXPECT_NEAR(v.b.x(), x80(50), 1e-9);
        EXPECT_NEAR(v.a.y(), 0.3 - 0.1, 1e-9);
        EXPECT_NEAR(v.b.y(), 0.3 + altezzaA(x.famiglia, 10) + 0.1, 1e-6);
    }

    // "@Bxi1": the rule waits for the frame and is drawn 0.1 lower, across it.
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + riga("@BXt1", {{1, "c"}, {20, "C"}}) + riga("@Bxi1", {{60, "X"}})
            + "@BOXf\r\n");
    orizzontali.clear();
    verticali.clear();
    linee(orizzontali, verticali);
    EXPECT_TRUE(verticali.isEmpty());
    ASSERT_EQ(orizzontali.size(), 1);
    // No printing column: the heading adds nothing but its 0.1.
    EXPECT_NEAR(orizzontali[0].a.y(), 0.3 + 0.1, 1e-9);
    EXPECT_NEAR(orizzontali[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(orizzontali[0].b.x(), 20.3, 1e-9);
    EXPECT_NEAR(orizzontali[0].spessore, Punto, 1e-12);
}

TEST_F(ProvaTabelle, DataRowsShareABaselineAndBoldRowsAreBold)
{
    const QByteArray dati = riga("@BXr1", {{1, "Volo"}, {22, "12,50"}, {28, "Forte"}, {41, "Tipo"}, {80, "Z"}});
    const QByteArray grassetto = riga("@BXR1", {{1, "Hotel"}, {22, "99,00"}, {41, "Camera"}, {80, "W"}});
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + Modello + dati + grassetto + riga("@BXr1", {{1, "Ultima"}}));
    const auto volo = cella(QStringLiteral("Volo")), importo = cella(QStringLiteral("12,50"));
    const auto forte = cella(QStringLiteral("Forte")), tipo = cella(QStringLiteral("Tipo"));
    const auto z = cella(QStringLiteral("Z"));
    const QString famiglia = volo.famiglia;
    const double h = altezzaA(famiglia, 11);
    EXPECT_NEAR(volo.dimensione, 9.5, 0.1);
    EXPECT_NEAR(tipo.dimensione, 10.5, 0.1);
    EXPECT_NEAR(forte.dimensione, 11, 0.1);
    EXPECT_NEAR(importo.dimensione, 11, 0.1);
    EXPECT_TRUE(forte.grassetto);
    for (const auto &op : {volo, importo, tipo, z})
        EXPECT_FALSE(op.grassetto) << op.testo.toStdString();
    // Every cell's line ends where an 11-point line ends.
    const double y = 0.3;
    EXPECT_NEAR(volo.a.y() + altezzaA(famiglia, 9.5), y + h, 1e-6);
    EXPECT_NEAR(tipo.a.y() + altezzaA(famiglia, 10.5), y + h, 1e-6);
    EXPECT_NEAR(forte.a.y(), y, 1e-9);
    EXPECT_NEAR(importo.a.y(), y, 1e-9);
    EXPECT_NEAR(z.a.y(), y, 1e-9);

    // The bold row: every printed cell bold, one 11-point line lower.
    for (const char *t : {"Hotel", "99,00", "Camera", "W"})
        EXPECT_TRUE(cella(QLatin1String(t)).grassetto) << t;
    EXPECT_NEAR(cella(QStringLiteral("Hotel")).a.y() + altezzaA(famiglia, 9.5), y + 2 * h, 1e-6);
    // Bold does not leak into the next row.
    const auto ultima = cella(QStringLiteral("Ultima"));
    EXPECT_FALSE(ultima.grassetto);
    EXPECT_NEAR(ultima.a.y() + altezzaA(famiglia, 9.5), y + 3 * h, 1e-6);

    // "@BXr2" raises the row by half a line of the current font, less 0.05.
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + Modello + riga("@BXr2", {{28, "Alto"}}));
    EXPECT_NEAR(cella(QStringLiteral("Alto")).a.y(), 0.3 - h / 2 + 0.05, 1e-6);
}

TEST_F(ProvaTabelle, AFramedTotalCellAndTheBoldCellAfterIt)
{
    const QByteArray modello =
        riga("@BXt1", {{1, "c"}, {30, "C"}, {31, "b"}, {45, "B"}, {47, "c"}, {60, "C"}, {80, "F"}});
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + modello + riga("@BXr1", {{1, "Totale"}, {40, "450,00"}, {47, "Euro"}})
            + riga("@BXr1", {{1, "Dopo"}}));
    // Every row of the template frames its B column, one row apart.
    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 2);
    EXPECT_NEAR(rettangoli[1].a.y() - rettangoli[0].a.y(), altezzaA(cella(QStringLiteral("Dopo")).famiglia, 11), 1e-6);
    EXPECT_NEAR(rettangoli[0].a.x(), x80(31), 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 0.3 - 0.1, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), 20.3, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), 0.3 + 0.4, 1e-9);
    EXPECT_FALSE(rettangoli[0].pieno); // the total stays readable
    EXPECT_NEAR(rettangoli[0].spessore, 3 * Punto, 1e-12);
    const auto totale = cella(QStringLiteral("450,00"));
    EXPECT_TRUE(totale.grassetto);
    EXPECT_NEAR(totale.dimensione, 10, 0.1);
    EXPECT_NEAR(totale.a.x() + larghezza(totale), x80(31) + 15 * Carattere80, 1e-6);
    // Inside its frame, on the row's baseline.
    EXPECT_NEAR(totale.a.y() + altezzaA(totale.famiglia, 10), 0.3 + altezzaA(totale.famiglia, 11), 1e-6);
    EXPECT_FALSE(cella(QStringLiteral("Totale")).grassetto);
    // The cell after the total prints bold although the row is plain.
    EXPECT_TRUE(cella(QStringLiteral("Euro")).grassetto);
    EXPECT_FALSE(cella(QStringLiteral("Dopo")).grassetto);
}

TEST_F(ProvaTabelle, ClosingDrawsTheFrameItsInnerRulesAndDeferredRules)
{
    disegna("@BOXt 080\r\n@BOXi 080\r\n" + Modello + riga("@BXr1", {{1, "Uno"}}) + "@BXri\r\n"
            + riga("@BXr1", {{1, "Due"}}) + "@BXRI\r\n" + riga("@BXr1", {{1, "Tre"}}) + "@BOXf\r\n"
            + riga("@BXT1", {{22, "7,00"}}));
    const QString famiglia = cella(QStringLiteral("Uno")).famiglia;
    const double h = altezzaA(famiglia, 11);
    // Rows from 0.3, each rule taking 0.2.
    const double fondo = 0.3 + 3 * h + 0.4;
    EXPECT_NEAR(cella(QStringLiteral("Tre")).a.y() + altezzaA(famiglia, 9.5), fondo, 1e-6);

    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 1);
    EXPECT_NEAR(rettangoli[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 0.2, 1e-9);     // "@BOXi": 0.2 below the running position
    EXPECT_NEAR(rettangoli[0].b.x(), x80(80), 1e-9); // the F column
    EXPECT_NEAR(rettangoli[0].b.y(), fondo + 0.1, 1e-6);
    EXPECT_FALSE(rettangoli[0].pieno);
    EXPECT_NEAR(rettangoli[0].spessore, 3 * Punto, 1e-12);

    QList<OperazioneRegistrata> orizzontali, verticali;
    linee(orizzontali, verticali);
    // The inner rule of the I column, 0.1 right of its edge, top to bottom of the frame.
    ASSERT_EQ(verticali.size(), 1);
    EXPECT_NEAR(verticali[0].a.x(), x80(39) + 0.1, 1e-9);
    EXPECT_NEAR(verticali[0].a.y(), 0.2, 1e-9);
    EXPECT_NEAR(verticali[0].b.y(), fondo + 0.1, 1e-6);
    EXPECT_NEAR(verticali[0].spessore, 3 * Punto, 1e-12);
    // "@BXRI" at once up to the F column; "@BXri" at closing across the frame.
    ASSERT_EQ(orizzontali.size(), 2);
    EXPECT_NEAR(orizzontali[0].a.y(), 0.3 + 2 * h + 0.3, 1e-6);
    EXPECT_NEAR(orizzontali[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(orizzontali[0].b.x(), x80(80), 1e-9);
    EXPECT_NEAR(orizzontali[0].spessore, Punto, 1e-12);
    EXPECT_NEAR(orizzontali[1].a.y(), 0.3 + h + 0.1, 1e-6); // the pen's Y, drawn 0.1 lower
    EXPECT_NEAR(orizzontali[1].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(orizzontali[1].b.x(), 20.3, 1e-9);
    EXPECT_NEAR(orizzontali[1].spessore, Punto, 1e-12);
    // No outer frame of its own; the totals start 0.1 below the frame.
    EXPECT_NEAR(cella(QStringLiteral("7,00")).a.y(), fondo + 0.1 + 0.2, 1e-6);

    // In voucher layout "@BOXi" starts 0.5 lower and the frame ends on the last line.
    disegna("@TITV VOUCHER\r\n@BOXt 080\r\n@BOXi 080\r\n" + Modello + riga("@BXr1", {{1, "Uno"}}) + "@BOXf\r\n");
    const auto voucher = di(Tipo::Rettangolo);
    ASSERT_EQ(voucher.size(), 2); // the title's box, then the table's
    EXPECT_NEAR(voucher[1].a.x(), 1.3, 1e-9);
    EXPECT_NEAR(voucher[1].a.y(), 3 + 0.5, 1e-9);
    EXPECT_NEAR(voucher[1].b.y(), 3 + 0.6 + h, 1e-6);
}

TEST_F(ProvaTabelle, NestedBoxesWithAndWithoutTheOuterFrame)
{
    // Two boxes side by side, 40 characters each, each opened by "@BOxi".
    const QByteArray sinistra = "@BOxi 040\r\n" + riga("@BXt1", {{1, "t"}, {30, "T"}, {38, "I"}, {40, "F"}})
                                + riga("@BXr1", {{1, "S1"}}) + riga("@BXr1", {{1, "S2"}});
    const QByteArray destra = "@BOxi 040\r\n" + riga("@BXt1", {{1, "t"}, {30, "T"}}) + riga("@BXr1", {{1, "D1"}});
    const auto annidate = [&](const char *apertura, const char *chiusura) {
        disegna("@BOXt 080\r\n" + sinistra + apertura + destra + chiusura + riga("@BXT1", {{1, "dopo"}}));
    };

    // "@Bxfn": the left box is unframed and an outer frame holds both.
    annidate("@Bxfn\r\n", "@BOXf\r\n");
    const QString famiglia = cella(QStringLiteral("S1")).famiglia;
    const double fondoSinistra = 0.6 + 2 * altezzaA(famiglia, 11);
    // The right box starts level with the left one, its columns 40 characters on.
    EXPECT_NEAR(cella(QStringLiteral("D1")).a.x(), x80(1, 40), 1e-9);
    EXPECT_NEAR(cella(QStringLiteral("D1")).a.y(), cella(QStringLiteral("S1")).a.y(), 1e-9);
    auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 1);
    EXPECT_NEAR(rettangoli[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 0.5, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), 20.3, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), fondoSinistra + 0.1, 1e-6);
    QList<OperazioneRegistrata> orizzontali, verticali;
    linee(orizzontali, verticali);
    EXPECT_TRUE(orizzontali.isEmpty());
    ASSERT_EQ(verticali.size(), 1); // the left box's inner rule
    EXPECT_NEAR(verticali[0].a.x(), x80(38) + 0.1, 1e-9);
    EXPECT_NEAR(verticali[0].a.y(), 0.5, 1e-9);
    EXPECT_NEAR(verticali[0].b.y(), fondoSinistra + 0.1, 1e-6);
    // Closing returns to the first level's columns, below the frame.
    EXPECT_NEAR(cella(QStringLiteral("dopo")).a.x(), 0.9, 1e-9);
    EXPECT_NEAR(cella(QStringLiteral("dopo")).a.y(), fondoSinistra + 0.1 + 0.2, 1e-6);

    // "@Bxfi": the left box keeps its own frame up to its F column; no outer frame.
    annidate("@Bxfi\r\n", "@BOXf\r\n");
    rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 1);
    EXPECT_NEAR(rettangoli[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 0.5, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), x80(40), 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), fondoSinistra + 0.1, 1e-6);
    EXPECT_NEAR(rettangoli[0].spessore, 3 * Punto, 1e-12);

    // "@BxfI": a thin frame.
    annidate("@BxfI\r\n", "@BOXf\r\n");
    rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 1);
    EXPECT_NEAR(rettangoli[0].spessore, Punto, 1e-12);
    EXPECT_NEAR(rettangoli[0].b.y(), fondoSinistra + 0.1, 1e-6);

    // "@BOxf" never draws the outer frame and leaves the position 0.5 higher.
    annidate("@Bxfn\r\n", "@BOxf\r\n");
    EXPECT_TRUE(di(Tipo::Rettangolo).isEmpty());
    EXPECT_NEAR(cella(QStringLiteral("dopo")).a.y(), fondoSinistra - 0.5 + 0.2, 1e-6);
}

TEST_F(ProvaTabelle, ThreeLevelsFrameEachBoxUpToTheNextOne)
{
    QByteArray righe = "@BOXt 080\r\n";
    for (int i = 0; i < 3; ++i) {
        righe += "@BOxi 020\r\n" + riga("@BXt1", {{1, "c"}, {10, "C"}}) + riga("@BXr1", {{1, "R"}});
        if (i < 2)
            righe += "@Bxfi\r\n";
    }
    disegna(righe + "@BOXf\r\n");
    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 2);
    // The second box starts half a character (of the row's last size, 9.5)
    // left of its first column.
    const double secondo = x80(1, 20) - larghezzaA(cella(QStringLiteral("R")).famiglia, 9.5) / 2;
    EXPECT_NEAR(rettangoli[0].a.x(), 0.7, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), secondo, 1e-6);
    EXPECT_NEAR(rettangoli[1].a.x(), secondo, 1e-6);
    EXPECT_NEAR(rettangoli[1].b.x(), 20.3, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), rettangoli[1].b.y(), 1e-9);
}

TEST_F(ProvaTabelle, TotalsRowFramesItsTotalToTheTablesRightEdge)
{
    const QByteArray modello =
        riga("@BXt1", {{1, "t"}, {20, "T"}, {41, "b"}, {55, "B"}, {61, "d"}, {75, "D"}, {80, "F"}});
    // Voucher margins: left 1.3, right 0.7.
    disegna("@TITV VOUCHER\r\n@BOXt 080\r\n@BOXi 080\r\n" + modello + riga("@BXr1", {{1, "riga"}}) + "@BOXf\r\n"
            + riga("@BXT2", {{1, "Totale"}, {50, "450,00"}, {73, "EUR"}}));
    const double carattere = (21 - 1.3 - 0.7 - 0.4) / 80;
    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 4); // title, the row's B frame, table, total
    const double altoTotali = rettangoli[2].b.y() + 0.1 + 0.2;
    const auto totaleTesto = cella(QStringLiteral("Totale"));
    EXPECT_NEAR(totaleTesto.a.x(), 1.5, 1e-9);
    EXPECT_NEAR(totaleTesto.a.y(), altoTotali + 0.2, 1e-6);
    EXPECT_NEAR(totaleTesto.dimensione, 9, 0.1);
    const auto totale = cella(QStringLiteral("450,00"));
    EXPECT_TRUE(totale.grassetto);
    EXPECT_NEAR(totale.dimensione, 10, 0.1);
    EXPECT_NEAR(totale.a.y(), altoTotali + 0.2, 1e-6);
    EXPECT_NEAR(totale.a.x() + larghezza(totale), 1.5 + 55 * carattere, 1e-6);
    const auto cornice = rettangoli[3];
    EXPECT_NEAR(cornice.a.x(), 1.5 + 40 * carattere, 1e-9);
    EXPECT_NEAR(cornice.a.y(), altoTotali, 1e-6);
    EXPECT_NEAR(cornice.b.x(), 21 - 0.7, 1e-9); // the right margin, like the table's frames
    EXPECT_NEAR(cornice.b.y(), altoTotali + 0.6, 1e-6);
    EXPECT_FALSE(cornice.pieno);
    // The cell after the total is printed 0.6 lower, not bold.
    const auto euro = cella(QStringLiteral("EUR"));
    EXPECT_NEAR(euro.a.y(), altoTotali + 0.6 + 0.2, 1e-6);
    EXPECT_FALSE(euro.grassetto);
    EXPECT_NEAR(euro.a.x() + larghezza(euro), 1.5 + 75 * carattere, 1e-6);
}

TEST_F(ProvaTabelle, CondensedTablesUseTheSmallerSizes)
{
    const QByteArray modello =
        riga("@BXt1", {{1, "c"}, {20, "C"}, {41, "t"}, {60, "T"}, {61, "t"}, {80, "T"}, {132, "F"}});
    disegna("@BOXt 132\r\n@BOXi 132\r\n" + modello + riga("@BXI1", {{41, "TIPO"}})
            + riga("@BXr1", {{1, "Volo"}, {41, "Andata"}}) + riga("@BXr1", {{1, "Hotel"}}) + "@BOXf\r\n"
            + riga("@BXT1", {{41, "\xFB"}, {61, "ok"}}));
    EXPECT_NEAR(cella(QStringLiteral("tipo")).dimensione, 6, 0.1);
    const auto volo = cella(QStringLiteral("Volo")), hotel = cella(QStringLiteral("Hotel"));
    EXPECT_NEAR(volo.dimensione, 8, 0.1);
    EXPECT_NEAR(cella(QStringLiteral("Andata")).dimensione, 8, 0.1);
    // Rows are one 8.5-point line and 0.1 apart.
    EXPECT_NEAR(hotel.a.y() - volo.a.y(), altezzaA(volo.famiglia, 8.5) + 0.1, 1e-6);
    // The host's check mark in a totals cell prints at 9 points, other cells at 8.5.
    EXPECT_NEAR(cella(superficie->testoPerFont("\xFB")).dimensione, 9, 0.1);
    EXPECT_NEAR(cella(QStringLiteral("ok")).dimensione, 8.5, 0.1);
}

TEST_F(ProvaTabelle, TableFaultsEndTheProgramNamingTheLine)
{
    const QByteArray colonne31(31, 'I');
    QByteArray livelli11 = "@BOXt 080\r\n";
    for (int i = 0; i < 10; ++i)
        livelli11 += "@BOxi 004\r\n@BXt1 c C\r\n@Bxfi\r\n";
    const struct
    {
        const char *nome;
        QByteArray righe;
        QString messaggio;
    } casi[] = {
        {"blank width", "@BOXt\r\n@BOXi\r\n@BXt1 c  C\r\n@BXr1 mai\r\n",
         QStringLiteral("Routine frmvorpla - GRAFICA\r Errore N.11 Division by zero\r\nTag: @BXt1 c  C")},
        {"31 columns", "@BOXt 080\r\n@BXt1 " + colonne31 + "\r\n@BXr1 mai\r\n",
         QStringLiteral("Routine frmvorpla - GRAFICA\r Errore N.9 Subscript out of range\r\nTag: @BXt1 ")
             + QString::fromLatin1(colonne31)},
        {"11 levels", livelli11 + "@BXr1 mai\r\n",
         QStringLiteral("Routine frmvorpla - GRAFICA\r Errore N.9 Subscript out of range\r\nTag: @Bxfi")},
    };
    for (const auto &caso : casi) {
        messaggi.testi.clear();
        EXPECT_EQ(disegna(caso.righe), FineConErrore) << caso.nome;
        EXPECT_EQ(messaggi.testi, QStringList{caso.messaggio}) << caso.nome;
        EXPECT_FALSE(haCella(QStringLiteral("mai"))) << caso.nome;
    }

    // Thirty columns and ten levels are drawn.
    messaggi.testi.clear();
    QByteArray livelli10 = "@BOXt 080\r\n";
    for (int i = 0; i < 9; ++i)
        livelli10 += "@BOxi 004\r\n@BXt1 c C\r\n@Bxfi\r\n";
    EXPECT_EQ(disegna("@BOXt 080\r\n@BXt1 " + colonne31.left(30) + "\r\n" + livelli10
                      + "@BOxi 004\r\n@BXt1 c C\r\n@BXr1 ultimo\r\n@BOXf\r\n"),
              std::nullopt);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_TRUE(haCella(QStringLiteral("ult"))); // the template's three characters
}
