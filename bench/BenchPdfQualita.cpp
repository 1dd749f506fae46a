// Quality PDF benchmark: `vorpla PDF` on a two-page invoice, from process
// start to the PDF written, median of 10 runs, beside the direct route of
// the PDF output form (`vorpla --render pdf`, the same measure); then 8
// `vorpla PDF` processes started at once, 10 rounds, every job a different
// document: jobs per second, the slowest job, and what was lost or left
// behind (PDFs missing or without their two pages, print files not deleted,
// markers left in the spool folder).
//
// It starts a private CUPS spooler of its own (scripts/cups-test-server.sh)
// whose PDFCreator is installed by the build's installer, so the machine's
// CUPS is neither needed nor touched.
//
// Usage: vorpla_bench_pdf [--quick]

#include "Mediana.h"
#include "SpoolerPrivato.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QByteArray fattura(int k)
{
    QByteArray d = "@TIPS FATTURA\r\n@INTE\r\n@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.\r\n@INT2 Via Roma 1 - 40100 Bologna\r\n"
                   "@INDI\r\n@INDn Spett.le\r\n@INDb CLIENTE " + QByteArray::number(k) + "\r\n@INDf 40100 BOLOGNA (BO)\r\n"
                   "@RIFE Pratica 2026/" + QByteArray::number(1000 + k) + "\r\n@DATA Bologna, 9 dicembre 2026\r\n"
                   "@TITO FATTURA N. " + QByteArray::number(100 + k) + "/2026\r\n@BOXt 080\r\n@BOXi 080\r\n"
                   "@BXt1 c                                     Cd          Dd             D  F\r\n"
                   "@BXI1 Descrizione                            Notti        Importo\r\n"
                   "@BXr1 Hotel Bellavista, camera doppia            3         390,00\r\n"
                   "@BXr1 Transfer aeroporto                                     60,00\r\n"
                   "@BOXf\r\n@TEXT\r\n@TXTn Soggiorno di 3 notti in camera doppia.\r\n@PAGE\r\n"
                   "@TITO CONDIZIONI GENERALI\r\n@TEXT\r\n@TXTn Pagamento a vista fattura.\r\n@PAGE\r\n";
    return d;
}

void scrivi(const QString &percorso, const QByteArray &dati)
{
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(dati);
}

int pagine(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    for (const QByteArray &riga : p.readAllStandardOutput().split('\n'))
        if (riga.startsWith("Pages:"))
            return riga.mid(6).trimmed().toInt();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool veloce = app.arguments().contains(QStringLiteral("--quick"));
    const int ripetizioni = veloce ? 3 : 10, giri = veloce ? 2 : 10, istanze = 8;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vorpla-bench-pdf-XXXXXX"));
    const QString radice = dir.path();
    const SpoolerPrivato cups(radice, {QStringLiteral(VORPLA_PDFPRINTER)});
    if (!cups.avviato()) {
        std::printf("quality PDF: the private spooler did not start: %s\n", cups.errori().constData());
        return 1;
    }
    const QString spooler = cups.cartella();
    const QString spool = spooler + QStringLiteral("/spool-pdf/");
    const QString programma = radice + QStringLiteral("/ulka/vorpla"), temp = radice + QStringLiteral("/ulka/temp/"),
                  wb = radice + QStringLiteral("/ulka/tempWB/");
    QDir().mkpath(programma);
    QDir().mkpath(temp);
    QDir().mkpath(wb);
    scrivi(programma + QStringLiteral("/vorpla.ini"), "[PDF]\r\nPORTA=" + spool.toLocal8Bit() + "\r\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), spooler + QStringLiteral("/cups.sock"));
    env.insert(QStringLiteral("CUPS_SERVERBIN"), spooler + QStringLiteral("/serverbin"));
    env.insert(QStringLiteral("VORPLA_HOME"), programma);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), radice);
    env.insert(QStringLiteral("XDG_DATA_HOME"), radice + QStringLiteral("/dati"));
    env.remove(QStringLiteral("LPDEST"));
    env.remove(QStringLiteral("PRINTER"));

    const auto avviaVorpla = [&](const QStringList &argomenti) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setStandardOutputFile(QProcess::nullDevice());
        p->setStandardErrorFile(QProcess::nullDevice());
        p->start(QStringLiteral(VORPLA_EXE), argomenti);
        return p;
    };
    int esito = 0;

    // One job at a time: the quality route and the direct one.
    std::vector<double> qualita, diretta;
    for (int i = 0; i < ripetizioni && esito == 0; ++i) {
        const QString file = temp + QStringLiteral("S%1.TXT").arg(i);
        scrivi(file, fattura(i));
        QElapsedTimer t;
        t.start();
        auto p = avviaVorpla({QStringLiteral("PDF"), file});
        p->waitForFinished(180000);
        qualita.push_back(double(t.nsecsElapsed()) / 1e6);
        if (p->exitCode() != 0 || pagine(wb + QStringLiteral("S%1.PDF").arg(i)) != 2) {
            std::printf("quality PDF: a single job failed (exit status %d)\n", p->exitCode());
            esito = 1;
        }
        const QString altro = temp + QStringLiteral("D%1.TXT").arg(i);
        scrivi(altro, fattura(i));
        t.restart();
        auto q = avviaVorpla({QStringLiteral("--render"), QStringLiteral("pdf"), QStringLiteral("--output"),
                              radice + QStringLiteral("/diretto.pdf"), altro});
        q->waitForFinished(180000);
        diretta.push_back(double(t.nsecsElapsed()) / 1e6);
        if (q->exitCode() != 0)
            esito = 1;
    }

    // Eight instances at once, as many users of one terminal server.
    int mancanti = 0, rimasti = 0, falliti = 0;
    double lentissimo = 0;
    QElapsedTimer totale;
    totale.start();
    for (int g = 0; g < giri && esito == 0; ++g) {
        std::vector<std::unique_ptr<QProcess>> processi;
        std::vector<QElapsedTimer> tempi(istanze);
        for (int k = 0; k < istanze; ++k) {
            const QString file = temp + QStringLiteral("G%1J%2.TXT").arg(g).arg(k);
            scrivi(file, fattura(g * istanze + k));
            tempi[k].start();
            processi.push_back(avviaVorpla({QStringLiteral("PDF"), file}));
        }
        for (int k = 0; k < istanze; ++k) {
            processi[k]->waitForFinished(600000);
            lentissimo = std::max(lentissimo, double(tempi[k].nsecsElapsed()) / 1e6);
            falliti += processi[k]->exitStatus() != QProcess::NormalExit || processi[k]->exitCode() != 0;
            mancanti += pagine(wb + QStringLiteral("G%1J%2.PDF").arg(g).arg(k)) != 2;
            rimasti += QFileInfo::exists(temp + QStringLiteral("G%1J%2.TXT").arg(g).arg(k));
        }
    }
    const double secondi = double(totale.nsecsElapsed()) / 1e9;
    const bool marcatore = QFileInfo::exists(spool + QStringLiteral("vorpla.SMR"));

    if (esito == 0) {
        std::printf("quality PDF, one job of a 2-page invoice (median of %d, process start to PDF written):\n",
                    ripetizioni);
        std::printf("  vorpla PDF (PDFCreator + Ghostscript): %.0f ms\n", mediana(qualita));
        std::printf("  direct route of the PDF form:          %.0f ms\n", mediana(diretta));
        std::printf("quality PDF, %d processes at once, %d rounds (%d jobs): %.2f jobs/s, %.1f s in all, "
                    "slowest job %.1f s\n",
                    istanze, giri, istanze * giri, istanze * giri / secondi, secondi, lentissimo / 1000);
        std::printf("  failed %d, PDFs missing or incomplete %d, print files left %d, marker left %s\n", falliti,
                    mancanti, rimasti, marcatore ? "yes" : "no");
        esito = falliti || mancanti || rimasti || marcatore;
    }

    return esito;
}
