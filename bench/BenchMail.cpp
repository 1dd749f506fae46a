// Mail benchmark: a batch of 500 one-page statements mailed by
// vorpla --mail --smtp, every document its own PDF (the PDF output form) and
// its own message, to an SMTP server on 127.0.0.1 (scripts/smtp-test-server.py,
// started here). Prints documents per second and the peak memory of the
// process, beside the peak for a batch of 50: memory must stay flat (at most
// 1.2 times) however long the batch is.
//
// The PDF form consults the current printer: a private CUPS spooler is
// started too. Usage: vorpla_bench_mail [--quick]   (--quick: 100 and 20)

#include "Misura.h"
#include "SpoolerPrivato.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {

QByteArray lotto(int documenti)
{
    QByteArray b = "@COPI 1\r\n";
    for (int d = 1; d <= documenti; ++d) {
        const QByteArray n = QByteArray::number(d);
        b += "@FAXD Cliente " + n + "\r\n@EMAI cliente" + n + "@esempio.it\r\n@INTE\r\n@INT1 AGENZIA VIAGGI ESEMPIO\r\n"
             "@INDI\r\n@INDb CLIENTE " + n + "\r\n@INDf 40100 BOLOGNA\r\n@TITO ESTRATTO CONTO " + n + "\r\n"
             "@TEXT\r\n@TXTn Saldo al 9 dicembre 2026: EUR 1.234,00\r\n@PAGE\r\n@FAXS\r\n";
    }
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool rapido = app.arguments().contains(QStringLiteral("--quick"));
    const int molti = rapido ? 100 : 500, pochi = rapido ? 20 : 50;
    QTemporaryDir dir;
    const QString radice = dir.path();
    SpoolerPrivato spooler(radice);
    if (!spooler.avviato()) {
        std::printf("mail: the private spooler did not start: %s\n", spooler.errori().constData());
        return 1;
    }
    QProcess server;
    const QString porta = radice + QStringLiteral("/porta"), ricevuti = radice + QStringLiteral("/ricevuti");
    server.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(VORPLA_SOURCE_DIR "/scripts/smtp-test-server.py"), ricevuti, porta});
    for (int i = 0; i < 100 && !QFile::exists(porta); ++i)
        QThread::msleep(100);
    QFile f(porta);
    if (!f.open(QIODevice::ReadOnly)) {
        std::printf("mail: the SMTP server did not start\n");
        return 1;
    }
    const QByteArray numero = f.readAll().trimmed();

    const QString programma = radice + QStringLiteral("/ulka/vorpla");
    QDir().mkpath(programma);
    QDir().mkpath(radice + QStringLiteral("/ulka/temp"));
    QFile ini(programma + QStringLiteral("/vorpla.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write("[MAIL]\r\nINDIRIZZO=agenzia@vorpla.prova\r\nSMTP=127.0.0.1\r\nPORTA=" + numero + "\r\n");
    ini.close();
    qputenv("VORPLA_HOME", programma.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CUPS_SERVER", spooler.socket().toLocal8Bit());

    auto misura = [&](int documenti) {
        const QString file = radice + QStringLiteral("/job/E%1.txt").arg(documenti);
        QDir().mkpath(radice + QStringLiteral("/job"));
        QFile lavoro(file);
        lavoro.open(QIODevice::WriteOnly);
        lavoro.write(lotto(documenti));
        lavoro.close();
        const int prima = int(QDir(ricevuti).entryList({QStringLiteral("*.eml")}, QDir::Files).size());
        const Misura m = esegui({QStringLiteral(VORPLA_EXE), QStringLiteral("--mail"), QStringLiteral("--smtp"), file});
        const int arrivati = int(QDir(ricevuti).entryList({QStringLiteral("*.eml")}, QDir::Files).size()) - prima;
        if (m.stato != 0 || arrivati != documenti)
            std::printf("mail: %d documents, exit status %d, %d messages received\n", documenti, m.stato, arrivati);
        return std::pair{m, arrivati == documenti && m.stato == 0};
    };
    const auto [piccolo, bene1] = misura(pochi);
    const auto [grande, bene2] = misura(molti);
    server.terminate();
    server.waitForFinished(5000);
    if (!bene1 || !bene2)
        return 1;
    const double rapporto = double(grande.picco_kb) / double(piccolo.picco_kb);
    std::printf("mail batch over SMTP: %d one-page documents in %.1f s, %.1f documents/s; peak memory %ld kB, "
                "against %ld kB for %d documents (%.2f times, target at most 1.2)\n",
                molti, grande.secondi, molti / grande.secondi, grande.picco_kb, piccolo.picco_kb, pochi, rapporto);
    return 0;
}
