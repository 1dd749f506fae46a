#include "Attesa.h"

#include "FineProgramma.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

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

} // namespace vorpla
