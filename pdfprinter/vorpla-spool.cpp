// CUPS backend of the PDF printer "PDFCreator": every job, as the PostScript
// driver made it, becomes the file spool.ps in the spool folder named by the
// device URI (vorpla-spool:/opt/ulka/temp). Vorpla waits for that file,
// takes it and turns it into PDF.
//
//   vorpla-spool                                  lists the device (CUPS asks so)
//   vorpla-spool JOB USER TITLE COPIES OPTIONS [FILE]
//
// The spool folder is shared by every user of the machine, so:
//  - the job is written under a name of its own (.spool.ps.JOB), created
//    afresh (never through a link someone left there), and renamed over
//    spool.ps only once complete: Vorpla never reads half a job;
//  - while it is written the file holds an exclusive lock (flock), which is
//    what Vorpla's "still held by the printer" test looks for;
//  - run by CUPS as root, it takes the rights of the job's user before it
//    touches the folder, so it can write nothing that user could not, and
//    the file (mode 0600) belongs to that user alone; run as the spooler's
//    user, the file is made readable by everyone, so the user's Vorpla can
//    read, rename and delete it;
//  - a cancelled job (SIGTERM) leaves no partial file behind.
//
// Exit status as CUPS expects: 0 done, 1 the job failed.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int cartellaFd = -1;
char nomeParziale[64];

void annullato(int)
{
    if (cartellaFd >= 0 && nomeParziale[0])
        ::unlinkat(cartellaFd, nomeParziale, 0);
    ::_exit(0);
}

int fallisci(const char *cosa, int errore)
{
    std::fprintf(stderr, "ERROR: vorpla-spool: %s: %s\n", cosa, std::strerror(errore));
    if (cartellaFd >= 0 && nomeParziale[0])
        ::unlinkat(cartellaFd, nomeParziale, 0);
    return 1;
}

int valoreEsadecimale(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The folder of the device URI: "vorpla-spool:/path" or
// "vorpla-spool:///path", with %XX escapes (lpadmin escapes blanks).
std::string cartellaDellUri(const char *uri)
{
    std::string resto = std::strchr(uri, ':') ? std::strchr(uri, ':') + 1 : "";
    if (resto.rfind("//", 0) == 0)
        resto.erase(0, 2);
    std::string cartella;
    for (size_t i = 0; i < resto.size(); ++i) {
        if (resto[i] == '%' && i + 2 < resto.size() && valoreEsadecimale(resto[i + 1]) >= 0
            && valoreEsadecimale(resto[i + 2]) >= 0) {
            cartella += char(valoreEsadecimale(resto[i + 1]) * 16 + valoreEsadecimale(resto[i + 2]));
            i += 2;
        } else {
            cartella += resto[i];
        }
    }
    return cartella;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 1) {
        std::puts("file vorpla-spool \"Vorpla\" \"PostScript jobs into spool.ps of a folder\"");
        return 0;
    }
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return 1;
    }
    const char *uri = std::getenv("DEVICE_URI");
    const std::string cartella = cartellaDellUri(uri ? uri : "");
    if (cartella.empty() || cartella[0] != '/') {
        std::fprintf(stderr, "ERROR: vorpla-spool: the device URI names no absolute folder\n");
        return 1;
    }

    int ingresso = 0;
    if (argc == 7) {
        ingresso = ::open(argv[6], O_RDONLY | O_CLOEXEC);
        if (ingresso < 0)
            return fallisci(argv[6], errno);
    }

    // The job's own rights from here on (the job file is already open).
    const bool comeUtente = ::geteuid() == 0;
    if (comeUtente) {
        const passwd *utente = ::getpwnam(argv[2]);
        if (!utente) {
            std::fprintf(stderr, "ERROR: vorpla-spool: unknown user %s\n", argv[2]);
            return 1;
        }
        if (utente->pw_uid != 0
            && (::initgroups(utente->pw_name, utente->pw_gid) != 0 || ::setgid(utente->pw_gid) != 0
                || ::setuid(utente->pw_uid) != 0 || ::geteuid() != utente->pw_uid))
            return fallisci("cannot take the rights of the job's user", errno);
    }

    cartellaFd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (cartellaFd < 0)
        return fallisci(cartella.c_str(), errno);

    // The job number keeps the name apart from another job's: CUPS runs one
    // job at a time on the queue, but a second queue may share the folder.
    std::snprintf(nomeParziale, sizeof nomeParziale, ".spool.ps.%.20s", argv[1]);
    for (char *c = nomeParziale + 10; *c; ++c)
        if (*c == '/')
            *c = '_';
    struct sigaction azione {};
    azione.sa_handler = annullato;
    ::sigaction(SIGTERM, &azione, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    ::unlinkat(cartellaFd, nomeParziale, 0); // a link or file left there is removed, never followed
    const int fd = ::openat(cartellaFd, nomeParziale, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        nomeParziale[0] = 0;
        return fallisci("cannot create the spool file", errno);
    }
    if (::flock(fd, LOCK_EX) != 0)
        return fallisci("cannot lock the spool file", errno);

    char blocco[65536];
    for (;;) {
        const ssize_t letti = ::read(ingresso, blocco, sizeof blocco);
        if (letti == 0)
            break;
        if (letti < 0) {
            if (errno == EINTR)
                continue;
            return fallisci("cannot read the job", errno);
        }
        for (ssize_t fatto = 0; fatto < letti;) {
            const ssize_t scritti = ::write(fd, blocco + fatto, size_t(letti - fatto));
            if (scritti < 0) {
                if (errno == EINTR)
                    continue;
                return fallisci("cannot write the spool file", errno);
            }
            fatto += scritti;
        }
    }

    // Written as the job's user, the file is that user's; written as the
    // spooler's user, it must be readable by the job's.
    if (!comeUtente && ::fchmod(fd, 0644) != 0)
        return fallisci("cannot make the spool file readable", errno);

    // Complete: under its name in one step, still locked until closed.
    if (::renameat(cartellaFd, nomeParziale, cartellaFd, "spool.ps") != 0)
        return fallisci("cannot rename the spool file to spool.ps", errno);
    nomeParziale[0] = 0;
    ::close(fd);
    std::fprintf(stderr, "INFO: %s/spool.ps written\n", cartella.c_str());
    return 0;
}
