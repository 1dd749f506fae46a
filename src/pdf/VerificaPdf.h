#pragma once
// Whether a PDF file is whole: read as qpdf's check reads it (every object,
// every stream decoded, without a single repair), and its page count.
// Ghostscript can report success for a PDF it could not finish writing (a
// full disk) or made from a print stream cut short; nothing that relies on
// the PDF takes it before it passes here.

#include <QString>

namespace vorpla {

struct EsitoVerificaPdf
{
    bool intero = false;
    int pagine = 0;
    QString problema; // what qpdf found, when not whole
};

EsitoVerificaPdf verificaPdf(const QString &pdf);

} // namespace vorpla
