#pragma once
// The PDF output form's PDFs as a reader sees them: the form makes the PDF
// of a print file against a stand-in A4 printer, poppler reads the words
// back with their positions in millimetres, and a raster of the page at ten
// dots a millimetre shows the frames and rules.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/StatoLavoro.h"
#include "interpreter/SuperficieRegistrata.h"
#include "output/FRMCreaPDF.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace vorpla::prova {

inline constexpr double PuntiPerMm = 72 / 25.4;
inline constexpr double TolleranzaMm = 0.5;

struct ParolaPdf
{
    int pagina;
    QString testo;
    double x1, alto, x2, basso; // mm from the page's top-left corner
    // The baseline: the words are drawn in the fixed-pitch stand-in, whose
    // ascent is 0.735 of the box poppler gives.
    double base() const { return alto + (basso - alto) * 0.735; }
};

// The words of a PDF with their boxes, millimetres.
inline QList<ParolaPdf> paroleDelPdf(const QString &file)
{
    QList<ParolaPdf> trovate;
    for (const ParolaLetta &w : paroleLette(file))
        trovate << ParolaPdf{w.pagina, w.testo, w.x1 / PuntiPerMm, w.y1 / PuntiPerMm, w.x2 / PuntiPerMm,
                             w.y2 / PuntiPerMm};
    return trovate;
}

class ProvaLayoutPdf : public ::testing::Test
{
protected:
    ProvaLayoutPdf() { azzeraLavoro(); }

    void ini(const QByteArray &contenuto) { cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), contenuto); }

    // The PDF of the print file (its path, empty when the form failed) and
    // its words.
    QList<ParolaPdf> pdf(const QByteArray &righe, const QString &dispositivo = QStringLiteral("Vorpla"),
                         const QString &nome = QStringLiteral("stampa.txt"))
    {
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("job/") + nome, righe);
        SuperficieRegistrata stampante(dispositivo);
        ServiziCreaPdf servizi;
        servizi.foglioEtichette = [this] { return foglio; };
        FRMCreaPDF form(stampante, servizi);
        uscita = form.Form_Load();
        valori = form.valori;
        if (uscita.isEmpty())
            return {};
        EXPECT_EQ(controlloQpdf(uscita), QString());
        return parole(uscita);
    }

    static QList<ParolaPdf> parole(const QString &file) { return paroleDelPdf(file); }

    static ParolaPdf parola(const QList<ParolaPdf> &parole, const QString &testo, int pagina = -1)
    {
        for (const ParolaPdf &p : parole)
            if (p.testo == testo && (pagina < 0 || p.pagina == pagina))
                return p;
        ADD_FAILURE() << "the PDF has no word " << testo.toStdString();
        return {};
    }

    // Page count and size in points, from pdfinfo.
    QString dimensionePagina(int pagina = 1) const
    {
        const QString info = eseguiProcesso(QStringLiteral("pdfinfo"),
                                            {QStringLiteral("-f"), QString::number(pagina), QStringLiteral("-l"),
                                             QString::number(pagina), uscita})
                                 .uscita;
        const auto m = QRegularExpression(QStringLiteral("Page +%1 size: +([\\d.]+ x [\\d.]+) pts").arg(pagina)).match(info);
        return m.hasMatch() ? m.captured(1) : QString();
    }
    int pagine() const
    {
        const auto m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                           .match(eseguiProcesso(QStringLiteral("pdfinfo"), {uscita}).uscita);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    // The page as a grey picture at ten dots a millimetre.
    QImage raster(int pagina = 1) const
    {
        const QString prefisso = cartella.percorso(QStringLiteral("raster"));
        eseguiProcesso(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-gray"),
                                                    QStringLiteral("-f"), QString::number(pagina), QStringLiteral("-l"),
                                                    QString::number(pagina), QStringLiteral("-singlefile"), uscita,
                                                    prefisso});
        return QImage(prefisso + QStringLiteral(".pgm"));
    }

    // A dark rule along y from x1 to x2 (within half a millimetre of y), or
    // along x from y1 to y2: nine tenths of its length dark.
    static bool orizzontale(const QImage &img, double y, double x1, double x2)
    {
        return lungoLaRiga(img, y, x1, x2, true);
    }
    static bool verticale(const QImage &img, double x, double y1, double y2)
    {
        return lungoLaRiga(img, x, y1, y2, false);
    }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    QSizeF foglio{210, 297};
    QString uscita;
    ValoriForm valori;

private:
    static bool lungoLaRiga(const QImage &img, double dove, double da, double a, bool orizzontale_)
    {
        for (int scarto = -5; scarto <= 5; ++scarto) {
            const int fisso = int(dove * 10 + 0.5) + scarto;
            int scuri = 0, tutti = 0;
            for (int i = int(da * 10 + 3); i <= int(a * 10 - 3); ++i, ++tutti) {
                const int x = orizzontale_ ? i : fisso, y = orizzontale_ ? fisso : i;
                if (x >= 0 && y >= 0 && x < img.width() && y < img.height() && qGray(img.pixel(x, y)) < 128)
                    ++scuri;
            }
            if (tutti > 0 && scuri * 10 >= tutti * 9)
                return true;
        }
        return false;
    }
};

} // namespace vorpla::prova
