#pragma once
// Running programs by name. Start-up asks whether the terminal client runs,
// the exit command whether the download program still runs, and the client
// self-update stops the terminal client before replacing its files.
//
// A process is known by the file name of its program file, the target of
// /proc/PID/exe ("/opt/ulka/vorpla/kelvoria.exe" -> "kelvoria.exe"). That is
// the name the process was started from and cannot be changed by the
// process, unlike /proc/PID/comm (set by the process, cut at 15 characters)
// or the first element of its command line (whatever its starter wrote), so
// neither stands in when the program file cannot be read. A program file
// replaced on disk while it runs still counts under its name. The program
// file of another user's process cannot be read without the right to trace
// it, so such processes are never matched: neither reported nor terminated.

#include <QString>
#include <QtGlobal>

namespace vorpla {

// Whether a running process's program file name contains `nome`, letter
// case ignored ("kelvoria.exe" matches "xKelvoria.EXE"). Processes are taken
// in ascending process-id order, all of them. With `termina` the first
// match is terminated (TerminaProcesso) and the answer is false. An empty
// `nome` names no program and matches nothing. Errors end the search
// quietly with what was found so far.
bool CercaProcesso(const QString &nome, bool termina);

// Terminates the process at once, as the platform's unconditional
// termination does: SIGKILL, which the process can neither catch nor
// delay. Only a single, real process id is acted on: 0 and negative values,
// which the signal call would take as whole process groups or every
// process, do nothing. Errors are ignored.
void TerminaProcesso(qint64 pid);

// Whether a process (of those whose open files can be read: this user's)
// holds the file open, the Linux counterpart of a file that cannot be
// opened with all sharing locked out. Errors count as not held.
bool FileInUso(const QString &percorso);

} // namespace vorpla
