#include "AperturaDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace vorpla {

namespace {

// The status files of this process's openings; they go with it.
QTemporaryDir &cartellaEsiti()
{
    static QTemporaryDir cartella(QDir::tempPath() + QStringLiteral("/vorpla-apertura-XXXXXX"));
    return cartella;
}

QString ultimaRiga(const QByteArray &testo)
{
    const QStringList righe = QString::fromLocal8Bit(testo).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = righe.size() - 1; i >= 0; --i)
        if (!righe.at(i).trimmed().isEmpty())
            return righe.at(i).trimmed();
    return {};
}

} // namespace

void apriSenzaAttendere(const QString &programma, const QStringList &argomenti,
                        std::function<void(const QString &errori)> fallito, int sorveglianzaMs)
{
    static int numero = 0;
    QTemporaryDir &cartella = cartellaEsiti();
    const QString base = cartella.path() + QStringLiteral("/apertura%1").arg(++numero);
    const QString errori = base + QStringLiteral(".err"), esito = base + QStringLiteral(".esito");
    // The status is written beside its name and renamed, so it is read
    // whole or not at all.
    static const QString script = QStringLiteral(
        "e=$1; s=$2; shift 2; \"$@\" </dev/null >/dev/null 2>\"$e\"; echo $? >\"$s.tmp\" && mv \"$s.tmp\" \"$s\"");
    const bool avviato = cartella.isValid()
        && QProcess::startDetached(QStringLiteral("/bin/sh"),
                                   QStringList{QStringLiteral("-c"), script, QStringLiteral("vorpla"), errori, esito,
                                               programma}
                                       + argomenti);
    if (!avviato) {
        if (!QProcess::startDetached(programma, argomenti) && fallito)
            fallito(QStringLiteral("%1: impossibile avviarlo").arg(programma));
        return;
    }
    if (!fallito || !QCoreApplication::instance())
        return;
    // Owned by the application, so a watch still running when the program
    // ends goes with it.
    auto *sorveglianza = new QTimer(QCoreApplication::instance());
    auto orologio = std::make_shared<QElapsedTimer>();
    orologio->start();
    sorveglianza->setInterval(100);
    QObject::connect(sorveglianza, &QTimer::timeout, sorveglianza,
                     [sorveglianza, orologio, errori, esito, fallito, sorveglianzaMs] {
                         QFile file(esito);
                         if (!file.open(QIODevice::ReadOnly)) {
                             if (orologio->elapsed() >= sorveglianzaMs) {
                                 sorveglianza->stop();
                                 sorveglianza->deleteLater();
                             }
                             return;
                         }
                         sorveglianza->stop();
                         sorveglianza->deleteLater();
                         const int codice = file.readAll().trimmed().toInt();
                         file.close();
                         QFile::remove(esito);
                         QFile letti(errori);
                         const QByteArray detto = letti.open(QIODevice::ReadOnly) ? letti.readAll() : QByteArray();
                         letti.close();
                         QFile::remove(errori);
                         if (codice != 0)
                             fallito(ultimaRiga(detto));
                     });
    sorveglianza->start();
}

} // namespace vorpla
