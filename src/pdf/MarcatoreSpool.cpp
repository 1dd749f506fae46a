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
#include <sys/file.h>
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

} // namespace

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
    if (m_tenuto)
        return true;
    const qint64 pid = QCoreApplication::applicationPid();
    QByteArray contenuto = "FILE=" + fileIngresso.toLocal8Bit() + "\r\n";
    contenuto += "DATA=" + QDateTime::currentDateTime().toString().toLocal8Bit() + "\r\n";
    contenuto += "PID=" + QByteArray::number(pid) + "\r\n";
    contenuto += "HOST=" + QSysInfo::machineHostName().toLocal8Bit() + "\r\n";

    // The content first, under a name of this process only.
    const QByteArray privato = (m_percorso + QStringLiteral(".%1").arg(pid)).toLocal8Bit();
    ::unlink(privato.constData());
    const int fd = ::open(privato.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        throw ErroreVB(erroreFileDaErrno(errno));
    // Locked before it is the marker: a marker of a running holder is always
    // locked.
    ::flock(fd, LOCK_EX);
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
    throw ErroreVB(erroreFileDaErrno(errore));
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

// Whether the marker open on `fd` (the file now at the marker's path) is
// left over: older than `scadenza` seconds, or written by a holder of this
// machine that no longer holds its lock (every holder keeps an exclusive
// lock on its marker for as long as it runs, released by the system when the
// process ends however it ends).
static bool lasciatoDa(int fd, const QDateTime &adesso, int scadenza)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const QDateTime modificato = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec);
    if (modificato.secsTo(adesso) > scadenza)
        return true;
    QByteArray contenuto(qMin<qint64>(info.st_size, 64 * 1024), '\0');
    if (::pread(fd, contenuto.data(), size_t(contenuto.size()), 0) != contenuto.size())
        return false;
    if (campo(contenuto, "PID=").isEmpty() || campo(contenuto, "HOST=") != QSysInfo::machineHostName().toLocal8Bit())
        return false; // an older instance's marker, or another machine's: only its age tells
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false; // its holder runs
    ::flock(fd, LOCK_UN);
    return true;
}

bool MarcatoreSpool::abbandonato(const QDateTime &adesso, int scadenza) const
{
    const int fd = ::open(m_percorso.toLocal8Bit().constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool lasciato = lasciatoDa(fd, adesso, scadenza);
    ::close(fd);
    return lasciato;
}

bool MarcatoreSpool::rimuoviSeAbbandonato(const QDateTime &adesso, int scadenza)
{
    // Removals go one at a time, under the lock file of the folder, and only
    // of the file that was judged: two instances judging one left-over
    // marker never remove the one the first of them then wrote.
    const QByteArray percorso = m_percorso.toLocal8Bit();
    struct stat presente {};
    if (::lstat(percorso.constData(), &presente) != 0)
        return false;
    const int turno = ::open((m_percorso + QStringLiteral(".lock")).toLocal8Bit().constData(),
                             O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (turno < 0 || ::flock(turno, LOCK_EX) != 0) {
        if (turno >= 0)
            ::close(turno);
        return false;
    }
    bool rimosso = false;
    const int fd = ::open(percorso.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        struct stat giudicato {}, attuale {};
        if (lasciatoDa(fd, adesso, scadenza) && ::fstat(fd, &giudicato) == 0
            && ::lstat(percorso.constData(), &attuale) == 0 && giudicato.st_dev == attuale.st_dev
            && giudicato.st_ino == attuale.st_ino)
            rimosso = ::unlink(percorso.constData()) == 0;
        ::close(fd);
    }
    ::close(turno);
    return rimosso;
}

QString MarcatoreSpool::fileDelMarcatore(const QString &percorso)
{
    const std::optional<QByteArray> contenuto = leggiFileRegolare(percorso, 64 * 1024);
    return contenuto ? QString::fromLocal8Bit(campo(*contenuto, "FILE=")) : QString();
}

} // namespace vorpla
