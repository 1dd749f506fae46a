#include "Attesa.h"

#include "FineProgramma.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

namespace vorpla {

void eventiInSospeso()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    fineSeRichiesta();
}

void attendiConEventi(int ms)
{
    QElapsedTimer t;
    t.start();
    for (qint64 resto = ms; resto > 0; resto = ms - t.elapsed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        fineSeRichiesta();
        QThread::msleep(quint64(qMin<qint64>(10, resto)));
    }
    fineSeRichiesta();
}

qint64 millisecondiMonotoni()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void eseguiSenzaBloccare(const std::function<void()> &lavoro, const std::function<void(int ms)> &attendi)
{
    if (!attendi) {
        lavoro();
        return;
    }
    std::atomic<bool> finito{false};
    std::exception_ptr errore;
    std::thread filo([&] {
        try {
            lavoro();
        } catch (...) {
            errore = std::current_exception();
        }
        finito = true;
    });
    std::exception_ptr fineAttesa;
    while (!finito) {
        try {
            attendi(10);
        } catch (...) {
            // The end asked for meanwhile waits for the work.
            fineAttesa = std::current_exception();
            break;
        }
    }
    filo.join();
    if (errore)
        std::rethrow_exception(errore);
    if (fineAttesa)
        std::rethrow_exception(fineAttesa);
}

} // namespace vorpla
