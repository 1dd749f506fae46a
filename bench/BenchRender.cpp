// The render benchmark: pages per second of `vorpla --render printer` on a
// realistic 1,000-page batch, the ratio of that time to a plain QPdfWriter
// program drawing the same strings at the same positions, and the peak
// memory of the render for 1,000 and for 10,000 pages.
//
// Targets: at least 300 pages per second, a ratio of at most 1.3, and peak
// memory for 10,000 pages at most 1.1 times that for 1,000.
//
// Usage: vorpla_bench_render [--quick]

#include "GeneraLavoro.h"

#include "common/StatoLavoro.h"
#include "interpreter/Interprete.h"
#include "interpreter/SuperficieRegistrata.h"

#include "Mediana.h"
#include "Misura.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorpla;

namespace {

// A fax server's printer: the fax directives are drawn too.
const QString Stampante = QStringLiteral("ZETAFAX Bench");

QString scrivi(const QString &percorso, const QByteArray &contenuto)
{
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(contenuto);
    return percorso;
}

// What the interpreter draws, as the plain program's input: pictures,
// lines and boxes, and one line a string, with its pitch when it is a run of grid characters drawn one cell
// apart (the printer and PDF backends send such runs as one string).
void scriviDump(const QString &stampa, const QString &dump)
{
    azzeraLavoro();
    lavoro().FileIngresso = stampa;
    ValoriForm form;
    form.TipoDocumento = QStringLiteral("FATTURA");
    SuperficieRegistrata s(Stampante);
    Interprete(s, form, stampa).GRAFICA();
    QFile f(dump);
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    out.setEncoding(QStringConverter::Utf8);
    const OperazioneRegistrata *inizio = nullptr;
    QString testo;
    double passo = 0;
    auto scrivi = [&] {
        if (!inizio)
            return;
        const OperazioneRegistrata &op = *inizio;
        out << op.pagina << '\t' << op.a.x() << '\t' << op.a.y() << '\t' << op.famiglia << '\t' << op.dimensione
            << '\t' << int(op.grassetto) << '\t' << int(op.corsivo) << '\t' << passo << '\t' << testo << '\n';
        inizio = nullptr;
    };
    for (const auto &op : s.operazioni()) {
        if (op.tipo == OperazioneRegistrata::Tipo::Immagine) {
            scrivi();
            out << "IMG\t" << op.pagina << '\t' << op.a.x() << '\t' << op.a.y() << '\t' << op.b.x() << '\t'
                << op.b.y() << '\n';
            continue;
        }
        if (op.tipo == OperazioneRegistrata::Tipo::Linea || op.tipo == OperazioneRegistrata::Tipo::Rettangolo) {
            scrivi();
            out << (op.tipo == OperazioneRegistrata::Tipo::Linea ? "LIN\t" : "RET\t") << op.pagina << '\t' << op.a.x()
                << '\t' << op.a.y() << '\t' << op.b.x() << '\t' << op.b.y() << '\t' << op.spessore << '\n';
            continue;
        }
        if (op.tipo != OperazioneRegistrata::Tipo::Testo)
            continue;
        if (inizio && op.testo.size() == 1 && testo.size() >= 1 && op.pagina == inizio->pagina
            && op.a.y() == inizio->a.y() && op.famiglia == inizio->famiglia && op.dimensione == inizio->dimensione
            && op.grassetto == inizio->grassetto && op.corsivo == inizio->corsivo) {
            const double dx = op.a.x() - inizio->a.x();
            if (testo.size() == 1 && dx > 0 && inizio->testo.size() == 1) {
                passo = dx;
                testo += op.testo;
                continue;
            }
            if (testo.size() > 1 && qAbs(dx - passo * double(testo.size())) < 1e-9) {
                testo += op.testo;
                continue;
            }
        }
        scrivi();
        inizio = &op;
        testo = op.testo;
        passo = 0;
    }
    scrivi();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool rapido = app.arguments().contains(QStringLiteral("--quick"));
    const int ripetizioni = rapido ? 1 : 3;
    const QString vorpla = QStringLiteral(VORPLA_EXE);
    const QString semplice = QCoreApplication::applicationDirPath() + QStringLiteral("/pdf_semplice");

    QTemporaryDir dir;
    const QString programma = dir.path() + QStringLiteral("/vorpla");
    QDir().mkpath(programma);
    qputenv("VORPLA_HOME", programma.toLocal8Bit());

    // The pictures the batch names: a logo, and a picture inside text lines.
    QImage figura(240, 120, QImage::Format_RGB32);
    figura.fill(QColor(30, 90, 160));
    figura.save(programma + QStringLiteral("/logo.bmp"), "BMP");
    const QString inLinea = dir.path() + QStringLiteral("/figura.png");
    figura.save(inLinea, "PNG");
    const QByteArray percorsoFigura = inLinea.toLocal8Bit();

    const QString mille = scrivi(dir.path() + QStringLiteral("/mille.txt"), bench::lavoroRealistico(1000, percorsoFigura));
    const QString diecimila =
        scrivi(dir.path() + QStringLiteral("/diecimila.txt"), bench::lavoroRealistico(10000, percorsoFigura));
    const QString uscita = dir.path() + QStringLiteral("/out.pdf");

    std::vector<double> tempiRender, tempiSemplice;
    long piccoMille = 0;
    for (int i = 0; i < ripetizioni; ++i) {
        const Misura m = esegui({vorpla, QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                 uscita, QStringLiteral("--printer-name"), Stampante, mille});
        if (m.stato != 0) {
            std::printf("render failed (exit status %d)\n", m.stato);
            return 1;
        }
        tempiRender.push_back(m.secondi);
        piccoMille = std::max(piccoMille, m.picco_kb);
    }
    const QString dump = dir.path() + QStringLiteral("/dump.tsv");
    scriviDump(mille, dump);
    for (int i = 0; i < ripetizioni; ++i) {
        const Misura m = esegui({semplice, dump, dir.path() + QStringLiteral("/semplice.pdf"), inLinea});
        if (m.stato != 0) {
            std::printf("plain program failed (exit status %d)\n", m.stato);
            return 1;
        }
        tempiSemplice.push_back(m.secondi);
    }
    const Misura grande = esegui({vorpla, QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                  uscita, QStringLiteral("--printer-name"), Stampante, diecimila});

    const double tRender = mediana(tempiRender), tSemplice = mediana(tempiSemplice);
    std::printf("render:  %.0f pages/s (1,000 pages in %.2f s, median of %d; target >= 300)\n", 1000 / tRender, tRender,
                ripetizioni);
    std::printf("ratio:   %.2f to a plain QPdfWriter program drawing the same strings (%.2f s; target <= 1.3)\n",
                tRender / tSemplice, tSemplice);
    std::printf("memory:  peak %ld kB for 1,000 pages, %ld kB for 10,000 pages: %.2f times (target <= 1.1)%s\n",
                piccoMille, grande.picco_kb, double(grande.picco_kb) / double(piccoMille),
                grande.stato == 0 ? "" : " [10,000-page render failed]");
    return 0;
}
