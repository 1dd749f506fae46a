#pragma once
// The marker vorpla.SMR of the spool folder: while it exists, one program
// instance is printing on the shared PostScript printer, whose driver writes
// every job into the one spool.ps, and the others wait.
//
// Its first two lines are "FILE=" + the job's print file and "DATA=" + the
// date and time, which the exit command reads to recognise a job of its
// own. After them come the holder's process number, machine and process
// start time, so a marker whose holder no longer runs on this machine is
// known as left over at once; any other marker is left over only when it is
// more than 120 seconds old.
//
// The marker is taken in one step: its content goes to a private file that
// is then linked under the marker's name, which fails when a marker is
// there. Two instances can never both hold it, and no instance ever reads a
// marker half written.
//
// While it is held the marker's time is renewed every few seconds, so a job
// that takes long (a large batch through Ghostscript) is never taken for one
// that did not finish; the renewal stops after ten minutes, so a holder that
// hangs still frees the printer. Releasing deletes the marker only when it
// is still this holder's own file.

#include <QDateTime>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorpla {

class MarcatoreSpool
{
public:
    // The marker of the spool folder `cartella` (its path ends in "/"),
    // renewed every `rinnovo` while held, for at most `rinnovoMassimo`.
    explicit MarcatoreSpool(QString cartella, std::chrono::milliseconds rinnovo = std::chrono::seconds(5),
                            std::chrono::milliseconds rinnovoMassimo = std::chrono::minutes(10));
    // Releases the marker when it is still held.
    ~MarcatoreSpool();
    MarcatoreSpool(const MarcatoreSpool &) = delete;
    MarcatoreSpool &operator=(const MarcatoreSpool &) = delete;

    const QString &percorso() const { return m_percorso; }

    // Takes the printer for the job of `fileIngresso`; false when another
    // instance holds it. Errors of the folder are raised as ErroreVB (75,
    // or 70 when permission is denied).
    bool prendi(const QString &fileIngresso);
    // Deletes the marker when this instance holds it and it is still its
    // own file (not one another instance wrote after taking it over).
    void rilascia();
    bool tenuto() const { return m_tenuto; }

    // Whether a marker exists.
    bool esiste() const;
    // Whether the marker there belongs to a job that did not finish: older
    // than `scadenza` seconds at `adesso`, or held by a process of this
    // machine that no longer runs.
    bool abbandonato(const QDateTime &adesso = QDateTime::currentDateTime(), int scadenza = 120) const;
    // Deletes a marker that is left over; true when one was deleted.
    bool rimuoviSeAbbandonato(const QDateTime &adesso = QDateTime::currentDateTime(), int scadenza = 120);

    // The print file named by the first line of a marker ("" without one).
    static QString fileDelMarcatore(const QString &percorso);

private:
    void rinnova();

    QString m_percorso;
    bool m_tenuto = false;
    int m_fd = -1; // the held marker's own file
    std::chrono::milliseconds m_passoRinnovo, m_rinnovoMassimo;
    std::thread m_rinnovo;
    std::mutex m_mutex;
    std::condition_variable m_sveglia;
    bool m_fermaRinnovo = false;
};

// This process's start time as the system counts it (clock ticks since the
// machine started), and another's; 0 when it does not run.
quint64 avvioProcesso(qint64 pid);

} // namespace vorpla
