#pragma once
// Starting an outside program of the program folder (the download program,
// the terminal client, the hand-over's companion program ...), the file
// found ignoring letter case, without waiting for it.

#include <QString>

namespace vorpla {

// Raises error 53 when there is no such file, 70 when it cannot be started.
void avviaDallaCartella(const QString &percorso);

} // namespace vorpla
