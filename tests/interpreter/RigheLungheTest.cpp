// Lines of a megabyte: the fits of label and address lines take a handful of
// measurements and keep what the character-by-character rule keeps, and a
// megabyte line of every family of markers ends in a document or in the
// general message.

#include "ProvaInterprete.h"

#include "interpreter/SuperficiePittore.h"

#include "interpreter/Adattamento.h"

#include <QFont>
#include <QMarginsF>
#include <QPageSize>
#include <QPdfWriter>
#include <functional>
#include <cmath>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// The plain rules, and how many questions the searches may ask: two for
// every doubling, the first whole measurement, and the binary search.
qsizetype regolaSemplice(qsizetype n, qsizetype ultimoCheSta)
{
    qsizetype k = n;
    while (k > 0 && k > ultimoCheSta)
        --k;
    return k;
}

int domandeAmmesse(qsizetype n)
{
    return 2 * int(std::ceil(std::log2(double(n) + 1))) + 2;
}

TEST(Adattamento, StessoRisultatoDellaRegolaCarattereACarattere)
{
    for (qsizetype n = 0; n <= 700; ++n) {
        for (qsizetype ultimo = 0; ultimo <= n; ++ultimo) {
            int domande = 0;
            const auto sta = [&](qsizetype k) {
                ++domande;
                EXPECT_LE(k, n);
                return k <= ultimo;
            };
            const auto staNonVuoto = [&](qsizetype k) {
                EXPECT_GE(k, 1) << "the empty prefix always stays: it is never measured";
                return sta(k);
            };
            ASSERT_EQ(prefissoCheSta(n, staNonVuoto), regolaSemplice(n, ultimo)) << n << " " << ultimo;
            EXPECT_LE(domande, domandeAmmesse(n)) << n << " " << ultimo;
            domande = 0;
            ASSERT_EQ(staIntero(n, sta), n == 0 || ultimo == n) << n << " " << ultimo;
            EXPECT_LE(domande, domandeAmmesse(n));
        }
    }
    // A megabyte: as many questions as a few dozen.
    for (const qsizetype ultimo : {qsizetype(0), qsizetype(37), qsizetype(1 << 19), qsizetype(1 << 20)}) {
        int domande = 0;
        EXPECT_EQ(prefissoCheSta(1 << 20, [&](qsizetype k) { ++domande; return k <= ultimo; }), ultimo);
        EXPECT_LE(domande, domandeAmmesse(1 << 20));
    }
}

// A recording surface that counts its measurements.
class SuperficieContata : public SuperficieRegistrata
{
public:
    mutable int misure = 0;
    mutable qint64 caratteriMisurati = 0;

protected:
    QSizeF misuraTesto(const QString &testo, const QFont &font) const override
    {
        ++misure;
        caratteriMisurati += testo.size();
        return SuperficieRegistrata::misuraTesto(testo, font);
    }
};

// Text that is not one letter repeated, so that a cut one character off
// would show.
QByteArray testoLungo(qsizetype lunghezza)
{
    static const QByteArray frase = "Agenzia Viaggi Esempio, Via Roma 1 - Bologna. ";
    QByteArray t;
    t.reserve(lunghezza);
    while (t.size() < lunghezza)
        t += frase;
    t.truncate(lunghezza);
    return t;
}

// The font the surface draws a recorded text with.
QFont fontDi(const OperazioneRegistrata &op)
{
    QFont f(op.famiglia);
    f.setPointSizeF(op.dimensione);
    f.setBold(op.grassetto);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

class RigheLunghe : public ProvaInterprete
{
protected:
    std::optional<int> disegnaContando(const QByteArray &righe)
    {
        contata = std::make_unique<SuperficieContata>();
        const auto esito = disegnaSu(*contata, righe);
        return esito;
    }
    QList<OperazioneRegistrata> testi() const
    {
        QList<OperazioneRegistrata> r;
        for (const auto &op : contata->operazioni())
            if (op.tipo == Tipo::Testo)
                r << op;
        return r;
    }
    std::unique_ptr<SuperficieContata> contata;
};

// Both label lines keep the longest start narrower than the label by more
// than 0.3 cm: one more character would not be.
TEST_F(RigheLunghe, RigheDiEtichettaDiUnMegabyte)
{
    const QByteArray lungo = testoLungo(1 << 20);
    ASSERT_FALSE(disegnaContando("@ETTI N\r\n@ETRI " + lungo + "\r\n@ETRB " + lungo + "\r\n@ETFI\r\n"));
    EXPECT_LE(contata->misure, 4 * domandeAmmesse(1 << 20));
    EXPECT_LE(contata->caratteriMisurati, 10000) << "only the starts of the lines are measured";
    const auto righe = testi();
    ASSERT_EQ(righe.size(), 2);
    for (const auto &riga : righe) {
        const QString tenuto = riga.testo;
        ASSERT_GT(tenuto.size(), 10);
        const QString prefisso = riga.grassetto ? QStringLiteral("BBB") : QString();
        const QFont font = fontDi(riga);
        // The bold line is measured with its marker, as the rule measures it.
        const QString misurato = prefisso + tenuto;
        const QString conUnoInPiu = misurato + QLatin1Char(lungo.at(tenuto.size()));
        EXPECT_LT(misuraTestoCm(misurato, font, 600).width() + 0.3, 7.0) << tenuto.toStdString();
        EXPECT_GE(misuraTestoCm(conUnoInPiu, font, 600).width() + 0.3, 7.0) << tenuto.toStdString();
        EXPECT_TRUE(lungo.startsWith(tenuto.toLatin1()));
    }
}

// An address line wider than the window shrinks 2 points at a time until the
// font gets no smaller: the same size for a megabyte as for 5,000 characters,
// which never fit either (down to one dot), found with few measurements.
TEST_F(RigheLunghe, RigaDIndirizzoDiUnMegabyte)
{
    ASSERT_FALSE(disegnaContando("@INDI\r\n@INDb " + testoLungo(5000) + "\r\n"));
    const double dimensioneCorta = testi().value(0).dimensione;
    const QByteArray lungo = testoLungo((1 << 20) - 16); // the longest line a print file keeps
    ASSERT_FALSE(disegnaContando("@INDI\r\n@INDb " + lungo + "\r\n"));
    EXPECT_LE(contata->misure, 100);
    EXPECT_LE(contata->caratteriMisurati, 200000) << "a line that stops fitting early is never measured whole";
    ASSERT_EQ(testi().size(), 1);
    EXPECT_EQ(testi()[0].dimensione, dimensioneCorta);
    // The line is drawn up to the sheet's right edge (of either orientation:
    // 29.7 cm), the character that crosses it included; what lies beyond
    // could never be seen.
    const auto disegnata = testi()[0];
    EXPECT_TRUE(lungo.startsWith(disegnata.testo.toLatin1()));
    const QFont font = fontDi(disegnata);
    EXPECT_LE(disegnata.a.x() + misuraTestoCm(disegnata.testo.chopped(1), font, 600).width(), 29.7);
    EXPECT_GT(disegnata.a.x() + misuraTestoCm(disegnata.testo, font, 600).width(), 29.7);

    // Shorter lines take the size the plain rule gives, measuring the whole
    // line at every step (sizes are whole 600 dpi dots).
    const auto punti = [](double p) {
        const double d = std::round(p * 600 / 72);
        return (d >= 1 ? d : 1) * 72 / 600;
    };
    for (qsizetype lunghezza = 30; lunghezza <= 120; lunghezza += 9) {
        const QByteArray testo = testoLungo(lunghezza);
        ASSERT_FALSE(disegnaContando("@INDI\r\n@INDb " + testo + "\r\n"));
        const auto riga = testi().value(0);
        QFont font = fontDi(riga);
        const auto largo = [&](double dimensione) {
            font.setPointSizeF(dimensione);
            return riga.a.x() + misuraTestoCm(QString::fromLatin1(testo), font, 600).width() > 21 - 0.7;
        };
        const double prima = punti(11);
        double attesa = prima;
        while (largo(attesa)) {
            const double attuale = attesa;
            attesa = punti(attuale - 2);
            if (attesa == prima || attesa >= attuale)
                break;
        }
        EXPECT_DOUBLE_EQ(riga.dimensione, attesa) << lunghezza;
    }
}

// One megabyte line of each family of markers, in the context the family
// needs: the run ends in a document or in the general message, and no text
// drawn reaches far past the sheet.
TEST_F(RigheLunghe, UnMegabytePerOgniFamigliaDiMarcatori)
{
    const QByteArray m = testoLungo(1 << 20);
    const QByteArray casi[] = {
        // pages, labels, character grid
        "@FORM " + m + "\r\n@LARG " + m + "\r\n@PAGE " + m + "\r\n@VRIV " + m,
        "@ETTI N\r\n@ETDI " + m + "\r\n@ETDF " + m + "\r\n@ETRI " + m + "\r\n@ETRB " + m + "\r\n@ETFI " + m,
        "@LARG 080\r\n@RIGA " + m + "\r\n@PgSP " + m,
        // text
        "@INTE " + m + "\r\n@INT1 " + m + "\r\n@INT2 " + m + "\r\n@INT4 " + m,
        "@INDI " + m + "\r\n@INDs " + m + "\r\n@INDb " + m + "\r\n@INDn " + m + "\r\n@INDf " + m,
        "@RIFE " + m + "\r\n@RIFr " + m + "\r\n@SCAD " + m + "\r\n@DATA " + m + "\r\n@DAT1 " + m,
        "@TITO " + m + "\r\n@TITB " + m + "\r\n@TITn " + m + "\r\n@TITf " + m + "\r\n@TXTe " + m,
        "@TEXT " + m + "\r\n@TXTn " + m + "\r\n@TXTb " + m + "\r\n@TXTc " + m + "\r\n@TXTd " + m,
        "@TXT2 " + m + "\r\n@TX2b " + m + "\r\n@TX2c " + m + "\r\n@TXTV " + m + "\r\n@TXVb " + m,
        // pictures and bar codes
        "@LOGO " + m + "\r\n@TXTn <<IMG=" + m + ">>\r\n@TXTn <<BAR=" + m + ">>",
        // fax directives, page numbers, job records
        "@FAXN " + m + "\r\n@FILE " + m + "\r\n@TIFE " + m + "\r\n@SNPG " + m + "\r\n@FAXD " + m,
        // boxed tables
        "@BOXt 080\r\n@BOXi 080\r\n@BXt1 c" + QByteArray(1 << 20, ' ') + "D\r\n@BXI1 " + m + "\r\n@BXr1 " + m
            + "\r\n@BOXf\r\n@BXT1 " + m,
    };
    for (const QByteArray &caso : casi) {
        messaggi.testi.clear();
        const auto esito = disegna(caso + "\r\n@PAGE\r\n");
        const std::string nome = caso.left(12).toStdString();
        if (esito.has_value()) {
            EXPECT_EQ(*esito, FineConErrore) << nome;
            ASSERT_EQ(messaggi.testi.size(), 1) << nome;
            EXPECT_TRUE(messaggi.testi.at(0).contains(QStringLiteral("\r\nTag: "))) << nome;
        } else {
            EXPECT_TRUE(messaggi.testi.isEmpty()) << nome << messaggi.testi.join(u'|').left(300).toStdString();
        }
        for (const auto &op : superficie->operazioni()) {
            if (op.tipo == Tipo::Testo) {
                EXPECT_LT(op.a.x(), 29.7) << nome;
                EXPECT_GT(op.a.x(), -29.7) << nome;
                EXPECT_LT(op.testo.size(), 100000) << nome;
            }
        }
    }
}

} // namespace

namespace {

// The sheet as a grey-level picture at 100 dpi, drawn by `disegno` on a
// 600 dpi A4 PDF and rasterized by poppler.
QByteArray foglioDisegnato(const QString &cartella, const QString &nome,
                           const std::function<void(Superficie &)> &disegno)
{
    const QString pdf = cartella + u'/' + nome + QStringLiteral(".pdf");
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        SuperficiePittore s(&writer, QStringLiteral("Vorpla"), 600);
        s.ScaleMode7();
        s.FontName(QStringLiteral("Liberation Sans"));
        s.FontSize(11);
        disegno(s);
        s.FineDocumento();
    }
    EXPECT_EQ(controlloQpdf(pdf), QString());
    const QString immagine = cartella + u'/' + nome;
    eseguiProcesso(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
                    pdf, immagine});
    return leggiFile(immagine + QStringLiteral(".pgm"));
}

} // namespace

// A long text is drawn only where it meets the sheet: the page looks the same
// as when every piece of it is drawn, each where it falls.
TEST(RigheLungheSulFoglio, IlFoglioMostraLoStesso)
{
    CartellaProva cartella;
    QByteArray testo;
    for (int i = 0; testo.size() < 6000; ++i)
        testo += "Riga " + QByteArray::number(i) + " di una fattura lunga, con cifre 0123456789. ";
    for (const double inizio : {-60.0, 3.0}) {
        const QByteArray tagliato = foglioDisegnato(cartella.radice(), QStringLiteral("tagliato"), [&](Superficie &s) {
            s.CurrentX = inizio;
            s.CurrentY = 5;
            s.Print(testo);
        });
        const QByteArray aPezzi = foglioDisegnato(cartella.radice(), QStringLiteral("pezzi"), [&](Superficie &s) {
            constexpr qsizetype Pezzo = 500; // short enough to be drawn as it is
            for (qsizetype da = 0; da < testo.size(); da += Pezzo) {
                s.CurrentX = inizio + s.TextWidth(QByteArrayView(testo).first(da));
                s.CurrentY = 5;
                s.Print(QByteArrayView(testo).sliced(da, qMin(Pezzo, testo.size() - da)));
            }
        });
        ASSERT_FALSE(tagliato.isEmpty());
        ASSERT_EQ(tagliato.size(), aPezzi.size());
        qsizetype diversi = 0, scuri = 0;
        for (qsizetype i = 0; i < tagliato.size(); ++i) {
            diversi += qAbs(int(uchar(tagliato[i])) - int(uchar(aPezzi[i]))) > 64;
            scuri += uchar(tagliato[i]) < 128;
        }
        EXPECT_GT(scuri, 1000) << "the text shows at " << inizio;
        EXPECT_LE(diversi, 20) << "from " << inizio;
    }
}
