#pragma once
// Waiting on the user-interface thread. The program waits often (a printer
// spooling, a file still held by another program, the client's answer on
// the clipboard) and its windows must keep working meanwhile: every wait
// runs the pending events at least every 10 ms. Both raise an end that a
// window command asked for meanwhile (richiediFine).

namespace vorpla {

// Lets the pending window events run.
void eventiInSospeso();

// Waits `ms` milliseconds, letting the window events run.
void attendiConEventi(int ms);

} // namespace vorpla
