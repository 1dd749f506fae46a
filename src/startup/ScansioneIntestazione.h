#pragma once
// The start-up scan of a print file's header markers: the job order, the
// copies, the mail address and fax numbers, the hidden and label flags, the
// letterhead count. The whole file is read unless an "@PERC" line stops the
// scan; nothing but the five-character comparison is done for other lines.

#include <QString>
#include <functional>

namespace vorpla {

class FormMain;
struct StatoLavoro;

struct RisultatoScansione
{
    bool ModoNascosto = false; // "@HIDE": hidden, unattended job
    qint64 righe = 0;          // lines read
};

// Scans `file`, setting the main-window values of `form` and the job state of
// `stato`. `eventi` lets pending window events run; it is called every few
// milliseconds of scanning (may be empty). Raises ErroreVB: the file's open
// errors, 13 for an "@COPI" value that is not a number, 6 for a count past
// 32767.
RisultatoScansione ScansionaIntestazione(const QString &file, FormMain &form, StatoLavoro &stato,
                                         const std::function<void()> &eventi);

} // namespace vorpla
