// Printing benchmark: the time from starting vorpla on a hidden two-page
// invoice in two copies to the moment the spooler has completed the last of
// its jobs, median of 10 runs (and the process's own run time beside it).
//
// It starts a private CUPS spooler of its own (scripts/cups-test-server.sh,
// queue "Office": PDF driver, file: device) in a temporary folder, so the
// machine's CUPS is neither needed nor touched, and stops it at the end.
//
// Usage: vorpla_bench_print [--quick]

#include "Mediana.h"
#include "SpoolerPrivato.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cups/cups.h>
#include <vector>

namespace {

const QByteArray Fattura = "@HIDE\r\n@COPI 2\r\n@TIPS FATTURA\r\n"
                           "@INTE\r\n@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.\r\n@INT2 Via Roma 1 - 40100 Bologna\r\n"
                           "@INDI\r\n@INDn Spett.le\r\n@INDb ROSSI MARIO\r\n@INDn Via della Liberta' 10\r\n"
                           "@INDf 47121 FORLI' (FC)\r\n@RIFE Pratica 2026/00123\r\n@DATA Bologna, 9 dicembre 2026\r\n"
                           "@TITO FATTURA N. 123/2026\r\n@BOXt 080\r\n@BOXi 080\r\n"
                           "@BXt1 c                                     Cd          Dd             D  F\r\n"
                           "@BXI1 Descrizione                            Notti        Importo\r\n"
                           "@BXr1 Hotel Bellavista, camera doppia            3         390,00\r\n"
                           "@BXr1 Transfer aeroporto                                     60,00\r\n"
                           "@BOXf\r\n@BXT1 Totale da pagare                                      450,00\r\n"
                           "@TEXT\r\n@TXTn Soggiorno di 3 notti in camera doppia.\r\n@PAGE\r\n"
                           "@TITO CONDIZIONI GENERALI\r\n@TEXT\r\n@TXTn Pagamento a vista fattura.\r\n@PAGE\r\n";

// Jobs of the spooler whose title is `titolo`: how many, how many completed,
// how many ended otherwise (stopped, cancelled, aborted).
void conta(const QByteArray &titolo, int &tutti, int &completati, int &falliti)
{
    cups_job_t *jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    tutti = completati = falliti = 0;
    for (int i = 0; i < n; ++i) {
        if (titolo != jobs[i].title)
            continue;
        ++tutti;
        completati += jobs[i].state == IPP_JSTATE_COMPLETED;
        falliti += jobs[i].state >= IPP_JSTATE_STOPPED && jobs[i].state != IPP_JSTATE_COMPLETED;
    }
    cupsFreeJobs(n, jobs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int ripetizioni = app.arguments().contains(QStringLiteral("--quick")) ? 3 : 10;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vorpla-bench-XXXXXX"));
    const QString radice = dir.path();
    const SpoolerPrivato spooler(radice);
    if (!spooler.avviato()) {
        std::printf("printing: the private spooler did not start: %s\n", spooler.errori().constData());
        return 1;
    }
    const QByteArray socket = QFile::encodeName(spooler.socket());
    qputenv("CUPS_SERVER", socket);
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");

    const QString programma = radice + QStringLiteral("/ulka/vorpla");
    const QString temp = radice + QStringLiteral("/ulka/temp");
    QDir().mkpath(programma);
    QDir().mkpath(temp);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORPLA_HOME"), programma);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), radice); // the user's printer defaults stay the bench's own
    env.insert(QStringLiteral("XDG_DATA_HOME"), radice + QStringLiteral("/dati"));

    std::vector<double> tempi, processi;
    int esito = 0;
    for (int i = 0; i < ripetizioni && esito == 0; ++i) {
        const QString nome = QStringLiteral("fattura%1.TXT").arg(i);
        const QString file = temp + u'/' + nome;
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(Fattura);
        f.close();

        QProcess p;
        p.setProcessEnvironment(env);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(VORPLA_EXE), {file});
        p.waitForFinished(60000);
        const double processo = double(t.nsecsElapsed()) / 1e6;
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            std::printf("printing: vorpla failed (exit status %d)\n", p.exitCode());
            esito = 1;
            break;
        }
        int tutti = 0, completati = 0, falliti = 0;
        for (;;) {
            conta(nome.toUtf8(), tutti, completati, falliti);
            if ((tutti == 2 && completati == 2) || falliti > 0 || t.elapsed() > 30000)
                break;
            QThread::usleep(2000);
        }
        if (completati != 2) {
            std::printf("printing: the spooler completed %d of %d jobs (%d failed), 2 expected; see %s/log/error_log\n",
                        completati, tutti, falliti, qPrintable(spooler.cartella()));
            esito = 1;
            break;
        }
        tempi.push_back(double(t.nsecsElapsed()) / 1e6);
        processi.push_back(processo);
    }

    if (esito != 0) {
        dir.setAutoRemove(false); // its logs tell why
        return esito;
    }
    std::printf("printing: median %.0f ms over %d runs from starting vorpla to the last CUPS job completed "
                "(hidden 2-page invoice, 2 copies, private spooler; min %.0f, max %.0f); vorpla itself ran %.0f ms\n",
                mediana(tempi), ripetizioni, *std::min_element(tempi.begin(), tempi.end()),
                *std::max_element(tempi.begin(), tempi.end()), mediana(processi));
    return 0;
}
