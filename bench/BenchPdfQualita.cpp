// Quality PDF benchmark: `vorpla PDF` on a two-page invoice, from process
// start to the PDF written, median of 10 runs, beside the direct route of
// the PDF output form (`vorpla --render pdf`, the same measure); then 8
// `vorpla PDF` processes started at once, 10 rounds, every job a different
// document: jobs per second, the slowest job, and what was lost or left
// behind (PDFs missing or without their two pages, print files not deleted,
// markers left in the spool folder).
//
// The PDF printer's PDF-to-PostScript renderer: the spooler's pdftops
// filter on a 10-page invoice as the application prints it, through
// pdftocairo (the queue's, as installed), Ghostscript (the filter's own
// default) and poppler's pdftops, median of 10 each, with what the PDF made back
// from that PostScript holds (Type 3 fonts, the invoice's words); and the
// single quality job again with the queue set to Ghostscript.
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

// A 10-page invoice: on every page a letterhead, an address, a title, a
// boxed table of 20 rows, Italian text and a rule of box-drawing characters.
QByteArray fatturaLunga()
{
    QByteArray d = "@TIPS FATTURA\r\n";
    for (int p = 1; p <= 10; ++p) {
        d += "@INTE\r\n@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.\r\n@INT2 Via Roma 1 - 40100 Bologna\r\n"
             "@INDI\r\n@INDn Spett.le\r\n@INDb ROSSI MARIO\r\n@INDn Via della Libert\x85 10\r\n"
             "@INDf 47121 FORL\x8D (FC)\r\n@TITO FATTURA N. " + QByteArray::number(p) + "/2026\r\n"
             "@BOXt 080\r\n@BOXi 080\r\n"
             "@BXt1 c                                     Cd          Dd             D  F\r\n"
             "@BXI1 Descrizione                            Notti        Importo\r\n";
        for (int r = 0; r < 20; ++r)
            d += "@BXr1 Hotel Bellavista, camera " + QByteArray::number(r + 1) + "                3         "
                 + QByteArray::number(100 + r) + ",00\r\n";
        d += "@BOXf\r\n@TEXT\r\n@TXTn Soggiorno a Citt\x85 di Castello, caff\x8A e pi\x97 notti.\r\n"
             "@TXTn Servizi \xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4 totale 450,00\r\n@PAGE\r\n";
    }
    return d;
}

// A program run to its end: its exit status, its standard output.
int esegui(const QString &programma, const QStringList &argomenti, const QProcessEnvironment &env,
           QByteArray *uscita = nullptr)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(programma, argomenti);
    p.waitForFinished(180000);
    if (uscita)
        *uscita = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
    const auto unaAllaVolta = [&](const QString &nome, std::vector<double> *diretta) {
        std::vector<double> qualita;
        for (int i = 0; i < ripetizioni && esito == 0; ++i) {
            const QString file = temp + QStringLiteral("%1%2.TXT").arg(nome).arg(i);
            scrivi(file, fattura(i));
            QElapsedTimer t;
            t.start();
            auto p = avviaVorpla({QStringLiteral("PDF"), file});
            p->waitForFinished(180000);
            qualita.push_back(double(t.nsecsElapsed()) / 1e6);
            if (p->exitCode() != 0 || pagine(wb + QStringLiteral("%1%2.PDF").arg(nome).arg(i)) != 2) {
                std::printf("quality PDF: a single job failed (exit status %d)\n", p->exitCode());
                esito = 1;
            }
            if (!diretta)
                continue;
            const QString altro = temp + QStringLiteral("D%1.TXT").arg(i);
            scrivi(altro, fattura(i));
            t.restart();
            auto q = avviaVorpla({QStringLiteral("--render"), QStringLiteral("pdf"), QStringLiteral("--output"),
                                  radice + QStringLiteral("/diretto.pdf"), altro});
            q->waitForFinished(180000);
            diretta->push_back(double(t.nsecsElapsed()) / 1e6);
            if (q->exitCode() != 0)
                esito = 1;
        }
        return qualita.empty() ? 0.0 : mediana(qualita);
    };
    std::vector<double> diretta;
    const double qualita = unaAllaVolta(QStringLiteral("S"), &diretta);

    // The queue's PDF-to-PostScript step alone, by renderer, on the PDF the
    // application hands the spooler (the printer form's, on PDFCreator).
    struct Renderer
    {
        const char *nome;
        double ms = 0;
        int type3 = 0;
        bool testo = false;
    };
    std::vector<Renderer> renderer{{"pdftocairo"}, {"gs"}, {"pdftops"}};
    const QString lunga = temp + QStringLiteral("LUNGA.TXT"), lungaPdf = radice + QStringLiteral("/lunga.pdf");
    scrivi(lunga, fatturaLunga());
    if (esito == 0
        && esegui(QStringLiteral(VORPLA_EXE), {QStringLiteral("--render"), QStringLiteral("printer"),
                                               QStringLiteral("--printer-name"), QStringLiteral("PDFCreator"),
                                               QStringLiteral("--output"), lungaPdf, lunga},
                  env)
               != 0) {
        std::printf("quality PDF: the 10-page invoice could not be drawn\n");
        esito = 1;
    }
    QProcessEnvironment filtroEnv = env;
    filtroEnv.insert(QStringLiteral("PPD"), spooler + QStringLiteral("/etc/ppd/PDFCreator.ppd"));
    const QString filtro = spooler + QStringLiteral("/serverbin/filter/pdftops");
    for (Renderer &r : renderer) {
        std::vector<double> tempi;
        const QString ps = radice + QStringLiteral("/lunga-%1.ps").arg(QLatin1String(r.nome));
        for (int i = 0; i < ripetizioni && esito == 0; ++i) {
            QProcess p;
            p.setProcessEnvironment(filtroEnv);
            p.setStandardOutputFile(ps);
            p.setStandardErrorFile(QProcess::nullDevice());
            QElapsedTimer t;
            t.start();
            p.start(filtro, {QStringLiteral("1"), QStringLiteral("bench"), QStringLiteral("lunga"), QStringLiteral("1"),
                             QStringLiteral("pdftops-renderer=") + QLatin1String(r.nome), lungaPdf});
            p.waitForFinished(180000);
            tempi.push_back(double(t.nsecsElapsed()) / 1e6);
            if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
                std::printf("quality PDF: the spooler's pdftops filter failed with %s\n", r.nome);
                esito = 1;
            }
        }
        if (esito != 0)
            break;
        r.ms = mediana(tempi);
        // The PDF made back from it, read as a reader's program reads it.
        const QString pdf = ps + QStringLiteral(".pdf");
        esegui(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                                      QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=pdfwrite"),
                                      QStringLiteral("-sOutputFile=") + pdf, ps},
               env);
        QByteArray font, testo;
        esegui(QStringLiteral("pdffonts"), {pdf}, env, &font);
        esegui(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}, env, &testo);
        r.type3 = int(font.count("Type 3"));
        r.testo = QString::fromUtf8(testo).contains(QStringLiteral("Soggiorno a Città di Castello"))
                  && QString::fromUtf8(testo).contains(QStringLiteral("Servizi ──────── totale"));
    }

    // The single job again, the queue rendering through Ghostscript.
    double qualitaGs = 0;
    if (esito == 0) {
        QProcessEnvironment admin = env;
        const QStringList coda{QStringLiteral("-p"), QStringLiteral("PDFCreator"), QStringLiteral("-o")};
        esegui(QStringLiteral("lpadmin"), coda + QStringList{QStringLiteral("pdftops-renderer-default=gs")}, admin);
        qualitaGs = unaAllaVolta(QStringLiteral("R"), nullptr);
        esegui(QStringLiteral("lpadmin"), coda + QStringList{QStringLiteral("pdftops-renderer-default=pdftocairo")},
               admin);
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
        std::printf("  vorpla PDF (PDFCreator + Ghostscript): %.0f ms\n", qualita);
        std::printf("    the queue rendering with gs instead: %.0f ms\n", qualitaGs);
        std::printf("  direct route of the PDF form:          %.0f ms\n", mediana(diretta));
        std::printf("PDFCreator's PDF-to-PostScript step on a 10-page invoice (spooler's pdftops filter, median of %d):\n",
                    ripetizioni);
        for (const Renderer &r : renderer)
            std::printf("  %-10s %6.0f ms; PDF made back: %d Type 3 fonts, text %s\n", r.nome, r.ms, r.type3,
                        r.testo ? "kept" : "lost");
        std::printf("quality PDF, %d processes at once, %d rounds (%d jobs): %.2f jobs/s, %.1f s in all, "
                    "slowest job %.1f s\n",
                    istanze, giri, istanze * giri, istanze * giri / secondi, secondi, lentissimo / 1000);
        std::printf("  failed %d, PDFs missing or incomplete %d, print files left %d, marker left %s\n", falliti,
                    mancanti, rimasti, marcatore ? "yes" : "no");
        esito = falliti || mancanti || rimasti || marcatore;
    }

    return esito;
}
