#pragma once
// The thin wrapper over the Ghostscript interpreter library (the system's
// libgs): one interpreter instance run over one argument list, its console
// output thrown away.

#include <QStringList>

namespace vorpla {

// Runs one Ghostscript instance over `argomenti` (element 0 is the program
// name slot of a C argv and is passed along as it is): creates the instance,
// installs console callbacks that read nothing and discard every output,
// initialises the interpreter with the list (which runs the whole job),
// exits and deletes the instance. True when the interpreter ran the job to
// its end: gsapi_init_with_args returned zero or more, or gs_error_Quit,
// which the library documents as a normal end (a job that ends with the
// PostScript `quit`). False when the instance cannot be created, the
// callbacks cannot be installed, the interpreter fails, the list is empty,
// or the calling thread is already running Ghostscript.
//
// Ghostscript keeps one interpreter per process at a time: calls from
// several threads wait for each other.
bool EseguiGhostscript(const QStringList &argomenti);

} // namespace vorpla
