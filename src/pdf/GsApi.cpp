#include "GsApi.h"

#include <QByteArray>
#include <QFile>

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include <mutex>
#include <vector>

namespace vorpla {

namespace {

// The one interpreter instance the process may hold at a time.
std::mutex g_istanza;
// Set while this thread is inside EseguiGhostscript: a nested call on the
// same thread cannot wait for itself, so it fails instead of deadlocking.
thread_local bool t_inEsecuzione = false;

// Console input: there is never any (end of file at once).
int GSDLLCALL leggiConsole(void *, char *, int)
{
    return 0;
}

// Console output and errors: every block is accepted and dropped, so the
// interpreter never waits on its console.
int GSDLLCALL scartaConsole(void *, const char *, int lunghezza)
{
    return lunghezza;
}

} // namespace

bool EseguiGhostscript(const QStringList &argomenti)
{
    if (t_inEsecuzione || argomenti.isEmpty())
        return false;
    const std::lock_guard blocco(g_istanza);
    t_inEsecuzione = true;
    struct Uscita
    {
        ~Uscita() { t_inEsecuzione = false; }
    } uscita;

    void *istanza = nullptr;
    if (gsapi_new_instance(&istanza, nullptr) < 0 || !istanza)
        return false;

    int risultato = gsapi_set_stdio(istanza, leggiConsole, scartaConsole, scartaConsole);
    if (risultato >= 0) {
        // The library takes the arguments as 8-bit strings in the system's
        // encoding, the same bytes it hands to the file system.
        std::vector<QByteArray> testi;
        testi.reserve(size_t(argomenti.size()));
        for (const QString &a : argomenti)
            testi.push_back(QFile::encodeName(a));
        std::vector<char *> argv;
        argv.reserve(testi.size() + 1);
        for (QByteArray &t : testi)
            argv.push_back(t.data());
        argv.push_back(nullptr);
        risultato = gsapi_init_with_args(istanza, int(testi.size()), argv.data());
        gsapi_exit(istanza);
    }
    gsapi_delete_instance(istanza);
    return risultato >= 0 || risultato == gs_error_Quit;
}

} // namespace vorpla
