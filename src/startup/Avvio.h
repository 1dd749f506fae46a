#pragma once
// Job start-up: everything the program decides while its main window loads.
// From the command line, vorpla.ini and the print file's header markers it
// decides what the job is (PDF-only, hand-over to the terminal-server client,
// label job, hidden print, preview-only, or an interactive job), sets the job
// state and the main window, and runs the unattended actions.

#include "ServiziAvvio.h"

#include <QString>

namespace vorpla {

class FormMain;

class Avvio
{
public:
    Avvio(FormMain &form, ServiziAvvio servizi);

    // Runs the start-up steps on the whole command line (its arguments joined
    // by single blanks). Returns when the main window (or the label form) is
    // left for the user, or when an error stopped start-up (the window then
    // stays in the state reached); an end of the program is raised as
    // FineProgramma.
    void esegui(const QString &rigaComando);

    // Start-up ran to its end (not stopped by an error).
    bool completato() const { return m_completato; }

    // The command line split at every single blank.
    static QStringList dividi(const QString &rigaComando);

private:
    void passo1();
    void passo2();
    void passo3();
    void passo4();
    void passo5();
    void passo6();
    void passo7();
    void passo8();
    void passo9();
    void passo10();
    void passo11();
    void passo12();
    void passo13();
    void passo14();
    void passo15();
    void passo16();
    void passo17();
    void passo18();
    void passo19();
    void passo20();
    void passo21();
    void passo22();

    void formaPdf();
    void formaNo();
    void creaCartelleDestinazione(const QString &destinazione);
    void eliminaFileAperto(const QString &percorso);
    void mostraFinestra();

    FormMain &m_form;
    ServiziAvvio m_s;
    QString m_riga;
    bool m_nascosta = false;        // the main window was hidden by a step
    bool m_modoNascosto = false;    // "@HIDE"
    bool m_anteprimaNascosta = false; // a hidden job previewed on "PDFCreator"
    bool m_completato = false;
};

// The folders of a PDF destination path, in the order they are tested and
// created (the root and the file name excluded).
QStringList cartelleDestinazione(const QString &destinazione);

// The printer a hidden job previews on instead of printing.
inline constexpr const char *StampantePdf = "PDFCreator";

} // namespace vorpla
