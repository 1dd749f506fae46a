#pragma once
// One run of Vorpla: builds the job from the command line and runs it, on
// the screen or, without a display, headless with every message on
// standard error.

#include <QStringList>

namespace vorpla {

class Programma
{
public:
    // argomenti: the command-line arguments, without the program name.
    explicit Programma(QStringList argomenti);

    // Runs the job; returns the process's exit status.
    int esegui();

    // Whether Qt runs without a display (offscreen or minimal platform).
    static bool senzaDisplay();

private:
    QStringList m_argomenti;
};

} // namespace vorpla
