#pragma once
// Keeping a client workstation's program folder up to date. Vorpla sits
// beside the host's terminal client (kelvoria.exe) and the download program
// (zol.exe); when it starts while the terminal client runs, it has the
// download program fetch, through its settings file kdTorvamilSond.ini
// (section FTP), first a new copy of itself (zol1.exe), then the client's
// archive (CLI_AGG.zip), which the main window's timer installs in the
// background. The fetched file arrives as temp/TEMP.EXE; under 10,000 bytes
// it is an error page or nothing, a failed fetch. Markers in the program
// folder remember what is done:
//   agg3.tst  the download program was replaced;
//   agg1.tst  the client archive was installed (nothing more to do).
//
// The download program is outside this program and may never deliver: a
// fetch is given up after two minutes (unless the services say otherwise;
// then the job goes on as after a failed fetch, and the next start tries
// again), and the timer gives up looking for the archive after as long. A
// step that meets a file held by another program is tried again for ten
// seconds, then the update is given up the same way. A fetched archive that
// is no zip is a failed fetch: the terminal client is never stopped for it.

#include "common/Attesa.h"

#include <QString>
#include <functional>

namespace vorpla {

enum class StileFinestra { Normale, Nascosta, RidottaConFuoco };

struct ServiziAggiornamento
{
    std::function<void()> eventi;
    std::function<void(int ms)> attendi;
    // The clock the waits' bounds are measured on (milliseconds, monotonic).
    std::function<qint64()> adesso = millisecondiMonotoni;
    // Starts a program of the program folder (found ignoring case) without
    // waiting; raises an error when it cannot.
    std::function<void(const QString &percorso, StileFinestra stile)> avviaProgramma;
    std::function<bool(const QString &nome, bool termina)> CercaProcesso;
    // Extracts the archive into the program folder, folders kept, existing
    // files replaced.
    std::function<void(const QString &archivio)> EstraiInCartella;
    // Whether the file is a zip archive that can be extracted.
    std::function<bool(const QString &archivio)> archivioValido;
    // Whether a program still holds the file open (writing it).
    std::function<bool(const QString &percorso)> fileInUso;
    // The main window's Timer1 switched on or off.
    std::function<void(bool attivo)> Timer1;
    // How long the download program is given to deliver a file.
    int attesaMassimaMs = 120000;
};

// The program's services: waits with events, programs started detached (an
// X11 desktop has no say on the window a program opens, so the style is not
// passed on), the process search, the safe extraction, /proc for held
// files; the timer does nothing until the caller binds it.
ServiziAggiornamento serviziAggiornamentoProgramma();

class AggiornamentoClient
{
public:
    static constexpr qint64 DimensioneMinima = 10000;
    static constexpr int IntervalloTimer = 1000;
    // How long a step meeting a held file is tried again.
    static constexpr int RitentiMassimiMs = 10000;

    explicit AggiornamentoClient(ServiziAggiornamento servizi) : m_s(std::move(servizi)) {}

    // The start-up part: the download program replaced, then the timer on
    // for the archive, as the markers say. An error other than a held file
    // shows "ERRORE N° <n>  <description>", deletes agg.tst and ends the
    // program.
    void AggiornaClient();
    // One tick of the main window's Timer1 (every second while on).
    void Timer1_Timer();

    bool FaseDownload = false;

private:
    bool scarica(const QString &remoto, StileFinestra stile);
    bool rinnovaDownload(const char *marcatore);
    void sostituisciDownload();
    void scriviImpostazioni(const QString &remoto);
    bool attendiRilascio(const QString &file);
    template<typename F> bool conRitenti(F &&passo);
    void spegni();

    ServiziAggiornamento m_s;
    int m_tick = 0;
};

} // namespace vorpla
