#include "MarcatoreSpool.h"

#include "common/ErroreVB.h"
#include "common/FileRegolare.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorpla {

namespace {

QByteArray campo(const QByteArray &contenuto, const char *nome)
{
    for (const QByteArray &riga : contenuto.split('\n')) {
        const QByteArray r = riga.endsWith('\r') ? riga.chopped(1) : riga;
        if (r.startsWith(nome))
            return r.mid(qstrlen(nome));
    }
    return {};
}

int erroreDi(int numero)
{
    return numero == EACCES || numero == EPERM || numero == EROFS ? Err::PermessoNegato : Err::AccessoPercorso;
}

} // namespace

quint64 avvioProcesso(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray riga = stat.readAll();
    // The fields after the program's name, which is in brackets and may
    // hold blanks; the start time is the 22nd field, the 20th after it.
    const qsizetype fine = riga.lastIndexOf(')');
    if (fine < 0)
        return 0;
    const QList<QByteArray> campi = riga.mid(fine + 2).split(' ');
    return campi.size() > 19 ? campi.at(19).toULongLong() : 0;
}

MarcatoreSpool::MarcatoreSpool(QString cartella, std::chrono::milliseconds rinnovo,
                               std::chrono::milliseconds rinnovoMassimo)
    : m_percorso(cartella + QStringLiteral("vorpla.SMR")), m_passoRinnovo(rinnovo), m_rinnovoMassimo(rinnovoMassimo)
{
}

MarcatoreSpool::~MarcatoreSpool()
{
    rilascia();
}

bool MarcatoreSpool::esiste() const
{
    return QFileInfo::exists(m_percorso) || QFileInfo(m_percorso).isSymLink();
}

bool MarcatoreSpool::prendi(const QString &fileIngresso)
{
    const qint64 pid = QCoreApplication::applicationPid();
    QByteArray contenuto = "FILE=" + fileIngresso.toLocal8Bit() + "\r\n";
    contenuto += "DATA=" + QDateTime::currentDateTime().toString().toLocal8Bit() + "\r\n";
    contenuto += "PID=" + QByteArray::number(pid) + "\r\n";
    contenuto += "HOST=" + QSysInfo::machineHostName().toLocal8Bit() + "\r\n";
    contenuto += "AVVIO=" + QByteArray::number(avvioProcesso(pid)) + "\r\n";

    // The content first, under a name of this process only.
    const QByteArray privato = (m_percorso + QStringLiteral(".%1").arg(pid)).toLocal8Bit();
    ::unlink(privato.constData());
    const int fd = ::open(privato.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw ErroreVB(erroreDi(errno));
    const bool scritto = ::write(fd, contenuto.constData(), size_t(contenuto.size())) == contenuto.size();
    if (!scritto) {
        ::close(fd);
        ::unlink(privato.constData());
        throw ErroreVB(Err::AccessoPercorso);
    }
    // Then, in one step, under the marker's name: refused when it is there.
    const int esito = ::link(privato.constData(), m_percorso.toLocal8Bit().constData());
    const int errore = errno;
    ::unlink(privato.constData());
    if (esito == 0) {
        m_tenuto = true;
        m_fd = fd;
        m_fermaRinnovo = false;
        m_rinnovo = std::thread([this] { rinnova(); });
        return true;
    }
    ::close(fd);
    if (errore == EEXIST)
        return false;
    throw ErroreVB(erroreDi(errore));
}

void MarcatoreSpool::rinnova()
{
    const auto fine = std::chrono::steady_clock::now() + m_rinnovoMassimo;
    std::unique_lock blocco(m_mutex);
    while (!m_sveglia.wait_for(blocco, m_passoRinnovo, [this] { return m_fermaRinnovo; })) {
        if (std::chrono::steady_clock::now() >= fine)
            return;
        ::futimens(m_fd, nullptr);
    }
}

void MarcatoreSpool::rilascia()
{
    if (m_rinnovo.joinable()) {
        {
            std::lock_guard blocco(m_mutex);
            m_fermaRinnovo = true;
        }
        m_sveglia.notify_all();
        m_rinnovo.join();
    }
    if (m_tenuto) {
        // Only this holder's own file: after a takeover the marker there is
        // another instance's.
        struct stat nostro {}, attuale {};
        const QByteArray percorso = m_percorso.toLocal8Bit();
        if (::fstat(m_fd, &nostro) == 0 && ::lstat(percorso.constData(), &attuale) == 0
            && nostro.st_dev == attuale.st_dev && nostro.st_ino == attuale.st_ino)
            ::unlink(percorso.constData());
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_tenuto = false;
}

bool MarcatoreSpool::abbandonato(const QDateTime &adesso, int scadenza) const
{
    const QFileInfo info(m_percorso);
    if (!info.exists())
        return false;
    if (info.lastModified().secsTo(adesso) > scadenza)
        return true;
    const std::optional<QByteArray> contenuto = leggiFileRegolare(m_percorso, 64 * 1024);
    if (!contenuto)
        return false;
    const QByteArray pid = campo(*contenuto, "PID="), avvio = campo(*contenuto, "AVVIO=");
    if (pid.isEmpty() || campo(*contenuto, "HOST=") != QSysInfo::machineHostName().toLocal8Bit())
        return false; // an older instance's marker, or another machine's: only its age tells
    bool ok = false;
    const qint64 numero = pid.toLongLong(&ok);
    if (!ok || numero <= 0)
        return false;
    // The process is gone, or the number now belongs to another one.
    const quint64 partito = avvioProcesso(numero);
    return partito == 0 || (!avvio.isEmpty() && avvio.toULongLong() != partito);
}

bool MarcatoreSpool::rimuoviSeAbbandonato(const QDateTime &adesso, int scadenza)
{
    if (!abbandonato(adesso, scadenza))
        return false;
    return QFile::remove(m_percorso);
}

QString MarcatoreSpool::fileDelMarcatore(const QString &percorso)
{
    const std::optional<QByteArray> contenuto = leggiFileRegolare(percorso, 64 * 1024);
    return contenuto ? QString::fromLocal8Bit(campo(*contenuto, "FILE=")) : QString();
}

} // namespace vorpla
