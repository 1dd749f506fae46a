// Benchmark of the PostScript-to-PDF conversion of the "quality" PDF route:
// the time of one conversion of a generated 10-page job inside the process
// (ConvertiPsInPdf over the system's Ghostscript library), median of 10 runs,
// beside the same conversion by the `gs` command line with the same
// arguments (process start and Ghostscript's start-up included), median of
// 10 runs.
//
// Usage: vorpla_bench_gs

#include "pdf/ModGhostScript.h"

#include "Mediana.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorpla;

namespace {

constexpr int Ripetizioni = 10;
constexpr int Pagine = 10;

// A job as a PostScript printer driver writes an invoice batch: on every
// page a letterhead, an address window, a title, a boxed table of 40 rows
// and a footer, in Helvetica and Courier, with rules and frames.
QByteArray lavoroPostScript()
{
    QByteArray ps = "%!PS-Adobe-3.0\n%%Creator: Vorpla\n%%Title: spool\n%%Pages: " + QByteArray::number(Pagine)
                    + "\n%%DocumentNeededResources: font Helvetica Helvetica-Bold Courier\n%%EndComments\n"
                      "%%BeginProlog\n/F { findfont exch scalefont setfont } bind def\n"
                      "/T { moveto show } bind def\n/L { moveto lineto stroke } bind def\n%%EndProlog\n";
    for (int p = 1; p <= Pagine; ++p) {
        const QByteArray n = QByteArray::number(p);
        ps += "%%Page: " + n + ' ' + n + "\n";
        ps += "14 /Helvetica-Bold F (AGENZIA VIAGGI ESEMPIO S.R.L.) 57 800 T\n";
        ps += "9 /Helvetica F (Via Roma 1 - 40100 Bologna - Tel. 051 000000 - P.IVA 00000000000) 57 788 T\n";
        ps += "0.8 setlinewidth 57 780 538 780 L\n";
        ps += "10 /Helvetica F (Spett.le) 320 740 T (ROSSI MARIO) 320 728 T (Via della Liberta' 10) 320 716 T "
              "(47121 FORLI' \\(FC\\)) 320 704 T\n";
        ps += "13 /Helvetica-Bold F (FATTURA N. " + n + "/2026) 57 660 T\n";
        ps += "0.5 setlinewidth 57 640 481 600 rectstroke\n";
        ps += "9 /Helvetica-Bold F (Codice) 60 628 T (Descrizione) 130 628 T (Periodo) 330 628 T (Importo) 470 628 T\n";
        for (int r = 0; r < 40; ++r) {
            const QByteArray y = QByteArray::number(612 - r * 14);
            const QByteArray rr = QByteArray::number(r + 1);
            ps += "9 /Courier F (HTL" + rr + ") 60 " + y + " T ";
            ps += "9 /Helvetica F (Hotel Bellavista camera doppia notte " + rr + ") 130 " + y + " T ";
            ps += "(01/12-04/12) 330 " + y + " T (" + QByteArray::number(100 + r * 7) + ",00) 470 " + y + " T\n";
            ps += "0.2 setlinewidth 57 " + QByteArray::number(608 - r * 14) + " 538 " + QByteArray::number(608 - r * 14)
                  + " L\n";
        }
        ps += "8 /Helvetica F (Pagina " + n + " di " + QByteArray::number(Pagine) + ") 480 30 T\n";
        ps += "showpage\n";
    }
    ps += "%%Trailer\n%%EOF\n";
    return ps;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir cartella;
    if (!cartella.isValid()) {
        std::printf("ghostscript: cannot create a temporary folder\n");
        return 1;
    }
    // A program folder of the benchmark's own, without "lib" and "fonts":
    // the system's Ghostscript resources are used, as on a fresh install.
    qputenv("VORPLA_HOME", (cartella.path() + QStringLiteral("/vorpla")).toLocal8Bit());
    const QString ps = cartella.path() + QStringLiteral("/spool.ps");
    QFile file(ps);
    if (!file.open(QIODevice::WriteOnly) || file.write(lavoroPostScript()) < 0) {
        std::printf("ghostscript: cannot write the PostScript job\n");
        return 1;
    }
    file.close();

    const QString pdf = cartella.path() + QStringLiteral("/lavoro.pdf");
    std::vector<double> tempiLibreria;
    QStringList argomenti;
    for (int i = 0; i < Ripetizioni; ++i) {
        QFile::remove(pdf);
        QElapsedTimer t;
        t.start();
        const bool riuscita = ConvertiPsInPdf(ps, pdf);
        tempiLibreria.push_back(double(t.nsecsElapsed()) / 1e6);
        if (!riuscita || !QFile::exists(pdf)) {
            std::printf("ghostscript: the in-process conversion failed\n");
            return 1;
        }
        argomenti = argomentiGhostscript().mid(1); // without the program-name slot
    }

    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    std::vector<double> tempiComando;
    if (!gs.isEmpty()) {
        for (int i = 0; i < Ripetizioni; ++i) {
            QFile::remove(pdf);
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.setStandardErrorFile(QProcess::nullDevice());
            QElapsedTimer t;
            t.start();
            p.start(gs, argomenti);
            const bool finito = p.waitForFinished(120000);
            tempiComando.push_back(double(t.nsecsElapsed()) / 1e6);
            if (!finito || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !QFile::exists(pdf)) {
                std::printf("ghostscript: the gs command line failed (exit status %d)\n", p.exitCode());
                return 1;
            }
        }
    }

    const double tLibreria = mediana(tempiLibreria);
    std::printf("ghostscript: %d-page PostScript job to PDF in %.1f ms in-process (median of %d)", Pagine, tLibreria,
                Ripetizioni);
    if (tempiComando.empty()) {
        std::printf("; no gs command line to compare with\n");
    } else {
        const double tComando = mediana(tempiComando);
        std::printf(", gs command line %.1f ms with the same arguments (median of %d): ratio %.2f\n", tComando,
                    Ripetizioni, tLibreria / tComando);
    }
    return 0;
}
