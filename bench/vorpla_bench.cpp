// Vorpla's benchmark: prints the figures the project tracks.
//
//   header scan   throughput of the start-up scan of a print file's header
//                 markers over a generated 20 MB print file (target: at least
//                 200 MB/s);
//   start-up      median over 20 runs of the time from starting the vorpla
//                 process to the end of its start-up, for a small job without
//                 a display (the headless run ends right after start-up, so
//                 this is the whole process's wall time).
//
// Usage: vorpla_bench [--quick]

#include "common/StatoLavoro.h"
#include "startup/FormMain.h"
#include "startup/ScansioneIntestazione.h"

#include "Mediana.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorpla;

namespace {

// A realistic batch: letterheads, addresses, titles, free text, tables and
// page ends, repeated until the file reaches the size asked.
QByteArray lavoroGenerato(qint64 dimensione)
{
    static const char *const pagina[] = {
        "@INTE", "@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.", "@INT2 Via Roma 1 - 40100 Bologna",
        "@INT3 Tel. 051 000000 - P.IVA 00000000000", "@INDI", "@INDs Spett.le", "@INDb ROSSI MARIO",
        "@INDn Via della Liberta' 10", "@INDf 47121 FORLI' (FC)", "@RIFE Pratica 2026/00123",
        "@DAT1 Bologna, 9 dicembre 2026", "@TITO FATTURA N. 123/2026", "@BOXt 1.5", "@BOXl 80",
        "@BXt1 c          Cd                    Dt                    Tg          Gb          B",
        "@BXI1 Codice      Descrizione           Periodo               Importo     IVA",
        "@BXr1 HTL01       Hotel Bellavista      01/12-04/12           450,00      22%",
        "@BXr1 TRF02       Transfer aeroporto    01/12                  40,00      22%",
        "@BXr1 ASS03       Assicurazione         01/12-04/12            25,00      esente",
        "@BXT1 Totale                                                  515,00",
        "@BOXf", "@TEXT", "@TXTn Soggiorno di 3 notti in camera doppia con prima colazione.",
        "@TXTb Pagamento a vista fattura.", "@TX2n Condizioni generali di vendita: si veda il retro.",
        "@RIGA Riga di testo libero nella griglia dei caratteri, colonna per colonna.",
        "@PAGE",
    };
    QByteArray b;
    b.reserve(dimensione + 4096);
    b += "@TIPS FATTURA\r\n@COPI 2\r\n@EMAI amministrazione@esempio.it\r\n";
    while (b.size() < dimensione) {
        for (const char *riga : pagina) {
            b += riga;
            b += "\r\n";
        }
    }
    return b;
}

void scansione(const QString &cartella, int ripetizioni)
{
    const qint64 dimensione = 20 * 1000 * 1000;
    const QString file = cartella + QStringLiteral("/grande.txt");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(lavoroGenerato(dimensione));
    f.close();
    const double mb = double(QFile(file).size()) / 1e6;
    std::vector<double> velocita;
    for (int i = 0; i < ripetizioni; ++i) {
        FormMain form;
        StatoLavoro stato;
        QElapsedTimer t;
        t.start();
        ScansionaIntestazione(file, form, stato, [] { QCoreApplication::processEvents(); });
        velocita.push_back(mb / (double(t.nsecsElapsed()) / 1e9));
    }
    std::printf("header scan: %.1f MB file, median %.0f MB/s over %d runs (target >= 200 MB/s)\n", mb,
                mediana(velocita), ripetizioni);
}

void avvio(const QString &cartella, int ripetizioni)
{
    const QString programma = cartella + QStringLiteral("/ulka/vorpla");
    QDir().mkpath(programma);
    const QString file = cartella + QStringLiteral("/piccolo.txt");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(lavoroGenerato(2000));
    f.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORPLA_HOME"), programma);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    std::vector<double> tempi;
    for (int i = 0; i < ripetizioni; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(VORPLA_EXE), {file});
        p.waitForFinished(60000);
        tempi.push_back(double(t.nsecsElapsed()) / 1e6);
        if (p.exitCode() != 0) {
            std::printf("start-up: the job failed (exit status %d)\n", p.exitCode());
            return;
        }
    }
    std::printf("start-up: median %.1f ms over %d runs (process start to start-up complete, no display)\n",
                mediana(tempi), ripetizioni);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool rapido = app.arguments().contains(QStringLiteral("--quick"));
    QTemporaryDir dir;
    scansione(dir.path(), rapido ? 2 : 5);
    avvio(dir.path(), rapido ? 3 : 20);
    return 0;
}
