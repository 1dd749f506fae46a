#pragma once
// The label window of the printer output form ("Vorpla ULKA"): the label
// sheet formats of the catalogue, the six fields of the chosen one and the
// buttons "Nuovo", "Conferma", "Elimina ", "Annulla" and "Continua". It shows
// a CatalogoEtichette and forwards the clicks to it; leaving the window
// (Continua, Annulla, closing it) is the caller's, through the three
// functions given.

#include <QHash>
#include <QWidget>
#include <functional>

class QCloseEvent;
class QKeyEvent;

namespace vorpla {

class CatalogoEtichette;

class FrmVorpla : public QWidget
{
    Q_OBJECT
public:
    struct Uscite
    {
        std::function<void()> continua; // "Continua"
        std::function<void()> annulla;  // "Annulla"
        std::function<void()> chiusa;   // the window closed (the form unloads)
    };

    FrmVorpla(CatalogoEtichette &catalogo, Uscite uscite, QWidget *parent = nullptr);

    // The widget of a control ("txtPX", "cmdConferma"), for tests.
    QWidget *widget(const QString &nome) const { return m_widget.value(nome); }

public slots:
    // Brings the window in line with the catalogue's state.
    void sincronizza();

protected:
    void closeEvent(QCloseEvent *evento) override;
    void keyPressEvent(QKeyEvent *evento) override;

private:
    template<typename F> void esegui(F &&comando);

    CatalogoEtichette &m_catalogo;
    Uscite m_uscite;
    QHash<QString, QWidget *> m_widget;
    bool m_sincronizzando = false;
};

} // namespace vorpla
