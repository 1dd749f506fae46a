#include "ProcessSession.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace vorpla {

namespace {

// The pidfd calls, through syscall(): the C library's own declarations are
// missing or lack C linkage on some systems.
int apriPidfd(pid_t pid)
{
    return int(::syscall(SYS_pidfd_open, pid, 0));
}

int segnalaPidfd(int fd, int segnale)
{
    return int(::syscall(SYS_pidfd_send_signal, fd, segnale, nullptr, 0));
}

// An open process: a pidfd keeps naming the same process even if its id is
// reused after it ends, so the process whose name was read is the one that
// gets the signal. Kernels without pidfds fall back to the plain id.
class Processo
{
public:
    explicit Processo(pid_t pid) : m_pid(pid), m_fd(apriPidfd(pid))
    {
        m_aperto = m_fd >= 0 || errno == ENOSYS;
    }
    ~Processo()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Processo(const Processo &) = delete;
    Processo &operator=(const Processo &) = delete;

    bool aperto() const { return m_aperto; }

    // Still the process that was opened (a signal 0 checks without sending).
    bool vivo() const
    {
        if (m_fd < 0)
            return true;
        return segnalaPidfd(m_fd, 0) == 0 || errno == EPERM;
    }

    void termina() const
    {
        if (m_fd >= 0)
            segnalaPidfd(m_fd, SIGKILL);
        else
            ::kill(m_pid, SIGKILL);
    }

private:
    pid_t m_pid;
    int m_fd;
    bool m_aperto = false;
};

// The ids of the running processes, ascending; false when /proc cannot be
// listed.
bool identificatori(std::vector<pid_t> &pid)
{
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return false;
    while (const dirent *voce = ::readdir(proc)) {
        const char *n = voce->d_name;
        if (*n < '1' || *n > '9')
            continue;
        long valore = 0;
        bool numero = true;
        for (const char *c = n; *c && numero; ++c) {
            numero = *c >= '0' && *c <= '9' && valore <= (INT_MAX - 9) / 10;
            valore = valore * 10 + (*c - '0');
        }
        if (numero)
            pid.push_back(pid_t(valore));
    }
    ::closedir(proc);
    std::sort(pid.begin(), pid.end());
    return true;
}

// The file name of the process's program file; "" when it cannot be read
// (another user's process, a kernel thread, a process that has ended).
QString nomeProgramma(pid_t pid)
{
    const QByteArray collegamento = "/proc/" + QByteArray::number(pid) + "/exe";
    QByteArray destinazione(PATH_MAX, Qt::Uninitialized);
    const ssize_t n = ::readlink(collegamento.constData(), destinazione.data(), size_t(destinazione.size()));
    if (n <= 0 || n >= destinazione.size())
        return {};
    destinazione.truncate(n);
    // A program file deleted or replaced while running reads "<path> (deleted)".
    static const QByteArray cancellato = " (deleted)";
    if (destinazione.endsWith(cancellato))
        destinazione.chop(cancellato.size());
    return QFile::decodeName(destinazione.mid(destinazione.lastIndexOf('/') + 1));
}

} // namespace

bool CercaProcesso(const QString &nome, bool termina)
{
    const QString cercato = nome.toUpper();
    if (cercato.isEmpty())
        return false;
    std::vector<pid_t> pid;
    if (!identificatori(pid))
        return false;
    bool trovato = false;
    for (const pid_t p : pid) {
        const Processo processo(p);
        if (!processo.aperto())
            continue;
        const QString programma = nomeProgramma(p);
        if (programma.isEmpty() || !processo.vivo())
            continue;
        if (!programma.toUpper().contains(cercato))
            continue;
        if (termina) {
            // TerminaProcesso on the process already open, so the signal
            // reaches the process whose name was read.
            processo.termina();
            return false;
        }
        trovato = true;
    }
    return trovato;
}

void TerminaProcesso(qint64 pid)
{
    if (pid <= 0 || pid > INT_MAX)
        return;
    const Processo processo{pid_t(pid)};
    if (processo.aperto())
        processo.termina();
}

bool FileInUso(const QString &percorso)
{
    const QString cercato = QFileInfo(percorso).canonicalFilePath();
    if (cercato.isEmpty())
        return false;
    const QByteArray bersaglio = QFile::encodeName(cercato);
    std::vector<pid_t> pid;
    if (!identificatori(pid))
        return false;
    for (pid_t p : pid) {
        const QByteArray cartella = "/proc/" + QByteArray::number(p) + "/fd";
        DIR *fd = ::opendir(cartella.constData());
        if (!fd)
            continue;
        bool trovato = false;
        while (const dirent *voce = ::readdir(fd)) {
            if (voce->d_name[0] == '.')
                continue;
            char destinazione[PATH_MAX];
            const QByteArray collegamento = cartella + '/' + voce->d_name;
            const ssize_t n = ::readlink(collegamento.constData(), destinazione, sizeof destinazione);
            if (n > 0 && QByteArray(destinazione, n) == bersaglio) {
                trovato = true;
                break;
            }
        }
        ::closedir(fd);
        if (trovato)
            return true;
    }
    return false;
}

} // namespace vorpla
