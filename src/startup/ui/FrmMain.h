#pragma once
// The main window on the screen. It shows a FormMain and forwards the
// user's actions to ComandiMain; it holds no state of its own.

#include <QHash>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class QCloseEvent;
class QKeyEvent;

namespace vorpla {

class ComandiMain;
class FormMain;

class FrmMain : public QWidget
{
    Q_OBJECT
public:
    FrmMain(FormMain &form, ComandiMain &comandi, QWidget *parent = nullptr);

    // The widget showing a control ("cmdEmail(1)"), for tests.
    QWidget *widget(const QString &nome) const { return m_widget.value(nome); }

    // The exit, as closing the window does; while a command runs, that
    // command stops at its next wait.
    void esci();
    // Runs a command of another window (the preview's print) as one of
    // this window's: the others off meanwhile, the program's end honoured.
    void eseguiComando(const std::function<void()> &comando);

public slots:
    // Brings the window in line with the form's state.
    void sincronizza();

protected:
    void closeEvent(QCloseEvent *evento) override;
    void keyPressEvent(QKeyEvent *evento) override;

private:
    // Runs a command of the window; `blocca`: the other commands are off
    // meanwhile (not for typing in a box or ticking one, which must keep the
    // focus where the user is).
    template<typename F> void esegui(F &&comando, bool blocca = true);

    FormMain &m_form;
    ComandiMain &m_comandi;
    QHash<QString, QWidget *> m_widget;
    bool m_sincronizzando = false;
    std::optional<QPoint> m_posizioneApplicata;
    // Commands running (a command's waits let further clicks in): while
    // one runs, every other command of the window is off, except the exit,
    // which abandons what runs.
    int m_comandiInCorso = 0;
};

} // namespace vorpla
