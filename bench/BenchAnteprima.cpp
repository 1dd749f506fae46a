// Preview window benchmark: on a generated 1,000-page text job (60 "@RIGA"
// lines a page, the attributes switching), the time to open the preview
// (page count and page 1 drawn) and the time from pressing ">" on page 999
// to page 1,000 drawn, medians of 10. Every page change reads the print
// file again from its start, as the window does.
//
// Usage: vorpla_bench_preview [--quick]

#include "Mediana.h"

#include "output/FormPreview.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using namespace vorpla;

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
    std::vector<double> apertura, cambio;
    for (int i = 0; i < ripetizioni; ++i) {
        FormPreview anteprima(file);
        QElapsedTimer t;
        t.start();
        anteprima.Form_Load();
        apertura.push_back(double(t.nsecsElapsed()) / 1e6);
        anteprima.txtPag = QStringLiteral("999");
        t.restart();
        anteprima.cmdNext_Click();
        cambio.push_back(double(t.nsecsElapsed()) / 1e6);
        if (anteprima.txtPag != QStringLiteral("1000") || anteprima.NumPagine != 1000) {
            std::printf("preview: wrong page (%s of %d)\n", qPrintable(anteprima.txtPag), anteprima.NumPagine);
            return 1;
        }
    }
    std::printf("preview window, 1,000-page text job (median of %d): opening %.1f ms, \">\" on page 999 to page 1,000 "
                "drawn %.1f ms (target 50)\n",
                ripetizioni, mediana(apertura), mediana(cambio));
    return 0;
}
