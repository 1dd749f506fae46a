// The preview's interpreter on a recording surface of its 19 by 27 cm page:
// its anchors, its markers, one page from its start line to its page end,
// and nothing read around the print file.

#include "ProvaInterprete.h"

#include "common/ErroreVB.h"
#include "interpreter/InterpreteAnteprima.h"

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaAnteprima : public ProvaInterprete
{
protected:
    void anteprima(const QByteArray &righe, qint64 primaRiga = 1)
    {
        superficie = std::make_unique<SuperficieRegistrata>(QStringLiteral("frmPreview"), QSizeF(19, 27));
        const QString file = cartella.scrivi(QStringLiteral("job/stampa.txt"), righe);
        InterpreteAnteprima interprete(*superficie, file);
        interprete.DISEGNA(primaRiga);
        stato = interprete.stato();
    }

    double larghezza(const OperazioneRegistrata &op) const
    {
        QFont f(op.famiglia);
        f.setPointSizeF(op.dimensione);
        f.setBold(op.grassetto);
        return misuraTestoCm(op.testo, f, 600).width();
    }
};

// A vorpla.ini that would move everything on the printer: the preview
// reads none of it.
const QByteArray IniCheSposta = "[MARGINI]\r\nMARGINESUP=3\r\n[Pagina voucher]\r\nIndirizzo a sx=si\r\nBold=1\r\n"
                                "Spaz sx=no\r\n[LOGO]\r\nLarghezza=2\r\nAltezza=1\r\n";

} // namespace

TEST_F(ProvaAnteprima, TheDocumentPageHasThePreviewsAnchors)
{
    ini(IniCheSposta);
    anteprima("@INTE\r\n@INT1 AGENZIA\r\n@INDI\r\n@INDb ROSSI MARIO\r\n@INDn Via Verdi 2\r\n@INDf 40100 BOLOGNA\r\n"
              "@RIFE Rif. 12\r\n@DATA 09/12/2026\r\n@TITO FATTURA\r\n@TEXT\r\n@TXTn Testo libero\r\n"
              "@TIT3 RIEPILOGO\r\n@DAT3 Scadenza 31/12\r\n");

    const auto agenzia = testo(QStringLiteral("AGENZIA"));
    EXPECT_NEAR(agenzia.a.x(), 0.2, 1e-9);
    EXPECT_NEAR(agenzia.a.y(), 1, 1e-9); // no top margin

    // The address window from (10, 4) to the right margin at 7 cm; its lines
    // in 12 points at G + 10, the last one no higher than 7.5.
    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_GE(rettangoli.size(), 1);
    EXPECT_NEAR(rettangoli[0].a.x(), 10, 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 4, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), 18.8, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), 7, 1e-9);
    const auto nome = testo(QStringLiteral("ROSSI MARIO"));
    EXPECT_NEAR(nome.a.x(), 10.2, 1e-9);
    EXPECT_NEAR(nome.a.y(), 4.2, 1e-9);
    EXPECT_NEAR(nome.dimensione, 12, 0.05);
    EXPECT_TRUE(nome.grassetto);
    EXPECT_FALSE(testo(QStringLiteral("Via Verdi 2")).grassetto); // the ini's Bold is not read
    const auto citta = testo(QStringLiteral("40100 BOLOGNA"));
    EXPECT_NEAR(citta.a.x(), 10.2, 1e-9);
    EXPECT_NEAR(citta.a.y(), 7.5, 1e-9);
    EXPECT_NEAR(citta.dimensione, 12, 0.05);

    // References at (L, 7.5) in the base size; the date against the right
    // margin on the title's line; "@DAT3" against it at 10.5.
    const auto rif = testo(QStringLiteral("Rif. 12"));
    EXPECT_NEAR(rif.a.x(), 0.2, 1e-9);
    EXPECT_NEAR(rif.a.y(), 7.5, 1e-9);
    EXPECT_NEAR(rif.dimensione, 11, 0.05);
    const auto data = testo(QStringLiteral("09/12/2026"));
    EXPECT_NEAR(data.a.x() + larghezza(data), 18.8, 1e-6);
    EXPECT_NEAR(data.a.y(), 9, 1e-9);
    const auto scadenza = testo(QStringLiteral("Scadenza 31/12"));
    EXPECT_NEAR(scadenza.a.x() + larghezza(scadenza), 18.8, 1e-6);
    EXPECT_NEAR(scadenza.a.y(), 10.5, 1e-9);
    EXPECT_NEAR(scadenza.dimensione, 11, 0.05);

    // "@TITO": 12 points bold, centred, framed from 8.8 to 0.2 below the
    // text; the running position stays where "@RIFE" left it, so "@TEXT"
    // goes on 0.5 below the reference line.
    const auto titolo = testo(QStringLiteral("FATTURA"));
    const double tw = larghezza(titolo);
    EXPECT_NEAR(titolo.a.x(), (19 - tw) / 2, 1e-6);
    EXPECT_NEAR(titolo.a.y(), 9, 1e-9);
    EXPECT_NEAR(titolo.dimensione, 12, 0.05);
    EXPECT_TRUE(titolo.grassetto);
    ASSERT_GE(rettangoli.size(), 3);
    EXPECT_NEAR(rettangoli[1].a.x(), titolo.a.x() - 0.2, 1e-6);
    EXPECT_NEAR(rettangoli[1].a.y(), 8.8, 1e-9);
    EXPECT_NEAR(rettangoli[1].b.x(), titolo.a.x() + tw + 0.2, 1e-6);
    EXPECT_GT(rettangoli[1].b.y(), 9.2);
    EXPECT_NEAR(testo(QStringLiteral("RIEPILOGO")).a.y(), 10.5, 1e-9);
    EXPECT_NEAR(rettangoli[2].a.y(), 10.3, 1e-9);
    const auto libero = testo(QStringLiteral("Testo libero"));
    EXPECT_NEAR(libero.a.x(), 0.4, 1e-9);
    EXPECT_NEAR(libero.a.y(), 8, 1e-9);
    EXPECT_NEAR(libero.dimensione, 11, 0.05);
}

TEST_F(ProvaAnteprima, OnlyTheVoucherAddressAndTitleSwitchTheVoucherLayoutOn)
{
    anteprima("@INTE\r\n@LOGV manca.bmp\r\n@INDI\r\n@INDb ROSSI\r\n");
    EXPECT_NEAR(testo(QStringLiteral("ROSSI")).a.x(), 10.2, 1e-9);
    EXPECT_NEAR(testo(QStringLiteral("ROSSI")).dimensione, 12, 0.05);
}

TEST_F(ProvaAnteprima, VoucherLayoutGrowsByACentimetreAndReadsNoSettings)
{
    ini(IniCheSposta);
    anteprima("@INTV\r\n@INDV\r\n@INDb BIANCHI\r\n@INDf 00100 ROMA\r\n@TITV VOUCHER\r\n@DATV 09/12\r\n"
              "@TXTV\r\n@TXVb Hotel:\r\n@TXVn Roma Centro\r\n");
    const auto rettangoli = di(Tipo::Rettangolo);
    ASSERT_EQ(rettangoli.size(), 2);
    // O = 1: the window at (11, O) to the right margin, whatever the ini says.
    EXPECT_NEAR(rettangoli[0].a.x(), 11, 1e-9);
    EXPECT_NEAR(rettangoli[0].a.y(), 1, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.x(), 18.8, 1e-9);
    EXPECT_NEAR(rettangoli[0].b.y(), 3.4, 1e-9);
    const auto nome = testo(QStringLiteral("BIANCHI"));
    EXPECT_NEAR(nome.a.x(), 11.2, 1e-9);
    EXPECT_NEAR(nome.a.y(), 1.2, 1e-9);
    EXPECT_NEAR(nome.dimensione, 11.5, 0.1);
    EXPECT_NEAR(testo(QStringLiteral("00100 ROMA")).a.x(), 11.2, 1e-9);
    // The voucher title on O + 3, framed 0.1 above and below, margins kept.
    const auto titolo = testo(QStringLiteral("VOUCHER"));
    EXPECT_NEAR(titolo.a.y(), 4, 1e-9);
    EXPECT_NEAR(titolo.a.x(), (19 - larghezza(titolo)) / 2, 1e-6);
    EXPECT_NEAR(rettangoli[1].a.y(), 3.9, 1e-9);
    const auto data = testo(QStringLiteral("09/12"));
    EXPECT_NEAR(data.dimensione, 12, 0.05);
    EXPECT_NEAR(data.a.x() + larghezza(data), 18.8, 1e-6);
    EXPECT_NEAR(data.a.y(), 4, 1e-9);
    // Voucher text 0.1 below the date's line in 10.5 points; the value 1.5
    // further in (the ini's "Spaz sx" is not read).
    const auto voce = testo(QStringLiteral("Hotel:"));
    EXPECT_NEAR(voce.a.y(), 4.07, 1e-9);
    EXPECT_NEAR(voce.a.x(), 0.4, 1e-9);
    EXPECT_NEAR(voce.dimensione, 10.5, 0.1);
    EXPECT_NEAR(testo(QStringLiteral("Roma Centro")).a.x(), 1.9, 1e-9);
    EXPECT_NEAR(testo(QStringLiteral("Roma Centro")).a.y(), 4.07, 1e-9);
}

TEST_F(ProvaAnteprima, TwoColumnLinesWaitForTheirEndMarker)
{
    const QByteArray colonne = "@TEXT\r\n@TXT2 uno\r\n@TXT2 due\r\n@TXT2 tre\r\n@TXT2 quattro\r\n@TXTb dopo\r\n";
    anteprima(colonne);
    EXPECT_FALSE(haTesto(QStringLiteral("uno"))) << "no end marker, nothing drawn";
    EXPECT_NEAR(testo(QStringLiteral("dopo")).dimensione, 11, 0.05) << "free text keeps the preview's size";

    anteprima(colonne + "@TXTf\r\n");
    const auto uno = testo(QStringLiteral("uno")), due = testo(QStringLiteral("due"));
    const auto tre = testo(QStringLiteral("tre")), quattro = testo(QStringLiteral("quattro"));
    EXPECT_NEAR(uno.a.x(), 0.4, 1e-9);
    EXPECT_NEAR(due.a.x(), 0.4, 1e-9);
    EXPECT_NEAR(tre.a.x(), 10.5, 1e-9);
    EXPECT_NEAR(quattro.a.x(), 10.5, 1e-9);
    EXPECT_NEAR(uno.a.y(), tre.a.y(), 1e-9);
    EXPECT_GT(due.a.y(), uno.a.y());
    EXPECT_NEAR(uno.dimensione, 5.5, 0.1);
    const auto linee = di(Tipo::Linea);
    ASSERT_EQ(linee.size(), 1);
    EXPECT_NEAR(linee[0].a.x(), 9.6, 1e-9);
    EXPECT_NEAR(linee[0].b.x(), 9.6, 1e-9);
    EXPECT_GT(linee[0].b.y(), linee[0].a.y());
}

TEST_F(ProvaAnteprima, OnePageFromItsStartLineAndOnlyThePreviewsMarkers)
{
    const QByteArray righe = "@RIGA griglia\r\n@INT4 quarta\r\n@SNPG 1\r\n@TXTc centrato\r\n@TEXT\r\n@TXTn pagina uno\r\n"
                             "  @PAGV\r\n@TEXT\r\n@TXTn pagina due\r\n@PAGE\r\n@TXTn pagina tre\r\n";
    anteprima(righe);
    EXPECT_TRUE(haTesto(QStringLiteral("pagina uno")));
    EXPECT_FALSE(haTesto(QStringLiteral("pagina due")));
    for (const char *assente : {"griglia", "quarta", "centrato"})
        EXPECT_FALSE(haTesto(QLatin1String(assente))) << assente;
    EXPECT_EQ(superficie->pagine(), 1);
    EXPECT_TRUE(di(Tipo::Linea).isEmpty()) << "no fold mark";

    anteprima(righe, 8);
    EXPECT_FALSE(haTesto(QStringLiteral("pagina uno")));
    EXPECT_TRUE(haTesto(QStringLiteral("pagina due")));
    EXPECT_FALSE(haTesto(QStringLiteral("pagina tre")));
    // The page starts afresh: "@TEXT" goes 0.5 below the top.
    EXPECT_NEAR(testo(QStringLiteral("pagina due")).a.y(), 0.5, 1e-9);
}

TEST_F(ProvaAnteprima, AnErrorNamesItsLineAndReachesTheWindow)
{
    try {
        anteprima("@TEXT\r\n@BOXt 000\r\n@BOXi 000\r\n@BXt1 c  C\r\n@BXr1 dato\r\n");
        FAIL() << "a table without width has no geometry";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), 11);
        EXPECT_TRUE(e.descrizione().contains(QStringLiteral("Tag: @B"))) << e.descrizione().toStdString();
    }
    EXPECT_TRUE(messaggi.testi.isEmpty());
}
