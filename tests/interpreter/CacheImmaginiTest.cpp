// Pictures are kept at the size they are drawn on the device, within a
// bound of decoded bytes, and reach the PDF at that size.

#include "ProvaPdf.h"

#include "common/ErroreVB.h"
#include "interpreter/CacheImmagini.h"

#include <QImage>
#include <QRandomGenerator>
#include <sys/stat.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// A picture that compresses badly (as photos do), so its size in a PDF shows
// the pixels it was embedded with.
QString fotografia(const QString &percorso, int lato, quint32 seme)
{
    QImage img(lato, lato, QImage::Format_RGB32);
    QRandomGenerator caso(seme);
    for (int y = 0; y < lato; ++y) {
        auto *riga = reinterpret_cast<quint32 *>(img.scanLine(y));
        for (int x = 0; x < lato; ++x)
            riga[x] = 0xFF000000u | (caso.generate() & 0xFFFFFFu);
    }
    EXPECT_TRUE(img.save(percorso, "PNG"));
    return percorso;
}

TEST(CacheImmagini, DimensioneDelDispositivoEntroIlLimite)
{
    CartellaProva cartella;
    const QString a = fotografia(cartella.percorso(QStringLiteral("a.png")), 1000, 1);
    const QString b = fotografia(cartella.percorso(QStringLiteral("b.png")), 1000, 2);
    // Room for two 300 x 300 pictures, not three.
    CacheImmagini cache(2 * 300 * 301 * 4 + 100);

    const QImage prima = cache.perDispositivo(a, QSize(300, 300));
    EXPECT_EQ(prima.size(), QSize(300, 300));
    EXPECT_EQ(cache.perDispositivo(a, QSize(300, 300)).cacheKey(), prima.cacheKey())
        << "the same picture at the same size is one image";
    EXPECT_EQ(cache.decodifiche(), 1);

    const qint64 b300 = cache.perDispositivo(b, QSize(300, 300)).cacheKey();
    cache.perDispositivo(a, QSize(300, 300)); // a used last: b makes room
    const qint64 b301 = cache.perDispositivo(b, QSize(300, 301)).cacheKey();
    EXPECT_LE(cache.byteTenuti(), 2 * 300 * 301 * 4 + 100);
    EXPECT_EQ(cache.perDispositivo(a, QSize(300, 300)).cacheKey(), prima.cacheKey());
    EXPECT_EQ(cache.perDispositivo(b, QSize(300, 301)).cacheKey(), b301) << "kept";
    EXPECT_NE(cache.perDispositivo(b, QSize(300, 300)).cacheKey(), b300) << "used longest ago: it made room";
    EXPECT_EQ(cache.perDispositivo(a, QSize(5000, 80)).size(), QSize(1000, 80)) << "never more dots than the file";
    EXPECT_LE(cache.byteTenuti(), 2 * 300 * 301 * 4 + 100);

    EXPECT_NEAR(cache.himetric(a).width(), 1000 / 3780.0 * 100000, 200);

    // A picture larger than the whole bound (900 x 900 dots), page after page
    // beside another picture: decoded once, one image.
    const QImage sfondo = cache.perDispositivo(b, QSize(900, 900));
    const int decodificate = cache.decodifiche();
    for (int pagina = 0; pagina < 3; ++pagina) {
        cache.perDispositivo(a, QSize(100 + pagina, 100));
        EXPECT_EQ(cache.perDispositivo(b, QSize(900, 900)).cacheKey(), sfondo.cacheKey());
    }
    EXPECT_EQ(cache.decodifiche(), decodificate + 1) << "a once, b never again";

    // Two-colour pictures stay two-colour.
    QImage fax(800, 800, QImage::Format_Mono);
    fax.fill(1);
    const QString m = cartella.percorso(QStringLiteral("fax.bmp"));
    ASSERT_TRUE(fax.save(m, "BMP"));
    EXPECT_EQ(cache.perDispositivo(m, QSize(100, 100)).depth(), 1);

    // A FIFO named like a picture is never read.
    const QString fifo = cartella.percorso(QStringLiteral("fifo.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    EXPECT_EQ(erroreDi([&] { cache.himetric(fifo); }), Err::ImmagineNonValida);
}

// Large photos placed 2 cm wide on a 600 dpi page: each is embedded at
// 473 x 473 dots, so the PDF follows the page, not the files.
TEST_F(ProvaPdf, FotografieGrandiIncorporateAllaRisoluzioneDellaPagina)
{
    QByteArray righe = "@TEXT\r\n";
    for (int i = 0; i < 4; ++i) {
        const QString f = fotografia(cartella.percorso(QStringLiteral("foto%1.png").arg(i)), 2500, quint32(10 + i));
        righe += "@TXTn <<IMG=" + f.toLocal8Bit() + ";" + QByteArray::number(10 + 30 * i) + ";20;20;20>>\r\n";
    }
    pdf(righe);
    ASSERT_FALSE(esito.has_value());
    const QString uscita = cartella.percorso(QStringLiteral("out.pdf"));
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), uscita});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList righeElenco = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    int immagini = 0;
    for (const QString &r : righeElenco.mid(2)) {
        const QStringList campi = r.simplified().split(u' ');
        ASSERT_GE(campi.size(), 5);
        EXPECT_EQ(campi[3], QStringLiteral("473")) << r.toStdString();
        EXPECT_EQ(campi[4], QStringLiteral("473")) << r.toStdString();
        ++immagini;
    }
    EXPECT_EQ(immagini, 4);
    EXPECT_LT(QFileInfo(uscita).size(), 4 * 473 * 473 * 3 + 200000);
}

} // namespace
