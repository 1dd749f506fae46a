#pragma once
// One instance of the program at a time over a set of work files with fixed
// names in the shared temporary folder (a mail batch's Documento0001.stx and
// its PDF, publishing's folder RF): on a terminal server every user's
// instance shares that folder, and two runs at once would take each other's
// documents. The turn is an exclusive lock (flock) on a lock file beside the
// work files; the system drops it when the process ends, however it ends,
// so a run that died never keeps the others waiting. The lock file itself
// stays (it holds nothing).

#include <QString>
#include <functional>

namespace vorpla {

class TurnoCartella
{
public:
    explicit TurnoCartella(QString fileBlocco);
    // Gives the turn back.
    ~TurnoCartella();
    TurnoCartella(const TurnoCartella &) = delete;
    TurnoCartella &operator=(const TurnoCartella &) = delete;

    // Waits until this instance has the turn: tries again every 200 ms
    // through `attendi` (which lets window events run; a plain sleep when
    // unset), calling `inAttesa` once when it has to wait. Raises ErroreVB
    // (70 or 75) when the lock file cannot be made.
    void prendi(const std::function<void(int ms)> &attendi, const std::function<void()> &inAttesa = {});

private:
    QString m_file;
    int m_fd = -1;
};

} // namespace vorpla
