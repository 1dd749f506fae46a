#pragma once
// The text editor window ("Edit") on a Form1: the text in the host's
// character-cell font, the menus "File" (Salva, Salva con nome), "Modifica"
// (Annulla, Copia, Incolla, Seleziona tutto) and "Carattere" (Aumenta,
// Diminuisci). Closing asks about unsaved changes.

#include <QDialog>
#include <functional>

class QAction;
class QPlainTextEdit;

namespace vorpla {

class Form1;

class FinestraEditor : public QDialog
{
public:
    // `chiediNome` is the save dialog: the file chosen, "" when cancelled.
    FinestraEditor(Form1 &form, std::function<QString()> chiediNome, QWidget *genitore = nullptr);

    QPlainTextEdit *text1() const { return m_testo; }
    // The menu item with that text ("Salva", "Copia" ...).
    QAction *voce(const QString &testo) const;

protected:
    void closeEvent(QCloseEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;
    void reject() override;

private:
    void tasto(int tasto);
    void aggiornaCarattere();

    Form1 &m_form;
    std::function<QString()> m_chiediNome;
    QPlainTextEdit *m_testo;
    QList<QAction *> m_voci;
};

// The save dialog of "Salva con nome" (a fresh one each time, so a
// cancelled dialog never hands back an earlier choice).
QString chiediNomeFileTesto(QWidget *genitore);

} // namespace vorpla
