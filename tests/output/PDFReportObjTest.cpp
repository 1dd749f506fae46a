// The built-in PDF document object: pictures stored once, bad pictures and
// fonts, saves half-way and at the end, and a target that cannot take the
// file.

#include "ProvaLayoutPdf.h"

#include "output/PDFReportObj.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// pdfimages' list: one row a placed picture, its object number second.
QStringList oggettiImmagine(const QString &pdf)
{
    const QStringList righe =
        eseguiProcesso(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).uscita.split(u'\n', Qt::SkipEmptyParts);
    QStringList oggetti;
    for (qsizetype i = 2; i < righe.size(); ++i) {
        const QStringList campi = righe[i].simplified().split(u' ');
        if (campi.size() > 10)
            oggetti << campi[10];
    }
    return oggetti;
}

QByteArray jpeg(int larghezza, int altezza)
{
    QImage immagine(larghezza, altezza, QImage::Format_RGB32);
    for (int y = 0; y < altezza; ++y)
        for (int x = 0; x < larghezza; ++x)
            immagine.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, (x * y) % 256));
    QByteArray dati;
    QBuffer buffer(&dati);
    buffer.open(QIODevice::WriteOnly);
    immagine.save(&buffer, "JPEG", 90);
    return dati;
}

QByteArray pagineConLogo(int n)
{
    QByteArray righe;
    for (int i = 0; i < n; ++i)
        righe += "@INTE\r\n@LOGO logo.bmp\r\n@TEXT\r\n@TXTn Pagina di prova\r\n@PAGE\r\n";
    return righe;
}

} // namespace

TEST_F(ProvaLayoutPdf, ALogoOnEveryPageIsStoredOnce)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/logo.jpg"), jpeg(400, 200));
    ini("[LOGO]\r\nLarghezza=6\r\nAltezza=3\r\n");
    pdf(pagineConLogo(10));
    const qint64 dieci = QFileInfo(uscita).size();
    const QStringList oggetti = oggettiImmagine(uscita);
    ASSERT_EQ(oggetti.size(), 10);
    EXPECT_EQ(oggetti.count(oggetti.first()), 10) << oggetti.join(u' ').toStdString();
    pdf(pagineConLogo(110));
    EXPECT_EQ(oggettiImmagine(uscita).size(), 110);
    EXPECT_LT((QFileInfo(uscita).size() - dieci) / 100, 2048);
    // 60 x 30 mm at x 0 and y T, as vorpla.ini says.
    const QStringList righe = eseguiProcesso(QStringLiteral("pdfimages"), {QStringLiteral("-list"), uscita})
                                  .uscita.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(righe.value(2).contains(QStringLiteral(" 400   200 "))) << righe.value(2).toStdString();
}

TEST_F(ProvaLayoutPdf, PicturesThatAreNoWholeJpegDrawNothing)
{
    QImage png(50, 50, QImage::Format_RGB32);
    png.fill(Qt::red);
    png.save(cartella.percorso(QStringLiteral("ulka/vorpla/png.jpg")), "PNG");
    const QByteArray intero = jpeg(300, 300);
    cartella.scrivi(QStringLiteral("ulka/vorpla/tronco.jpg"), intero.first(intero.size() / 2));
    cartella.scrivi(QStringLiteral("ulka/vorpla/vuoto.jpg"), QByteArray());
    const auto p = pdf("@INTE\r\n@LOGO png.bmp\r\n@LOGV tronco.bmp\r\n@LOGO vuoto.bmp\r\n@TEXT\r\n"
                       "@TXTn dopo <<IMG=" + cartella.percorso(QStringLiteral("ulka/vorpla/tronco.bmp")).toUtf8()
                       + ";10;10;20;20>> le immagini\r\n");
    ASSERT_FALSE(uscita.isEmpty()) << messaggi.testi.join(u'\n').toStdString();
    EXPECT_TRUE(oggettiImmagine(uscita).isEmpty());
    EXPECT_EQ(parola(p, QStringLiteral("immagini")).pagina, 0);
    EXPECT_TRUE(messaggi.testi.isEmpty());
}

TEST_F(ProvaLayoutPdf, AFontFileThatIsNoFontGivesTheStandIn)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/ntoem.ttf"), QByteArray(4096, 'x'));
    const auto p = pdf("@TEXT\r\n@TXTn Citt\xE0 di Forl\x8D\r\n");
    ASSERT_FALSE(uscita.isEmpty());
    const QString font = eseguiProcesso(QStringLiteral("pdffonts"), {uscita}).uscita;
    EXPECT_TRUE(font.contains(QStringLiteral("LiberationMono"))) << font.toStdString();
    // The stand-in with the Italian glyphs: host à (0x85) and ì (0x8D).
    EXPECT_EQ(parola(p, QStringLiteral("Forlì")).pagina, 0);
}

TEST(PDFReportObj, EverySaveHoldsThePagesDrawnSoFar)
{
    CartellaProva cartella;
    PDFReportObj documento;
    documento.LoadFontFile(QString());
    documento.SetPageSize(595, 841);
    documento.DrawText(QStringLiteral("prima"), 20, 20, 12, 0, QStringLiteral("/F12"), 0);
    qint32 esito = -1;
    const QString a = cartella.percorso(QStringLiteral("a.pdf")), b = cartella.percorso(QStringLiteral("b.pdf"));
    documento.SaveDocument(a, esito);
    EXPECT_EQ(esito, 0);
    documento.NewPage();
    documento.SetPageSize(841, 595);
    documento.DrawText(QStringLiteral("seconda"), 20, 20, 12, 0, QStringLiteral("/F12"), 0);
    documento.DrawBox(1.0, 0, 1, 10, 100, 10, 10);
    documento.SaveDocument(b, esito);
    EXPECT_EQ(esito, 0);
    EXPECT_EQ(controlloQpdf(a), QString());
    EXPECT_EQ(controlloQpdf(b), QString());
    const auto pa = paroleDelPdf(a), pb = paroleDelPdf(b);
    ASSERT_EQ(pa.size(), 1);
    ASSERT_EQ(pb.size(), 2);
    EXPECT_EQ(pb[1].testo, QStringLiteral("seconda"));
    EXPECT_EQ(pb[1].pagina, 1);
    EXPECT_NEAR(pb[0].x1, 20, 0.2);
    const QString info = eseguiProcesso(QStringLiteral("pdfinfo"), {QStringLiteral("-l"), QStringLiteral("2"), b}).uscita;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page +1 size: +595 x 841 pts")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page +2 size: +841 x 595 pts")))) << info.toStdString();
    // The text stays text in the named font, its width as measured.
    double larghezza = 0;
    documento.DocFontSize(12);
    documento.MeasureText(QStringLiteral("prima"), larghezza);
    EXPECT_NEAR(pa[0].x2 - pa[0].x1, larghezza, 0.3);
}

TEST(PDFReportObj, ATargetThatCannotTakeTheFileFailsAndKeepsWhatIsThere)
{
    CartellaProva cartella;
    PDFReportObj documento;
    documento.DrawText(QStringLiteral("testo"), 20, 20, 12, 0, QStringLiteral("/F12"), 0);
    qint32 esito = 0;
    // A folder in the file's place, and a folder that does not exist.
    const QString cartellaBersaglio = cartella.percorso(QStringLiteral("occupato.pdf"));
    QDir().mkpath(cartellaBersaglio);
    documento.SaveDocument(cartellaBersaglio, esito);
    EXPECT_NE(esito, 0);
    EXPECT_FALSE(documento.erroreSalvataggio().isEmpty());
    EXPECT_TRUE(QFileInfo(cartellaBersaglio).isDir());
    documento.SaveDocument(cartella.percorso(QStringLiteral("manca/x.pdf")), esito);
    EXPECT_NE(esito, 0);
    // A good save afterwards replaces an old file whole.
    const QString vecchio = cartella.scrivi(QStringLiteral("vecchio.pdf"), "vecchio");
    documento.SaveDocument(vecchio, esito);
    EXPECT_EQ(esito, 0);
    EXPECT_EQ(controlloQpdf(vecchio), QString());
    EXPECT_EQ(QDir(cartella.radice()).entryList(QDir::Files), (QStringList{QStringLiteral("vecchio.pdf")}));
}
