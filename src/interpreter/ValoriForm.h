#pragma once
// What the interpreter reads from, and leaves in, the output form that runs
// it: the job markers read at load, the page-count table, the copies loop's
// counters, the voucher values and the label-sheet fields. These outlive one
// run of the interpreter (one copy of the document).

#include <QList>
#include <QString>

namespace vorpla {

struct ValoriForm
{
    // From the job's marker lines.
    QString TipoDocumento;     // "@TIPS": "FATTURA", "ASTOI", "ESTRATTO CONTO" ...
    bool ConINTV = false;      // voucher layout ("@INTV"; the interpreter also sets it)

    // The copies loop: the number of copies asked (text of the copies box,
    // or "1") and the copy counter, which the voucher layout may advance.
    QString NumCopie = QStringLiteral("1");
    int ContatoreCopia = 1;

    // Vouchers.
    double ScostamentoVoucher = 0;
    qint16 NumeroVoucher = 1;
    float PassoVoucher = 0;

    // Label sheet, millimetres, as the label window shows them.
    QString txtPX = QStringLiteral("210");
    QString txtPY = QStringLiteral("297");
    QString txtMarg = QStringLiteral("25");
    QString txtEtX = QStringLiteral("70");
    QString txtETY = QStringLiteral("34");

    // Fax directives already written (kept between copies).
    QString UltimoFax, UltimoNomeFax;

    // Page-count table of the numbered documents (built at load).
    QList<qint16> PagineSezione{0};
    qint16 ContaPagine = 0;
    bool NumerazioneAttiva = false;
    // The pages one copy has, for a long run's progress (counted at load
    // with the table; 0 before).
    int PagineCopia = 0;

    // The printer chosen in the main window's list (a printing error on a
    // PDF printer ends the run quietly).
    QString StampanteSelezionata;
};

} // namespace vorpla
