#pragma once
// The marker vorpla.SMR of the spool folder: while it exists, one program
// instance is printing on the shared PostScript printer, whose driver writes
// every job into the one spool.ps, and the others wait.
//
// Its first two lines are "FILE=" + the job's print file and "DATA=" + the
// date and time, which the exit command reads to recognise a job of its
// own. After them come the holder's process number and machine. A holder
// keeps an exclusive lock (flock) on its marker while it runs, which the
// system drops when the process ends however it ends: a marker of this
// machine that nobody holds locked is known as left over at once (the
// process table is not consulted, so a holder hidden from other users by
// /proc's hidepid is never taken for a dead one). Any other marker (an
// older instance's, another machine's) is left over only when it is more
// than 120 seconds old. Left-over markers are removed one at a time under
// the folder's lock file vorpla.SMR.lock, and only the file judged.
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
    // than `scadenza` seconds at `adesso`, or written on this machine by a
    // holder that no longer holds its lock.
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

} // namespace vorpla
