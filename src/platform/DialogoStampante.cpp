#include "DialogoStampante.h"

#include "common/Stampanti.h"

#include <QPrintDialog>
#include <QPrinter>

namespace vorpla {

bool mostraDialogoStampante(Stampanti &stampanti, QWidget *padre)
{
    QPrinter stampante(QPrinter::HighResolution);
    if (!stampanti.corrente().isEmpty())
        stampante.setPrinterName(stampanti.corrente());
    QPrintDialog dialogo(&stampante, padre);
    dialogo.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialogo.exec() != QDialog::Accepted)
        return false;
    if (stampante.outputFormat() == QPrinter::NativeFormat && !stampante.printerName().isEmpty())
        stampanti.impostaCorrente(stampante.printerName());
    return true;
}

} // namespace vorpla
