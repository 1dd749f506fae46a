#pragma once
// Waiting on the user-interface thread. The program waits often (a printer
// spooling, a file still held by another program, the client's answer on
// the clipboard) and its windows must keep working meanwhile: every wait
// runs the pending events at least every 10 ms. Both raise an end that a
// window command asked for meanwhile (richiediFine).

#include <QtGlobal>

#include <functional>

namespace vorpla {

// Lets the pending window events run.
void eventiInSospeso();

// Waits `ms` milliseconds, letting the window events run.
void attendiConEventi(int ms);

// Milliseconds on the system's monotonic clock (it never goes back when
// the date is changed): what the program's bounded waits measure. A wait
// that takes its clock and its pause as services can be run by a test on
// a clock of its own, each pause moving it on without sleeping.
qint64 millisecondiMonotoni();

// Runs `lavoro` (file work that touches no window and no shared state: a
// zip archive, a file copy) on a thread of its own, and meanwhile waits
// with `attendi` in steps of 10 ms, so the windows keep working however
// long it takes. Raises what `lavoro` raised. An end raised by a wait comes
// only once the work is over, so no file is left half-written. Without
// `attendi` the work runs here.
void eseguiSenzaBloccare(const std::function<void()> &lavoro, const std::function<void(int ms)> &attendi);

} // namespace vorpla
