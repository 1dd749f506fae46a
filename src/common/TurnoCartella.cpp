#include "TurnoCartella.h"

#include "ErroreVB.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace vorpla {

namespace {
constexpr int PassoMs = 200;
}

TurnoCartella::TurnoCartella(QString fileBlocco) : m_file(std::move(fileBlocco)) {}

TurnoCartella::~TurnoCartella()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void TurnoCartella::prendi(const std::function<void(int ms)> &attendi, const std::function<void()> &inAttesa)
{
    if (m_fd >= 0)
        return;
    // Shared by every user's instances: readable and writable by all, never
    // followed through a link someone put there.
    m_fd = ::open(QFile::encodeName(m_file).constData(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0)
        throw ErroreVB(erroreFileDaErrno(errno),
                       descrizioneErroreVB(erroreFileDaErrno(errno)) + QStringLiteral(": ") + m_file);
    bool atteso = false;
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int numero = erroreFileDaErrno(errno);
            ::close(m_fd);
            m_fd = -1;
            throw ErroreVB(numero, descrizioneErroreVB(numero) + QStringLiteral(": ") + m_file);
        }
        if (!atteso && inAttesa)
            inAttesa();
        atteso = true;
        if (attendi)
            attendi(PassoMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(PassoMs));
    }
}

} // namespace vorpla
