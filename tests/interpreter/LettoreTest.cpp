// The reader's rules: marker case, page changes, the fold mark, character
// conversion, the debug log and the error message.

#include "ProvaInterprete.h"

#include "common/ErroreVB.h"

#include <QDir>

using namespace vorpla;
using namespace vorpla::prova;

TEST_F(ProvaInterprete, EmptyFileDrawsOnlyTheFoldMark)
{
    EXPECT_FALSE(disegna("").has_value());
    const auto linee = di(Tipo::Linea);
    ASSERT_EQ(linee.size(), 1);
    EXPECT_NEAR(linee[0].a.y(), 29.7 * 2 / 3, 1e-9);
    EXPECT_NEAR(linee[0].b.x() - linee[0].a.x(), 0.1, 1e-9);
    EXPECT_EQ(linee[0].colore, QColor(128, 128, 128));
    EXPECT_EQ(superficie->pagine(), 1);
}

TEST_F(ProvaInterprete, MarkersAreCaseSensitive)
{
    disegna("@TEXT\r\n@TXTn uno\r\n@txtn due\r\n@TXTN tre\r\n");
    EXPECT_TRUE(haTesto(QStringLiteral("uno")));
    EXPECT_FALSE(haTesto(QStringLiteral("due")));
    EXPECT_FALSE(haTesto(QStringLiteral("tre")));
}

// "@DAT3" and "@TXTf" belong to the sister layouts only: the printer skips
// them like unknown markers.
TEST_F(ProvaInterprete, MarkersOfOtherLayoutsAreSkipped)
{
    disegna("@TEXT\r\n@DAT3 data\r\n@TXTf piede\r\n@TXTn testo\r\n");
    EXPECT_FALSE(haTesto(QStringLiteral("data")));
    EXPECT_FALSE(haTesto(QStringLiteral("piede")));
    EXPECT_TRUE(haTesto(QStringLiteral("testo")));
}

TEST_F(ProvaInterprete, NoEmptyPageAfterTheLastPageEndAndFaxSendStaysOnTheLastPage)
{
    disegna("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@FAXS\r\n\r\n");
    EXPECT_EQ(superficie->pagine(), 1);
    disegna("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n");
    EXPECT_EQ(superficie->pagine(), 2);
    EXPECT_EQ(testo(QStringLiteral("due")).pagina, 1);
    // Fold marks: one before the page change, one at the end of the file.
    EXPECT_EQ(di(Tipo::Linea).size(), 2);
}

TEST_F(ProvaInterprete, PageOverflowStartsOnePageAndAPageMarkThereAddsNone)
{
    ini("[Pagina voucher]\r\nAltezza=4\r\n");
    // The overflow line is 4 - 0.9 = 3.1 cm: reached after a few lines.
    QByteArray righe = "@TEXT\r\n";
    for (int i = 0; i < 12; ++i)
        righe += "@TXTn riga " + QByteArray::number(i) + "\r\n";
    righe += "@PAGE\r\n@TXTn dopo\r\n";
    disegna(righe);
    const int paginaDopo = testo(QStringLiteral("dopo")).pagina;
    const int paginaUltimaRiga = testo(QStringLiteral("riga 11")).pagina;
    EXPECT_EQ(paginaDopo, paginaUltimaRiga + 1);
    EXPECT_EQ(superficie->pagine(), paginaDopo + 1);
    EXPECT_GE(superficie->pagine(), 2);
}

TEST_F(ProvaInterprete, HostCharactersArriveConvertedAndPrintAsItalian)
{
    disegna("@TEXT\r\n@TXTn Citt\x85 di Forl\x8D, caff\x8A \xB3 perch\x82\r\n");
    EXPECT_TRUE(haTesto(QStringLiteral("Città di Forlì, caffè | perché")));
}

TEST_F(ProvaInterprete, DebugModeLogsEveryLineRead)
{
    lavoro().ModoDebug = true;
    disegna("@TEXT\r\n@TXTn uno   \r\n");
    const QStringList log = QDir(cartella.programma()).entryList({QStringLiteral("vorpla*.log")});
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(leggiFile(cartella.programma() + u'/' + log.at(0)), QByteArray("@TEXT\r\n@TXTn uno\r\n"));
}

TEST_F(ProvaInterprete, AnErrorEndsTheProgramNamingTheLine)
{
    EXPECT_EQ(disegna("@TEXT\r\n@VRIV xx\r\n@TXTn mai\r\n"), FineConErrore);
    EXPECT_EQ(messaggi.testi,
              QStringList{QStringLiteral("Routine frmvorpla - GRAFICA\r Errore N.13 Type mismatch\r\nTag: @VRIV xx")});
    EXPECT_FALSE(haTesto(QStringLiteral("mai")));
}

namespace {
// A printer that fails as soon as anything is drawn.
class SuperficieGuasta : public SuperficieRegistrata
{
protected:
    void disegnaTesto(QPointF, const QString &, const QFont &, const QColor &) override
    {
        throw ErroreVB(Err::ErroreStampante);
    }
};
} // namespace

TEST_F(ProvaInterprete, PrinterErrorOnAPdfPrinterEndsTheRunQuietly)
{
    SuperficieGuasta guasta;
    form.StampanteSelezionata = QStringLiteral("PDFCreator");
    EXPECT_FALSE(disegnaSu(guasta, "@TEXT\r\n@TXTn uno\r\n").has_value());
    EXPECT_TRUE(messaggi.testi.isEmpty());

    form.StampanteSelezionata = QStringLiteral("Office");
    EXPECT_EQ(disegnaSu(guasta, "@TEXT\r\n@TXTn uno\r\n"), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Routine frmvorpla - GRAFICA\r Errore N.482 Printer error")));
}

TEST_F(ProvaInterprete, LinesWithoutBreaksOrWithBinaryBytesNeverHang)
{
    QByteArray rumore;
    for (int i = 0; i < 5000; ++i)
        rumore += char((i * 7919) % 256);
    const auto esito = disegna(rumore + "\r\n@TEXT\r\n@TXTn fine\r\n");
    if (esito.has_value())
        EXPECT_EQ(*esito, FineConErrore);
    else
        EXPECT_TRUE(haTesto(QStringLiteral("fine")));
}
