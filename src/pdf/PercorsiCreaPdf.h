#pragma once
// Where the quality PDF route works and writes: the spool folder the
// PostScript printer's driver writes spool.ps into, and the path of the
// PDF, from [PDF] of vorpla.ini, the job's kind and its destination.

#include <QString>

namespace vorpla {

struct ImpostazioniPdf
{
    QString forzaPorta; // [PDF] FORZAPORTA
    QString porta;      // [PDF] PORTA (read only when it counts)
    QString cartella;   // [PDF] CARTELLA
};

// The spool folder, ending in "/": PORTA when FORZAPORTA is set or the job
// is PDF-only and PORTA is not empty, else the temporary folder `temp`.
QString cartellaSpool(const ImpostazioniPdf &ini, bool modoPdf, const QString &temp);

// The PDF of the job named `nome` (the print file's name without its
// extension):
//  - an interactive job without FORZAPORTA: the spool folder + nome + ".PDF";
//  - otherwise CARTELLA when it is set; else, without FORZAPORTA, the folder
//    "WB" beside the temporary one ("/opt/ulka/temp/" gives
//    "/opt/ulka/tempWB/"), with it the spool folder; nome + ".PDF" there;
//    and the destination of a "NO" job (`destinazione`) above all;
//  - ".pdf" appended when the path does not end so, in any letter case.
QString percorsoPdf(const ImpostazioniPdf &ini, bool modoPdf, const QString &spool, const QString &temp,
                    const QString &nome, const QString &destinazione);

} // namespace vorpla
