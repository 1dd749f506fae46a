#pragma once
// The window of a long run: what the program is doing ("Copia 1 di 2 -
// pagina 3 di 10", "Documento 4 di 12"), a bar, and "Annulla". It appears
// only when the run lasts longer than a moment (one second), so quick jobs
// show nothing, and it goes away when the run ends, however it ends.
// "Annulla", Esc and closing it are the main window's exit: the run stops
// at its next look at the events, the job's files stay where they are, and
// the program ends as when its window is closed.

#include "common/Avanzamento.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vorpla {

class FinestraAvanzamento : public QDialog, public OsservatoreAvanzamento
{
public:
    FinestraAvanzamento(std::function<void()> annulla, QWidget *genitore = nullptr, int ritardoMs = 1000);

    void inizio(const QString &titolo) override;
    void stato(const QString &testo, int fatto, int totale) override;
    void fine() override;

    QLabel *testo() const { return m_testo; }
    QProgressBar *barra() const { return m_barra; }
    QPushButton *pulsanteAnnulla() const { return m_annulla; }

    // Esc and the window's close.
    void reject() override;

private:
    void mostraSeDura();

    std::function<void()> m_azioneAnnulla;
    int m_ritardoMs;
    bool m_inCorso = false;
    QElapsedTimer m_orologio;
    QTimer m_attesa;
    QLabel *m_testo;
    QProgressBar *m_barra;
    QPushButton *m_annulla;
};

} // namespace vorpla
