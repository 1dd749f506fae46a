// Terminal-server hand-over benchmark, on an X server of its own (Xvfb) with
// xclip as the client: the example invoice handed over zipped, ten times.
// Prints the median time from vorpla's start to the block on the clipboard
// (the "KV_ZIP" target offered), and from the client's answer to the
// program's end: for "@ULKA=REGISTRA" (the files go at once) and for
// "@ULKA=VORPLATO" (twelve acknowledgements 300 ms apart, then the client
// reads the last one and takes the clipboard).
// Usage: vorpla_bench_handover [--quick]   (--quick: 3 runs)

#include "Mediana.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

QProcessEnvironment ambienteX(const QString &schermo)
{
    QProcessEnvironment a = QProcessEnvironment::systemEnvironment();
    a.insert(QStringLiteral("DISPLAY"), schermo);
    return a;
}

QByteArray leggi(const QString &schermo, const QString &obiettivo)
{
    QProcess p;
    p.setProcessEnvironment(ambienteX(schermo));
    p.start(QStringLiteral("xclip"),
            {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"), obiettivo, QStringLiteral("-o")});
    p.waitForFinished(10000);
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}

std::unique_ptr<QProcess> scrivi(const QString &schermo, const QByteArray &testo)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(ambienteX(schermo));
    p->start(QStringLiteral("xclip"),
             {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i"), QStringLiteral("-quiet")});
    p->waitForStarted();
    p->write(testo);
    p->waitForBytesWritten();
    p->closeWriteChannel();
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int prove = app.arguments().contains(QStringLiteral("--quick")) ? 3 : 10;
    QTemporaryDir dir;
    const QString radice = dir.path();

    // -noreset: a server resetting as its last client leaves would refuse
    // the connections of that moment.
    QProcess xvfb;
    xvfb.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"),
                                           QStringLiteral("exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null")});
    // Xvfb writes its display number, then a line break, once it listens.
    QByteArray numero;
    while (!numero.endsWith('\n')) {
        if (!xvfb.waitForReadyRead(10000)) {
            std::printf("handover: Xvfb did not start\n");
            return 1;
        }
        numero += xvfb.readAllStandardOutput();
    }
    const QString schermo = QStringLiteral(":") + QString::fromLatin1(numero).trimmed();

    const QString programma = radice + QStringLiteral("/ulka/vorpla");
    QDir().mkpath(programma);
    QDir().mkpath(radice + QStringLiteral("/ulka/temp"));
    QFile::copy(QStringLiteral(VORPLA_SOURCE_DIR "/examples/programma/vorpla.ini"), programma + QStringLiteral("/vorpla.ini"));
    QFile esempio(QStringLiteral(VORPLA_SOURCE_DIR "/examples/fattura.txt"));
    esempio.open(QIODevice::ReadOnly);
    const QByteArray fattura = "@ULKA=LOCALE\r\n" + esempio.readAll();

    QProcessEnvironment ambiente = ambienteX(schermo);
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    ambiente.insert(QStringLiteral("VORPLA_HOME"), programma);
    ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), radice);

    std::vector<double> finoAlBlocco, fineRegistra, fineStampato;
    auto giro = [&](const QByteArray &risposta, std::vector<double> &fine) -> bool {
        const QString file = radice + QStringLiteral("/ulka/FATT01.txt");
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(fattura);
        f.close();
        QProcess vorpla;
        vorpla.setProcessEnvironment(ambiente);
        vorpla.setWorkingDirectory(radice);
        QElapsedTimer t;
        t.start();
        vorpla.start(QStringLiteral(VORPLA_EXE), {file});
        // A look every 5 ms: a client connecting without pause can fill the
        // X server's queue of new connections, and vorpla's own would fail.
        while (!leggi(schermo, QStringLiteral("TARGETS")).contains("KV_ZIP")) {
            QThread::msleep(5);
            if (t.elapsed() > 30000 || vorpla.state() == QProcess::NotRunning) {
                std::printf("handover: no block (exit %d): %s\n", vorpla.exitCode(), vorpla.readAllStandardError().constData());
                return false;
            }
        }
        finoAlBlocco.push_back(double(t.nsecsElapsed()) / 1e6);
        QElapsedTimer r;
        r.start();
        std::vector<std::unique_ptr<QProcess>> client;
        client.push_back(scrivi(schermo, risposta));
        if (risposta == "@ULKA=VORPLATO") {
            while (leggi(schermo, QStringLiteral("UTF8_STRING")) != "@ULKA=REGISTRA") {
                if (r.elapsed() > 30000)
                    return false;
                QThread::msleep(20);
            }
            client.push_back(scrivi(schermo, "next"));
        }
        if (!vorpla.waitForFinished(30000))
            return false;
        fine.push_back(double(r.nsecsElapsed()) / 1e6);
        for (auto &c : client) {
            c->kill();
            c->waitForFinished();
        }
        return vorpla.exitCode() == 0;
    };
    for (int i = 0; i < prove; ++i)
        if (!giro("@ULKA=REGISTRA", fineRegistra)) {
            std::printf("handover: run %d failed\n", i + 1);
            return 1;
        }
    for (int i = 0; i < (prove + 2) / 3; ++i)
        if (!giro("@ULKA=VORPLATO", fineStampato)) {
            std::printf("handover: printed run %d failed\n", i + 1);
            return 1;
        }
    xvfb.terminate();
    xvfb.waitForFinished();

    std::printf("handover (example invoice, zipped, %d runs, X server %s):\n", int(fineRegistra.size()),
                qPrintable(schermo));
    finoAlBlocco.resize(fineRegistra.size());
    std::printf("  vorpla start -> KV_ZIP block on the clipboard: median %.0f ms\n", mediana(finoAlBlocco));
    std::printf("  answer \"@ULKA=REGISTRA\" -> program end:       median %.0f ms (poll step 500 ms)\n",
                mediana(fineRegistra));
    std::printf("  answer \"@ULKA=VORPLATO\" -> program end:       median %.0f ms (%d runs; 12 acknowledgements 300 ms "
                "apart, the client reads the last)\n",
                mediana(fineStampato), int(fineStampato.size()));
    return 0;
}
