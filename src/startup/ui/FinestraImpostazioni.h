#pragma once
// The voucher page settings dialog on the screen: the four boxes of a
// FormImpostazioni with their labels and "cm", the hint, "Conferma" and
// "Annulla"; modal, always on top, in the screen's top-left corner.

#include <QDialog>
#include <array>

class QLineEdit;

namespace vorpla {

class FormImpostazioni;

class FinestraImpostazioni : public QDialog
{
public:
    FinestraImpostazioni(FormImpostazioni &form, QWidget *genitore = nullptr);

    QLineEdit *casella(int indice) const { return m_caselle.at(size_t(indice)); }
    // The button of index 0 ("Conferma") or 1 ("Annulla").
    QWidget *pulsante(int indice) const { return indice == 0 ? m_conferma : m_annulla; }

    // Esc and the window's close: as "Annulla".
    void reject() override;

private:
    void premuto(int indice);

    FormImpostazioni &m_form;
    std::array<QLineEdit *, 4> m_caselle{};
    QWidget *m_conferma = nullptr;
    QWidget *m_annulla = nullptr;
};

} // namespace vorpla
