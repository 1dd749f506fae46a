#pragma once
// The main window's commands, as the window forwards them: what the user
// clicked, applied to the window's state and the job.

#include <QString>

namespace vorpla {

class FormMain;
class Stampanti;
struct ServiziAvvio;

class ComandiMain
{
public:
    ComandiMain(FormMain &form, ServiziAvvio &servizi);

    // Print button.
    void cmdVorpla_Click();
    // An entry of the printer list chosen.
    void cmbPrinter_Click(int indice);
    // "Anteprima di qualità" ticked or unticked.
    void Check2_Click(bool spuntato);
    // The copies box edited.
    void TXTNumCopie_Change(const QString &testo);
    // Exit button, and closing the window.
    void cmdEsci_Click();
    // Any command this version does not have yet, by its routine name.
    void nonAncoraDisponibile(const QString &routine, const QString &capacita);

private:
    FormMain &m_form;
    ServiziAvvio &m_s;
};

} // namespace vorpla
