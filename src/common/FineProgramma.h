#pragma once
// Ending the program. "End" stops the process at once, without the job's
// clean-up (only termina deletes the job's files). It is raised as an
// exception that the entry points (main, the windows' event handlers) catch
// and turn into the process's exit, so tests can observe an end without the
// test process dying.

#include <exception>

namespace vorpla {

class FineProgramma : public std::exception
{
public:
    explicit FineProgramma(int codice) : m_codice(codice) {}
    int codice() const { return m_codice; }
    const char *what() const noexcept override { return "program end"; }

private:
    int m_codice;
};

// Exit status: 0 for a job that ended normally, 1 for an end after an error
// message or a failure (a hand-over the client never answered), so scripts
// running Vorpla on servers can tell them apart.
inline constexpr int FineNormale = 0;
inline constexpr int FineConErrore = 1;

[[noreturn]] inline void fine(int codice = FineNormale)
{
    throw FineProgramma(codice);
}

namespace dettaglio {
inline int &fineRichiesta()
{
    static int codice = -1; // the user-interface thread's only
    return codice;
}
} // namespace dettaglio

// An end raised by a window command delivered while another command waits
// letting events run (the exit button clicked while a PDF job waits for the
// printer): the window records it, and the next wait of the waiting command
// raises it again, so that command stops where it is instead of carrying
// on without the files the exit deleted.
inline void richiediFine(int codice)
{
    dettaglio::fineRichiesta() = codice;
}

// Raises the end asked for, once; nothing when none was.
inline void fineSeRichiesta()
{
    const int codice = dettaglio::fineRichiesta();
    if (codice < 0)
        return;
    dettaglio::fineRichiesta() = -1;
    fine(codice);
}

} // namespace vorpla
