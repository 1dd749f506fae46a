#pragma once
// The main window's state: its controls and its values. Start-up and the
// commands work on this object; the window (ui/FrmMain) only shows it and
// forwards the user's actions, so everything here runs and is tested without
// a display.

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace vorpla {

enum class TipoControllo { Cornice, Etichetta, Elenco, CasellaTesto, Pulsante, PulsanteImmagine, Casella, Timer, Dialogo };

struct Controllo
{
    QString nome;           // "cmdEmail(1)"
    TipoControllo tipo;
    QString testo;          // caption, or the text of a text box / list
    QString contenitore;    // the frame holding it ("" for the window)
    bool visibile = true;
    bool abilitato = true;
    bool spuntato = false;  // check boxes
    QStringList voci;       // drop-down lists
    int indice = -1;        // selected entry of a list
    int selezioneInizio = 0, selezioneLunghezza = 0; // text boxes
};

class FormMain : public QObject
{
    Q_OBJECT
public:
    FormMain();

    // The control of that name ("Check2", "cmdEmail(0)"); unknown names are a
    // programming error and abort.
    Controllo &controllo(const QString &nome);
    const Controllo &controllo(const QString &nome) const;
    const QList<Controllo> &controlli() const { return m_controlli; }

    // Window.
    QString caption;
    bool visibile = false;     // shown on screen
    bool inPrimoPiano = false; // always on top
    QPoint posizione;          // top-left corner on the screen
    QString controlloConFocus;

    // Main-window values of the job.
    QStringList Parametri;
    QString PercorsoDestinazione;
    QString NomeDestinazione;
    QString Esegui;
    bool AnteprimaQualita = false;
    QString FaxPrima, FaxDopo, NumeroFax;
    // The fax numbers as the print file wrote them ("@FAXN", then "@FA2N"),
    // checked before the fax button sends to them.
    QStringList NumeriFax;
    bool PubblicaAbilitata = false;
    QString PercorsoPubblica;
    QString ValoreCCLI, ValoreAARI, ValoreMMRI;
    bool SelezioneInCorso = false;

    // Lets the window show the state reached so far.
    void aggiorna() { emit cambiato(); }

signals:
    void cambiato();

private:
    QList<Controllo> m_controlli;
};

} // namespace vorpla
