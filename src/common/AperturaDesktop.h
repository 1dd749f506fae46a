#pragma once
// Opening a file with a program of the desktop (the PDF viewer through
// xdg-open, the user's own editor) without waiting for it: the program may
// run on after this one has ended.
//
// Whether it could open the file shows only when it gives up. The desktop's
// opener runs the application it finds and ends with it, or ends at once
// with an error when it finds none ("no method available"): so the program
// runs under a shell that writes its exit status into a file of its own, and
// that file is watched for a few seconds. A failure in that time calls
// `fallito` (on the user-interface thread, from its event loop) with the last
// line the program wrote on its standard error; a program still running when
// the watch ends is taken to have opened the file.

#include <QString>
#include <QStringList>
#include <functional>

namespace vorpla {

void apriSenzaAttendere(const QString &programma, const QStringList &argomenti,
                        std::function<void(const QString &errori)> fallito, int sorveglianzaMs = 10000);

} // namespace vorpla
