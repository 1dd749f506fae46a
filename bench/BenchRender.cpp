// The render benchmark: pages per second of `vorpla --render printer` on a
// realistic 1,000-page batch, the ratio of that time to a plain QPdfWriter
// program drawing the same strings at the same positions, and the peak
// memory of the render for 1,000 and for 10,000 pages. Then the same for
// the PDF route (`--render pdf`, the PDF output form and its document
// object) on the same batch, with its PDF bytes a page and what a page
// carrying the same logo adds to a batch.
//
// Targets: at least 300 pages per second, a ratio of at most 1.3, and peak
// memory for 10,000 pages at most 1.1 times that for 1,000; the PDF route
// at least as fast as the printer route, a logo page under 2 KB.
//
// The PDF route runs on a printer that is no fax server's: on a "ZETAFAX"
// printer every "@FAXS" of the batch writes the whole document so far, as
// the fax server expects, which a batch of hundreds of documents pays for
// with every document before it; that cost is printed apart, for 100
// documents.
//
// Usage: vorpla_bench_render [--quick]

#include "GeneraLavoro.h"

#include "common/StatoLavoro.h"
#include "interpreter/DocumentoRegistrato.h"
#include "interpreter/Interprete.h"
#include "interpreter/InterpretePdf.h"
#include "interpreter/SuperficieRegistrata.h"

#include "Mediana.h"
#include "Misura.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

// What the PDF route draws, for the plain program: its texts on their
// baselines, its frames and rules, its pictures.
void scriviDumpPdf(const QString &stampa, const QString &dump, const QString &stampante)
{
    azzeraLavoro();
    lavoro().FileIngresso = stampa;
    ValoriForm form;
    form.TipoDocumento = QStringLiteral("FATTURA");
    SuperficieRegistrata runtime(stampante);
    DocumentoRegistrato documento;
    InterpretePdf pdf(documento, runtime, form, stampa);
    pdf.filePdf = dump + QStringLiteral(".pdf");
    pdf.GRAFICA();
    QFile f(dump);
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    out.setEncoding(QStringConverter::Utf8);
    qint32 grassetto = 0;
    for (const ChiamataDocumento &c : documento.chiamate()) {
        const QVariantList &a = c.argomenti;
        if (c.operazione == QLatin1String("DocFontBold")) {
            grassetto = a[0].toInt();
        } else if (c.operazione == QLatin1String("DrawText")) {
            out << "TXB\t" << c.pagina << '\t' << a[1].toDouble() / 10 << '\t' << a[2].toDouble() / 10
                << "\tLiberation Mono\t" << a[3].toInt() << '\t' << int(grassetto != 0 || a[6].toInt() == 1) << '\t'
                << a[0].toString() << '\n';
        } else if (c.operazione == QLatin1String("DrawBox") || c.operazione == QLatin1String("DrawLine")) {
            const int i = c.operazione == QLatin1String("DrawBox") ? 3 : 0;
            const double x1 = a[i].toDouble(), x2 = a[i + 1].toDouble(), y1 = a[i + 2].toDouble(),
                         y2 = a[i + 3].toDouble();
            out << (x1 == x2 || y1 == y2 ? "LIN\t" : "RET\t") << c.pagina << '\t' << x1 / 10 << '\t' << y1 / 10
                << '\t' << x2 / 10 << '\t' << y2 / 10 << "\t0.01\n";
        } else if (c.operazione == QLatin1String("DrawImage")) {
            const double l = a[1].toDouble(), h = a[2].toDouble(), x = a[3].toDouble(), y = a[4].toDouble();
            out << "IMG\t" << c.pagina << '\t' << x / 10 << '\t' << y / 10 << '\t' << (x + l) / 10 << '\t'
                << (y + h) / 10 << '\n';
        }
    }
}

// A batch of pages that all carry the same logo.
QByteArray pagineConLogo(int pagine)
{
    QByteArray b = "@TIPS FATTURA\r\n";
    for (int p = 1; p <= pagine; ++p)
        b += "@INTE\r\n@LOGO logo.bmp\r\n@TEXT\r\n@TXTn Pagina " + QByteArray::number(p) + "\r\n@PAGE\r\n";
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool rapido = app.arguments().contains(QStringLiteral("--quick"));
    const int ripetizioni = rapido ? 1 : 5;
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
    // The PDF layout takes its pictures as JPEGs of the same names.
    figura.save(programma + QStringLiteral("/logo.jpg"), "JPEG");
    figura.save(dir.path() + QStringLiteral("/figura.jpg"), "JPEG");
    const QByteArray percorsoFigura = inLinea.toLocal8Bit();

    const QString mille = scrivi(dir.path() + QStringLiteral("/mille.txt"), bench::lavoroRealistico(1000, percorsoFigura));
    const QString diecimila =
        scrivi(dir.path() + QStringLiteral("/diecimila.txt"), bench::lavoroRealistico(10000, percorsoFigura));
    const QString uscita = dir.path() + QStringLiteral("/out.pdf");

    const QString stampantePdf = QStringLiteral("Vorpla Bench");
    auto renderPdf = [&](const QString &file, const QString &stampante) {
        return esegui({vorpla, QStringLiteral("--render"), QStringLiteral("pdf"), QStringLiteral("--output"), uscita,
                       QStringLiteral("--printer-name"), stampante, file});
    };
    // The two routes take turns, so that a busy machine slows both alike.
    std::vector<double> tempiRender, tempiSemplice, tempiPdf;
    long piccoMille = 0, piccoPdf = 0;
    qint64 bytePdf = 0;
    for (int i = 0; i < ripetizioni; ++i) {
        const Misura m = esegui({vorpla, QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                 uscita, QStringLiteral("--printer-name"), Stampante, mille});
        if (m.stato != 0) {
            std::printf("render failed (exit status %d)\n", m.stato);
            return 1;
        }
        tempiRender.push_back(m.secondi);
        piccoMille = std::max(piccoMille, m.picco_kb);
        const Misura p = renderPdf(mille, stampantePdf);
        if (p.stato != 0) {
            std::printf("PDF render failed (exit status %d)\n", p.stato);
            return 1;
        }
        tempiPdf.push_back(p.secondi);
        piccoPdf = std::max(piccoPdf, p.picco_kb);
        bytePdf = QFileInfo(uscita).size();
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

    // ---- The PDF route -------------------------------------------------------
    std::vector<double> tempiSemplicePdf;
    const QString dumpPdf = dir.path() + QStringLiteral("/dump-pdf.tsv");
    scriviDumpPdf(mille, dumpPdf, stampantePdf);
    for (int i = 0; i < ripetizioni; ++i) {
        const Misura m = esegui({semplice, dumpPdf, dir.path() + QStringLiteral("/semplice-pdf.pdf"), inLinea});
        if (m.stato != 0) {
            std::printf("plain program failed on the PDF route's drawing (exit status %d)\n", m.stato);
            return 1;
        }
        tempiSemplicePdf.push_back(m.secondi);
    }
    const Misura grandePdf = renderPdf(diecimila, stampantePdf);
    const QString cento = scrivi(dir.path() + QStringLiteral("/logo100.txt"), pagineConLogo(100));
    const QString milleLoghi = scrivi(dir.path() + QStringLiteral("/logo1000.txt"), pagineConLogo(1000));
    renderPdf(cento, stampantePdf);
    const qint64 byteCento = QFileInfo(uscita).size();
    renderPdf(milleLoghi, stampantePdf);
    const qint64 byteMille = QFileInfo(uscita).size();
    QByteArray fax;
    for (int d = 0; d < 100; ++d)
        fax += "@FAXN 051/" + QByteArray::number(d) + "\r\n@INTE\r\n@INT1 AGENZIA\r\n@TEXT\r\n@TXTn Documento\r\n"
               "@PAGE\r\n@FAXS\r\n";
    const Misura inviiFax = renderPdf(scrivi(dir.path() + QStringLiteral("/fax.txt"), fax), QStringLiteral("ZETAFAX"));

    const double tPdf = mediana(tempiPdf), tSemplicePdf = mediana(tempiSemplicePdf);
    std::printf("pdf:     %.0f pages/s (1,000 pages in %.2f s, median of %d; target >= the printer route's %.0f)\n",
                1000 / tPdf, tPdf, ripetizioni, 1000 / tRender);
    std::printf("ratio:   %.2f to the plain QPdfWriter program drawing the PDF route's strings (%.2f s; target <= 1.3)\n",
                tPdf / tSemplicePdf, tSemplicePdf);
    std::printf("size:    %.0f PDF bytes a page; a page with the same logo adds %.0f bytes (target < 2048)\n",
                double(bytePdf) / 1000, double(byteMille - byteCento) / 900);
    std::printf("memory:  PDF route peak %ld kB for 1,000 pages, %ld kB for 10,000 pages: %.2f times (target <= 1.1)%s\n",
                piccoPdf, grandePdf.picco_kb, double(grandePdf.picco_kb) / double(piccoPdf),
                grandePdf.stato == 0 ? "" : " [10,000-page PDF render failed]");
    std::printf("fax:     100 one-page documents on a ZETAFAX printer, each \"@FAXS\" writing the PDF: %.2f s\n",
                inviiFax.secondi);
    return 0;
}
