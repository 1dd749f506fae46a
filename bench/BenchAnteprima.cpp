// Preview window benchmark, in both of its modes: on a generated 1,000-page
// text job (60 "@RIGA" lines a page, the attributes switching) and on the
// generated 1,000-page batch declared graphic (letterheads, address
// windows, titles, boxed tables, free and two-column text), the time to
// open the preview (page count and page 1 drawn) and the time from pressing
// ">" on page 999 to page 1,000 drawn, medians of 10. The batch's page
// 1,000 is one of its character-grid pages, which graphic mode leaves blank,
// so the graphic figures also give ">" on page 998 to page 999, a full
// document page. Every page change reads the print file again from its
// start, as the window does.
//
// Usage: vorpla_bench_preview [--quick]

#include "GeneraLavoro.h"
#include "Mediana.h"

#include "output/FormPreview.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace vorpla;

namespace {

// Opens the preview of `file` and goes from page `da` to the next,
// `ripetizioni` times; false when the window did not get there.
bool misura(const QString &file, const char *nome, bool grafica, int ripetizioni, int da = 999)
{
    std::vector<double> apertura, cambio;
    for (int i = 0; i < ripetizioni; ++i) {
        FormPreview anteprima(file);
        QElapsedTimer t;
        t.start();
        anteprima.Form_Load();
        apertura.push_back(double(t.nsecsElapsed()) / 1e6);
        anteprima.txtPag = QString::number(da);
        t.restart();
        anteprima.cmdNext_Click();
        cambio.push_back(double(t.nsecsElapsed()) / 1e6);
        if (anteprima.txtPag != QString::number(da + 1) || anteprima.NumPagine != 1000 || anteprima.ModoGrafico != grafica) {
            std::printf("preview: wrong page (%s of %d)\n", qPrintable(anteprima.txtPag), anteprima.NumPagine);
            return false;
        }
    }
    std::printf("preview window, %s (median of %d): opening %.1f ms, \">\" on page %d to page %d "
                "drawn %.1f ms (target 50)\n",
                nome, ripetizioni, mediana(apertura), da, da + 1, mediana(cambio));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int ripetizioni = app.arguments().contains(QStringLiteral("--quick")) ? 3 : 10;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lungo.txt"));
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        for (int p = 1; p <= 1000; ++p) {
            for (int r = 0; r < 60; ++r)
                f.write("@RIGA \x02" "Pagina " + QByteArray::number(p) + "\x01 riga " + QByteArray::number(r)
                        + " - Hotel Bellavista, camera doppia, 3 notti       390,00 \x03" "EUR\x01\r\n");
            f.write("@PAGE\r\n");
        }
    }
    const QString lotto = dir.filePath(QStringLiteral("lotto.txt"));
    {
        QFile f(lotto);
        f.open(QIODevice::WriteOnly);
        f.write("@LARG PRO\r\n" + bench::lavoroRealistico(1000));
    }
    if (!misura(file, "1,000-page text job", false, ripetizioni)
        || !misura(lotto, "1,000-page graphic batch", true, ripetizioni)
        || !misura(lotto, "1,000-page graphic batch", true, ripetizioni, 998))
        return 1;
    return 0;
}
