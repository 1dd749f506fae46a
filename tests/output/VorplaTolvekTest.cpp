// The customer-specific documents as printed: vorpla --render tolvek on real
// background pictures and data files, the pages read back with poppler.

#include "output/VorplaTolvek.h"

#include "TestSupport.h"

#include "interpreter/SuperficieRegistrata.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

constexpr double PuntiPerCm = 72.0 / 2.54;

class ProvaTolvek : public ::testing::Test
{
protected:
    // Backgrounds the size of the sheet at 40 pixels a centimetre
    // (landscape for the tags), light grey with a darker block in the top-left corner and a black one
    // in the bottom-right, so a page shows whether the picture covers it
    // from corner to corner.
    void SetUp() override
    {
        for (const char *nome : {"tolvek_valigie.jpg", "tolvek_passaporti.jpg", "tolvek_notaspese.jpg"}) {
            const bool orizzontale = QByteArrayView(nome) == "tolvek_valigie.jpg";
            QImage sfondo(orizzontale ? 1188 : 840, orizzontale ? 840 : 1188, QImage::Format_RGB32);
            sfondo.fill(QColor(Sfondo, Sfondo, Sfondo));
            QPainter pittore(&sfondo);
            pittore.fillRect(0, 0, 80, 80, QColor(Angolo, Angolo, Angolo));
            pittore.fillRect(sfondo.width() - 80, sfondo.height() - 80, 80, 80, Qt::black);
            pittore.end();
            ASSERT_TRUE(sfondo.save(cartella.programma() + u'/' + QLatin1String(nome), "JPG", 95));
        }
    }
    // Records of three lines: name, code, hotel.
    QString dati(int record, const QByteArray &extra = {})
    {
        QByteArray b;
        for (int r = 0; r < record; ++r)
            b += "ANANOM=NOME" + QByteArray::number(r) + "\r\nANAKEY=K" + QByteArray::number(r) + extra + "\r\n\r\nSERDES=HOTEL"
                 + QByteArray::number(r) + "\r\nriga senza uguale\r\n";
        return cartella.scrivi(QStringLiteral("ulka/dati.txt"), b);
    }
    EsitoProcesso render(const QString &tipo, const QString &file, const QStringList &altro = {})
    {
        uscita = cartella.percorso(QStringLiteral("tolvek.pdf"));
        return eseguiVorpla(cartella, QStringList{QStringLiteral("--render"), QStringLiteral("tolvek"), QStringLiteral("--kind"),
                                                  tipo, QStringLiteral("--output"), uscita}
                                          + altro + QStringList{file});
    }
    QList<ParolaLetta> parole(int *pagine)
    {
        EXPECT_EQ(controlloQpdf(uscita), QString());
        return paroleLette(uscita, pagine);
    }
    static QList<ParolaLetta> trova(const QList<ParolaLetta> &parole, const QString &testo, int pagina)
    {
        QList<ParolaLetta> trovate;
        for (const ParolaLetta &p : parole)
            if (p.testo == testo && p.pagina == pagina)
                trovate << p;
        return trovate;
    }
    static void aCm(const ParolaLetta &p, double x, double y)
    {
        EXPECT_NEAR(p.x1 / PuntiPerCm, x, 0.15) << p.testo.toStdString();
        EXPECT_NEAR(p.y1 / PuntiPerCm, y, 0.4) << p.testo.toStdString();
    }


    // A word's box in centimetres.
    static QRectF rettangolo(const ParolaLetta &p)
    {
        return QRectF(p.x1 / PuntiPerCm, p.y1 / PuntiPerCm, (p.x2 - p.x1) / PuntiPerCm, (p.y2 - p.y1) / PuntiPerCm);
    }
    // The background of every page as placed (pdfimages): one picture a
    // page, covering the sheet of larghezza x altezza cm.
    void sfondiPosati(int pagine, double larghezza, double altezza)
    {
        const QStringList righe = eseguiProcesso(QStringLiteral("pdfimages"), {QStringLiteral("-list"), uscita})
                                      .uscita.split(u'\n', Qt::SkipEmptyParts)
                                      .mid(2);
        ASSERT_EQ(righe.size(), pagine) << righe.join(u'\n').toStdString();
        for (qsizetype i = 0; i < righe.size(); ++i) {
            // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
            const QStringList c = righe[i].simplified().split(u' ');
            ASSERT_GE(c.size(), 14);
            EXPECT_EQ(c[0].toInt(), i + 1);
            // pdfimages gives whole pixels a inch: the placed picture's,
            // rounded, against the picture's pixels over the sheet.
            EXPECT_NEAR(c[12].toDouble(), c[3].toDouble() / (larghezza / 2.54), 0.51) << righe[i].toStdString();
            EXPECT_NEAR(c[13].toDouble(), c[4].toDouble() / (altezza / 2.54), 0.51) << righe[i].toStdString();
        }
    }
    // Page p (from 1) as poppler draws it, grey, 20 pixels a centimetre.
    QImage pagina(int p) const
    {
        const QString radice = uscita + QStringLiteral(".pag");
        eseguiProcesso(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50.8"), QStringLiteral("-gray"),
                                                    QStringLiteral("-f"), QString::number(p), QStringLiteral("-l"),
                                                    QString::number(p), QStringLiteral("-singlefile"), uscita, radice});
        const QImage immagine = QImage(radice + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
        QFile::remove(radice + QStringLiteral(".pgm"));
        return immagine;
    }
    // The grey at (x, y) cm, and the darkest within the w x h cm from there.
    static int grigio(const QImage &pag, double x, double y) { return qGray(pag.pixel(int(x * 20), int(y * 20))); }
    static int piuScuro(const QImage &pag, double x, double y, double w, double h)
    {
        int minimo = 255;
        for (int py = int(y * 20); py < int((y + h) * 20); ++py)
            for (int px = int(x * 20); px < int((x + w) * 20); ++px)
                minimo = qMin(minimo, qGray(pag.pixel(px, py)));
        return minimo;
    }
    // What a reader sees on a page: the picture from corner to corner, and
    // each field (x, y cm, w x h cm of its text) printed over it.
    static void campiSulloSfondo(const QImage &pag, const QList<QRectF> &campi)
    {
        ASSERT_FALSE(pag.isNull());
        const double w = pag.width() / 20.0, h = pag.height() / 20.0;
        EXPECT_NEAR(grigio(pag, 1, 1), Angolo, 25);
        EXPECT_LT(grigio(pag, w - 0.5, h - 0.5), 50);
        EXPECT_NEAR(grigio(pag, w / 2 + 0.3, h - 0.4), Sfondo, 25);
        for (const QRectF &c : campi) {
            EXPECT_LT(piuScuro(pag, c.x(), c.y(), c.width(), c.height()), 100) << c.x() << "," << c.y();
            EXPECT_NEAR(grigio(pag, c.x() - 0.2, c.y() + c.height() / 2), Sfondo, 25) << c.x() << "," << c.y();
        }
    }

    static constexpr int Sfondo = 200, Angolo = 120;
    CartellaProva cartella;
    QString uscita;
};

} // namespace

TEST(DatiTolvek, RecordsOfThreeLinesAndValuesKeepingFurtherEquals)
{
    CartellaProva cartella;
    const DatiTolvek d = leggiDatiTolvek(cartella.scrivi(
        QStringLiteral("d.txt"), "ANANOM=ROSSI\r\n\r\nnoise\r\nANAKEY=A=B\r\nSERDES=Hotel\r\nANANOM=BIANCHI\r\n"));
    EXPECT_EQ(d.chiave(1), QByteArray("ANAKEY"));
    EXPECT_EQ(d.valore(0, 1), QByteArray("A=B"));
    EXPECT_EQ(d.valore(1, 0), QByteArray("BIANCHI"));
    // Four pairs: (4 - 1) / 3 = 1 record; eight: 7 / 3 rounds to 2; nine: 3.
    EXPECT_EQ(d.record(), 1);
    DatiTolvek otto, nove;
    otto.valori = QList<QByteArray>(8);
    nove.valori = QList<QByteArray>(9);
    EXPECT_EQ(otto.record(), 2);
    EXPECT_EQ(nove.record(), 3);
}

TEST_F(ProvaTolvek, LuggageTagsFourToALandscapeSheet)
{
    const EsitoProcesso e = render(QStringLiteral("Valigie"), dati(3, "=X"));
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    int pagine = 0;
    const QList<ParolaLetta> testo = parole(&pagine);
    EXPECT_EQ(pagine, 3);
    for (int r = 0; r < 3; ++r) {
        const QList<ParolaLetta> nomi = trova(testo, QStringLiteral("NOME%1").arg(r), r);
        const QList<ParolaLetta> codici = trova(testo, QStringLiteral("K%1=X").arg(r), r);
        ASSERT_EQ(nomi.size(), 4) << r;
        ASSERT_EQ(codici.size(), 4) << r;
    }
    const QList<ParolaLetta> nomi = trova(testo, QStringLiteral("NOME1"), 1);
    QList<QPointF> visti;
    for (const ParolaLetta &p : nomi)
        visti << QPointF(p.x1 / PuntiPerCm, p.y1 / PuntiPerCm);
    for (const QPointF atteso : {QPointF(3, 4.5), QPointF(3, 14.7), QPointF(17.2, 4.5), QPointF(17.2, 14.7)}) {
        bool trovato = false;
        for (const QPointF &v : visti)
            trovato = trovato || (qAbs(v.x() - atteso.x()) < 0.15 && qAbs(v.y() - atteso.y()) < 0.4);
        EXPECT_TRUE(trovato) << atteso.x() << "," << atteso.y();
    }
    // Landscape: the page is wider than it is tall, and so is each
    // background over it.
    const EsitoProcesso info = eseguiProcesso(QStringLiteral("pdfinfo"), {uscita});
    EXPECT_TRUE(info.uscita.contains(QStringLiteral("842 x 595 pts"))) << info.uscita.toStdString();
    sfondiPosati(3, 29.7, 21);
    campiSulloSfondo(pagina(2), {rettangolo(nomi.value(0)), rettangolo(trova(testo, QStringLiteral("K1=X"), 1).value(0))});
}

TEST_F(ProvaTolvek, PassportsTwentyFourToAPage)
{
    const EsitoProcesso e = render(QStringLiteral("Passaporti"), dati(25));
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    int pagine = 0;
    const QList<ParolaLetta> testo = parole(&pagine);
    EXPECT_EQ(pagine, 2);
    // Record 9: column 1, row 1 of the first page.
    aCm(trova(testo, QStringLiteral("NOME9"), 0).value(0), 0.6 + 6.8, 2.7 + 3.6);
    aCm(trova(testo, QStringLiteral("K9"), 0).value(0), 5.0 + 6.8, 1.1 + 3.6);
    aCm(trova(testo, QStringLiteral("Hotel:"), 0).value(0), 0.6, 2.0);
    // The 25th alone on the second page, first row of the first column.
    aCm(trova(testo, QStringLiteral("NOME24"), 1).value(0), 0.6, 2.7);
    EXPECT_EQ(trova(testo, QStringLiteral("HOTEL24"), 1).size(), 1);
    EXPECT_EQ(trova(testo, QStringLiteral("NOME23"), 1).size(), 0);
    sfondiPosati(2, 21, 29.7);
    campiSulloSfondo(pagina(1), {rettangolo(trova(testo, QStringLiteral("NOME9"), 0).value(0)),
                                 rettangolo(trova(testo, QStringLiteral("K9"), 0).value(0)),
                                 rettangolo(trova(testo, QStringLiteral("HOTEL9"), 0).value(0))});
}

TEST_F(ProvaTolvek, ExpenseNotesTheWholeDocumentEachCopy)
{
    const EsitoProcesso e = render(QStringLiteral("Nota Spese"), dati(2), {QStringLiteral("--copies"), QStringLiteral("2")});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    int pagine = 0;
    const QList<ParolaLetta> testo = parole(&pagine);
    EXPECT_EQ(pagine, 4);
    for (int p = 0; p < 4; ++p) {
        aCm(trova(testo, QStringLiteral("NOME%1").arg(p % 2), p).value(0), 6.5, 4.6);
        aCm(trova(testo, QStringLiteral("K%1").arg(p % 2), p).value(0), 17.2, 4.6);
    }
    sfondiPosati(4, 21, 29.7);
    campiSulloSfondo(pagina(4), {rettangolo(trova(testo, QStringLiteral("NOME1"), 3).value(0)),
                                 rettangolo(trova(testo, QStringLiteral("K1"), 3).value(0))});
}

TEST_F(ProvaTolvek, BadCopiesOrAMissingPictureStopThePrint)
{
    EsitoProcesso e = render(QStringLiteral("Valigie"), dati(1), {QStringLiteral("--copies"), QStringLiteral("due")});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Numero di copie errato!"))) << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(uscita));

    QFile::remove(cartella.programma() + QStringLiteral("/tolvek_notaspese.jpg"));
    e = render(QStringLiteral("Nota Spese"), dati(1));
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore N.53"))) << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(uscita));

    // Another kind prints nothing: a PDF holds at least a page, a blank one.
    e = render(QStringLiteral("Altro"), dati(1));
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    int pagine = 0;
    EXPECT_TRUE(parole(&pagine).isEmpty());
    EXPECT_EQ(pagine, 1);
}

TEST(VorplaTolvekSenzaPagine, NothingToPrintStartsNoPrintJob)
{
    CartellaProva cartella;
    int lavori = 0;
    SuperficieRegistrata stampante(QStringLiteral("Office"));
    const auto dammi = [&]() -> Superficie & {
        ++lavori;
        return stampante;
    };
    const QString dati = cartella.scrivi(QStringLiteral("d.txt"), "ANANOM=A\r\nANAKEY=B\r\nSERDES=C\r\n");
    VorplaTolvek(dammi, dati, QStringLiteral("Altro"), QStringLiteral("1"));
    VorplaTolvek(dammi, cartella.scrivi(QStringLiteral("vuoto.txt"), ""), QStringLiteral("Valigie"), QStringLiteral("1"));
    VorplaTolvek(dammi, dati, QStringLiteral("Valigie"), QStringLiteral("0"));
    EXPECT_EQ(lavori, 0);
}
