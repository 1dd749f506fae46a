#pragma once
// The state the terminal-server hand-over shares between its steps. One
// process hands over one job, on the user-interface thread only.

#include <QString>

namespace vorpla {

struct StatoTerminale
{
    QString ModoNC;         // "NC": the print text goes as plain text; "": zipped
    QString TestoClipboard; // the text prepared for the plain-text hand-over
    bool ConFont = false;   // the program's fonts travel with the next file sent
    int ContaRegistra = 0;  // acknowledgements written after "@ULKA=VORPLATO"
};

StatoTerminale &statoTerminale();

// "NC" for the plain-text hand-over, "" for the zipped one.
inline QString &ModoNC()
{
    return statoTerminale().ModoNC;
}

} // namespace vorpla
