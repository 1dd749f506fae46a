#pragma once
// The preview window "ULKA - Anteprima di vorpla": shows a FormPreview (the
// page buffer copied into the visible area from the scroll bars) and
// forwards its commands: "<" and ">", the page box, Page Up and Page Down,
// the scroll bars, and the two picture buttons, go on to printing
// (cmdVorpla) and close (cmdEsci), which are the caller's.

#include <QHash>
#include <QWidget>
#include <functional>

class QCloseEvent;
class QKeyEvent;
class QResizeEvent;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace vorpla {

class FormPreview;

class FrmPreview : public QWidget
{
    Q_OBJECT
public:
    struct Uscite
    {
        std::function<void()> vorpla; // go on to printing
        std::function<void()> esci;   // close the preview
    };

    FrmPreview(FormPreview &anteprima, Uscite uscite, QWidget *parent = nullptr);

    // The widget of a control ("cmdNext", "txtPag", "VScroll1"), for tests.
    QWidget *widget(const QString &nome) const { return m_widget.value(nome); }
    // What the visible page area shows now.
    QImage areaVisibile() const;

public slots:
    // Brings the window in line with the preview's state.
    void sincronizza();

protected:
    void keyReleaseEvent(QKeyEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
    void resizeEvent(QResizeEvent *evento) override;

private:
    void copia();
    // Runs a command of the window: an error shows the standard message
    // and ends the program, as the window's failures do; an end the command
    // asked for ends it.
    template<typename F> void esegui(F &&comando);

    FormPreview &m_anteprima;
    Uscite m_uscite;
    QHash<QString, QWidget *> m_widget;
    QLabel *m_pagina = nullptr; // picPreview
    QLineEdit *m_txtPag = nullptr;
    QScrollBar *m_v = nullptr, *m_h = nullptr;
    bool m_sincronizzando = false;
};

} // namespace vorpla
